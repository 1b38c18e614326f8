// Export of 10,000 favorites in 500 folders, beside a floor measured in the same run: a
// raw walk that opens and reads the same files and does nothing else.
#include "FavoritesBench.h"
#include "favorites/ExportFavorites.h"

#include <dirent.h>
#include <stdexcept>
#include <vector>

namespace {

using namespace vorlane;

void BuildTree(const std::filesystem::path& Root) {
  int Favorite = 0;
  for (int Top = 0; Top < 20; ++Top) {
    auto TopDir = Root / ("Folder " + std::to_string(Top));
    std::vector<std::filesystem::path> Folders{TopDir};
    for (int Sub = 0; Sub < 24; ++Sub) Folders.push_back(TopDir / ("收藏 " + std::to_string(Sub)));
    for (auto& Dir : Folders) {
      std::filesystem::create_directories(Dir);
      for (int I = 0; I < 20; ++I, ++Favorite)
        bench::RawWrite(Dir / ("Site " + std::to_string(Favorite) + " & more.url"),
                        "[InternetShortcut]\r\nURL=https://www.example.com/page/" + std::to_string(Favorite) +
                            "?from=favorites&x=1\r\n");
    }
  }
  if (Favorite != 10000) throw std::logic_error("tree size");
}

// The floor: every folder opened and listed, every file opened and read.
std::size_t RawWalk(const std::filesystem::path& Root) {
  std::size_t Bytes = 0;
  std::vector<std::filesystem::path> Stack{Root};
  while (!Stack.empty()) {
    auto Dir = std::move(Stack.back());
    Stack.pop_back();
    DIR* D = ::opendir(Dir.c_str());
    if (!D) continue;
    while (dirent* E = ::readdir(D)) {
      std::string_view Name = E->d_name;
      if (Name == "." || Name == "..") continue;
      if (E->d_type == DT_DIR) Stack.push_back(Dir / Name);
      else Bytes += bench::RawRead(Dir / Name);
    }
    ::closedir(D);
  }
  return Bytes;
}

}  // namespace

int main(int argc, char** argv) {
  bench::ScratchFolder Scratch("export");
  const auto Favorites = Scratch.Path();
  BuildTree(Favorites);

  benchmark::RegisterBenchmark("favorites_export_floor", [&](benchmark::State& State) {
    for (auto _ : State) benchmark::DoNotOptimize(RawWalk(Favorites));
  })->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
  benchmark::RegisterBenchmark("favorites_export", [&](benchmark::State& State) {
    bench::QuietDialogs Dialogs;
    favorites::TExportFavorite Export(Dialogs);
    Export.SetFavoritesPath(Favorites.string());
    Export.SetTargetPath(Favorites.parent_path().string());
    Export.SetTargetFileName("bench.htm");
    Export.SetShowSuccessMessage(false);
    for (auto _ : State)
      if (!Export.ExportFavoritesFile()) State.SkipWithError("export failed");
  })->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true);
  return bench::RunWithRatio(argc, argv, "favorites_export", "favorites_export_floor");
}
