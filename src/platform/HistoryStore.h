#pragma once
// The browsing history: one row per visit in SQLite ($XDG_DATA_HOME/vorlane/history.sqlite),
// WAL mode. A visit knows its local day and its site, and a small table of (day, site)
// pairs keeps the period and site levels of the History folder aggregate look-ups that
// never walk the visits. The store never stops the browser: when the file cannot be
// opened it is empty and drops writes; a file that is not a database is renamed aside.
#include "platform/HistorySink.h"
#include "platform/SqliteDb.h"

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vorlane::platform {

struct THistoryPage {
  std::string Url;
  std::string Title;  // may be empty
  int64_t Time = 0;   // seconds since the epoch of the latest visit
};

class THistoryStore final : public IHistorySink {
public:
  using Clock = std::function<std::chrono::system_clock::time_point()>;

  static constexpr int RetentionDays = 20;
  static constexpr int BusyTimeoutMs = 200;
  static constexpr size_t MaxTitleLength = 4096;  // characters

  // Opens or creates the database and removes visits older than the retention.
  explicit THistoryStore(std::filesystem::path File = DefaultPath(),
                         Clock Now = [] { return std::chrono::system_clock::now(); });
  ~THistoryStore() override;

  static std::filesystem::path DefaultPath();
  bool IsAvailable() const { return FDb.IsOpen(); }
  // Where a damaged file was moved at opening, if it was.
  const std::optional<std::filesystem::path>& SetAside() const { return FSetAside; }

  // Only addresses worth going back to are kept: http, https, file and the product site.
  static bool IsRecordable(const std::string& Url);
  // The site a visit is filed under: the host name; empty for local files.
  static std::string SiteOf(const std::string& Url);
  // Title text as kept: valid UTF-8, no control characters, at most MaxTitleLength.
  static std::string CleanTitle(const std::string& Title);

  // IHistorySink
  int64_t AddVisit(const std::string& Url, const std::string& Title) override;
  void SetVisitTitle(int64_t Visit, const std::string& Title) override;
  void RemoveVisit(int64_t Visit) override;

  int64_t Today() const;
  // The oldest day with a visit; nullopt when there is none.
  std::optional<int64_t> OldestDay();
  bool AnyVisitBetween(int64_t FirstDay, int64_t LastDay);
  // Sites with a visit between the days, each once.
  std::vector<std::string> SitesBetween(int64_t FirstDay, int64_t LastDay);
  // The pages of one site between the days, each address once, with its latest title.
  std::vector<THistoryPage> PagesOf(const std::string& Site, int64_t FirstDay, int64_t LastDay);
  // The latest visits, each address once, newest first.
  std::vector<THistoryPage> RecentPages(size_t Limit);
  // Addresses that begin with Prefix, or whose host does, newest first, each once.
  std::vector<std::string> SuggestAddresses(const std::string& Prefix, size_t Limit);

  // Removes visits older than the retention (done once when the store opens).
  void RemoveExpired();

private:
  bool OpenFile(const std::filesystem::path& File);
  bool CreateSchema();
  void SetFileAside(const std::filesystem::path& File);

  std::filesystem::path FFile;
  Clock FNow;
  SqliteDb FDb;
  std::optional<std::filesystem::path> FSetAside;
};

}  // namespace vorlane::platform
