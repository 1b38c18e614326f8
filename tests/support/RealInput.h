#pragma once
// Real input for window tests: keys pressed through the X server (XTest), so they travel
// GTK's whole path (key controllers, shortcut controllers, the web view) as a user's do.
#include <gtkmm/window.h>

#include <functional>

namespace vorlane::test {

// Gives Window the X input focus. False when the display is not an X11 one.
bool FocusWindow(Gtk::Window& Window);
// Moves the pointer to the middle of W (shown in a window), shifted by DX, DY pixels.
bool MovePointerTo(Gtk::Widget& W, int DX = 0, int DY = 0);
// Presses (Down) or releases the left mouse button where the pointer is.
void PressButton(bool Down);
// A drag with the real pointer: presses the left button on From (shifted by DX), moves a few
// pixels until Started holds, then calls MoveTo (with 0 and 1 in turn, to wiggle) until Ready
// holds, releases and waits for Done. X drag messages can cross the release on a loaded
// machine; a user would drag again, and so does this, up to three times.
struct TPointerDrag {
  std::function<bool()> Started;
  std::function<void(int Wiggle)> MoveTo;
  std::function<bool()> Ready = [] { return true; };
  std::function<bool()> Done;
  int DX = 0;
};
bool DragWithPointer(Gtk::Widget& From, const TPointerDrag& Drag);
// Presses and releases Key (a GDK key value), with Ctrl held when Control is set.
void PressKey(unsigned Key, bool Control = false);

}  // namespace vorlane::test
