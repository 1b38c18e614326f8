#pragma once
// What the history list shows and does, without the widget: one folder at or below the
// History folder, its entries in the folder's order, descent, ascent and type-ahead.
#include "platform/HistoryFolder.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorlane::navigation {

struct THistoryEntry {
  platform::THistoryItem Item;
  bool IconPending = true;
  std::string IconName;  // looked up when the row is first shown
};

// The icon of an entry: one place to choose it, so a shared icon table can take over.
std::string HistoryIconName(const platform::THistoryItem& Item);

class THistoryBrowser {
public:
  explicit THistoryBrowser(platform::THistoryStore& Store) : FStore(Store) {}

  // Shows the folder at Path (the History folder when empty). false when the path names
  // no folder; the list then stays as it was.
  bool BrowseFolder(const platform::THistoryPath& Path);
  // Shows the current folder again (new visits, a new day); the History folder when the
  // current one names nothing any more.
  bool Refresh();
  // Forgets the shown entries (the list is empty until a folder is browsed).
  void ClearEntries() { FEntries.clear(); }
  // The entry at Index; Index must be below Entries().size().
  const THistoryEntry& EntryAt(size_t Index) const { return FEntries.at(Index); }

  enum class TOpenResult { Nothing, EnteredFolder, Page };
  // A folder entry is entered (Depth + 1); a page entry gives its stored address.
  TOpenResult Open(size_t Index, std::string& Url);
  // Shows the parent folder; false (nothing changes) at the History folder or while
  // searching.
  bool GoUp();

  // Shows the pages whose title or address contains Text, latest first, in place of the
  // folder; an empty Text shows the folder again.
  void Search(const std::string& Text);
  bool Searching() const { return !FSearch.empty(); }
  static constexpr size_t MaxFound = 500;

  // Whether Remove can take the entry at Index (a page or a site).
  bool CanRemove(size_t Index) const;
  // Removes the page's visits (a page entry) or the site's visits in the shown period (a
  // site entry); WholeSite: every visit of the entry's site. The entries are read again.
  void Remove(size_t Index, bool WholeSite);

  // The first entry from Start on whose name begins with Text (ASCII letters compared in
  // upper case), continuing at the top when Wrap is set; nullopt when none does.
  std::optional<size_t> FindPrefix(std::string_view Text, size_t Start, bool Wrap) const;

  // The icon of an entry, looked up once.
  const std::string& IconOf(size_t Index);

  const std::vector<THistoryEntry>& Entries() const { return FEntries; }
  int Depth() const { return FDepth; }
  const platform::THistoryPath& CurrentPath() const { return FPath; }

private:
  platform::THistoryStore& FStore;
  platform::THistoryPath FPath;
  std::string FSearch;
  int FDepth = 0;
  std::vector<THistoryEntry> FEntries;
};

}  // namespace vorlane::navigation
