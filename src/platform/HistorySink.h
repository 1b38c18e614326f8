#pragma once
// Where a page reports the visits it makes. The history store implements it; the page
// window holds it without knowing what keeps the visits.
#include <cstdint>
#include <string>

namespace vorlane::platform {

class IHistorySink {
public:
  virtual ~IHistorySink() = default;
  // A main-frame document committed at Url. Returns the visit's id, 0 when nothing was
  // recorded (the store is unavailable or the write failed).
  virtual int64_t AddVisit(const std::string& Url, const std::string& Title) = 0;
  virtual void SetVisitTitle(int64_t Visit, const std::string& Title) = 0;
  // The load behind the visit failed after all.
  virtual void RemoveVisit(int64_t Visit) = 0;
};

}  // namespace vorlane::platform
