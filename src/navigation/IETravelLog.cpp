#include "navigation/IETravelLog.h"

#include <limits>

namespace vorlane::navigation {

void TIETravelLog::SetWebbrowser(browser::TBrowserControl* Control) {
  FWebbrowser = Control;
  FWebbrowserAlive = Control ? Control->Liveness() : std::weak_ptr<const void>();
}

browser::TBrowserControl* TIETravelLog::Webbrowser() const {
  return FWebbrowserAlive.expired() ? nullptr : FWebbrowser;
}

bool TIETravelLog::Connect() {
  FBound = nullptr;
  FBoundAlive.reset();
  browser::TBrowserControl* Control = Webbrowser();
  if (!Control || !Control->Engine().HasDocument()) return false;
  FBound = Control;
  FBoundAlive = Control->Liveness();
  return true;
}

void TIETravelLog::EnumerateBack() {
  Backward = true;
  Enumerate(true);
}

void TIETravelLog::EnumerateForward() {
  Backward = false;
  Enumerate(false);
}

void TIETravelLog::Enumerate(bool Back) {
  browser::TBrowserControl* Control = BoundControl();
  if (!Control) return;
  constexpr size_t All = std::numeric_limits<size_t>::max();
  const browser::WebEngine& Engine = Control->Engine();
  std::vector<browser::TravelEntry> Entries;
  try {
    Entries = Back ? Engine.BackEntries(All) : Engine.ForwardEntries(All);
  } catch (const browser::EngineError&) {
    return;  // an engine failure ends the listing quietly
  }
  std::weak_ptr<const void> Alive = FBoundAlive;
  bool Cancel = false;
  for (const browser::TravelEntry& Entry : Entries) {
    if (OnEntry) OnEntry(Entry.Title, Entry.Url, Cancel);
    if (Cancel || Alive.expired()) break;
  }
}

int TIETravelLog::TravelTo(int Offset) {
  browser::TBrowserControl* Control = BoundControl();
  if (!Control) return 1;
  if (Offset == 0) return 0;
  try {
    return Control->Engine().TravelTo(Offset) ? 0 : 1;
  } catch (const browser::EngineError&) {
    return 1;
  }
}

}  // namespace vorlane::navigation
