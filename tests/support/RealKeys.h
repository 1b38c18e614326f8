#pragma once
// Real key presses for widget tests: xdotool types through the X server into a window,
// so the keys pass the same path a user's do (input method included).
#include "support/RealInput.h"  // FocusWindow

#include <string>

namespace vorlane::test {

// Presses each key of Keys in turn (xdotool names, e.g. "Down", "ctrl+shift+u", "Return").
bool PressKeys(const std::string& Keys);

}  // namespace vorlane::test
