#pragma once
// Decisions of the browser control's host that need no engine: which keys the engine's
// accelerator translation may see, and what an item-ID list names.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

namespace vorlane::browser {

// False for BackSpace, Return (also the keypad's) and the arrow keys Left and Right
// outside the keypad: the page handles those itself, they never reach the owner's
// accelerators. Key is a GDK key value.
bool KeyOfferedToEngine(unsigned Key);

// The file-system path an item-ID list names: its items' contents are the path's parts
// from the root. Nullopt for a damaged list or one with nothing in it.
std::optional<std::string> ItemIdListPath(const uint8_t* List, size_t Size);

// Refresh command ids the engine's reloads arrive with.
constexpr int32_t IDM_REFRESH = 2300;
constexpr int32_t IDM_REFRESH_TOP = 6041;
constexpr int32_t IDM_REFRESH_TOP_FULL = 6042;

}  // namespace vorlane::browser
