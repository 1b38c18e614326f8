#pragma once
// TImportFavorite reads a bookmark HTML file (ours or another browser's) and recreates its
// folders and web links as folders and ".url" files inside one subfolder of the Favorites
// folder. Nothing is ever written outside that subfolder (links in it are not followed);
// nothing in it is deleted.
#include "favorites/BookmarkCodec.h"

#include <filesystem>
#include <string>
#include <vector>

namespace vorlane::platform {
class IDialogs;
}

namespace vorlane::favorites {

class TImportFavorite {
public:
  explicit TImportFavorite(platform::IDialogs& Dialogs);

  const std::string& CurrentFileName() const { return FCurrentFileName; }
  void SetCurrentFileName(std::string Value) { FCurrentFileName = std::move(Value); }
  // Folder of the bookmark file; the home folder by default.
  const std::string& CurrentFilePath() const { return FCurrentFilePath; }
  void SetCurrentFilePath(std::string Value) { FCurrentFilePath = std::move(Value); }
  // One folder name: not empty, not hidden, no "/".
  const std::string& TargetSubFolder() const { return FTargetSubFolder; }
  void SetTargetSubFolder(std::string Value) { FTargetSubFolder = std::move(Value); }
  const std::string& FavoritesPath() const { return FFavoritesPath; }
  void SetFavoritesPath(std::string Value) { FFavoritesPath = std::move(Value); }
  bool ShowSuccessMessage() const { return FShowSuccessMessage; }
  void SetShowSuccessMessage(bool Value) { FShowSuccessMessage = Value; }
  const std::vector<std::string>& SuccessMessage() const { return FSuccessMessage; }
  void SetSuccessMessage(std::vector<std::string> Lines) { FSuccessMessage = std::move(Lines); }

  // One import. True when every entry was written; every refusal and failure has been shown.
  bool ImportFavoritesFile();

  // Creates the folders and shortcut files of Entries below Base, in sorted order (a
  // folder before its contents), never following a link below Base: a link where a
  // folder or a shortcut goes is refused. Throws EShortcutWriteError on the first
  // shortcut that cannot be written; what was written before it stays.
  static void WriteEntries(const std::filesystem::path& Base, std::vector<TUrlRec> Entries);

private:
  bool Error(const std::string& Text);

  platform::IDialogs& FDialogs;
  std::string FCurrentFileName = "newbook.htm";
  std::string FCurrentFilePath;
  std::string FTargetSubFolder = "Imported Bookmarks";
  std::string FFavoritesPath = "Auto";
  bool FShowSuccessMessage = true;
  std::vector<std::string> FSuccessMessage;
};

// True for a name the importer may use as its target subfolder.
bool IsValidSubFolderName(const std::string& Name);

}  // namespace vorlane::favorites
