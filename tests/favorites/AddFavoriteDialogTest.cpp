#include "favorites/AddFavoriteDialog.h"

#include <gtest/gtest.h>

#include "TreeHelpers.h"
#include "support/MainLoop.h"
#include "support/ScriptedDialogs.h"

namespace fs = std::filesystem;
using namespace vorlane::favorites;
using vorlane::test::PumpUntil;

namespace {

// The folders come a level at a time, each when it is opened and from a worker thread:
// nothing is there at once, and nothing below a folder before it is opened.
TEST(AddFavoriteDialog, ListsEachLevelWhenOpenedAndAsksBeforeReplacing) {
  const fs::path Root = vorlane::test::FreshFavorites("AddDialog");
  vorlane::test::WriteShortcut(Root, "News/a.url", "http://old.example/");
  vorlane::test::WriteShortcut(Root, "News/Deep/x.url", "http://x.example/");
  fs::create_directory(Root / "Tech");
  vorlane::test::ScriptedDialogs Dialogs;
  Gtk::Window Main;
  int Added = 0;
  TAddFavoriteDialog D(Main, Dialogs, Root.string() + "/", {"a", "http://new.example/"}, [&] { ++Added; });
  TFavoriteFolderChooser& F = D.Folders();
  EXPECT_EQ(F.RowCount(), 1u);
  ASSERT_TRUE(PumpUntil([&] { return F.Listing() == 0; }));
  ASSERT_EQ(F.RowCount(), 3u);
  EXPECT_EQ(F.PathAt(1), (Root / "News").string());
  F.Expand(1);
  EXPECT_EQ(F.RowCount(), 3u);
  ASSERT_TRUE(PumpUntil([&] { return F.Listing() == 0; }));
  ASSERT_EQ(F.RowCount(), 4u);
  EXPECT_EQ(F.PathAt(2), (Root / "News/Deep").string());

  F.Select(1);
  EXPECT_EQ(D.NameEntry().get_text(), "a");
  D.Accept();  // asked, and not replaced
  EXPECT_EQ(Dialogs.Calls().at(0).Text, "收藏夹中已有“a”。\n要替换它吗？");
  EXPECT_EQ(vorlane::test::ReadTree(Root).at("News/a.url"), "http://old.example/");
  EXPECT_EQ(Added, 0);

  TAddFavoriteDialog Again(Main, Dialogs, Root.string(), {"a", "http://new.example/"}, [&] { ++Added; });
  ASSERT_TRUE(PumpUntil([&] { return Again.Folders().Listing() == 0; }));
  Again.Folders().Select(1);
  Dialogs.QueueResult(vorlane::platform::MessageResult::Yes);
  Again.Accept();
  EXPECT_EQ(vorlane::test::ReadTree(Root).at("News/a.url"), "http://new.example/");
  EXPECT_EQ(Added, 1);
}

}  // namespace
