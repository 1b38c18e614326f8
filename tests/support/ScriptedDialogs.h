#pragma once
// Dialogs for tests: every request is recorded, answers come from queues the test fills
// (or a cautious default when a queue is empty). Callbacks run at once, or, in deferred
// mode, when the test says so, to exercise code that must not assume a synchronous answer.
#include "platform/Dialogs.h"

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vorlane::test {

class ScriptedDialogs : public platform::IDialogs {
public:
  enum class CallType { Message, InputBox, OpenFile, SaveFile };
  struct Call {
    CallType Type;
    platform::MessageKind Kind = platform::MessageKind::Information;  // messages only
    std::string Caption;  // caption or title
    std::string Text;     // message text or prompt
    platform::MessageButtons Buttons = platform::MessageButtons::Ok;
    std::string Initial;  // input box text or proposed file
    std::vector<platform::FileFilter> Filters;
    std::string CheckText;  // the check box offered under the text; empty: none
  };

  void ShowMessage(platform::MessageKind Kind, const std::string& Caption, const std::string& Text,
                   platform::MessageButtons Buttons = platform::MessageButtons::Ok,
                   ResultCallback Done = {}) override;
  // Recorded as a Confirmation message with OK/Cancel; the check box's state comes from
  // QueueChecked (unticked without one).
  void Confirm(const std::string& Caption, const std::string& Text, const std::string& Accept,
               const std::string& CheckText, std::function<void(bool, bool)> Done) override;
  void InputBox(const std::string& Caption, const std::string& Prompt, const std::string& Initial,
                TextCallback Done) override;
  // As ShowMessage and InputBox; the check box's state comes from QueueChecked.
  void ShowMessageWithCheck(platform::MessageKind Kind, const std::string& Caption, const std::string& Text,
                            platform::MessageButtons Buttons, const std::string& CheckText,
                            std::function<void(platform::MessageResult, bool)> Done) override;
  void InputBoxWithCheck(const std::string& Caption, const std::string& Prompt, const std::string& Initial,
                         const std::string& CheckText,
                         std::function<void(std::optional<std::string>, bool)> Done) override;
  void OpenFile(const std::string& Title, const std::string& Start,
                const std::vector<platform::FileFilter>& Filters, TextCallback Done) override;
  void SaveFile(const std::string& Title, const std::string& Start,
                const std::vector<platform::FileFilter>& Filters, TextCallback Done) override;

  // Answers for the next message boxes, in order. Without one: Ok for Ok boxes, Cancel for
  // OK/Cancel, No for Yes/No.
  void QueueResult(platform::MessageResult Result) { FResults.push_back(Result); }
  void QueueChecked(bool Checked) { FChecks.push_back(Checked); }
  // Answers for the next input boxes and file dialogs, in order. Without one: cancelled.
  void QueueText(std::optional<std::string> Text) { FTexts.push_back(std::move(Text)); }

  const std::vector<Call>& Calls() const { return FCalls; }
  // The texts of the message boxes shown so far, of one kind or of all kinds.
  std::vector<std::string> MessageTexts() const;
  std::vector<std::string> MessageTexts(platform::MessageKind Kind) const;
  void Clear() { FCalls.clear(); }

  // Deferred mode: answers wait until AnswerNext or AnswerAll.
  void SetDeferred(bool Deferred) { FDeferred = Deferred; }
  std::size_t Pending() const { return FPending.size(); }
  void AnswerNext();
  void AnswerAll();

private:
  void Deliver(std::function<void()> Answer);
  platform::MessageResult NextResult(platform::MessageButtons Buttons);
  std::optional<std::string> NextText();
  bool NextChecked();

  std::vector<Call> FCalls;
  std::deque<platform::MessageResult> FResults;
  std::deque<bool> FChecks;
  std::deque<std::optional<std::string>> FTexts;
  bool FDeferred = false;
  std::deque<std::function<void()>> FPending;
};

}  // namespace vorlane::test
