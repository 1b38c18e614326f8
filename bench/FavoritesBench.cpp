#include "FavoritesBench.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>

namespace vorlane::bench {

ScratchFolder::ScratchFolder(const std::string& Name, bool InMemory) {
  std::filesystem::path Parent = std::filesystem::temp_directory_path();
  if (const char* Dir = std::getenv("VORLANE_BENCH_DIR"); Dir && *Dir)
    Parent = Dir;
  else if (InMemory && std::filesystem::is_directory("/dev/shm"))
    Parent = "/dev/shm";
  std::string Pattern = (Parent / ("vorlane-bench-" + Name + "-XXXXXX")).string();
  if (!mkdtemp(Pattern.data())) throw std::runtime_error("mkdtemp failed");
  FPath = std::filesystem::path(Pattern) / "Favorites";
  std::filesystem::create_directories(FPath);
}

ScratchFolder::~ScratchFolder() {
  std::error_code Ec;
  std::filesystem::remove_all(FPath.parent_path(), Ec);
}

void RatioReporter::ReportRuns(const std::vector<Run>& Runs) {
  ConsoleReporter::ReportRuns(Runs);
  for (const Run& R : Runs)
    if (R.run_type == Run::RT_Aggregate && R.aggregate_name == "median")
      FMedians[R.run_name.function_name] = R.GetAdjustedRealTime();
}

void RatioReporter::Finalize() {
  ConsoleReporter::Finalize();
  if (!FMedians.count(FOurs) || !FMedians.count(FFloor) || FMedians[FFloor] <= 0) return;
  std::printf("RATIO %s / %s = %.2f (medians %.1f ms / %.1f ms)\n", FOurs.c_str(), FFloor.c_str(),
              FMedians[FOurs] / FMedians[FFloor], FMedians[FOurs], FMedians[FFloor]);
  std::fflush(stdout);
}

int RunWithRatio(int argc, char** argv, const std::string& Ours, const std::string& Floor) {
  benchmark::Initialize(&argc, argv);
  RatioReporter Reporter(Ours, Floor);
  benchmark::RunSpecifiedBenchmarks(&Reporter);
  benchmark::Shutdown();
  return 0;
}

void RawWrite(const std::filesystem::path& File, const std::string& Bytes) {
  int Fd = ::open(File.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (Fd < 0) throw std::runtime_error("cannot create " + File.string());
  bool Ok = ::write(Fd, Bytes.data(), Bytes.size()) == static_cast<ssize_t>(Bytes.size());
  ::close(Fd);
  if (!Ok) throw std::runtime_error("cannot write " + File.string());
}

std::size_t RawRead(const std::filesystem::path& File) {
  int Fd = ::open(File.c_str(), O_RDONLY | O_CLOEXEC);
  if (Fd < 0) return 0;
  char Buffer[4096];
  std::size_t Total = 0;
  for (ssize_t N; (N = ::read(Fd, Buffer, sizeof Buffer)) > 0;) Total += static_cast<std::size_t>(N);
  ::close(Fd);
  return Total;
}

}  // namespace vorlane::bench
