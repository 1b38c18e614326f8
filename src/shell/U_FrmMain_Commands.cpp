// The command set: every user command of the main window is a named action; menus, tool
// buttons and keys only trigger them.
#include "shell/U_FrmMain.h"

#include "platform/TextCodec.h"

#include <glibmm/main.h>
#include <gtk/gtk.h>

namespace vorlane::shell {

using framework::ActionInfo;
using framework::ShortcutPhase;

namespace {

// Engine refusals (no history, nothing to stop) are not the user's concern.
template <typename Call>
void Guarded(Call&& C) {
  try {
    C();
  } catch (const browser::EngineError&) {
  }
}

}  // namespace

void TFrmMain::CreateActions() {
  struct Entry {
    ActionInfo Info;
    void (TFrmMain::*Handler)();
  };
  // Alt keys and Ctrl+N are the window's before the page sees them; the other keys reach
  // the page first and run the command only when the page leaves them.
  const Entry Table[] = {
      {{"Ac_Forward", "查看", "前进", "<Alt>Right", ShortcutPhase::Capture, "go-next", "前进"}, &TFrmMain::Ac_ForwardExecute},
      {{"Ac_Back", "查看", "后退", "<Alt>Left", ShortcutPhase::Capture, "go-previous", "后退"}, &TFrmMain::Ac_BackExecute},
      {{"Ac_Stop", "查看", "停止", "Escape", ShortcutPhase::Bubble, "process-stop", "停止"}, &TFrmMain::Ac_StopExecute},
      {{"Ac_Refresh", "查看", "刷新", "F5", ShortcutPhase::Bubble, "view-refresh", "刷新"}, &TFrmMain::Ac_RefreshExecute},
      {{"Ac_Blank", "文件", "空白页", "<Control>n", ShortcutPhase::Capture, "document-new"}, &TFrmMain::Ac_BlankExecute},
      {{"Ac_Go", "文件", "浏览", "", ShortcutPhase::Bubble, "go-jump"}, &TFrmMain::Ac_GoExecute},
      {{"Ac_Close", "文件", "关闭", "", ShortcutPhase::Bubble, "window-close"}, &TFrmMain::Ac_CloseExecute},
      {{"Ac_CloseAll", "文件", "关闭所有", "", ShortcutPhase::Bubble, "edit-clear-all"}, &TFrmMain::Ac_CloseAllExecute},
      {{"Ac_Quit", "文件", "退出"}, &TFrmMain::Ac_QuitExecute},
      {{"Ac_HomePage", "查看", "主页", "<Alt>Home", ShortcutPhase::Capture, "go-home"}, &TFrmMain::Ac_HomePageExecute},
      {{"Ac_UnDo", "查看", "撤销", "<Control>z", ShortcutPhase::Bubble, "edit-undo"}, &TFrmMain::Ac_UnDoExecute},
  };
  for (const Entry& E : Table) {
    auto& Action = ActionList.Add(E.Info);
    Action.OnExecute = [this, Handler = E.Handler](framework::TAction&) { (this->*Handler)(); };
  }
  // Ctrl+Z that the page left alone first takes back typing in the page, as the page's own
  // undo; only when there is none does it reopen a closed page.
  ActionList["Ac_UnDo"].OnShortcut = [this](framework::TAction& Action) {
    TFrmWeb* Page = ActivePage();
    Gtk::Widget* Focus = get_focus();
    if (!Page || !Action.Enabled() || !Focus || !Focus->is_ancestor(Page->WebBrowser->Widget()))
      return Action.Execute();
    Page->WebBrowser->Engine().TryEditingCommand(browser::EditingCommand::Undo, [this](bool Undone) {
      if (!Undone) ActionList["Ac_UnDo"].Execute();
    });
    return true;
  };
  // The closed-page drop-down's items carry their position.
  auto UndoItem = Gio::SimpleAction::create("undo-item", Glib::VariantType("i"));
  UndoItem->signal_activate().connect([this](const Glib::VariantBase& Target) {
    UndoItemClick(Glib::VariantBase::cast_dynamic<Glib::Variant<int32_t>>(Target).get());
  });
  ActionList.Group()->add_action(UndoItem);
  CreateTravelActions();
  // Fixed-address buttons and the product site's menu item.
  auto Portal = Gio::SimpleAction::create("ToolButton10");
  Portal->signal_activate().connect([this](const Glib::VariantBase&) { ToolButton10Click(); });
  ActionList.Group()->add_action(Portal);
  auto ProductSite = Gio::SimpleAction::create("N48");
  ProductSite->signal_activate().connect([this](const Glib::VariantBase&) { N48Click(); });
  ActionList.Group()->add_action(ProductSite);

  insert_action_group(ActionList.GroupName(), ActionList.Group());
  add_controller(ActionList.CreateShortcutController(ShortcutPhase::Capture));
  add_controller(ActionList.CreateShortcutController(ShortcutPhase::Bubble));
}

void TFrmMain::Ac_BlankExecute() {
  NewPage(FSite.StartPage(), true);
  FocusAddressBar();
}

void TFrmMain::Ac_GoExecute() {
  std::string Text = cobAddress.CurrentUrl();
  TFrmWeb* Page = ActivePage();
  if (!Page) {
    Page = NewPage(Text, true);
  } else if (!Text.empty() && platform::StartsWithGbkLeadByte(Text)) {
    // The search takes the visible text, appended as it stands.
    Page->Navigate(FSite.SearchPage(cobAddress.Text()), false);
  } else {
    Page->Navigate(Text, false);
  }
  Page->WebBrowser->FocusDocument();
}

void TFrmMain::FocusAddressBar() {
  // A fresh focus change, even when the box had the focus already: a new page whose view
  // does not exist yet gives up its wish to take the focus.
  unset_focus();
  cobAddress.grab_focus();
}

void TFrmMain::cobAddressNavigateUrl(const std::string&) { ActionList["Ac_Go"].Execute(); }

void TFrmMain::Ac_BackExecute() {
  if (TFrmWeb* Page = ActivePage()) Guarded([&] { Page->WebBrowser->Engine().GoBack(); });
}

void TFrmMain::Ac_ForwardExecute() {
  if (TFrmWeb* Page = ActivePage()) Guarded([&] { Page->WebBrowser->Engine().GoForward(); });
}

void TFrmMain::Ac_StopExecute() {
  if (TFrmWeb* Page = ActivePage()) Guarded([&] { Page->WebBrowser->Stop(); });
}

void TFrmMain::Ac_RefreshExecute() {
  if (TFrmWeb* Page = ActivePage()) Guarded([&] { Page->WebBrowser->Engine().Refresh2(); });
}

void TFrmMain::Ac_HomePageExecute() {
  if (TFrmWeb* Page = ActivePage()) Page->WebBrowser->Engine().GoHome();
}

void TFrmMain::Ac_CloseExecute() {
  if (TFrmWeb* Page = ActivePage()) Page->Close();
}

void TFrmMain::Ac_CloseAllExecute() {
  // Only the pages shown now: closing the last of them shows the first background tab,
  // which must survive the command.
  std::vector<framework::IMdiChild*> Shown = FFrame.Children();
  while (!Shown.empty()) {
    auto* Page = dynamic_cast<TFrmWeb*>(Shown.back());
    Shown.pop_back();
    DestroyPage(Page);
  }
}

void TFrmMain::Ac_UnDoExecute() {
  if (!FUndoMenu.empty()) UndoItemClick(0);
}

void TFrmMain::Ac_QuitExecute() {
  if (OnQuit)
    OnQuit();
  else
    set_visible(false);
}

void TFrmMain::ToolButton10Click() {
  NewPage(TProductSite::SearchPortal, true);
  FocusAddressBar();
}

void TFrmMain::N48Click() {
  NewPage(FSite.ProductPage(), true);
  FocusAddressBar();
}

void TFrmMain::PostKey(unsigned Key, unsigned Modifiers) {
  Glib::signal_idle().connect(sigc::bind(sigc::mem_fun(*this, &TFrmMain::DispatchKey), Key, Modifiers));
}

bool TFrmMain::DispatchKey(unsigned Key, unsigned Modifiers) {
  unsigned Mask = gtk_accelerator_get_default_mod_mask();
  for (auto& Action : ActionList.Actions()) {
    if (Action->Shortcut().empty()) continue;
    guint ShortcutKey = 0;
    GdkModifierType ShortcutMods{};
    gtk_accelerator_parse(Action->Shortcut().c_str(), &ShortcutKey, &ShortcutMods);
    if (gdk_keyval_to_lower(ShortcutKey) == gdk_keyval_to_lower(Key) &&
        (static_cast<unsigned>(ShortcutMods) & Mask) == (Modifiers & Mask)) {
      Action->Execute();
      break;
    }
  }
  return false;
}

}  // namespace vorlane::shell
