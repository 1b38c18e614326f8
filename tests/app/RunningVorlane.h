#pragma once
// A running vorlane whose standard output is collected while the test pumps the loop.
#include "support/MainLoop.h"

#include <gio/gio.h>

#include <chrono>
#include <cstdlib>
#include <csignal>
#include <string>
#include <utility>
#include <vector>

namespace vorlane::test {

class RunningVorlane {
public:
  // WithErrors: standard error is collected too (read it: a full pipe stops the program).
  // ChildSetup runs in the child before the program starts (limits to set, say).
  explicit RunningVorlane(std::vector<std::string> Args,
                          std::vector<std::pair<std::string, std::string>> Env = {}, bool WithErrors = false,
                          GSpawnChildSetupFunc ChildSetup = nullptr) {
    GSubprocessLauncher* L = g_subprocess_launcher_new(GSubprocessFlags(
        G_SUBPROCESS_FLAGS_STDIN_PIPE |
        (WithErrors ? G_SUBPROCESS_FLAGS_STDOUT_PIPE | G_SUBPROCESS_FLAGS_STDERR_MERGE : G_SUBPROCESS_FLAGS_STDOUT_PIPE)));
    if (ChildSetup) g_subprocess_launcher_set_child_setup(L, ChildSetup, nullptr, nullptr);
    g_subprocess_launcher_setenv(L, "VORLANE_REPORT_LOADED", "1", TRUE);
    // No session bus: start-up and the hand-over must not depend on one.
    g_subprocess_launcher_unsetenv(L, "DBUS_SESSION_BUS_ADDRESS");
    for (auto& [Name, Value] : Env) g_subprocess_launcher_setenv(L, Name.c_str(), Value.c_str(), TRUE);
    std::vector<const char*> Argv{VORLANE_EXECUTABLE};
    for (auto& A : Args) Argv.push_back(A.c_str());
    Argv.push_back(nullptr);
    FProcess = g_subprocess_launcher_spawnv(L, Argv.data(), nullptr);
    g_object_unref(L);
    if (!FProcess) return;
    FOutput = G_POLLABLE_INPUT_STREAM(g_subprocess_get_stdout_pipe(FProcess));
  }
  ~RunningVorlane() {
    Signal(SIGCONT);
    End(SIGTERM);
  }
  RunningVorlane(const RunningVorlane&) = delete;
  RunningVorlane& operator=(const RunningVorlane&) = delete;

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
  // Pumps until the program ended by itself; its exit status, or -1.
  int WaitForExit() {
    if (!FProcess) return -1;
    PumpUntil([&] { return g_subprocess_get_identifier(FProcess) == nullptr; }, std::chrono::seconds(60));
    return g_subprocess_get_if_exited(FProcess) ? g_subprocess_get_exit_status(FProcess) : -1;
  }
  // Ends it with Signal (SIGKILL: as a crash or a power cut would) and waits until it is gone.
  void End(int Signal) {
    if (!FProcess) return;
    g_subprocess_send_signal(FProcess, Signal);
    g_subprocess_wait(FProcess, nullptr, nullptr);
    g_object_unref(FProcess);
    FProcess = nullptr;
  }
  // Sends Signal and leaves it running (SIGSTOP: an instance that hangs).
  void Signal(int Signal) {
    if (FProcess) g_subprocess_send_signal(FProcess, Signal);
  }
  // One line to its standard input (read when VORLANE_COMMANDS is set).
  bool Send(const std::string& Line) {
    if (!FProcess) return false;
    const std::string Text = Line + "\n";
    return g_output_stream_write_all(g_subprocess_get_stdin_pipe(FProcess), Text.data(), Text.size(), nullptr,
                                     nullptr, nullptr);
  }
  // The process id, 0 when it is not running.
  pid_t Pid() const {
    const char* Id = FProcess ? g_subprocess_get_identifier(FProcess) : nullptr;
    return Id ? static_cast<pid_t>(std::atoi(Id)) : 0;
  }
  const std::string& Output() const { return FOut; }

private:
  GSubprocess* FProcess = nullptr;
  GPollableInputStream* FOutput = nullptr;  // owned by the process
  std::string FOut;
};

}  // namespace vorlane::test
