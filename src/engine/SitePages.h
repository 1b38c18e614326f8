#pragma once
// The product's built-in web site (vorlane://home.vorlane/…): which page a request gets.
// Display-free, so the page logic is testable without an engine.
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorlane::engine {

inline constexpr std::string_view SiteScheme = "vorlane";
inline constexpr std::string_view SiteHost = "home.vorlane";

struct SiteReply {
  int Status = 200;  // 200, or 404 for anything the site does not have
  std::string MimeType;
  std::string Body;
};

struct SiteLink {
  std::string Title;  // shown as text; the address when empty
  std::string Url;
  bool Folder = false;  // a favorites folder: its name, not a link
};

// What the site shows of the user's own data; an unset source shows nothing.
struct SiteContent {
  // The latest visits, newest first, each address once, at most Limit.
  std::function<std::vector<SiteLink>(size_t Limit)> RecentVisits;
  // The pages of a run that ended in a crash and were not reopened this time.
  std::function<std::vector<SiteLink>()> UnrestoredPages;
  // Where a search forwards to: the results address the word is appended to, encoded.
  std::string SearchResults = "https://www.baidu.com/s?wd=";
  // Off: the search page stays, with its link to the results.
  bool ForwardSearch = true;
  // The top level of the Favorites folder, folders first, as the favorites menu lists it.
  std::function<std::vector<SiteLink>()> Favorites;
};

// How many entries of the Favorites folder the start page's "收藏夹" box lists at most.
inline constexpr size_t StartPageFavoriteCount = 100;

// How many visits the start page's "最近访问" box lists.
inline constexpr size_t RecentVisitCount = 8;

// Whether Url is the site's start page (any query). It is left out of its own list.
bool IsStartPageAddress(std::string_view Url);

// Web content may not link to file: addresses, and to WebKit the site is web content: a
// local page on the start page links here instead, and the engine opens the file: address
// after "?" (percent-encoded) itself, when the start page asks.
inline constexpr std::string_view OpenLocalPrefix = "vorlane://home.vorlane/open-local?";
// The file: address an open-local address stands for; nullopt for any other address.
std::optional<std::string> LocalFileOfOpenAddress(std::string_view Url);

// The reply for one request; Path and Query as they appear in the address (still
// percent-encoded), Query without the "?".
SiteReply ServeSitePage(std::string_view Host, std::string_view Path, std::string_view Query,
                        const SiteContent& Content = {});

// Text made safe to put into HTML, in element content and in quoted attributes alike.
std::string HtmlEscape(std::string_view Text);

// The "word" of a search address, decoded: '+' is a space, %XX escapes are bytes, and
// bytes that are not UTF-8 are read as GB18030 (old pages sent GBK).
std::string SearchWordOf(std::string_view Query);

}  // namespace vorlane::engine
