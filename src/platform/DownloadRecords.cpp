#include "platform/DownloadRecords.h"

#include <sqlite3.h>

#include <algorithm>

namespace vorlane::platform {

namespace {
constexpr const char* Schema = R"(
CREATE TABLE IF NOT EXISTS downloads(
  id INTEGER PRIMARY KEY, url TEXT NOT NULL, path TEXT NOT NULL, size INTEGER NOT NULL,
  state INTEGER NOT NULL, failure TEXT NOT NULL, started INTEGER NOT NULL, ended INTEGER NOT NULL);
)";
}  // namespace

TDownloadRecords::TDownloadRecords(const std::filesystem::path& File)
    : TDownloadRecords(std::make_shared<THistoryDatabase>(File)) {}

TDownloadRecords::TDownloadRecords(std::shared_ptr<THistoryDatabase> Database) : FBase(std::move(Database)) {
  FBase->AddSchema(Schema);
  FFresh = FBase->SignalStartedAfresh().connect([this] { FIdFloor = FHighestId + 1; });
}

TDownloadRecords::~TDownloadRecords() { FFresh.disconnect(); }

void TDownloadRecords::Wrote(int Code) {
  if ((Code & 0xff) == SQLITE_OK || Code == SQLITE_DONE) FBase->Saved();
  if (FBase->Failed(Code)) FBase->Recover();
}

std::vector<TDownloadRecord> TDownloadRecords::Load(size_t Limit) {
  std::vector<TDownloadRecord> Records;
  if (!IsAvailable()) return Records;
  int Code = SQLITE_OK;
  {
    auto Query = Db().Prepare(
        "SELECT id, url, path, size, state, failure, started, ended FROM downloads ORDER BY id DESC LIMIT ?");
    Query.Bind(1, static_cast<int64_t>(Limit));
    while (Query.Step())
      Records.push_back({Query.Int(0), Query.Text(1), Query.Text(2), Query.Int(3), static_cast<int>(Query.Int(4)),
                         Query.Text(5), Query.Int(6), Query.Int(7)});
    Code = Query.LastCode();
  }
  // Read at start: a damaged file is replaced before the first download is written.
  if (!FBase->Failed(Code)) return Records;
  FBase->Recover();
  return {};
}

int64_t TDownloadRecords::Add(const TDownloadRecord& Record) {
  if (!FBase->OpenForWriting()) return 0;
  int64_t Id = 0;
  int Code = SQLITE_OK;
  {
    auto Insert = Db().Prepare(
        "INSERT INTO downloads(id, url, path, size, state, failure, started, ended) VALUES(max(?8, "
        "coalesce((SELECT max(id) FROM downloads), 0) + 1), ?1, ?2, ?3, ?4, ?5, ?6, ?7)");
    Insert.Bind(1, Record.Url).Bind(2, Record.Path).Bind(3, Record.Size).Bind(4, int64_t{Record.State});
    Insert.Bind(5, Record.Failure).Bind(6, Record.Started).Bind(7, Record.Ended).Bind(8, FIdFloor);
    if (Insert.Run()) {
      Id = Db().LastInsertId();
      FHighestId = std::max(FHighestId, Id);
      // The oldest go once there are more than anyone scrolls through.
      auto Trim = Db().Prepare("DELETE FROM downloads WHERE id <= ?");
      Trim.Bind(1, Id - static_cast<int64_t>(MaxKept)).Run();
    }
    Code = Insert.LastCode();
  }
  Wrote(Code);
  return Id;
}

void TDownloadRecords::Update(const TDownloadRecord& Record) {
  if (!IsAvailable() || Record.Id == 0 || Record.Id < FIdFloor) return;
  int Code = SQLITE_OK;
  {
    auto Change =
        Db().Prepare("UPDATE downloads SET path = ?, size = ?, state = ?, failure = ?, ended = ? WHERE id = ?");
    Change.Bind(1, Record.Path).Bind(2, Record.Size).Bind(3, int64_t{Record.State}).Bind(4, Record.Failure);
    Change.Bind(5, Record.Ended).Bind(6, Record.Id).Run();
    Code = Change.LastCode();
  }
  Wrote(Code);
}

void TDownloadRecords::Remove(int64_t Id) {
  if (!IsAvailable() || Id < FIdFloor) return;
  int Code = SQLITE_OK;
  {
    auto Delete = Db().Prepare("DELETE FROM downloads WHERE id = ?");
    Delete.Bind(1, Id).Run();
    Code = Delete.LastCode();
  }
  Wrote(Code);
}

void TDownloadRecords::Clear() {
  if (IsAvailable()) Wrote(Db().Exec("DELETE FROM downloads;"));
}

}  // namespace vorlane::platform
