#include "favorites/FavoritesTransfer.h"

#include <gtest/gtest.h>

#include <filesystem>

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

}  // namespace
