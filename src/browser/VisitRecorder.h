#pragma once
// What one page tells the history: each new document it commits is a visit, its title
// follows when it arrives, and a load that fails takes its visit back. Error pages and
// same-document jumps are no visits (the engine does not report them as documents).
#include "platform/HistorySink.h"

#include <cstdint>
#include <string>

namespace vorlane::browser {

class TVisitRecorder {
public:
  // No sink: nothing is recorded.
  void SetSink(platform::IHistorySink* Sink) { FSink = Sink; }

  void DocumentCommitted(const std::string& Url, bool ErrorPage, const std::string& Title);
  void TitleChanged(const std::string& Title);
  // Committed: the failed load had committed its document (see IWebEngineEvents).
  void NavigateError(const std::string& Url, bool Committed);

  int64_t CurrentVisit() const { return FVisit; }

private:
  platform::IHistorySink* FSink = nullptr;
  int64_t FVisit = 0;
  std::string FUrl;
};

}  // namespace vorlane::browser
