#pragma once
// INI files with the old platform's rules: section and key names match without regard to
// case (ASCII), the value is the text after the first "=" with surrounding blanks removed,
// at most IniMaxValue characters are read. Writing replaces one value in place and keeps
// every other line, including its line end, byte for byte.
// The text functions work on decoded UTF-8 text so that they can be tested and fuzzed
// alone; the file functions add reading (a byte order mark honoured, GB18030 when not
// UTF-8) and atomic writing. Files are read only when they are regular files of at most
// IniMaxFileBytes: a FIFO, a device or a huge file is never waited on or swallowed.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vorlane::platform {

inline constexpr std::size_t IniMaxValue = 2047;
inline constexpr std::size_t IniMaxFileBytes = 1 << 20;

class IniFile {
public:
  // The value of Key in Section, or nullopt when the section or the key is missing.
  static std::optional<std::string> FindValue(std::string_view Text, std::string_view Section,
                                              std::string_view Key);

  // Text with Key of Section set to Value: the key's line is rewritten in place, or the key
  // is added at the end of the section, or the section is added at the end of the text.
  // New lines end in CR LF. Line breaks inside Value are dropped so that a value can never
  // become a line of its own.
  static std::string SetValue(std::string_view Text, std::string_view Section,
                              std::string_view Key, std::string_view Value);

  // nullopt when the file cannot be read or holds no such key.
  static std::optional<std::string> ReadString(const std::filesystem::path& File,
                                               std::string_view Section, std::string_view Key);

  // Sets one value in a file, creating it when missing; the file is replaced atomically
  // (a temporary file beside it, then a rename). False when the folder is missing, the
  // file system refuses the name or the write, or the name is taken by something other
  // than a regular file of at most IniMaxFileBytes (a link is refused, never written
  // through).
  static bool WriteString(const std::filesystem::path& File, std::string_view Section,
                          std::string_view Key, std::string_view Value);

  // The same, with Name relative to the open folder DirFd (AT_FDCWD: the working folder).
  // Walks that handle many files of one folder use these to skip the path lookups.
  static std::optional<std::string> ReadStringAt(int DirFd, const char* Name, std::string_view Section,
                                                 std::string_view Key);
  static bool WriteStringAt(int DirFd, const char* Name, std::string_view Section, std::string_view Key,
                            std::string_view Value);
};

// Puts Bytes into File so that a reader sees either the old file or the whole new one,
// also when File is new: a temporary file in the same folder, flushed, then renamed over
// File (taking over the permission bits of an existing file). False on any failure
// (errno tells why); the temporary file is removed again.
bool ReplaceFileContents(const std::filesystem::path& File, std::string_view Bytes);
bool ReplaceFileContentsAt(int DirFd, const char* Name, std::string_view Bytes);

// The temporary files ReplaceFileContents writes (".vorlane-" and eight hex digits).
bool IsReplaceTemporaryName(std::string_view Name);
// Removes Name in DirFd when it is such a temporary file that a killed writer left
// behind: a regular file last written more than OlderThan ago (a younger one may still be
// under way in another process). true when it was removed.
bool RemoveStaleReplaceTemporary(int DirFd, const char* Name, std::chrono::seconds OlderThan);

// Whether a link in the last place of the name is followed when reading.
enum class FollowLink { Yes, No };

// The whole file, or nullopt (errno set) when it cannot be opened or read, is not a
// regular file (EINVAL; EISDIR for a folder) or is longer than MaxBytes (EFBIG). Opening
// never waits, so a FIFO is refused rather than blocking.
std::optional<std::string> ReadFileBytes(const std::filesystem::path& File, std::size_t MaxBytes = SIZE_MAX);
std::optional<std::string> ReadFileBytesAt(int DirFd, const char* Name, std::size_t MaxBytes = SIZE_MAX,
                                           FollowLink Follow = FollowLink::Yes);

}  // namespace vorlane::platform
