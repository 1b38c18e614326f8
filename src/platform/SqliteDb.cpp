#include "platform/SqliteDb.h"

#include <sqlite3.h>

#include <utility>

namespace vorlane::platform {

SqliteStatement::SqliteStatement(sqlite3* Db, std::string_view Sql) {
  if (!Db) return;
  FLastCode = sqlite3_prepare_v2(Db, Sql.data(), static_cast<int>(Sql.size()), &FStmt, nullptr);
  if (FLastCode != SQLITE_OK) {
    sqlite3_finalize(FStmt);
    FStmt = nullptr;
  }
}

SqliteStatement::~SqliteStatement() { sqlite3_finalize(FStmt); }

SqliteStatement::SqliteStatement(SqliteStatement&& Other) noexcept
    : FStmt(std::exchange(Other.FStmt, nullptr)), FLastCode(Other.FLastCode) {}

SqliteStatement& SqliteStatement::operator=(SqliteStatement&& Other) noexcept {
  if (this != &Other) {
    sqlite3_finalize(FStmt);
    FStmt = std::exchange(Other.FStmt, nullptr);
    FLastCode = Other.FLastCode;
  }
  return *this;
}

SqliteStatement& SqliteStatement::Bind(int Index, int64_t Value) {
  if (FStmt) sqlite3_bind_int64(FStmt, Index, Value);
  return *this;
}

SqliteStatement& SqliteStatement::Bind(int Index, std::string_view Value) {
  if (FStmt) sqlite3_bind_text(FStmt, Index, Value.data(), static_cast<int>(Value.size()), SQLITE_TRANSIENT);
  return *this;
}

bool SqliteStatement::Step() {
  if (!FStmt) return false;
  FLastCode = sqlite3_step(FStmt);
  return FLastCode == SQLITE_ROW;
}

bool SqliteStatement::Run() {
  if (!FStmt) return false;
  FLastCode = sqlite3_step(FStmt);
  sqlite3_reset(FStmt);
  return FLastCode == SQLITE_DONE || FLastCode == SQLITE_ROW;
}

int64_t SqliteStatement::Int(int Column) const { return FStmt ? sqlite3_column_int64(FStmt, Column) : 0; }

std::string SqliteStatement::Text(int Column) const {
  if (!FStmt) return {};
  auto* Data = reinterpret_cast<const char*>(sqlite3_column_text(FStmt, Column));
  return Data ? std::string(Data, static_cast<size_t>(sqlite3_column_bytes(FStmt, Column))) : std::string();
}

void SqliteStatement::Reset() {
  if (FStmt) sqlite3_reset(FStmt);
}

SqliteDb::~SqliteDb() { Close(); }

int SqliteDb::Open(const std::filesystem::path& File) {
  Close();
  int Code = sqlite3_open_v2(File.c_str(), &FDb, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
  if (Code != SQLITE_OK) Close();
  return Code;
}

void SqliteDb::Close() {
  if (FDb) sqlite3_close_v2(FDb);
  FDb = nullptr;
}

int SqliteDb::Exec(const char* Sql) {
  if (!FDb) return SQLITE_MISUSE;
  return sqlite3_exec(FDb, Sql, nullptr, nullptr, nullptr);
}

int64_t SqliteDb::LastInsertId() const { return FDb ? sqlite3_last_insert_rowid(FDb) : 0; }
int SqliteDb::Changes() const { return FDb ? sqlite3_changes(FDb) : 0; }

}  // namespace vorlane::platform
