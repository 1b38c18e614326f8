#include "favorites/ImportFavorites.h"

#include "favorites/ExportFavorites.h"
#include "favorites/IEUtils.h"
#include "favorites/IntShCut.h"
#include "favorites/Messages.h"
#include "favorites/UniqueFd.h"
#include "platform/Dialogs.h"
#include "platform/IniFile.h"
#include "platform/ShellFolders.h"
#include "platform/TextCodec.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>

namespace vorlane::favorites {
namespace {

using platform::MessageButtons;
using platform::MessageKind;

bool IsDirectory(const std::filesystem::path& P) {
  struct stat St {};
  return ::stat(P.c_str(), &St) == 0 && S_ISDIR(St.st_mode);
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

std::string TImportFavorite::DecodeBookmarkFile(const std::string& Bytes) {
  std::string_view Text = Bytes;
  if (Text.substr(0, 3) == "\xEF\xBB\xBF") Text.remove_prefix(3);  // a UTF-8 byte-order mark
  return platform::DecodeLegacyText(Text);
}

void TImportFavorite::WriteEntries(const std::filesystem::path& Base, std::vector<TUrlRec> Entries) {
  SortEntries(Entries);
  // Entries of one folder come together: each folder is opened once and its files are
  // written relative to it.
  UniqueFd Folder;
  std::optional<std::string> FolderName;
  for (const TUrlRec& E : Entries) {
    if (E.Name.empty()) {
      std::filesystem::path Target = Base / E.Folder;
      // Folders that exist already are fine; parents come first in the sorted order.
      if (::mkdir(Target.c_str(), 0777) != 0 && errno == ENOENT) {
        std::error_code Ec;
        std::filesystem::create_directories(Target, Ec);
      }
      continue;
    }
    if (FolderName != E.Folder) {
      Folder = UniqueFd(::open((Base / E.Folder).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
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

  auto Bytes = platform::ReadFileBytes(Source);
  if (!Bytes) return Error("Unable to read " + Source.string());
  std::vector<std::string> Lines = SplitBookmarkLines(DecodeBookmarkFile(*Bytes));

  std::string Favorites = ResolveFavoritesPath(FFavoritesPath);
  // Unlike the old importer, which ended here without a word, the user hears why.
  if (!IsValidFavoritesPath(Favorites)) return Error(messages::FavoritesPathInvalid);

  if (!IsValidSubFolderName(FTargetSubFolder)) return Error(messages::SubFolderInvalid);
  const std::filesystem::path Base = std::filesystem::path(Favorites) / FTargetSubFolder;
  std::error_code Ec;
  std::filesystem::create_directories(Base, Ec);  // existing already is fine
  if (!IsDirectory(Base)) return Error(messages::SubFolderInvalid);

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
