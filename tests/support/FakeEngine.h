#pragma once
// A scripted engine for window tests: records the calls it gets, keeps a simple travel log
// and raises the engine's events when a test says so, in the order the real one does.
#include "browser/PageClosing.h"
#include "browser/WebEngine.h"

#include <gtkmm/label.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vorlane::test {

class TFakeEngineFactory;

class TFakeEngine : public browser::WebEngine {
public:
  struct Call {
    std::string Name;
    std::string Arg;
    int32_t Flags = 0;
  };

  explicit TFakeEngine(TFakeEngineFactory* Factory = nullptr);
  ~TFakeEngine() override;

  // --- scripting ---
  // A whole navigation of the main frame as WebKit raises it: BeforeNavigate2,
  // ProgressChange, NavigateComplete2, ProgressChange, CommandStateChange ×2,
  // ProgressChange(10000), ProgressChange(-1), DocumentComplete, TitleChange. The travel log
  // gains the page. No status texts: WebKit sends those only for links under the pointer.
  void CompleteNavigation(const std::string& Url, const std::string& Title);
  // A main-frame load of Url that fails before its document commits, as WebKit does it:
  // BeforeNavigate2, NavigateError, the attempt's final progress and DocumentComplete, then
  // the page about the failure loads under Url with the title ErrorPageTitle.
  void FailNavigation(const std::string& Url);
  // The pending navigation's response goes to a download, as WebKit hands it over: the
  // load starts and ends, and the page keeps what it showed.
  void DownloadPending();
  // Completes the last requested navigation (or does nothing when none is pending).
  void CompletePending(const std::string& Title = "");
  void FireProgress(int32_t Progress, int32_t Max);
  void FireStatusText(const std::string& Text);
  void FireCommandState(int32_t Command, bool Enable);
  void FireTitle(const std::string& Title);
  void FireBeforeNavigate(const std::string& Url);
  // The page asks for a new window; returns the engine handed back (or nullptr).
  browser::WebEngine* FireNewWindow(const std::string& RequestedUrl);
  // The page's script opens a window: the host is asked first, as WebKit's engine does,
  // and one it holds back never opens.
  browser::WebEngine* FireScriptWindow(const std::string& RequestedUrl, bool UserGesture);
  // The page asks for a permission; its answer lands in PermissionAnswers[returned index].
  // Refused on its own when the next document commits, as the real engine does.
  size_t FirePermissionRequest(browser::PagePermission Kind);
  std::vector<std::optional<bool>> PermissionAnswers;
  std::shared_ptr<int> FLife = std::make_shared<int>(0);  // answers after the engine went are dropped
  bool FireKey(unsigned Key, unsigned Modifiers);  // true when the host handled it
  bool FireDrop(const std::string& Text);          // true when the host took it
  bool FireContextMenu();                          // true when the engine may show its menu
  // True when the host shows it; its answer (accepted, text) lands in ScriptDialogAnswers.
  bool FireScriptDialog(const browser::ScriptDialog& Dialog);
  std::vector<std::pair<bool, std::string>> ScriptDialogAnswers;
  bool FireReload();                               // true when the host cancelled it
  void FireWindowClosing();
  int CallCount(const std::string& Name) const;
  const Call* LastCall(const std::string& Name) const;

  static constexpr const char* ErrorPageTitle = "无法显示网页";
  std::vector<Call> Calls;
  std::string PendingUrl;
  std::string Url, Title;
  bool HasDoc = false, IsHtml = true;
  int32_t ToolBarValue = 1;
  bool Loading = false;
  bool CanUndo = false;  // the page has typing to take back
  bool EditableFocus = false;  // a field of the page has the focus
  std::vector<browser::TravelEntry> Back, Forward;  // nearest first
  browser::IWebEngineEvents* Events = nullptr;
  browser::IWebEngineHost* Host = nullptr;
  // Page commands: what they answer.
  std::optional<std::string> ScriptResult = std::string("0");
  std::optional<std::string> SaveError;  // nullopt: saves succeed
  std::optional<DocumentSource> Source;
  unsigned FindMatches = 0;
  std::string UserAgentToken;

  // --- WebEngine ---
  void SetEvents(browser::IWebEngineEvents* E) override { Events = E; }
  void SetHost(browser::IWebEngineHost* H) override { Host = H; }
  Gtk::Widget& Widget() override { return FWidget; }
  void Navigate2(const std::string& Url, int32_t Flags) override;
  void GoBack() override;
  void GoForward() override;
  void GoHome() override;
  void Stop() override;
  void Refresh2() override;
  // As the real engine: a page without a question about leaving agrees at once; one with
  // it (AsksBeforeLeaving) asks its host (ShowScriptDialog, kind BeforeUnload) when it is
  // closed or navigated away from, and only a "leave" closes it or lets the navigation go
  // on. A close asked while the question is open waits for the same answer.
  void TryClose() override;
  bool AsksBeforeLeaving = false;
  // Answers the open question as the host's box would (for a host that shows none).
  void AnswerLeaving(bool Leave);
  std::vector<bool> LeaveAnswers;  // every answer to the question, in order
  void ExecWB(int32_t Command, int32_t Option) override;
  std::string LocationName() const override { return Title.empty() ? Url : Title; }
  std::string LocationURL() const override { return Url; }
  int32_t ToolBar() const override { return ToolBarValue; }
  int32_t ReadyState() const override { return Loading ? 1 : 4; }
  bool HasDocument() const override { return HasDoc; }
  bool DocumentIsHtml() const override { return IsHtml; }
  std::string DocumentTitle() const override { return Title; }
  std::string DocumentUrl() const override { return Url; }
  void FocusDocument() override;
  bool FocusIsEditable() const override { return EditableFocus; }
  void ExecuteEditingCommand(browser::EditingCommand Command) override;
  void TryEditingCommand(browser::EditingCommand Command, std::function<void(bool)> Done) override;
  void SetDownloadFlags(uint32_t Flags) override;
  uint32_t DownloadFlags() const override { return FFlags; }
  void SetHomePage(const std::string& Url) override { FHome = Url; }
  void SetZoomLevel(double Level) override { Zoom = Level; }
  double ZoomLevel() const override { return Zoom; }
  double Zoom = 1.0;
  std::vector<browser::TravelEntry> BackEntries(size_t Limit) const override;
  std::vector<browser::TravelEntry> ForwardEntries(size_t Limit) const override;
  bool TravelTo(int Offset) override;
  // As WebKit's: the Back/Forward list and current entry, given back as restored until the
  // page loads; restoring before the first load opens the restored current entry
  // ("RestoreSessionState" is recorded with the byte count).
  std::vector<uint8_t> SessionState() const override;
  void RestoreSessionState(const std::vector<uint8_t>& State) override;
  void RunScript(const std::string& Script,
                 std::function<void(std::optional<std::string>)> Done) override;
  // Page commands: recorded ("CallScript" with the first argument's value, "Save" with the
  // path and Flags 1 for MHTML, "FindText", "FindNext", …) and answered at once.
  void CallScript(const std::string& FunctionBody,
                  const std::vector<std::pair<std::string, std::string>>& Arguments,
                  std::function<void(std::optional<std::string>)> Done) override;
  void SaveDocument(const std::string& Path, SaveMode Mode,
                    std::function<void(std::optional<std::string>)> Done) override;
  void GetDocumentSource(std::function<void(std::optional<DocumentSource>)> Done) override;
  void FindText(const std::string& Text, bool MatchCase, std::function<void(unsigned)> Done) override;
  void FindNext() override { Record("FindNext"); }
  void FindPrevious() override { Record("FindPrevious"); }
  void FindFinish() override { Record("FindFinish"); }
  void ClearBrowsingData(bool Cache, bool Cookies, std::function<void(bool)> Done) override;
  void SetInterfaceFlags(uint32_t Flags) override { InterfaceFlags = Flags; }
  void SetUserAgentToken(const std::string& Token) override { UserAgentToken = Token; }
  void ShowInspector() override { Record("ShowInspector"); }
  void LeaveFullScreen() override { Record("LeaveFullScreen"); }
  // The user asks for a link in a tab of its own; true when the host took it.
  bool FireOpenInNewTab(const std::string& Link, bool Foreground) {
    return Host && Host->OpenInNewTab(Link, Foreground);
  }
  void FireFullScreen(bool On) {
    if (Events) Events->FullScreenChange(On);
  }
  uint32_t InterfaceFlags = 0;

private:
  void FollowClosing(browser::TPageClosing::Steps Steps);
  // The page's question; Leave runs when the user leaves.
  void AskAboutLeaving(std::function<void()> Leave);
  browser::TPageClosing FClosing;
  browser::ScriptDialogAnswer FLeaveAnswer;
  void Record(std::string Name, std::string Arg = {}, int32_t Flags = 0);
  void RaiseCommandStates();
  void EndLoad(const std::string& CompleteUrl);
  // One main-frame load to a committed document; MoveHistory updates the travel log at the
  // commit.
  void RunLoad(const std::string& NewUrl, const std::string& NewTitle, const std::function<void()>& MoveHistory,
               bool Travel = false);
  bool FRestoring = false;  // the pending load opens restored history
  std::vector<uint8_t> FPendingSession;

  TFakeEngineFactory* FFactory;
  Gtk::Label FWidget;
  uint32_t FFlags = 0;
  std::string FHome;
  bool FErrorPage = false;
  std::string FCommittedUrl;
};

// Makes fake engines and remembers the living ones in creation order.
class TFakeEngineFactory {
public:
  browser::EngineFactory Factory();
  const std::vector<TFakeEngine*>& Engines() const { return FEngines; }
  TFakeEngine* Last() const { return FEngines.empty() ? nullptr : FEngines.back(); }
  int Created() const { return FCreated; }

private:
  friend class TFakeEngine;
  std::vector<TFakeEngine*> FEngines;
  int FCreated = 0;
};

}  // namespace vorlane::test
