#include "navigation/HistoryBrowser.h"

#include <algorithm>

namespace vorlane::navigation {
namespace {

char AsciiUpper(char C) { return C >= 'a' && C <= 'z' ? static_cast<char>(C - 'a' + 'A') : C; }

bool StartsWithUpper(std::string_view Name, std::string_view Text) {
  if (Name.size() < Text.size()) return false;
  for (size_t I = 0; I < Text.size(); ++I)
    if (AsciiUpper(Name[I]) != AsciiUpper(Text[I])) return false;
  return true;
}

}  // namespace

std::string HistoryIconName(const platform::THistoryItem& Item) {
  return platform::IsFolderItem(Item) ? "folder" : "text-html";
}

bool THistoryBrowser::BrowseFolder(const platform::THistoryPath& Path) {
  auto Folder = platform::THistoryFolder::Bind(FStore, Path);
  if (!Folder) return false;
  std::vector<platform::THistoryItem> Items = Folder->EnumObjects();
  std::stable_sort(Items.begin(), Items.end(),
                   [&](const auto& A, const auto& B) { return Folder->CompareIDs(A, B) < 0; });
  ClearEntries();
  FEntries.reserve(Items.size());
  for (auto& Item : Items) FEntries.push_back({std::move(Item), true, {}});
  FPath = Path;
  return true;
}

bool THistoryBrowser::Refresh() {
  if (Searching()) {
    Search(FSearch);
    return true;
  }
  if (BrowseFolder(FPath)) return true;
  FDepth = 0;
  return BrowseFolder({});
}

THistoryBrowser::TOpenResult THistoryBrowser::Open(size_t Index, std::string& Url) {
  if (Index >= FEntries.size()) return TOpenResult::Nothing;
  const platform::THistoryItem& Item = FEntries[Index].Item;
  if (platform::IsFolderItem(Item)) {
    platform::THistoryPath Child = FPath;
    Child.push_back(Item.Id);
    if (!BrowseFolder(Child)) return TOpenResult::Nothing;
    ++FDepth;
    return TOpenResult::EnteredFolder;
  }
  Url = platform::ItemInfoTipTail(Item);
  return TOpenResult::Page;
}

void THistoryBrowser::Search(const std::string& Text) {
  FSearch = Text;
  if (Text.empty()) {
    Refresh();
    return;
  }
  ClearEntries();
  for (auto& Page : FStore.SearchPages(Text, MaxFound)) FEntries.push_back({platform::PageItem(std::move(Page)), true, {}});
}

bool THistoryBrowser::CanRemove(size_t Index) const {
  if (Index >= FEntries.size()) return false;
  const auto& Item = FEntries[Index].Item;
  return !platform::IsFolderItem(Item) || platform::SiteOfFolderId(Item.Id).has_value();
}

void THistoryBrowser::Remove(size_t Index, bool WholeSite) {
  if (!CanRemove(Index)) return;
  const platform::THistoryItem Item = FEntries[Index].Item;
  if (!platform::IsFolderItem(Item)) {
    if (WholeSite)
      FStore.RemoveSite(platform::THistoryStore::SiteOf(Item.Url));
    else
      FStore.RemovePage(Item.Url);
  } else {
    std::string Site = *platform::SiteOfFolderId(Item.Id);
    int64_t First = INT64_MIN, Last = INT64_MAX;
    if (!WholeSite && !FPath.empty()) platform::PeriodDays(FPath[0], First, Last);
    FStore.RemoveSite(Site, First, Last);
  }
  Refresh();
}

bool THistoryBrowser::GoUp() {
  if (Searching() || FPath.empty() || FDepth <= 0) return false;
  platform::THistoryPath Parent(FPath.begin(), FPath.end() - 1);
  // Depth follows the folder actually shown.
  if (!BrowseFolder(Parent)) return false;
  --FDepth;
  return true;
}

std::optional<size_t> THistoryBrowser::FindPrefix(std::string_view Text, size_t Start, bool Wrap) const {
  const size_t Count = FEntries.size();
  if (Count == 0) return std::nullopt;
  if (Start >= Count) {
    if (!Wrap) return std::nullopt;
    Start = 0;
  }
  for (size_t Step = 0; Step < Count; ++Step) {
    size_t I = Start + Step;
    if (I >= Count) {
      if (!Wrap) break;
      I -= Count;
    }
    if (StartsWithUpper(FEntries[I].Item.DisplayName, Text)) return I;
  }
  return std::nullopt;
}

const std::string& THistoryBrowser::IconOf(size_t Index) {
  THistoryEntry& E = FEntries.at(Index);
  if (E.IconPending) {
    E.IconName = HistoryIconName(E.Item);
    E.IconPending = false;
  }
  return E.IconName;
}

}  // namespace vorlane::navigation
