#pragma once
// The browsing history: one row per visit in SQLite ($XDG_DATA_HOME/vorlane/history.sqlite),
// WAL mode. A visit knows its local day and its site, and a small table of (day, site)
// pairs keeps the period and site levels of the History folder aggregate look-ups that
// never walk the visits. The store never stops the browser: when the file cannot be
// opened it is empty and drops writes; a damaged file is set aside (THistoryDatabase).
#include "platform/HistoryDatabase.h"
#include "platform/HistorySink.h"

#include <sigc++/signal.h>

#include <chrono>
#include <climits>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
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
  static constexpr int BusyTimeoutMs = THistoryDatabase::BusyTimeoutMs;
  static constexpr size_t MaxTitleLength = 4096;  // characters
  // Longer addresses are not kept: a page that navigates itself with a huge query would
  // otherwise grow the file by megabytes a visit.
  static constexpr size_t MaxUrlLength = 8192;  // bytes

  // Opens or creates the database and removes visits older than the retention.
  explicit THistoryStore(std::filesystem::path File = DefaultPath(),
                         Clock Now = [] { return std::chrono::system_clock::now(); },
                         TSaveTrouble* Trouble = nullptr);
  // The same on a database file shared with others (the downloads list).
  explicit THistoryStore(std::shared_ptr<THistoryDatabase> Database);
  ~THistoryStore() override;

  static std::filesystem::path DefaultPath();
  bool IsAvailable() const { return FBase->IsAvailable(); }
  const std::shared_ptr<THistoryDatabase>& Database() const { return FBase; }
  // The first damaged file set aside in this run, if one was.
  const std::optional<std::filesystem::path>& SetAside() const { return FBase->SetAside(); }
  std::chrono::system_clock::time_point Now() const { return FBase->Now(); }
  // Raised after the visits changed (added, titled, removed, a fresh file).
  sigc::signal<void()>& SignalChanged() { return FChanged; }

  // Only addresses worth going back to are kept: http, https, file and the product site,
  // up to MaxUrlLength.
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
  // The pages whose title or address contains Text (ASCII letters in any case), latest
  // visit first, each address once. Text of three characters or more is looked up in an
  // index of the titles' and addresses' character triples.
  std::vector<THistoryPage> SearchPages(const std::string& Text, size_t Limit);

  // Removes every visit of the address.
  void RemovePage(const std::string& Url);
  // Removes the site's visits between the days (inclusive), or all of them.
  void RemoveSite(const std::string& Site, int64_t FirstDay = INT64_MIN, int64_t LastDay = INT64_MAX);

  // Removes visits older than the retention, and those stamped more than a day ahead (a
  // clock that was set wrong); done once when the store opens.
  void RemoveExpired();

private:
  void Open();
  int64_t InsertVisit(const std::string& Url, const std::string& Title);
  // Visits stamped later than Now (the clock went back) are moved to Now, so a new visit
  // heads the list again.
  bool ClampFuture(int64_t Now, int64_t Today);
  // The end of a write: a damaged file found by it is replaced; views hear of the change.
  void Wrote();
  bool IsStale(int64_t Visit) const { return Visit < FIdFloor; }
  SqliteDb& Db() { return FBase->Db(); }

  std::shared_ptr<THistoryDatabase> FBase;
  sigc::signal<void()> FChanged;
  sigc::connection FFresh;
  // Ids handed out from a file since set aside are below this: they name nothing now.
  int64_t FIdFloor = 0, FHighestId = 0;
};

}  // namespace vorlane::platform
