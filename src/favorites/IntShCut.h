#pragma once
// Internet shortcut (".url") files: INI text with the section "[InternetShortcut]" and the
// key "URL". Readers look at that key only.
#include <filesystem>
#include <stdexcept>
#include <string>

namespace vorlane::favorites {

enum class TResolveUrl { IntShCut = 0, IniFile = 1 };

// Raised when a shortcut cannot be written; the text is "Unable to write to <path>".
class EShortcutWriteError : public std::runtime_error {
public:
  explicit EShortcutWriteError(const std::filesystem::path& File);
};

// The address in File. IniFile: Default when the file, section or key is missing.
// IntShCut (how the shell's shortcut object reads it): empty in those cases.
std::string ReadShortcutUrl(const std::filesystem::path& File, TResolveUrl Mode,
                            const std::string& Default = {});

// The same for the file Name in the open folder DirFd.
std::string ReadShortcutUrlAt(int DirFd, const char* Name, TResolveUrl Mode, const std::string& Default = {});

// Sets the address of File, creating it as "[InternetShortcut]" and "URL=..." when it is
// missing and keeping every other line of an existing file.
void WriteShortcutUrl(const std::filesystem::path& File, const std::string& Url);

}  // namespace vorlane::favorites
