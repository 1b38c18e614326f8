// What a page asks of the tabs: links in tabs of their own, its own full screen.
#include "MainWindowFixture.h"

namespace vorlane::test {
namespace {

TEST_F(MainWindowTest, LinksAskedForInNewTabsOpenRightOfTheCurrentTabBehindOrInFront) {
  shell::TFrmWeb* A = Tab(0);
  EngineOf(A).CompleteNavigation("http://a.example/", "A");
  shell::TFrmWeb* B = Open("http://b.example/", false, "B");
  ASSERT_TRUE(EngineOf(A).FireOpenInNewTab("http://behind.example/", false));
  ASSERT_EQ(Tabs(), 3);
  EXPECT_EQ(EngineOf(Tab(1)).LastCall("Navigate2")->Arg, "http://behind.example/");
  EXPECT_FALSE(Shown(Tab(1)));
  EXPECT_EQ(Active(), A);
  ASSERT_TRUE(EngineOf(A).FireOpenInNewTab("http://front.example/", true));
  EXPECT_EQ(Active(), Tab(1));
  EXPECT_EQ(Tab(3), B);
  // A script address would run in the new tab outside the page's limits.
  EXPECT_FALSE(EngineOf(A).FireOpenInNewTab("javascript:alert(1)", false));
  EXPECT_EQ(Tabs(), 4);
}

TEST_F(MainWindowTest, APageOwnFullScreenHidesTheBarsWhileItIsTheActivePage) {
  shell::TFrmWeb* A = Tab(0);
  EngineOf(Open("http://b.example/", false, "B")).FireFullScreen(true);
  EXPECT_FALSE(Main().FullScreen());
  EngineOf(A).FireFullScreen(true);
  EXPECT_TRUE(Main().FullScreen() && !Main().MainToolBar().get_visible() && Main().PageControl.get_visible());
  EngineOf(A).FireFullScreen(false);
  EXPECT_TRUE(!Main().FullScreen() && Main().MainToolBar().get_visible());
}

}  // namespace
}  // namespace vorlane::test
