#pragma once
// Saves what a window shows as a PNG file (for headless runs, where nobody sees it). A
// widget paintable only holds an image once the widget has been drawn after the paintable
// was made: make the snapshot object first, let a few frames pass, then save.
#include <gtkmm/widgetpaintable.h>
#include <gtkmm/window.h>
#include <string>

namespace vorlane::app {

class WindowSnapshot {
public:
  explicit WindowSnapshot(Gtk::Window& Window);
  bool SaveAsPng(const std::string& PngPath);

private:
  Gtk::Window& FWindow;
  Glib::RefPtr<Gtk::WidgetPaintable> FPaintable;
};

}  // namespace vorlane::app
