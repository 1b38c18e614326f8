#include "framework/FocusMemory.h"

#include <glibmm/main.h>
#include <gtk/gtk.h>

#include <utility>

namespace vorlane::framework {

namespace {

bool InPopover(Gtk::Widget* W) {
  for (; W; W = W->get_parent())
    if (GTK_IS_POPOVER(W->gobj())) return true;
  return false;
}

// A menu of Root's is shown (menu bar menus and drop-down lists hang below their
// buttons as child popovers).
bool HasShownPopover(Gtk::Widget& Root) {
  for (Gtk::Widget* W = Root.get_first_child(); W; W = W->get_next_sibling()) {
    if (GTK_IS_POPOVER(W->gobj()) && W->get_visible()) return true;
    if (HasShownPopover(*W)) return true;
  }
  return false;
}

// A text field taking the focus back keeps the user's selection and cursor; a plain grab
// would select all of it, and the next paste would replace the whole text.
void GiveBack(GtkWidget* W) {
  if (GTK_IS_TEXT(W))
    gtk_text_grab_focus_without_selecting(GTK_TEXT(W));
  else
    gtk_widget_grab_focus(W);
}

}  // namespace

FocusMemory::FocusMemory(Gtk::Window& Window) : FWindow(Window) {
  FWatch = Window.property_focus_widget().signal_changed().connect([this] { FocusChanged(); });
}

FocusMemory::~FocusMemory() {
  FWatch.disconnect();
  FGiveBack.disconnect();
  Remember(nullptr);
}

void FocusMemory::AddPassThrough(Gtk::Widget& Chrome) { FChrome.push_back(&Chrome); }

bool FocusMemory::PassesThrough(Gtk::Widget* W) const {
  if (!W) return false;
  if (InPopover(W)) return true;
  for (Gtk::Widget* Chrome : FChrome)
    if (W == Chrome || W->is_ancestor(*Chrome)) return true;
  return false;
}

bool FocusMemory::MenuOpen() const {
  if (InPopover(FWindow.get_focus())) return true;
  for (Gtk::Widget* Chrome : FChrome)
    if (HasShownPopover(*Chrome)) return true;
  return false;
}

Gtk::Widget* FocusMemory::UserFocus() const {
  Gtk::Widget* Focus = FWindow.get_focus();
  if (Focus && !PassesThrough(Focus)) return Focus;
  return FRemembered ? Glib::wrap(FRemembered) : nullptr;
}

void FocusMemory::FocusChanged() {
  Gtk::Widget* Focus = FWindow.get_focus();
  const bool WasPassingThrough = std::exchange(FPassingThrough, PassesThrough(Focus));
  const bool WasInMenu = std::exchange(FInMenu, InPopover(Focus));
  if (Focus && !FPassingThrough) {
    FGiveBack.disconnect();
    Remember(Focus->gobj());
    return;
  }
  // The user's own widget let the focus go: there is nothing to give back.
  if (!Focus && !WasPassingThrough) {
    Remember(nullptr);
    return;
  }
  // A menu that closed leaves the focus on its menu bar entry or button, or nowhere. The
  // focus a press on a menu bar entry gives it stays: the menu opens only on the release.
  if (WasInMenu && !FInMenu) GiveBackWhenMenusClosed();
}

void FocusMemory::GiveBackWhenMenusClosed() {
  if (!FRemembered || FGiveBack.connected()) return;
  // After GTK has finished with the click or key (one menu bar menu closes as the next one
  // opens); not while a menu is shown, since taking the focus from it would close it, and
  // not when something else took the focus meanwhile.
  FGiveBack = Glib::signal_idle().connect([this] {
    Gtk::Widget* Focus = FWindow.get_focus();
    if (!FRemembered || MenuOpen() || (Focus && !PassesThrough(Focus))) return false;
    if (gtk_widget_get_root(FRemembered) == GTK_ROOT(FWindow.gobj())) GiveBack(FRemembered);
    return false;
  });
}

void FocusMemory::Remember(GtkWidget* W) {
  if (W == FRemembered) return;
  if (FRemembered) g_object_weak_unref(G_OBJECT(FRemembered), &FocusMemory::Forget, this);
  FRemembered = W;
  if (FRemembered) g_object_weak_ref(G_OBJECT(FRemembered), &FocusMemory::Forget, this);
}

void FocusMemory::Forget(gpointer Self, GObject*) { static_cast<FocusMemory*>(Self)->FRemembered = nullptr; }

}  // namespace vorlane::framework
