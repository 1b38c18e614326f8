#pragma once
// Real input for window tests: keys pressed through the X server (XTest), so they travel
// GTK's whole path (key controllers, shortcut controllers, the web view) as a user's do.
#include <gtkmm/window.h>

namespace vorlane::test {

// Gives Window the X input focus. False when the display is not an X11 one.
bool FocusWindow(Gtk::Window& Window);
// Moves the pointer to the middle of W, which must be shown in a window.
bool MovePointerTo(Gtk::Widget& W);
// Presses and releases Key (a GDK key value), with Ctrl held when Control is set.
void PressKey(unsigned Key, bool Control = false);

}  // namespace vorlane::test
