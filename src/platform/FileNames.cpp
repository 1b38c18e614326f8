#include "platform/FileNames.h"

#include <algorithm>

namespace vorlane::platform {
namespace {

// Refused in names by Windows (Win32, FAT, exFAT, SMB); "/" and NUL by every file system.
bool IsRefused(char C) {
  switch (C) {
    case '"': case '*': case '/': case ':': case '<': case '>': case '?': case '\\': case '|': case '\0':
      return true;
    default:
      return false;
  }
}

bool IsControl(char C) {
  auto B = static_cast<unsigned char>(C);
  return (B > 0 && B < 0x20) || B == 0x7F;
}

}  // namespace

std::string ShortenUtf8(std::string_view Text, std::size_t MaxBytes) {
  if (Text.size() <= MaxBytes) return std::string(Text);
  std::size_t Cut = MaxBytes;
  // Step back over continuation bytes to the start of the character that does not fit.
  while (Cut > 0 && (static_cast<unsigned char>(Text[Cut]) & 0xC0) == 0x80) --Cut;
  return std::string(Text.substr(0, Cut));
}

std::string CleanNameCharacters(std::string_view Text) {
  std::string Name;
  Name.reserve(Text.size());
  for (char C : Text) {
    if (IsRefused(C)) Name += '-';
    else if (!IsControl(C)) Name += C;
  }
  return Name;
}

bool IsWindowsDeviceName(std::string_view Stem) {
  auto Upper = [](char C) { return C >= 'a' && C <= 'z' ? static_cast<char>(C - 'a' + 'A') : C; };
  std::string Name;
  for (char C : Stem) Name += Upper(C);
  if (Name == "CON" || Name == "PRN" || Name == "AUX" || Name == "NUL") return true;
  return Name.size() == 4 && (Name.starts_with("COM") || Name.starts_with("LPT")) && Name[3] >= '1' && Name[3] <= '9';
}

std::string FileNameFromTitle(std::string_view Title, std::string_view Suffix) {
  if (Suffix.size() + 1 >= MaxFileNameBytes) return {};
  const std::size_t Room = MaxFileNameBytes - Suffix.size();
  std::string Name = CleanNameCharacters(Title);
  if (Name == "." || Name == "..") Name.assign(Name.size(), '-');
  else if (!Name.empty() && Name[0] == '.') Name[0] = '-';
  Name = ShortenUtf8(Name, Room);
  if (Name.empty()) return {};
  // The whole name's part before its first dot; a device name is at most four bytes, so
  // no shortening can reach it.
  std::string Whole = Name + std::string(Suffix);
  if (IsWindowsDeviceName(std::string_view(Whole).substr(0, Whole.find('.')))) {
    std::size_t End = std::min(Name.find('.'), Name.size());
    Name.insert(End, "-");
    Name = ShortenUtf8(Name, Room);
  }
  auto EndsBadly = [&] {
    const std::string_view Last = Suffix.empty() ? std::string_view(Name) : Suffix;
    return Last.ends_with('.') || Last.ends_with(' ');
  };
  if (EndsBadly() && Suffix.empty()) {
    Name = ShortenUtf8(Name, Room - 1);
    if (EndsBadly()) Name += '-';
  }
  return Name + std::string(Suffix);
}

}  // namespace vorlane::platform
