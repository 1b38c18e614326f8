#include "favorites/OrganizeFavoritesDialog.h"

#include <gtest/gtest.h>

#include "TreeHelpers.h"
#include "support/MainLoop.h"
#include "support/ScriptedDialogs.h"

namespace fs = std::filesystem;
using namespace vorlane::favorites;

namespace {

TEST(OrganizeFavoritesDialog, RenamesThroughTheDialogAndRefreshesItsCallersOnClose) {
  const fs::path Root = vorlane::test::FreshFavorites("OrganizeDialog");
  vorlane::test::WriteShortcut(Root, "Old <name>.url", "http://old.example/?a=<b>&c");
  vorlane::test::WriteShortcut(Root, "Keep.url", "http://keep.example/");
  vorlane::test::ScriptedDialogs Dialogs;
  Gtk::Window Main;
  TOrganizeFavoritesCommand Command;
  int Done = 0;
  Command.Execute(Main, &Dialogs, Root.string(), [&] { ++Done; });
  Command.Execute(Main, &Dialogs, Root.string(), [&] { ++Done; });  // presents the same dialog
  TOrganizeFavoritesDialog* D = Command.Dialog();
  ASSERT_TRUE(D && D->get_visible());
  EXPECT_EQ(D->get_title(), "整理收藏夹");

  ASSERT_TRUE(D->Select("Old <name>.url"));
  EXPECT_EQ(D->ShownName().get_text(), "Old <name>");
  EXPECT_EQ(D->ShownAddress().get_text(), "http://old.example/?a=<b>&c");
  Dialogs.QueueText("Keep");  // taken: asked, and refused
  D->RenameClick();
  EXPECT_EQ(Dialogs.Calls().back().Text, "「Keep」已存在。\n要替换它吗？");
  EXPECT_TRUE(fs::exists(Root / "Old <name>.url"));
  Dialogs.QueueText("新 名");
  D->RenameClick();
  EXPECT_EQ(Dialogs.Calls().back().Initial, "Old <name>");
  EXPECT_EQ(D->SelectedItem(), "新 名.url");
  EXPECT_EQ(D->ShownName().get_text(), "新 名");

  // A new folder (named at once; cancelled: it keeps its default name), a move into it, and
  // a delete that asks first.
  ASSERT_TRUE(D->Select(""));
  D->CreateFolderClick();
  EXPECT_EQ(D->SelectedItem(), "新建文件夹");
  ASSERT_TRUE(D->Select("新 名.url"));
  D->MoveTo("新建文件夹");
  ASSERT_TRUE(D->Select("Keep.url"));
  D->DeleteClick();
  EXPECT_EQ(Dialogs.Calls().back().Text, "确实要删除「Keep」吗？\n它将被移到回收站。");
  EXPECT_TRUE(fs::exists(Root / "Keep.url"));
  Dialogs.QueueResult(vorlane::platform::MessageResult::Yes);
  D->DeleteClick();
  EXPECT_EQ(D->SelectedItem(), "");
  EXPECT_EQ(vorlane::test::ReadTree(Root), (std::map<std::string, std::string>{
      {"新建文件夹", "<dir>"}, {"新建文件夹/新 名.url", "http://old.example/?a=<b>&c"}}));

  // One watcher for the dialog, none for its move targets, and none once it is closed.
  EXPECT_TRUE(D->Tree().Watching());
  D->MoveTargets().ReloadFavorites();
  EXPECT_FALSE(D->MoveTargets().Watching());
  D->close();
  EXPECT_FALSE(D->Tree().Watching());
  EXPECT_EQ(Done, 2);
  EXPECT_TRUE(vorlane::test::PumpUntil([&] { return Command.Dialog() == nullptr; }));
}

// A folder opened and closed again: its new subfolder is found and named, not the folder.
TEST(OrganizeFavoritesDialog, NamesTheNewFolderInsideAFolderThatWasOpenedAndClosed) {
  const fs::path Root = vorlane::test::FreshFavorites("OrganizeClosed");
  vorlane::test::WriteShortcut(Root, "News/a.url", "http://a.example/");
  vorlane::test::ScriptedDialogs Dialogs;
  Gtk::Window Main;
  TOrganizeFavoritesCommand Command;
  Command.Execute(Main, &Dialogs, Root.string(), {});
  TOrganizeFavoritesDialog* D = Command.Dialog();
  ASSERT_TRUE(D->Select("News/a.url"));
  D->Tree().RowOf(D->Tree().NodeAt(1))->set_expanded(false);
  ASSERT_TRUE(D->Select("News"));
  Dialogs.QueueText("Sub");
  D->CreateFolderClick();
  EXPECT_EQ(D->SelectedItem(), "News/Sub");
  EXPECT_EQ(vorlane::test::ReadTree(Root), (std::map<std::string, std::string>{
      {"News", "<dir>"}, {"News/Sub", "<dir>"}, {"News/a.url", "http://a.example/"}}));
  D->close();
}

}  // namespace
