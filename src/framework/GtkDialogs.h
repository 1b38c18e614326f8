#pragma once
// The program's dialogs: GTK message boxes, the input box and file choosers, modal over
// one parent window. Every answer arrives through the caller's callback, once; nothing
// runs a nested loop. Texts are shown as plain text: they often come from pages and files.
#include "platform/Dialogs.h"

#include <gtkmm/filefilter.h>
#include <gtkmm/window.h>
#include <sigc++/connection.h>

#include <functional>
#include <memory>
#include <vector>

namespace vorlane::framework {

// A chooser's filter: "*.ext" patterns match the extension in any letter case.
Glib::RefPtr<Gtk::FileFilter> MakeFileFilter(const platform::FileFilter& Filter);

class GtkDialogs final : public platform::IDialogs {
public:
  explicit GtkDialogs(Gtk::Window& Parent);
  // A dialog still open now goes without an answer: whoever asked goes with us.
  ~GtkDialogs() override;
  GtkDialogs(const GtkDialogs&) = delete;
  GtkDialogs& operator=(const GtkDialogs&) = delete;

  void ShowMessage(platform::MessageKind Kind, const std::string& Caption, const std::string& Text,
                   platform::MessageButtons Buttons = platform::MessageButtons::Ok,
                   ResultCallback Done = {}) override;
  void Confirm(const std::string& Caption, const std::string& Text, const std::string& Accept,
               const std::string& CheckText, std::function<void(bool, bool)> Done) override;
  void Ask(const std::string& Caption, const std::string& Text, const std::string& Accept, const std::string& Reject,
           std::function<void(bool)> Done) override;
  void InputBox(const std::string& Caption, const std::string& Prompt, const std::string& Initial,
                TextCallback Done) override;
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

  // The dialogs waiting for an answer, oldest first.
  std::vector<Gtk::Window*> OpenDialogs() const;

private:
  struct Pending {
    std::unique_ptr<Gtk::Window> Window;
    bool Answered = false;
  };

  Pending& Track(std::unique_ptr<Gtk::Window> Window);
  // Hides the dialog and frees it once the current event is done: freeing a dialog inside
  // its own response handler is not safe. False when it was answered already.
  bool Finish(Pending& P);
  // The question box: Accept and Reject buttons, a check box when CheckText is not empty.
  void Question(const std::string& Caption, const std::string& Text, const std::string& Accept,
                const std::string& Reject, const std::string& CheckText, std::function<void(bool, bool)> Done);
  void ChooseFile(bool Save, const std::string& Title, const std::string& Start,
                  const std::vector<platform::FileFilter>& Filters, TextCallback Done);

  Gtk::Window& FParent;
  std::vector<std::unique_ptr<Pending>> FPending;
  sigc::connection FReap;
};

}  // namespace vorlane::framework
