#include "favorites/ImportFavorites.h"

#include "favorites/ExportFavorites.h"
#include "favorites/IEUtils.h"
#include "favorites/IntShCut.h"
#include "favorites/Messages.h"
#include "favorites/UniqueFd.h"
#include "platform/Dialogs.h"
#include "platform/IniFile.h"
#include "platform/ShellFolders.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>

namespace vorlane::favorites {
namespace {

using platform::MessageButtons;
using platform::MessageKind;

// Bookmark files with embedded icons run to tens of megabytes; nothing real is this big.
constexpr std::size_t MaxBookmarkFileBytes = std::size_t{256} << 20;

// Opens the folder Relative ("a/b", "" for Base itself) below BaseFd one name at a time,
// creating missing folders when asked, and never through a link.
UniqueFd OpenFolderBelow(int BaseFd, const std::string& Relative, bool Create) {
  UniqueFd Folder(::openat(BaseFd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  for (std::size_t Start = 0; Folder.Valid() && Start < Relative.size();) {
    std::size_t Stop = std::min(Relative.find('/', Start), Relative.size());
    const std::string Name = Relative.substr(Start, Stop - Start);
    Start = Stop + 1;
    if (Name.empty()) continue;
    if (Create) ::mkdirat(Folder.Get(), Name.c_str(), 0777);  // one that exists already is fine
    Folder = UniqueFd(::openat(Folder.Get(), Name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  }
  return Folder;
}

bool IsRegularFile(const std::filesystem::path& P) {
  struct stat St {};
  return ::stat(P.c_str(), &St) == 0 && S_ISREG(St.st_mode);
}

}  // namespace

bool IsValidSubFolderName(const std::string& Name) {
  // A name starting with "." is a hidden folder (and "." and ".." are no folder of their
  // own); a "/" would reach into or out of other folders.
  return !Name.empty() && Name[0] != '.' && Name.find('/') == std::string::npos &&
         Name.find('\0') == std::string::npos && Name.size() <= 255;
}

TImportFavorite::TImportFavorite(platform::IDialogs& Dialogs)
    : FDialogs(Dialogs),
      FCurrentFilePath(platform::ShellFolders::Home().string()),
      FSuccessMessage{messages::ImportSucceeded} {}

bool TImportFavorite::Error(const std::string& Text) {
  FDialogs.ShowMessage(MessageKind::Error, messages::ErrorCaption, Text, MessageButtons::Ok);
  return false;
}

void TImportFavorite::WriteEntries(const std::filesystem::path& Base, std::vector<TUrlRec> Entries) {
  SortEntries(Entries);
  // The base folder itself may not be a link either: the caller checked it, and a link
  // put there since is refused here.
  UniqueFd BaseFd(::open(Base.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  // Entries of one folder come together: each folder is opened once and its files are
  // written relative to it.
  UniqueFd Folder;
  std::optional<std::string> FolderName;
  for (const TUrlRec& E : Entries) {
    if (E.Name.empty()) {
      // Parents come first in the sorted order; a folder that cannot be made shows up as
      // a write error of the first shortcut inside it.
      if (BaseFd.Valid()) OpenFolderBelow(BaseFd.Get(), E.Folder, true);
      continue;
    }
    if (FolderName != E.Folder) {
      Folder = BaseFd.Valid() ? OpenFolderBelow(BaseFd.Get(), E.Folder, false) : UniqueFd();
      FolderName = E.Folder;
    }
    const std::string File = E.Name + ".url";
    if (!Folder.Valid() ||
        !platform::IniFile::WriteStringAt(Folder.Get(), File.c_str(), "InternetShortcut", "URL", E.Address))
      throw EShortcutWriteError(Base / EntryRelativePath(E));
  }
}

bool TImportFavorite::ImportFavoritesFile() {
  if (FCurrentFilePath.empty()) return Error(messages::FavoritesPathInvalid);
  if (FCurrentFileName.empty()) return Error(messages::CurrentFileNameInvalid);
  if (auto Pos = FCurrentFileName.find("htm"); Pos == std::string::npos || Pos == 0)
    return Error(messages::ExtensionInvalid);
  if (FTargetSubFolder.empty()) return Error(messages::SubFolderMissing);
  bool NoText = std::all_of(FSuccessMessage.begin(), FSuccessMessage.end(),
                            [](const std::string& L) { return L.empty(); });
  if (FShowSuccessMessage && NoText) return Error(messages::MessageMissing);
  const std::filesystem::path Source = std::filesystem::path(FCurrentFilePath) / FCurrentFileName;
  if (!IsRegularFile(Source)) return Error(messages::FileMissing);

  auto Bytes = platform::ReadFileBytes(Source, MaxBookmarkFileBytes);
  if (!Bytes) return Error("Unable to read " + Source.string());
  std::vector<std::string> Lines = SplitBookmarkLines(DecodeBookmarkFile(*Bytes));

  std::string Favorites = ResolveFavoritesPath(FFavoritesPath);
  // Unlike the old importer, which ended here without a word, the user hears why.
  if (!IsValidFavoritesPath(Favorites)) return Error(messages::FavoritesPathInvalid);

  if (!IsValidSubFolderName(FTargetSubFolder)) return Error(messages::SubFolderInvalid);
  const std::filesystem::path Base = std::filesystem::path(Favorites) / FTargetSubFolder;
  std::error_code Ec;
  std::filesystem::create_directories(Favorites, Ec);  // the Favorites folder may be a link
  ::mkdir(Base.c_str(), 0777);                         // existing already is fine
  // The subfolder must be a folder of its own, not a link that leads elsewhere.
  struct stat St {};
  if (::lstat(Base.c_str(), &St) != 0 || !S_ISDIR(St.st_mode)) return Error(messages::SubFolderInvalid);

  try {
    WriteEntries(Base, ParseBookmarkLines(Lines));
  } catch (const std::exception& Failure) {
    return Error(Failure.what());
  }
  if (FShowSuccessMessage)
    FDialogs.ShowMessage(MessageKind::Information, messages::InformationCaption,
                         JoinMessageLines(FSuccessMessage), MessageButtons::Ok);
  return true;
}

}  // namespace vorlane::favorites
