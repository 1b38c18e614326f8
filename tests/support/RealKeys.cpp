#include "support/RealKeys.h"
#include "support/MainLoop.h"

#include <gdk/x11/gdkx.h>
#include <glib.h>

namespace vorlane::test {

namespace {

bool Run(const std::string& Arguments) {
  std::string Command = "xdotool " + Arguments;
  int ExitStatus = 0;
  if (!g_spawn_command_line_sync(Command.c_str(), nullptr, nullptr, &ExitStatus, nullptr)) return false;
  return g_spawn_check_wait_status(ExitStatus, nullptr);
}

}  // namespace

bool FocusWindow(Gtk::Window& Window) {
  if (!PumpUntil([&] { return Window.get_mapped() && Window.get_surface(); })) return false;
  GdkSurface* Surface = Window.get_surface()->gobj();
  if (!GDK_IS_X11_SURFACE(Surface)) return false;
  auto Xid = gdk_x11_surface_get_xid(Surface);
  if (!Run("windowfocus --sync " + std::to_string(Xid))) return false;
  return PumpUntil([&] { return Window.is_active(); });
}

bool PressKeys(const std::string& Keys) { return Run("key --clearmodifiers " + Keys); }

}  // namespace vorlane::test
