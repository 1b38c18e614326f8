// Where tabs open and come back, and what the tab strip and status bar show around them.
#include "MainWindowFixture.h"
#include "framework/TabLayout.h"

#include <gtkmm/popover.h>

namespace vorlane::test {
namespace {

using shell::TFrmWeb;

TEST_F(MainWindowTest, WindowsOpenedFromOnePageLineUpInOrderRightOfIt) {
  TFrmWeb* A = Tab(0);
  EngineOf(A).CompleteNavigation("http://a.example/", "A");
  TFrmWeb* B = Open("http://b.example/", false, "B");
  for (const char* Url : {"http://w1.example/", "http://w2.example/", "http://w3.example/"})
    ASSERT_NE(EngineOf(A).FireNewWindow(Url), nullptr);
  ASSERT_EQ(Tabs(), 5);
  EXPECT_EQ(Tab(0), A);
  for (int I = 1; I <= 3; ++I)
    EXPECT_EQ(EngineOf(Tab(I)).LastCall("LoadFromOpener")->Arg, "http://w" + std::to_string(I) + ".example/");
  EXPECT_EQ(Tab(4), B);
  EXPECT_EQ(Selected(), 0);  // they open in the background
}

TEST_F(MainWindowTest, AReopenedPageComesBackSelectedAtItsOldPlace) {
  Open("http://b.example/", false, "B");
  TFrmWeb* C = Open("http://c.example/", false, "C");  // between the first page and B
  ASSERT_EQ(Tab(1), C);
  CloseAndWait(C);
  Main().PageControl.ClickTab(1);  // B, where C was
  Run("Ac_UnDo");
  ASSERT_EQ(Tabs(), 3);
  EXPECT_EQ(EngineOf(Tab(1)).LastCall("Navigate2")->Arg, "http://c.example/");
  EXPECT_EQ(Selected(), 1);
  EXPECT_EQ(Active(), Tab(1));
}

TEST_F(MainWindowTest, TheTabsToolTipGoesWhileItsMenuIsOpen) {
  Open("http://b.example/", false, "B");
  auto R = framework::TabLayout::RectOf(1, Main().PageControl.get_width());
  Main().PageControlMouseMove(R.X + 5, R.Y + 5);
  ASSERT_TRUE(Main().PageControl.get_has_tooltip());
  Main().PageControlMouseDown(3, 1, R.X + 5, R.Y + 5);
  EXPECT_FALSE(Main().PageControl.get_has_tooltip());
  Main().PageControlMouseMove(R.X + 6, R.Y + 5);
  EXPECT_FALSE(Main().PageControl.get_has_tooltip());
  for (auto* W = Main().PageControl.get_first_child(); W; W = W->get_next_sibling())
    if (auto* Menu = dynamic_cast<Gtk::Popover*>(W)) Menu->popdown();
  EXPECT_TRUE(Main().PageControl.get_has_tooltip());
}

TEST_F(MainWindowTest, ALinkShownUnderThePointerGoesWhenTheTabChanges) {
  Open("http://b.example/", false, "B");
  EngineOf(Active()).FireStatusText("http://link.example/");
  ASSERT_EQ(Main().StatusText().get_text(), "http://link.example/");
  Main().PageControl.ClickTab(1);
  EXPECT_EQ(Main().StatusText().get_text(), "");
}

}  // namespace
}  // namespace vorlane::test
