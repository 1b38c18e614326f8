#pragma once
// The web engine as the browser sees it: calls, travel log, events and the questions the
// engine puts to its host. No engine library type appears here; the real implementation
// lives in src/engine, a scripted one in tests/support.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace Gtk { class Widget; }

namespace vorlane::browser {

// An engine call that failed; Code is HRESULT-like (negative on failure).
class EngineError : public std::runtime_error {
public:
  EngineError(int32_t Code, const std::string& What) : std::runtime_error(What), FCode(Code) {}
  int32_t Code() const { return FCode; }

private:
  int32_t FCode;
};

constexpr int32_t E_FAIL_CODE = static_cast<int32_t>(0x80004005u);
constexpr int32_t E_NOTIMPL_CODE = static_cast<int32_t>(0x80004001u);

// Navigate2 flags.
constexpr int32_t navOpenInNewWindow = 1;

// CommandStateChange commands.
constexpr int32_t CSC_NAVIGATEFORWARD = 1;
constexpr int32_t CSC_NAVIGATEBACK = 2;

// ExecWB commands and prompts used by the browser.
constexpr int32_t OLECMDID_PRINT = 6;
constexpr int32_t OLECMDID_PRINTPREVIEW = 7;
constexpr int32_t OLECMDID_PAGESETUP = 8;
constexpr int32_t OLECMDEXECOPT_PROMPTUSER = 1;
constexpr int32_t OLECMDEXECOPT_DONTPROMPTUSER = 2;

enum class EditingCommand { Cut, Copy, Paste, SelectAll, Undo };

enum class ProcessEnd { Crashed, OutOfMemory, EndedByRequest };

// What a page may ask the user to allow.
enum class PagePermission { Geolocation, Notifications, CameraAndMicrophone, ReadClipboard };

// A page script's alert(), confirm() or prompt(), or the page's question whether to leave
// it (its beforeunload handler objected to a close or a navigation; Accepted: leave).
enum class ScriptDialogKind { Alert, Confirm, Prompt, BeforeUnload };
struct ScriptDialog {
  ScriptDialogKind Kind = ScriptDialogKind::Alert;
  std::string Message;
  std::string DefaultText;  // what a prompt's box starts with
};
// The user's answer: Accepted is OK (an alert has only that), Text what a prompt's box
// held. The page waits until it comes; a dialog whose every copy of its answer went
// unanswered counts as cancelled.
using ScriptDialogAnswer = std::function<void(bool Accepted, const std::string& Text)>;

struct TravelEntry {
  std::string Title;
  std::string Url;
};

class WebEngine;

// Events the engine raises, in the order of one navigation: BeforeNavigate2,
// ProgressChange, CommandStateChange, NavigateComplete2, ProgressChange(-1, 10000),
// DocumentComplete; TitleChange whenever the title arrives (usually after the load).
// Every load ends with ProgressChange(-1, …) and DocumentComplete, also a failed or
// stopped one. Every member has a default that does nothing.
class IWebEngineEvents {
public:
  virtual ~IWebEngineEvents() = default;
  virtual void StatusTextChange(const std::string& Text) {}
  virtual void ProgressChange(int32_t Progress, int32_t ProgressMax) {}
  virtual void CommandStateChange(int32_t Command, bool Enable) {}
  virtual void BeforeNavigate2(const std::string& Url, bool& Cancel) {}
  // The page asked for a new window. Set NewEngine to another engine (created by the same
  // factory, not yet navigated by anyone but its pending first request) and the engine
  // loads the requested address there; leave it null or set Cancel to refuse.
  virtual void NewWindow2(WebEngine*& NewEngine, bool& Cancel) {}
  virtual void NavigateComplete2(const std::string& Url) {}
  virtual void DocumentComplete(const std::string& Url) {}
  virtual void TitleChange(const std::string& Title) {}
  // A new main-frame document committed at Url (raised after NavigateComplete2; not for
  // same-document jumps). ErrorPage: the engine's own page about a failed load or an
  // ended process, shown under the address that failed.
  virtual void DocumentCommitted(const std::string& Url, bool ErrorPage) {}
  // A main-frame load of Url failed. Committed: its document had committed already, so
  // DocumentCommitted was raised for this very load; otherwise the page still shows what
  // it showed before (a failed reload leaves the earlier document's commit standing).
  virtual void NavigateError(const std::string& Url, bool Committed) {}
  // The page's script asked to close its window.
  virtual void WindowClosing() {}
  // A main-frame load was handed to a download; the page stays as it was. NothingShown:
  // the page never showed a document (it was opened for what became the download).
  virtual void LoadBecameDownload(bool NothingShown) {}
  // The page's web process ended; the engine already shows a page that says so.
  virtual void ProcessTerminated(ProcessEnd Reason) {}
  // Raised after each commit: whether the document was loaded over a connection whose
  // certificate the user chose to trust though the engine does not.
  virtual void CertificateStateChange(bool Untrusted) {}
  // The page entered (a video shown on the whole screen) or left its own full screen.
  virtual void FullScreenChange(bool On) {}
};

// Questions the engine asks its host (the browser control). Defaults are what a host
// that answers nothing gets.
class IWebEngineHost {
public:
  virtual ~IWebEngineHost() = default;
  // false: the engine shows no context menu.
  virtual bool AllowContextMenu() { return true; }
  // A dropped text (address); true when the host took it and the engine must not.
  virtual bool HandleDrop(const std::string& Text) { return false; }
  // A key the engine got; true when the host handled it (the engine then ignores it).
  // Key is a GDK key value, Modifiers GDK modifier bits.
  virtual bool TranslateAccelerator(unsigned Key, unsigned Modifiers) { return false; }
  // Script alert/confirm/prompt; true when the host shows it and answers later through
  // Answer, false to let the engine show its own. The question about leaving is never left
  // to the engine: one the host does not show lets the page go.
  virtual bool ShowScriptDialog(const ScriptDialog& Dialog, ScriptDialogAnswer Answer) { return false; }
  // The page is about to be reloaded (CommandId: IDM_REFRESH…); true cancels the reload.
  virtual bool CancelRefresh(int32_t CommandId) { return false; }
  // A page command that finished later failed; Text says what went wrong.
  virtual void ReportError(const std::string& Text) {}
  // The page's script asks for a window of its own to load Url in; UserGesture: in answer
  // to the user's click or key. false holds it back: nothing opens.
  virtual bool AllowNewWindow(const std::string& Url, bool UserGesture) { return true; }
  // The page asks for Kind. Answer may come later; it is ignored once the engine went or
  // the page left the document that asked (the engine refuses then on its own).
  virtual void RequestPermission(PagePermission Kind, std::function<void(bool)> Answer) { Answer(false); }
  // The user asked, on the engine's page about a certificate it does not trust, to go on
  // to Host anyway; Proceed(true) trusts that certificate there for the rest of the run.
  virtual void ConfirmInsecureProceed(const std::string& Host, std::function<void(bool)> Proceed) {
    Proceed(false);
  }
  // The user asked for a link in a tab of its own (Ctrl+click, a middle click, the
  // context menu); Foreground: shown at once. false: nobody took it, nothing opens.
  virtual bool OpenInNewTab(const std::string& Url, bool Foreground) { return false; }
};

class WebEngine {
public:
  virtual ~WebEngine() = default;

  virtual void SetEvents(IWebEngineEvents* Events) = 0;
  virtual void SetHost(IWebEngineHost* Host) = 0;

  // The widget that shows the page; owned by the engine.
  virtual Gtk::Widget& Widget() = 0;

  // Calls. Navigate2 with navOpenInNewWindow raises NewWindow2 and loads Url into the
  // engine handed back. Addresses are fixed up as users type them: a bare host name gets
  // "http://", an existing local path becomes a file: address.
  virtual void Navigate2(const std::string& Url, int32_t Flags = 0) = 0;
  virtual void GoBack() = 0;
  virtual void GoForward() = 0;
  virtual void GoHome() = 0;
  virtual void Stop() = 0;
  virtual void Refresh2() = 0;
  // Asks the page whether it may close (its own question about leaving, which may ask the
  // user) and raises WindowClosing once it may; a page that keeps itself open raises nothing.
  // A request while an earlier one or the question is under way asks nothing more: the
  // answer to come stands for both.
  virtual void TryClose() = 0;
  virtual void ExecWB(int32_t Command, int32_t Option) = 0;

  virtual std::string LocationName() const = 0;
  virtual std::string LocationURL() const = 0;
  // 0 only in a window a script opened with every bar hidden.
  virtual int32_t ToolBar() const = 0;
  virtual int32_t ReadyState() const = 0;  // 4: complete

  // The current document: whether there is one and whether it is HTML.
  virtual bool HasDocument() const = 0;
  virtual bool DocumentIsHtml() const = 0;
  virtual std::string DocumentTitle() const = 0;
  virtual std::string DocumentUrl() const = 0;

  // Gives the page the keyboard focus. Before the page can show anything, the focus comes
  // once it can, unless another widget of the window took the focus meanwhile.
  virtual void FocusDocument() = 0;
  // Whether the page's focused content takes typing (a field, an editable region): the
  // page's own editing keys apply only then.
  virtual bool FocusIsEditable() const { return false; }
  virtual void ExecuteEditingCommand(EditingCommand Command) = 0;
  // Runs Command only when the page can run it now (Undo: an edit to take back); Done gets
  // whether it ran. Done is never called once the engine is gone.
  virtual void TryEditingCommand(EditingCommand Command, std::function<void(bool)> Done) { Done(false); }

  // Download-control flags (DLCTL_* word) and host UI flags (DOCHOSTUIFLAG_* word).
  virtual void SetDownloadFlags(uint32_t Flags) = 0;
  virtual uint32_t DownloadFlags() const = 0;
  virtual void SetInterfaceFlags(uint32_t Flags) { (void)Flags; }

  // The home page used by GoHome.
  virtual void SetHomePage(const std::string& Url) = 0;

  // Page zoom; 1.0 is the page's own size.
  virtual void SetZoomLevel(double Level) { (void)Level; }
  virtual double ZoomLevel() const { return 1.0; }

  // Travel log, nearest first.
  virtual std::vector<TravelEntry> BackEntries(size_t Limit) const = 0;
  virtual std::vector<TravelEntry> ForwardEntries(size_t Limit) const = 0;
  // Offset -1 is one step back. Returns false when there is no such entry.
  virtual bool TravelTo(int Offset) = 0;

  // The page's history (Back/Forward list and current entry) as opaque bytes, empty when
  // there is none; and, for an engine that has not started its first request yet, history
  // to start from instead: it then opens the current entry of that history.
  virtual std::vector<uint8_t> SessionState() const { return {}; }
  virtual void RestoreSessionState(const std::vector<uint8_t>& State) { (void)State; }

  // Runs a script in the engine's own isolated world; Done gets the result as text or
  // nullopt on failure.
  virtual void RunScript(const std::string& Script,
                         std::function<void(std::optional<std::string>)> Done) = 0;

  // --- Page commands. Defaults: not available. Callbacks are dropped when the engine goes.
  // Runs FunctionBody in the isolated world as the body of an async function whose
  // parameters are Arguments' names (strings): the values never become script source.
  virtual void CallScript(const std::string& FunctionBody,
                          const std::vector<std::pair<std::string, std::string>>& Arguments,
                          std::function<void(std::optional<std::string>)> Done) {
    if (Done) Done(std::nullopt);
  }
  // Writes the document to Path: the complete page as MHTML, or the main resource's bytes.
  // Done gets nullopt on success, else what went wrong.
  enum class SaveMode { Mhtml, HtmlOnly };
  virtual void SaveDocument(const std::string& Path, SaveMode Mode,
                            std::function<void(std::optional<std::string>)> Done) {
    if (Done) Done(std::string("This page cannot be saved"));
  }
  // The main resource's bytes and the charset its response named (may be empty).
  struct DocumentSource {
    std::string Bytes;
    std::string Charset;
  };
  virtual void GetDocumentSource(std::function<void(std::optional<DocumentSource>)> Done) {
    if (Done) Done(std::nullopt);
  }
  struct PageProperties {
    std::string Title, Url, MimeType;
    int64_t Size = -1;   // bytes; -1 unknown
    int Status = 0;      // HTTP status; 0 none
    std::string Certificate;  // subject, issuer and validity of the TLS certificate; empty: none
    bool CertificateTrusted = false;
  };
  virtual PageProperties GetPageProperties() const { return {DocumentTitle(), DocumentUrl()}; }
  // Find: starts a search (highlights and selects the first match); Done gets the number
  // of matches of the whole text in the page (a search a newer one replaced before its
  // count came gets none), 0 when there is none.
  virtual void FindText(const std::string& Text, bool MatchCase, std::function<void(unsigned)> Done) {
    if (Done) Done(0);
  }
  virtual void FindNext() {}
  virtual void FindPrevious() {}
  virtual void FindFinish() {}
  // Clears the cache and/or cookies of every page; Done(true) on success.
  virtual void ClearBrowsingData(bool Cache, bool Cookies, std::function<void(bool)> Done) {
    if (Done) Done(false);
  }
  // An extra token for the user agent of this page (empty: none).
  virtual void SetUserAgentToken(const std::string& Token) {}
  // The engine's developer tools for this page (turned on for it when first asked).
  virtual void ShowInspector() {}
  // Ends the page's own full screen (a video it showed so), if any.
  virtual void LeaveFullScreen() {}
};

using EngineFactory = std::function<std::unique_ptr<WebEngine>()>;

}  // namespace vorlane::browser
