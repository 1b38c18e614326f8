// Whatever a Favorites tree holds, exporting it and importing the file gives the same tree,
// with names cleaned as the importer cleans them: a tree of clean names comes back as it was.
#include "favorites/ExportFavorites.h"
#include "favorites/ImportFavorites.h"
#include "favorites/TreeHelpers.h"
#include "platform/FileNames.h"
#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>

using namespace vorlane::favorites;
using vorlane::test::ReadTree;
using vorlane::test::WriteShortcut;

namespace {

using vorlane::platform::FileNameFromTitle;

std::map<std::string, std::string> Cleaned(const std::map<std::string, std::string>& Tree) {
  std::map<std::string, std::string> Out;
  for (auto& [Path, Url] : Tree) {
    std::filesystem::path Clean;
    std::filesystem::path P(Path);
    for (auto It = P.begin(); It != P.end(); ++It) {
      bool Shortcut = std::next(It) == P.end() && Url != "<dir>";
      Clean /= Shortcut ? FileNameFromTitle(It->stem().string(), ".url") : FileNameFromTitle(It->string());
    }
    Out[Clean.string()] = Url;
  }
  return Out;
}

TEST(RoundTrip, HostileTreeComesBackTheSame) {
  auto Source = vorlane::test::FreshFavorites("roundtrip-source");
  auto Back = vorlane::test::FreshFavorites("roundtrip-back");
  std::string Chinese;
  for (int I = 0; I < 83; ++I) Chinese += "藏";  // 249 bytes: as long as a title can be

  const std::pair<std::string, std::string> Shortcuts[] = {
      {"say \"hi\".url", "http://a/?q=\"x\""},
      {"a & b &amp; c.url", "http://a/?x=1&y=2&amp;z"},
      {"<tag> & </A> </DL><P> <H3>.url", "https://a/<>"},
      {"中文标题 ，。.url", "https://例子.测试/路径"},
      {std::string(251, 'x') + ".url", "http://long/"},
      {Chinese + ".url", "http://chinese-long/"},
      {"..url", "http://one-dot/"},
      {"...url", "http://two-dots/"},
      {" spaced  .url", "http://spaced/"},
      {"win\\dows: *?|.url", "http://windows-forbidden/"},
      {"Q: What?.url", "http://q/"},
      {".NET.url", "http://hidden/"},
      {"line\nbreak\r.url", "http://break/"},
      {"tab\there.url", "http://tab/"},
      {"It's &#39; &lt;.url", "http://entities/"},
      {"A/in-a.url", "http://a/"},
      {"A/x/in-ax.url", "http://ax/"},
      {"AB/in-ab.url", "http://ab/"},
      {"A-B/in-a-b.url", "http://a-b/"},
      {"A B/in-a b.url", "http://a b/"},
      {"x & <y> \"z\"/q.url", "http://xyz/"},
  };
  for (auto& [Path, Url] : Shortcuts) WriteShortcut(Source, Path, Url);
  for (const char* Empty : {"empty", "A/x/empty inside", "A/x/empty inside/and deeper"})
    std::filesystem::create_directories(Source / Empty);
  std::filesystem::path Deep = Source / "deep";
  for (int I = 0; I < 30; ++I) Deep /= "level " + std::to_string(I);
  std::filesystem::create_directories(Deep);
  WriteShortcut(Deep, "bottom.url", "http://bottom/");

  vorlane::test::ScriptedDialogs Dialogs;
  TExportFavorite Export(Dialogs);
  Export.SetFavoritesPath(Source.string());
  Export.SetTargetPath(Source.parent_path().string());
  Export.SetTargetFileName("all.htm");
  ASSERT_TRUE(Export.ExportFavoritesFile());
  // What other browsers need to read the titles as UTF-8, first thing in the file.
  EXPECT_TRUE(vorlane::test::ReadBytes(Source.parent_path() / "all.htm")
                  .starts_with("<!DOCTYPE NETSCAPE-Bookmark-file-1>\r\n<!-- Made with favorites_tests -->\r\n"
                               "<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=UTF-8\">\r\n"));

  TImportFavorite Import(Dialogs);
  Import.SetFavoritesPath(Back.string());
  Import.SetCurrentFilePath(Source.parent_path().string());
  Import.SetCurrentFileName("all.htm");
  Import.SetTargetSubFolder("all");
  ASSERT_TRUE(Import.ImportFavoritesFile());

  auto Expected = Cleaned(ReadTree(Source));
  auto Actual = ReadTree(Back / "all");
  EXPECT_EQ(Actual, Expected);
  EXPECT_EQ(Cleaned(Actual), Actual);  // cleaning twice changes nothing
  EXPECT_EQ(Actual.at("Q- What-.url"), "http://q/");
  EXPECT_EQ(Dialogs.MessageTexts(vorlane::platform::MessageKind::Error), std::vector<std::string>{});
}

}  // namespace
