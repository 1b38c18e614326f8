#pragma once
// The views of one browser's engines and the web process each new view should share
// (browser::ProcessSharing decides). WebKit fixes a view's process when the view is built,
// through the view it is related to; afterwards it moves the view to a new process on a
// cross-site navigation and brings it back in a new one after a crash, which the engines
// report here so that later choices see the processes as they are.
#include "browser/ProcessSharing.h"
#include "engine/IdleProcesses.h"

#include <string>
#include <string_view>
#include <unordered_map>

typedef struct _WebKitWebView WebKitWebView;

namespace vorlane::engine {

// The site of an address as WebKit groups pages into processes: the registrable domain,
// whatever the scheme ("example.co.uk" for "https://www.example.co.uk:8443/x"); an IP
// address or a name without a known suffix is its own domain. Empty without a host.
std::string SiteOfAddress(std::string_view Url);

// Has WebKit load the extension that tells which process a page is in; once, before any view.
void LoadProcessReport();

class ProcessPlacement {
public:
  // ProductSiteBase: the configured product site's address, if any; the built-in site is
  // always a product site.
  explicit ProcessPlacement(const std::string& ProductSiteBase,
                            std::size_t PagesPerProcess = browser::ProcessSharing::DefaultPagesPerProcess);

  browser::PageId NewPageId() { return FNextPage++; }

  // The view that a new page's view, about to load Url, must be related to, or nullptr for
  // a process of its own. Call SetView once the view exists.
  WebKitWebView* PlaceNewView(browser::PageId Page, std::string_view Url);
  // A view WebKit put into Opener's process (a window a page opened).
  void JoinOpener(browser::PageId Page, browser::PageId Opener);
  void SetView(browser::PageId Page, WebKitWebView* View) { FViews[Page] = View; }

  void Committed(browser::PageId Page, std::string_view Url) { FSharing.PageNavigated(Page, Url); }
  // The web process extension's answer after a commit.
  void InProcess(browser::PageId Page, browser::ProcessSharing::ProcessNumber Process) {
    FSharing.PageInProcess(Page, Process);
  }
  // How many other pages the ended process held.
  std::size_t ProcessEnded(browser::PageId Page) { return FSharing.ProcessEnded(Page); }
  // The page's view is about to go. True when no other page is in its process: the engine
  // then ends the process with the view, rather than WebKit keeping it idle for reuse (a
  // closed view's pagehide and unload handlers sent nothing either way, as measured).
  bool Closed(browser::PageId Page);

private:
  browser::ProcessSharing FSharing;
  IdleProcessRelease FIdleRelease;
  std::unordered_map<browser::PageId, WebKitWebView*> FViews;  // not owned: the engines' views
  browser::PageId FNextPage = 1;
};

}  // namespace vorlane::engine
