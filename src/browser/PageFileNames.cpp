#include "browser/PageFileNames.h"

#include "platform/FileNames.h"
#include "platform/TextCodec.h"

#include <glib.h>

#include <cstring>

namespace vorlane::browser {

namespace {

// Leading dots and blanks go: a name that starts with one hides the file here.
std::string_view WithoutLeadingDots(std::string_view Name) {
  size_t Start = Name.find_first_not_of(". ");
  return Start == std::string_view::npos ? std::string_view() : Name.substr(Start);
}

std::string HostOf(const std::string& Url) {
  GUri* Uri = g_uri_parse(Url.c_str(), G_URI_FLAGS_NONE, nullptr);
  std::string Host = Uri && g_uri_get_host(Uri) ? g_uri_get_host(Uri) : "";
  if (Uri) g_uri_unref(Uri);
  return Host;
}

// The program's one rule for names made from titles, after the leading dots.
std::string NameFromTitle(const std::string& Title, std::string_view Extension) {
  std::string Valid = platform::DecodeUtf8Lossy(Title);
  return platform::FileNameFromTitle(WithoutLeadingDots(Valid), Extension);
}

}  // namespace

std::string FitFileName(std::string_view Name, std::string_view Extension, size_t MaxBytes) {
  size_t Room = MaxBytes > Extension.size() ? MaxBytes - Extension.size() : 0;
  return platform::ShortenUtf8(Name, Room) + std::string(Extension);
}

std::string ShortcutFileName(const std::string& Title, const std::string& Url) {
  std::string Name = NameFromTitle(Title, ".url");
  if (Name.empty()) Name = NameFromTitle(HostOf(Url), ".url");
  return Name.empty() ? "shortcut.url" : Name;
}

std::string MailFileName(const std::string& Title) {
  std::string Valid = platform::DecodeUtf8Lossy(Title);
  std::string Clean;
  for (const char* P = Valid.c_str(); *P; P = g_utf8_next_char(P)) {
    gunichar C = g_utf8_get_char(P);
    GUnicodeType Type = g_unichar_type(C);
    bool Mark = Type == G_UNICODE_NON_SPACING_MARK || Type == G_UNICODE_SPACING_MARK ||
                Type == G_UNICODE_ENCLOSING_MARK;
    if (Type == G_UNICODE_CONTROL) continue;  // as in every name made from a title
    if (Type == G_UNICODE_SPACE_SEPARATOR) {
      // xdg-email passes the path through an unquoted echo, which keeps one space of a run.
      if (!Clean.empty() && Clean.back() != ' ') Clean += ' ';
    } else if (g_unichar_isalnum(C) || Mark || (C < 0x80 && std::strchr("-_().", static_cast<int>(C)))) {
      Clean.append(P, static_cast<size_t>(g_utf8_next_char(P) - P));
    } else {
      Clean += '-';
    }
  }
  std::string_view Name = WithoutLeadingDots(Clean);
  while (!Name.empty() && Name.back() == ' ') Name.remove_suffix(1);
  return Name.empty() ? "page.mht" : FitFileName(Name, ".mht");
}

}  // namespace vorlane::browser
