#pragma once
// Writing a whole file without blocking the caller's main loop.
#include <functional>
#include <optional>
#include <string>

namespace vorlane::platform {

// Replaces (or creates) Path with Contents; Done gets nullopt on success, else the
// system's error text.
void WriteFileAsync(const std::string& Path, std::string Contents,
                    std::function<void(std::optional<std::string>)> Done);

}  // namespace vorlane::platform
