#pragma once
// Steps that wait for the page to finish loading (save, highlight). Each is a one-shot:
// run at the next DocumentComplete, or dropped when another navigation starts, when the
// user stops the page, after a time limit, or with the control. Never a nested loop.
#include <sigc++/connection.h>

#include <cstdint>
#include <functional>
#include <vector>

namespace vorlane::browser {

class TPageWaits {
public:
  static constexpr unsigned LimitSeconds = 60;

  TPageWaits() = default;
  ~TPageWaits() { DropAll(); }
  TPageWaits(const TPageWaits&) = delete;
  TPageWaits& operator=(const TPageWaits&) = delete;

  // LoadStarted: the load being waited for has already raised BeforeNavigate2; if not,
  // its own start is let through once.
  void Add(std::function<void()> Step, bool LoadStarted);
  void NavigationStarted();
  void Completed();
  void DropAll();
  size_t Count() const { return FWaits.size(); }

private:
  struct Wait {
    uint64_t Id;
    std::function<void()> Step;
    bool AwaitStart;
    sigc::connection Timeout;
  };
  void Drop(uint64_t Id);

  std::vector<Wait> FWaits;
  uint64_t FNextId = 1;
};

}  // namespace vorlane::browser
