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

bool PressKeys(const std::string& Keys) { return Run("key --clearmodifiers " + Keys); }

}  // namespace vorlane::test
