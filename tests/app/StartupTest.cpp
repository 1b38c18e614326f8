// Starts the vorlane binary as a user would (under the test display, with its own home)
// and waits for the start page.
#include "support/TempHome.h"

#include <gio/gio.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace {

struct RunResult {
  bool Exited = false;
  int Status = -1;
  std::string Out, Err;
};

RunResult RunVorlane(const std::filesystem::path& Shot) {
  GSubprocessLauncher* Launcher =
      g_subprocess_launcher_new(static_cast<GSubprocessFlags>(G_SUBPROCESS_FLAGS_STDOUT_PIPE | G_SUBPROCESS_FLAGS_STDERR_PIPE));
  g_subprocess_launcher_setenv(Launcher, "VORLANE_REPORT_LOADED", "1", TRUE);
  g_subprocess_launcher_setenv(Launcher, "VORLANE_SNAPSHOT", Shot.c_str(), TRUE);
  GError* Error = nullptr;
  const char* Argv[] = {VORLANE_EXECUTABLE, nullptr};
  GSubprocess* Process = g_subprocess_launcher_spawnv(Launcher, Argv, &Error);
  g_object_unref(Launcher);
  RunResult R;
  if (!Process) {
    R.Err = Error ? Error->message : "spawn failed";
    g_clear_error(&Error);
    return R;
  }
  char* Out = nullptr;
  char* Err = nullptr;
  // The test's own time limit ends a hung program.
  if (g_subprocess_communicate_utf8(Process, nullptr, nullptr, &Out, &Err, &Error)) {
    R.Exited = g_subprocess_get_if_exited(Process);
    R.Status = R.Exited ? g_subprocess_get_exit_status(Process) : -1;
  }
  R.Out = Out ? Out : "";
  R.Err = Err ? Err : "";
  g_free(Out);
  g_free(Err);
  g_clear_error(&Error);
  g_object_unref(Process);
  return R;
}

TEST(Startup, TheProgramLoadsItsStartPageAndShowsIt) {
  vorlane::test::TempHome Home;  // a fresh user: no registry file, no favorites
  auto Shot = Home.Path() / "vorlane.png";
  RunResult R = RunVorlane(Shot);
  ASSERT_TRUE(R.Exited) << R.Err;
  EXPECT_EQ(R.Status, 0) << R.Err;
  EXPECT_NE(R.Out.find("vorlane: start page loaded\n"), std::string::npos) << R.Out;
  ASSERT_TRUE(std::filesystem::exists(Shot));
  std::ifstream Png(Shot, std::ios::binary);
  char Magic[8] = {};
  Png.read(Magic, 8);
  EXPECT_EQ(std::string(Magic + 1, 3), "PNG");
  EXPECT_GT(std::filesystem::file_size(Shot), 10000u);  // a real picture, not an empty one
}

}  // namespace
