#include "platform/HistoryStore.h"

#include "platform/HistoryPeriods.h"
#include "platform/ShellFolders.h"

#include <glib.h>
#include <sqlite3.h>

#include <algorithm>
#include <ctime>
#include <map>
#include <set>

namespace vorlane::platform {
namespace {

constexpr const char* Schema = R"sql(
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
CREATE VIRTUAL TABLE IF NOT EXISTS visits_search USING fts5(
  url, title, content='visits', content_rowid='id', tokenize='trigram');
CREATE TRIGGER IF NOT EXISTS visits_search_add AFTER INSERT ON visits BEGIN
  INSERT INTO visits_search(rowid, url, title) VALUES(new.id, new.url, new.title);
END;
CREATE TRIGGER IF NOT EXISTS visits_search_remove AFTER DELETE ON visits BEGIN
  INSERT INTO visits_search(visits_search, rowid, url, title) VALUES('delete', old.id, old.url, old.title);
END;
CREATE TRIGGER IF NOT EXISTS visits_search_change AFTER UPDATE OF url, title ON visits BEGIN
  INSERT INTO visits_search(visits_search, rowid, url, title) VALUES('delete', old.id, old.url, old.title);
  INSERT INTO visits_search(rowid, url, title) VALUES(new.id, new.url, new.title);
END;
)sql";

// Shorter texts have no character triple to look up.
constexpr long IndexedSearchChars = 3;

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

THistoryStore::THistoryStore(std::filesystem::path File, Clock Now, TSaveTrouble* Trouble)
    : FBase(std::make_shared<THistoryDatabase>(std::move(File), std::move(Now), Trouble)) {
  Open();
}

THistoryStore::THistoryStore(std::shared_ptr<THistoryDatabase> Database) : FBase(std::move(Database)) { Open(); }

void THistoryStore::Open() {
  // A file from before the search index gets its index filled once.
  bool Indexed = true;
  if (IsAvailable()) {
    auto Has = [this](const char* Table) {
      return Db().Prepare(std::string("SELECT 1 FROM sqlite_master WHERE name = '") + Table + "'").Step();
    };
    Indexed = Has("visits_search") || !Has("visits");
  }
  FBase->AddSchema(Schema);
  if (!Indexed && IsAvailable()) FBase->Failed(Db().Exec("INSERT INTO visits_search(visits_search) VALUES('rebuild')"));
  FFresh = FBase->SignalStartedAfresh().connect([this] {
    // Ids handed out so far name visits of the file set aside; new ones start above them.
    FIdFloor = FHighestId + 1;
  });
  if (IsAvailable()) RemoveExpired();
}

THistoryStore::~THistoryStore() { FFresh.disconnect(); }

std::filesystem::path THistoryStore::DefaultPath() {
  return ShellFolders::DataHome() / "vorlane" / "history.sqlite";
}

void THistoryStore::Wrote() {
  FBase->Recover();
  FChanged.emit();
}

bool THistoryStore::IsRecordable(const std::string& Url) {
  if (Url.size() > MaxUrlLength) return false;
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
  if (!IsRecordable(Url) || !FBase->OpenForWriting()) return 0;
  int64_t Id = InsertVisit(Url, Title);
  // A damaged file found by this write is replaced; the visit goes into the fresh one.
  if (!Id && FBase->Recover()) Id = InsertVisit(Url, Title);
  if (Id) FHighestId = std::max(FHighestId, Id);
  FChanged.emit();
  return Id;
}

int64_t THistoryStore::InsertVisit(const std::string& Url, const std::string& Title) {
  auto Now = FBase->Now();
  int64_t Day = LocalDayOf(Now);
  std::string Site = SiteOf(Url);
  int Code = Db().Exec("BEGIN IMMEDIATE");
  if (Code != SQLITE_OK) {  // busy beyond the timeout: dropped
    FBase->Failed(Code);
    return 0;
  }
  bool Ok = ClampFuture(Seconds(Now), Day);
  auto Insert = Db().Prepare(
      "INSERT INTO visits(id, url, site, title, time, day) VALUES(max(?6, coalesce((SELECT max(id) FROM visits), 0) "
      "+ 1), ?1, ?2, ?3, ?4, ?5)");
  Ok = Ok && Insert.Bind(1, Url).Bind(2, Site).Bind(3, CleanTitle(Title)).Bind(4, Seconds(Now)).Bind(5, Day)
                 .Bind(6, FIdFloor).Run();
  FBase->Failed(Insert.LastCode());
  int64_t Id = Ok ? Db().LastInsertId() : 0;
  auto Pair = Db().Prepare("INSERT OR IGNORE INTO day_sites(day, site) VALUES(?1, ?2)");
  Ok = Ok && Pair.Bind(1, Day).Bind(2, Site).Run();
  FBase->Failed(Pair.LastCode());
  if (Ok) {
    Code = Db().Exec("COMMIT");
    FBase->Failed(Code);
    Ok = Code == SQLITE_OK;
  }
  if (!Ok) {
    Db().Exec("ROLLBACK");
    return 0;
  }
  FBase->Saved();
  return Id;
}

bool THistoryStore::ClampFuture(int64_t Now, int64_t Today) {
  auto Any = Db().Prepare("SELECT 1 FROM visits WHERE time > ?1 LIMIT 1");
  if (!Any.Bind(1, Now).Step()) return !FBase->Failed(Any.LastCode());
  auto Pairs = Db().Prepare("INSERT OR IGNORE INTO day_sites(day, site) SELECT DISTINCT ?2, site FROM visits "
                            "WHERE time > ?1");
  auto Move = Db().Prepare("UPDATE visits SET time = ?1, day = ?2 WHERE time > ?1");
  // No visit is later than today now, so no later day keeps a site.
  auto Days = Db().Prepare("DELETE FROM day_sites WHERE day > ?1");
  bool Ok = Pairs.Bind(1, Now).Bind(2, Today).Run() && Move.Bind(1, Now).Bind(2, Today).Run() &&
            Days.Bind(1, Today).Run();
  for (auto* Q : {&Pairs, &Move, &Days}) FBase->Failed(Q->LastCode());
  return Ok;
}

void THistoryStore::SetVisitTitle(int64_t Visit, const std::string& Title) {
  if (!IsAvailable() || Visit <= 0 || IsStale(Visit)) return;
  {
    auto Update = Db().Prepare("UPDATE visits SET title = ?1 WHERE id = ?2");
    Update.Bind(1, CleanTitle(Title)).Bind(2, Visit).Run();
    FBase->Failed(Update.LastCode());
  }
  Wrote();
}

void THistoryStore::RemoveVisit(int64_t Visit) {
  if (!IsAvailable() || Visit <= 0 || IsStale(Visit)) return;
  {
    auto Find = Db().Prepare("SELECT site, day FROM visits WHERE id = ?1");
    if (!Find.Bind(1, Visit).Step()) {
      FBase->Failed(Find.LastCode());
    } else {
      std::string Site = Find.Text(0);
      int64_t Day = Find.Int(1);
      Find.Reset();
      auto Remove = Db().Prepare("DELETE FROM visits WHERE id = ?1");
      Remove.Bind(1, Visit).Run();
      auto Pair = Db().Prepare("DELETE FROM day_sites WHERE day = ?1 AND site = ?2 AND NOT EXISTS "
                               "(SELECT 1 FROM visits WHERE site = ?2 AND day = ?1)");
      Pair.Bind(1, Day).Bind(2, Site).Run();
      FBase->Failed(Remove.LastCode());
      FBase->Failed(Pair.LastCode());
    }
  }
  Wrote();
}

void THistoryStore::RemoveExpired() {
  auto Now = FBase->Now();
  int64_t Cutoff = Seconds(Now) - int64_t{RetentionDays} * 86400;
  int64_t Ahead = Seconds(Now) + 86400;
  if (int Code = Db().Exec("BEGIN IMMEDIATE"); Code != SQLITE_OK) {
    FBase->Failed(Code);
    return Wrote();
  }
  {
    auto Old = Db().Prepare("DELETE FROM visits WHERE time < ?1 OR time > ?2");
    Old.Bind(1, Cutoff).Bind(2, Ahead).Run();
    // Only days up to the cut-off, or after today, can have lost their last visit.
    int64_t CutoffDay = LocalDayOf(std::chrono::system_clock::time_point(std::chrono::seconds(Cutoff)));
    auto Pairs = Db().Prepare("DELETE FROM day_sites WHERE (day <= ?1 OR day > ?2) AND NOT EXISTS "
                              "(SELECT 1 FROM visits v WHERE v.site = day_sites.site AND v.day = day_sites.day)");
    Pairs.Bind(1, CutoffDay).Bind(2, LocalDayOf(Now)).Run();
    FBase->Failed(Old.LastCode());
    FBase->Failed(Pairs.LastCode());
  }
  int Code = Db().Exec("COMMIT");
  if (Code != SQLITE_OK && !FBase->Failed(Code)) Db().Exec("ROLLBACK");
  Wrote();
}

int64_t THistoryStore::Today() const { return LocalDayOf(FBase->Now()); }

std::optional<int64_t> THistoryStore::OldestDay() {
  auto Q = Db().Prepare("SELECT min(day) FROM day_sites");
  if (!Q.Step() || Q.Text(0).empty()) return std::nullopt;
  return Q.Int(0);
}

bool THistoryStore::AnyVisitBetween(int64_t FirstDay, int64_t LastDay) {
  auto Q = Db().Prepare("SELECT 1 FROM day_sites WHERE day BETWEEN ?1 AND ?2 LIMIT 1");
  return Q.Bind(1, FirstDay).Bind(2, LastDay).Step();
}

std::vector<std::string> THistoryStore::SitesBetween(int64_t FirstDay, int64_t LastDay) {
  std::vector<std::string> Sites;
  auto Q = Db().Prepare("SELECT DISTINCT site FROM day_sites WHERE day BETWEEN ?1 AND ?2");
  Q.Bind(1, FirstDay).Bind(2, LastDay);
  while (Q.Step()) Sites.push_back(Q.Text(0));
  return Sites;
}

std::vector<THistoryPage> THistoryStore::PagesOf(const std::string& Site, int64_t FirstDay, int64_t LastDay) {
  std::vector<THistoryPage> Pages;
  auto Q = Db().Prepare("SELECT url, title, time FROM visits WHERE site = ?1 AND day BETWEEN ?2 AND ?3 "
                       "ORDER BY time DESC, id DESC");
  Q.Bind(1, Site).Bind(2, FirstDay).Bind(3, LastDay);
  CollectPages(Q, Pages, SIZE_MAX);
  return Pages;
}

std::vector<THistoryPage> THistoryStore::RecentPages(size_t Limit) {
  std::vector<THistoryPage> Pages;
  auto Q = Db().Prepare("SELECT url, title, time FROM visits ORDER BY time DESC, id DESC");
  CollectPages(Q, Pages, Limit);
  return Pages;
}

std::vector<THistoryPage> THistoryStore::SearchPages(const std::string& Text, size_t Limit) {
  std::vector<THistoryPage> Pages;
  if (Text.empty() || Limit == 0 || !IsAvailable()) return Pages;
  if (g_utf8_strlen(Text.c_str(), static_cast<gssize>(Text.size())) >= IndexedSearchChars) {
    // One phrase: the text as it is, quotes doubled.
    std::string Phrase = "\"";
    for (char C : Text) Phrase += C == '"' ? std::string("\"\"") : std::string(1, C);
    Phrase += '"';
    auto Q = Db().Prepare("SELECT v.url, v.title, v.time FROM visits_search s JOIN visits v ON v.id = s.rowid "
                          "WHERE visits_search MATCH ?1 ORDER BY s.rowid DESC");
    Q.Bind(1, Phrase);
    CollectPages(Q, Pages, Limit);
    return Pages;
  }
  // One or two characters: the visits newest first; common texts match soon. LIKE
  // compares ASCII letters in any case without copying each row's text.
  std::string Pattern = "%";
  for (char C : Text) {
    if (C == '%' || C == '_' || C == '\\') Pattern += '\\';
    Pattern += C;
  }
  Pattern += '%';
  auto Q = Db().Prepare("SELECT url, title, time FROM visits WHERE url LIKE ?1 ESCAPE '\\' OR title LIKE ?1 ESCAPE "
                        "'\\' ORDER BY id DESC");
  Q.Bind(1, Pattern);
  CollectPages(Q, Pages, Limit);
  return Pages;
}

void THistoryStore::RemovePage(const std::string& Url) {
  if (!IsAvailable()) return;
  if (int Code = Db().Exec("BEGIN IMMEDIATE"); Code != SQLITE_OK) {
    FBase->Failed(Code);
    return Wrote();
  }
  {
    // The (day, site) pairs the page's visits leave behind may have no visit left.
    auto Pairs = Db().Prepare("SELECT DISTINCT day, site FROM visits WHERE url = ?1");
    Pairs.Bind(1, Url);
    std::vector<std::pair<int64_t, std::string>> Left;
    while (Pairs.Step()) Left.emplace_back(Pairs.Int(0), Pairs.Text(1));
    auto Remove = Db().Prepare("DELETE FROM visits WHERE url = ?1");
    Remove.Bind(1, Url).Run();
    FBase->Failed(Remove.LastCode());
    auto Pair = Db().Prepare("DELETE FROM day_sites WHERE day = ?1 AND site = ?2 AND NOT EXISTS "
                             "(SELECT 1 FROM visits WHERE site = ?2 AND day = ?1)");
    for (auto& [Day, Site] : Left) Pair.Bind(1, Day).Bind(2, Site).Run();
  }
  if (int Code = Db().Exec("COMMIT"); Code != SQLITE_OK && !FBase->Failed(Code)) Db().Exec("ROLLBACK");
  Wrote();
}

void THistoryStore::RemoveSite(const std::string& Site, int64_t FirstDay, int64_t LastDay) {
  if (!IsAvailable()) return;
  if (int Code = Db().Exec("BEGIN IMMEDIATE"); Code != SQLITE_OK) {
    FBase->Failed(Code);
    return Wrote();
  }
  {
    auto Remove = Db().Prepare("DELETE FROM visits WHERE site = ?1 AND day BETWEEN ?2 AND ?3");
    Remove.Bind(1, Site).Bind(2, FirstDay).Bind(3, LastDay).Run();
    auto Pairs = Db().Prepare("DELETE FROM day_sites WHERE site = ?1 AND day BETWEEN ?2 AND ?3");
    Pairs.Bind(1, Site).Bind(2, FirstDay).Bind(3, LastDay).Run();
    FBase->Failed(Remove.LastCode());
    FBase->Failed(Pairs.LastCode());
  }
  if (int Code = Db().Exec("COMMIT"); Code != SQLITE_OK && !FBase->Failed(Code)) Db().Exec("ROLLBACK");
  Wrote();
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
  auto Few = Db().Prepare("SELECT url, max(time) AS latest, max(id) AS newest FROM (SELECT url, time, id FROM visits "
                         "WHERE url >= ?1 AND url < ?2 UNION ALL SELECT url, time, id FROM visits WHERE site >= ?3 "
                         "AND site < ?4) GROUP BY url ORDER BY latest DESC, newest DESC");
  Bind(Few);
  auto Count = Db().Prepare("SELECT count(*) FROM (SELECT 1 FROM visits WHERE url >= ?1 AND url < ?2 UNION ALL "
                           "SELECT 1 FROM visits WHERE site >= ?3 AND site < ?4 LIMIT ?5)");
  Bind(Count);
  Count.Bind(5, CommonPrefixRows + 1);
  if (Count.Step() && Count.Int(0) <= CommonPrefixRows) {
    while (Found.size() < Limit && Few.Step()) Found.push_back(Few.Text(0));
    return Found;
  }
  // A common one: the newest visits match soon.
  auto Q = Db().Prepare(std::string("SELECT url FROM visits INDEXED BY visits_time WHERE ") + Matches +
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
