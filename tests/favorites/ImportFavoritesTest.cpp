#include "favorites/ImportFavorites.h"
#include "favorites/TreeHelpers.h"
#include "platform/ShellFolders.h"
#include "support/ScriptedDialogs.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace vorlane::favorites;
using vorlane::platform::MessageKind;
using vorlane::test::ReadTree;
using Tree = std::map<std::string, std::string>;

namespace {

const std::filesystem::path Data = std::filesystem::path(VORLANE_TEST_DATA) / "bookmarks";

class ImportTest : public ::testing::Test {
protected:
  void SetUp() override {
    Favorites = vorlane::test::FreshFavorites(::testing::UnitTest::GetInstance()->current_test_info()->name());
    Import.SetFavoritesPath(Favorites.string());
    Import.SetCurrentFilePath(Data.string());
  }
  Tree ImportFixture(const std::string& File, const std::string& Into = "in") {
    Import.SetCurrentFileName(File);
    Import.SetTargetSubFolder(Into);
    EXPECT_TRUE(Import.ImportFavoritesFile()) << File;
    return ReadTree(Favorites / Into);
  }

  vorlane::test::ScriptedDialogs Dialogs;
  TImportFavorite Import{Dialogs};
  std::filesystem::path Favorites;
};

TEST(ImportDefaults, AreTheOldOnesWithTheHomeFolderForC) {
  vorlane::test::ScriptedDialogs D;
  TImportFavorite I(D);
  EXPECT_EQ(I.CurrentFileName(), "newbook.htm");
  EXPECT_EQ(I.CurrentFilePath(), vorlane::platform::ShellFolders::Home().string());
  EXPECT_EQ(I.TargetSubFolder(), "Imported Bookmarks");
  EXPECT_EQ(I.FavoritesPath(), "Auto");
  EXPECT_TRUE(I.ShowSuccessMessage());
  EXPECT_EQ(I.SuccessMessage(), std::vector<std::string>{"Your favorites have been imported successfully!"});
}

TEST_F(ImportTest, ChromeExport) {
  EXPECT_EQ(ImportFixture("chrome-export.html"),
            (Tree{{"Bookmarks bar", "<dir>"},
                  {"Bookmarks bar/Debian & friends.url", "https://www.debian.org/"},
                  {"Bookmarks bar/Q&A- -tags- -quoted- it's.url", "http://example.com/search?q=a&b=c"},
                  {"Bookmarks bar/Linux-Unix", "<dir>"},
                  {"Bookmarks bar/Linux-Unix/The Linux Kernel Archives.url", "https://kernel.org/"},
                  {"Bookmarks bar/Empty", "<dir>"},
                  {"GNU 中文.url", "https://www.gnu.org/"}}));
  EXPECT_EQ(Dialogs.MessageTexts(), std::vector<std::string>{"Your favorites have been imported successfully!"});
}

TEST_F(ImportTest, FirefoxExportWithSeparatorsAndDescriptions) {
  EXPECT_EQ(ImportFixture("firefox-export.html"),
            (Tree{{"Firefox.url", "https://www.mozilla.org/en-US/firefox/"},
                  {"Bookmarks Toolbar", "<dir>"},
                  {"Bookmarks Toolbar/MDN Web Docs.url", "HTTPS://Developer.Mozilla.org/"},
                  {"Bookmarks Toolbar/a -b- c.url", "https://example.com/a%22b"},
                  {"Other Bookmarks", "<dir>"},
                  {"Other Bookmarks/Local.url", "http://localhost:8080/"}}));
}

TEST_F(ImportTest, InternetExplorerExportsPlainAndInGbk) {
  EXPECT_EQ(ImportFixture("ie6-export.htm"),
            (Tree{{"Links", "<dir>"},
                  {"Links/Customize Links.url", "http://www.microsoft.com/isapi/redir.dll?prd=ie&pver=6&ar=CLinks"},
                  {"Links/Windows.url", "http://www.microsoft.com/windows/"},
                  {"MSN.url", "http://www.msn.com/"}}));
  // Its last line is a link and has no line break after it.
  EXPECT_EQ(ImportFixture("ie6-gbk-export.htm", "gbk"),
            (Tree{{"新闻", "<dir>"},
                  {"新闻/新浪新闻.url", "http://news.sina.com.cn/"},
                  {"百度一下，你就知道.url", "http://www.baidu.com/"}}));
}

TEST_F(ImportTest, SafariExportWithoutTheOuterList) {
  EXPECT_EQ(ImportFixture("safari-export.html"),
            (Tree{{"Favorites", "<dir>"},
                  {"Favorites/Apple.url", "https://www.apple.com/"},
                  {"Favorites/Wikipedia.url", "https://en.wikipedia.org/wiki/Main_Page?a=1&b=2"},
                  {"Bookmarks Menu", "<dir>"},
                  {"Reading List", "<dir>"},
                  {"Reading List/WebKit blog.url", "https://webkit.org/blog/"},
                  {"Swift.url", "https://www.swift.org/"}}));
}

TEST_F(ImportTest, SettingChecksComeInOrderAndWriteNothing) {
  struct Case {
    std::function<void(TImportFavorite&)> Set;
    const char* Message;
  } Cases[] = {
      {[](auto& I) { I.SetCurrentFilePath(""); }, "The favorites file path is invalid.\n\rPlease change it."},
      {[](auto& I) { I.SetCurrentFileName(""); }, "The Current file name is invalid.\n\rPlease change it."},
      {[](auto& I) { I.SetCurrentFileName("IE6-EXPORT.HTM"); },
       "The target file name extention is invalid.\n\rPlease change it to \"*.htm\"."},
      {[](auto& I) { I.SetTargetSubFolder(""); }, "You must a proper sub folder name.\n\rPlease change it."},
      {[](auto& I) { I.SetSuccessMessage({""}); }, "You must enter a message or turn off messages.\n\rPlease change it."},
      {[](auto& I) { I.SetCurrentFileName("missing.htm"); },
       "The Favorite file you specified does not exist in the current path."},
      {[](auto& I) { I.SetCurrentFilePath(Data.parent_path().string()); I.SetCurrentFileName("bookmarks.htm"); },
       "The Favorite file you specified does not exist in the current path."},
      {[](auto& I) { I.SetFavoritesPath("/tmp/favs"); }, "The favorites file path is invalid.\n\rPlease change it."},
      {[](auto& I) { I.SetTargetSubFolder("."); }, "The subfolder name you specified is invalid."},
      {[](auto& I) { I.SetTargetSubFolder(".."); }, "The subfolder name you specified is invalid."},
      {[](auto& I) { I.SetTargetSubFolder("../../escape"); }, "The subfolder name you specified is invalid."},
      {[](auto& I) { I.SetTargetSubFolder("a/b"); }, "The subfolder name you specified is invalid."},
      {[](auto& I) { I.SetTargetSubFolder(".hidden"); }, "The subfolder name you specified is invalid."},
      {[](auto& I) { I.SetTargetSubFolder(std::string(256, 'n')); }, "The subfolder name you specified is invalid."},
      {[](auto& I) { I.SetTargetSubFolder("taken.url"); }, "The subfolder name you specified is invalid."},
  };
  vorlane::test::WriteShortcut(Favorites, "taken.url", "http://taken/");
  const Tree Before = ReadTree(Favorites.parent_path());
  for (const Case& C : Cases) {
    vorlane::test::ScriptedDialogs D;
    TImportFavorite I(D);
    I.SetFavoritesPath(Favorites.string());
    I.SetCurrentFilePath(Data.string());
    I.SetCurrentFileName("ie6-export.htm");
    I.SetTargetSubFolder("in");
    C.Set(I);
    EXPECT_FALSE(I.ImportFavoritesFile()) << C.Message;
    ASSERT_EQ(D.Calls().size(), 1u) << C.Message;
    EXPECT_EQ(D.Calls()[0].Text, C.Message);
    EXPECT_EQ(D.Calls()[0].Kind, MessageKind::Error);
    EXPECT_EQ(ReadTree(Favorites.parent_path()), Before) << C.Message;
  }
}

TEST_F(ImportTest, HostileNamesNeverReachOutsideTheBaseFolder) {
  std::string Page = "<DL><p>\n";
  for (int I = 0; I < 5; ++I) Page += "</DL><p>\n";  // more closings than headings
  for (const char* Name : {"..", ".", "../..", "/etc", "&#46;&#46;", "..&#47;..", "a/../../b"}) {
    Page += std::string("<DT><H3>") + Name + "</H3>\n<DL><p>\n";
    Page += std::string("<DT><A HREF=\"http://x/\">") + Name + "</A>\n";
  }
  Page += "<DT><A HREF=\"http://long/\">" + std::string(300, 'L') + "</A>\n";
  Page += "<DT><A HREF=\"http://long2/\">" + std::string(300, 'L') + "2</A>\n";
  Page += "<DT><H3>" + std::string(300, 'F') + "</H3>\n";
  Page += "<DT><A HREF=\"http://after/\">After the long ones</A>\n";
  auto Dir = Favorites.parent_path() / "files";
  vorlane::test::WriteBytes(Dir / "hostile.htm", Page);
  const Tree Outside = ReadTree(Favorites.parent_path());

  Import.SetCurrentFilePath(Dir.string());
  Import.SetCurrentFileName("hostile.htm");
  Import.SetTargetSubFolder("base");
  ASSERT_TRUE(Import.ImportFavoritesFile());
  Tree After = ReadTree(Favorites.parent_path());
  for (auto& [Path, Value] : After) {
    if (!Outside.count(Path)) {
      EXPECT_EQ(Path.rfind("Favorites/base", 0), 0u) << Path;
    }
  }
  Tree Base = ReadTree(Favorites / "base");
  const std::string Deep = "--/-/-.-..-/-etc/--/-.-..-/a-..-..-b/";  // no folder name ends in a dot
  EXPECT_EQ(Base.at("--/--.url"), "http://x/");  // a link called ".." is the file "--.url"
  EXPECT_EQ(Base.at("--/-/-.url"), "http://x/");
  EXPECT_EQ(Base.at(Deep + std::string(255, 'F') + "/After the long ones.url"), "http://after/");
  // Two long titles that are equal once shortened: one file, the later address.
  std::string Long = Deep + std::string(251, 'L') + ".url";
  EXPECT_EQ(Base.at(Long), "http://long2/");
}

TEST_F(ImportTest, ReimportUpdatesInPlaceAndKeepsWhatIsThere) {
  ImportFixture("ie6-export.htm");
  vorlane::test::WriteBytes(Favorites / "in/MSN.url",
                            "[InternetShortcut]\r\nURL=http://old/\r\nIconIndex=3\r\n[Mine]\r\nNote=kept\r\n");
  vorlane::test::WriteShortcut(Favorites, "in/Mine.url", "http://mine/");
  ImportFixture("ie6-export.htm");
  EXPECT_EQ(vorlane::test::ReadBytes(Favorites / "in/MSN.url"),
            "[InternetShortcut]\r\nURL=http://www.msn.com/\r\nIconIndex=3\r\n[Mine]\r\nNote=kept\r\n");
  EXPECT_TRUE(std::filesystem::exists(Favorites / "in/Mine.url"));
}

TEST_F(ImportTest, AShortcutThatCannotBeWrittenEndsTheImportWithItsMessage) {
  std::filesystem::create_directories(Favorites / "in/MSN.url");  // a folder where the file goes
  Import.SetCurrentFileName("ie6-export.htm");
  Import.SetTargetSubFolder("in");
  EXPECT_FALSE(Import.ImportFavoritesFile());
  EXPECT_EQ(Dialogs.MessageTexts(MessageKind::Error),
            std::vector<std::string>{"Unable to write to " + (Favorites / "in/MSN.url").string()});
  EXPECT_TRUE(Dialogs.MessageTexts(MessageKind::Information).empty());
}

TEST_F(ImportTest, NothingIsWrittenThroughALinkOrIntoAFifo) {
  auto Outside = Favorites.parent_path() / "outside";
  vorlane::test::WriteShortcut(Outside, "MSN.url", "http://outside/");
  const Tree Before = ReadTree(Outside);
  std::filesystem::create_directory_symlink(Outside, Favorites / "linked");  // the target itself
  const std::pair<std::function<void(const std::filesystem::path&)>, std::string> Cases[] = {
      {[&](auto& In) { std::filesystem::create_directory_symlink(Outside, In / "Links"); },
       "Unable to write to " + (Favorites / "in/Links/Customize Links.url").string()},
      {[&](auto& In) { std::filesystem::create_symlink(Outside / "MSN.url", In / "MSN.url"); },
       "Unable to write to " + (Favorites / "in/MSN.url").string()},
      {[&](auto& In) { ::mkfifo((In / "MSN.url").c_str(), 0600); }, "Unable to write to " + (Favorites / "in/MSN.url").string()},
      {[&](auto&) { Import.SetTargetSubFolder("linked"); }, "The subfolder name you specified is invalid."},
  };
  for (auto& [Plant, Message] : Cases) {
    std::filesystem::remove_all(Favorites / "in");
    std::filesystem::create_directories(Favorites / "in");
    Dialogs.Clear();
    Import.SetCurrentFileName("ie6-export.htm");
    Import.SetTargetSubFolder("in");
    Plant(Favorites / "in");
    EXPECT_FALSE(Import.ImportFavoritesFile()) << Message;
    EXPECT_EQ(Dialogs.MessageTexts(MessageKind::Error), std::vector<std::string>{Message});
  }
  EXPECT_EQ(ReadTree(Outside), Before);
}

TEST_F(ImportTest, QuietImportAndAFreshFavoritesFolder) {
  std::filesystem::remove_all(Favorites);
  Import.SetShowSuccessMessage(false);
  Import.SetSuccessMessage({});
  EXPECT_EQ(ImportFixture("ie6-export.htm").size(), 4u);
  EXPECT_TRUE(Dialogs.Calls().empty());
}

}  // namespace
