#include "framework/TabStrip.h"

#include "framework/TabLayout.h"
#include "support/MainLoop.h"

#include <gtest/gtest.h>
#include <gtkmm/window.h>

using vorlane::framework::TabLayout;
using vorlane::framework::TabStrip;

namespace {

class TabStripTest : public testing::Test {
protected:
  void SetUp() override {
    Window.set_default_size(600, 200);
    Window.set_child(Strip);
    Window.present();
    ASSERT_TRUE(vorlane::test::PumpUntil([&] { return Strip.get_width() > 0; }));
  }
  void TearDown() override { Window.set_visible(false); }
  Gtk::Window Window;
  TabStrip Strip;
  int Tags[10] = {};
};

TEST_F(TabStripTest, SelectionFollowsInsertionsAndDeletions) {
  Strip.Insert(0, "a", &Tags[0]);
  Strip.Insert(1, "b", &Tags[1]);
  Strip.Select(1);
  Strip.Insert(0, "c", &Tags[2]);  // before the selected tab: it moves along
  EXPECT_EQ(Strip.Selected(), 2);
  EXPECT_EQ(Strip.Caption(2), "b");
  Strip.Insert(3, "d", &Tags[3]);  // after it: no change
  EXPECT_EQ(Strip.Selected(), 2);
  Strip.Remove(0);
  EXPECT_EQ(Strip.Selected(), 1);
  Strip.Remove(1);  // the selected one: nothing is selected afterwards
  EXPECT_EQ(Strip.Selected(), -1);
  EXPECT_EQ(Strip.IndexOfTag(&Tags[3]), 1);
  EXPECT_EQ(Strip.IndexOfTag(&Tags[9]), -1);
  Strip.Remove(7);  // out of range: ignored
  EXPECT_EQ(Strip.Count(), 2);
}

TEST_F(TabStripTest, UserClicksSelectAndReportButProgramSelectionsStayQuiet) {
  for (int I = 0; I < 3; ++I) Strip.Insert(I, "t" + std::to_string(I), &Tags[I]);
  int Changes = 0, DoubleClicks = 0;
  Strip.signal_change().connect([&] { ++Changes; });
  Strip.signal_mouse_down().connect([&](int, int N, double, double) { DoubleClicks += N == 2; });
  Strip.Select(1);
  EXPECT_EQ(Changes, 0);
  Strip.ClickTab(2);
  EXPECT_EQ(Strip.Selected(), 2);
  EXPECT_EQ(Changes, 1);
  Strip.ClickTab(2);  // already selected
  EXPECT_EQ(Changes, 1);
  Strip.ClickTab(0, 2);
  EXPECT_EQ(DoubleClicks, 1);
  for (int Button : {2, 3, 8}) Strip.ClickTab(1, 1, Button);  // reported, never selecting
  EXPECT_EQ(Strip.Selected(), 2);
  EXPECT_EQ(Changes, 1);
}

TEST_F(TabStripTest, RowCountFollowsTheWidthAndReportsChanges) {
  int PerRow = TabLayout::TabsPerRow(Strip.get_width());
  for (int I = 0; I < PerRow + 1; ++I) Strip.Insert(I, "t", &Tags[I % 10]);
  EXPECT_EQ(Strip.RowCount(), 2);
  bool Changed = false;
  Strip.signal_rows_changed().connect([&] { Changed = true; });
  Strip.set_size_request(PerRow * 120 + 300, -1);  // the window grows to fit
  ASSERT_TRUE(vorlane::test::PumpUntil([&] { return Changed; }));
  EXPECT_EQ(Strip.RowCount(), 1);
}

}  // namespace
