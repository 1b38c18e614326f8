#pragma once
// The old platform's special folders on a Linux desktop: XDG base and user directories.
// Paths are read from the environment on every call (not cached), so a process that
// changes HOME or XDG_* sees the change.
#include <filesystem>

namespace vorlane::platform {

enum class SpecialFolder { Desktop, Personal, Templates, Favorites, History, AppData };

class ShellFolders {
public:
  static std::filesystem::path Home();
  static std::filesystem::path ConfigHome();   // $XDG_CONFIG_HOME or ~/.config
  static std::filesystem::path DataHome();     // $XDG_DATA_HOME or ~/.local/share
  static std::filesystem::path CacheHome();    // $XDG_CACHE_HOME or ~/.cache
  // $XDG_DATA_HOME/vorlane/Favorites; not created here.
  static std::filesystem::path FavoritesPath();
  // The folder, created for Favorites when missing; Desktop and Templates follow
  // the user-dirs.dirs file when it names them.
  static std::filesystem::path Path(SpecialFolder Folder);
};

}  // namespace vorlane::platform
