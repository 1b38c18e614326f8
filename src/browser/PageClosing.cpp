#include "browser/PageClosing.h"

#include <utility>

namespace vorlane::browser {

TPageClosing::Steps TPageClosing::CloseAsked() {
  switch (FState) {
    case State::Idle:
      FState = State::Asking;
      return {.Ask = true};
    case State::Asking:
    case State::Checking: break;
    case State::Question: FCloseWanted = true; break;
    // The page's reply to the last question is still on its way; asked again once it came.
    case State::Settling: FAgain = true; break;
  }
  return {};
}

TPageClosing::Steps TPageClosing::EngineClosed(bool DuringAsk) {
  switch (FState) {
    case State::Idle:  // the page's script closed its window
      return {.Close = true};
    case State::Asking:
      if (DuringAsk) {
        FState = State::Idle;
        return {.Close = true};
      }
      // Either the page's reply or WebKit giving up waiting: the page may be about to ask.
      FState = State::Checking;
      return {.Check = ++FRound};
    case State::Checking:
    case State::Question:
    case State::Settling: break;
  }
  return {};
}

uint64_t TPageClosing::QuestionShown() {
  FCloseWanted = FState == State::Asking || FState == State::Checking || (FState == State::Settling && FAgain);
  FAgain = false;
  FState = State::Question;
  return ++FRound;
}

TPageClosing::Steps TPageClosing::Answered(uint64_t Number, bool Leave) {
  if (FState != State::Question || Number != FRound) return {};
  const bool Close = Leave && std::exchange(FCloseWanted, false);
  FState = State::Settling;
  return {.Close = Close, .Check = ++FRound};
}

TPageClosing::Steps TPageClosing::CheckDone(uint64_t Number) {
  if (Number != FRound) return {};
  ++FRound;  // a check comes back once
  if (FState == State::Checking) {
    FState = State::Idle;
    return {.Close = true};
  }
  if (FState == State::Settling) {
    FState = State::Idle;
    if (std::exchange(FAgain, false)) return CloseAsked();
  }
  return {};
}

TPageClosing::Steps TPageClosing::ProcessGone() {
  const bool Wanted = CloseUnderWay();
  FState = State::Idle;
  FCloseWanted = FAgain = false;
  ++FRound;
  return {.Close = Wanted};
}

bool TPageClosing::CloseUnderWay() const {
  switch (FState) {
    case State::Idle: return false;
    case State::Asking:
    case State::Checking: return true;
    case State::Question: return FCloseWanted;
    case State::Settling: return FAgain;
  }
  return false;
}

}  // namespace vorlane::browser
