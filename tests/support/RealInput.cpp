#include "support/RealInput.h"

#include <gdk/x11/gdkx.h>
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
  auto Surface = Window.get_surface();
  if (!D || !Surface) return false;
  XSetInputFocus(D, gdk_x11_surface_get_xid(Surface->gobj()), RevertToParent, CurrentTime);
  XSync(D, False);
  return true;
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
