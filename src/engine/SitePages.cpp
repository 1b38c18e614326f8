#include "engine/SitePages.h"

#include "engine/GObjectPtr.h"
#include "platform/TextCodec.h"
#include "Resources.h"

#include <gio/gio.h>
#include <optional>

namespace vorlane::engine {
namespace {

constexpr const char* ResourceRoot = "/org/vorlane/Vorlane/site/";

std::optional<std::string> ReadSiteFile(const char* Name) {
  resources::EnsureRegistered();
  std::string Path = std::string(ResourceRoot) + Name;
  GBytesPtr Bytes(g_resources_lookup_data(Path.c_str(), G_RESOURCE_LOOKUP_FLAGS_NONE, nullptr));
  if (!Bytes) return std::nullopt;
  gsize Size = 0;
  auto* Data = static_cast<const char*>(g_bytes_get_data(Bytes.get(), &Size));
  return std::string(Data, Size);
}

int HexValue(char C) {
  if (C >= '0' && C <= '9') return C - '0';
  if (C >= 'a' && C <= 'f') return C - 'a' + 10;
  if (C >= 'A' && C <= 'F') return C - 'A' + 10;
  return -1;
}

std::string DecodeFormValue(std::string_view Encoded) {
  std::string Bytes;
  Bytes.reserve(Encoded.size());
  for (size_t I = 0; I < Encoded.size(); ++I) {
    char C = Encoded[I];
    if (C == '+') {
      Bytes += ' ';
    } else if (C == '%' && I + 2 < Encoded.size() && HexValue(Encoded[I + 1]) >= 0 &&
               HexValue(Encoded[I + 2]) >= 0) {
      Bytes += static_cast<char>(HexValue(Encoded[I + 1]) * 16 + HexValue(Encoded[I + 2]));
      I += 2;
    } else {
      Bytes += C;  // a stray '%' stays as typed
    }
  }
  return platform::DecodeLegacyText(Bytes);
}

// Replaces every "{{Name}}" in Template; values are inserted as given.
void Fill(std::string& Template, std::string_view Name, const std::string& Value) {
  std::string Token = "{{" + std::string(Name) + "}}";
  for (size_t At = Template.find(Token); At != std::string::npos;
       At = Template.find(Token, At + Value.size()))
    Template.replace(At, Token.size(), Value);
}

std::string PercentEncode(const std::string& Text) {
  GCharPtr Escaped(g_uri_escape_string(Text.c_str(), nullptr, FALSE));
  return Escaped ? std::string(Escaped.get()) : std::string();
}

SiteReply NotFound() { return {404, "text/html", {}}; }

bool IsFileAddress(std::string_view Url) { return Url.size() > 5 && g_ascii_strncasecmp(Url.data(), "file:", 5) == 0; }

std::string LinkItem(const SiteLink& Link) {
  const std::string& Text = Link.Title.empty() ? Link.Url : Link.Title;
  std::string Target = IsFileAddress(Link.Url) ? std::string(OpenLocalPrefix) + PercentEncode(Link.Url) : Link.Url;
  return "<li><a href=\"" + HtmlEscape(Target) + "\" title=\"" + HtmlEscape(Link.Url) + "\">" + HtmlEscape(Text) +
         "</a></li>";
}

// A favorite's address is the file's, not ours: only addresses a page may open become
// links (a "javascript:" one would run in the start page); the rest show as text.
bool IsOpenableAddress(std::string_view Url) {
  for (const char* Scheme : {"http:", "https:", "ftp:", "file:"})
    if (Url.size() > std::char_traits<char>::length(Scheme) &&
        g_ascii_strncasecmp(Url.data(), Scheme, std::char_traits<char>::length(Scheme)) == 0)
      return true;
  return false;
}

std::string FavoriteItem(const SiteLink& Link) {
  if (!Link.Folder && IsOpenableAddress(Link.Url)) return LinkItem(Link);
  const std::string& Text = Link.Title.empty() ? Link.Url : Link.Title;
  return std::string("<li class=\"") + (Link.Folder ? "folder" : "plain") + "\">" + HtmlEscape(Text) + "</li>";
}

SiteReply SearchPage(std::string_view Query, const SiteContent& Content) {
  auto Template = ReadSiteFile("search.html");
  if (!Template) return NotFound();
  std::string Word = SearchWordOf(Query);
  std::string Shown = HtmlEscape(Word);
  std::string Results, Forward;
  if (!Word.empty() && Content.ForwardSearch) {
    // The search engine's results at once: a refresh this quick replaces the page in the
    // back list (Back never lands here to be sent on again), while the history keeps the
    // search. A refresh, not a script: pages may run none.
    std::string Target = HtmlEscape(Content.SearchResults + PercentEncode(Word));
    Forward = "<meta http-equiv=\"refresh\" content=\"0; url=" + Target + "\">";
  }
  if (Word.empty()) {
    Results = "    <p class=\"muted\">请输入要搜索的内容。</p>";
  } else {
    Results = "    <p>您搜索的是：<strong class=\"word\">" + Shown + "</strong></p>\n"
              "    <p><a class=\"button\" id=\"baidu\" href=\"" +
              HtmlEscape(Content.SearchResults + PercentEncode(Word)) + "\">到百度搜索</a></p>";
  }
  std::string Body = std::move(*Template);
  // Placeholders are filled in one pass each, and the inserted text is escaped, so a
  // word that itself contains "{{…}}" is shown, never expanded.
  Fill(Body, "forward", Forward);
  Fill(Body, "results", Results);
  Fill(Body, "title", Word.empty() ? "Vorlane 搜索" : Shown + " - Vorlane 搜索");
  Fill(Body, "word", Shown);
  return {200, "text/html", std::move(Body)};
}

SiteReply StartPage(const SiteContent& Content) {
  auto Template = ReadSiteFile("sea.html");
  if (!Template) return NotFound();
  std::string Items;
  if (Content.RecentVisits) {
    // The start page is among the latest visits (under a few queries at most).
    size_t Listed = 0;
    for (const SiteLink& Link : Content.RecentVisits(RecentVisitCount + 4))
      if (Listed < RecentVisitCount && !IsStartPageAddress(Link.Url)) {
        Items += LinkItem(Link);
        ++Listed;
      }
  }
  std::string Unrestored;
  if (Content.UnrestoredPages) {
    std::string Links;
    for (const SiteLink& Link : Content.UnrestoredPages()) Links += LinkItem(Link);
    if (!Links.empty())
      Unrestored = "<section id=\"unrestored\" class=\"panel\"><h2>上次未能恢复的网页</h2>"
                   "<p>浏览器打开这些网页后又意外退出了，所以这次没有自动打开它们。</p><ul class=\"links\">" +
                   Links + "</ul></section>";
  }
  std::string Favorites;
  if (Content.Favorites) {
    size_t Listed = 0;
    for (const SiteLink& Link : Content.Favorites())
      if (Listed++ < StartPageFavoriteCount) Favorites += FavoriteItem(Link);
  }
  std::string Body = std::move(*Template);
  Fill(Body, "unrestored", Unrestored);
  Fill(Body, "favorites", Favorites);
  // Nothing at all between the tags when there are no visits, so the box's "暂无内容"
  // (an :empty rule of the style sheet) shows.
  Fill(Body, "recent", Items);
  return {200, "text/html", std::move(Body)};
}

SiteReply StaticPage(const char* Name, const char* MimeType) {
  auto Body = ReadSiteFile(Name);
  if (!Body) return NotFound();
  return {200, MimeType, std::move(*Body)};
}

}  // namespace

std::string HtmlEscape(std::string_view Text) {
  std::string Out;
  Out.reserve(Text.size());
  for (char C : Text) {
    switch (C) {
      case '&': Out += "&amp;"; break;
      case '<': Out += "&lt;"; break;
      case '>': Out += "&gt;"; break;
      case '"': Out += "&quot;"; break;
      case '\'': Out += "&#39;"; break;
      case '{': Out += "&#123;"; break;  // keeps template tokens out of inserted text
      case '}': Out += "&#125;"; break;
      default: Out += C;
    }
  }
  return Out;
}

std::string SearchWordOf(std::string_view Query) {
  // The address bar appends what the user typed without escaping it, so everything after
  // "word=" is the word, '&' included.
  size_t At = 0;
  while (At <= Query.size()) {
    if (Query.substr(At).starts_with("word=")) return DecodeFormValue(Query.substr(At + 5));
    size_t Amp = Query.find('&', At);
    if (Amp == std::string_view::npos) break;
    At = Amp + 1;
  }
  return {};
}

bool IsStartPageAddress(std::string_view Url) {
  GUriPtr Parsed(g_uri_parse(std::string(Url).c_str(), G_URI_FLAGS_ENCODED, nullptr));
  if (!Parsed) return false;
  const char* Host = g_uri_get_host(Parsed.get());
  return g_ascii_strcasecmp(g_uri_get_scheme(Parsed.get()), std::string(SiteScheme).c_str()) == 0 && Host &&
         g_ascii_strcasecmp(Host, std::string(SiteHost).c_str()) == 0 &&
         std::string_view(g_uri_get_path(Parsed.get())) == "/sea.html";
}

std::optional<std::string> LocalFileOfOpenAddress(std::string_view Url) {
  if (!Url.starts_with(OpenLocalPrefix)) return std::nullopt;
  std::string Encoded(Url.substr(OpenLocalPrefix.size()));
  GCharPtr File(g_uri_unescape_string(Encoded.c_str(), nullptr));
  if (!File || !IsFileAddress(File.get())) return std::nullopt;
  return std::string(File.get());
}

SiteReply ServeSitePage(std::string_view Host, std::string_view Path, std::string_view Query,
                        const SiteContent& Content) {
  if (Host != SiteHost) return NotFound();
  if (Path == "/" || Path.empty()) return StaticPage("about.html", "text/html");
  if (Path == "/sea.html") return StartPage(Content);
  if (Path == "/search.html") return SearchPage(Query, Content);
  if (Path == "/site.css") return StaticPage("site.css", "text/css");
  return NotFound();
}

}  // namespace vorlane::engine
