#pragma once
// The one message between the browser and its web process extension: asked with no
// parameters, answered with the process's number (a uint64 GVariant).
namespace vorlane::engine {
inline constexpr const char* ProcessQuestion = "vorlane-process";
}
