#pragma once
// Which pages share a web process. A page in a process of its own costs tens of MiB; a page
// that joins another page's process costs a few. But a crash of a shared process takes all of
// its pages, so only pages of one site share (a crash is most likely that site's doing), and
// at most a few of them per process. The product's own site (start, search and product pages,
// light and ours) keeps all its pages in one process.
//
// Pure bookkeeping, no engine in it: the engine asks where a new page goes and reports, after
// each commit, the site the page shows and the process it really is in. The engine can
// choose a process only when it builds a page; after that WebKit moves a page on its own
// (usually to a new process when it goes to another site, but not a page that has an opener
// or opened windows), and brings each page of a crashed process back in a process of its own.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vorlane::browser {

using PageId = std::uint64_t;

// A plain site function: scheme and host in lower case, without user or port; empty for an
// address without a host (about:, data:, file:), whose pages never share. The browser keys
// its processes with engine::SiteOfAddress instead, which groups as WebKit does.
std::string SchemeAndHost(std::string_view Url);

class ProcessSharing {
public:
  using SiteFunction = std::function<std::string(std::string_view Url)>;
  // A web process as the engine names it; never 0.
  using ProcessNumber = std::uint64_t;

  // Measured in the browser, ten new tabs of one site after a first: 61.8 MiB each with a
  // process per tab, 30.0 with 4 pages per process, 26.1 with 6 (a crash then loses at
  // most six tabs), 21.8 all in one.
  static constexpr std::size_t DefaultPagesPerProcess = 6;

  // ProductSites are sites as SiteOf gives them.
  ProcessSharing(std::size_t PagesPerProcess, std::vector<std::string> ProductSites,
                 SiteFunction SiteOf = SchemeAndHost);

  // A new page is about to load Url: the page whose process it should share, or nullopt for
  // a process of its own. Only a process whose pages all show Url's site, and fewer than the
  // bound, is shared. The page counts from now on, until PageClosed.
  std::optional<PageId> PlaceNewPage(PageId Page, std::string_view Url);
  // A page the engine put into Opener's process itself (a window that a page opened).
  void JoinOpener(PageId Page, PageId Opener);
  // The page committed a load of Url: its site from now on.
  void PageNavigated(PageId Page, std::string_view Url);
  // The engine says which process the page's document is in. WebKit moves pages on its own
  // (or keeps them, as it does a page with an opener that goes to another site); this is
  // what the bookkeeping follows, never a guess from the address.
  void PageInProcess(PageId Page, ProcessNumber Process);
  // The page's process ended; the page comes back in a process of its own. Answers how many
  // other pages that process held (they end too).
  std::size_t ProcessEnded(PageId Page);
  // What the page's going leaves of its process, which the engine would otherwise keep
  // idle for reuse.
  enum class LeftProcess {
    InUse,  // other pages are in it
    Empty,  // no page is: it may end with the page
    // No page is as far as reported, but some page's process is not reported yet since its
    // last commit; WebKit may have just moved it there. Only the engine can tell it is idle.
    MaybeEmpty,
  };
  LeftProcess PageClosed(PageId Page);

  // The pages in Page's process, Page included; empty for a page not counted.
  std::vector<PageId> ProcessMates(PageId Page) const;

private:
  // A process the engine named, or one the bookkeeping expects before the engine names it.
  using ProcessKey = std::pair<bool, std::uint64_t>;  // (named, number)
  struct Process {
    std::uint64_t Order;  // older processes first among equals
    std::vector<PageId> Pages;
    bool Ended = false;
    std::size_t PagesWhenEnded = 0;
  };
  struct Page {
    std::string Site;
    ProcessKey Process;
    bool Reported = true;  // false from a commit until the engine names the process
  };

  bool IsProductSite(const std::string& Site) const;
  bool OnlySite(const Process& P, const std::string& Site) const;
  void Enter(PageId Id, ProcessKey Key, std::string Site);
  // True when the page's process is left without pages.
  bool Leave(PageId Id);
  ProcessKey Unnamed() { return {false, FNextUnnamed++}; }

  std::size_t FPagesPerProcess;
  std::vector<std::string> FProductSites;
  SiteFunction FSiteOf;
  std::uint64_t FNextUnnamed = 1, FNextOrder = 1;
  std::map<ProcessKey, Process> FProcesses;
  std::unordered_map<PageId, Page> FPages;
};

}  // namespace vorlane::browser
