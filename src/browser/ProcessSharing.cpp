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

// A crash of a process that holds another site's page would take a page of Site with it.
bool ProcessSharing::OnlySite(const Process& P, const std::string& Site) const {
  return std::all_of(P.Pages.begin(), P.Pages.end(), [&](PageId Id) { return FPages.at(Id).Site == Site; });
}

std::optional<PageId> ProcessSharing::PlaceNewPage(PageId Id, std::string_view Url) {
  Leave(Id);
  std::string Site = FSiteOf(Url);
  const bool Unbounded = IsProductSite(Site);
  // The fullest process with room, so that the pages of a site take as few processes as the
  // bound allows; the oldest of equals, so the choice does not depend on the map's order.
  const std::pair<const ProcessKey, Process>* Best = nullptr;
  if (!Site.empty())
    for (const auto& Entry : FProcesses) {
      const Process& P = Entry.second;
      if (P.Ended || (!Unbounded && P.Pages.size() >= FPagesPerProcess) || !OnlySite(P, Site)) continue;
      if (!Best || P.Pages.size() > Best->second.Pages.size() ||
          (P.Pages.size() == Best->second.Pages.size() && P.Order < Best->second.Order))
        Best = &Entry;
    }
  if (!Best) {
    Enter(Id, Unnamed(), std::move(Site));
    return std::nullopt;
  }
  PageId Mate = Best->second.Pages.front();
  Enter(Id, Best->first, std::move(Site));
  return Mate;
}

void ProcessSharing::JoinOpener(PageId Id, PageId Opener) {
  Leave(Id);
  auto Found = FPages.find(Opener);
  // No site until its first commit: nothing joins it before that.
  Enter(Id, Found == FPages.end() ? Unnamed() : Found->second.Process, {});
}

void ProcessSharing::PageNavigated(PageId Id, std::string_view Url) {
  auto Found = FPages.find(Id);
  if (Found == FPages.end()) return;
  Found->second.Site = FSiteOf(Url);
  Found->second.Reported = false;
}

void ProcessSharing::PageInProcess(PageId Id, ProcessNumber Number) {
  auto Found = FPages.find(Id);
  const ProcessKey Key{true, Number};
  if (Found == FPages.end()) return;
  Found->second.Reported = true;
  if (Found->second.Process == Key) return;
  auto Named = FProcesses.find(Key);
  if (Named != FProcesses.end() && Named->second.Ended) return;  // a late answer from a dead one
  std::string Site = Found->second.Site;
  Leave(Id);
  Enter(Id, Key, std::move(Site));
}

std::size_t ProcessSharing::ProcessEnded(PageId Id) {
  auto Found = FPages.find(Id);
  if (Found == FPages.end()) return 0;
  Process& P = FProcesses.at(Found->second.Process);
  // Its pages hear of it one after another; each is told how many there were.
  if (!P.Ended) {
    P.Ended = true;
    P.PagesWhenEnded = P.Pages.size();
  }
  const std::size_t Others = P.PagesWhenEnded - 1;
  std::string Site = Found->second.Site;
  Leave(Id);
  Enter(Id, Unnamed(), std::move(Site));
  return Others;
}

ProcessSharing::LeftProcess ProcessSharing::PageClosed(PageId Id) {
  if (!Leave(Id)) return LeftProcess::InUse;
  const bool AllReported = std::all_of(FPages.begin(), FPages.end(), [](const auto& P) { return P.second.Reported; });
  return AllReported ? LeftProcess::Empty : LeftProcess::MaybeEmpty;
}

std::vector<PageId> ProcessSharing::ProcessMates(PageId Id) const {
  auto Found = FPages.find(Id);
  if (Found == FPages.end()) return {};
  return FProcesses.at(Found->second.Process).Pages;
}

void ProcessSharing::Enter(PageId Id, ProcessKey Key, std::string Site) {
  auto [It, New] = FProcesses.try_emplace(Key);
  if (New) It->second.Order = FNextOrder++;
  It->second.Pages.push_back(Id);
  FPages[Id] = Page{std::move(Site), Key};
}

bool ProcessSharing::Leave(PageId Id) {
  auto Found = FPages.find(Id);
  if (Found == FPages.end()) return false;
  auto P = FProcesses.find(Found->second.Process);
  auto& Pages = P->second.Pages;
  Pages.erase(std::remove(Pages.begin(), Pages.end(), Id), Pages.end());
  const bool Emptied = Pages.empty();
  if (Emptied) FProcesses.erase(P);
  FPages.erase(Found);
  return Emptied;
}

}  // namespace vorlane::browser
