#pragma once
// Keeps the open pages on disk while the browser runs, so that a crash or a kill costs no
// more than the last second: every change is written about a second later (several
// changes, one write), off the UI thread, and a quit writes them once more marked as a
// clean end. A start that restored pages counts as an attempt until it has run a while,
// so that pages which bring the browser down again are not restored in a loop.
#include "platform/SessionFile.h"

#include <sigc++/connection.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace vorlane::platform { class TSaveTrouble; }

namespace vorlane::shell {

class TSessionKeeper {
public:
  static constexpr std::chrono::milliseconds SaveDelay{1000};
  // How long a start that restored pages must run before they count as safe again.
  static constexpr std::chrono::seconds SettleTime{30};

  // Snapshot: the open pages now. Trouble hears how each write went.
  TSessionKeeper(std::filesystem::path File, std::function<platform::TSavedSession()> Snapshot,
                 platform::TSaveTrouble& Trouble);
  ~TSessionKeeper();
  TSessionKeeper(const TSessionKeeper&) = delete;
  TSessionKeeper& operator=(const TSessionKeeper&) = delete;

  // Something about the open pages changed.
  void Changed();
  // This start reopened saved pages after PreviousAttempts such starts that did not last.
  void PagesRestored(int PreviousAttempts);
  // The run ends as the user asked: written now, synchronously, as a clean end.
  void SaveAtQuit();
  // A save failed; Text says why. Raised for the first failure of a run only (later
  // changes are still tried, so saving resumes once the disk has room again).
  std::function<void(const std::string&)> OnSaveFailed;

  const std::filesystem::path& File() const { return FFile; }
  int RestoreAttempts() const { return FRestoreAttempts; }

private:
  platform::TSavedSession Current(bool CleanEnd) const;
  void SaveNow();
  void Saved(const std::optional<std::string>& Error);

  std::filesystem::path FFile;
  std::function<platform::TSavedSession()> FSnapshot;
  platform::TSaveTrouble& FTrouble;
  int FRestoreAttempts = 0;
  sigc::connection FDelay, FSettle;
  bool FWriting = false;   // a write is under way on the worker
  bool FPending = false;   // a change came while it was
  bool FFailureTold = false;
  std::string FLastWritten;  // what is on disk, to skip writes that change nothing
  std::shared_ptr<int> FLifeToken = std::make_shared<int>(0);
};

}  // namespace vorlane::shell
