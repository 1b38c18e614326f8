#pragma once
// What one page tells the history: each new document it commits is a visit, its title
// follows when it arrives, and a load that fails takes its visit back. Error pages and
// same-document jumps are no visits (the engine does not report them as documents).
// A page may retitle itself a thousand times a second (tickers, hostile pages): the title
// is written at once, then at most once a second, the latest one when the second is over.
#include "browser/PageWaits.h"
#include "platform/HistorySink.h"

#include <cstdint>
#include <optional>
#include <string>

namespace vorlane::browser {

class TVisitRecorder {
public:
  static constexpr unsigned TitleIntervalSeconds = 1;

  explicit TVisitRecorder(IWaitClock& Clock = MainLoopClock()) : FClock(Clock) {}
  // A title still held goes with the page: at most its last second of retitling.
  ~TVisitRecorder() { EndInterval(); }
  TVisitRecorder(const TVisitRecorder&) = delete;
  TVisitRecorder& operator=(const TVisitRecorder&) = delete;

  // No sink: nothing is recorded.
  void SetSink(platform::IHistorySink* Sink) { FSink = Sink; }

  void DocumentCommitted(const std::string& Url, bool ErrorPage, const std::string& Title);
  void TitleChanged(const std::string& Title);
  // Committed: the failed load had committed its document (see IWebEngineEvents).
  void NavigateError(const std::string& Url, bool Committed);

  int64_t CurrentVisit() const { return FVisit; }

private:
  void WriteTitle(const std::string& Title);
  void IntervalOver();
  void EndInterval();

  IWaitClock& FClock;
  platform::IHistorySink* FSink = nullptr;
  int64_t FVisit = 0;
  std::string FUrl;
  uint64_t FInterval = 0;  // the clock's timer while titles are held back; 0: none
  std::optional<std::string> FHeldTitle;
};

}  // namespace vorlane::browser
