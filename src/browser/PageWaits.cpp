#include "browser/PageWaits.h"

#include <glibmm/main.h>

#include <map>

namespace vorlane::browser {

namespace {

class TMainLoopClock : public IWaitClock {
public:
  uint64_t After(unsigned Seconds, std::function<void()> Due) override {
    uint64_t Id = FNextId++;
    FTimers[Id] = Glib::signal_timeout().connect_seconds(
        [this, Id, Due] {
          FTimers.erase(Id);
          Due();
          return false;
        },
        Seconds);
    return Id;
  }
  void Cancel(uint64_t Id) override {
    auto It = FTimers.find(Id);
    if (It == FTimers.end()) return;
    It->second.disconnect();
    FTimers.erase(It);
  }

private:
  std::map<uint64_t, sigc::connection> FTimers;
  uint64_t FNextId = 1;
};

}  // namespace

IWaitClock& MainLoopClock() {
  static TMainLoopClock Clock;
  return Clock;
}

void TPageWaits::Add(std::function<void()> Step, std::function<void(WaitDropped)> Dropped, bool LoadStarted) {
  uint64_t Id = FNextId++;
  std::weak_ptr<int> Alive = FAlive;
  uint64_t Timer = FClock->After(LimitSeconds, [this, Alive, Id] {
    if (!Alive.expired()) Drop(Id, WaitDropped::TimedOut);
  });
  FWaits.push_back({Id, std::move(Step), std::move(Dropped), !LoadStarted, FClock, Timer});
}

void TPageWaits::NavigationStarted() {
  std::vector<uint64_t> Superseded;
  for (Wait& W : FWaits) {
    if (W.AwaitStart) W.AwaitStart = false;
    else Superseded.push_back(W.Id);
  }
  std::weak_ptr<int> Alive = FAlive;
  for (uint64_t Id : Superseded)
    if (!Alive.expired()) Drop(Id, WaitDropped::Superseded);
}

void TPageWaits::Completed() {
  std::vector<Wait> Ready = std::move(FWaits);
  FWaits.clear();
  for (Wait& W : Ready) W.Clock->Cancel(W.Timer);
  // A step may close the page and with it this list: the steps are ours now.
  for (Wait& W : Ready) W.Step();
}

void TPageWaits::DropAll(WaitDropped Reason) {
  std::vector<Wait> Dropped = std::move(FWaits);
  FWaits.clear();
  for (Wait& W : Dropped) W.Clock->Cancel(W.Timer);
  for (Wait& W : Dropped)
    if (W.Dropped) W.Dropped(Reason);
}

void TPageWaits::Drop(uint64_t Id, WaitDropped Reason) {
  for (auto It = FWaits.begin(); It != FWaits.end(); ++It)
    if (It->Id == Id) {
      Wait W = std::move(*It);
      FWaits.erase(It);
      W.Clock->Cancel(W.Timer);
      if (W.Dropped) W.Dropped(Reason);
      return;
    }
}

}  // namespace vorlane::browser
