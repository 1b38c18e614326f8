#pragma once
// Saves what a window shows as a PNG file (for headless runs, where nobody sees it).
#include <gtkmm/window.h>
#include <string>

namespace vorlane::app {

bool SaveWindowSnapshot(Gtk::Window& Window, const std::string& PngPath);

}  // namespace vorlane::app
