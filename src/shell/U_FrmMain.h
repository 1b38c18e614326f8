#pragma once
// The main window: the frame of the program. It hosts the page windows, the tool bars,
// the address box, the tab strip and the status bar, owns the command set and the
// closed-page list, and is what page windows talk to.
#include "browser/SecurityManager.h"
#include "browser/SitePermissions.h"
#include "browser/WebEngine.h"
#include "framework/ActionList.h"
#include "framework/FocusMemory.h"
#include "framework/GtkDialogs.h"
#include "framework/MdiFrame.h"
#include "framework/StatusGauge.h"
#include "framework/TabStrip.h"
#include "navigation/IEAddress.h"
#include "navigation/IETravelLog.h"
#include "platform/Dde.h"
#include "platform/Registry.h"
#include "platform/SessionFile.h"
#include "shell/BrowserOptions.h"
#include "shell/PageRef.h"
#include "shell/DownloadsWindow.h"
#include "shell/HabitKeys.h"
#include "shell/U_FrmAbout.h"
#include "shell/U_PublicInterface.h"
#include "shell/U_PublicUnit.h"
#include "shell/U_UndoList.h"
#include "shell/U_WebForm.h"

#include <giomm/menu.h>
#include <gtkmm/box.h>
#include <gtkmm/button.h>
#include <gtkmm/label.h>
#include <gtkmm/menubutton.h>
#include <gtkmm/paned.h>
#include <gtkmm/popovermenu.h>
#include <gtkmm/popovermenubar.h>
#include <gtkmm/window.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace vorlane::platform { class IDialogs; }

namespace vorlane::shell {

class TFrmMainFavorites;

// One item of a Back or Forward drop-down: caption = title (the address when there is
// none), hint = address, and the travel offset it stands for.
struct TTravelMenuItem {
  std::string Caption;
  std::string Hint;
  int Offset = 0;
};

// One item of the closed-page drop-down: caption = title, hint = address, tag = entry.
struct TUndoMenuItem {
  std::string Caption;
  std::string Hint;
  TUndoItem* Tag = nullptr;
};

class TFrmMain : public Gtk::Window, public IMainUiHandler, public IPageTabHandler, public IPageHost {
public:
  // The program's name, as error boxes are captioned.
  static constexpr const char* ApplicationTitle = "Vorlane";

  TFrmMain(browser::EngineFactory Factory, TProductSite Site);
  ~TFrmMain() override;

  // Ends the program (Ac_Quit); the default hides the window.
  std::function<void()> OnQuit;
  // Quitting as the user asks for it (文件 → 退出, the window's close button): with several
  // pages open, asks first unless the pages come back at the next start anyway.
  void RequestQuit();
  // Some page opened, closed, moved on, changed its title or was selected.
  std::function<void()> OnPagesChanged;
  // The open pages as the next start would reopen them, in tab order.
  platform::TSavedSession SessionSnapshot() const;
  // Opens saved pages to the right of those open, each with its Back/Forward history; the
  // one that was selected comes to the front, the others load when first shown. A saved
  // start page is left out: the start opened one of its own.
  void RestorePages(const platform::TSavedSession& Saved);
  TBrowserOptions& Options() { return FOptions; }
  // Where the saves of the options and the sites' answers report how they went.
  void SetSaveTrouble(platform::TSaveTrouble* Trouble) { FRegistry.SetSaveTrouble(Trouble); }

  // --- downloads (U_FrmMain_Downloads.cpp) ---
  // The downloads the window shows and asks about at quit; not owned.
  void SetDownloads(browser::TDownloadList* List);
  // Where a download goes: Proposed at once, or what the user picks in a save dialog when
  // "下载前询问保存位置" is on (nullopt: cancelled).
  void ChooseDownloadDestination(const std::string& Proposed,
                                 std::function<void(std::optional<std::string>)> Done);
  // Clears the downloads kept across runs (set by whoever keeps them).
  std::function<void()> OnClearDownloads;
  std::function<void()> DownloadListClearer() override {
    if (!OnClearDownloads) return {};
    return [this] { OnClearDownloads(); };
  }
  // The "下载" window, once it was opened.
  TDownloadsWindow* DownloadsWindow() const { return FDownloadsWindow.get(); }
  // A page finished loading its document.
  std::function<void(TFrmWeb*)> OnPageComplete;
  // Puts other dialogs in place of the window's own (tests); null restores them.
  void SetDialogs(platform::IDialogs* Dialogs) { FDialogsOverride = Dialogs; }

  // --- page manager ---
  TFrmWeb* NewPage(const std::string& Url, bool Show) override;
  TFrmWeb* NewPageFrom(TFrmWeb* Opener, const std::string& Url) override;
  TFrmWeb* ActivePage() const;
  void AdjustTabStripHeight();
  TFrmWeb* PageOfTab(int Index) const;
  const std::vector<std::unique_ptr<TFrmWeb>>& Pages() const { return FPages; }

  // --- IMainUiHandler ---
  void PageActivated() override;
  void SetProgress(int32_t Progress) override;
  void SetAddressText(const std::string& Url) override;
  void SetStatusText(const std::string& Text) override;
  void CommandStateChanged(int32_t Command, int16_t Enable) override;
  IPageTabHandler& GetPageTabHandler() override { return *this; }
  void SetPageUntrusted(bool Untrusted) override { cobAddress.SetUntrusted(Untrusted); }

  // --- IPageTabHandler ---
  int32_t AddTab(const std::string& Caption, TFrmWeb* Page) override;
  void PageClosed(TFrmWeb* Page) override;
  void SetTabImage(TFrmWeb* Page, int32_t ImageIndex) override;
  int32_t TabCount() override { return PageControl.Count(); }
  void SetTabCaption(TFrmWeb* Page, const std::string& Caption) override;
  std::string GetTabCaption(TFrmWeb* Page) override;

  // --- IPageHost ---
  framework::MdiFrame& Frame() override { return FFrame; }
  const TProductSite& Site() const override { return FSite; }
  void ReleasePage(TFrmWeb* Page) override;
  void PageAgreedToClose(TFrmWeb* Page) override;
  void PageStayed(TFrmWeb* Page) override;
  void PageLeftEmptyByDownload(TFrmWeb* Page) override;
  void PostKey(unsigned Key, unsigned Modifiers) override;
  void PageComplete(TFrmWeb* Page) override {
    if (OnPageComplete) OnPageComplete(Page);
  }
  platform::TDdeRouter* DdeRouter() override { return &FDdeRouter; }
  platform::IDialogs* Dialogs() override { return FDialogsOverride ? FDialogsOverride : &FDialogs; }
  browser::TSitePermissions* SitePermissions() override { return &FSitePermissions; }
  void OpenLinkInNewTab(const std::string& Url, bool Foreground) override;  // U_FrmMain_HabitKeys.cpp
  void PageFullScreen(TFrmWeb* Page, bool On) override;

  // --- desktop (U_FrmMain_Desktop.cpp) ---
  // Addresses the first page opens on instead of the start page; set before the window shows.
  std::vector<std::string> StartAddresses;
  // The first pages: the start page, or StartAddresses. The window opens them when it
  // first shows, unless the program did before showing it, so that the first request is
  // under way while the window is still being drawn.
  void OpenStartPages();
  // Opens addresses handed over by the desktop: the first as a shown page, the others as
  // background pages to its right, in order; then brings the window to the front, with
  // the desktop's activation token of the start that handed them over when there is one.
  void OpenAddresses(const std::vector<std::string>& Urls, const std::string& StartupId = {});
  platform::IHistorySink* HistorySink() override { return FHistorySink; }
  // The history that pages opened from now on record their visits in; not owned.
  void SetHistorySink(platform::IHistorySink* Sink) { FHistorySink = Sink; }

  // --- handlers ---
  void FormCreate();
  void FormShow();
  void PageControlChange();
  void PageControlMouseDown(int Button, int PressCount, double X, double Y);
  void PageControlMouseMove(double X, double Y);
  void cobAddressNavigateUrl(const std::string& Url);
  void UndoItemClick(int Index);
  // The tab's own small menu (refresh, close, reopen) at X, Y of the tab strip.
  void ShowTabMenu(int Index, double X, double Y);
  void ApplyDownloadOptionsToAll();
  TAboutBox* AboutBox() const { return FAboutBox.get(); }
  // Full screen (F11, or a page's own request): only the tab strip and the page show.
  void SetFullScreen(bool On);
  bool FullScreen() const { return FFullScreen; }

  // --- closed pages ---
  IPageUndoList& UndoList() { return *FUndoList; }
  const std::vector<TUndoMenuItem>& UndoMenuItems() const { return FUndoMenu; }

  // --- travel drop-downs (U_FrmMain_Travel.cpp) ---
  void pmnBackPopup();
  void pmnForwardPopup();
  void IETravelLogEntry(const std::string& Title, const std::string& Url, bool& Cancel);
  // Travels to the item of the last-filled drop-down with this offset.
  void TravelItemClick(int Offset);
  const std::vector<TTravelMenuItem>& TravelItems(bool Back) const { return Back ? FBackItems : FForwardItems; }
  navigation::TIETravelLog IETravelLog;

  // Components, named as on the form.
  // Not connected to any engine: WebKit asks no host for URL-action policies.
  browser::TSecurityManager SecurityManager;
  framework::TActionList ActionList;
  Glib::RefPtr<Gio::Menu> MainMenu;
  Glib::RefPtr<Gio::Menu> pmnBack, pmnForward, pmnUndo, pmnTab;
  navigation::TIEAddress cobAddress;
  framework::TabStrip PageControl;
  framework::StatusGauge& ProgressGauge() { return FProgressGauge; }
  Gtk::Label& StatusText() { return FStatusText; }
  int LastRowCount() const { return FLastRowCount; }
  int TabStripHeight() const;
  Gtk::Box& MainToolBar() { return tblMainToolBar; }

  // --- favorites menu and sidebar (U_FrmMain_SideBar.cpp) ---
  TFrmMainFavorites& Favorites() { return *FFavorites; }

private:
  void CreateFavorites();
  std::unique_ptr<TFrmMainFavorites> FFavorites;
  // Layout (U_FrmMain_Layout.cpp).
  void BuildLayout();
  void BuildMainMenu();
  void BuildMainToolBar();
  void BuildAddressBar();
  void BuildStatusBar();
  void InstallStyle();
  Gtk::Widget& ToolButton(const std::string& Name, const std::string& Action, const std::string& Caption,
                          const std::string& Icon, Glib::RefPtr<Gio::Menu> DropDown = {},
                          std::function<void()> OnPopup = {}, bool Check = false);

  // Commands (U_FrmMain_Commands.cpp).
  void CreateActions();
  void BindCommand(framework::TAction& Action, void (TFrmMain::*Handler)());
  void ShowCommandError(const std::string& Text);
  void Ac_BlankExecute();
  void Ac_GoExecute();
  void GoTo(const std::string& Text, TGoTarget Kind);
  void Ac_BackExecute();
  void Ac_ForwardExecute();
  void Ac_StopExecute();
  void Ac_RefreshExecute();
  void Ac_HomePageExecute();
  void Ac_CloseExecute();
  void Ac_CloseAllExecute();
  void Ac_UnDoExecute();
  void Ac_QuitExecute();
  void Quit();
  // Asks every page whether it may close and quits once all agreed; a page that stays
  // keeps the program running.
  void AskPagesThenQuit();
  // A close the user asked for: asks the page, and gives up waiting to quit (a page that
  // stayed then does not end the program when it is closed later).
  void AskToClose(TFrmWeb* Page);
  std::vector<TFrmWeb*> FQuitWaiting;
  // The page whose request for a window opened each page, while both live.
  std::unordered_map<const TFrmWeb*, const TFrmWeb*> FOpenerOf;
  // Where the next tab goes instead of right of the selected one.
  std::optional<int> FInsertAt;
  void Ac_RestoreLastPagesExecute();
  void Ac_DownloadsExecute();
  void Ac_AskWhereToSaveExecute();
  void DownloadsChanged();
  // The pages question of RequestQuit, after any about running downloads.
  void ConfirmClosingPages();
  void Ac_FavoritesExecute();
  void SideBarPageChanged(int Page);

  // Page commands, the clipboard, the switches and the about box (U_FrmMain_PageCommands.cpp).
  void Ac_CutExecute();
  void Ac_CopyExecute();
  void Ac_PasteExecute();
  void Ac_SelectAllExecute();
  void Ac_CurPageExecute();
  void Ac_PropertyExecute();
  void Ac_SearchExecute();
  void Ac_OpenExecute();
  void Ac_SaveAsExecute();
  void Ac_PrintExecute();
  void Ac_PrintSetExecute();
  void Ac_PreviewExecute();
  void Ac_OffLineExecute();
  void Ac_ViewSourceExecute();
  void Ac_HighLightExecute();
  void Ac_IeOptionExecute();
  void Ac_SendUrlEmailExecute();
  void Ac_SendPageEmailExecute();
  void Ac_SendShotCutExecute();
  // The offline mark shows the process's connected state.
  void ShowConnectedState();
  void Ac_AllowImageExecute();
  void Ac_AboutExecute();
  bool AddressHasFocus();
  // Keys every browser has, beside the command table's: Ctrl+T, Ctrl+W, Ctrl+L, tab
  // switching and zoom.
  void CreateFamiliarKeys();
  void SelectNeighbourTab(int Step);
  // Keys users bring from other browsers (U_FrmMain_HabitKeys.cpp).
  void CreateHabits();
  bool RunHabit(const THabitKey& Key);
  void ZoomActivePage(int Step);
  void CreateTabMenuActions();
  void ToolButton10Click();
  void N48Click();
  bool DispatchKey(unsigned Key, unsigned Modifiers);
  void FocusAddressBar();

  // The pages of OpenAddresses, without raising the window (U_FrmMain_Desktop.cpp).
  void OpenAddressPages(const std::vector<std::string>& Urls);
  // Travel drop-downs (U_FrmMain_Travel.cpp).
  void CreateTravelActions();
  void TravelPopup(bool Back);

  // NewPage, or a page that loads once first shown (U_FrmMain_Pages.cpp).
  TFrmWeb* AddPage(const std::string& Url, bool Show, std::optional<TFrmWeb::TDeferredLoad> Deferred);
  // Closed pages (U_FrmMain_Pages.cpp).
  void RecordClosedPage(TFrmWeb* Page);
  void RebuildUndoMenu();
  void DestroyPage(TFrmWeb* Page);
  void UpdateWindowTitle(const std::string& PageCaption);

  void PagesChanged() {
    if (OnPagesChanged) OnPagesChanged();
  }

  browser::EngineFactory FFactory;
  TProductSite FSite;
  // The user's registry file, shared by the options and the answers given to sites.
  platform::Registry FRegistry;
  TBrowserOptions FOptions{FRegistry};
  browser::TDownloadList* FDownloads = nullptr;
  std::unique_ptr<TDownloadsWindow> FDownloadsWindow;
  sigc::connection FDownloadsRefresh;
  browser::TSitePermissions FSitePermissions{FRegistry};
  bool FShown = false;
  bool FStartPagesOpened = false;
  int FLastRowCount = 1;
  std::unique_ptr<IPageUndoList> FUndoList;
  std::vector<TUndoMenuItem> FUndoMenu;
  platform::IHistorySink* FHistorySink = nullptr;
  static constexpr int MaxTravelItems = 10;
  std::vector<TTravelMenuItem> FBackItems, FForwardItems;
  int32_t FTravelCount = 0;
  std::unique_ptr<TAboutBox> FAboutBox;
  sigc::connection FAboutBoxFree;
  sigc::connection FConnectedWatch;
  // Answers that arrive after the window went are dropped.
  std::shared_ptr<int> FLifeToken = std::make_shared<int>(0);
  bool FCommittingTypedText = false;
  std::unique_ptr<Gtk::PopoverMenu> FTabMenu;
  bool FFullScreen = false;
  std::vector<bool> FBarsBeforeFullScreen;
  TPageRef FTabMenuPage;  // the page whose tab menu was opened last

  Gtk::Box FRoot{Gtk::Orientation::VERTICAL};
  Gtk::PopoverMenuBar* FMenuBar = nullptr;
  Gtk::Box CoolBar{Gtk::Orientation::VERTICAL};
  Gtk::Box tblMainToolBar{Gtk::Orientation::HORIZONTAL};
  Gtk::Box tblAddressBar{Gtk::Orientation::HORIZONTAL};
  Gtk::Label lblAddress;
  Gtk::Button btnAddress;
  Gtk::Box ToolBar1{Gtk::Orientation::HORIZONTAL};
  Gtk::Paned FClientArea{Gtk::Orientation::HORIZONTAL};
  Gtk::Box pnlLeftDockBar{Gtk::Orientation::VERTICAL};
  framework::MdiFrame FFrame;
  Gtk::Box StatusBar{Gtk::Orientation::HORIZONTAL};
  Gtk::Label FStatusText;
  Gtk::Box FStatusPanel1{Gtk::Orientation::HORIZONTAL};
  Gtk::Box FStatusPanel2{Gtk::Orientation::HORIZONTAL};
  framework::StatusGauge FProgressGauge;

  // The process's DDE: every page's control listens here (silently, as EnableDDE is off).
  platform::TDdeRouter FDdeRouter;
  // Every page's messages and file choosers, modal over this window; outlives the pages.
  framework::GtkDialogs FDialogs{*this};
  platform::IDialogs* FDialogsOverride = nullptr;
  // Last: pages go before the widgets they live in.
  std::vector<std::unique_ptr<TFrmWeb>> FPages;
  // Where the user works while a menu has the focus. After the pages: it stops watching
  // before any widget it knows goes.
  framework::FocusMemory FFocus{*this};
};

}  // namespace vorlane::shell
