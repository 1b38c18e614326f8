#include "browser/ProcessSharing.h"

#include <algorithm>
#include <cctype>

namespace vorlane::browser {

namespace {

std::string Lower(std::string_view Text) {
  std::string Out(Text);
  for (char& C : Out) C = static_cast<char>(std::tolower(static_cast<unsigned char>(C)));
  return Out;
}

}  // namespace

std::string SchemeAndHost(std::string_view Url) {
  std::size_t Colon = Url.find(':');
  if (Colon == 0 || Colon == std::string_view::npos || Url.substr(Colon + 1, 2) != "//") return {};
  std::string_view Scheme = Url.substr(0, Colon);
  if (!std::all_of(Scheme.begin(), Scheme.end(), [](char C) {
        return std::isalnum(static_cast<unsigned char>(C)) || C == '+' || C == '-' || C == '.';
      }))
    return {};
  std::string_view Authority = Url.substr(Colon + 3);
  Authority = Authority.substr(0, Authority.find_first_of("/?#\\"));
  if (std::size_t At = Authority.rfind('@'); At != std::string_view::npos) Authority.remove_prefix(At + 1);
  std::string_view Host = Authority;
  if (Host.starts_with('[')) {
    Host = Host.substr(0, Host.find(']') + 1);  // an IPv6 address keeps its colons
  } else {
    Host = Host.substr(0, Host.find(':'));
  }
  if (Host.empty()) return {};
  return Lower(Scheme) + "://" + Lower(Host);
}

ProcessSharing::ProcessSharing(std::size_t PagesPerProcess, std::vector<std::string> ProductSites,
                               SiteFunction SiteOf)
    : FPagesPerProcess(std::max<std::size_t>(1, PagesPerProcess)),
      FProductSites(std::move(ProductSites)),
      FSiteOf(std::move(SiteOf)) {}

bool ProcessSharing::IsProductSite(const std::string& Site) const {
  return std::find(FProductSites.begin(), FProductSites.end(), Site) != FProductSites.end();
}

std::optional<PageId> ProcessSharing::PlaceNewPage(PageId Page, std::string_view Url) {
  Leave(Page);
  std::string Site = FSiteOf(Url);
  if (Site.empty()) {
    StartProcess(Page, std::move(Site));
    return std::nullopt;
  }
  bool Unbounded = IsProductSite(Site);
  // The fullest process with room, so that the pages of a site take as few processes as the
  // bound allows; the oldest of equals, so the choice does not depend on the map's order.
  const std::pair<const ProcessId, Process>* Best = nullptr;
  for (const auto& Entry : FProcesses) {
    const Process& P = Entry.second;
    if (P.Site != Site || (!Unbounded && P.Pages.size() >= FPagesPerProcess)) continue;
    if (!Best || P.Pages.size() > Best->second.Pages.size() ||
        (P.Pages.size() == Best->second.Pages.size() && Entry.first < Best->first))
      Best = &Entry;
  }
  if (!Best) {
    StartProcess(Page, std::move(Site));
    return std::nullopt;
  }
  PageId Mate = Best->second.Pages.front();
  FProcesses[Best->first].Pages.push_back(Page);
  FProcessOf[Page] = Best->first;
  return Mate;
}

void ProcessSharing::JoinOpener(PageId Page, PageId Opener) {
  Leave(Page);
  auto Found = FProcessOf.find(Opener);
  if (Found == FProcessOf.end()) return StartProcess(Page, {});
  FProcesses[Found->second].Pages.push_back(Page);
  FProcessOf[Page] = Found->second;
}

void ProcessSharing::PageNavigated(PageId Page, std::string_view Url) {
  auto Found = FProcessOf.find(Page);
  if (Found == FProcessOf.end()) return;
  std::string Site = FSiteOf(Url);
  Process& Current = FProcesses[Found->second];
  if (Current.Site == Site) return;
  if (Current.Pages.size() == 1) {
    Current.Site = std::move(Site);  // its new process holds it alone, as the old one did
    return;
  }
  Leave(Page);
  StartProcess(Page, std::move(Site));
}

void ProcessSharing::ProcessEnded(PageId Page) {
  auto Found = FProcessOf.find(Page);
  if (Found == FProcessOf.end()) return;
  std::string Site = FProcesses[Found->second].Site;
  Leave(Page);
  StartProcess(Page, std::move(Site));
}

void ProcessSharing::PageClosed(PageId Page) { Leave(Page); }

std::vector<PageId> ProcessSharing::ProcessMates(PageId Page) const {
  auto Found = FProcessOf.find(Page);
  if (Found == FProcessOf.end()) return {};
  return FProcesses.at(Found->second).Pages;
}

void ProcessSharing::StartProcess(PageId Page, std::string Site) {
  ProcessId Id = FNextProcess++;
  FProcesses[Id] = Process{std::move(Site), {Page}};
  FProcessOf[Page] = Id;
}

void ProcessSharing::Leave(PageId Page) {
  auto Found = FProcessOf.find(Page);
  if (Found == FProcessOf.end()) return;
  auto Process = FProcesses.find(Found->second);
  auto& Pages = Process->second.Pages;
  Pages.erase(std::remove(Pages.begin(), Pages.end(), Page), Pages.end());
  if (Pages.empty()) FProcesses.erase(Process);
  FProcessOf.erase(Found);
}

}  // namespace vorlane::browser
