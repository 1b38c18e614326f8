#include "engine/ProcessPlacement.h"

#include "engine/GObjectPtr.h"
#include "engine/SitePages.h"

#include <glib.h>
#include <libsoup/soup.h>

namespace vorlane::engine {

std::string SiteOfAddress(std::string_view Url) {
  std::string Text(Url);
  GUriPtr Uri(g_uri_parse(Text.c_str(), G_URI_FLAGS_NONE, nullptr));
  if (!Uri || !g_uri_get_host(Uri.get()) || !*g_uri_get_host(Uri.get())) return {};
  GCharPtr Host(g_ascii_strdown(g_uri_get_host(Uri.get()), -1));
  GCharPtr Scheme(g_ascii_strdown(g_uri_get_scheme(Uri.get()), -1));
  // The public suffix list names the registrable part; where it cannot (an IP address,
  // "localhost", an unknown suffix) the whole host is the site.
  const char* Domain = Host.get();
  if (!g_hostname_is_ip_address(Host.get())) {
    GErrorSlot Error;
    if (const char* Base = soup_tld_get_base_domain(Host.get(), &Error)) Domain = Base;
  }
  return std::string(Scheme.get()) + "://" + Domain;
}

ProcessPlacement::ProcessPlacement(const std::string& ProductSiteBase, std::size_t PagesPerProcess)
    : FSharing(PagesPerProcess,
               {SiteOfAddress(std::string(SiteScheme) + "://" + std::string(SiteHost) + "/"),
                SiteOfAddress(ProductSiteBase)},
               SiteOfAddress) {}

WebKitWebView* ProcessPlacement::PlaceNewView(browser::PageId Page, std::string_view Url) {
  std::optional<browser::PageId> Mate = FSharing.PlaceNewPage(Page, Url);
  if (!Mate) return nullptr;
  auto Found = FViews.find(*Mate);
  return Found == FViews.end() ? nullptr : Found->second;
}

void ProcessPlacement::JoinOpener(browser::PageId Page, browser::PageId Opener) {
  FSharing.JoinOpener(Page, Opener);
}

void ProcessPlacement::Closed(browser::PageId Page) {
  FSharing.PageClosed(Page);
  FViews.erase(Page);
}

}  // namespace vorlane::engine
