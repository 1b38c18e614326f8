#pragma once
// Addresses that other programs hand to the browser on its command line.
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace vorlane::browser {

// The address a command-line argument opens: a relative path to an existing file is taken
// from the caller's folder, then the address bar's fix-up applies. Nullopt when the result
// is no usable address (no scheme, a script address, control characters, over 32 KiB).
std::optional<std::string> DesktopAddress(std::string_view Argument, const std::filesystem::path& CurrentDir);

}  // namespace vorlane::browser
