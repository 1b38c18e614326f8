// The command set: every user command of the main window is a named action; menus, tool
// buttons and keys only trigger them.
#include "shell/U_FrmMain.h"
#include "shell/U_FrmMain_Favorites.h"
#include "browser/UrlFixup.h"

#include "platform/Dialogs.h"
#include "shell/U_CommandTable.h"

#include <map>

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
  using H = void (TFrmMain::*)();
  const std::map<std::string, H> Handlers = {
      {"Ac_Forward", &TFrmMain::Ac_ForwardExecute},   {"Ac_Back", &TFrmMain::Ac_BackExecute},
      {"Ac_Stop", &TFrmMain::Ac_StopExecute},         {"Ac_Refresh", &TFrmMain::Ac_RefreshExecute},
      {"Ac_Blank", &TFrmMain::Ac_BlankExecute},       {"Ac_Go", &TFrmMain::Ac_GoExecute},
      {"Ac_Favorites", &TFrmMain::Ac_FavoritesExecute}, {"Ac_History", &TFrmMain::Ac_FavoritesExecute},
      {"Ac_AllowImage", &TFrmMain::Ac_AllowImageExecute}, {"Ac_AllowVideo", &TFrmMain::Ac_AllowImageExecute},
      {"Ac_AllowBkSound", &TFrmMain::Ac_AllowImageExecute}, {"Ac_AllowScript", &TFrmMain::Ac_AllowImageExecute},
      {"Ac_AllowActivex", &TFrmMain::Ac_AllowImageExecute}, {"Ac_AllowJava", &TFrmMain::Ac_AllowImageExecute},
      {"Ac_About", &TFrmMain::Ac_AboutExecute},       {"Ac_Cut", &TFrmMain::Ac_CutExecute},
      {"Ac_Copy", &TFrmMain::Ac_CopyExecute},         {"Ac_Paste", &TFrmMain::Ac_PasteExecute},
      {"Ac_SelectAll", &TFrmMain::Ac_SelectAllExecute}, {"Ac_Close", &TFrmMain::Ac_CloseExecute},
      {"Ac_CloseAll", &TFrmMain::Ac_CloseAllExecute}, {"Ac_Quit", &TFrmMain::Ac_QuitExecute},
      {"Ac_HomePage", &TFrmMain::Ac_HomePageExecute}, {"Ac_UnDo", &TFrmMain::Ac_UnDoExecute},
      {"Ac_CurPage", &TFrmMain::Ac_CurPageExecute},   {"Ac_Property", &TFrmMain::Ac_PropertyExecute},
      {"Ac_Search", &TFrmMain::Ac_SearchExecute},     {"Ac_Open", &TFrmMain::Ac_OpenExecute},
      {"Ac_SaveAs", &TFrmMain::Ac_SaveAsExecute},     {"Ac_Print", &TFrmMain::Ac_PrintExecute},
      {"Ac_PrintSet", &TFrmMain::Ac_PrintSetExecute}, {"Ac_Preview", &TFrmMain::Ac_PreviewExecute},
      {"Ac_OffLine", &TFrmMain::Ac_OffLineExecute},   {"Ac_ViewSource", &TFrmMain::Ac_ViewSourceExecute},
      {"Ac_HighLight", &TFrmMain::Ac_HighLightExecute}, {"Ac_IeOption", &TFrmMain::Ac_IeOptionExecute},
      {"Ac_SendUrlEmail", &TFrmMain::Ac_SendUrlEmailExecute},
      {"Ac_SendPageEmail", &TFrmMain::Ac_SendPageEmailExecute},
      {"Ac_SendShotCut", &TFrmMain::Ac_SendShotCutExecute},
      {"Ac_RestoreLastPages", &TFrmMain::Ac_RestoreLastPagesExecute},
      {"Ac_Downloads", &TFrmMain::Ac_DownloadsExecute},
      {"Ac_AskWhereToSave", &TFrmMain::Ac_AskWhereToSaveExecute},
  };
  for (ActionInfo Row : CommandTable()) {
    // Kept options start as the user left them.
    if (Row.Name == "Ac_RestoreLastPages") Row.Checked = FOptions.RestoreLastPages();
    if (Row.Name == "Ac_AskWhereToSave") Row.Checked = FOptions.AskWhereToSave();
    auto& Action = ActionList.Add(Row);
    BindCommand(Action, Handlers.at(Row.Name));
  }
  // Ctrl+Z in a field of the page first takes back typing, as the page's own undo; only
  // when there is none does it reopen a closed page. Elsewhere in the page it reopens at
  // once: the page's undo list outlives the field that was typed in.
  ActionList["Ac_UnDo"].OnShortcut = [this](framework::TAction& Action) {
    TFrmWeb* Page = ActivePage();
    Gtk::Widget* Focus = get_focus();
    if (!Page || !Action.Enabled() || !Focus || !Focus->is_ancestor(Page->WebBrowser->Widget()) ||
        !Page->WebBrowser->Engine().FocusIsEditable())
      return Action.Execute();
    Page->WebBrowser->Engine().TryEditingCommand(browser::EditingCommand::Undo, [this](bool Undone) {
      if (!Undone) ActionList["Ac_UnDo"].Execute();
    });
    return true;
  };
  // Ctrl+I and Ctrl+H show their page; unlike a click on the button, the key never hides
  // the sidebar that already shows it.
  for (const char* Name : {"Ac_Favorites", "Ac_History"})
    ActionList[Name].OnShortcut = [](framework::TAction& Action) { return Action.Checked() || Action.Execute(); };
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
  CreateTabMenuActions();

  insert_action_group(ActionList.GroupName(), ActionList.Group());
  add_controller(ActionList.CreateShortcutController(ShortcutPhase::Capture));
  add_controller(ActionList.CreateShortcutController(ShortcutPhase::Bubble));
  CreateFamiliarKeys();
  CreateHabits();
}

void TFrmMain::BindCommand(framework::TAction& Action, void (TFrmMain::*Handler)()) {
  // A command that fails tells the user, as every unexpected failure of the program does.
  Action.OnExecute = [this, Handler](framework::TAction&) {
    try {
      (this->*Handler)();
    } catch (const std::exception& E) {
      ShowCommandError(E.what());
    }
  };
}

void TFrmMain::ShowCommandError(const std::string& Text) {
  Dialogs()->ShowMessage(platform::MessageKind::Error, ApplicationTitle, Text, platform::MessageButtons::Ok);
}

void TFrmMain::Ac_BlankExecute() {
  NewPage(FSite.StartPage(), true);
  FocusAddressBar();
}

void TFrmMain::Ac_GoExecute() {
  // What is typed and not yet committed is committed first: the commit raises the
  // address box's selection event once, and that runs Go on the committed text.
  if (!FCommittingTypedText && !cobAddress.ShowsCurrentUrl()) {
    FCommittingTypedText = true;
    try {
      cobAddress.Commit();
    } catch (...) {
      FCommittingTypedText = false;
      throw;
    }
    FCommittingTypedText = false;
    return;
  }
  std::string Text = cobAddress.CurrentUrl();
  std::optional<std::string> Path = browser::LocalPathText(Text);
  std::optional<bool> Exists;
  if (Path) {
    navigation::PathKind Kind = cobAddress.PathKindOf(*Path);
    if (Kind != navigation::PathKind::Unknown) Exists = Kind != navigation::PathKind::Missing;
  }
  TGoTarget Target = GoTargetOf(Text, Exists);
  if (Target != TGoTarget::AskDisk) return GoTo(Text, Target);
  // Whether a typed path exists is asked off the UI thread (a dead network mount must not
  // freeze the window); Go goes on when the answer comes, unless another address was
  // committed meanwhile.
  cobAddress.LookUpPath(*Path, [this, Text](navigation::PathKind Kind) {
    if (cobAddress.CurrentUrl() != Text) return;
    bool Found = Kind != navigation::PathKind::Missing && Kind != navigation::PathKind::Unknown;
    GoTo(Text, GoTargetOf(Text, Found));
  });
}

void TFrmMain::GoTo(const std::string& Text, TGoTarget Kind) {
  std::string Target = Kind == TGoTarget::Search ? FSite.SearchPage(Text) : Text;
  TFrmWeb* Page = ActivePage();
  if (!Page)
    Page = NewPage(Target, true);
  else
    Page->Navigate(Target, false);
  Page->WebBrowser->FocusDocument();
}

void TFrmMain::FocusAddressBar() {
  // A fresh focus change, even when the box had the focus already: a new page whose view
  // does not exist yet gives up its wish to take the focus.
  unset_focus();
  cobAddress.grab_focus();
  // The whole address, so that typing replaces it (the page's address keeps it selected
  // as it arrives).
  cobAddress.select_region(0, -1);
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
  if (TFrmWeb* Page = ActivePage()) AskToClose(Page);
}

void TFrmMain::Ac_CloseAllExecute() {
  // Only the pages shown now: closing the last of them shows the first background tab,
  // which must survive the command. Each is asked first and goes once it agrees; a page
  // that stays keeps its tab.
  std::vector<framework::IMdiChild*> Shown = FFrame.Children();
  std::weak_ptr<int> Alive = FLifeToken;
  while (!Shown.empty() && !Alive.expired()) {
    auto* Page = dynamic_cast<TFrmWeb*>(Shown.back());
    Shown.pop_back();
    if (Page && FFrame.IsChild(Page)) AskToClose(Page);
  }
}

void TFrmMain::Ac_UnDoExecute() {
  if (!FUndoMenu.empty()) UndoItemClick(0);
}

void TFrmMain::Ac_FavoritesExecute() {
  // The group has already moved its check mark: the sidebar shows the checked page, or goes
  // when both are up.
  const bool Favorites = ActionList["Ac_Favorites"].Checked();
  const bool History = ActionList["Ac_History"].Checked();
  this->Favorites().ShowSideBar(Favorites || History, History ? 1 : 0);
}

void TFrmMain::SideBarPageChanged(int Page) {
  // The marks follow the sidebar when the user switches its tabs or closes it.
  ActionList["Ac_Favorites"].SetChecked(Page == 0);
  ActionList["Ac_History"].SetChecked(Page == 1);
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
