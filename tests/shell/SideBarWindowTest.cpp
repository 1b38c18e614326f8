// The sidebar in the main window as a user drives it: the Favorites and History keys, the
// header strip double-clicked and dragged with the real pointer, the floating window closed.
#include "MainWindowFixture.h"

#include "navigation/SideBarDock.h"
#include "navigation/U_SideBar.h"
#include "shell/U_FrmMain_Favorites.h"
#include "support/RealInput.h"

#include <gdk/gdkkeysyms.h>
#include <gdkmm/frameclock.h>
#include <gdk/x11/gdkx.h>

namespace vorlane::test {
namespace {

class SideBarWindowTest : public MainWindowTest {
protected:
  void SetUp() override {
    MainWindowTest::SetUp();
    if (!GDK_IS_X11_DISPLAY(gdk_display_get_default())) GTEST_SKIP() << "needs an X display";
    ASSERT_TRUE(FocusWindow(Main()));
  }
  shell::TFrmMainFavorites& F() { return Main().Favorites(); }
  navigation::TSideBarDock& Dock() { return *F().Dock(); }
  navigation::TFrmSideBar& Bar() { return *F().SideBar(); }
  bool Checked(const char* Name) { return Main().ActionList[Name].Checked(); }
  // What the window shows: the sidebar's host, its page and the two check marks.
  bool Shows(int Page) {
    return Dock().SideBarVisible() && Bar().get_mapped() && Bar().PageIndex() == Page &&
           Bar().PageControl().get_current_page() == Page && Checked("Ac_Favorites") == (Page == 0) &&
           Checked("Ac_History") == (Page == 1);
  }
  bool Hidden() { return !Dock().SideBarVisible() && !Checked("Ac_Favorites") && !Checked("Ac_History"); }
  void Key(unsigned Key, Gtk::Window& To) {
    ASSERT_TRUE(FocusWindow(To));
    PressKey(Key, true);
  }
  // Points at the header strip after its window's next frame: a strip that just changed
  // windows, or a window shown again, is laid out anew, and its old place is no guide.
  bool PointAtStrip(int DX) {
    auto* Window = dynamic_cast<Gtk::Widget*>(Bar().Header().get_native());
    if (!Window || !PumpUntil([&] { return Window->get_frame_clock() != nullptr; })) return false;
    Window->queue_resize();
    const gint64 Frame = Window->get_frame_clock()->get_frame_counter();
    return PumpUntil([&] { return Window->get_frame_clock()->get_frame_counter() > Frame; }) &&
           MovePointerTo(Bar().Header(), DX, 0);
  }
  void DoubleClickStrip() {
    ASSERT_TRUE(PointAtStrip(-20));
    for (bool Down : {true, false, true, false}) PressButton(Down);
  }

  bool DragStrip(std::function<void(int)> MoveTo, std::function<bool()> Ready, std::function<bool()> Done) {
    return PointAtStrip(-20) &&
           DragWithPointer(Bar().Header(), {[&] { return Dock().Dragging(); }, MoveTo, Ready, Done, -20});
  }
};

TEST_F(SideBarWindowTest, CtrlIAndCtrlHShowTheirPagesAndTheMarksFollowTheSidebar) {
  EXPECT_TRUE(Hidden());
  EXPECT_EQ(Bar().FavoritesTree(), nullptr);  // nothing listed before it is first shown
  Key(GDK_KEY_i, Main());
  ASSERT_TRUE(PumpUntil([&] { return Shows(0) && Bar().FavoritesTree(); }));
  Key(GDK_KEY_h, Main());
  ASSERT_TRUE(PumpUntil([&] { return Shows(1); }));
  // The key again keeps what already shows; only the button hides.
  int Presses = 0;
  auto& History = Main().ActionList["Ac_History"];
  History.OnShortcut = [&, Keep = History.OnShortcut](framework::TAction& A) { return ++Presses && Keep(A); };
  Key(GDK_KEY_h, Main());
  ASSERT_TRUE(PumpUntil([&] { return Presses == 1; }));
  EXPECT_TRUE(Shows(1));
  Bar().PageControl().set_current_page(0);  // a click on the favorites tab
  EXPECT_TRUE(Shows(0));
  Run("Ac_Favorites");  // the button, down: up, and the sidebar goes
  EXPECT_TRUE(Hidden());
  Run("Ac_History");
  Bar().OnClose();  // the strip's close button
  EXPECT_TRUE(Hidden());
}

TEST_F(SideBarWindowTest, FloatsOnADoubleClickFollowsTheKeysAndComesBackAfterItsWindowClosed) {
  Run("Ac_Favorites");
  ASSERT_TRUE(PumpUntil([&] { return Shows(0); }));
  DoubleClickStrip();
  ASSERT_TRUE(PumpUntil([&] { return !Dock().Docked() && Dock().FloatWindow().get_mapped() && Shows(0); }));
  EXPECT_EQ(Dock().FloatWindow().get_title(), "FrmSideBar");
  EXPECT_EQ(Dock().FloatWindow().get_transient_for(), &Main());
  Key(GDK_KEY_h, Main());
  ASSERT_TRUE(PumpUntil([&] { return Shows(1) && !Dock().Docked(); }));
  Dock().FloatWindow().close();
  ASSERT_TRUE(PumpUntil([&] { return Hidden() && !Dock().FloatWindow().get_mapped(); }));
  Key(GDK_KEY_i, Main());
  ASSERT_TRUE(PumpUntil([&] { return Shows(0) && Dock().FloatWindow().get_mapped(); }));

  DoubleClickStrip();
  ASSERT_TRUE(PumpUntil([&] { return Dock().Docked() && Shows(0); }));
  EXPECT_FALSE(Dock().FloatWindow().get_visible());

  // Dropped on the address box, a drop target for text: it floats, and the box gets nothing.
  Main().cobAddress.set_text("");
  ASSERT_TRUE(DragStrip([&](int Wiggle) { MovePointerTo(Main().cobAddress, Wiggle, 0); }, [] { return true; },
                        [&] { return !Dock().Docked() && Shows(0); }));
  EXPECT_EQ(Main().cobAddress.Text(), "");
}

// The panel takes a quarter of the client's width when first shown (here after the window
// grew to 1200 pixels), then keeps the user's splitter, also through a real pointer drag out
// of the window and back onto its left edge.
TEST_F(SideBarWindowTest, ARealPointerDragFloatsTheSidebarAndDraggingItBackDocksItAtTheUsersWidth) {
  Gtk::Paned& Client = Dock().ClientArea();
  Main().set_default_size(1200, 700);
  ASSERT_TRUE(PumpUntil([&] { return Client.get_width() == 1200; }));
  Run("Ac_Favorites");
  ASSERT_TRUE(PumpUntil([&] { return Shows(0) && Bar().get_width() > 0; }));
  EXPECT_EQ(Client.get_position(), 300);
  Client.set_position(250);  // the user's splitter

  // Released over no window at all, the sidebar floats.
  ASSERT_TRUE(DragStrip([&](int Wiggle) { MovePointerTo(Main(), Main().get_width() / 2 + 150 + Wiggle, 0); },
                        [] { return true; }, [&] { return !Dock().Docked() && Shows(0) && Bar().get_mapped(); }));
  EXPECT_EQ(Bar().get_parent(), &Dock().FloatWindow());

  // The left edge beside the floating window (with no window manager it sits at the
  // screen's corner): previewed a third wide while the strip is over it, then docked.
  Gtk::Window& Float = Dock().FloatWindow();
  ASSERT_TRUE(PumpUntil([&] { return Float.get_width() > 0; }));
  const int LeftEdge = -600 + std::min(Float.get_width() + 40, 390);
  bool Previewed = false;
  ASSERT_TRUE(DragStrip([&](int Wiggle) { MovePointerTo(Client, LeftEdge + Wiggle, 0); },
                        [&] { return Previewed = Previewed || (Dock().Previewing() && Client.get_position() == 400); },
                        [&] { return Dock().Docked() && Bar().get_parent() == Client.get_start_child() && Shows(0); }));
  EXPECT_TRUE(Previewed);
  EXPECT_FALSE(Float.get_visible());
  EXPECT_EQ(Client.get_position(), 250);
}

// A drop the dock refuses (here on the right of its own panel, widened past the third
// that docks) leaves the docked sidebar as it was. (Esc, which cancels the same way, does
// not reach GTK's drag grab through XTest here.)
TEST_F(SideBarWindowTest, ARefusedDropLeavesTheSidebarDocked) {
  Gtk::Paned& Client = Dock().ClientArea();
  Main().set_default_size(1200, 700);
  ASSERT_TRUE(PumpUntil([&] { return Client.get_width() == 1200; }));
  Run("Ac_Favorites");
  ASSERT_TRUE(PumpUntil([&] { return Shows(0) && Bar().get_width() > 0; }));
  Client.set_position(600);
  ASSERT_TRUE(DragStrip([&](int Wiggle) { MovePointerTo(Client, -100 + Wiggle, 0); },
                        [&] { return Dock().RefusedHere(); }, [&] { return !Dock().Dragging(); }));
  EXPECT_TRUE(Dock().Docked() && Shows(0));
  EXPECT_EQ(Client.get_position(), 600);
}

}  // namespace
}  // namespace vorlane::test
