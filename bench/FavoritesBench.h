#pragma once
// Shared pieces of the favorites benchmarks: a scratch folder, silent dialogs, and a
// reporter that prints each measured figure beside its floor as a ratio.
#include "platform/Dialogs.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <map>
#include <string>

namespace vorlane::bench {

// A scratch folder, removed again at the end; its name has "Favorites" in it so that the
// configured-path rule accepts it. It lies in $VORLANE_BENCH_DIR when set, else, when
// InMemory, in /dev/shm (where it exists), else in the system's temporary folder.
// Benchmarks that create and delete tens of thousands of files run in memory: on a disk,
// the inode allocator's state after each mass deletion (ext4 scans for recently deleted
// inodes) costs more than the work measured and lands on whichever side runs later.
class ScratchFolder {
public:
  explicit ScratchFolder(const std::string& Name, bool InMemory = false);
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::filesystem::path& Path() const { return FPath; }

private:
  std::filesystem::path FPath;
};

class QuietDialogs : public platform::IDialogs {
public:
  int Errors = 0;
  void ShowMessage(platform::MessageKind Kind, const std::string&, const std::string&, platform::MessageButtons,
                   ResultCallback) override {
    if (Kind == platform::MessageKind::Error) ++Errors;
  }
  void InputBox(const std::string&, const std::string&, const std::string&, TextCallback) override {}
  void OpenFile(const std::string&, const std::string&, const std::vector<platform::FileFilter>&,
                TextCallback) override {}
  void SaveFile(const std::string&, const std::string&, const std::vector<platform::FileFilter>&,
                TextCallback) override {}
};

// Console output as usual, then one line per pair: "<ours> / <floor> = ratio".
class RatioReporter : public benchmark::ConsoleReporter {
public:
  RatioReporter(std::string Ours, std::string Floor) : FOurs(std::move(Ours)), FFloor(std::move(Floor)) {}
  void ReportRuns(const std::vector<Run>& Runs) override;
  void Finalize() override;

private:
  std::string FOurs, FFloor;
  std::map<std::string, double> FMedians;  // run name -> median real time
};

int RunWithRatio(int argc, char** argv, const std::string& Ours, const std::string& Floor);

// Writes Bytes to File in one open/write/close, as raw as it gets.
void RawWrite(const std::filesystem::path& File, const std::string& Bytes);
// Reads File in one open/read.../close.
std::size_t RawRead(const std::filesystem::path& File);

}  // namespace vorlane::bench
