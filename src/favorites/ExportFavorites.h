#pragma once
// TExportFavorite writes the whole Favorites folder tree into one bookmark HTML file that
// browsers import: a definition list per folder, one anchor per favorite. Every outcome
// is told through the dialogs it was given.
#include "favorites/BookmarkCodec.h"

#include <filesystem>
#include <string>
#include <vector>

namespace vorlane::platform {
class IDialogs;
}

namespace vorlane::favorites {

class TExportFavorite {
public:
  explicit TExportFavorite(platform::IDialogs& Dialogs);

  // "Auto": the user's Favorites folder.
  const std::string& FavoritesPath() const { return FFavoritesPath; }
  void SetFavoritesPath(std::string Value) { FFavoritesPath = std::move(Value); }
  // Folder of the output file; the home folder by default.
  const std::string& TargetPath() const { return FTargetPath; }
  void SetTargetPath(std::string Value) { FTargetPath = std::move(Value); }
  bool ShowSuccessMessage() const { return FShowSuccessMessage; }
  void SetShowSuccessMessage(bool Value) { FShowSuccessMessage = Value; }
  const std::string& TargetFileName() const { return FTargetFileName; }
  void SetTargetFileName(std::string Value) { FTargetFileName = std::move(Value); }
  const std::vector<std::string>& SuccessMessage() const { return FSuccessMessage; }
  void SetSuccessMessage(std::vector<std::string> Lines) { FSuccessMessage = std::move(Lines); }
  // Written into the file's first line; the program file's base name by default.
  const std::string& ApplicationTitle() const { return FApplicationTitle; }
  void SetApplicationTitle(std::string Value) { FApplicationTitle = std::move(Value); }

  // One export. True when the file was written; every refusal and failure has been shown.
  bool ExportFavoritesFile();

  // The folder's favorites and folders as entries (unsorted); exposed for the benchmark
  // and tests. Links to folders are not followed.
  static std::vector<TUrlRec> CollectEntries(const std::filesystem::path& Favorites);

private:
  void Error(const char* Text);

  platform::IDialogs& FDialogs;
  std::string FFavoritesPath = "Auto";
  std::string FTargetPath;
  bool FShowSuccessMessage = true;
  std::string FTargetFileName = "newbook.htm";
  std::vector<std::string> FSuccessMessage;
  std::string FApplicationTitle;
};

// The program file's base name without extension ("vorlane").
std::string ProgramTitle();

// Lines joined with line feeds; the text of a multi-line message property.
std::string JoinMessageLines(const std::vector<std::string>& Lines);

}  // namespace vorlane::favorites
