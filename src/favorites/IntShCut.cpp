#include "favorites/IntShCut.h"

#include "platform/IniFile.h"

namespace vorlane::favorites {

EShortcutWriteError::EShortcutWriteError(const std::filesystem::path& File)
    : std::runtime_error("Unable to write to " + File.string()) {}

std::string ReadShortcutUrl(const std::filesystem::path& File, TResolveUrl Mode,
                            const std::string& Default) {
  auto Url = platform::IniFile::ReadString(File, "InternetShortcut", "URL");
  if (Url) return *Url;
  return Mode == TResolveUrl::IniFile ? Default : std::string();
}

std::string ReadShortcutUrlAt(int DirFd, const char* Name, TResolveUrl Mode, const std::string& Default) {
  auto Url = platform::IniFile::ReadStringAt(DirFd, Name, "InternetShortcut", "URL");
  if (Url) return *Url;
  return Mode == TResolveUrl::IniFile ? Default : std::string();
}

void WriteShortcutUrl(const std::filesystem::path& File, const std::string& Url) {
  if (!platform::IniFile::WriteString(File, "InternetShortcut", "URL", Url))
    throw EShortcutWriteError(File);
}

}  // namespace vorlane::favorites
