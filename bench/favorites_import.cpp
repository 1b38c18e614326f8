// Import of a 50,000-line bookmark file, beside a floor measured in the same run: raw
// creation of the same folders and of the same files with the same bytes.
#include "FavoritesBench.h"
#include "favorites/ImportFavorites.h"

#include <cstdio>
#include <sys/stat.h>
#include <vector>

namespace {

using namespace vorlane;

struct Planned {
  std::vector<std::filesystem::path> Folders;                      // relative, parents first
  std::vector<std::pair<std::filesystem::path, std::string>> Files;  // relative path, bytes
};

// A Chrome-style file: 1,900 folders of 23 links each, then top-level links, 50,000 lines.
std::string MakeBookmarkFile(Planned& Plan) {
  std::string Text =
      "<!DOCTYPE NETSCAPE-Bookmark-file-1>\r\n<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; "
      "charset=UTF-8\">\r\n<TITLE>Bookmarks</TITLE>\r\n<H1>Bookmarks</H1>\r\n<DL><p>\r\n";
  int Lines = 5, Link = 0;
  auto AddLink = [&](const std::filesystem::path& Folder, const std::string& Indent) {
    std::string Url = "https://www.example.com/page/" + std::to_string(Link) + "?from=bookmarks&x=1";
    std::string Title = "Site " + std::to_string(Link) + " &amp; more";
    Text += Indent + "<DT><A HREF=\"" + Url + "\" ADD_DATE=\"1700000000\">" + Title + "</A>\r\n";
    Plan.Files.push_back({Folder / ("Site " + std::to_string(Link) + " & more.url"),
                          "[InternetShortcut]\r\nURL=" + Url + "\r\n"});
    ++Link;
    ++Lines;
  };
  for (int F = 0; F < 1900; ++F) {
    std::string Name = "书签 " + std::to_string(F);
    Text += "    <DT><H3 ADD_DATE=\"1700000000\" LAST_MODIFIED=\"1700000000\">" + Name + "</H3>\r\n    <DL><p>\r\n";
    Lines += 2;
    Plan.Folders.push_back(Name);
    for (int I = 0; I < 23; ++I) AddLink(Name, "        ");
    Text += "    </DL><p>\r\n";
    ++Lines;
  }
  while (Lines < 49999) AddLink("", "    ");
  Text += "</DL><p>\r\n";
  return Text;
}

void RawCreate(const std::filesystem::path& Base, const Planned& Plan) {
  ::mkdir(Base.c_str(), 0777);
  for (auto& Folder : Plan.Folders) ::mkdir((Base / Folder).c_str(), 0777);
  for (auto& [File, Bytes] : Plan.Files) bench::RawWrite(Base / File, Bytes);
}

}  // namespace

int main(int argc, char** argv) {
  bench::ScratchFolder Scratch("import", /*InMemory=*/true);
  std::printf("files in %s\n", Scratch.Path().c_str());
  const auto Favorites = Scratch.Path();
  Planned Plan;
  const std::string Text = MakeBookmarkFile(Plan);
  bench::RawWrite(Favorites.parent_path() / "bookmarks.html", Text);

  benchmark::RegisterBenchmark("favorites_import_floor", [&](benchmark::State& State) {
    for (auto _ : State) {
      RawCreate(Favorites / "floor", Plan);
      State.PauseTiming();
      std::filesystem::remove_all(Favorites / "floor");
      State.ResumeTiming();
    }
  })->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5)->ReportAggregatesOnly(true);

  benchmark::RegisterBenchmark("favorites_import", [&](benchmark::State& State) {
    bench::QuietDialogs Dialogs;
    favorites::TImportFavorite Import(Dialogs);
    Import.SetFavoritesPath(Favorites.string());
    Import.SetCurrentFilePath(Favorites.parent_path().string());
    Import.SetCurrentFileName("bookmarks.html");
    Import.SetTargetSubFolder("ours");
    Import.SetShowSuccessMessage(false);
    for (auto _ : State) {
      if (!Import.ImportFavoritesFile()) State.SkipWithError("import failed");
      State.PauseTiming();
      std::filesystem::remove_all(Favorites / "ours");
      State.ResumeTiming();
    }
  })->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(5)->ReportAggregatesOnly(true);

  return bench::RunWithRatio(argc, argv, "favorites_import", "favorites_import_floor");
}
