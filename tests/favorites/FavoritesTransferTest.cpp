#include "favorites/FavoritesTransfer.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>

#include "support/ScriptedDialogs.h"
#include "TreeHelpers.h"
#include "favorites/ExportFavorites.h"
#include "favorites/ImportFavorites.h"

namespace fs = std::filesystem;
using namespace vorlane::favorites;

namespace {

TEST(FavoritesTransfer, ExportNameChangesOnlyTheLastExtension) {
  struct Case { const char* Chosen; const char* Name; } Cases[] = {
      {"/h/a.html", "/h/a.htm"}, {"/h/a", "/h/a.htm"}, {"/h/.bookmarks", "/h/.bookmarks.htm"},
      {"/h/x.d/book", "/h/x.d/book.htm"}, {"/h/a.b.txt", "/h/a.b.htm"}, {"", ""}};
  for (const Case& C : Cases) EXPECT_EQ(ExportFileName(C.Chosen), C.Name) << C.Chosen;
}

TEST(FavoritesTransfer, FavoriteNamesAreCleanedAndFallBackToTheHost) {
  struct Case { const char* Title; const char* Url; const char* Name; } Cases[] = {
      {"新闻 | 首页", "http://a.example/", "新闻 - 首页.url"}, {"../etc", "", "-.-etc.url"},
      {"", "https://user@news.example:8080/x", "news.example-8080.url"}, {"", "about:blank", ""}};
  for (const Case& C : Cases) EXPECT_EQ(FavoriteFileName(C.Title, C.Url), C.Name) << C.Title;
}

TEST(FavoritesTransfer, TheImportFolderTakenFromTheFileNameSuitsWindows) {
  vorlane::test::ScriptedDialogs Dialogs;
  TImportFavorite Importer(Dialogs);
  TFavoritesTransfer T;
  T.Importer = &Importer;
  for (auto [File, Folder] : {std::pair{"/nowhere/Q: x.htm", "Q- x"}, {"/nowhere/con.htm", "con-"}}) {
    T.OnImportClick = [File](const std::string&, std::function<void(std::string)> Done) { Done(File); };
    T.Import({});
    EXPECT_EQ(Importer.TargetSubFolder(), Folder);
  }
}

TEST(FavoritesTransfer, ASecondExportWhileTheDialogIsOpenDoesNothing) {
  vorlane::test::ScriptedDialogs Dialogs;
  Dialogs.SetDeferred(true);
  TExportFavorite Exporter(Dialogs);
  TFavoritesTransfer T;
  T.Exporter = &Exporter;
  int Asked = 0;
  T.OnExportClick = [&](const std::string&, std::function<void(std::string)> Done) {
    ++Asked;
    Dialogs.SaveFile("", "", {}, [Done](std::optional<std::string>) { Done({}); });
  };
  T.Export({});
  T.Export({});
  EXPECT_EQ(Asked, 1);
  Dialogs.AnswerAll();
  EXPECT_FALSE(T.Pending());
  EXPECT_EQ(Exporter.TargetFileName(), "");  // cancelled: the next choice starts empty
}

TEST(FavoritesTransfer, MovesStayInsideTheFavoritesFolder) {
  const fs::path Root = vorlane::test::FreshFavorites("InsideFavorites");
  fs::create_directory(Root / "a");
  fs::create_directory_symlink("/tmp", Root / "out");
  EXPECT_TRUE(IsInsideFolder(Root, (Root / "a/new").string()));
  EXPECT_FALSE(IsInsideFolder(Root, (Root / "../x").string()));
  EXPECT_FALSE(IsInsideFolder(Root, (Root / "out/x").string()));
}

// Replacing asks first; what is replaced, a favorite or an empty folder of that name, can
// be had back from the trash.
TEST(FavoritesTransfer, SavingOverAnExistingFavoriteAsksThenSendsTheOldOneToTheTrash) {
  using vorlane::platform::MessageResult;
  const fs::path Root = vorlane::test::FreshFavorites("SaveOver");
  const fs::path Trash = fs::path(std::getenv("XDG_DATA_HOME")) / "Trash/files";
  vorlane::test::WriteShortcut(Root, "Old A.url", "http://old.example/");
  fs::create_directory(Root / "Old B.url");
  struct Case { const char* Name; MessageResult Answer; bool Written; const char* Address; } Cases[] = {
      {"Old A", MessageResult::No, false, "http://old.example/"}, {"Old A", MessageResult::Yes, true, "http://new.example/"},
      {"Old B", MessageResult::Yes, true, "http://new.example/"}};
  for (const Case& C : Cases) {
    vorlane::test::ScriptedDialogs Dialogs;
    Dialogs.QueueResult(C.Answer);
    std::optional<bool> Written;
    SaveFavorite(Dialogs, Root.string(), Root.string(), C.Name, "http://new.example/", [&](bool W) { Written = W; });
    EXPECT_EQ(Written, C.Written) << C.Name;
    EXPECT_EQ(Dialogs.Calls().at(0).Text, std::string("收藏夹中已有“") + C.Name + "”。\n要替换它吗？");
    EXPECT_EQ(vorlane::test::ReadTree(Root).at(std::string(C.Name) + ".url"), C.Address) << C.Name;
  }
  EXPECT_EQ(vorlane::test::ReadBytes(Trash / "Old A.url"), "[InternetShortcut]\r\nURL=http://old.example/\r\n");
  EXPECT_TRUE(fs::is_directory(Trash / "Old B.url"));
}

// The ".htm" name was never shown in the save dialog: an existing file of that name is
// replaced only when the user agrees; a name the dialog confirmed is not asked about again.
TEST(FavoritesTransfer, AnExportNameMadeHtmAsksBeforeReplacingAFileNobodyConfirmed) {
  using vorlane::platform::MessageResult;
  const fs::path Dir = vorlane::test::FreshFavorites("ExportName");
  vorlane::test::WriteBytes(Dir / "book.htm", "old");
  const std::string Book = (Dir / "book").string();
  struct Case { std::string Chosen; std::optional<MessageResult> Answer; std::string Result; } Cases[] = {
      {Book + ".html", MessageResult::Yes, Book + ".htm"}, {Book + ".html", MessageResult::No, ""},
      {Book + ".htm", std::nullopt, Book + ".htm"}, {Book + "2.html", std::nullopt, Book + "2.htm"}};
  for (const Case& C : Cases) {
    vorlane::test::ScriptedDialogs Dialogs;
    Dialogs.QueueText(C.Chosen);
    if (C.Answer) Dialogs.QueueResult(*C.Answer);
    std::optional<std::string> Result;
    ChooseExportFile(Dialogs, "", [&](std::string R) { Result = R; });
    EXPECT_EQ(Result, C.Result) << C.Chosen;
    EXPECT_EQ(Dialogs.Calls().size(), C.Answer ? 2u : 1u) << C.Chosen;
  }
}

}  // namespace
