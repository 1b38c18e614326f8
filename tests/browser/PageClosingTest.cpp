#include "browser/PageClosing.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace vorlane::browser {
namespace {

// What happens to a page, in order, as the engine reports it.
enum class Op {
  CloseAsked,      // the user asks to close
  EngineClosed,    // WebKit's close, later
  ClosedAtOnce,    // WebKit's close inside the ask
  Question,        // the page asks whether to leave
  Leave,           // the user answers the latest question
  Stay,
  ChecksBack,      // every check run so far comes back
  ProcessGone,
};

struct Outcome {
  int Asks = 0;
  int Closes = 0;
};

Outcome Play(const std::vector<Op>& Ops) {
  TPageClosing Closing;
  Outcome Result;
  std::vector<uint64_t> Checks;
  uint64_t Question = 0;
  auto Take = [&](TPageClosing::Steps S) {
    if (S.Check) Checks.push_back(*S.Check);
    Result.Asks += S.Ask;
    Result.Closes += S.Close;
  };
  for (Op O : Ops) {
    switch (O) {
      case Op::CloseAsked: Take(Closing.CloseAsked()); break;
      case Op::EngineClosed: Take(Closing.EngineClosed(false)); break;
      case Op::ClosedAtOnce: Take(Closing.EngineClosed(true)); break;
      case Op::Question: Question = Closing.QuestionShown(); break;
      case Op::Leave: Take(Closing.Answered(Question, true)); break;
      case Op::Stay: Take(Closing.Answered(Question, false)); break;
      case Op::ChecksBack:
        for (auto Pending = std::exchange(Checks, {}); uint64_t N : Pending) Take(Closing.CheckDone(N));
        break;
      case Op::ProcessGone: Take(Closing.ProcessGone()); break;
    }
  }
  return Result;
}

TEST(PageClosing, OnlyTheUsersAnswerClosesAPageThatAsks) {
  using enum Op;
  struct Case {
    const char* Name;
    std::vector<Op> Ops;
    Outcome Expected;
  } Cases[] = {
      {"nothing to run: closes at once", {CloseAsked, ClosedAtOnce}, {1, 1}},
      {"no question by the time the check is back", {CloseAsked, EngineClosed, ChecksBack}, {1, 1}},
      {"stay, then WebKit closes after all", {CloseAsked, Question, Stay, EngineClosed, ChecksBack}, {1, 0}},
      {"WebKit closes before the page asked, the user stays",
       {CloseAsked, EngineClosed, Question, Stay, EngineClosed, ChecksBack}, {1, 0}},
      {"a second close waits for the same answer", {CloseAsked, Question, CloseAsked, Leave, EngineClosed, ChecksBack},
       {1, 1}},
      {"a close during a question about a navigation: leave", {Question, CloseAsked, Leave}, {0, 1}},
      {"a close during a question about a navigation: stay", {Question, CloseAsked, Stay, ChecksBack}, {0, 0}},
      {"asked again right after a stay: asks once the reply is through",
       {CloseAsked, Question, Stay, CloseAsked, ChecksBack}, {2, 0}},
      {"the process ends while the question is open", {CloseAsked, Question, ProcessGone, Leave, ChecksBack}, {1, 1}},
      {"the page's script closes its window", {EngineClosed}, {0, 1}},
  };
  for (const Case& C : Cases) {
    Outcome Got = Play(C.Ops);
    EXPECT_EQ(Got.Asks, C.Expected.Asks) << C.Name;
    EXPECT_EQ(Got.Closes, C.Expected.Closes) << C.Name;
  }
}

}  // namespace
}  // namespace vorlane::browser
