#pragma once
// File names made from titles that a page or a file controls (favorites, imported
// bookmarks, desktop shortcuts). The Favorites folder and the desktop are shared with
// Windows (dual boot, exFAT sticks, SMB shares), so the names follow its rules as well as
// ours: what either side refuses or hides never gets into a name.
#include <cstddef>
#include <string>
#include <string_view>

namespace vorlane::platform {

inline constexpr std::size_t MaxFileNameBytes = 255;

// Title + Suffix as one file name: each of " * / : < > ? \ | and NUL becomes "-", other
// control characters are dropped, a leading "." becomes "-" (it would hide the entry;
// "." and ".." become "-" and "--"), and the title is shortened on a character boundary
// so that the whole name fits MaxFileNameBytes. Names Windows refuses get a "-": after a
// device name (CON, PRN, AUX, NUL, COM1-9, LPT1-9 in any case) that is the part before
// the first dot ("nul.txt.url" -> "nul-.txt.url"), and after a final dot or space
// ("a." -> "a.-"). Empty when nothing of the title is left.
// Title is UTF-8; Suffix (".url", ".desktop" or nothing) is taken as it is.
std::string FileNameFromTitle(std::string_view Title, std::string_view Suffix = {});

// One piece of a name (an extension) by the character rules of FileNameFromTitle alone.
std::string CleanNameCharacters(std::string_view Text);

// Whether Windows takes Stem (a name's part before its first dot) for a device.
bool IsWindowsDeviceName(std::string_view Stem);

// UTF-8 text shortened to at most MaxBytes bytes without cutting a character.
std::string ShortenUtf8(std::string_view Text, std::size_t MaxBytes);

}  // namespace vorlane::platform
