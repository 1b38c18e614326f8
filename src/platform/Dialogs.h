#pragma once
// Message boxes, the input box and file dialogs as the system asks for them. Every message
// the user sees goes through this interface, so the same code shows GTK dialogs in the
// program, prints on a console in the command-line tools and is scripted in tests.
// Answers arrive through callbacks: the GUI never blocks in a nested loop.
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vorlane::platform {

enum class MessageKind { Information, Warning, Error, Confirmation };
enum class MessageButtons { Ok, OkCancel, YesNo };
enum class MessageResult { Ok, Cancel, Yes, No };

struct FileFilter {
  std::string Name;                   // "Html文件(*.htm,*.html)"
  std::vector<std::string> Patterns;  // {"*.htm", "*.html"}
};

// Parses the old "Name|*.a;*.b|Name2|*.*" filter notation.
std::vector<FileFilter> ParseFileFilter(const std::string& Filter);

class IDialogs {
public:
  using ResultCallback = std::function<void(MessageResult)>;
  using TextCallback = std::function<void(std::optional<std::string>)>;  // nullopt: cancelled

  virtual ~IDialogs() = default;

  virtual void ShowMessage(MessageKind Kind, const std::string& Caption, const std::string& Text,
                           MessageButtons Buttons = MessageButtons::Ok,
                           ResultCallback Done = {}) = 0;
  // A question whose accepting button reads Accept (the other "取消"), with a check box
  // reading CheckText ("不再询问"; none when empty); Done(accepted, checked). The default is an OK/Cancel
  // box whose check box is never ticked.
  virtual void Confirm(const std::string& Caption, const std::string& Text, const std::string& Accept,
                       const std::string& CheckText, std::function<void(bool, bool)> Done) {
    (void)Accept;
    (void)CheckText;
    ShowMessage(MessageKind::Confirmation, Caption, Text, MessageButtons::OkCancel,
                [Done = std::move(Done)](MessageResult Result) {
                  if (Done) Done(Result == MessageResult::Ok, false);
                });
  }
  // A question whose two buttons read Accept (the default) and Reject; Done(accepted).
  // Closing the box rejects. The default is Confirm's box without its check box.
  virtual void Ask(const std::string& Caption, const std::string& Text, const std::string& Accept,
                   const std::string& Reject, std::function<void(bool)> Done) {
    (void)Reject;
    Confirm(Caption, Text, Accept, "", [Done = std::move(Done)](bool Accepted, bool) {
      if (Done) Done(Accepted);
    });
  }
  virtual void InputBox(const std::string& Caption, const std::string& Prompt,
                        const std::string& Initial, TextCallback Done) = 0;
  // The message box and the input box with a check box under the text reading CheckText;
  // Done gets the answer and whether the box was ticked. The defaults show the plain
  // boxes, whose check box is never ticked.
  virtual void ShowMessageWithCheck(MessageKind Kind, const std::string& Caption, const std::string& Text,
                                    MessageButtons Buttons, const std::string& CheckText,
                                    std::function<void(MessageResult, bool)> Done) {
    (void)CheckText;
    ShowMessage(Kind, Caption, Text, Buttons, [Done = std::move(Done)](MessageResult Result) {
      if (Done) Done(Result, false);
    });
  }
  virtual void InputBoxWithCheck(const std::string& Caption, const std::string& Prompt, const std::string& Initial,
                                 const std::string& CheckText,
                                 std::function<void(std::optional<std::string>, bool)> Done) {
    (void)CheckText;
    InputBox(Caption, Prompt, Initial, [Done = std::move(Done)](std::optional<std::string> Text) {
      if (Done) Done(std::move(Text), false);
    });
  }
  // Start is the proposed file (folder and name); the answer is the chosen path.
  virtual void OpenFile(const std::string& Title, const std::string& Start,
                        const std::vector<FileFilter>& Filters, TextCallback Done) = 0;
  virtual void SaveFile(const std::string& Title, const std::string& Start,
                        const std::vector<FileFilter>& Filters, TextCallback Done) = 0;
};

}  // namespace vorlane::platform
