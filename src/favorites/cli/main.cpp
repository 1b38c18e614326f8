// vorlane-favorites: export the Favorites folder to a bookmark file, or import one into
// it, from a shell script. The same components as the browser's menu, with the messages
// printed to stderr.
#include "favorites/ExportFavorites.h"
#include "favorites/IEUtils.h"
#include "favorites/ImportFavorites.h"
#include "platform/ConsoleDialogs.h"

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace vorlane;

const char* const Usage =
    "usage: vorlane-favorites export FILE [--favorites DIR]\n"
    "       vorlane-favorites import FILE [--favorites DIR] [--into NAME]\n";

struct Options {
  std::string Command;
  std::filesystem::path File;
  std::optional<std::string> Favorites;
  std::optional<std::string> Into;
};

std::optional<Options> Parse(const std::vector<std::string>& Args) {
  if (Args.size() < 2) return std::nullopt;
  Options O{Args[0], Args[1], {}, {}};
  if (O.Command != "export" && O.Command != "import") return std::nullopt;
  for (std::size_t I = 2; I < Args.size(); I += 2) {
    if (I + 1 >= Args.size()) return std::nullopt;
    if (Args[I] == "--favorites") O.Favorites = Args[I + 1];
    else if (Args[I] == "--into" && O.Command == "import") O.Into = Args[I + 1];
    else return std::nullopt;
  }
  return O;
}

// The folder and name parts of FILE, the folder made absolute.
std::pair<std::string, std::string> Split(const std::filesystem::path& File) {
  std::filesystem::path Absolute = std::filesystem::absolute(File);
  return {Absolute.parent_path().string(), Absolute.filename().string()};
}

}  // namespace

int main(int argc, char** argv) {
  auto Opt = Parse(std::vector<std::string>(argv + 1, argv + argc));
  if (!Opt) {
    std::fputs(Usage, stderr);
    return 1;
  }
  // The components' own message names no reason; a script's author needs the rule.
  if (Opt->Favorites && !favorites::IsValidFavoritesPath(*Opt->Favorites)) {
    std::fprintf(stderr, "The favorites folder \"%s\" is refused: its path must contain \"Favorites\" after its "
                         "first character.\n", Opt->Favorites->c_str());
    return 1;
  }
  platform::ConsoleDialogs Dialogs;
  auto [Folder, Name] = Split(Opt->File);
  bool Ok = false;
  if (Opt->Command == "export") {
    favorites::TExportFavorite Export(Dialogs);
    if (Opt->Favorites) Export.SetFavoritesPath(*Opt->Favorites);
    Export.SetTargetPath(Folder);
    Export.SetTargetFileName(Name);
    Ok = Export.ExportFavoritesFile();
  } else {
    favorites::TImportFavorite Import(Dialogs);
    if (Opt->Favorites) Import.SetFavoritesPath(*Opt->Favorites);
    Import.SetCurrentFilePath(Folder);
    Import.SetCurrentFileName(Name);
    // As the menu does: the file's name without its extension, unless told otherwise.
    Import.SetTargetSubFolder(Opt->Into ? *Opt->Into : std::filesystem::path(Name).stem().string());
    Ok = Import.ImportFavoritesFile();
  }
  return Ok ? 0 : 1;
}
