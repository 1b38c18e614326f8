#include "platform/FileNames.h"

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

std::string FileNameFromTitle(std::string_view Title, std::string_view Suffix) {
  if (Suffix.size() >= MaxFileNameBytes) return {};
  std::string Name;
  Name.reserve(Title.size());
  for (char C : Title) {
    if (IsRefused(C)) Name += '-';
    else if (!IsControl(C)) Name += C;
  }
  if (Name == "." || Name == "..") Name.assign(Name.size(), '-');
  else if (!Name.empty() && Name[0] == '.') Name[0] = '-';
  Name = ShortenUtf8(Name, MaxFileNameBytes - Suffix.size());
  if (Name.empty()) return {};
  return Name + std::string(Suffix);
}

}  // namespace vorlane::platform
