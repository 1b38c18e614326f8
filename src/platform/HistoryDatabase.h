#pragma once
// The history database file (history.sqlite): one connection shared by the visits and the
// downloads list, and what happens when the file turns out damaged. A file that is no
// database, or whose pages SQLite finds broken, at opening or on any later write, is
// moved aside as "history.sqlite.damaged-DATE" (its journal files with it) and a fresh
// file takes its place, so the browser keeps recording; the user is told once per run.
// A locked file is no damage: writes wait the busy timeout, then are dropped. A file that
// cannot be opened (a disk already full at start, a folder in the way) is tried again at
// later writes, so recording resumes once there is room.
#include "platform/SqliteDb.h"

#include <sigc++/signal.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vorlane::platform {

class TSaveTrouble;

class THistoryDatabase {
public:
  using Clock = std::function<std::chrono::system_clock::time_point()>;
  static constexpr int BusyTimeoutMs = 200;
  // How often a file that could not be opened is tried again, at most.
  static constexpr std::chrono::seconds ReopenInterval{5};

  // Trouble hears of writes the disk refused and of writes that went through again.
  explicit THistoryDatabase(std::filesystem::path File,
                            Clock Now = [] { return std::chrono::system_clock::now(); },
                            TSaveTrouble* Trouble = nullptr);

  // Adds one user's tables and indexes: made now, and again in every fresh file.
  void AddSchema(std::string Sql);

  bool IsAvailable() const { return FDb.IsOpen(); }
  // Before a write: opens the file again when it could not be opened before and the last
  // try is ReopenInterval ago. true when it is open.
  bool OpenForWriting();
  SqliteDb& Db() { return FDb; }
  const std::filesystem::path& File() const { return FFile; }
  std::chrono::system_clock::time_point Now() const { return FNow(); }

  // Every failed statement's result code comes here; true when it means a damaged file.
  bool Failed(int Code);
  static bool IsDamage(int Code);
  // A write the disk refused (full, an I/O error): the user hears of it once (TSaveTrouble).
  static bool IsWriteFailure(int Code);
  // A write went through: a trouble with saving is over for this file.
  void Saved();
  // After a damaged file was noticed, and once no statement of the caller's is left (a
  // statement still alive would keep the old connection, which deletes its journal by
  // name when it finally closes): sets the file aside and starts a fresh one. true when a
  // fresh file took its place now (the caller may try once more).
  bool Recover();

  // The first file set aside in this run.
  const std::optional<std::filesystem::path>& SetAside() const { return FSetAside; }
  // Called once per run with the first file set aside: at once when that already
  // happened (at opening), else when it happens.
  void OnSetAside(std::function<void(const std::filesystem::path&)> Tell);
  // Raised after a fresh file replaced a damaged one, or a file that could not be opened
  // was opened at last.
  sigc::signal<void()>& SignalStartedAfresh() { return FStartedAfresh; }

private:
  // Opens the file and makes every schema; the failing result code, SQLITE_OK on success.
  int OpenAndMake();

  std::filesystem::path FFile;
  Clock FNow;
  TSaveTrouble* FTrouble;
  SqliteDb FDb;
  std::vector<std::string> FSchemas;
  std::optional<std::filesystem::path> FSetAside;
  std::chrono::system_clock::time_point FLastOpenTry;
  std::function<void(const std::filesystem::path&)> FTell;
  sigc::signal<void()> FStartedAfresh;
  bool FTold = false;
  bool FDamaged = false;
};

}  // namespace vorlane::platform
