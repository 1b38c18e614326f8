// Menus and tool buttons used with the real pointer: what their commands act on, and where
// the keyboard focus is afterwards.
#include "MainWindowFixture.h"

#include "support/RealInput.h"

#include <gtkmm/label.h>

namespace vorlane::test {
namespace {

// The shown widget whose own label reads Text (menu bar entries, menu items, buttons).
Gtk::Widget* FindCaptioned(Gtk::Widget& Root, const std::string& Text) {
  for (Gtk::Widget* W = Root.get_first_child(); W; W = W->get_next_sibling()) {
    if (!W->get_mapped()) continue;
    if (auto* Label = dynamic_cast<Gtk::Label*>(W); Label && std::string(Label->get_text()) == Text) return W->get_parent();
    if (auto* Inner = FindCaptioned(*W, Text)) return Inner;
  }
  return nullptr;
}

// Lets the events that arrived through, a bounded number of them: a menu under a moving
// pointer can keep raising new ones, and waiting for none left would never end.
void PumpArrived() {
  for (int I = 0; I < 200 && g_main_context_pending(nullptr); ++I) g_main_context_iteration(nullptr, FALSE);
}

// A click with the real pointer; it keeps moving a little, as a hand does, until the widget
// shows it is under it (a menu that just opened notices the pointer only once it moves).
bool ClickOn(Gtk::Widget& W) {
  int Wiggle = 0;
  bool Over = PumpUntil([&] {
    MovePointerTo(W, Wiggle++ % 2, 0);
    PumpArrived();
    return (W.get_state_flags() & Gtk::StateFlags::PRELIGHT) == Gtk::StateFlags::PRELIGHT;
  });
  if (!Over) return false;
  PressButton(true);
  PumpArrived();
  PressButton(false);
  PumpArrived();
  return true;
}

// Opens the menu bar's Menu with the real pointer and chooses its Item with the real keys,
// as a user who clicks the menu and then uses the arrows. Each key waits for the one
// before to have moved the menu's focus: a key sent earlier could arrive before the menu.
testing::AssertionResult ChooseFromMenu(Gtk::Window& Window, const std::string& Menu, const std::string& Item) {
  using namespace std::chrono_literals;
  Gtk::Widget* Top = FindCaptioned(Window, Menu);
  if (!Top) return testing::AssertionFailure() << "no menu " << Menu;
  if (!ClickOn(*Top)) return testing::AssertionFailure() << "pointer never over " << Menu;
  // The menu hangs below its menu bar entry and takes the focus once shown.
  auto InMenu = [&] {
    Gtk::Widget* Focus = Window.get_focus();
    return Focus && Focus != Top && Focus->is_ancestor(*Top);
  };
  if (!PumpUntil(InMenu, 5s)) return testing::AssertionFailure() << Menu << " never opened";
  for (int Step = 0; Step < 30; ++Step) {
    Gtk::Widget* Focus = Window.get_focus();
    if (Focus && Focus == FindCaptioned(*Top, Item)) {
      PressKey(GDK_KEY_Return);
      return testing::AssertionSuccess();
    }
    PressKey(GDK_KEY_Down);
    if (!PumpUntil([&] { return Window.get_focus() != Focus; }, 5s))
      return testing::AssertionFailure() << "the arrow key did not move in " << Menu;
  }
  return testing::AssertionFailure() << Menu << " has no " << Item;
}

TEST_F(MainWindowTest, TheEditMenuActsOnTheAddressBoxThatHadTheFocusAndLeavesItThere) {
  ASSERT_TRUE(FocusWindow(Main()));
  shell::TFrmWeb* A = Tab(0);
  EngineOf(A).CompletePending("A");
  auto& Box = Main().cobAddress;
  Box.set_text("http://copied.example/rest");
  Box.grab_focus();
  // The box's own reaction to the focus comes first; then the user's selection.
  ASSERT_TRUE(PumpUntil([&] { return FocusIn(Box); }));
  PumpPending();
  Box.select_region(0, 21);
  ASSERT_TRUE(ChooseFromMenu(Main(), "编辑(E)", "复制"));
  // The focus comes back once the command has run, with the user's selection kept.
  ASSERT_TRUE(PumpUntil([&] { return FocusIn(Box); }));
  int From = 0, To = 0;
  EXPECT_TRUE(Box.get_selection_bounds(From, To) && From == 0 && To == 21) << From << "-" << To;
  EXPECT_EQ(ReadClipboard(Main()), "http://copied.example");
  Box.select_region(0, 7);
  ASSERT_TRUE(ChooseFromMenu(Main(), "编辑(E)", "剪切"));
  ASSERT_TRUE(PumpUntil([&] { return Box.Text() == "copied.example/rest"; }));
  ASSERT_TRUE(PumpUntil([&] { return FocusIn(Box); }));
  Box.set_position(0);
  ASSERT_TRUE(ChooseFromMenu(Main(), "编辑(E)", "粘贴"));
  EXPECT_TRUE(PumpUntil([&] { return Box.Text() == "http://copied.example/rest"; })) << Box.Text();
  EXPECT_EQ(EngineOf(A).CallCount("Edit"), 0);  // nothing reached the page
}

TEST_F(MainWindowTest, ToolButtonsAndMenusGiveTheFocusBackToThePage) {
  ASSERT_TRUE(FocusWindow(Main()));
  shell::TFrmWeb* A = Tab(0);
  EngineOf(A).CompletePending("A");
  Gtk::Widget& Page = A->WebBrowser->Widget();
  A->WebBrowser->FocusDocument();
  ASSERT_TRUE(FocusIn(Page));
  Gtk::Widget* Refresh = FindCaptioned(Main().MainToolBar(), "刷新");
  ASSERT_NE(Refresh, nullptr);
  ASSERT_TRUE(ClickOn(*Refresh));
  ASSERT_TRUE(PumpUntil([&] { return EngineOf(A).CallCount("Refresh2") == 1; }));
  EXPECT_TRUE(FocusIn(Page));
  ASSERT_TRUE(ChooseFromMenu(Main(), "查看(V)", "刷新"));
  ASSERT_TRUE(PumpUntil([&] { return EngineOf(A).CallCount("Refresh2") == 2; }));
  EXPECT_TRUE(PumpUntil([&] { return FocusIn(Page); }));
}

TEST_F(MainWindowTest, TheTabMenuActsOnItsOwnPageWhereverItsTabMovedAndNotAtAllOnceItWent) {
  ASSERT_TRUE(FocusWindow(Main()));
  shell::TFrmWeb* B = Open("http://b.example/", false, "B");
  auto MenuItem = [&](const char* Caption) {
    Gtk::Widget* Item = nullptr;
    EXPECT_TRUE(PumpUntil([&] { return (Item = FindCaptioned(Main(), Caption)) != nullptr; })) << Caption;
    return Item;
  };
  Main().PageControl.ClickTab(1, 1, 3);
  Gtk::Widget* Close = MenuItem("关闭");
  ASSERT_NE(Close, nullptr);
  shell::TFrmWeb* C = Open("http://c.example/", false, "C");  // a script's page: B's tab moves right
  ASSERT_EQ(Main().PageControl.IndexOfTag(B), 2);
  ASSERT_TRUE(ClickOn(*Close));
  ASSERT_TRUE(PumpUntil([&] { return PageCount() == 2; }));
  EXPECT_EQ(Main().PageControl.IndexOfTag(B), -1);
  EXPECT_EQ(Main().PageControl.IndexOfTag(C), 1);

  Main().PageControl.ClickTab(1, 1, 3);
  Gtk::Widget* Refresh = MenuItem("刷新");
  ASSERT_NE(Refresh, nullptr);
  CloseAndWait(C);  // its script closed it while the menu is open
  ASSERT_TRUE(ClickOn(*Refresh));
  PumpPending();
  EXPECT_EQ(PageCount(), 1);
  EXPECT_EQ(EngineOf(Tab(0)).CallCount("Refresh2"), 0);
}

}  // namespace
}  // namespace vorlane::test
