#include "favorites/IEUtils.h"

#include "favorites/UniqueFd.h"
#include "platform/IniFile.h"
#include "platform/Registry.h"
#include "platform/ShellFolders.h"
#include "platform/TextCodec.h"

#include <glib.h>

#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>

namespace vorlane::favorites {
namespace {

const char* const ShellFoldersKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char* const EngineKey = "Software\\Microsoft\\Internet Explorer";
constexpr std::chrono::seconds LeftoverAge{60};

char FoldCase(char C) { return C >= 'A' && C <= 'Z' ? static_cast<char>(C - 'A' + 'a') : C; }

// Case-folded byte order; names equal without case keep a stable order by bytes. One pass:
// sorting a folder of thousands of names calls this tens of thousands of times.
bool NameLess(const std::string& A, const std::string& B) {
  const std::size_t Common = std::min(A.size(), B.size());
  for (std::size_t I = 0; I < Common; ++I) {
    const auto X = static_cast<unsigned char>(FoldCase(A[I])), Y = static_cast<unsigned char>(FoldCase(B[I]));
    if (X != Y) return X < Y;
  }
  if (A.size() != B.size()) return A.size() < B.size();
  return A < B;
}

}  // namespace

std::string GetFavoritesFolder() {
  std::string Path = platform::ShellFolders::Path(platform::SpecialFolder::Favorites).string();
  if (Path.empty() || Path.back() != '/') Path += '/';
  return Path;
}

std::string ResolveFavoritesPath(const std::string& FavoritesPath) {
  if (FavoritesPath != "Auto") return FavoritesPath;
  return ResolveFavoritesPath(FavoritesPath, platform::Registry());
}

std::string ResolveFavoritesPath(const std::string& FavoritesPath, const platform::Registry& Reg) {
  if (FavoritesPath != "Auto") return FavoritesPath;
  return Reg.ReadString(platform::RootKey::CurrentUser, ShellFoldersKey, "Favorites").value_or("");
}

bool IsValidFavoritesPath(const std::string& Path) {
  auto Pos = Path.find("Favorites");
  return !Path.empty() && Pos != std::string::npos && Pos > 0;
}

TFavoritesListing ListFavoritesFolder(const std::filesystem::path& Folder) {
  TFavoritesListing Result;
  UniqueDir Dir(::opendir(Folder.c_str()));
  if (!Dir) return Result;
  while (dirent* E = ::readdir(Dir.get())) {
    std::string Name = E->d_name;
    if (Name == "." || Name == "..") continue;
    // What a writer killed mid-write left behind goes now; a young one may be in progress.
    if (platform::RemoveStaleReplaceTemporary(::dirfd(Dir.get()), E->d_name, LeftoverAge)) continue;
    unsigned char Type = E->d_type;
    struct stat St {};
    if (Type == DT_UNKNOWN) {
      if (::fstatat(::dirfd(Dir.get()), E->d_name, &St, AT_SYMLINK_NOFOLLOW) != 0) continue;
      Type = S_ISDIR(St.st_mode) ? DT_DIR : S_ISLNK(St.st_mode) ? DT_LNK : S_ISREG(St.st_mode) ? DT_REG : DT_UNKNOWN;
    }
    if (Type == DT_LNK) {
      // A link counts as the file it points to, but a linked folder is never descended
      // into: a link to an ancestor would make the menu endless.
      if (::fstatat(::dirfd(Dir.get()), E->d_name, &St, 0) != 0 || !S_ISREG(St.st_mode)) continue;
      Type = DT_REG;
    }
    if (Type == DT_DIR) {
      if (Name[0] != '.') Result.Folders.push_back(std::move(Name));
    } else if (Type == DT_REG && HasShortcutExtension(Name)) {
      // Only regular files: reading a FIFO or a device named like a shortcut would hang.
      Result.Shortcuts.push_back(std::move(Name));
    }
  }
  std::sort(Result.Folders.begin(), Result.Folders.end(), NameLess);
  std::sort(Result.Shortcuts.begin(), Result.Shortcuts.end(), NameLess);
  return Result;
}

bool HasShortcutExtension(std::string_view FileName) {
  if (FileName.size() < 4) return false;
  std::string_view Ext = FileName.substr(FileName.size() - 4);
  return Ext[0] == '.' && FoldCase(Ext[1]) == 'u' && FoldCase(Ext[2]) == 'r' && FoldCase(Ext[3]) == 'l';
}

std::string FavoriteTitle(const std::string& FileName) {
  return HasShortcutExtension(FileName) ? FileName.substr(0, FileName.size() - 4) : FileName;
}

bool IsIE5OrLater() { return IsIE5OrLater(platform::Registry()); }

bool IsIE5OrLater(const platform::Registry& Reg) {
  std::string Version =
      Reg.ReadString(platform::RootKey::LocalMachine, EngineKey, "Version").value_or("0");
  return !Version.empty() && Version[0] >= '0' && Version[0] <= '9' && Version[0] - '0' > 4;
}

std::string ShownFileName(std::string_view Name) { return platform::ShownText(Name); }

}  // namespace vorlane::favorites
