#include "browser/PageFileNames.h"

#include "platform/FileNames.h"
#include "platform/TextCodec.h"

#include <glib.h>

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
  std::string Name = NameFromTitle(Title, ".mht");
  return Name.empty() ? "page.mht" : Name;
}

}  // namespace vorlane::browser
