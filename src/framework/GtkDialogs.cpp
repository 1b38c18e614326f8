#include "framework/GtkDialogs.h"

#include <giomm/file.h>
#include <glibmm/main.h>
#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/checkbutton.h>
#include <gtkmm/entry.h>
#include <gtkmm/filechooserdialog.h>
#include <gtkmm/filefilter.h>
#include <gtkmm/label.h>
#include <gtkmm/messagedialog.h>
#include <gtkmm/shortcutcontroller.h>

#include <algorithm>
#include <filesystem>

namespace vorlane::framework {

using platform::MessageButtons;
using platform::MessageKind;
using platform::MessageResult;

namespace {

Gtk::MessageType MessageTypeOf(MessageKind Kind) {
  switch (Kind) {
    case MessageKind::Information: return Gtk::MessageType::INFO;
    case MessageKind::Warning: return Gtk::MessageType::WARNING;
    case MessageKind::Error: return Gtk::MessageType::ERROR;
    case MessageKind::Confirmation: return Gtk::MessageType::QUESTION;
  }
  return Gtk::MessageType::OTHER;
}

// Our own captions: the box reads Chinese whatever the desktop's language.
void AddButtons(Gtk::Dialog& D, MessageButtons Buttons) {
  switch (Buttons) {
    case MessageButtons::Ok: D.add_button("确定", Gtk::ResponseType::OK); break;
    case MessageButtons::OkCancel:
      D.add_button("确定", Gtk::ResponseType::OK);
      D.add_button("取消", Gtk::ResponseType::CANCEL);
      break;
    case MessageButtons::YesNo:
      D.add_button("是", Gtk::ResponseType::YES);
      D.add_button("否", Gtk::ResponseType::NO);
      break;
  }
  D.set_default_response(Buttons == MessageButtons::YesNo ? Gtk::ResponseType::YES : Gtk::ResponseType::OK);
}

// The spacing of GNOME's own alert boxes: the text well clear of the edges and of the
// buttons, and a box wide enough for its whole caption in the title bar (its buttons
// included), so that neither is cut.
void SpaceOut(Gtk::MessageDialog& D, const std::string& Caption) {
  constexpr int Side = 30, Top = 24, Bottom = 24, TitleBarButtons = 120, Narrowest = 360;
  Gtk::Box* Area = D.get_message_area();
  Area->set_margin_start(Side);
  Area->set_margin_end(Side);
  Area->set_margin_top(Top);
  Area->set_margin_bottom(Bottom);
  Area->set_spacing(12);
  for (Gtk::Widget* C = Area->get_first_child(); C; C = C->get_next_sibling())
    if (auto* Label = dynamic_cast<Gtk::Label*>(C)) {
      Label->set_wrap(true);
      Label->set_wrap_mode(Pango::WrapMode::WORD_CHAR);
      Label->set_max_width_chars(60);
    }
  auto Layout = D.create_pango_layout(Caption);
  Layout->set_font_description(Pango::FontDescription("Bold"));  // title bars set captions bold
  int Width = 0, Height = 0;
  Layout->get_pixel_size(Width, Height);
  D.set_default_size(std::max(Narrowest, Width + 2 * Side + TitleBarButtons), -1);
}

// Anything but the affirmative button, closing the window included, is the negative
// answer; a box with one button can only be acknowledged.
MessageResult ResultOf(MessageButtons Buttons, int Response) {
  switch (Buttons) {
    case MessageButtons::Ok: return MessageResult::Ok;
    case MessageButtons::OkCancel:
      return Response == Gtk::ResponseType::OK ? MessageResult::Ok : MessageResult::Cancel;
    case MessageButtons::YesNo:
      return Response == Gtk::ResponseType::YES ? MessageResult::Yes : MessageResult::No;
  }
  return MessageResult::Cancel;
}

void MakeModal(Gtk::Window& W, Gtk::Window& Parent, const std::string& Title) {
  W.set_transient_for(Parent);
  W.set_modal(true);
  W.set_title(Title);  // window titles are never markup
  // Closing hides: the dialog is freed by its owner, not by GTK.
  W.set_hide_on_close(true);
}

}  // namespace

GtkDialogs::GtkDialogs(Gtk::Window& Parent) : FParent(Parent) {}

GtkDialogs::~GtkDialogs() {
  FReap.disconnect();
  for (auto& P : FPending) P->Window->hide();
}

std::vector<Gtk::Window*> GtkDialogs::OpenDialogs() const {
  std::vector<Gtk::Window*> Open;
  for (auto& P : FPending)
    if (!P->Answered) Open.push_back(P->Window.get());
  return Open;
}

GtkDialogs::Pending& GtkDialogs::Track(std::unique_ptr<Gtk::Window> Window) {
  FPending.push_back(std::make_unique<Pending>(Pending{std::move(Window)}));
  return *FPending.back();
}

bool GtkDialogs::Finish(Pending& P) {
  if (P.Answered) return false;
  P.Answered = true;
  P.Window->hide();
  if (!FReap.connected())
    FReap = Glib::signal_idle().connect([this] {
      std::erase_if(FPending, [](const auto& Q) { return Q->Answered; });
      return false;
    });
  return true;
}

void GtkDialogs::ShowMessage(MessageKind Kind, const std::string& Caption, const std::string& Text,
                             MessageButtons Buttons, ResultCallback Done) {
  ShowMessageWithCheck(Kind, Caption, Text, Buttons, {}, [Done = std::move(Done)](MessageResult Result, bool) {
    if (Done) Done(Result);
  });
}

void GtkDialogs::ShowMessageWithCheck(MessageKind Kind, const std::string& Caption, const std::string& Text,
                                      MessageButtons Buttons, const std::string& CheckText,
                                      std::function<void(MessageResult, bool)> Done) {
  auto Dialog = std::make_unique<Gtk::MessageDialog>(FParent, Text, false, MessageTypeOf(Kind),
                                                      Gtk::ButtonsType::NONE, true);
  MakeModal(*Dialog, FParent, Caption);
  AddButtons(*Dialog, Buttons);
  SpaceOut(*Dialog, Caption);
  Gtk::CheckButton* Check = nullptr;
  if (!CheckText.empty()) {
    Check = Gtk::make_managed<Gtk::CheckButton>(CheckText);
    Dialog->get_message_area()->append(*Check);
  }
  auto* D = Dialog.get();
  Pending& P = Track(std::move(Dialog));
  D->signal_response().connect([this, &P, Buttons, Check, Done = std::move(Done)](int Response) {
    if (Finish(P) && Done) Done(ResultOf(Buttons, Response), Check && Check->get_active());
  });
  D->show();
}

void GtkDialogs::Confirm(const std::string& Caption, const std::string& Text, const std::string& Accept,
                         const std::string& CheckText, std::function<void(bool, bool)> Done) {
  Question(Caption, Text, Accept, "取消", CheckText, std::move(Done));
}

void GtkDialogs::Ask(const std::string& Caption, const std::string& Text, const std::string& Accept,
                     const std::string& Reject, std::function<void(bool)> Done) {
  Question(Caption, Text, Accept, Reject, "", [Done = std::move(Done)](bool Accepted, bool) {
    if (Done) Done(Accepted);
  });
}

void GtkDialogs::Question(const std::string& Caption, const std::string& Text, const std::string& Accept,
                          const std::string& Reject, const std::string& CheckText,
                          std::function<void(bool, bool)> Done) {
  auto Dialog = std::make_unique<Gtk::MessageDialog>(FParent, Text, false, Gtk::MessageType::QUESTION,
                                                      Gtk::ButtonsType::NONE, true);
  MakeModal(*Dialog, FParent, Caption);
  Dialog->add_button(Reject, Gtk::ResponseType::CANCEL);
  Dialog->add_button(Accept, Gtk::ResponseType::OK);
  Dialog->set_default_response(Gtk::ResponseType::OK);
  SpaceOut(*Dialog, Caption);
  auto* Check = Gtk::make_managed<Gtk::CheckButton>(CheckText);
  if (!CheckText.empty()) Dialog->get_message_area()->append(*Check);
  auto* D = Dialog.get();
  Pending& P = Track(std::move(Dialog));
  D->signal_response().connect([this, &P, Check, Done = std::move(Done)](int Response) {
    if (Finish(P) && Done) Done(Response == Gtk::ResponseType::OK, Check->get_active());
  });
  D->show();
}

void GtkDialogs::InputBox(const std::string& Caption, const std::string& Prompt,
                          const std::string& Initial, TextCallback Done) {
  InputBoxWithCheck(Caption, Prompt, Initial, {}, [Done = std::move(Done)](std::optional<std::string> Text, bool) {
    if (Done) Done(std::move(Text));
  });
}

void GtkDialogs::InputBoxWithCheck(const std::string& Caption, const std::string& Prompt,
                                   const std::string& Initial, const std::string& CheckText,
                                   std::function<void(std::optional<std::string>, bool)> Done) {
  auto Window = std::make_unique<Gtk::Window>();
  MakeModal(*Window, FParent, Caption);
  Window->set_resizable(false);
  auto* Box = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::VERTICAL, 8);
  Box->set_margin(12);
  auto* Label = Gtk::make_managed<Gtk::Label>(Prompt);  // plain text
  Label->set_xalign(0);
  Label->set_wrap(true);
  auto* Entry = Gtk::make_managed<Gtk::Entry>();
  Entry->set_text(Initial);
  auto* Buttons = Gtk::make_managed<Gtk::Box>(Gtk::Orientation::HORIZONTAL, 8);
  Buttons->set_halign(Gtk::Align::END);
  auto* Ok = Gtk::make_managed<Gtk::Button>("确定");
  auto* Cancel = Gtk::make_managed<Gtk::Button>("取消");
  Buttons->append(*Ok);
  Buttons->append(*Cancel);
  Box->append(*Label);
  Box->append(*Entry);
  Gtk::CheckButton* Check = nullptr;
  if (!CheckText.empty()) {
    Check = Gtk::make_managed<Gtk::CheckButton>(CheckText);
    Box->append(*Check);
  }
  Box->append(*Buttons);
  Window->set_child(*Box);
  Window->set_default_widget(*Ok);

  auto Controller = Gtk::ShortcutController::create();
  Controller->add_shortcut(Gtk::Shortcut::create(Gtk::KeyvalTrigger::create(GDK_KEY_Escape),
                                                 Gtk::NamedAction::create("window.close")));
  Window->add_controller(Controller);

  auto* W = Window.get();
  Pending& P = Track(std::move(Window));
  auto Answer = std::make_shared<std::function<void(std::optional<std::string>, bool)>>(std::move(Done));
  auto Ticked = [Check] { return Check && Check->get_active(); };
  auto Accept = [this, &P, Entry, Answer, Ticked] {
    if (Finish(P) && *Answer) (*Answer)(std::string(Entry->get_text()), Ticked());
  };
  Ok->signal_clicked().connect(Accept);
  Entry->signal_activate().connect(Accept);
  auto Reject = [this, &P, Answer, Ticked] {
    if (Finish(P) && *Answer) (*Answer)(std::nullopt, Ticked());
  };
  Cancel->signal_clicked().connect(Reject);
  W->signal_close_request().connect(
      [Reject] {
        Reject();
        return true;
      },
      false);
  W->show();
  Entry->grab_focus();
}

void GtkDialogs::OpenFile(const std::string& Title, const std::string& Start,
                          const std::vector<platform::FileFilter>& Filters, TextCallback Done) {
  ChooseFile(false, Title, Start, Filters, std::move(Done));
}

// GTK's save chooser asks before replacing an existing file itself.
void GtkDialogs::SaveFile(const std::string& Title, const std::string& Start,
                          const std::vector<platform::FileFilter>& Filters, TextCallback Done) {
  ChooseFile(true, Title, Start, Filters, std::move(Done));
}

Glib::RefPtr<Gtk::FileFilter> MakeFileFilter(const platform::FileFilter& F) {
  auto Filter = Gtk::FileFilter::create();
  Filter->set_name(F.Name);
  for (const auto& Pattern : F.Patterns) {
    // "*.htm" means any letter case, as on the old platform: a suffix does, a pattern not.
    const std::string Suffix = Pattern.rfind("*.", 0) == 0 ? Pattern.substr(2) : std::string();
    if (!Suffix.empty() && Suffix.find_first_of("*?[]") == std::string::npos) Filter->add_suffix(Suffix);
    else Filter->add_pattern(Pattern);
  }
  return Filter;
}

void GtkDialogs::ChooseFile(bool Save, const std::string& Title, const std::string& Start,
                            const std::vector<platform::FileFilter>& Filters, TextCallback Done) {
  using Action = Gtk::FileChooser::Action;
  auto Dialog = std::make_unique<Gtk::FileChooserDialog>(FParent, Title, Save ? Action::SAVE : Action::OPEN);
  MakeModal(*Dialog, FParent, Title);
  Dialog->add_button("取消", Gtk::ResponseType::CANCEL);
  Dialog->add_button(Save ? "保存" : "打开", Gtk::ResponseType::ACCEPT);
  Dialog->set_default_response(Gtk::ResponseType::ACCEPT);

  for (const auto& F : Filters) Dialog->add_filter(MakeFileFilter(F));

  namespace fs = std::filesystem;
  std::error_code Error;
  fs::path Proposed(Start);
  fs::path Folder = fs::is_directory(Proposed, Error) ? Proposed : Proposed.parent_path();
  // A start the file system does not know still leaves the chooser usable.
  try {
    if (!Save && fs::is_regular_file(Proposed, Error)) {
      Dialog->set_file(Gio::File::create_for_path(Proposed.string()));
    } else if (!Folder.empty() && fs::is_directory(Folder, Error)) {
      Dialog->set_current_folder(Gio::File::create_for_path(Folder.string()));
    }
  } catch (const Glib::Error&) {
  }
  if (Save && !Proposed.empty() && Folder != Proposed) Dialog->set_current_name(Proposed.filename().string());

  auto* D = Dialog.get();
  Pending& P = Track(std::move(Dialog));
  D->signal_response().connect([this, &P, D, Done = std::move(Done)](int Response) {
    std::optional<std::string> Path;
    if (Response == Gtk::ResponseType::ACCEPT)
      if (auto File = D->get_file()) Path = File->get_path();
    if (Finish(P) && Done) Done(Path);
  });
  D->show();
}

}  // namespace vorlane::framework
