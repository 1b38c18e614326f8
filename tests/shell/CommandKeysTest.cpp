// The command keys pressed as a user presses them: through the X server, so they take
// GTK's whole way (the focused entry, the page, the window's shortcuts).
#include "MainWindowFixture.h"

#include "framework/TabLayout.h"

#include <gdk/x11/gdkx.h>
#include <glibmm/spawn.h>

namespace vorlane::test {
namespace {

class CommandKeysTest : public MainWindowTest {
protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    if (!GDK_IS_X11_DISPLAY(gdk_display_get_default())) GTEST_SKIP() << "needs an X display";
  }

  std::string WindowId(Gtk::Window& W) { return std::to_string(gdk_x11_surface_get_xid(W.get_surface()->gobj())); }

  // xdotool with the window focused first; then the events are let through GTK.
  void Xdotool(Gtk::Window& W, const std::vector<std::string>& Action) {
    std::vector<std::string> Argv = {"xdotool", "windowfocus", "--sync", WindowId(W)};
    Argv.insert(Argv.end(), Action.begin(), Action.end());
    int ExitStatus = 0;
    Glib::spawn_sync("", Argv, Glib::SpawnFlags::SEARCH_PATH, {}, nullptr, nullptr, &ExitStatus);
    ASSERT_EQ(ExitStatus, 0);
    PumpUntil([] { return false; }, std::chrono::milliseconds(150));  // let the events arrive
  }
  void Press(const std::string& Keys) { Xdotool(Main(), {"key", "--clearmodifiers", Keys}); }
  // xdotool's steps that put the pointer on the middle of tab Index, then Then.
  std::vector<std::string> PointerAt(int Index, std::vector<std::string> Then) {
    auto R = framework::TabLayout::RectOf(Index, Main().PageControl.get_width());
    double X = 0, Y = 0;
    EXPECT_TRUE(Main().PageControl.translate_coordinates(Main(), R.X + R.Width / 2.0, R.Y + R.Height / 2.0, X, Y));
    double SurfaceX = 0, SurfaceY = 0;
    Main().get_surface_transform(SurfaceX, SurfaceY);
    std::vector<std::string> Steps = {"mousemove", "--window", WindowId(Main()), std::to_string(int(X + SurfaceX)),
                                      std::to_string(int(Y + SurfaceY))};
    Steps.insert(Steps.end(), Then.begin(), Then.end());
    return Steps;
  }

  int EditCalls(shell::TFrmWeb* Page, browser::EditingCommand Command) {
    int N = 0;
    for (auto& C : EngineOf(Page).Calls) N += C.Name == "Edit" && C.Arg == std::to_string(int(Command));
    return N;
  }
};

TEST_F(CommandKeysTest, CtrlCCopiesFromTheAddressBoxOrFromThePage) {
  shell::TFrmWeb* A = Tab(0);
  EngineOf(A).CompletePending("A");
  const int Stops = EngineOf(A).CallCount("Stop");
  Press("Escape");  // the window has the X focus before the box gets its text
  // and the key has been handled (停止): arriving late in the box, it would undo the selection
  ASSERT_TRUE(PumpUntil([&] { return EngineOf(A).CallCount("Stop") > Stops; }));
  Main().cobAddress.set_text("http://copied.example/rest");
  Main().cobAddress.grab_focus();
  // The box's own reaction to the focus comes first; then the user's selection.
  ASSERT_TRUE(PumpUntil([&] {
    Gtk::Widget* Focus = Main().get_focus();
    return Focus && (Focus == &Main().cobAddress || Focus->is_ancestor(Main().cobAddress));
  }));
  PumpPending();
  Main().cobAddress.select_region(0, 21);
  int From = 0, To = 0;
  ASSERT_TRUE(Main().cobAddress.get_selection_bounds(From, To));
  Press("ctrl+c");
  // The key is handled after xdotool returns: read only once the box has copied.
  ASSERT_TRUE(PumpUntil([&] { return Main().get_clipboard()->is_local(); }))
      << "selection " << Main().cobAddress.get_selection_bounds(From, To) << " " << From << "-" << To;
  std::optional<std::string> Text;
  Main().get_clipboard()->read_text_async([&](Glib::RefPtr<Gio::AsyncResult>& R) {
    Text = Main().get_clipboard()->read_text_finish(R);
  });
  ASSERT_TRUE(PumpUntil([&] { return Text.has_value(); }));
  EXPECT_EQ(*Text, "http://copied.example");
  EXPECT_EQ(EditCalls(A, browser::EditingCommand::Copy), 0);

  Main().unset_focus();
  Press("ctrl+c");
  EXPECT_TRUE(PumpUntil([&] { return EditCalls(A, browser::EditingCommand::Copy) == 1; }));
  // Ctrl+A in the address box selects the box's text, not the page.
  Main().cobAddress.grab_focus();
  Main().cobAddress.select_region(2, 2);
  Press("ctrl+a");
  int Start = 0, End = 0;
  EXPECT_TRUE(PumpUntil([&] { return Main().cobAddress.get_selection_bounds(Start, End) && Start == 0 && End == 26; }));
  EXPECT_EQ(EditCalls(A, browser::EditingCommand::SelectAll), 0);
}

TEST_F(CommandKeysTest, F1OpensTheAboutBoxAndEnterClosesIt) {
  Press("F1");
  ASSERT_TRUE(PumpUntil([&] { return Main().AboutBox() && Main().AboutBox()->get_mapped(); }));
  Xdotool(*Main().AboutBox(), {"key", "Return"});
  EXPECT_TRUE(PumpUntil([&] { return Main().AboutBox() == nullptr; }));
}

TEST_F(CommandKeysTest, CtrlFOpensFind) {
  EngineOf(Tab(0)).CompletePending("A");
  // The find bar, under the page.
  auto Shown = [this] {
    for (Gtk::Widget* C = Tab(0)->get_first_child(); C; C = C->get_next_sibling())
      if (C->get_name() == "find-bar") return C->get_visible();
    return false;
  };
  Press("ctrl+f");
  EXPECT_TRUE(PumpUntil(Shown));
}

TEST_F(CommandKeysTest, TabKeysAndZoom) {
  Press("ctrl+t");
  ASSERT_TRUE(PumpUntil([&] { return Tabs() == 2 && Selected() == 1; }));
  Press("ctrl+Tab");
  EXPECT_TRUE(PumpUntil([&] { return Selected() == 0; }));
  Press("ctrl+Page_Up");
  EXPECT_TRUE(PumpUntil([&] { return Selected() == 1; }));
  Press("ctrl+shift+Tab");
  EXPECT_TRUE(PumpUntil([&] { return Selected() == 0; }));
  Main().unset_focus();
  Press("ctrl+plus");
  EXPECT_TRUE(PumpUntil([&] { return EngineOf(Active()).Zoom > 1.05; }));
  Press("ctrl+0");
  EXPECT_TRUE(PumpUntil([&] { return EngineOf(Active()).Zoom == 1.0; }));
  Press("ctrl+equal");  // the same key without Shift, as other browsers take it
  EXPECT_TRUE(PumpUntil([&] { return EngineOf(Active()).Zoom > 1.05; }));
  Press("ctrl+0");
  EXPECT_TRUE(PumpUntil([&] { return EngineOf(Active()).Zoom == 1.0; }));
  Press("ctrl+w");
  EXPECT_TRUE(PumpUntil([&] { return Tabs() == 1; }));
}

// Keys from other browsers, pressed in turn on three tabs; each row's effect is checked
// before the next key.
TEST_F(CommandKeysTest, KeysFromOtherBrowsers) {
  EngineOf(Tab(0)).CompletePending("A");
  Open("http://b.example/", false, "B");
  Open("http://c.example/", false, "C");
  CloseAndWait(Open("http://closed.example/", false, "Closed"));
  Main().unset_focus();
  auto Calls = [&](const char* Name) { return EngineOf(Active()).CallCount(Name); };
  auto AddDialog = [] {
    for (Gtk::Window* W : Gtk::Window::list_toplevels())
      if (W->get_title() == "添加收藏" && W->get_visible()) return W;
    return static_cast<Gtk::Window*>(nullptr);
  };
  auto Bars = [&] { return Main().MainToolBar().get_visible() && Main().StatusText().get_parent()->get_visible(); };
  const std::pair<const char*, std::function<bool()>> Rows[] = {
      {"ctrl+2", [&] { return Selected() == 1; }},
      {"ctrl+9", [&] { return Selected() == 2; }},
      {"ctrl+1", [&] { return Selected() == 0; }},
      {"ctrl+r", [&] { return Calls("Refresh2") == 1; }},
      {"ctrl+u", [&] { return Calls("GetDocumentSource") == 1; }},
      {"F12", [&] { return Calls("ShowInspector") == 1; }},
      {"ctrl+shift+i", [&] { return Calls("ShowInspector") == 2; }},
      {"ctrl+shift+t", [&] { return Tabs() == 4; }},
      {"F11", [&] { return Main().FullScreen() && !Bars() && Main().PageControl.get_visible(); }},
      {"F11", [&] { return !Main().FullScreen() && Bars(); }},
      {"F11", [&] { return Main().FullScreen(); }},
      {"Escape", [&] { return !Main().FullScreen() && Bars(); }},
      {"ctrl+d", [&] { return AddDialog() != nullptr; }},
  };
  for (const auto& [Keys, Done] : Rows) {
    Press(Keys);
    EXPECT_TRUE(PumpUntil(Done)) << Keys;
  }
  if (Gtk::Window* W = AddDialog()) W->close();
  Press("ctrl+1");
  Press("ctrl+5");  // four tabs: nothing
  EXPECT_EQ(Selected(), 0);
}

TEST_F(CommandKeysTest, MiddleClickClosesATab) {
  Open("http://b.example/", false, "B");
  ASSERT_EQ(Tabs(), 2);
  Xdotool(Main(), PointerAt(1, {"click", "2"}));
  EXPECT_TRUE(PumpUntil([&] { return Tabs() == 1; }));
}

TEST_F(CommandKeysTest, DraggingATabMovesItAndTheSessionSeesTheNewOrder) {
  shell::TFrmWeb* A = Tab(0);
  shell::TFrmWeb* C = Open("http://c.example/", false, "C");
  shell::TFrmWeb* B = Open("http://b.example/", false, "B");
  int Changes = 0;
  Main().OnPagesChanged = [&] { ++Changes; };
  // A onto C's place, passing B's on the way.
  std::vector<std::string> Drag = PointerAt(0, {"mousedown", "1"}), ToB = PointerAt(1, {}),
                           ToC = PointerAt(2, {"mouseup", "1"});
  Drag.insert(Drag.end(), ToB.begin(), ToB.end());
  Drag.insert(Drag.end(), ToC.begin(), ToC.end());
  Xdotool(Main(), Drag);
  ASSERT_TRUE(PumpUntil([&] { return Changes > 0; }));  // reported when the button comes up
  EXPECT_TRUE(Tab(0) == B && Tab(1) == C && Tab(2) == A && Active() == A && Selected() == 2);
  EXPECT_EQ(Main().SessionSnapshot().Pages[0].Url, "http://b.example/");
  Press("ctrl+Tab");  // from the last place to the first
  EXPECT_TRUE(PumpUntil([&] { return Active() == B; }));
}

}  // namespace
}  // namespace vorlane::test
