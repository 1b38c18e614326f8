#include "engine/ProcessPlacement.h"

#include "engine/GObjectPtr.h"
#include "engine/SitePages.h"

#include <glib.h>
#include <libsoup/soup.h>
#include <webkit/webkit.h>

#include <filesystem>
#include <utility>

namespace vorlane::engine {

std::string SiteOfAddress(std::string_view Url) {
  std::string Text(Url);
  GUriPtr Uri(g_uri_parse(Text.c_str(), G_URI_FLAGS_NONE, nullptr));
  if (!Uri || !g_uri_get_host(Uri.get()) || !*g_uri_get_host(Uri.get())) return {};
  GCharPtr Host(g_ascii_strdown(g_uri_get_host(Uri.get()), -1));
  // The public suffix list names the registrable part; where it cannot (an IP address,
  // "localhost", an unknown suffix) the whole host is the site.
  const char* Domain = Host.get();
  if (!g_hostname_is_ip_address(Host.get())) {
    GErrorSlot Error;
    if (const char* Base = soup_tld_get_base_domain(Host.get(), &Error)) Domain = Base;
  }
  return Domain;
}

void LoadProcessReport() {
  static bool Done = false;
  if (std::exchange(Done, true)) return;
  // The build tree's module for programs run from there, else the one installed beside us.
  std::error_code Ec;
  auto Program = std::filesystem::read_symlink("/proc/self/exe", Ec);
  std::string Folder = Program.string().starts_with(VORLANE_BINARY_DIR "/")
                           ? VORLANE_EXTENSION_BUILD_DIR
                           : (Program.parent_path().parent_path() / VORLANE_EXTENSION_LIBDIR).string();
  webkit_web_context_set_web_process_extensions_directory(webkit_web_context_get_default(), Folder.c_str());
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

bool ProcessPlacement::Closed(browser::PageId Page) {
  FViews.erase(Page);
  // WebKit would keep the last page's process idle for a later page of that site, for
  // minutes; a long session would gather one per site visited.
  switch (FSharing.PageClosed(Page)) {
    case browser::ProcessSharing::LeftProcess::InUse:
      return false;
    case browser::ProcessSharing::LeftProcess::Empty:
      return true;
    case browser::ProcessSharing::LeftProcess::MaybeEmpty:
      // Ending it could take a page that has just moved in; WebKit ends it only if idle.
      FIdleRelease.Request();
      return false;
  }
  return false;
}

}  // namespace vorlane::engine
