// What the single-instance check adds to a start: finding the socket name, the one
// non-blocking connect when nobody listens, taking the name as the new listener, and a
// whole hand-over to a running instance (request, answer, go); beside a floor of creating
// and closing one socket. A stopped or hung instance costs the sender the deadline (2 s),
// by design.
#include "platform/SingleInstance.h"

#include <benchmark/benchmark.h>
#include <glib.h>

#include <atomic>
#include <cstdlib>
#include <thread>
#include <filesystem>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using namespace vorlane::platform;

struct PrivateRuntime {
  PrivateRuntime() {
    char Template[] = "/tmp/vorlane-bench-XXXXXX";
    Folder = mkdtemp(Template);
    setenv("XDG_RUNTIME_DIR", Folder.c_str(), 1);
  }
  ~PrivateRuntime() { std::filesystem::remove_all(Folder); }
  std::filesystem::path Folder;
};

void Floor_SocketCreateClose(benchmark::State& State) {
  for (auto _ : State) close(socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0));
}

void StartWithAddress_NobodyListens(benchmark::State& State) {
  PrivateRuntime Runtime;
  for (auto _ : State) {
    auto Socket = InstanceSocketPath();
    benchmark::DoNotOptimize(HandToRunningInstance(Socket, {{"http://example.com/"}}));
  }
}

void StartAsListener(benchmark::State& State) {
  PrivateRuntime Runtime;
  for (auto _ : State) {
    auto Server = TInstanceServer::Listen(InstanceSocketPath(), [](TOpenRequest) {});
    benchmark::DoNotOptimize(Server.get());
  }
}

void HandOverToRunningInstance(benchmark::State& State) {
  PrivateRuntime Runtime;
  auto Socket = InstanceSocketPath();
  size_t Opened = 0;
  auto Server = TInstanceServer::Listen(Socket, [&](TOpenRequest) { ++Opened; });
  // The running instance's main loop, on a thread of its own.
  std::atomic<bool> Stop = false;
  std::thread Loop([&] {
    while (!Stop) g_main_context_iteration(nullptr, TRUE);
  });
  for (auto _ : State)
    if (HandToRunningInstance(Socket, {{"http://example.com/"}}) != THandOff::Delivered)
      State.SkipWithError("not delivered");
  Stop = true;
  g_main_context_wakeup(nullptr);
  Loop.join();
  Server.reset();
}

BENCHMARK(Floor_SocketCreateClose);
BENCHMARK(HandOverToRunningInstance);
BENCHMARK(StartWithAddress_NobodyListens);
BENCHMARK(StartAsListener);

}  // namespace

BENCHMARK_MAIN();
