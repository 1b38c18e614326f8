#include "platform/HistoryStore.h"

#include "platform/HistoryPeriods.h"
#include "platform/ShellFolders.h"

#include <glib.h>
#include <sqlite3.h>

#include <algorithm>
#include <ctime>
#include <map>
#include <set>
#include <system_error>

namespace vorlane::platform {
namespace {

constexpr const char* Schema = R"sql(
PRAGMA journal_mode=WAL;
PRAGMA synchronous=NORMAL;
CREATE TABLE IF NOT EXISTS visits(
  id INTEGER PRIMARY KEY,
  url TEXT NOT NULL,
  site TEXT NOT NULL,
  title TEXT NOT NULL DEFAULT '',
  time INTEGER NOT NULL,
  day INTEGER NOT NULL);
CREATE INDEX IF NOT EXISTS visits_time ON visits(time);
CREATE INDEX IF NOT EXISTS visits_site_day ON visits(site, day);
CREATE INDEX IF NOT EXISTS visits_url ON visits(url);
CREATE TABLE IF NOT EXISTS day_sites(
  day INTEGER NOT NULL,
  site TEXT NOT NULL,
  PRIMARY KEY(day, site)) WITHOUT ROWID;
)sql";

bool IsDamaged(int Code) {
  Code &= 0xff;
  return Code == SQLITE_NOTADB || Code == SQLITE_CORRUPT;
}

std::string Lower(std::string Text) {
  std::transform(Text.begin(), Text.end(), Text.begin(),
                 [](unsigned char C) { return static_cast<char>(std::tolower(C)); });
  return Text;
}

std::string SchemeOf(const std::string& Url) {
  size_t Colon = Url.find(':');
  if (Colon == std::string::npos || Colon == 0) return {};
  for (size_t I = 0; I < Colon; ++I) {
    char C = Url[I];
    if (!g_ascii_isalnum(C) && C != '+' && C != '-' && C != '.') return {};
  }
  return Lower(Url.substr(0, Colon));
}

// The first text after every text that begins with Prefix (byte order); empty when there
// is none (Prefix is all 0xff bytes).
std::string PrefixEnd(std::string Prefix) {
  while (!Prefix.empty() && static_cast<unsigned char>(Prefix.back()) == 0xff) Prefix.pop_back();
  if (!Prefix.empty()) Prefix.back() = static_cast<char>(static_cast<unsigned char>(Prefix.back()) + 1);
  return Prefix;
}

// Rows past which a prefix counts as common: its matches are then found faster by
// walking the visits newest first than by collecting them all from the indexes.
constexpr int64_t CommonPrefixRows = 1000;

int64_t Seconds(std::chrono::system_clock::time_point Time) {
  return std::chrono::duration_cast<std::chrono::seconds>(Time.time_since_epoch()).count();
}

// Pages in time order, newest first, each address once: the first row of an address is
// its latest visit; an empty title there is filled from an earlier visit.
void CollectPages(SqliteStatement& Rows, std::vector<THistoryPage>& Pages, size_t Limit) {
  std::map<std::string, size_t> Seen;
  while (Rows.Step()) {
    std::string Url = Rows.Text(0);
    auto [It, Fresh] = Seen.emplace(Url, Pages.size());
    if (Fresh) {
      if (Pages.size() == Limit) break;
      Pages.push_back({std::move(Url), Rows.Text(1), Rows.Int(2)});
    } else if (Pages[It->second].Title.empty()) {
      Pages[It->second].Title = Rows.Text(1);
    }
  }
}

}  // namespace

THistoryStore::THistoryStore(std::filesystem::path File, Clock Now)
    : FFile(std::move(File)), FNow(std::move(Now)) {
  std::error_code Ec;
  std::filesystem::create_directories(FFile.parent_path(), Ec);
  if (!OpenFile(FFile) && FSetAside) OpenFile(FFile);
  if (IsAvailable()) RemoveExpired();
}

THistoryStore::~THistoryStore() = default;

std::filesystem::path THistoryStore::DefaultPath() {
  return ShellFolders::DataHome() / "vorlane" / "history.sqlite";
}

bool THistoryStore::OpenFile(const std::filesystem::path& File) {
  int Code = FDb.Open(File);
  if (Code == SQLITE_OK) {
    sqlite3_busy_timeout(FDb.Handle(), BusyTimeoutMs);
    Code = FDb.Exec(Schema);
  }
  if (Code == SQLITE_OK) return true;
  FDb.Close();
  // Only a file that is not a database is moved; a locked or unreachable one is left to
  // its owner, and this run keeps no history.
  if (IsDamaged(Code) && !FSetAside) SetFileAside(File);
  return false;
}

void THistoryStore::SetFileAside(const std::filesystem::path& File) {
  std::time_t T = std::chrono::system_clock::to_time_t(FNow());
  std::tm Local{};
  localtime_r(&T, &Local);
  char Stamp[32];
  std::strftime(Stamp, sizeof Stamp, "%Y%m%d-%H%M%S", &Local);
  std::error_code Ec;
  std::filesystem::path Target;
  for (int N = 0; N < 100; ++N) {
    Target = File;
    Target += std::string(".corrupt-") + Stamp + (N ? "-" + std::to_string(N) : "");
    if (!std::filesystem::exists(Target, Ec)) break;
  }
  std::filesystem::rename(File, Target, Ec);
  if (Ec) return;
  FSetAside = Target;
  // The journal files belong to the damaged file; they go with it.
  for (const char* Suffix : {"-wal", "-shm"}) {
    std::filesystem::path From = File, To = Target;
    From += Suffix;
    To += Suffix;
    if (std::filesystem::exists(From, Ec)) std::filesystem::rename(From, To, Ec);
  }
}

bool THistoryStore::IsRecordable(const std::string& Url) {
  std::string Scheme = SchemeOf(Url);
  // "vorlane" is the product site's scheme.
  return Scheme == "http" || Scheme == "https" || Scheme == "file" || Scheme == "vorlane";
}

std::string THistoryStore::SiteOf(const std::string& Url) {
  std::string Scheme = SchemeOf(Url);
  if (Scheme == "file") return {};
  GUri* Parsed = g_uri_parse(Url.c_str(), G_URI_FLAGS_ENCODED, nullptr);
  std::string Host;
  if (Parsed) {
    if (const char* H = g_uri_get_host(Parsed)) Host = Lower(H);
    g_uri_unref(Parsed);
  }
  return Host.empty() ? Scheme + ":" : Host;
}

std::string THistoryStore::CleanTitle(const std::string& Title) {
  gchar* Valid = g_utf8_make_valid(Title.c_str(), static_cast<gssize>(Title.size()));
  std::string Out;
  size_t Count = 0;
  for (const gchar* P = Valid; *P && Count < MaxTitleLength; P = g_utf8_next_char(P)) {
    gunichar C = g_utf8_get_char(P);
    if (g_unichar_iscntrl(C)) {
      // Line breaks and tabs separate words; other control characters are dropped.
      if (C == '\n' || C == '\r' || C == '\t') {
        Out += ' ';
        ++Count;
      }
      continue;
    }
    Out.append(P, static_cast<size_t>(g_utf8_next_char(P) - P));
    ++Count;
  }
  g_free(Valid);
  return Out;
}

int64_t THistoryStore::AddVisit(const std::string& Url, const std::string& Title) {
  if (!IsAvailable() || !IsRecordable(Url)) return 0;
  auto Now = FNow();
  int64_t Day = LocalDayOf(Now);
  std::string Site = SiteOf(Url);
  if (FDb.Exec("BEGIN IMMEDIATE") != SQLITE_OK) return 0;  // busy beyond the timeout: dropped
  auto Insert = FDb.Prepare("INSERT INTO visits(url, site, title, time, day) VALUES(?1, ?2, ?3, ?4, ?5)");
  bool Ok = Insert.Bind(1, Url).Bind(2, Site).Bind(3, CleanTitle(Title)).Bind(4, Seconds(Now)).Bind(5, Day).Run();
  int64_t Id = Ok ? FDb.LastInsertId() : 0;
  auto Pair = FDb.Prepare("INSERT OR IGNORE INTO day_sites(day, site) VALUES(?1, ?2)");
  Ok = Ok && Pair.Bind(1, Day).Bind(2, Site).Run();
  if (!Ok || FDb.Exec("COMMIT") != SQLITE_OK) {
    FDb.Exec("ROLLBACK");
    return 0;
  }
  return Id;
}

void THistoryStore::SetVisitTitle(int64_t Visit, const std::string& Title) {
  if (!IsAvailable() || Visit <= 0) return;
  FDb.Prepare("UPDATE visits SET title = ?1 WHERE id = ?2").Bind(1, CleanTitle(Title)).Bind(2, Visit).Run();
}

void THistoryStore::RemoveVisit(int64_t Visit) {
  if (!IsAvailable() || Visit <= 0) return;
  auto Find = FDb.Prepare("SELECT site, day FROM visits WHERE id = ?1");
  if (!Find.Bind(1, Visit).Step()) return;
  std::string Site = Find.Text(0);
  int64_t Day = Find.Int(1);
  Find.Reset();
  FDb.Prepare("DELETE FROM visits WHERE id = ?1").Bind(1, Visit).Run();
  FDb.Prepare("DELETE FROM day_sites WHERE day = ?1 AND site = ?2 AND NOT EXISTS "
              "(SELECT 1 FROM visits WHERE site = ?2 AND day = ?1)")
      .Bind(1, Day).Bind(2, Site).Run();
}

void THistoryStore::RemoveExpired() {
  auto Now = FNow();
  int64_t Cutoff = Seconds(Now) - int64_t{RetentionDays} * 86400;
  if (FDb.Exec("BEGIN IMMEDIATE") != SQLITE_OK) return;
  FDb.Prepare("DELETE FROM visits WHERE time < ?1").Bind(1, Cutoff).Run();
  // Only days up to the cut-off can have lost their last visit.
  int64_t CutoffDay = LocalDayOf(std::chrono::system_clock::time_point(std::chrono::seconds(Cutoff)));
  FDb.Prepare("DELETE FROM day_sites WHERE day <= ?1 AND NOT EXISTS "
              "(SELECT 1 FROM visits v WHERE v.site = day_sites.site AND v.day = day_sites.day)")
      .Bind(1, CutoffDay).Run();
  if (FDb.Exec("COMMIT") != SQLITE_OK) FDb.Exec("ROLLBACK");
}

int64_t THistoryStore::Today() const { return LocalDayOf(FNow()); }

std::optional<int64_t> THistoryStore::OldestDay() {
  auto Q = FDb.Prepare("SELECT min(day) FROM day_sites");
  if (!Q.Step() || Q.Text(0).empty()) return std::nullopt;
  return Q.Int(0);
}

bool THistoryStore::AnyVisitBetween(int64_t FirstDay, int64_t LastDay) {
  auto Q = FDb.Prepare("SELECT 1 FROM day_sites WHERE day BETWEEN ?1 AND ?2 LIMIT 1");
  return Q.Bind(1, FirstDay).Bind(2, LastDay).Step();
}

std::vector<std::string> THistoryStore::SitesBetween(int64_t FirstDay, int64_t LastDay) {
  std::vector<std::string> Sites;
  auto Q = FDb.Prepare("SELECT DISTINCT site FROM day_sites WHERE day BETWEEN ?1 AND ?2");
  Q.Bind(1, FirstDay).Bind(2, LastDay);
  while (Q.Step()) Sites.push_back(Q.Text(0));
  return Sites;
}

std::vector<THistoryPage> THistoryStore::PagesOf(const std::string& Site, int64_t FirstDay, int64_t LastDay) {
  std::vector<THistoryPage> Pages;
  auto Q = FDb.Prepare("SELECT url, title, time FROM visits WHERE site = ?1 AND day BETWEEN ?2 AND ?3 "
                       "ORDER BY time DESC, id DESC");
  Q.Bind(1, Site).Bind(2, FirstDay).Bind(3, LastDay);
  CollectPages(Q, Pages, SIZE_MAX);
  return Pages;
}

std::vector<THistoryPage> THistoryStore::RecentPages(size_t Limit) {
  std::vector<THistoryPage> Pages;
  auto Q = FDb.Prepare("SELECT url, title, time FROM visits ORDER BY time DESC, id DESC");
  CollectPages(Q, Pages, Limit);
  return Pages;
}

std::vector<std::string> THistoryStore::SuggestAddresses(const std::string& Prefix, size_t Limit) {
  std::vector<std::string> Found;
  if (Prefix.empty() || Limit == 0 || !IsAvailable()) return Found;
  // Addresses compare as typed; sites are kept in lower case.
  const std::string Site = Lower(Prefix);
  std::string UrlEnd = PrefixEnd(Prefix), SiteEnd = PrefixEnd(Site);
  if (UrlEnd.empty() || SiteEnd.empty()) return Found;
  const char* Matches = "(url >= ?1 AND url < ?2) OR (site >= ?3 AND site < ?4)";
  auto Bind = [&](SqliteStatement& Q) { Q.Bind(1, Prefix).Bind(2, UrlEnd).Bind(3, Site).Bind(4, SiteEnd); };

  // A rare prefix: all its matches from the address and site indexes, newest first.
  auto Few = FDb.Prepare("SELECT url, max(time) AS latest, max(id) AS newest FROM (SELECT url, time, id FROM visits "
                         "WHERE url >= ?1 AND url < ?2 UNION ALL SELECT url, time, id FROM visits WHERE site >= ?3 "
                         "AND site < ?4) GROUP BY url ORDER BY latest DESC, newest DESC");
  Bind(Few);
  auto Count = FDb.Prepare("SELECT count(*) FROM (SELECT 1 FROM visits WHERE url >= ?1 AND url < ?2 UNION ALL "
                           "SELECT 1 FROM visits WHERE site >= ?3 AND site < ?4 LIMIT ?5)");
  Bind(Count);
  Count.Bind(5, CommonPrefixRows + 1);
  if (Count.Step() && Count.Int(0) <= CommonPrefixRows) {
    while (Found.size() < Limit && Few.Step()) Found.push_back(Few.Text(0));
    return Found;
  }
  // A common one: the newest visits match soon.
  auto Q = FDb.Prepare(std::string("SELECT url FROM visits INDEXED BY visits_time WHERE ") + Matches +
                       " ORDER BY time DESC, id DESC");
  Bind(Q);
  std::set<std::string> Seen;
  while (Found.size() < Limit && Q.Step()) {
    std::string Url = Q.Text(0);
    if (Seen.insert(Url).second) Found.push_back(std::move(Url));
  }
  return Found;
}

}  // namespace vorlane::platform
