#include "browser/VisitRecorder.h"

#include <utility>

namespace vorlane::browser {

void TVisitRecorder::DocumentCommitted(const std::string& Url, bool ErrorPage, const std::string& Title) {
  // The document left keeps the last title it showed.
  if (auto Held = std::exchange(FHeldTitle, std::nullopt); Held && FSink && FVisit) FSink->SetVisitTitle(FVisit, *Held);
  EndInterval();
  FVisit = 0;
  FUrl = Url;
  if (!FSink || ErrorPage) return;
  FVisit = FSink->AddVisit(Url, Title);
}

void TVisitRecorder::TitleChanged(const std::string& Title) {
  // The engine clears the title when the next load starts, before that load commits: an
  // empty title must not wipe the previous visit's.
  if (!FSink || !FVisit || Title.empty()) return;
  if (FInterval) {
    FHeldTitle = Title;
    return;
  }
  WriteTitle(Title);
}

void TVisitRecorder::WriteTitle(const std::string& Title) {
  FSink->SetVisitTitle(FVisit, Title);
  FInterval = FClock.After(TitleIntervalSeconds, [this] { IntervalOver(); });
}

void TVisitRecorder::IntervalOver() {
  FInterval = 0;
  if (auto Held = std::exchange(FHeldTitle, std::nullopt); Held && FSink && FVisit) WriteTitle(*Held);
}

void TVisitRecorder::EndInterval() {
  if (FInterval) FClock.Cancel(std::exchange(FInterval, 0));
  FHeldTitle.reset();
}

void TVisitRecorder::NavigateError(const std::string& Url, bool Committed) {
  // A failure after the commit: the document never really arrived. One before its commit
  // (a reload while the server is down) belongs to no visit of ours: the visit we hold is
  // the earlier load's, which succeeded.
  if (!FSink || !FVisit || !Committed || Url != FUrl) return;
  EndInterval();
  FSink->RemoveVisit(FVisit);
  FVisit = 0;
}

}  // namespace vorlane::browser
