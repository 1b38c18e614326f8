// Commands that act on the page or the address box: the clipboard, the download switches,
// the about box, the keys every browser has and the tab's own menu.
#include "shell/U_FrmMain.h"

#include "platform/ConnectionState.h"
#include "platform/Dialogs.h"
#include "shell/U_UserConfig.h"

#include <glibmm/main.h>
#include <gtkmm/shortcut.h>
#include <gtkmm/shortcutaction.h>
#include <gtkmm/shortcutcontroller.h>
#include <gtkmm/shortcuttrigger.h>

#include <algorithm>
#include <array>

namespace vorlane::shell {

bool TFrmMain::AddressHasFocus() {
  // The entry's inner text widget holds the focus when the box has it; a menu open over
  // it leaves it the user's.
  Gtk::Widget* Focus = FFocus.UserFocus();
  return Focus && (Focus == &cobAddress || Focus->is_ancestor(cobAddress));
}

namespace {

// The box's own clipboard action, run where the focus is: the inner text widget.
void ClipboardAction(Gtk::Widget& Focus, const char* Name) {
  gtk_widget_activate_action(Focus.gobj(), Name, nullptr);
}

}  // namespace

void TFrmMain::Ac_CutExecute() {
  if (AddressHasFocus())
    ClipboardAction(*FFocus.UserFocus(), "clipboard.cut");
  else if (TFrmWeb* Page = ActivePage())
    Page->WebBrowser->CutSelection();
}

void TFrmMain::Ac_CopyExecute() {
  if (AddressHasFocus())
    ClipboardAction(*FFocus.UserFocus(), "clipboard.copy");
  else if (TFrmWeb* Page = ActivePage())
    Page->WebBrowser->CopySelection();
}

void TFrmMain::Ac_PasteExecute() {
  if (AddressHasFocus())
    ClipboardAction(*FFocus.UserFocus(), "clipboard.paste");
  else if (TFrmWeb* Page = ActivePage())
    Page->WebBrowser->PasteClipboard();
}

// Always the page's content, also while the address box has the focus.
void TFrmMain::Ac_SelectAllExecute() {
  if (TFrmWeb* Page = ActivePage()) Page->WebBrowser->SelectAllContent();
}

// Commands that are one operation of the active page's control.
void TFrmMain::Ac_CurPageExecute() { if (TFrmWeb* P = ActivePage()) P->WebBrowser->OpenNewBookFile(); }
void TFrmMain::Ac_PropertyExecute() { if (TFrmWeb* P = ActivePage()) P->WebBrowser->ShowPageProperties(); }
void TFrmMain::Ac_SearchExecute() { if (TFrmWeb* P = ActivePage()) P->WebBrowser->ShowFindDialog(); }
void TFrmMain::Ac_OpenExecute() { if (TFrmWeb* P = ActivePage()) P->WebBrowser->OpenLocalFile(); }
void TFrmMain::Ac_SaveAsExecute() { if (TFrmWeb* P = ActivePage()) P->WebBrowser->SavePageAs(); }
void TFrmMain::Ac_PrintExecute() { if (TFrmWeb* P = ActivePage()) P->WebBrowser->PrintPage(); }
void TFrmMain::Ac_PrintSetExecute() { if (TFrmWeb* P = ActivePage()) P->WebBrowser->SetupPage(); }
void TFrmMain::Ac_PreviewExecute() { if (TFrmWeb* P = ActivePage()) P->WebBrowser->PreviewPage(); }
void TFrmMain::Ac_ViewSourceExecute() { if (TFrmWeb* P = ActivePage()) P->WebBrowser->ShowPageSource(); }
void TFrmMain::Ac_IeOptionExecute() { if (TFrmWeb* P = ActivePage()) P->WebBrowser->ShowEngineOptions(); }
void TFrmMain::Ac_SendUrlEmailExecute() { if (TFrmWeb* P = ActivePage()) P->WebBrowser->MailPageAddress(); }
void TFrmMain::Ac_SendShotCutExecute() { if (TFrmWeb* P = ActivePage()) P->WebBrowser->CreateDesktopShortcut(); }

void TFrmMain::Ac_SendPageEmailExecute() {
  if (TFrmWeb* P = ActivePage()) P->WebBrowser->MailPageFile(P->WebBrowser->Engine().LocationName());
}

void TFrmMain::Ac_OffLineExecute() {
  // The mark has just changed: it says which state the user asks for. It goes back to the
  // real state at once and changes only with it (FConnectedWatch), so nothing that happens
  // to the page while the question is open can leave it showing the wrong one.
  bool WantOffline = ActionList["Ac_OffLine"].Checked();
  ShowConnectedState();
  TFrmWeb* Page = ActivePage();
  if (!Page) return;
  if (WantOffline)
    Page->WebBrowser->GoOffline();
  else
    Page->WebBrowser->GoOnline();
}

void TFrmMain::ShowConnectedState() {
  ActionList["Ac_OffLine"].SetChecked(!platform::ConnectionState::Connected());
}

void TFrmMain::Ac_HighLightExecute() {
  TFrmWeb* Page = ActivePage();
  if (!Page) return;
  // The box is answered later; by then the page may have closed, and is looked up again.
  std::weak_ptr<int> PageAlive = Page->WebBrowser->LifeToken();
  Dialogs()->InputBox("高亮显示", "请输入搜索的字符：", "",
                    [this, Page, PageAlive, Alive = std::weak_ptr<int>(FLifeToken)](std::optional<std::string> Text) {
                      if (!Text || Alive.expired() || PageAlive.expired()) return;
                      auto It = std::find_if(FPages.begin(), FPages.end(), [Page](auto& P) { return P.get() == Page; });
                      if (It != FPages.end()) Page->WebBrowser->HighlightMatches(*Text);
                    });
}

void TFrmMain::Ac_AllowImageExecute() {
  TUserConfig& Config = UserConfig();
  Config.SetAllowActivex(ActionList["Ac_AllowActivex"].Checked());
  Config.SetAllowImage(ActionList["Ac_AllowImage"].Checked());
  Config.SetAllowJava(ActionList["Ac_AllowJava"].Checked());
  Config.SetAllowVideo(ActionList["Ac_AllowVideo"].Checked());
  Config.SetAllowScript(ActionList["Ac_AllowScript"].Checked());
  Config.SetAllowBkSound(ActionList["Ac_AllowBkSound"].Checked());
  ApplyDownloadOptionsToAll();
}

void TFrmMain::ApplyDownloadOptionsToAll() {
  // Every page, also those still in the background: a popup waiting in its tab must not
  // keep running scripts the user just switched off.
  for (auto& Page : FPages) Page->ApplyDownloadOptions();
}

void TFrmMain::Ac_AboutExecute() {
  if (FAboutBox) {
    FAboutBox->present();
    return;
  }
  FAboutBox = std::make_unique<TAboutBox>(*this);
  FAboutBox->OnClosed = [this] {
    // Freed after the event that closed it has been handled.
    FAboutBoxFree = Glib::signal_idle().connect([this] {
      FAboutBox.reset();
      return false;
    });
  };
  FAboutBox->present();
}

void TFrmMain::CreateFamiliarKeys() {
  auto Controller = Gtk::ShortcutController::create();
  Controller->set_scope(Gtk::ShortcutScope::MANAGED);
  Controller->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
  auto Add = [&](const char* Trigger, std::function<bool()> Run) {
    Controller->add_shortcut(Gtk::Shortcut::create(
        Gtk::ShortcutTrigger::parse_string(Trigger),
        Gtk::CallbackAction::create([Run](Gtk::Widget&, const Glib::VariantBase&) { return Run(); })));
  };
  auto Command = [this](const char* Name) { return [this, Name] { return ActionList[Name].Execute(); }; };
  Add("<Control>t", Command("Ac_Blank"));
  Add("<Control>w", Command("Ac_Close"));
  Add("<Control>l", [this] {
    cobAddress.grab_focus();
    cobAddress.select_region(0, -1);
    return true;
  });
  // Ctrl+A in the address box selects its text; in the page, the page's own.
  Add("<Control>a", [this] {
    if (!AddressHasFocus()) return false;
    cobAddress.select_region(0, -1);
    return true;
  });
  for (const char* Next : {"<Control>Tab", "<Control>Page_Down", "<Control>KP_Page_Down"})
    Add(Next, [this] { SelectNeighbourTab(1); return PageControl.Count() > 0; });
  for (const char* Previous : {"<Control><Shift>Tab", "<Control><Shift>ISO_Left_Tab", "<Control>Page_Up",
                               "<Control>KP_Page_Up"})
    Add(Previous, [this] { SelectNeighbourTab(-1); return PageControl.Count() > 0; });
  for (const char* In : {"<Control>plus", "<Control>equal", "<Control>KP_Add"})
    Add(In, [this] { ZoomActivePage(1); return ActivePage() != nullptr; });
  for (const char* Out : {"<Control>minus", "<Control>KP_Subtract"})
    Add(Out, [this] { ZoomActivePage(-1); return ActivePage() != nullptr; });
  for (const char* Reset : {"<Control>0", "<Control>KP_0"})
    Add(Reset, [this] { ZoomActivePage(0); return ActivePage() != nullptr; });
  add_controller(Controller);
}

void TFrmMain::SelectNeighbourTab(int Step) {
  int Count = PageControl.Count();
  if (Count == 0) return;
  int From = std::max(PageControl.Selected(), 0);
  PageControl.Select(((From + Step) % Count + Count) % Count);
  PageControlChange();
}

void TFrmMain::ZoomActivePage(int Step) {
  TFrmWeb* Page = ActivePage();
  if (!Page) return;
  static constexpr std::array<double, 13> Levels = {0.3, 0.5, 0.67, 0.8, 0.9, 1.0, 1.1,
                                                    1.25, 1.5, 1.75, 2.0, 2.5, 3.0};
  browser::WebEngine& Engine = Page->WebBrowser->Engine();
  double Level = 1.0;
  if (Step > 0) {
    auto It = std::upper_bound(Levels.begin(), Levels.end(), Engine.ZoomLevel() + 0.001);
    Level = It == Levels.end() ? Levels.back() : *It;
  } else if (Step < 0) {
    auto It = std::lower_bound(Levels.begin(), Levels.end(), Engine.ZoomLevel() - 0.001);
    Level = It == Levels.begin() ? Levels.front() : *(It - 1);
  }
  Engine.SetZoomLevel(Level);
}

void TFrmMain::CreateTabMenuActions() {
  auto OnTab = [this](const char* Name, std::function<void(TFrmWeb&)> Run) {
    auto Action = Gio::SimpleAction::create(Name);
    Action->signal_activate().connect([this, Run](const Glib::VariantBase&) {
      // The menu acts on the page it was opened for, wherever its tab is now; a script may
      // have opened or closed tabs meanwhile, or closed this very page.
      TFrmWeb* Page = FTabMenuPage.Get();
      if (Page && !Page->Closing()) Run(*Page);
    });
    ActionList.Group()->add_action(Action);
  };
  OnTab("tab-refresh", [](TFrmWeb& Page) {
    try {
      Page.WebBrowser->Engine().Refresh2();
    } catch (const browser::EngineError&) {
    }
  });
  OnTab("tab-close", [this](TFrmWeb& Page) { AskToClose(&Page); });
  pmnTab = Gio::Menu::create();
}

void TFrmMain::ShowTabMenu(int Index, double X, double Y) {
  TFrmWeb* Page = PageOfTab(Index);
  if (!Page) return;
  FTabMenuPage = TPageRef(Page);
  pmnTab->remove_all();
  auto Prefix = ActionList.GroupName() + ".";
  pmnTab->append("刷新", Prefix + "tab-refresh");
  pmnTab->append("关闭", Prefix + "tab-close");
  if (!FUndoMenu.empty()) pmnTab->append("撤销", ActionList["Ac_UnDo"].DetailedName());
  if (!FTabMenu) {
    FTabMenu = std::make_unique<Gtk::PopoverMenu>(pmnTab);
    FTabMenu->set_parent(PageControl);
    FTabMenu->set_has_arrow(false);
    FTabMenu->signal_closed().connect([this] { PageControl.set_has_tooltip(true); });
  }
  // The tab's tool tip would cover the menu: it goes while the menu is open.
  PageControl.set_has_tooltip(false);
  PageControl.trigger_tooltip_query();
  Gdk::Rectangle At(static_cast<int>(X), static_cast<int>(Y), 1, 1);
  FTabMenu->set_pointing_to(At);
  FTabMenu->popup();
}

}  // namespace vorlane::shell
