// The real program as the desktop starts it: with addresses, and a second time while it
// runs, when the second start hands its address to the first and ends.
#include "support/LoopbackServer.h"
#include "support/MainLoop.h"
#include "support/TempHome.h"

#include <gio/gio.h>
#include <gtest/gtest.h>

#include <csignal>

namespace {

using vorlane::test::PumpUntil;

// A running vorlane whose standard output is collected while the test pumps the loop.
class Vorlane {
public:
  explicit Vorlane(std::vector<std::string> Args) {
    GSubprocessLauncher* L = g_subprocess_launcher_new(G_SUBPROCESS_FLAGS_STDOUT_PIPE);
    g_subprocess_launcher_setenv(L, "VORLANE_REPORT_LOADED", "1", TRUE);
    // No session bus: start-up and the hand-over must not depend on one.
    g_subprocess_launcher_unsetenv(L, "DBUS_SESSION_BUS_ADDRESS");
    std::vector<const char*> Argv{VORLANE_EXECUTABLE};
    for (auto& A : Args) Argv.push_back(A.c_str());
    Argv.push_back(nullptr);
    FProcess = g_subprocess_launcher_spawnv(L, Argv.data(), nullptr);
    g_object_unref(L);
    if (!FProcess) return;
    FOutput = G_POLLABLE_INPUT_STREAM(g_subprocess_get_stdout_pipe(FProcess));
  }
  ~Vorlane() {
    if (!FProcess) return;
    g_subprocess_send_signal(FProcess, SIGTERM);
    g_subprocess_wait(FProcess, nullptr, nullptr);
    g_object_unref(FProcess);
  }
  bool Started() const { return FProcess != nullptr; }
  // Pumps until the output holds Text.
  bool WaitForOutput(const std::string& Text) {
    return PumpUntil([&] {
      char Buffer[4096];
      gssize N;
      while ((N = g_pollable_input_stream_read_nonblocking(FOutput, Buffer, sizeof Buffer, nullptr, nullptr)) > 0)
        FOut.append(Buffer, static_cast<size_t>(N));
      return FOut.find(Text) != std::string::npos;
    }, std::chrono::seconds(60));
  }
  const std::string& Output() const { return FOut; }

private:
  GSubprocess* FProcess = nullptr;
  GPollableInputStream* FOutput = nullptr;  // owned by the process
  std::string FOut;
};

TEST(Desktop, ASecondStartHandsItsAddressToTheRunningInstanceAndEnds) {
  vorlane::test::TempHome Home;
  vorlane::test::LoopbackServer Server;
  Server.Serve("/first.html", "<title>first</title><p>first");
  Server.Serve("/second.html", "<title>second</title><p>second");

  Vorlane First({Server.Url("/first.html")});
  ASSERT_TRUE(First.Started());
  ASSERT_TRUE(First.WaitForOutput("vorlane: start page loaded\n")) << First.Output();
  EXPECT_EQ(Server.RequestCount("/first.html"), 1);

  GSubprocess* Second = nullptr;
  {
    const std::string Url = Server.Url("/second.html");
    const char* Argv[] = {VORLANE_EXECUTABLE, "not an address", Url.c_str(), nullptr};
    Second = g_subprocess_newv(Argv, G_SUBPROCESS_FLAGS_STDERR_PIPE, nullptr);
  }
  ASSERT_TRUE(Second);
  // It ends while the first still runs: it opened no window of its own.
  bool Ended = PumpUntil([&] { return g_subprocess_get_identifier(Second) == nullptr; }, std::chrono::seconds(30));
  EXPECT_TRUE(Ended);
  if (Ended) {
    EXPECT_EQ(g_subprocess_get_exit_status(Second), 0);
  }
  g_object_unref(Second);

  EXPECT_TRUE(First.WaitForOutput("vorlane: page loaded " + Server.Url("/second.html") + "\n")) << First.Output();
  EXPECT_EQ(Server.RequestCount("/second.html"), 1);
}

}  // namespace
