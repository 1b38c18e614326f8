#pragma once
// Import and export as the favorites menu and the favorites tree run them: ask the host
// for the file (asynchronously: GTK has no modal loop), remember the answer in the
// importer or exporter, run it, then tell the caller. One pending choice at a time per
// component; a click while its dialog is open does nothing. Also the host's side of the
// choice (the file dialogs and the ".htm" rule) and the add-favorite file rules.
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace vorlane::platform {
class IDialogs;
}

namespace vorlane::favorites {

class TExportFavorite;
class TImportFavorite;

// (Proposed file, Done(chosen file; empty: nothing to do)).
using TImportExportEvent = std::function<void(const std::string&, std::function<void(std::string)>)>;

class TFavoritesTransfer {
public:
  TExportFavorite* Exporter = nullptr;
  TImportFavorite* Importer = nullptr;
  TImportExportEvent OnExportClick, OnImportClick;

  // After runs once the export or import has run (not when nothing was done).
  void Export(std::function<void()> After);
  void Import(std::function<void()> After);
  bool Pending() const { return FPending; }

private:
  void Finish(std::function<void()> Step);
  bool FPending = false;
  std::shared_ptr<int> FAlive = std::make_shared<int>(0);
};

// The folder part (ending with "/", empty when there is none) and the name part.
std::pair<std::string, std::string> SplitLocalPath(const std::string& LocalPath);

// The chosen export file with only its last component's extension made ".htm".
std::string ExportFileName(const std::string& Chosen);

inline constexpr const char* BookmarkFileFilter = "Html文件(*.htm,*.html)|*.htm;*.html|所有文件(*.*)|*.*";

// The host's answers to OnExportClick and OnImportClick through the file dialogs. When
// the ".htm" name differs from the confirmed one and exists, the user is asked first.
void ChooseExportFile(platform::IDialogs& Dialogs, const std::string& Proposed, std::function<void(std::string)> Done);
void ChooseImportFile(platform::IDialogs& Dialogs, const std::string& Proposed, std::function<void(std::string)> Done);

// The file name of a new favorite: the title cleaned for a file name, the address's host
// when the title is empty or nothing of it is left; empty when neither gives a name.
std::string FavoriteFileName(const std::string& Title, const std::string& Url);

// True when Path lies inside Root (both existing; links resolved), so that a move or a new
// favorite never leaves the Favorites folder.
bool IsInsideFolder(const std::string& Root, const std::string& Path);

}  // namespace vorlane::favorites

namespace vorlane::favorites {

// What "添加收藏" keeps of the page when the command starts: the page may close while the
// dialog is open.
struct TPageSnapshot {
  std::string Title, Url;
};

// Writes Folder/FileNameFromTitle(Name).url for Url. The folder must lie inside Favorites;
// an existing favorite is replaced only when the user agrees. Done(true) once written.
void SaveFavorite(platform::IDialogs& Dialogs, const std::string& Favorites, const std::string& Folder,
                  const std::string& Name, const std::string& Url, std::function<void(bool)> Done);

}  // namespace vorlane::favorites
