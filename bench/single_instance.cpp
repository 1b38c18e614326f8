// What the single-instance check adds to a start: finding the socket name, the one
// non-blocking connect when nobody listens, and taking the name as the new listener;
// beside a floor of creating and closing one socket.
#include "platform/SingleInstance.h"

#include <benchmark/benchmark.h>
#include <glib.h>

#include <cstdlib>
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

BENCHMARK(Floor_SocketCreateClose);
BENCHMARK(StartWithAddress_NobodyListens);
BENCHMARK(StartAsListener);

}  // namespace

BENCHMARK_MAIN();
