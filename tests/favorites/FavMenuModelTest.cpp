#include "favorites/FavMenuModel.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "TreeHelpers.h"

namespace fs = std::filesystem;
using namespace vorlane::favorites;

namespace {

std::vector<std::string> Captions(const std::vector<TMenuEntry>& Entries) {
  std::vector<std::string> R;
  for (const TMenuEntry& E : Entries) R.push_back(E.Caption);
  return R;
}

TEST(FavMenuModel, MenuPositionIsClampedAndStoredBack) {
  struct Case { int Given, Index, Stored; } Cases[] = {{0, 0, 1}, {-1, 0, 1}, {3, 2, 3}, {6, 5, 6}, {9, 5, 6}};
  for (const Case& C : Cases) {
    TFavoritesMenuModel M("/nowhere/");
    M.SetMenuPoition(C.Given);
    EXPECT_EQ(M.InsertIndex(5), C.Index) << C.Given;
    EXPECT_EQ(M.MenuPoition(), C.Stored) << C.Given;
  }
}

TEST(FavMenuModel, FixedEntriesFollowOptionsAndEngineVersion) {
  TFavoritesMenuModel M("/nowhere/");
  M.Localization = {"添加收藏", "整理收藏夹", "导入收藏夹", "导出收藏夹"};
  M.Options = 0;
  EXPECT_TRUE(M.FixedEntries(true).empty());
  M.Options = foAddFavorites | foOrganizeFavorites | foImportFavorites | foExportFavorites;
  EXPECT_EQ(Captions(M.FixedEntries(true)),
            (std::vector<std::string>{"添加收藏", "整理收藏夹", "-", "导入收藏夹", "导出收藏夹", "-"}));
  EXPECT_EQ(Captions(M.FixedEntries(false)), (std::vector<std::string>{"添加收藏", "整理收藏夹", "-"}));
  M.Options = foExportFavorites;
  EXPECT_EQ(Captions(M.FixedEntries(true)), (std::vector<std::string>{"导出收藏夹", "-"}));
}

TEST(FavMenuModel, CaptionsShortenInGbkUnitsWithoutSplittingACharacter) {
  struct Case { const char* Title; int Width; const char* Shown; } Cases[] = {
      {"abcde", 5, "abcde"},  {"abcdef", 5, "abcde..."}, {"abc", 0, "..."}, {"", 0, ""},
      {"中文标题", 8, "中文标题"}, {"中文标题", 7, "中文标..."},  // the fourth character would straddle 7
      {"a中", 2, "a..."},     {"x_y", 50, "x_y"},
  };
  for (const Case& C : Cases) EXPECT_EQ(ShortenCaption(C.Title, C.Width), C.Shown) << C.Title << " " << C.Width;
}

TEST(FavMenuModel, FoldersComeFirstHiddenFoldersAreLeftOutAndUrlIsStripped) {
  const fs::path Root = vorlane::test::FreshFavorites("MenuFavorites");
  vorlane::test::WriteShortcut(Root, "a.b.url", "http://a.example/");
  vorlane::test::WriteShortcut(Root, "Zeta/z.url", "http://z.example/");
  vorlane::test::WriteShortcut(Root, ".hidden/h.url", "http://h.example/");
  vorlane::test::WriteShortcut(Root, ".dot.url", "http://dot.example/");
  fs::create_directory(Root / "Empty");
  ASSERT_EQ(::mkfifo((Root / "x.url").c_str(), 0600), 0);  // listing must not open it

  TFavoritesMenuModel M(Root.string() + "/");
  M.OnItemImageIndex = [](TMenuType T, int& I) { I = T == TMenuType::mtItem ? 1 : 0; };
  const auto Top = M.TopLevel(true);
  EXPECT_EQ(Captions(Top), (std::vector<std::string>{"Add to Favorites", "Organize Favorites", "-", "Empty", "Zeta",
                                                     ".dot", "a.b"}));
  EXPECT_EQ(Top[4].Type, TMenuType::mtFolder);
  EXPECT_EQ(Top[4].Hint, (Root / "Zeta").string());
  EXPECT_EQ(Top[6].Hint, (Root / "a.b.url").string());
  EXPECT_EQ(Top[6].ImageIndex, 1);
  EXPECT_EQ(Top[2].ImageIndex, -1);  // separators get no image
  EXPECT_EQ(Captions(M.ListFolder(Top[4].Hint)), std::vector<std::string>{"z"});
}

}  // namespace
