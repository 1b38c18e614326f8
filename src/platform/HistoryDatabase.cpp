#include "platform/HistoryDatabase.h"

#include "platform/DamagedFile.h"
#include "platform/SaveTrouble.h"

#include <sqlite3.h>

#include <system_error>
#include <utility>

namespace vorlane::platform {

THistoryDatabase::THistoryDatabase(std::filesystem::path File, Clock Now, TSaveTrouble* Trouble)
    : FFile(std::move(File)), FNow(std::move(Now)), FTrouble(Trouble) {
  std::error_code Ec;
  std::filesystem::create_directories(FFile.parent_path(), Ec);
  if (Failed(OpenAndMake())) Recover();
}

int THistoryDatabase::OpenAndMake() {
  FLastOpenTry = FNow();
  int Code = FDb.Open(FFile);
  if (Code == SQLITE_OK) {
    sqlite3_busy_timeout(FDb.Handle(), BusyTimeoutMs);
    // The first statement that reads the file: a file that is no database fails here.
    Code = FDb.Exec("PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;");
  }
  for (const std::string& Schema : FSchemas)
    if (Code == SQLITE_OK) Code = FDb.Exec(Schema.c_str());
  // A locked or unreachable file is left to its owner; this run keeps nothing.
  if (Code != SQLITE_OK) FDb.Close();
  return Code;
}

bool THistoryDatabase::OpenForWriting() {
  if (FDb.IsOpen()) return true;
  const auto Now = FNow();
  // A clock set back counts as time gone by.
  if (Now >= FLastOpenTry && Now - FLastOpenTry < ReopenInterval) return false;
  std::error_code Ec;
  std::filesystem::create_directories(FFile.parent_path(), Ec);
  if (const int Code = OpenAndMake(); Code != SQLITE_OK) {
    if (Failed(Code)) Recover();
    if (!FDb.IsOpen()) return false;
  }
  // Ids handed out before (none, or those of a file since set aside) name nothing here.
  FStartedAfresh.emit();
  return true;
}

void THistoryDatabase::AddSchema(std::string Sql) {
  FSchemas.push_back(std::move(Sql));
  if (!FDb.IsOpen()) return;
  int Code = FDb.Exec(FSchemas.back().c_str());
  if (Code == SQLITE_OK) return;
  if (Failed(Code))
    Recover();
  else
    FDb.Close();
}

bool THistoryDatabase::IsDamage(int Code) {
  Code &= 0xff;
  return Code == SQLITE_CORRUPT || Code == SQLITE_NOTADB;
}

bool THistoryDatabase::IsWriteFailure(int Code) {
  Code &= 0xff;
  return Code == SQLITE_FULL || Code == SQLITE_IOERR || Code == SQLITE_READONLY || Code == SQLITE_CANTOPEN;
}

void THistoryDatabase::Saved() {
  if (FTrouble) FTrouble->Report(TKeptData::History, std::nullopt);
}

bool THistoryDatabase::Failed(int Code) {
  if (IsWriteFailure(Code) && FTrouble) FTrouble->Report(TKeptData::History, sqlite3_errstr(Code));
  if (!IsDamage(Code)) return false;
  FDamaged = true;
  return true;
}

bool THistoryDatabase::Recover() {
  if (!std::exchange(FDamaged, false)) return false;
  FDb.Close();
  auto Aside = SetDamagedFileAside(FFile, FNow());
  if (!Aside) return false;  // it stays where it is; this run keeps nothing
  // The journal files belong to the damaged file and go with it.
  std::error_code Ec;
  for (const char* Suffix : {"-wal", "-shm"}) {
    std::filesystem::path From = FFile, To = *Aside;
    From += Suffix;
    To += Suffix;
    if (std::filesystem::exists(From, Ec)) std::filesystem::rename(From, To, Ec);
  }
  if (!FSetAside) FSetAside = Aside;
  bool Fresh = OpenAndMake() == SQLITE_OK;
  if (FTell && !std::exchange(FTold, true)) FTell(*FSetAside);
  if (Fresh) FStartedAfresh.emit();
  return Fresh;
}

void THistoryDatabase::OnSetAside(std::function<void(const std::filesystem::path&)> Tell) {
  FTell = std::move(Tell);
  if (FTell && FSetAside && !std::exchange(FTold, true)) FTell(*FSetAside);
}

}  // namespace vorlane::platform
