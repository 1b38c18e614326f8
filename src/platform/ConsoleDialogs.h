#pragma once
// Dialogs for command-line tools: every message is printed to a stream (stderr by
// default), questions get the cautious answer and file or text requests are cancelled,
// since nobody may be there to answer them.
#include "platform/Dialogs.h"

#include <cstdio>

namespace vorlane::platform {

class ConsoleDialogs : public IDialogs {
public:
  explicit ConsoleDialogs(std::FILE* Out = stderr) : FOut(Out) {}

  void ShowMessage(MessageKind Kind, const std::string& Caption, const std::string& Text,
                   MessageButtons Buttons = MessageButtons::Ok, ResultCallback Done = {}) override;
  void InputBox(const std::string& Caption, const std::string& Prompt, const std::string& Initial,
                TextCallback Done) override;
  void OpenFile(const std::string& Title, const std::string& Start,
                const std::vector<FileFilter>& Filters, TextCallback Done) override;
  void SaveFile(const std::string& Title, const std::string& Start,
                const std::vector<FileFilter>& Filters, TextCallback Done) override;

  // The message text as a console shows it: the old "\n\r" and "\r\n" pairs become one
  // line break, and the text ends with one.
  static std::string ConsoleText(const std::string& Text);

private:
  std::FILE* FOut;
};

}  // namespace vorlane::platform
