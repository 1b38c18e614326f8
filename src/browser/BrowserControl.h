#pragma once
// The component that owns one engine and is its host: it turns the option sets into the
// engine's flag words, answers the engine's host questions and passes the engine's events
// on to whoever bound a handler.
#include "browser/DdeServer.h"
#include "browser/DownloadOptions.h"
#include "browser/PrintOptions.h"
#include "browser/ScriptDialogLimit.h"
#include "browser/WebEngine.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vorlane::platform { class IDialogs; }
namespace vorlane::mail { class TMAPIMail; }

namespace vorlane::browser {

class TPageWaits;
class IWaitClock;
enum class WaitDropped;

// What the user is told when a save had to stop waiting for the page.
inline constexpr const char* PageNotLoadedText = "网页尚未加载完成，未能保存。";

class TBrowserControl : private IWebEngineEvents, private IWebEngineHost {
public:
  // With a router, the control is also a shell DDE server there (silent until EnableDDE).
  explicit TBrowserControl(std::unique_ptr<WebEngine> Engine, platform::TDdeRouter* Dde = nullptr);
  ~TBrowserControl() override;
  TBrowserControl(const TBrowserControl&) = delete;
  TBrowserControl& operator=(const TBrowserControl&) = delete;

  Gtk::Widget& Widget() { return FEngine->Widget(); }
  // The engine object ("Application"): what a new-window request hands back.
  WebEngine* Application() { return FEngine.get(); }
  WebEngine& Engine() { return *FEngine; }
  const WebEngine& Engine() const { return *FEngine; }

  // Lets a component that holds this control without owning it notice that it is gone.
  std::weak_ptr<const void> Liveness() const { return FLiveness; }

  // Option sets; assigning one passes its flag word to the engine.
  TDownloadControlOptions DownloadOptions() const { return FDownloadOptions; }
  void SetDownloadOptions(TDownloadControlOptions Options);
  uint32_t DownloadFlags() const { return DownloadFlagsOf(FDownloadOptions); }
  TUserInterfaceOptions UserInterfaceOptions() const { return FUserInterfaceOptions; }
  void SetUserInterfaceOptions(TUserInterfaceOptions Options);
  bool DisableRightClickMenu = false;
  bool EnableDDE() const { return FDde && FDde->EnableDDE; }
  void SetEnableDDE(bool Value) {
    if (FDde) FDde->EnableDDE = Value;
  }
  TDdeServer* DdeServer() { return FDde.get(); }

  void Navigate2(const std::string& Url, int32_t Flags = 0) { FEngine->Navigate2(Url, Flags); }
  int32_t ToolBar() const { return FEngine->ToolBar(); }
  // Gives the engine the keyboard focus.
  void FocusDocument() { FEngine->FocusDocument(); }

  // Events, named as the engine's.
  std::function<void(const std::string&)> OnStatusTextChange;
  std::function<void(int32_t, int32_t)> OnProgressChange;
  std::function<void(int32_t, bool)> OnCommandStateChange;
  std::function<void(const std::string&, bool&)> OnBeforeNavigate2;
  std::function<void(WebEngine*&, bool&)> OnNewWindow2;
  std::function<void(const std::string&)> OnNavigateComplete2;
  std::function<void(const std::string&)> OnDocumentComplete;
  std::function<void(const std::string&)> OnTitleChange;
  std::function<void()> OnWindowClosing;
  // The user chose to stay when asked about leaving the page.
  std::function<void()> OnStayed;
  std::function<void(bool NothingShown)> OnLoadBecameDownload;
  std::function<void(ProcessEnd)> OnProcessTerminated;
  std::function<void(const std::string&, bool)> OnDocumentCommitted;
  std::function<void(const std::string&, bool)> OnNavigateError;
  std::function<void(bool)> OnCertificateStateChange;
  // Host questions that the owner may take over.
  std::function<bool(unsigned, unsigned)> OnTranslateAccelerator;  // true: handled
  std::function<bool(const std::string&)> OnDrop;                   // true: taken
  // A script's window (address, user gesture); false holds it back. Unset: only windows
  // opened in answer to a click or a key open.
  std::function<bool(const std::string&, bool)> OnNewWindowRequest;
  // The page asks for a permission; the answer may come later. Unset: refused.
  std::function<void(PagePermission, std::function<void(bool)>)> OnPermissionRequest;
  // Going on past an untrusted certificate of a host; unset: never.
  std::function<void(const std::string&, std::function<void(bool)>)> OnInsecureProceed;
  // A link the user asked for in a tab of its own (address, shown at once); unset: refused.
  std::function<void(const std::string&, bool)> OnOpenInNewTab;
  // The page entered or left its own full screen.
  std::function<void(bool)> OnFullScreenChange;

  // --- Host (BrowserControl_Host.cpp) ---
  bool HideBorders = false;     // forces NO3DBORDER and NO3DOUTERBORDER in or out
  bool HideScrollBars = false;  // forces SCROLL_NO in or out
  bool ReplaceCaption = false;  // our dialogs carry our own captions anyway
  std::string UserAgent;  // an extra user-agent token for this page
  std::string HelpFile;
  TPrintOptions PrintOptions;
  bool fpExceptions() const { return FFpExceptions; }
  // False masks every floating-point exception; true restores the start-up state.
  void SetFpExceptions(bool Value);

  // The host flag word, as last recomputed; the option sets adjusted by HideBorders and
  // HideScrollBars on every recompute.
  uint32_t InterfaceFlags() const { return FInterfaceFlags; }
  void RecomputeInterfaceFlags();
  // The owner applied its settings: flag words recomputed, user-agent token given.
  void Loaded();
  void NavigateToAddress(const std::string& Address);
  // An item-ID list that names an existing file opens it; anything else does nothing.
  void NavigateToItemIdList(const std::vector<uint8_t>& List);
  // Stops loading and drops the commands waiting for the page to complete.
  void Stop();

  // true: the owner showed its own menu (no engine menu). Not raised while
  // DisableRightClickMenu is set.
  std::function<bool()> OnShowContextMenu;
  // A script's alert, confirm or prompt; true: the owner shows it and answers through the
  // answer given (the engine shows nothing). Unset: our own Chinese boxes through Dialogs.
  std::function<bool(const ScriptDialog&, ScriptDialogAnswer)> OnShowMessage;
  // A reload (CmdID 2300, 6041, 6042); Cancel true keeps the page as it is.
  std::function<void(int32_t, bool&)> OnRefresh;
  // The page's script asked to close the window; CanClose false keeps it.
  std::function<void(bool&)> OnCloseQuery;

  // --- Page commands (PageCommands*.cpp) ---
  // Every message goes through Dialogs, captioned with ApplicationTitle; without dialogs
  // the commands that need one do nothing.
  platform::IDialogs* Dialogs = nullptr;
  std::string ApplicationTitle = "vorlane";
  // The question when a page objects to being left, with its buttons.
  static constexpr const char* LeaveQuestion = "离开此网页？\n您所做的更改可能不会保存。";
  static constexpr const char* LeaveButton = "离开";
  static constexpr const char* StayButton = "留下";
  // An error box captioned with ApplicationTitle.
  void ShowError(const std::string& Text);

  void PrintPage();
  void PreviewPage();
  void SetupPage();
  void ExecDocumentCommand(bool UseBrowserGroup, int32_t CommandId);
  void SavePageAs();
  void ShowPageSource();
  void ShowEngineOptions();
  void ShowPageProperties();
  void ShowFindDialog();
  void CutSelection();
  void CopySelection();
  void PasteClipboard();
  void SelectAllContent();
  void OpenLocalFile();
  void OpenNewBookFile();
  // Done gets the connected state after the user answered (false: offline).
  void GoOffline(std::function<void(bool)> Done = {});
  void GoOnline(std::function<void(bool)> Done = {});
  void MailPageAddress();
  // Saves the document once it is complete; Done gets nullopt on success, else what to
  // tell the user (PageNotLoadedText when the wait for the page was dropped).
  void SaveDocumentToFile(const std::string& FileName,
                          std::function<void(std::optional<std::string>)> Done);
  // Saves the page into a private folder named after Title and opens the mail program
  // with it attached; a failed save shows its error and sends nothing.
  void MailPageFile(const std::string& Title);
  void CreateDesktopShortcut();
  void HighlightMatches(const std::string& Text, std::function<void(int)> Done = {});

  // Clears the kept list of downloads ("清除浏览数据" offers it when set).
  std::function<void()> OnClearDownloadList;
  // Opens the mail program with an address (the shell's default handler for mailto:).
  std::function<void(const std::string&)> OpenUri;
  // A weak token for callbacks that may outlive this control.
  std::weak_ptr<int> LifeToken() const { return FLifeToken; }
  // Runs Step once the document is complete (at once when it is); dropped on Stop, a new
  // navigation, after 60 s or when the control goes, and Dropped then hears why.
  void WhenDocumentComplete(std::function<void()> Step, std::function<void(WaitDropped)> Dropped);
  // Times the waits for the page from now on (the main loop's clock by default).
  void SetWaitClock(IWaitClock& Clock);

private:
  void StatusTextChange(const std::string& Text) override;
  void ProgressChange(int32_t Progress, int32_t ProgressMax) override;
  void CommandStateChange(int32_t Command, bool Enable) override;
  void BeforeNavigate2(const std::string& Url, bool& Cancel) override;
  void NewWindow2(WebEngine*& NewEngine, bool& Cancel) override;
  void NavigateComplete2(const std::string& Url) override;
  void DocumentComplete(const std::string& Url) override;
  void TitleChange(const std::string& Title) override;
  void WindowClosing() override;
  void LoadBecameDownload(bool NothingShown) override;
  void ProcessTerminated(ProcessEnd Reason) override;
  void DocumentCommitted(const std::string& Url, bool ErrorPage) override;
  void NavigateError(const std::string& Url, bool Committed) override;
  void CertificateStateChange(bool Untrusted) override;
  void FullScreenChange(bool On) override;  // BrowserControl_Tabs.cpp

  bool AllowContextMenu() override;
  bool ShowScriptDialog(const ScriptDialog& Dialog, ScriptDialogAnswer Answer) override;
  bool CancelRefresh(int32_t CommandId) override;
  void ReportError(const std::string& Text) override;
  bool HandleDrop(const std::string& Text) override;
  bool TranslateAccelerator(unsigned Key, unsigned Modifiers) override;
  bool AllowNewWindow(const std::string& Url, bool UserGesture) override;
  void RequestPermission(PagePermission Kind, std::function<void(bool)> Answer) override;
  void ConfirmInsecureProceed(const std::string& Host, std::function<void(bool)> Proceed) override;
  bool OpenInNewTab(const std::string& Url, bool Foreground) override;  // BrowserControl_Tabs.cpp

  std::unique_ptr<WebEngine> FEngine;
  std::unique_ptr<TDdeServer> FDde;
  std::shared_ptr<const void> FLiveness = std::make_shared<char>(0);
  TDownloadControlOptions FDownloadOptions{DLCTL_DLIMAGES, DLCTL_VIDEOS, DLCTL_BGSOUNDS};
  TUserInterfaceOptions FUserInterfaceOptions;
  uint32_t FInterfaceFlags = 0;
  bool FFpExceptions = true;
  bool FLoadStarted = false;  // BeforeNavigate2 seen, DocumentComplete not yet
  std::shared_ptr<int> FLifeToken = std::make_shared<int>(0);
  std::unique_ptr<TPageWaits> FWaits;
  TScriptDialogLimit FScriptDialogs;
};

}  // namespace vorlane::browser
