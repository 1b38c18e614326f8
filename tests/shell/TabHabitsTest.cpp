// What a page asks of the tabs: links in tabs of their own, its own full screen.
#include "MainWindowFixture.h"

namespace vorlane::test {
namespace {

TEST_F(MainWindowTest, LinksAskedForInNewTabsOpenRightOfTheCurrentTabBehindOrInFront) {
  shell::TFrmWeb* A = Tab(0);
  EngineOf(A).CompleteNavigation("http://a.example/", "A");
  shell::TFrmWeb* B = Open("http://b.example/", false, "B");
  ASSERT_EQ(Tab(1), B);

  ASSERT_TRUE(EngineOf(A).FireOpenInNewTab("http://behind.example/", false));
  ASSERT_EQ(Tabs(), 3);
  shell::TFrmWeb* Behind = Tab(1);
  EXPECT_EQ(EngineOf(Behind).LastCall("Navigate2")->Arg, "http://behind.example/");
  EXPECT_EQ(Active(), A);
  EXPECT_FALSE(Shown(Behind));

  ASSERT_TRUE(EngineOf(A).FireOpenInNewTab("http://front.example/", true));
  ASSERT_EQ(Tabs(), 4);
  EXPECT_EQ(Active(), Tab(1));
  EXPECT_EQ(Selected(), 1);
  EXPECT_EQ(Tab(3), B);

  // What a click could not reach by itself never gets a tab of its own.
  EXPECT_FALSE(EngineOf(A).FireOpenInNewTab("javascript:alert(1)", false));
  EXPECT_FALSE(EngineOf(A).FireOpenInNewTab("file:///etc/passwd", false));
  EXPECT_EQ(Tabs(), 4);
}

TEST_F(MainWindowTest, APageOwnFullScreenHidesTheBarsUntilItLeavesOrF11) {
  shell::TFrmWeb* A = Tab(0);
  shell::TFrmWeb* B = Open("http://b.example/", false, "B");
  EngineOf(B).FireFullScreen(true);  // a background page gets no screen
  EXPECT_FALSE(Main().FullScreen());
  EngineOf(A).FireFullScreen(true);
  EXPECT_TRUE(Main().FullScreen());
  EXPECT_FALSE(Main().MainToolBar().get_visible());
  EXPECT_TRUE(Main().PageControl.get_visible());
  EngineOf(A).FireFullScreen(false);
  EXPECT_FALSE(Main().FullScreen());
  EXPECT_TRUE(Main().MainToolBar().get_visible());
  // Leaving full screen from the window ends the page's own too.
  EngineOf(A).FireFullScreen(true);
  Main().SetFullScreen(false);
  EXPECT_EQ(EngineOf(A).CallCount("LeaveFullScreen"), 2);
}

}  // namespace
}  // namespace vorlane::test
