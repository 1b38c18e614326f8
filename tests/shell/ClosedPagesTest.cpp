// The closed-page list and its drop-down, through the window.
#include "MainWindowFixture.h"

namespace vorlane::test {
namespace {

TEST_F(MainWindowTest, TwentyOneClosesKeepTwentyEntriesInListAndMenu) {
  for (int I = 1; I <= 21; ++I) {
    auto* P = Open("http://p" + std::to_string(I) + ".example/", false, "P" + std::to_string(I));
    CloseAndWait(P);
  }
  EXPECT_EQ(Main().UndoList().Count(), 20);
  ASSERT_EQ(Main().UndoMenuItems().size(), 20u);
  EXPECT_EQ(Main().pmnUndo->get_n_items(), 20);
  EXPECT_EQ(Main().UndoMenuItems().front().Caption, "P21");
  EXPECT_EQ(Main().UndoMenuItems().back().Caption, "P2");
  for (size_t I = 0; I < 20; ++I) EXPECT_EQ(Main().UndoMenuItems()[I].Tag, Main().UndoList().Items(static_cast<int>(I)));

  Run("Ac_UnDo");
  EXPECT_EQ(Main().UndoList().Count(), 19);
  EXPECT_EQ(EngineOf(Tab(1)).LastCall("Navigate2")->Arg, "http://p21.example/");
  EXPECT_TRUE(Shown(Tab(1)));  // reopened at the front
  CloseAndWait(Tab(1));
  EXPECT_EQ(Main().UndoList().Count(), 20);
  EXPECT_EQ(Main().UndoMenuItems().back().Caption, "P2");
}

TEST_F(MainWindowTest, UndoWithAnEmptyListDoesNothing) {
  Run("Ac_UnDo");
  EXPECT_EQ(PageCount(), 1);
}

TEST_F(MainWindowTest, UndoAfterCloseAllShowsThePageDestroyedLast) {
  EngineOf(Tab(0)).CompleteNavigation("http://a.example/", "A");
  Open("http://b.example/", true, "B");
  Run("Ac_CloseAll");
  ASSERT_TRUE(PumpUntil([&] { return PageCount() == 0; }));
  Run("Ac_UnDo");
  ASSERT_EQ(PageCount(), 1);
  EXPECT_EQ(Active(), Tab(0));
  EXPECT_EQ(EngineOf(Active()).LastCall("Navigate2")->Arg, "http://b.example/");
}

TEST_F(MainWindowTest, APageClosedBeforeItsTitleArrivedIsListedByItsAddress) {
  auto* P = Main().NewPage("http://untitled.example/", false);
  CloseAndWait(P);
  EXPECT_EQ(Main().UndoMenuItems().front().Caption, "http://untitled.example/");
  EXPECT_EQ(Main().UndoMenuItems().front().Hint, "http://untitled.example/");
}

TEST_F(MainWindowTest, TheDropDownShowsTitlesAsTheyAre) {
  CloseAndWait(Open("http://u.example/", false, "测试_页面 one_two"));
  auto Label = Main().pmnUndo->get_item_attribute(0, Gio::MenuModel::Attribute::LABEL, Glib::VariantType("s"));
  EXPECT_EQ(Glib::VariantBase::cast_dynamic<Glib::Variant<Glib::ustring>>(Label).get(), "测试__页面 one__two");
}

TEST_F(MainWindowTest, TheSameAddressClosedTwiceIsListedTwice) {
  CloseAndWait(Open("http://same.example/", false, "Same"));
  CloseAndWait(Open("http://same.example/", false, "Same"));
  ASSERT_EQ(Main().UndoMenuItems().size(), 2u);
  Main().UndoItemClick(1);
  ASSERT_EQ(Main().UndoMenuItems().size(), 1u);
  EXPECT_EQ(Main().UndoMenuItems()[0].Caption, "Same");
  EXPECT_EQ(Main().UndoList().Count(), 1);
  // The drop-down's item runs the same as a click.
  Main().activate_action("main.undo-item", Glib::Variant<int32_t>::create(0));
  EXPECT_TRUE(Main().UndoMenuItems().empty());
  EXPECT_EQ(PageCount(), 3);
}

}  // namespace
}  // namespace vorlane::test
