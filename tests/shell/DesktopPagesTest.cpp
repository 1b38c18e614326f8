// Addresses from the desktop open as pages of the main window.
#include "MainWindowFixture.h"

namespace vorlane::test {
namespace {

std::string Address(shell::TFrmWeb* Page) { return Page->GetUrl(); }

TEST_F(MainWindowTest, HandedAddressesOpenInOrderTheFirstShownTheRestInTheBackground) {
  shell::TFrmWeb* Start = Tab(0);
  Open("http://other.example/", false);
  Main().OpenAddresses({"http://a.example/", "http://b.example/", "http://c.example/"});
  ASSERT_EQ(Tabs(), 5);
  EXPECT_EQ(Tab(0), Start);
  std::vector<std::string> Order;
  for (int I = 1; I < 5; ++I) Order.push_back(Address(Tab(I)));
  EXPECT_EQ(Order, (std::vector<std::string>{"http://a.example/", "http://b.example/", "http://c.example/",
                                             "http://other.example/"}));
  EXPECT_EQ(Active(), Tab(1));
  EXPECT_EQ(Selected(), 1);
  EXPECT_FALSE(Shown(Tab(2)));
  EXPECT_FALSE(Shown(Tab(3)));
  Main().OpenAddresses({});
  EXPECT_EQ(Tabs(), 5);
}

TEST(DesktopStart, StartAddressesReplaceTheStartPage) {
  TFakeEngineFactory Engines;
  shell::TFrmMain Main(Engines.Factory(), shell::TProductSite("vorlane://home.vorlane"));
  Main.StartAddresses = {"http://a.example/", "http://b.example/"};
  Main.present();
  ASSERT_TRUE(PumpUntil([&] { return Main.PageControl.Count() == 2; }));
  EXPECT_EQ(Main.PageOfTab(0)->GetUrl(), "http://a.example/");
  EXPECT_EQ(Main.PageOfTab(1)->GetUrl(), "http://b.example/");
  EXPECT_EQ(Main.ActivePage(), Main.PageOfTab(0));
  Main.set_visible(false);
}

}  // namespace
}  // namespace vorlane::test
