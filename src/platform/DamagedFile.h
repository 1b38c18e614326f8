#pragma once
// Setting a file the program cannot read out of its way without losing it.
#include <chrono>
#include <filesystem>
#include <optional>

namespace vorlane::platform {

// Moves a file (or directory) that cannot be read out of the way as "NAME.damaged-YYYYMMDD-HHMMSS"
// beside it (adding "-1", "-2"… when that exists), so the program can start afresh and the user's
// data is still there to recover. Returns the new path, nullopt when it could not be moved.
std::optional<std::filesystem::path> SetDamagedFileAside(const std::filesystem::path& File);
// The same with the stamp taken from Now, in local time.
std::optional<std::filesystem::path> SetDamagedFileAside(const std::filesystem::path& File,
                                                         std::chrono::system_clock::time_point Now);

}  // namespace vorlane::platform
