#include "browser/DesktopAddress.h"

#include "browser/UrlFixup.h"

#include <glib.h>

#include <memory>
#include <system_error>

namespace vorlane::browser {

std::optional<std::string> DesktopAddress(std::string_view Argument, const std::filesystem::path& CurrentDir) {
  std::string Text(Argument);
  if (!Text.empty() && Text.front() != '/' && Text.front() != '~' && !CurrentDir.empty()) {
    // "page.html" from a terminal means the file beside the caller, not a host.
    std::error_code Ec;
    auto Local = (CurrentDir / Text).lexically_normal();
    if (std::filesystem::is_regular_file(Local, Ec) || std::filesystem::is_directory(Local, Ec))
      Text = Local.string();
  }
  std::string Url = FixupUrl(Text);
  if (Url.empty() || Url.size() > 32 * 1024) return std::nullopt;
  for (unsigned char C : Url)
    if (C < 0x20 || C == 0x7F) return std::nullopt;
  std::unique_ptr<char, decltype(&g_free)> Scheme(g_uri_parse_scheme(Url.c_str()), &g_free);
  // A script address from outside would run in whatever page it lands on: never.
  if (!Scheme || g_ascii_strcasecmp(Scheme.get(), "javascript") == 0) return std::nullopt;
  return Url;
}

}  // namespace vorlane::browser
