#include "shell/SessionKeeper.h"

#include "platform/SaveTrouble.h"

#include <glib.h>
#include <glibmm/main.h>

namespace vorlane::shell {

TSessionKeeper::TSessionKeeper(std::filesystem::path File, std::function<platform::TSavedSession()> Snapshot,
                               platform::TSaveTrouble& Trouble)
    : FFile(std::move(File)), FSnapshot(std::move(Snapshot)), FTrouble(Trouble) {}

TSessionKeeper::~TSessionKeeper() {
  FDelay.disconnect();
  FSettle.disconnect();
}

platform::TSavedSession TSessionKeeper::Current(bool CleanEnd) const {
  platform::TSavedSession Session = FSnapshot();
  Session.EndedCleanly = CleanEnd;
  Session.RestoreAttempts = CleanEnd ? 0 : FRestoreAttempts;
  return Session;
}

void TSessionKeeper::Changed() {
  // Not pushed back by later changes: a page that retitles itself every second must not
  // keep its tab from ever being saved.
  if (FDelay.connected()) return;
  FDelay = Glib::signal_timeout().connect(
      [this] {
        SaveNow();
        return false;
      },
      static_cast<unsigned>(SaveDelay.count()));
}

void TSessionKeeper::PagesRestored(int PreviousAttempts) {
  FRestoreAttempts = PreviousAttempts + 1;
  FDelay.disconnect();
  SaveNow();  // on disk before the restored pages can bring the browser down
  FSettle = Glib::signal_timeout().connect_seconds(
      [this] {
        FRestoreAttempts = 0;
        Changed();
        return false;
      },
      static_cast<unsigned>(SettleTime.count()));
}

void TSessionKeeper::SaveNow() {
  FDelay.disconnect();
  if (FWriting) {
    FPending = true;
    return;
  }
  platform::TSavedSession Session = Current(false);
  std::string Encoded = platform::EncodeSession(Session);
  if (Encoded == FLastWritten) return;
  FWriting = true;
  std::weak_ptr<int> Alive = FLifeToken;
  platform::SaveSessionFileAsync(FFile, Session, [this, Alive, Encoded](std::optional<std::string> Error) {
    if (Alive.expired()) return;
    if (!Error) FLastWritten = Encoded;
    Saved(Error);
  });
}

void TSessionKeeper::Saved(const std::optional<std::string>& Error) {
  FWriting = false;
  FTrouble.Report(platform::TKeptData::Session, Error);
  if (Error && !std::exchange(FFailureTold, true) && OnSaveFailed) OnSaveFailed(*Error);
  if (std::exchange(FPending, false)) Changed();
}

void TSessionKeeper::SaveAtQuit() {
  FDelay.disconnect();
  FSettle.disconnect();
  // A write still under way would land after this one and undo the clean end: let it
  // finish first (it is one small file).
  while (FWriting) g_main_context_iteration(nullptr, TRUE);
  FPending = false;
  if (auto Error = platform::SaveSessionFile(FFile, Current(true)); Error && OnSaveFailed && !FFailureTold)
    OnSaveFailed(*Error);
}

}  // namespace vorlane::shell
