#include "support/ScriptedDialogs.h"

namespace vorlane::test {

using platform::MessageButtons;
using platform::MessageKind;
using platform::MessageResult;

void ScriptedDialogs::Deliver(std::function<void()> Answer) {
  if (FDeferred)
    FPending.push_back(std::move(Answer));
  else
    Answer();
}

MessageResult ScriptedDialogs::NextResult(MessageButtons Buttons) {
  if (!FResults.empty()) {
    MessageResult R = FResults.front();
    FResults.pop_front();
    return R;
  }
  switch (Buttons) {
    case MessageButtons::OkCancel: return MessageResult::Cancel;
    case MessageButtons::YesNo: return MessageResult::No;
    case MessageButtons::Ok: break;
  }
  return MessageResult::Ok;
}

std::optional<std::string> ScriptedDialogs::NextText() {
  if (FTexts.empty()) return std::nullopt;
  auto T = std::move(FTexts.front());
  FTexts.pop_front();
  return T;
}

void ScriptedDialogs::ShowMessage(MessageKind Kind, const std::string& Caption, const std::string& Text,
                                  MessageButtons Buttons, ResultCallback Done) {
  FCalls.push_back({CallType::Message, Kind, Caption, Text, Buttons, {}, {}});
  MessageResult R = NextResult(Buttons);
  if (Done) Deliver([Done, R] { Done(R); });
}

void ScriptedDialogs::Confirm(const std::string& Caption, const std::string& Text, const std::string&,
                              const std::string&, std::function<void(bool, bool)> Done) {
  FCalls.push_back({CallType::Message, MessageKind::Confirmation, Caption, Text, MessageButtons::OkCancel, {}, {}});
  bool Accepted = NextResult(MessageButtons::OkCancel) == MessageResult::Ok;
  bool Checked = NextChecked();
  if (Done) Deliver([Done, Accepted, Checked] { Done(Accepted, Checked); });
}

bool ScriptedDialogs::NextChecked() {
  if (FChecks.empty()) return false;
  bool Checked = FChecks.front();
  FChecks.pop_front();
  return Checked;
}

void ScriptedDialogs::ShowMessageWithCheck(MessageKind Kind, const std::string& Caption, const std::string& Text,
                                           MessageButtons Buttons, const std::string& CheckText,
                                           std::function<void(MessageResult, bool)> Done) {
  FCalls.push_back({CallType::Message, Kind, Caption, Text, Buttons, {}, {}, CheckText});
  MessageResult R = NextResult(Buttons);
  bool Checked = !CheckText.empty() && NextChecked();
  if (Done) Deliver([Done, R, Checked] { Done(R, Checked); });
}

void ScriptedDialogs::InputBoxWithCheck(const std::string& Caption, const std::string& Prompt,
                                        const std::string& Initial, const std::string& CheckText,
                                        std::function<void(std::optional<std::string>, bool)> Done) {
  FCalls.push_back({CallType::InputBox, MessageKind::Information, Caption, Prompt, MessageButtons::Ok, Initial, {},
                    CheckText});
  auto T = NextText();
  bool Checked = !CheckText.empty() && NextChecked();
  if (Done) Deliver([Done, T, Checked] { Done(T, Checked); });
}

void ScriptedDialogs::InputBox(const std::string& Caption, const std::string& Prompt,
                               const std::string& Initial, TextCallback Done) {
  FCalls.push_back({CallType::InputBox, MessageKind::Information, Caption, Prompt, MessageButtons::Ok, Initial, {}});
  auto T = NextText();
  if (Done) Deliver([Done, T] { Done(T); });
}

void ScriptedDialogs::OpenFile(const std::string& Title, const std::string& Start,
                               const std::vector<platform::FileFilter>& Filters, TextCallback Done) {
  FCalls.push_back({CallType::OpenFile, MessageKind::Information, Title, {}, MessageButtons::Ok, Start, Filters});
  auto T = NextText();
  if (Done) Deliver([Done, T] { Done(T); });
}

void ScriptedDialogs::SaveFile(const std::string& Title, const std::string& Start,
                               const std::vector<platform::FileFilter>& Filters, TextCallback Done) {
  FCalls.push_back({CallType::SaveFile, MessageKind::Information, Title, {}, MessageButtons::Ok, Start, Filters});
  auto T = NextText();
  if (Done) Deliver([Done, T] { Done(T); });
}

std::vector<std::string> ScriptedDialogs::MessageTexts() const {
  std::vector<std::string> Texts;
  for (const Call& C : FCalls)
    if (C.Type == CallType::Message) Texts.push_back(C.Text);
  return Texts;
}

std::vector<std::string> ScriptedDialogs::MessageTexts(MessageKind Kind) const {
  std::vector<std::string> Texts;
  for (const Call& C : FCalls)
    if (C.Type == CallType::Message && C.Kind == Kind) Texts.push_back(C.Text);
  return Texts;
}

void ScriptedDialogs::AnswerNext() {
  if (FPending.empty()) return;
  auto Answer = std::move(FPending.front());
  FPending.pop_front();
  Answer();
}

void ScriptedDialogs::AnswerAll() {
  while (!FPending.empty()) AnswerNext();
}

}  // namespace vorlane::test
