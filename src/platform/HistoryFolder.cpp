#include "platform/HistoryFolder.h"

#include "platform/HistoryPeriods.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace vorlane::platform {
namespace {

constexpr const char* PeriodTag = "p:";
constexpr const char* SiteTag = "s:";

std::string PeriodId(const THistoryPeriod& P) {
  return PeriodTag + std::to_string(P.FirstDay) + ":" + std::to_string(P.LastDay);
}

bool ParsePeriodId(const std::string& Id, int64_t& First, int64_t& Last) {
  if (!Id.starts_with(PeriodTag)) return false;
  const char* Begin = Id.data() + 2;
  const char* End = Id.data() + Id.size();
  auto [Mid, Ec] = std::from_chars(Begin, End, First);
  if (Ec != std::errc() || Mid == End || *Mid != ':') return false;
  auto [Rest, Ec2] = std::from_chars(Mid + 1, End, Last);
  return Ec2 == std::errc() && Rest == End && First <= Last;
}

// Names compare without regard to ASCII case, then byte-wise.
int CompareNames(const std::string& A, const std::string& B) {
  size_t N = std::min(A.size(), B.size());
  for (size_t I = 0; I < N; ++I) {
    int Ca = std::tolower(static_cast<unsigned char>(A[I]));
    int Cb = std::tolower(static_cast<unsigned char>(B[I]));
    if (Ca != Cb) return Ca < Cb ? -1 : 1;
  }
  if (A.size() != B.size()) return A.size() < B.size() ? -1 : 1;
  return A.compare(B) < 0 ? -1 : (A == B ? 0 : 1);
}

}  // namespace

bool PeriodDays(const std::string& Id, int64_t& FirstDay, int64_t& LastDay) {
  return ParsePeriodId(Id, FirstDay, LastDay);
}

std::optional<std::string> SiteOfFolderId(const std::string& Id) {
  if (!Id.starts_with(SiteTag)) return std::nullopt;
  return Id.substr(2);
}

THistoryItem PageItem(THistoryPage Page) {
  std::string Name = Page.Title.empty() ? Page.Url : Page.Title;
  return {Page.Url, std::move(Name), false, Page.Time, std::move(Page.Title), std::move(Page.Url)};
}

std::string SiteDisplayName(const std::string& Site) { return Site.empty() ? "我的电脑" : Site; }

std::optional<THistoryFolder> THistoryFolder::Bind(THistoryStore& Store, THistoryPath Path) {
  THistoryFolder Folder(Store, std::move(Path));
  const THistoryPath& P = Folder.FPath;
  if (P.size() > 2) return std::nullopt;
  if (P.size() >= 1 && !ParsePeriodId(P[0], Folder.FFirstDay, Folder.FLastDay)) return std::nullopt;
  if (P.size() == 2) {
    if (!P[1].starts_with(SiteTag)) return std::nullopt;
    Folder.FSite = P[1].substr(2);
  }
  return Folder;
}

std::vector<THistoryItem> THistoryFolder::EnumObjects() const {
  std::vector<THistoryItem> Items;
  if (FPath.empty()) {
    auto Oldest = FStore->OldestDay();
    if (!Oldest) return Items;
    for (const THistoryPeriod& P : HistoryPeriods(FStore->Today(), *Oldest))
      if (FStore->AnyVisitBetween(P.FirstDay, P.LastDay))
        Items.push_back({PeriodId(P), P.Name, true, P.FirstDay, {}, {}});
  } else if (FPath.size() == 1) {
    for (std::string& Site : FStore->SitesBetween(FFirstDay, FLastDay))
      Items.push_back({SiteTag + Site, SiteDisplayName(Site), true, 0, {}, {}});
  } else {
    for (THistoryPage& Page : FStore->PagesOf(FSite, FFirstDay, FLastDay)) Items.push_back(PageItem(std::move(Page)));
  }
  return Items;
}

int THistoryFolder::CompareIDs(const THistoryItem& A, const THistoryItem& B) const {
  if (FPath.empty() && A.SortKey != B.SortKey) return A.SortKey < B.SortKey ? -1 : 1;
  return CompareNames(A.DisplayName, B.DisplayName);
}

std::string ItemDisplayName(const THistoryItem& Item) { return Item.DisplayName; }
bool IsFolderItem(const THistoryItem& Item) { return Item.Folder; }

std::string ItemInfoTip(const THistoryItem& Item) {
  if (Item.Folder) return Item.DisplayName;
  return (Item.Title.empty() ? Item.Url : Item.Title) + "\n" + Item.Url;
}

std::string ItemInfoTipTail(const THistoryItem& Item) { return Item.Folder ? std::string() : Item.Url; }

}  // namespace vorlane::platform
