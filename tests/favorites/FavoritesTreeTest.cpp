#include "favorites/FavoritesTree.h"

#include <gtest/gtest.h>
#include <map>
#include <gtkmm/window.h>

#include "TreeHelpers.h"
#include "favorites/ImportFavorites.h"
#include "support/MainLoop.h"
#include "support/RealInput.h"
#include "support/ScriptedDialogs.h"

namespace fs = std::filesystem;
using namespace vorlane::favorites;

namespace {

struct FavoritesTreeTest : ::testing::Test {
  fs::path Root = vorlane::test::FreshFavorites("TreeFavorites");
  vorlane::test::ScriptedDialogs Dialogs;
  std::vector<std::string> Navigated;

  FavoritesTreeTest() {
    vorlane::test::WriteShortcut(Root, "A.URL", "http://a.example/");
    vorlane::test::WriteShortcut(Root, "Folder/Inner/i.url", "http://i.example/");
    vorlane::test::WriteShortcut(Root, "Folder/f.url", "http://f.example/");
  }
  std::unique_ptr<TFavoritesTree> Make(std::uint8_t Options = 31) {
    auto T = std::make_unique<TFavoritesTree>(Dialogs, Root.string() + "/", Options);
    T->OnNavigate = [this](const std::string& Url) { Navigated.push_back(Url); };
    T->ReloadFavorites();
    return T;
  }
  static std::vector<std::string> Rows(TFavoritesTree& T) {
    std::vector<std::string> R;
    for (unsigned I = 0; I < T.RowCount(); ++I) R.push_back(T.NodeAt(I)->Caption);
    return R;
  }
  static unsigned Find(TFavoritesTree& T, const std::string& Caption) {
    for (unsigned I = 0; I < T.RowCount(); ++I)
      if (T.NodeAt(I)->Caption == Caption) return I;
    ADD_FAILURE() << Caption;
    return 0;
  }
};

TEST_F(FavoritesTreeTest, WithoutRootTheTopLevelHoldsCommandsFoldersAndFavorites) {
  auto T = Make(foShowItems | foShowOrganize | foShowImport | foShowExport);
  EXPECT_EQ(Rows(*T), (std::vector<std::string>{"整理收藏夹", "导入收藏夹", "导出收藏夹", "Folder", "A"}));
  EXPECT_EQ(T->NodePath(T->NodeAt(3)), Root.string() + "/Folder/");
  auto Folders = Make(foShowRoot);
  EXPECT_EQ(Rows(*Folders), (std::vector<std::string>{"收藏夹", "Folder"}));
  Folders->ActivateRow(1);
  EXPECT_EQ(Rows(*Folders), (std::vector<std::string>{"收藏夹", "Folder", "Inner"}));
}

TEST_F(FavoritesTreeTest, AFolderIsListedOnceWhetherActivatedOrExpanded) {
  auto T = Make();
  T->ActivateRow(Find(*T, "Folder"));
  T->ActivateRow(Find(*T, "Folder"));
  EXPECT_EQ(Rows(*T), (std::vector<std::string>{"收藏夹", "整理收藏夹", "导入收藏夹", "导出收藏夹", "Folder", "Inner", "f", "A"}));
  // Expanding through the row (the expander's way) lists the folder as well.
  Gtk::Window Win;
  Win.set_child(*T);
  Win.present();
  ASSERT_TRUE(vorlane::test::PumpUntil([&] { return T->View().get_first_child() && T->View().get_first_child()->get_mapped(); }));
  T->RowOf(T->NodeAt(Find(*T, "Inner")))->set_expanded(true);
  EXPECT_TRUE(vorlane::test::PumpUntil([&] { return T->RowCount() == 9u; }));
  EXPECT_EQ(T->NodeAt(Find(*T, "Inner"))->Type, TNodeType::ntFolder);
}

TEST_F(FavoritesTreeTest, TheArrowAndTheKeysExpandAndCollapseAFolderWithARealPointerAndKeyboard) {
  auto T = Make();
  Gtk::Window Win;
  Win.set_default_size(300, 300);
  Win.set_child(*T);
  Win.present();
  ASSERT_TRUE(vorlane::test::FocusWindow(Win));
  auto RowWidget = [&](const std::string& Caption) -> TFavoriteRow* {
    for (auto* Item = T->View().get_first_child(); Item; Item = Item->get_next_sibling())
      if (auto* R = dynamic_cast<TFavoriteRow*>(Item->get_first_child()); R && R->Row() && R->Caption() == Caption.c_str())
        return R;
    return nullptr;
  };
  ASSERT_TRUE(vorlane::test::PumpUntil([&] { return RowWidget("Folder") && RowWidget("Folder")->get_width() > 0; }));
  auto Selection = std::dynamic_pointer_cast<Gtk::SingleSelection>(T->View().get_model());
  Selection->set_selected(Find(*T, "A"));
  // A click on the arrow opens the folder and leaves the selection where it was.
  TFavoriteRow& Folder = *RowWidget("Folder");
  const int ArrowMiddle = static_cast<int>(Folder.Row()->get_depth()) * TFavoriteRow::Indent + TFavoriteRow::Indent / 2;
  ASSERT_TRUE(vorlane::test::MovePointerTo(Folder, ArrowMiddle - Folder.get_width() / 2));
  vorlane::test::PumpPending();
  vorlane::test::PressButton(true);
  vorlane::test::PressButton(false);
  ASSERT_TRUE(vorlane::test::PumpUntil([&] { return T->RowCount() == 8u; }));
  EXPECT_EQ(T->NodeAt(Selection->get_selected())->Caption, "A");
  // Left and Right close and open the selected folder.
  T->View().grab_focus();
  Selection->set_selected(Find(*T, "Folder"));
  vorlane::test::PressKey(GDK_KEY_Left);
  ASSERT_TRUE(vorlane::test::PumpUntil([&] { return T->RowCount() == 6u; }));
  vorlane::test::PressKey(GDK_KEY_Right);
  EXPECT_TRUE(vorlane::test::PumpUntil([&] { return T->RowCount() == 8u; }));
}

TEST_F(FavoritesTreeTest, AnUppercaseShortcutNavigatesAndStaysAMissingOneIsRemoved) {
  auto T = Make();
  T->ActivateRow(Find(*T, "A"));
  EXPECT_EQ(Navigated, std::vector<std::string>{"http://a.example/"});
  EXPECT_EQ(T->RowCount(), 6u);
  std::vector<std::string> Missing;
  T->OnNodeMissing = [&](TFavoriteNode& N) { Missing.push_back(N.Caption); };
  fs::remove(Root / "A.URL");
  T->ActivateRow(Find(*T, "A"));
  EXPECT_EQ(Missing, std::vector<std::string>{"A"});
  EXPECT_EQ(T->RowCount(), 5u);
  EXPECT_EQ(Navigated.size(), 1u);
}

TEST_F(FavoritesTreeTest, ChangesOnDiskAreMergedKeepingExpandedFolders) {
  auto T = Make();
  bool Changed = false;
  T->OnFavoritesChanged = [&] { Changed = true; };
  T->ActivateRow(Find(*T, "Folder"));
  vorlane::test::WriteShortcut(Root, "Folder/g.url", "http://g.example/");
  vorlane::test::WriteShortcut(Root, "B.url", "http://b.example/");
  ASSERT_TRUE(vorlane::test::PumpUntil([&] { return Changed; }));
  T->ScheduleRefresh();
  T->ScheduleRefresh();
  ASSERT_TRUE(vorlane::test::PumpUntil([&] { return T->RowCount() == 10; }));
  EXPECT_EQ(Rows(*T), (std::vector<std::string>{"收藏夹", "整理收藏夹", "导入收藏夹", "导出收藏夹", "Folder", "Inner", "f", "g",
                                                "A", "B"}));
}

TEST_F(FavoritesTreeTest, AReloadGivesAFreshTreeKeepingTheNodesThatDidNotChange) {
  auto T = Make();
  T->ActivateRow(Find(*T, "Folder"));
  TFavoriteNode* Folder = T->NodeAt(Find(*T, "Folder"));
  fs::remove(Root / "A.URL");
  vorlane::test::WriteShortcut(Root, "B.url", "http://b.example/");
  T->ReloadFavorites();
  EXPECT_EQ(Rows(*T), (std::vector<std::string>{"收藏夹", "整理收藏夹", "导入收藏夹", "导出收藏夹", "Folder", "B"}));
  EXPECT_EQ(T->NodeAt(Find(*T, "Folder")), Folder);
  EXPECT_FALSE(T->RowOf(Folder)->get_expanded());
  T->ActivateRow(Find(*T, "Folder"));  // unlisted again, so listed again
  EXPECT_EQ(T->RowCount(), 8u);
  // Whatever the options were, a reload under new ones equals a fresh tree's first load.
  for (int Options : {+foShowItems, foShowRoot | foShowImport, 31, foShowExport | foShowItems, 0}) {
    T->SetOptions(Options);
    T->ReloadFavorites();
    EXPECT_EQ(Rows(*T), Rows(*Make(Options))) << Options;
  }
}

TEST_F(FavoritesTreeTest, ImportThroughTheTreeRebuildsIt) {
  auto T = Make();
  T->ActivateRow(Find(*T, "Folder"));
  const fs::path Book = Root.parent_path() / "book.htm";
  vorlane::test::WriteBytes(Book, "<!DOCTYPE NETSCAPE-Bookmark-file-1>\r\n<DL><p>\r\n"
                                  "<DT><A HREF=\"http://n.example/\">N</A>\r\n</DL><p>\r\n");
  TImportFavorite Importer(Dialogs);
  Importer.SetFavoritesPath(Root.string());
  Importer.SetShowSuccessMessage(false);
  T->Transfer.Importer = &Importer;
  T->Transfer.OnImportClick = [&](const std::string&, std::function<void(std::string)> Done) { Done(Book.string()); };
  T->ActivateRow(Find(*T, "导入收藏夹"));
  EXPECT_EQ(Rows(*T), (std::vector<std::string>{"收藏夹", "整理收藏夹", "导入收藏夹", "导出收藏夹", "book", "Folder", "A"}));
}

// Every folder opened one by one gives what one walk of the whole folder gives.
TEST_F(FavoritesTreeTest, OpeningEveryFolderGivesTheEagerListing) {
  vorlane::test::WriteShortcut(Root, "Folder/Inner/Deep/d.url", "http://d.example/");
  fs::create_directories(Root / "Empty");
  auto T = Make(foShowRoot | foShowItems);
  for (unsigned I = 0; I < T->RowCount(); ++I)
    if (T->NodeAt(I)->Type == TNodeType::ntEmptyFolder) T->FillNode(T->NodeAt(I));
  std::map<std::string, std::string> Lazy;
  for (unsigned I = 1; I < T->RowCount(); ++I) {
    const std::string Path = T->NodePath(T->NodeAt(I));
    Lazy[fs::relative(Path, Root).string()] = T->NodeAt(I)->Type == TNodeType::ntItem ? "http" : "<dir>";
  }
  auto Eager = vorlane::test::ReadTree(Root);
  for (auto& [Path, Value] : Eager)
    if (Value != "<dir>") Value = "http";
  EXPECT_EQ(Lazy, Eager);
}

// No Favorites folder, or a file where it should be: an empty tree that watches nothing,
// never the file system's root.
TEST_F(FavoritesTreeTest, AMissingOrUnusableFolderGivesAnEmptyTreeThatWatchesNothing) {
  vorlane::test::WriteBytes(Root / "NotAFolder", "x");
  for (const std::string& Folder : {std::string(), (Root / "NotAFolder").string()}) {
    TFavoritesTree T(Dialogs, Folder, foShowRoot | foShowItems);
    T.ReloadFavorites();
    EXPECT_EQ(T.RowCount(), 1u) << Folder;
    EXPECT_FALSE(T.Watching()) << Folder;
    EXPECT_NE(T.NodePath(nullptr), "/");
  }
}

}  // namespace
