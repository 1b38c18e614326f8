#pragma once
// Replacing a file so that a crash or a kill at any moment leaves either the old contents
// or the new ones, never a mix or nothing.
#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vorlane::platform {

// Contents written to a new file beside Path ("NAME.tmp-XXXXXX"), flushed to disk and
// renamed over Path, then the folder flushed so that the rename itself lasts. Creates the
// folder. The new file is readable by its owner only. nullopt on success, else the
// system's error text; the temporary file never stays behind on a failure.
std::optional<std::string> ReplaceFileDurably(const std::filesystem::path& Path, std::string_view Contents);

// Removes the temporary files of Path ("NAME.tmp-XXXXXX") that a kill in the middle of a
// replace left behind: those no writer holds locked any more, and any older than
// OlderThan (where locks do not work, a younger one may still be under way elsewhere).
void RemoveStaleTemporaries(const std::filesystem::path& Path, std::chrono::seconds OlderThan);
// Whether File is a temporary file of a writer that is gone (as above).
bool IsLeftoverTemporary(const std::filesystem::path& File, std::chrono::seconds OlderThan);

}  // namespace vorlane::platform
