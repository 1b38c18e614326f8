#include "platform/DownloadRecords.h"

#include <sqlite3.h>

namespace vorlane::platform {

namespace {
constexpr const char* Schema = R"(
CREATE TABLE IF NOT EXISTS downloads(
  id INTEGER PRIMARY KEY, url TEXT NOT NULL, path TEXT NOT NULL, size INTEGER NOT NULL,
  state INTEGER NOT NULL, failure TEXT NOT NULL, started INTEGER NOT NULL, ended INTEGER NOT NULL);
)";
constexpr int BusyTimeoutMs = 200;
}  // namespace

TDownloadRecords::TDownloadRecords(const std::filesystem::path& File) {
  std::error_code Ec;
  std::filesystem::create_directories(File.parent_path(), Ec);
  if (FDb.Open(File) != SQLITE_OK) return;
  sqlite3_busy_timeout(FDb.Handle(), BusyTimeoutMs);
  // A file that is no database (the history store sets it aside) is left alone here.
  if (FDb.Exec("PRAGMA journal_mode=WAL;") != SQLITE_OK || FDb.Exec(Schema) != SQLITE_OK) FDb.Close();
}

std::vector<TDownloadRecord> TDownloadRecords::Load(size_t Limit) {
  std::vector<TDownloadRecord> Records;
  if (!FDb.IsOpen()) return Records;
  auto Query = FDb.Prepare(
      "SELECT id, url, path, size, state, failure, started, ended FROM downloads ORDER BY id DESC LIMIT ?");
  Query.Bind(1, static_cast<int64_t>(Limit));
  while (Query.Step())
    Records.push_back({Query.Int(0), Query.Text(1), Query.Text(2), Query.Int(3), static_cast<int>(Query.Int(4)),
                       Query.Text(5), Query.Int(6), Query.Int(7)});
  return Records;
}

int64_t TDownloadRecords::Add(const TDownloadRecord& Record) {
  if (!FDb.IsOpen()) return 0;
  auto Insert = FDb.Prepare(
      "INSERT INTO downloads(url, path, size, state, failure, started, ended) VALUES(?, ?, ?, ?, ?, ?, ?)");
  Insert.Bind(1, Record.Url).Bind(2, Record.Path).Bind(3, Record.Size).Bind(4, int64_t{Record.State});
  Insert.Bind(5, Record.Failure).Bind(6, Record.Started).Bind(7, Record.Ended);
  if (!Insert.Run()) return 0;
  int64_t Id = FDb.LastInsertId();
  // The oldest go once there are more than anyone scrolls through.
  auto Trim = FDb.Prepare("DELETE FROM downloads WHERE id <= ?");
  Trim.Bind(1, Id - static_cast<int64_t>(MaxKept)).Run();
  return Id;
}

void TDownloadRecords::Update(const TDownloadRecord& Record) {
  if (!FDb.IsOpen() || Record.Id == 0) return;
  auto Change = FDb.Prepare("UPDATE downloads SET path = ?, size = ?, state = ?, failure = ?, ended = ? WHERE id = ?");
  Change.Bind(1, Record.Path).Bind(2, Record.Size).Bind(3, int64_t{Record.State}).Bind(4, Record.Failure);
  Change.Bind(5, Record.Ended).Bind(6, Record.Id).Run();
}

void TDownloadRecords::Remove(int64_t Id) {
  if (FDb.IsOpen()) FDb.Prepare("DELETE FROM downloads WHERE id = ?").Bind(1, Id).Run();
}

void TDownloadRecords::Clear() {
  if (FDb.IsOpen()) FDb.Exec("DELETE FROM downloads;");
}

}  // namespace vorlane::platform
