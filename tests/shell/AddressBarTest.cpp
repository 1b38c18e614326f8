// The address bar in the main window, driven by real key presses: list commits, typed
// text against page events and tab switches, and a Chinese input method composing.
#include "MainWindowFixture.h"
#include "support/RealKeys.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace vorlane::test {
namespace {

class AddressBarTest : public MainWindowTest {
protected:
  void SetUp() override {
    // The desktop's own input method, whatever this machine runs.
    setenv("GTK_IM_MODULE", "gtk-im-context-simple", 1);
    MainWindowTest::SetUp();
  }
  navigation::TIEAddress& Box() { return Main().cobAddress; }
  void FocusBox() {
    ASSERT_TRUE(FocusWindow(Main()));
    Box().grab_focus();
    ASSERT_TRUE(PumpUntil([&] { return Box().HasFocusWithin(); }));
  }
  void Keys(const std::string& Keys) { ASSERT_TRUE(PressKeys(Keys)) << Keys; }
};

TEST_F(AddressBarTest, EnterWithTheListOpenNavigatesOnceAndMovesTheEntryToTheTop) {
  shell::TFrmWeb* A = Tab(0);
  Box().SetItems({"http://a.example/", "http://b.example/", "http://c.example/"});
  FocusBox();
  int Before = EngineOf(A).CallCount("Navigate2");
  Keys("Down Down Down Return");
  ASSERT_TRUE(PumpUntil([&] { return EngineOf(A).CallCount("Navigate2") > Before; }));
  PumpPending();
  EXPECT_EQ(EngineOf(A).CallCount("Navigate2"), Before + 1);
  EXPECT_EQ(EngineOf(A).LastCall("Navigate2")->Arg, "http://b.example/");
  EXPECT_EQ(Box().Items().front(), "http://b.example/");
  EXPECT_EQ(Box().Items().size(), 3u);
  EXPECT_TRUE(Box().get_editable());
  EXPECT_FALSE(Box().ListOpen());
}

TEST_F(AddressBarTest, TypedTextSurvivesAPageEventWhileATabSwitchReplacesIt) {
  shell::TFrmWeb* A = Tab(0);
  Open("http://b.example/", false, "B");
  FocusBox();
  Box().set_text("half typ");
  EngineOf(A).CompleteNavigation("http://a.example/later", "later");
  EXPECT_EQ(AddressText(), "half typ");
  EXPECT_EQ(Box().CurrentUrl(), "http://a.example/later");
  Main().PageControl.ClickTab(1);
  EXPECT_EQ(AddressText(), "http://b.example/");
  Main().PageControl.ClickTab(0);
  EXPECT_EQ(AddressText(), "http://a.example/later");
}

TEST_F(AddressBarTest, EnterConfirmsACompositionAndNavigatesOnlyOnTheNextEnter) {
  shell::TFrmWeb* A = Tab(0);
  FocusBox();
  Box().set_text("");
  int Before = EngineOf(A).CallCount("Navigate2");
  Keys("ctrl+shift+u 4 e 2 d Return");
  ASSERT_TRUE(PumpUntil([&] { return Box().Text() == "中" && !Box().Composing(); }));
  PumpPending();
  EXPECT_EQ(EngineOf(A).CallCount("Navigate2"), Before);
  Keys("Return");
  ASSERT_TRUE(PumpUntil([&] { return EngineOf(A).CallCount("Navigate2") > Before; }));
  EXPECT_EQ(EngineOf(A).LastCall("Navigate2")->Arg, std::string(Site) + "/search.html?word=%E4%B8%AD");
}

TEST_F(AddressBarTest, ANewPagesAddressIsSelectedSoTypingReplacesIt) {
  FocusBox();
  int Before = Tabs();
  Keys("ctrl+t");
  ASSERT_TRUE(PumpUntil([&] { return Tabs() == Before + 1; }));
  shell::TFrmWeb* Page = Active();
  EngineOf(Page).CompletePending("Vorlane 首页");
  ASSERT_EQ(AddressText(), StartPage);
  Keys("a b c");
  ASSERT_TRUE(PumpUntil([&] { return AddressText() == "abc"; })) << AddressText();
  // Ctrl+A in the box is the box's.
  Box().select_region(1, 1);
  int CallsBefore = EngineOf(Page).CallCount("Edit");
  Keys("ctrl+a");
  int Start = 0, End = 0;
  ASSERT_TRUE(PumpUntil([&] { return Box().get_selection_bounds(Start, End) && Start == 0 && End == 3; }));
  EXPECT_EQ(EngineOf(Page).CallCount("Edit"), CallsBefore);
}

TEST_F(AddressBarTest, AddressesShowDecodedAndLoadAsTheyCame) {
  shell::TFrmWeb* A = Tab(0);
  const std::string Encoded = std::string(Site) + "/search.html?word=%E4%B8%AD%E6%96%87";
  EngineOf(A).CompleteNavigation(Encoded, "中文");
  EXPECT_EQ(AddressText(), std::string(Site) + "/search.html?word=中文");
  FocusBox();
  int Before = EngineOf(A).CallCount("Navigate2");
  Keys("Return");
  ASSERT_TRUE(PumpUntil([&] { return EngineOf(A).CallCount("Navigate2") > Before; }));
  EXPECT_EQ(EngineOf(A).LastCall("Navigate2")->Arg, Encoded);
}

TEST_F(AddressBarTest, ATypedPathIsLookedUpThenLoadedOrSearched) {
  shell::TFrmWeb* A = Tab(0);
  auto Dir = std::filesystem::path(g_get_home_dir()) / "typed path";
  std::filesystem::create_directories(Dir);
  const std::string Page = (Dir / "my page.html").string(), Missing = (Dir / "gone page.html").string();
  std::ofstream(Page) << "<p>x</p>";
  const std::pair<std::string, std::string> Cases[] = {
      {Page, Page}, {Missing, shell::TProductSite(Site).SearchPage(Missing)}};
  for (const auto& [Typed, Loaded] : Cases) {
    FocusBox();
    Box().set_text(Typed);
    int Before = EngineOf(A).CallCount("Navigate2");
    Keys("Return");
    ASSERT_TRUE(PumpUntil([&] { return EngineOf(A).CallCount("Navigate2") > Before; })) << Typed;
    EXPECT_EQ(EngineOf(A).LastCall("Navigate2")->Arg, Loaded);
  }
  std::filesystem::remove_all(Dir);
}

TEST_F(AddressBarTest, EscStopsALoadAndThePagesOwnAddressComesBack) {
  shell::TFrmWeb* A = Tab(0);
  EngineOf(A).CompleteNavigation("http://a.example/", "A");
  FocusBox();
  Box().set_text("http://slow.example/");
  Keys("Return");
  ASSERT_TRUE(PumpUntil([&] { return EngineOf(A).Loading; }));
  EngineOf(A).FireBeforeNavigate("http://slow.example/");  // the load starts: its target shows
  ASSERT_EQ(AddressText(), "http://slow.example/");
  Keys("Escape");
  ASSERT_TRUE(PumpUntil([&] { return EngineOf(A).CallCount("Stop") > 0; }));
  EXPECT_EQ(AddressText(), "http://a.example/");
  EXPECT_EQ(A->GetUrl(), "http://a.example/");
}

}  // namespace
}  // namespace vorlane::test
