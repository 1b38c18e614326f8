#include "favorites/OrganizeFavorites.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "TreeHelpers.h"
#include "favorites/IEUtils.h"

namespace fs = std::filesystem;
using namespace vorlane::favorites;
using vorlane::test::ReadTree;

namespace {

struct OrganizeFavoritesTest : ::testing::Test {
  fs::path Root = vorlane::test::FreshFavorites("OrganizeFavorites");
  TOrganizeFavorites Org{Root.string()};
  OrganizeFavoritesTest() {
    vorlane::test::WriteShortcut(Root, "a.url", "http://a.example/");
    vorlane::test::WriteShortcut(Root, "b.url", "http://b.example/");
    vorlane::test::WriteShortcut(Root, "News/n.url", "http://n.example/");
    fs::create_directories(Root / "News/Inner");
  }
};

TEST(OrganizeFavoritesNames, TypedNamesAreCleanedAsForANewFavorite) {
  const std::string Long(300, 'x'), Chinese = std::string(84, 'x') + [] {
    std::string S;
    for (int I = 0; I < 60; ++I) S += "汉";  // 3 bytes each
    return S;
  }();
  struct Case { std::string Typed; bool Favorite; std::string Name; } Cases[] = {
      {"a\\b/c:d*e?f\"g<h>i|j", true, "a-b-c-d-e-f-g-h-i-j.url"},
      {".hidden", false, "-hidden"}, {"..", false, "--"}, {"x\ty\x7fz", true, "xyz.url"},
      {"page.URL", true, "page.url"}, {"page.url", false, "page.url"},
      {Long, true, std::string(251, 'x') + ".url"}, {Long, false, std::string(255, 'x')},
      // 84 + 3 * 55 = 249 bytes fit with ".url"; the 56th character would cut in half.
      {Chinese, true, Chinese.substr(0, 249) + ".url"},
      {"", true, ""}, {"\x01\x02", false, ""}, {".url", true, ""}};
  for (const Case& C : Cases) EXPECT_EQ(TOrganizeFavorites::CleanName(C.Typed, C.Favorite), C.Name) << C.Typed;
}

TEST_F(OrganizeFavoritesTest, RenameKeepsTheExtensionAndRefusesAnEmptyName) {
  EXPECT_EQ(Org.Rename("a.url", "新闻: 首页").Item, "新闻- 首页.url");
  EXPECT_EQ(Org.Rename("News", "Press").Item, "Press");
  EXPECT_EQ(Org.Rename("b.url", "\x01").Status, TOrganizeStatus::Refused);
  EXPECT_EQ(Org.Rename("", "x").Status, TOrganizeStatus::Refused);
  EXPECT_EQ(Org.Rename("../x", "y").Status, TOrganizeStatus::Refused);
  EXPECT_EQ(ReadTree(Root), (std::map<std::string, std::string>{
      {"新闻- 首页.url", "http://a.example/"}, {"b.url", "http://b.example/"}, {"Press", "<dir>"},
      {"Press/Inner", "<dir>"}, {"Press/n.url", "http://n.example/"}}));
}

TEST_F(OrganizeFavoritesTest, AnExistingTargetIsAConflictUntilTheUserAgreesThenItGoesToTheTrash) {
  vorlane::test::WriteShortcut(Root, "News/a.url", "http://other.example/");
  const TOrganizeResult Renamed = Org.Rename("a.url", "b"), Moved = Org.Move("a.url", "News");
  EXPECT_EQ(Renamed.Status, TOrganizeStatus::Conflict);
  EXPECT_EQ(Renamed.Message, "「b」已存在。\n要替换它吗？");
  EXPECT_EQ(Moved.Status, TOrganizeStatus::Conflict);
  EXPECT_EQ(Moved.Item, "News/a.url");
  EXPECT_EQ(vorlane::test::ReadBytes(Root / "b.url").find("b.example") != std::string::npos, true);
  EXPECT_EQ(vorlane::test::ReadBytes(Root / "News/a.url").find("other") != std::string::npos, true);
  EXPECT_EQ(Org.Rename("a.url", "A").Item, "A.url");  // only the letter case changes
  const TOrganizeResult Replaced = Org.Rename("A.url", "b", true);
  if (Replaced.Status == TOrganizeStatus::Failed) {  // no trash here: nothing may be lost
    EXPECT_TRUE(fs::exists(Root / "b.url") && fs::exists(Root / "A.url")) << Replaced.Message;
    return;
  }
  EXPECT_EQ(Replaced.Item, "b.url");
  EXPECT_NE(vorlane::test::ReadBytes(Root / "b.url").find("a.example"), std::string::npos);
  EXPECT_FALSE(fs::exists(Root / "A.url"));
}

TEST_F(OrganizeFavoritesTest, NewFoldersTakeTheFirstFreeDefaultName) {
  EXPECT_EQ(Org.NewFolder("").Item, "新建文件夹");
  EXPECT_EQ(Org.NewFolder("").Item, "新建文件夹 (2)");
  fs::remove(Root / "新建文件夹");
  EXPECT_EQ(Org.NewFolder("").Item, "新建文件夹");
  EXPECT_EQ(Org.NewFolder("News").Item, "News/新建文件夹");
  EXPECT_EQ(Org.NewFolder("", ".x:y").Item, "-x-y");
  EXPECT_EQ(Org.NewFolder("", "News").Status, TOrganizeStatus::Refused);  // never replaced
  EXPECT_TRUE(fs::exists(Root / "News/n.url"));
}

TEST_F(OrganizeFavoritesTest, MovesStayInsideTheFavoritesAndNeverIntoThemselves) {
  const fs::path Outside = Root.parent_path() / "Outside";
  fs::create_directories(Outside);
  fs::create_directory_symlink(Outside, Root / "Link");
  fs::create_directory_symlink(Root / "News", Root / "NewsLink");
  struct Case { const char* Item; const char* Folder; TOrganizeStatus Status; } Cases[] = {
      {"News", "News", TOrganizeStatus::Refused},       {"News", "News/Inner", TOrganizeStatus::Refused},
      {"News", "NewsLink/Inner", TOrganizeStatus::Refused}, {"a.url", "Link", TOrganizeStatus::Refused},
      {"a.url", "..", TOrganizeStatus::Refused},         {"Link/x.url", "", TOrganizeStatus::Refused},
      {"a.url", "Missing", TOrganizeStatus::Refused},    {"a.url", "NewsLink/Inner", TOrganizeStatus::Done},
      {"News/Inner", "", TOrganizeStatus::Done}};
  vorlane::test::WriteShortcut(Outside, "x.url", "http://x.example/");
  for (const Case& C : Cases) EXPECT_EQ(Org.Move(C.Item, C.Folder).Status, C.Status) << C.Item << " " << C.Folder;
  EXPECT_TRUE(fs::exists(Root / "Inner/a.url"));  // moved along with its folder
  EXPECT_TRUE(fs::is_directory(Root / "Inner"));
  fs::create_directories(Root / "Inner/Deep/Inner");
  EXPECT_EQ(Org.Move("Inner/Deep/Inner", "", true).Status, TOrganizeStatus::Refused);  // would trash itself
  EXPECT_TRUE(fs::exists(Root / "Inner/a.url"));
  EXPECT_EQ(fs::directory_iterator(Outside)->path().filename(), "x.url");
}

TEST_F(OrganizeFavoritesTest, TrashTakesTheLinkAndLeavesItsTarget) {
  const fs::path Target = Root.parent_path() / "Target";
  vorlane::test::WriteShortcut(Target, "t.url", "http://t.example/");
  fs::create_directory_symlink(Target, Root / "Linked");
  const TOrganizeResult R = Org.Trash("Linked");
  EXPECT_TRUE(fs::exists(Target / "t.url"));
  if (!R.Ok()) {  // the trash is not usable here: reported, and nothing deleted
    EXPECT_EQ(R.Status, TOrganizeStatus::Failed);
    EXPECT_TRUE(fs::is_symlink(Root / "Linked")) << R.Message;
    return;
  }
  EXPECT_FALSE(fs::exists(fs::symlink_status(Root / "Linked")));
  EXPECT_TRUE(fs::is_symlink(fs::path(std::getenv("XDG_DATA_HOME")) / "Trash/files/Linked"));
  EXPECT_TRUE(Org.Trash("News").Ok());
  EXPECT_EQ(Org.Trash("News").Status, TOrganizeStatus::Refused);  // gone already
  EXPECT_EQ(Org.AddressOf("b.url"), "http://b.example/");
}

// Names from an old disk (GBK bytes) or with control characters show readably in messages.
TEST_F(OrganizeFavoritesTest, NamesFromDiskShowInMessagesAsALabelShowsThem) {
  struct Case { std::string Name, Shown; } Cases[] = {
      {"caf\xe9", "caf\xef\xbf\xbd"}, {"a\nb\tc", "a b c"}, {"新闻", "新闻"}};
  for (const Case& C : Cases) {
    EXPECT_EQ(ShownFileName(C.Name), C.Shown);
    vorlane::test::WriteShortcut(Root, C.Name + ".url", "http://x.example/");
    vorlane::test::WriteShortcut(Root, "News/" + C.Name + ".url", "http://y.example/");
    EXPECT_EQ(Org.Move("News/" + C.Name + ".url", "").Message, "「" + C.Shown + "」已存在。\n要替换它吗？");
  }
}

}  // namespace
