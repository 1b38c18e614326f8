#pragma once
// Real key presses for widget tests: xdotool types through the X server into a window,
// so the keys pass the same path a user's do (input method included).
#include <gtkmm/window.h>

#include <string>

namespace vorlane::test {

// Gives Window the X input focus; false when it has no X surface or xdotool failed.
bool FocusWindow(Gtk::Window& Window);
// Presses each key of Keys in turn (xdotool names, e.g. "Down", "ctrl+shift+u", "Return").
bool PressKeys(const std::string& Keys);

}  // namespace vorlane::test
