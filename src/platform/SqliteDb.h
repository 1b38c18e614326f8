#pragma once
// Thin RAII over the SQLite C API: one connection, prepared statements that reset
// themselves. Failures are reported as result codes; callers decide what survives.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace vorlane::platform {

class SqliteStatement {
public:
  SqliteStatement() = default;
  SqliteStatement(sqlite3* Db, std::string_view Sql);
  ~SqliteStatement();
  SqliteStatement(SqliteStatement&& Other) noexcept;
  SqliteStatement& operator=(SqliteStatement&& Other) noexcept;
  SqliteStatement(const SqliteStatement&) = delete;
  SqliteStatement& operator=(const SqliteStatement&) = delete;

  bool Valid() const { return FStmt != nullptr; }
  // Binding indexes count from 1, as in SQL.
  SqliteStatement& Bind(int Index, int64_t Value);
  SqliteStatement& Bind(int Index, std::string_view Value);
  // true while a row is available; false at the end or on an error (see LastCode).
  bool Step();
  // Runs a statement that returns no rows; true on success.
  bool Run();
  int64_t Int(int Column) const;
  std::string Text(int Column) const;
  int LastCode() const { return FLastCode; }
  void Reset();

private:
  sqlite3_stmt* FStmt = nullptr;
  int FLastCode = 0;
};

class SqliteDb {
public:
  SqliteDb() = default;
  ~SqliteDb();
  SqliteDb(const SqliteDb&) = delete;
  SqliteDb& operator=(const SqliteDb&) = delete;

  // Opens (creating) the file; returns the SQLite result code (0 on success).
  int Open(const std::filesystem::path& File);
  void Close();
  bool IsOpen() const { return FDb != nullptr; }
  // Runs one or more statements without results; returns the result code.
  int Exec(const char* Sql);
  SqliteStatement Prepare(std::string_view Sql) const { return SqliteStatement(FDb, Sql); }
  int64_t LastInsertId() const;
  int Changes() const;
  sqlite3* Handle() const { return FDb; }

private:
  sqlite3* FDb = nullptr;
};

}  // namespace vorlane::platform
