#include "browser/PageWaits.h"

#include <glibmm/main.h>

namespace vorlane::browser {

void TPageWaits::Add(std::function<void()> Step, bool LoadStarted) {
  uint64_t Id = FNextId++;
  auto Timeout = Glib::signal_timeout().connect_seconds(
      [this, Id] {
        Drop(Id);
        return false;
      },
      LimitSeconds);
  FWaits.push_back({Id, std::move(Step), !LoadStarted, Timeout});
}

void TPageWaits::NavigationStarted() {
  std::vector<uint64_t> Superseded;
  for (Wait& W : FWaits) {
    if (W.AwaitStart) W.AwaitStart = false;
    else Superseded.push_back(W.Id);
  }
  for (uint64_t Id : Superseded) Drop(Id);
}

void TPageWaits::Completed() {
  std::vector<Wait> Ready = std::move(FWaits);
  FWaits.clear();
  for (Wait& W : Ready) W.Timeout.disconnect();
  // A step may close the page and with it this list: the steps are ours now.
  for (Wait& W : Ready) W.Step();
}

void TPageWaits::DropAll() {
  for (Wait& W : FWaits) W.Timeout.disconnect();
  FWaits.clear();
}

void TPageWaits::Drop(uint64_t Id) {
  for (auto It = FWaits.begin(); It != FWaits.end(); ++It)
    if (It->Id == Id) {
      It->Timeout.disconnect();
      FWaits.erase(It);
      return;
    }
}

}  // namespace vorlane::browser
