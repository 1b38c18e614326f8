#include "platform/ShellFolders.h"

#include <cstdlib>
#include <fstream>
#include <pwd.h>
#include <string>
#include <system_error>
#include <unistd.h>

namespace vorlane::platform {
namespace {

std::filesystem::path FromEnv(const char* Name, const std::filesystem::path& Fallback) {
  const char* Value = std::getenv(Name);
  // XDG: relative values are invalid and must be ignored.
  if (Value && *Value == '/') return Value;
  return Fallback;
}

// Reads XDG_<NAME>_DIR from user-dirs.dirs ("$HOME/Desktop" style values).
std::filesystem::path UserDir(const std::string& Name, const std::filesystem::path& Fallback) {
  std::ifstream In(ShellFolders::ConfigHome() / "user-dirs.dirs");
  std::string Line, Prefix = "XDG_" + Name + "_DIR=";
  while (std::getline(In, Line)) {
    if (Line.rfind(Prefix, 0) != 0) continue;
    std::string Value = Line.substr(Prefix.size());
    if (Value.size() >= 2 && Value.front() == '"' && Value.back() == '"')
      Value = Value.substr(1, Value.size() - 2);
    if (Value.rfind("$HOME", 0) == 0) return ShellFolders::Home().string() + Value.substr(5);
    if (!Value.empty() && Value.front() == '/') return Value;
  }
  return Fallback;
}

}  // namespace

std::filesystem::path ShellFolders::Home() {
  if (const char* H = std::getenv("HOME"); H && *H) return H;
  if (const passwd* Pw = getpwuid(getuid()); Pw && Pw->pw_dir) return Pw->pw_dir;
  return "/";
}

std::filesystem::path ShellFolders::ConfigHome() { return FromEnv("XDG_CONFIG_HOME", Home() / ".config"); }
std::filesystem::path ShellFolders::DataHome() { return FromEnv("XDG_DATA_HOME", Home() / ".local/share"); }
std::filesystem::path ShellFolders::CacheHome() { return FromEnv("XDG_CACHE_HOME", Home() / ".cache"); }
std::filesystem::path ShellFolders::FavoritesPath() { return DataHome() / "vorlane" / "Favorites"; }

std::filesystem::path ShellFolders::Path(SpecialFolder Folder) {
  std::error_code Ec;
  switch (Folder) {
    case SpecialFolder::Desktop: return UserDir("DESKTOP", Home() / "Desktop");
    case SpecialFolder::Templates: return UserDir("TEMPLATES", Home() / "Templates");
    case SpecialFolder::Personal: return UserDir("DOCUMENTS", Home());
    case SpecialFolder::Favorites: {
      auto P = FavoritesPath();
      std::filesystem::create_directories(P, Ec);
      return P;
    }
    case SpecialFolder::History: return DataHome() / "vorlane" / "History";
    case SpecialFolder::AppData: return DataHome() / "vorlane";
  }
  return Home();
}

}  // namespace vorlane::platform
