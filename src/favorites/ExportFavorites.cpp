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
#include <sys/stat.h>

namespace vorlane::favorites {
namespace {

using platform::MessageButtons;
using platform::MessageKind;

// What a directory entry is, links resolved only when they lead to a file.
enum class EntryType { Folder, File, Other };

EntryType TypeOf(DIR* Dir, const dirent* E) {
  unsigned char Type = E->d_type;
  if (Type == DT_DIR) return EntryType::Folder;
  if (Type == DT_REG) return EntryType::File;
  struct stat St {};
  if (Type == DT_UNKNOWN) {
    if (::fstatat(::dirfd(Dir), E->d_name, &St, AT_SYMLINK_NOFOLLOW) != 0) return EntryType::Other;
    if (S_ISDIR(St.st_mode)) return EntryType::Folder;
    if (S_ISREG(St.st_mode)) return EntryType::File;
    if (!S_ISLNK(St.st_mode)) return EntryType::Other;
  } else if (Type != DT_LNK) {
    return EntryType::Other;
  }
  // A link to a file is read like the file; a link to a folder is never walked, so that
  // a link to an ancestor cannot make the walk endless.
  if (::fstatat(::dirfd(Dir), E->d_name, &St, 0) != 0) return EntryType::Other;
  return S_ISREG(St.st_mode) ? EntryType::File : EntryType::Other;
}

}  // namespace

std::string ProgramTitle() {
  std::error_code Ec;
  auto Exe = std::filesystem::read_symlink("/proc/self/exe", Ec);
  if (Ec || Exe.stem().empty()) return "vorlane";
  return Exe.stem().string();
}

std::string JoinMessageLines(const std::vector<std::string>& Lines) {
  std::string Text;
  for (std::size_t I = 0; I < Lines.size(); ++I) {
    if (I) Text += '\n';
    Text += Lines[I];
  }
  return Text;
}

TExportFavorite::TExportFavorite(platform::IDialogs& Dialogs)
    : FDialogs(Dialogs),
      FTargetPath(platform::ShellFolders::Home().string()),
      FSuccessMessage{messages::ExportSucceeded},
      FApplicationTitle(ProgramTitle()) {}

void TExportFavorite::Error(const char* Text) {
  FDialogs.ShowMessage(MessageKind::Error, messages::ErrorCaption, Text, MessageButtons::Ok);
}

std::vector<TUrlRec> TExportFavorite::CollectEntries(const std::filesystem::path& Favorites) {
  struct Pending {
    std::filesystem::path Dir;
    std::string Relative;  // decoded for display, "/" between names
    int Level;
  };
  std::vector<TUrlRec> Entries;
  // An explicit stack rather than recursion: the depth of a tree is the user's business.
  std::vector<Pending> Stack{{Favorites, "", 1}};
  while (!Stack.empty()) {
    Pending Now = std::move(Stack.back());
    Stack.pop_back();
    UniqueDir Dir(::opendir(Now.Dir.c_str()));
    if (!Dir) continue;  // an unreadable folder contributes nothing
    while (const dirent* E = ::readdir(Dir.get())) {
      std::string_view Raw = E->d_name;
      if (Raw == "." || Raw == "..") continue;
      EntryType Type = TypeOf(Dir.get(), E);
      if (Type == EntryType::Folder) {
        std::string Relative = Now.Relative;
        if (!Relative.empty()) Relative += '/';
        Relative += platform::DecodeLegacyText(Raw);
        Entries.push_back({Relative, "", "", Now.Level});
        Stack.push_back({Now.Dir / Raw, std::move(Relative), Now.Level + 1});
      } else if (Type == EntryType::File && HasShortcutExtension(Raw)) {
        std::string Name = platform::DecodeLegacyText(Raw.substr(0, Raw.size() - 3));
        // Opened relative to the folder: no path lookup per file, and no path length limit.
        std::string Address = ReadShortcutUrlAt(::dirfd(Dir.get()), E->d_name, TResolveUrl::IniFile, "no path");
        Entries.push_back({Now.Relative, std::move(Name), std::move(Address), Now.Level});
      }
    }
  }
  return Entries;
}

bool TExportFavorite::ExportFavoritesFile() {
  std::string Favorites = ResolveFavoritesPath(FFavoritesPath);
  if (!IsValidFavoritesPath(Favorites)) {
    Error(messages::FavoritesPathInvalid);
    return false;
  }
  std::vector<TUrlRec> Entries = CollectEntries(Favorites);
  SortEntries(Entries);

  if (FTargetPath.empty()) {
    Error(messages::TargetPathInvalid);
    return false;
  }
  if (FTargetFileName.empty()) {
    Error(messages::TargetFileNameInvalid);
    return false;
  }
  if (auto Pos = FTargetFileName.find("htm"); Pos == std::string::npos || Pos == 0) {
    Error(messages::ExtensionInvalid);
    return false;
  }
  const std::string Success = JoinMessageLines(FSuccessMessage);
  bool NoText = std::all_of(FSuccessMessage.begin(), FSuccessMessage.end(),
                            [](const std::string& L) { return L.empty(); });
  if (FShowSuccessMessage && NoText) {
    Error(messages::MessageMissing);
    return false;
  }

  std::string Text = JoinBookmarkLines(BookmarkFileLines(Entries, FApplicationTitle));
  std::filesystem::path Target = std::filesystem::path(FTargetPath) / FTargetFileName;
  // Written beside the target and renamed into place: a failed export leaves the previous
  // file as it was.
  if (!platform::ReplaceFileContents(Target, Text)) {
    int Cause = errno;
    bool WriteFailed = Cause == ENOSPC || Cause == EDQUOT || Cause == EIO || Cause == EFBIG;
    if (WriteFailed) {
      FDialogs.ShowMessage(MessageKind::Error, messages::ErrorCaption,
                           "Unable to write to " + Target.string(), MessageButtons::Ok);
    } else {
      Error(messages::TargetFileNameInvalid);
    }
    return false;
  }
  if (FShowSuccessMessage)
    FDialogs.ShowMessage(MessageKind::Information, messages::InformationCaption, Success,
                         MessageButtons::Ok);
  return true;
}

}  // namespace vorlane::favorites
