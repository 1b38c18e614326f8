#pragma once
// Which pages share a web process. A page in a process of its own costs tens of MiB; a page
// that joins another page's process costs a few. But a crash of a shared process takes all of
// its pages, so only pages of one site share (a crash is most likely that site's doing), and
// at most a few of them per process. The product's own site (start, search and product pages,
// light and ours) keeps all its pages in one process.
//
// Pure bookkeeping, no engine in it: the engine asks where a new page goes and reports what
// the page did afterwards. The engine can choose a process only when it builds a page; after
// that it moves a page to a new process on its own whenever the page goes to another site,
// and brings each page of a crashed process back in a process of its own.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vorlane::browser {

using PageId = std::uint64_t;

// The site of an address: scheme and host in lower case, without user or port; empty for
// an address without a host (about:, data:, file:), whose pages never share.
std::string SchemeAndHost(std::string_view Url);

class ProcessSharing {
public:
  using SiteFunction = std::function<std::string(std::string_view Url)>;

  // Measured in the browser, ten new tabs of one site after a first: 61.8 MiB each with a
  // process per tab, 30.0 with 4 pages per process, 26.1 with 6 (a crash then loses at
  // most six tabs), 21.8 all in one.
  static constexpr std::size_t DefaultPagesPerProcess = 6;

  // ProductSites are sites as SiteOf gives them.
  ProcessSharing(std::size_t PagesPerProcess, std::vector<std::string> ProductSites,
                 SiteFunction SiteOf = SchemeAndHost);

  // A new page is about to load Url: the page whose process it should share, or nullopt for
  // a process of its own. The page counts from now on, until PageClosed.
  std::optional<PageId> PlaceNewPage(PageId Page, std::string_view Url);
  // A page the engine put into Opener's process itself (a window that a page opened).
  void JoinOpener(PageId Page, PageId Opener);
  // The page committed a load of Url. On another site the engine has moved it to a new
  // process, which pages of that site may share from then on.
  void PageNavigated(PageId Page, std::string_view Url);
  // The page's process ended; the page comes back in a process of its own.
  void ProcessEnded(PageId Page);
  void PageClosed(PageId Page);

  // The pages in Page's process, Page included; empty for a page not counted.
  std::vector<PageId> ProcessMates(PageId Page) const;

private:
  using ProcessId = std::uint64_t;
  struct Process {
    std::string Site;
    std::vector<PageId> Pages;
  };

  bool IsProductSite(const std::string& Site) const;
  void StartProcess(PageId Page, std::string Site);
  void Leave(PageId Page);

  std::size_t FPagesPerProcess;
  std::vector<std::string> FProductSites;
  SiteFunction FSiteOf;
  ProcessId FNextProcess = 1;
  std::unordered_map<ProcessId, Process> FProcesses;
  std::unordered_map<PageId, ProcessId> FProcessOf;
};

}  // namespace vorlane::browser
