#pragma once
// Where the user's favorites live and the small rules around them: the two ways of
// finding the Favorites folder, which configured paths are accepted, how one folder is
// listed, a favorite's title and the engine-version gate of the import and export
// commands. Free functions without state.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace vorlane::platform {
class Registry;
}

namespace vorlane::favorites {

// The shell's Favorites folder (created when missing), always ending with "/".
std::string GetFavoritesFolder();

// The configured form: "Auto" (exactly) is the "Favorites" value of the shell-folders key
// of the current user, empty when missing; any other text is the path itself.
std::string ResolveFavoritesPath(const std::string& FavoritesPath);
std::string ResolveFavoritesPath(const std::string& FavoritesPath, const platform::Registry& Reg);

// Not empty, and "Favorites" (case-sensitive) occurs after the first character.
bool IsValidFavoritesPath(const std::string& Path);

struct TFavoritesListing {
  std::vector<std::string> Folders;    // subfolder names
  std::vector<std::string> Shortcuts;  // ".url" file names
};

// One folder's subfolders and shortcuts. Hidden folders (names starting with "."), links
// to folders and shortcut names that are not regular files (FIFOs, devices) are left
// out; hidden shortcuts are kept. Each list is in name order,
// letter case ignored, as the old platform's file system returned them.
TFavoritesListing ListFavoritesFolder(const std::filesystem::path& Folder);

// The file name without its ".url" extension (any letter case): "a.b.url" gives "a.b".
std::string FavoriteTitle(const std::string& FileName);

// A name from disk as a message or an input box shows it: bytes that are not UTF-8 go
// through GLib's display-name conversion, control characters become spaces (as a label
// shows them), so that a name from an old disk neither shows as garbage nor breaks lines.
std::string ShownFileName(std::string_view Name);

// True when the name ends with ".url" in any letter case.
bool HasShortcutExtension(std::string_view FileName);

// True when the first character of the engine version is a digit above 4. A missing,
// empty or non-numeric version gives false.
bool IsIE5OrLater();
bool IsIE5OrLater(const platform::Registry& Reg);

}  // namespace vorlane::favorites
