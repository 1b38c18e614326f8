#pragma once
// Where a page is on its way to closing, so that only the user's answer to the page's
// question about leaving decides. WebKit's own close after it asked the page is not to be
// trusted alone: it waits only briefly for the page's reply and then closes the page
// anyway, also after the user chose to stay or while a second request waits behind the
// question. The engine therefore believes its close only once the page's work queued
// before a check went through (a script run on the page comes back), and after an answer
// ignores every close of WebKit's until such a check came back.
//
// The engine feeds this what happens and carries out the steps returned, in the order
// Check, Ask, Close (Close last: it may destroy the engine).
#include <cstdint>
#include <optional>

namespace vorlane::browser {

class TPageClosing {
public:
  struct Steps {
    bool Ask = false;                // ask the page (WebKit's try-close)
    bool Close = false;              // the page agreed: raise WindowClosing
    std::optional<uint64_t> Check;   // run a check on the page; report it to CheckDone
  };

  // The user asked to close the page. A request while an earlier one or the page's
  // question is under way asks nothing: the answer to come stands for both.
  Steps CloseAsked();
  // WebKit says the page may close. DuringAsk: inside the engine's own ask (the page had
  // nothing to run, so there is nothing to wait for).
  Steps EngineClosed(bool DuringAsk);
  // The page asks whether to leave it (for a close or a navigation); the number is for
  // Answered.
  uint64_t QuestionShown();
  // The user answered question Number; Leave: leave the page.
  Steps Answered(uint64_t Number, bool Leave);
  // Check Number came back (also when it failed, or when the engine gave up waiting for a
  // page that hangs: a page that cannot reply does not keep itself open).
  Steps CheckDone(uint64_t Number);
  // The page's process ended or stopped answering: a wanted close goes through now and an
  // open question is dropped (its answer comes to nothing).
  Steps ProcessGone();

  // A close was asked for and not settled yet.
  bool CloseUnderWay() const;

private:
  enum class State { Idle, Asking, Checking, Question, Settling };
  State FState = State::Idle;
  bool FCloseWanted = false;  // the open question also answers a close request
  bool FAgain = false;        // a close was asked while the last answer settles
  uint64_t FRound = 0;        // the latest question or check; older ones are out of date
};

}  // namespace vorlane::browser
