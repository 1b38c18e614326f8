#include "browser/VisitRecorder.h"

namespace vorlane::browser {

void TVisitRecorder::DocumentCommitted(const std::string& Url, bool ErrorPage, const std::string& Title) {
  FVisit = 0;
  FUrl = Url;
  if (!FSink || ErrorPage) return;
  FVisit = FSink->AddVisit(Url, Title);
}

void TVisitRecorder::TitleChanged(const std::string& Title) {
  // The engine clears the title when the next load starts, before that load commits: an
  // empty title must not wipe the previous visit's.
  if (FSink && FVisit && !Title.empty()) FSink->SetVisitTitle(FVisit, Title);
}

void TVisitRecorder::NavigateError(const std::string& Url, bool Committed) {
  // A failure after the commit: the document never really arrived. One before its commit
  // (a reload while the server is down) belongs to no visit of ours: the visit we hold is
  // the earlier load's, which succeeded.
  if (!FSink || !FVisit || !Committed || Url != FUrl) return;
  FSink->RemoveVisit(FVisit);
  FVisit = 0;
}

}  // namespace vorlane::browser
