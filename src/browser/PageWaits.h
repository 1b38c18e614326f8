#pragma once
// Steps that wait for the page to finish loading (save, highlight). Each is a one-shot:
// run at the next DocumentComplete, or dropped when another navigation starts, when the
// user stops the page, after a time limit, or with the control. Never a nested loop.
// A dropped step hears why, so that it can tell the user and clean up after itself.
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace vorlane::browser {

enum class WaitDropped { Stopped, Superseded, TimedOut, Closed };

// Times the waits: the main loop's timeouts, or a clock a test advances by hand.
class IWaitClock {
public:
  virtual ~IWaitClock() = default;
  // Calls Due once, Seconds from now, unless Cancel(the returned id) came first.
  virtual uint64_t After(unsigned Seconds, std::function<void()> Due) = 0;
  virtual void Cancel(uint64_t Id) = 0;
};

IWaitClock& MainLoopClock();

class TPageWaits {
public:
  static constexpr unsigned LimitSeconds = 60;

  explicit TPageWaits(IWaitClock& Clock = MainLoopClock()) : FClock(&Clock) {}
  ~TPageWaits() { DropAll(WaitDropped::Closed); }
  TPageWaits(const TPageWaits&) = delete;
  TPageWaits& operator=(const TPageWaits&) = delete;

  // Waits added from now on are timed by Clock.
  void SetClock(IWaitClock& Clock) { FClock = &Clock; }
  // LoadStarted: the load being waited for has already raised BeforeNavigate2; if not,
  // its own start is let through once.
  void Add(std::function<void()> Step, std::function<void(WaitDropped)> Dropped, bool LoadStarted);
  void NavigationStarted();
  void Completed();
  void DropAll(WaitDropped Reason);
  size_t Count() const { return FWaits.size(); }

private:
  struct Wait {
    uint64_t Id;
    std::function<void()> Step;
    std::function<void(WaitDropped)> Dropped;
    bool AwaitStart;
    IWaitClock* Clock;
    uint64_t Timer;
  };
  void Drop(uint64_t Id, WaitDropped Reason);

  IWaitClock* FClock;
  std::vector<Wait> FWaits;
  uint64_t FNextId = 1;
  // Timers that fire after the list went find it gone.
  std::shared_ptr<int> FAlive = std::make_shared<int>(0);
};

}  // namespace vorlane::browser
