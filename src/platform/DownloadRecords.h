#pragma once
// The downloads list kept across runs, in a table of its own in the history database
// (history.sqlite). Like the history it never stops the browser: a file it cannot open
// leaves it empty and dropping writes; a damaged one is set aside (THistoryDatabase).
#include "platform/HistoryDatabase.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace vorlane::platform {

struct TDownloadRecord {
  int64_t Id = 0;
  std::string Url, Path;
  int64_t Size = 0;
  int State = 0;  // the list's state number
  std::string Failure;
  int64_t Started = 0, Ended = 0;  // seconds since the epoch
};

class TDownloadRecords {
public:
  static constexpr size_t MaxKept = 200;

  explicit TDownloadRecords(const std::filesystem::path& File);
  // On the database file the history store keeps too.
  explicit TDownloadRecords(std::shared_ptr<THistoryDatabase> Database);
  ~TDownloadRecords();

  bool IsAvailable() const { return FBase->IsAvailable(); }
  // The latest records, newest first.
  std::vector<TDownloadRecord> Load(size_t Limit = MaxKept);
  // A new record; its id, 0 when it could not be written.
  int64_t Add(const TDownloadRecord& Record);
  void Update(const TDownloadRecord& Record);
  void Remove(int64_t Id);
  void Clear();

private:
  SqliteDb& Db() { return FBase->Db(); }
  // The end of a write: a damaged file found by it is replaced by a fresh one.
  void Wrote(int Code);

  std::shared_ptr<THistoryDatabase> FBase;
  sigc::connection FFresh;
  // Records written to a file since set aside have ids below this: they name nothing now.
  int64_t FIdFloor = 0, FHighestId = 0;
};

}  // namespace vorlane::platform
