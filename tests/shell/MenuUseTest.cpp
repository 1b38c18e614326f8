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

// A click with the real pointer; it keeps moving a little, as a hand does, until the widget
// shows it is under it (a menu that just opened notices the pointer only once it moves).
bool ClickOn(Gtk::Widget& W) {
  int Wiggle = 0;
  bool Over = PumpUntil([&] {
    MovePointerTo(W, Wiggle++ % 2, 0);
    PumpPending();
    return (W.get_state_flags() & Gtk::StateFlags::PRELIGHT) == Gtk::StateFlags::PRELIGHT;
  });
  if (!Over) return false;
  PressButton(true);
  PumpPending();
  PressButton(false);
  PumpPending();
  return true;
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
