#include "support/RealInput.h"
#include "support/MainLoop.h"

#include <gdk/x11/gdkx.h>
#include <gtkmm/native.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace vorlane::test {
namespace {

Display* XDisplay() {
  GdkDisplay* Display = gdk_display_get_default();
  return GDK_IS_X11_DISPLAY(Display) ? gdk_x11_display_get_xdisplay(Display) : nullptr;
}

}  // namespace

bool FocusWindow(Gtk::Window& Window) {
  Display* D = XDisplay();
  if (!D || !PumpUntil([&] { return Window.get_mapped() && Window.get_surface(); })) return false;
  XSetInputFocus(D, gdk_x11_surface_get_xid(Window.get_surface()->gobj()), RevertToParent, CurrentTime);
  XSync(D, False);
  return PumpUntil([&] { return Window.is_active(); });
}

bool MovePointerTo(Gtk::Widget& W, int DX, int DY) {
  Display* D = XDisplay();
  auto* Native = W.get_native();
  if (!D || !Native || !Native->get_surface()) return false;
  double X = 0, Y = 0;
  if (!W.translate_coordinates(*dynamic_cast<Gtk::Widget*>(Native), W.get_width() / 2.0, W.get_height() / 2.0, X, Y))
    return false;
  double SurfaceX = 0, SurfaceY = 0;
  Native->get_surface_transform(SurfaceX, SurfaceY);
  Window Child = 0;
  int RootX = 0, RootY = 0;
  XTranslateCoordinates(D, gdk_x11_surface_get_xid(Native->get_surface()->gobj()), DefaultRootWindow(D),
                        static_cast<int>(X + SurfaceX), static_cast<int>(Y + SurfaceY), &RootX, &RootY, &Child);
  XTestFakeMotionEvent(D, -1, RootX + DX, RootY + DY, CurrentTime);
  XSync(D, False);
  return true;
}

void PressButton(bool Down) {
  if (Display* D = XDisplay()) {
    XTestFakeButtonEvent(D, 1, Down, CurrentTime);
    XSync(D, False);
  }
}

bool DragWithPointer(Gtk::Widget& From, const TPointerDrag& Drag) {
  using namespace std::chrono_literals;
  for (int Attempt = 0; Attempt < 3; ++Attempt) {
    if (!MovePointerTo(From, Drag.DX, 0)) return false;
    PumpPending();
    PressButton(true);
    for (int Step = 1; Step <= 4; ++Step) {
      MovePointerTo(From, Drag.DX + Step * 8, Step * 2);
      PumpPending();
    }
    int Moves = 0;
    bool Over = PumpUntil(Drag.Started, 5s) && PumpUntil([&] {
      Drag.MoveTo(Moves++ % 2);
      PumpPending();
      return Drag.Ready();
    }, 5s);
    PressButton(false);
    if (Over && PumpUntil(Drag.Done, 5s)) return true;
    PumpUntil([&] { return !Drag.Started(); }, 5s);  // the failed drag winds down
  }
  return false;
}

void PressKey(unsigned Key, bool Control) {
  Display* D = XDisplay();
  if (!D) return;
  KeyCode Code = XKeysymToKeycode(D, Key);
  KeyCode Ctrl = XKeysymToKeycode(D, XK_Control_L);
  if (Control) XTestFakeKeyEvent(D, Ctrl, True, CurrentTime);
  XTestFakeKeyEvent(D, Code, True, CurrentTime);
  XTestFakeKeyEvent(D, Code, False, CurrentTime);
  if (Control) XTestFakeKeyEvent(D, Ctrl, False, CurrentTime);
  XSync(D, False);
}

}  // namespace vorlane::test
