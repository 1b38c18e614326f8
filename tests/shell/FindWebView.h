#pragma once
// The WebKit view a page widget holds, for engine window tests that drive the real view.
#include <gtkmm/widget.h>
#include <webkit/webkit.h>

namespace vorlane::test {

inline WebKitWebView* FindView(Gtk::Widget& Root) {
  for (GtkWidget* W = gtk_widget_get_first_child(Root.gobj()); W; W = gtk_widget_get_next_sibling(W)) {
    if (WEBKIT_IS_WEB_VIEW(W)) return WEBKIT_WEB_VIEW(W);
    if (auto* Inner = FindView(*Glib::wrap(W))) return Inner;
  }
  return nullptr;
}

}  // namespace vorlane::test
