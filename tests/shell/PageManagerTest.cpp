// Tabs and pages kept in step: insertion, selection, closing, strip height.
#include "MainWindowFixture.h"

#include "framework/TabLayout.h"

namespace vorlane::test {
namespace {

using framework::TabLayout;

TEST_F(MainWindowTest, StartsWithOneShownActivePageOnTheStartPageAndFocusInTheAddressBar) {
  ASSERT_EQ(PageCount(), 1);
  ASSERT_EQ(Tabs(), 1);
  shell::TFrmWeb* First = Tab(0);
  EXPECT_EQ(Active(), First);
  EXPECT_EQ(Selected(), 0);
  EXPECT_EQ(EngineOf(First).LastCall("Navigate2")->Arg, StartPage);
  EXPECT_EQ(Main().PageControl.Caption(0), StartPage);
  auto* Focus = Main().get_focus();
  ASSERT_NE(Focus, nullptr);
  EXPECT_TRUE(Focus == &Main().cobAddress || Focus->is_ancestor(Main().cobAddress));
}

TEST_F(MainWindowTest, BackgroundPagesLineUpNewestFirstRightOfTheSelectedTab) {
  shell::TFrmWeb* A = Tab(0);
  shell::TFrmWeb* B = Open("http://b.example/", false);
  shell::TFrmWeb* F1 = Open("http://f1.example/", false);
  shell::TFrmWeb* F2 = Open("http://f2.example/", false);
  ASSERT_EQ(Tabs(), 4);
  EXPECT_EQ(Tab(0), A);
  EXPECT_EQ(Tab(1), F2);
  EXPECT_EQ(Tab(2), F1);
  EXPECT_EQ(Tab(3), B);
  EXPECT_EQ(Selected(), 0);
  EXPECT_FALSE(Shown(F1));
  EXPECT_EQ(Active(), A);
  // Background pages load while hidden and keep their tab current.
  EngineOf(F1).CompleteNavigation("http://f1.example/next", "F1 标题");
  EXPECT_EQ(Main().PageControl.Caption(2), "F1 标题");
  EXPECT_EQ(Main().PageControl.Image(2), 4);
}

TEST_F(MainWindowTest, WithNoTabSelectedANewTabGoesFirst) {
  Open("http://b.example/", false);
  Main().PageControl.Select(-1);
  shell::TFrmWeb* C = Open("http://c.example/", false);
  EXPECT_EQ(Tab(0), C);
}

TEST_F(MainWindowTest, SelectingABackgroundTabShowsItsPageOnce) {
  shell::TFrmWeb* A = Tab(0);
  shell::TFrmWeb* B = Open("http://b.example/", false, "B");
  Main().PageControl.ClickTab(1);
  EXPECT_TRUE(Shown(B));
  EXPECT_EQ(Active(), B);
  EXPECT_EQ(AddressText(), "http://b.example/");
  Main().PageControl.ClickTab(0);
  EXPECT_EQ(Active(), A);
  EXPECT_TRUE(Shown(B));  // shown pages never go back to the background
}

TEST_F(MainWindowTest, DoubleClickClosesThatTabsPageAndASingleClickNever) {
  shell::TFrmWeb* A = Tab(0);
  shell::TFrmWeb* B = Open("http://b.example/", false, "B");
  Main().PageControl.ClickTab(1, 1);
  PumpPending();
  EXPECT_EQ(PageCount(), 2);
  Main().PageControl.ClickTab(0, 1);
  Main().PageControl.ClickTab(1, 2);  // the active page is A; B's tab is double-clicked
  ASSERT_TRUE(PumpUntil([&] { return PageCount() == 1; }));
  EXPECT_EQ(Tab(0), A);
  EXPECT_EQ(Main().UndoMenuItems().front().Hint, "http://b.example/");
  (void)B;
}

TEST_F(MainWindowTest, ClosingTheOnlyShownPageShowsTheFirstBackgroundTab) {
  shell::TFrmWeb* A = Tab(0);
  shell::TFrmWeb* B = Open("http://b.example/", false, "B");
  shell::TFrmWeb* C = Open("http://c.example/", false, "C");
  CloseAndWait(A);
  ASSERT_EQ(Tabs(), 2);
  EXPECT_EQ(Selected(), 0);
  EXPECT_EQ(Tab(0), C);
  EXPECT_EQ(Active(), C);
  EXPECT_TRUE(Shown(C));
  EXPECT_FALSE(Shown(B));
}

TEST_F(MainWindowTest, ClosingTheActivePageActivatesTheMostRecentlyActiveOne) {
  shell::TFrmWeb* A = Tab(0);
  shell::TFrmWeb* B = Open("http://b.example/", true, "B");
  shell::TFrmWeb* C = Open("http://c.example/", true, "C");
  Main().PageControl.ClickTab(Main().PageControl.IndexOfTag(A));
  Main().PageControl.ClickTab(Main().PageControl.IndexOfTag(C));
  CloseAndWait(C);
  EXPECT_EQ(Active(), A);
  EXPECT_EQ(Tab(Selected()), A);
  (void)B;
}

TEST_F(MainWindowTest, CloseAllDestroysShownPagesLeastRecentlyActiveFirstAndKeepsBackgroundTabs) {
  shell::TFrmWeb* A = Tab(0);
  EngineOf(A).CompleteNavigation("http://a.example/", "A");
  shell::TFrmWeb* Bg = Open("http://bg.example/", false, "Bg");
  shell::TFrmWeb* B = Open("http://b.example/", true, "B");
  ASSERT_EQ(Active(), B);
  Run("Ac_CloseAll");
  ASSERT_TRUE(PumpUntil([&] { return PageCount() == 1; }));  // each page agreed first
  ASSERT_EQ(Tabs(), 1);
  EXPECT_EQ(Tab(0), Bg);
  EXPECT_EQ(Active(), Bg);  // as when the only shown page closes
  auto& Menu = Main().UndoMenuItems();
  ASSERT_EQ(Menu.size(), 2u);
  EXPECT_EQ(Menu[0].Caption, "B");  // destroyed last
  EXPECT_EQ(Menu[1].Caption, "A");
}

TEST_F(MainWindowTest, StripHeightFollowsTheRowCount) {
  int PerRow = TabLayout::TabsPerRow(Main().PageControl.get_width());
  ASSERT_GE(PerRow, 2);
  EXPECT_EQ(Main().TabStripHeight(), 22);
  std::vector<shell::TFrmWeb*> Extra;
  while (Tabs() < 2 * PerRow + 1) Extra.push_back(Open("http://x.example/", false));
  EXPECT_EQ(Main().PageControl.RowCount(), 3);
  EXPECT_EQ(Main().TabStripHeight(), 66);
  EXPECT_EQ(Main().LastRowCount(), 3);
  Main().PageControl.set_size_request(-1, 50);  // a height the rule did not set
  Open("http://y.example/", false);             // same row count: the height is left alone
  EXPECT_EQ(Main().TabStripHeight(), 50);
  const int Before = PageCount();
  Run("Ac_CloseAll");  // the only shown page, once it agreed
  ASSERT_TRUE(PumpUntil([&] { return PageCount() == Before - 1; }));
  while (Tabs() > 1) CloseAndWait(Tab(Tabs() - 1));
  EXPECT_EQ(Main().TabStripHeight(), 22);
}

TEST_F(MainWindowTest, HoveringATabShowsItsWholeCaptionAsToolTip) {
  std::string Long(60, 'x');
  Open("http://b.example/", false, "很长的标题 " + Long);
  auto R = TabLayout::RectOf(1, Main().PageControl.get_width());
  Main().PageControlMouseMove(R.X + 5, R.Y + 5);
  EXPECT_EQ(std::string(Main().PageControl.get_tooltip_text()), "很长的标题 " + Long);
  Main().PageControlMouseMove(-5, -5);  // off every tab: unchanged
  EXPECT_EQ(std::string(Main().PageControl.get_tooltip_text()), "很长的标题 " + Long);
}

TEST_F(MainWindowTest, ClosingTheLastPageKeepsTheLastValuesShown) {
  shell::TFrmWeb* A = Tab(0);
  EngineOf(A).CompleteNavigation("http://a.example/", "A");
  EngineOf(A).FireStatusText("状态");
  EngineOf(A).FireProgress(4000, 10000);
  int Height = Main().TabStripHeight();
  CloseAndWait(A);
  EXPECT_EQ(Tabs(), 0);
  EXPECT_EQ(PageCount(), 0);
  EXPECT_EQ(Active(), nullptr);
  EXPECT_EQ(Main().TabStripHeight(), Height);
  EXPECT_EQ(AddressText(), "http://a.example/");
  EXPECT_EQ(Main().StatusText().get_text(), "状态");
  EXPECT_EQ(Main().ProgressGauge().Position(), 4000);
}

}  // namespace
}  // namespace vorlane::test
