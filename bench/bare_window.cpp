// The floor for bench/startup: a bare GTK 4 window with one WebKitGTK view that loads the
// address given as its argument, prints "bare_window: loaded" when the first load has
// finished, and then runs until it is killed. Same window size as Vorlane's main window.
#include <cstdio>
#include <gtk/gtk.h>
#include <webkit/webkit.h>

namespace {

void OnLoadChanged(WebKitWebView*, WebKitLoadEvent Event, gpointer Reported) {
  auto* Done = static_cast<bool*>(Reported);
  if (Event != WEBKIT_LOAD_FINISHED || *Done) return;
  *Done = true;
  std::puts("bare_window: loaded");
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s URL\n", argv[0]);
    return 2;
  }
  gtk_init();
  bool Reported = false;
  GtkWidget* Window = gtk_window_new();
  gtk_window_set_default_size(GTK_WINDOW(Window), 960, 525);
  GtkWidget* View = webkit_web_view_new();
  g_signal_connect(View, "load-changed", G_CALLBACK(OnLoadChanged), &Reported);
  gtk_window_set_child(GTK_WINDOW(Window), View);
  gtk_window_present(GTK_WINDOW(Window));
  webkit_web_view_load_uri(WEBKIT_WEB_VIEW(View), argv[1]);
  GMainLoop* Loop = g_main_loop_new(nullptr, FALSE);
  g_main_loop_run(Loop);  // until killed
  g_main_loop_unref(Loop);
  return 0;
}
