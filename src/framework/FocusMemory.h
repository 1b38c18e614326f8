#pragma once
// The widget the user works in. Menus and tool bars only pass the keyboard focus through,
// as on the desktops our users come from: a command chosen from a menu acts on the widget
// the user was in (编辑 → 复制 copies the address box's selection), and once the menu has
// closed the focus goes back there, so the arrow keys scroll the page again.
#include <gtkmm/widget.h>
#include <gtkmm/window.h>
#include <sigc++/connection.h>

#include <vector>

namespace vorlane::framework {

class FocusMemory {
public:
  explicit FocusMemory(Gtk::Window& Window);
  ~FocusMemory();
  FocusMemory(const FocusMemory&) = delete;
  FocusMemory& operator=(const FocusMemory&) = delete;

  // Widgets inside Chrome (a menu bar, a tool bar) and every popover only pass the focus
  // through. The keyboard may still move the focus onto them; a menu of theirs that closes
  // gives it back.
  void AddPassThrough(Gtk::Widget& Chrome);
  // The window's focus; while a menu or a pass-through widget holds it, or a menu that just
  // closed left it nowhere, the widget the user had it in. Null when the user's own focus
  // went nowhere, or that widget has gone.
  Gtk::Widget* UserFocus() const;

private:
  bool PassesThrough(Gtk::Widget* W) const;
  bool MenuOpen() const;
  void FocusChanged();
  void GiveBackWhenMenusClosed();
  void Remember(GtkWidget* W);
  static void Forget(gpointer Self, GObject* Gone);

  Gtk::Window& FWindow;
  std::vector<Gtk::Widget*> FChrome;
  GtkWidget* FRemembered = nullptr;  // weakly referenced
  bool FPassingThrough = false;      // the focus is in a menu or the chrome now
  bool FInMenu = false;              // the focus is in a menu now
  sigc::connection FWatch;
  sigc::connection FGiveBack;
};

}  // namespace vorlane::framework
