// Vorlane: one main window with the start page; the main loop runs until it closes or
// the user quits. No command-line arguments are read and nothing is saved.
//
// Two environment switches serve headless runs and benchmarks:
//   VORLANE_REPORT_LOADED=1   print "vorlane: start page loaded" once the first page loaded
//   VORLANE_SNAPSHOT=FILE     then save the window as a PNG and quit (exit 1 if that fails)
#include "app/Snapshot.h"
#include "engine/WebKitEngine.h"
#include "shell/U_FrmMain.h"
#include "shell/U_UserConfig.h"

#include <glibmm/main.h>
#include <gtkmm/init.h>
#include <gtk/gtk.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

using vorlane::shell::TFrmMain;
using vorlane::shell::TFrmWeb;

struct StartupWatch {
  bool Report = false;
  std::string SnapshotPath;
  bool Done = false;
  int ExitCode = 0;
};

void WatchFirstLoad(TFrmMain& Main, const Glib::RefPtr<Glib::MainLoop>& Loop, StartupWatch& Watch) {
  Main.OnPageComplete = [&Main, Loop, &Watch](TFrmWeb*) {
    if (Watch.Done) return;
    Watch.Done = true;
    if (Watch.Report) {
      std::puts("vorlane: start page loaded");
      std::fflush(stdout);
    }
    if (Watch.SnapshotPath.empty()) return;
    // Let the page's first frames and its title reach the window before taking the picture.
    auto Frames = std::make_shared<int>(0);
    auto Picture = std::make_shared<vorlane::app::WindowSnapshot>(Main);
    Main.add_tick_callback([&Main, Loop, &Watch, Frames, Picture](const Glib::RefPtr<Gdk::FrameClock>&) {
      if (++*Frames < 30) {
        Main.queue_draw();
        return true;
      }
      if (!Picture->SaveAsPng(Watch.SnapshotPath)) Watch.ExitCode = 1;
      Loop->quit();
      return false;
    });
  };
}

}  // namespace

int main(int argc, char** argv) {
  (void)argc;
  (void)argv;  // the program takes no arguments
  vorlane::shell::UserConfig();  // the switches exist before any window does
  StartupWatch Watch;
  Watch.Report = std::getenv("VORLANE_REPORT_LOADED") != nullptr;
  if (const char* Path = std::getenv("VORLANE_SNAPSHOT")) Watch.SnapshotPath = Path;

  // A plain GTK main loop: Vorlane keeps one window and talks to no other instance, so
  // it needs no application object (and no session bus, which costs start-up time).
  g_set_prgname("vorlane");
  if (!gtk_init_check()) {
    std::fprintf(stderr, "vorlane: cannot open a display\n");
    return 1;
  }
  Gtk::init_gtkmm_internals();
  auto Loop = Glib::MainLoop::create();
  auto Main = std::make_unique<TFrmMain>(vorlane::engine::WebKitEngineFactory(), vorlane::shell::TProductSite());
  Main->OnQuit = [Loop] { Loop->quit(); };
  Main->signal_close_request().connect([Loop] {
    Loop->quit();
    return false;
  }, false);
  if (Watch.Report || !Watch.SnapshotPath.empty()) WatchFirstLoad(*Main, Loop, Watch);
  Main->maximize();
  Main->present();
  Loop->run();
  Main.reset();
  return Watch.ExitCode;
}
