#pragma once
// The product's built-in web site (vorlane://home.vorlane/…): which page a request gets.
// Display-free, so the page logic is testable without an engine.
#include <string>
#include <string_view>

namespace vorlane::engine {

inline constexpr std::string_view SiteScheme = "vorlane";
inline constexpr std::string_view SiteHost = "home.vorlane";

struct SiteReply {
  int Status = 200;  // 200, or 404 for anything the site does not have
  std::string MimeType;
  std::string Body;
};

// The reply for one request; Path and Query as they appear in the address (still
// percent-encoded), Query without the "?".
SiteReply ServeSitePage(std::string_view Host, std::string_view Path, std::string_view Query);

// Text made safe to put into HTML, in element content and in quoted attributes alike.
std::string HtmlEscape(std::string_view Text);

// The "word" of a search address, decoded: '+' is a space, %XX escapes are bytes, and
// bytes that are not UTF-8 are read as GB18030 (old pages sent GBK).
std::string SearchWordOf(std::string_view Query);

}  // namespace vorlane::engine
