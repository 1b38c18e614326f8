#include "browser/PageFileNames.h"

#include <glib.h>

namespace vorlane::browser {

namespace {

// Text as valid UTF-8 (invalid bytes become U+FFFD) without control characters (C0, DEL,
// C1) and without the characters in Drop.
std::string CleanCharacters(const std::string& Text, std::string_view Drop) {
  char* Valid = g_utf8_make_valid(Text.c_str(), static_cast<gssize>(Text.size()));
  std::string Out;
  for (const char* P = Valid; *P; P = g_utf8_next_char(P)) {
    gunichar C = g_utf8_get_char(P);
    if (C < 0x20 || (C >= 0x7F && C < 0xA0)) continue;
    if (C < 0x80 && Drop.find(static_cast<char>(C)) != std::string_view::npos) continue;
    Out.append(P, g_utf8_next_char(P) - P);
  }
  g_free(Valid);
  return Out;
}

std::string StripLeading(std::string Name, std::string_view What) {
  size_t Start = Name.find_first_not_of(What);
  return Start == std::string::npos ? std::string() : Name.substr(Start);
}

std::string HostOf(const std::string& Url) {
  GUri* Uri = g_uri_parse(Url.c_str(), G_URI_FLAGS_NONE, nullptr);
  std::string Host = Uri && g_uri_get_host(Uri) ? g_uri_get_host(Uri) : "";
  if (Uri) g_uri_unref(Uri);
  return Host;
}

}  // namespace

std::string FitFileName(std::string_view Name, std::string_view Extension, size_t MaxBytes) {
  size_t Room = MaxBytes > Extension.size() ? MaxBytes - Extension.size() : 0;
  if (Name.size() > Room) {
    size_t Cut = Room;
    // Back up over continuation bytes to the start of the character that does not fit.
    while (Cut > 0 && (static_cast<unsigned char>(Name[Cut]) & 0xC0) == 0x80) --Cut;
    Name = Name.substr(0, Cut);
  }
  return std::string(Name) + std::string(Extension);
}

std::string ShortcutFileName(const std::string& Title, const std::string& Url) {
  std::string Name = StripLeading(CleanCharacters(Title, "\"*/:<>?\\|"), ". ");
  if (Name.empty()) Name = StripLeading(CleanCharacters(HostOf(Url), "\"*/:<>?\\|"), ". ");
  if (Name.empty()) Name = "shortcut";
  return FitFileName(Name, ".url");
}

std::string MailFileName(const std::string& Title) {
  std::string Name = StripLeading(CleanCharacters(Title, "/"), ". ");
  if (Name.empty()) Name = "page";
  return FitFileName(Name, ".mht");
}

}  // namespace vorlane::browser
