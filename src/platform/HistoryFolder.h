#pragma once
// The History folder as the old shell presented it: periods (oldest first, 今天 last),
// then the sites visited in a period (local files under 我的电脑), then the pages of a
// site, each address once, named by title or by address when there is none. A folder is
// named by its path from the History folder: item ids such as "p:<first>:<last>" for a
// period and "s:<site>" for a site.
#include "platform/HistoryStore.h"

#include <optional>
#include <string>
#include <vector>

namespace vorlane::platform {

using THistoryPath = std::vector<std::string>;

struct THistoryItem {
  std::string Id;  // relative to its folder
  std::string DisplayName;
  bool Folder = false;
  int64_t SortKey = 0;  // periods: their first day
  std::string Title;    // pages only
  std::string Url;      // pages only: the stored address
};

class THistoryFolder {
public:
  // The folder at Path; nullopt when the path names none.
  static std::optional<THistoryFolder> Bind(THistoryStore& Store, THistoryPath Path);

  const THistoryPath& Path() const { return FPath; }
  std::vector<THistoryItem> EnumObjects() const;
  // The folder's order: < 0 when A comes before B.
  int CompareIDs(const THistoryItem& A, const THistoryItem& B) const;

private:
  THistoryFolder(THistoryStore& Store, THistoryPath Path) : FStore(&Store), FPath(std::move(Path)) {}

  THistoryStore* FStore;
  THistoryPath FPath;
  int64_t FFirstDay = 0, FLastDay = 0;
  std::string FSite;
};

// The days of a period folder's item id; false for any other id.
bool PeriodDays(const std::string& Id, int64_t& FirstDay, int64_t& LastDay);
// The site of a site folder's item id; nullopt for any other id.
std::optional<std::string> SiteOfFolderId(const std::string& Id);

// A page as the folders show it (named by title, else by address).
THistoryItem PageItem(THistoryPage Page);

// The name shown for a site: the host, or 我的电脑 for local files.
std::string SiteDisplayName(const std::string& Site);

// The item helpers the history list asks: display name, folder test, info tip (title,
// line feed, address) and the tip's tail, the address.
std::string ItemDisplayName(const THistoryItem& Item);
bool IsFolderItem(const THistoryItem& Item);
std::string ItemInfoTip(const THistoryItem& Item);
// The address of a page. It is the stored one, never text cut out of a title, so a title
// that holds a line feed cannot choose where the page goes.
std::string ItemInfoTipTail(const THistoryItem& Item);

}  // namespace vorlane::platform
