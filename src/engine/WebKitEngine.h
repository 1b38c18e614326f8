#pragma once
// The WebKitGTK implementation of browser::WebEngine. One engine owns one WebKitWebView,
// created on first need: a fresh engine keeps its first request pending, so that the
// new-window handshake can still give it a view related to the page that asked for it.
// WebKit's own headers stay in the .cpp files; this header names its types only.
#include "browser/PageClosing.h"
#include "browser/ProcessSharing.h"
#include "browser/WebEngine.h"
#include "engine/GObjectPtr.h"

#include <gio/gio.h>
#include <gtkmm/box.h>
#include <gtkmm/eventcontroller.h>
#include <gtkmm/eventcontrollerkey.h>
#include <memory>
#include <optional>
#include <sigc++/connection.h>
#include <string>

typedef struct _WebKitWebView WebKitWebView;
typedef struct _WebKitScriptDialog WebKitScriptDialog;

namespace vorlane::engine {

struct PrintSetup;
struct FindState;
class ProcessPlacement;

// Application details added to WebKit's user agent.
inline constexpr const char* UserAgentName = "Vorlane";
inline constexpr const char* UserAgentVersion = "2.5";

class WebKitEngine final : public browser::WebEngine {
public:
  // Placement: where the engines of one browser put their views' web processes; without it
  // the view gets a process of its own.
  explicit WebKitEngine(std::shared_ptr<ProcessPlacement> Placement = nullptr);
  ~WebKitEngine() override;
  WebKitEngine(const WebKitEngine&) = delete;
  WebKitEngine& operator=(const WebKitEngine&) = delete;

  void SetEvents(browser::IWebEngineEvents* Events) override { FEvents = Events; }
  void SetHost(browser::IWebEngineHost* Host) override { FHost = Host; }
  // Remove it from its parent before destroying the engine, as with any gtkmm widget.
  Gtk::Widget& Widget() override { return *FBox; }

  void Navigate2(const std::string& Url, int32_t Flags = 0) override;
  void GoBack() override;
  void GoForward() override;
  void GoHome() override;
  void Stop() override;
  void Refresh2() override;
  void TryClose() override;
  void ExecWB(int32_t Command, int32_t Option) override;

  std::string LocationName() const override;
  std::string LocationURL() const override;
  int32_t ToolBar() const override;
  int32_t ReadyState() const override;

  bool HasDocument() const override;
  bool DocumentIsHtml() const override;
  std::string DocumentTitle() const override;
  std::string DocumentUrl() const override;

  void FocusDocument() override;
  bool FocusIsEditable() const override;
  void ExecuteEditingCommand(browser::EditingCommand Command) override;
  void TryEditingCommand(browser::EditingCommand Command, std::function<void(bool)> Done) override;

  void SetDownloadFlags(uint32_t Flags) override;
  uint32_t DownloadFlags() const override { return FDownloadFlags; }
  void SetHomePage(const std::string& Url) override { FHomePage = Url; }
  void SetZoomLevel(double Level) override;
  double ZoomLevel() const override;

  std::vector<browser::TravelEntry> BackEntries(size_t Limit) const override;
  std::vector<browser::TravelEntry> ForwardEntries(size_t Limit) const override;
  bool TravelTo(int Offset) override;

  void RunScript(const std::string& Script,
                 std::function<void(std::optional<std::string>)> Done) override;

  // Page commands (WebKitEngine_Commands.cpp).
  void CallScript(const std::string& FunctionBody,
                  const std::vector<std::pair<std::string, std::string>>& Arguments,
                  std::function<void(std::optional<std::string>)> Done) override;
  void SaveDocument(const std::string& Path, SaveMode Mode,
                    std::function<void(std::optional<std::string>)> Done) override;
  void GetDocumentSource(std::function<void(std::optional<DocumentSource>)> Done) override;
  PageProperties GetPageProperties() const override;
  void FindText(const std::string& Text, bool MatchCase, std::function<void(unsigned)> Done) override;
  void FindNext() override;
  void FindPrevious() override;
  void FindFinish() override;
  void ClearBrowsingData(bool Cache, bool Cookies, std::function<void(bool)> Done) override;
  void SetUserAgentToken(const std::string& Token) override;
  void ShowInspector() override;    // WebKitEngine_Tabs.cpp
  void LeaveFullScreen() override;
  // The print settings and page setup this engine prints with (shared by a factory's engines).
  void SetPrintSetup(std::shared_ptr<PrintSetup> Setup) { FPrintSetup = std::move(Setup); }
  // Before the view exists: whether WebKit may composite the page with the GPU.
  void SetGpuCompositing(bool On) { FGpuCompositing = On; }

  std::vector<uint8_t> SessionState() const override;
  void RestoreSessionState(const std::vector<uint8_t>& State) override;

  // The new-window handshake, on the engine handed back from NewWindow2: builds a view
  // related to Opener's, drops the pending request and returns the view for WebKit to load
  // RequestUri into. The two views share the content manager; the download switches are
  // the opener's unless this engine was given its own, and each view keeps its own
  // settings. An engine that already has a view loads RequestUri itself and returns nullptr.
  WebKitWebView* AdoptPopup(WebKitEngine& Opener, const std::string& RequestUri);

  // The view, or nullptr before the first request started (for tests and the shell's
  // diagnostics; never needed to drive the engine).
  WebKitWebView* View() const { return FView.Get(); }

private:
  struct Signals;
  friend struct Signals;
  struct DropHandler;  // WebKitEngine_View.cpp
  friend struct DropHandler;
  struct Questions;  // WebKitEngine_Questions.cpp
  friend struct Questions;
  struct TabSignals;  // WebKitEngine_Tabs.cpp
  friend struct TabSignals;
  struct PendingPermission;
  // A page's script dialog while the host asks the user: closed with the answer, or as
  // cancelled once nobody can answer any more.
  class HeldScriptDialog {
  public:
    explicit HeldScriptDialog(WebKitScriptDialog* Dialog);
    ~HeldScriptDialog();
    HeldScriptDialog(const HeldScriptDialog&) = delete;
    HeldScriptDialog& operator=(const HeldScriptDialog&) = delete;
    void Answer(bool Accepted, const std::string& Text);
    // The engine shows the dialog after all: it is not ours to close.
    void Release();
    // WebKit's signal handler returned. WebKit lets go of the dialog only after that, so
    // an answer given inside the handler (a host that answers at once) is passed on from
    // the main loop, and so is the close of a dialog nobody kept the answer of: closed
    // inside the handler, WebKit would release the dialog twice.
    static void SignalOver(const std::shared_ptr<HeldScriptDialog>& Self);

  private:
    WebKitScriptDialog* FDialog;
    bool FAnswered = false;
    bool FInSignal = true;
    std::optional<std::pair<bool, std::string>> FEarly;
  };

  // WebKitEngine_Closing.cpp
  void FollowClosing(browser::TPageClosing::Steps Steps);
  gboolean AskAboutLeaving(WebKitScriptDialog* Dialog);  // the page's beforeunload objected
  void ConnectClosing();

  void CreateView(WebKitWebView* Opener);
  void ConnectSignals();  // WebKitEngine_Signals.cpp
  void ConnectTabSignals();  // WebKitEngine_Tabs.cpp; before ConnectSignals, so its decisions come first
  // WebKitEngine_Questions.cpp
  void ConnectQuestions();
  // A new main-frame document committed (ErrorPage: our page about a failed load).
  void DocumentChanged(bool ErrorPage);
  // true when RequestUri is the way on from our certificate page (the navigation stops).
  bool InterceptProceed(const std::string& RequestUri);
  // Our page about working offline instead of a failure to reach the network, and its
  // link that goes online and loads the page again (WebKitEngine_Offline.cpp).
  bool ShowOfflinePage(const std::string& FailedUri);
  bool InterceptGoOnline(const std::string& RequestUri);
  void EnsureView();
  void SchedulePending();
  void StartPending();
  bool RestorePendingSession();
  void Load(const std::string& FixedUrl);
  void OpenInNewWindow(const std::string& Url);
  void ApplyDownloadFlags();
  void ShowProcessEndedPage(browser::ProcessEnd Reason, std::size_t Others);
  void AskWhichProcess();  // WebKitEngine_View.cpp
  void ApplyUserAgentToken();  // WebKitEngine_Commands.cpp
  void TakeWaitingFocus();
  std::string ViewUri() const;

  browser::IWebEngineEvents* FEvents = nullptr;
  browser::IWebEngineHost* FHost = nullptr;
  std::unique_ptr<Gtk::Box> FBox;
  GObjectPtr<WebKitWebView> FView;
  Glib::RefPtr<Gtk::EventController> FDropTarget;
  Glib::RefPtr<Gtk::EventControllerKey> FKeys;
  GObjectPtr<GCancellable> FCancellable;  // cancelled when the engine goes
  // Handlers keep a weak_ptr to this: an event may destroy the engine that raised it.
  std::shared_ptr<int> FLifeToken = std::make_shared<int>(0);

  browser::TPageClosing FClosing;
  bool FAskingToClose = false;  // inside WebKit's try-close

  bool FPopup = false;  // the view was opened by a page's script (WebKit's `create`)
  std::optional<std::string> FPending;
  std::vector<uint8_t> FPendingSession;  // history to start from instead of FPending
  sigc::connection FPendingIdle;
  // Connected while a focus request waits for the view; a focus change elsewhere ends it.
  sigc::connection FFocusWatch;
  uint32_t FDownloadFlags;
  bool FDownloadFlagsSet = false;
  std::string FHomePage;
  std::shared_ptr<ProcessPlacement> FPlacement;
  browser::PageId FPageId = 0;
  std::uint64_t FCommits = 0;  // an answer about an earlier commit is out of date

  // State of the current main-frame load, for turning WebKit's signals into events.
  bool FLoadStarted = false;
  bool FLoadCommitted = false;
  std::optional<double> FHeldProgress;  // progress WebKit reported before the load started
  std::string FLoadUri;
  std::string FLastNavigationRequest;  // target of the latest navigation decision
  std::string FCommittedUri;
  std::string FErrorPageUri;  // the next commit at this address is our page about a failure
  std::string FLastUri;  // the last address the view had, reloaded after a crash
  std::string FStatusText;

  // Questions the page put to the user that are not answered yet; refused when the page
  // leaves the document that asked or the engine goes.
  std::vector<std::shared_ptr<PendingPermission>> FPermissions;
  void RefusePendingPermissions();
  // The certificate WebKit refused last, until the page moves on: the error page's way
  // past it names it by Token, so no other page can trigger it.
  struct UntrustedCertificate {
    GObjectPtr<GTlsCertificate> Certificate;
    std::string Host, Uri, Token;
  };
  std::optional<UntrustedCertificate> FUntrusted;
  struct OfflineFailure {
    std::string Uri, Token;
  };
  std::optional<OfflineFailure> FOffline;

  // Page commands.
  std::shared_ptr<PrintSetup> FPrintSetup;
  bool FGpuCompositing = true;
  std::shared_ptr<FindState> FFind;
  std::string FUserAgentToken;
};

// Makes every engine's network loads follow the process's connected state (offline: a
// proxy on a dead loopback port). Idempotent. WebKitEngine_Offline.cpp.
void FollowConnectionState();

// A new engine on its own view (own web process, settings and content manager).
std::unique_ptr<browser::WebEngine> CreateWebKitEngine();
// Engines whose views share web processes as browser::ProcessSharing decides; each view
// keeps its own settings and content manager. ProductSiteBase: the configured product
// site's address, if any. GpuCompositing off: pages are drawn by WebKit on the CPU (for
// machines whose OpenGL is software, where that is the faster way).
browser::EngineFactory WebKitEngineFactory(const std::string& ProductSiteBase = {}, bool GpuCompositing = true);

}  // namespace vorlane::engine
