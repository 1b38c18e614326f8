#pragma once
// The files the browser keeps between runs, checked once at start before anything opens
// them: one that cannot be what we keep there is set aside (NAME.damaged-DATE) so this run
// starts afresh and the user's old data stays there to recover.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace vorlane::platform {

// Larger than any registry file we write by far: such a file is not read at all.
inline constexpr std::uintmax_t MaxRegistryFileSize = std::uintmax_t{16} << 20;

// The registry file: anything but a regular file that starts with the line we write, holds
// no NUL byte and is at most MaxRegistryFileSize long. Missing: nothing to do.
std::optional<std::filesystem::path> SetAsideUnreadableRegistry(const std::filesystem::path& File);
// An SQLite database (with its -wal and -shm files): anything but a regular file SQLite
// can read its schema from. Missing or empty: nothing to do (SQLite starts it afresh).
// A database another program holds locked is left alone.
std::optional<std::filesystem::path> SetAsideUnreadableDatabase(const std::filesystem::path& File);

// Data of this run that started afresh because its file was damaged.
struct TResetData {
  std::string What;                 // in the user's words: "设置和输入过的网址"
  std::filesystem::path MovedTo;    // where the damaged file is now
};
// The one message that tells the user about all of them; empty when there are none.
std::string ResetDataText(const std::vector<TResetData>& Reset);

}  // namespace vorlane::platform
