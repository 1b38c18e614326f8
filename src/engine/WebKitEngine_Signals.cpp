// WebKit's signals turned into the engine's events, in the order the browser expects for
// one navigation: BeforeNavigate2, ProgressChange, CommandStateChange, NavigateComplete2,
// TitleChange, DocumentComplete.
#include "engine/WebKitEngine.h"
#include "engine/ProcessPlacement.h"

#include "browser/HostRules.h"
#include "engine/NetworkSession.h"
#include "engine/NoticePages.h"
#include "engine/SitePages.h"

#include <glibmm/main.h>

#include <cmath>
#include <webkit/webkit.h>

namespace vorlane::engine {

namespace {

std::string OrEmpty(const char* Text) { return Text ? Text : ""; }

LoadFailure FailureOf(const GError* Error) {
  if (Error->domain == G_IO_ERROR) {
    switch (Error->code) {
      case G_IO_ERROR_CONNECTION_REFUSED: return LoadFailure::Refused;
      case G_IO_ERROR_TIMED_OUT: return LoadFailure::TimedOut;
      case G_IO_ERROR_HOST_UNREACHABLE:
      case G_IO_ERROR_NETWORK_UNREACHABLE: return LoadFailure::Unreachable;
      default: return LoadFailure::Other;
    }
  }
  if (Error->domain == G_RESOLVER_ERROR) return LoadFailure::UnknownHost;
  if (Error->domain == G_TLS_ERROR) return LoadFailure::Insecure;
  if (Error->domain == WEBKIT_NETWORK_ERROR) {
    if (Error->code == WEBKIT_NETWORK_ERROR_UNKNOWN_PROTOCOL) return LoadFailure::CannotShow;
    if (Error->code == WEBKIT_NETWORK_ERROR_FILE_DOES_NOT_EXIST) return LoadFailure::NoSuchFile;
    return LoadFailure::Other;
  }
  if (Error->domain == WEBKIT_POLICY_ERROR) {
    if (Error->code == WEBKIT_POLICY_ERROR_CANNOT_USE_RESTRICTED_PORT) return LoadFailure::RestrictedPort;
    if (Error->code == WEBKIT_POLICY_ERROR_CANNOT_SHOW_URI ||
        Error->code == WEBKIT_POLICY_ERROR_CANNOT_SHOW_MIME_TYPE)
      return LoadFailure::CannotShow;
    return LoadFailure::Blocked;  // a content filter
  }
  return LoadFailure::Other;
}

// Failures that are no failure to the user: a stopped load, a response handed to a download.
bool ShowsNoPage(const GError* Error) {
  return g_error_matches(Error, WEBKIT_NETWORK_ERROR, WEBKIT_NETWORK_ERROR_CANCELLED) ||
         g_error_matches(Error, WEBKIT_POLICY_ERROR, WEBKIT_POLICY_ERROR_FRAME_LOAD_INTERRUPTED_BY_POLICY_CHANGE);
}

}  // namespace

struct WebKitEngine::Signals {
  using Alive = std::weak_ptr<int>;

  static WebKitEngine& Of(gpointer Data) { return *static_cast<WebKitEngine*>(Data); }

  static gboolean DecidePolicy(WebKitWebView*, WebKitPolicyDecision* Decision,
                               WebKitPolicyDecisionType Type, gpointer Data) {
    if (Type == WEBKIT_POLICY_DECISION_TYPE_NAVIGATION_ACTION) {
      WebKitNavigationAction* Action = webkit_navigation_policy_decision_get_navigation_action(
          WEBKIT_NAVIGATION_POLICY_DECISION(Decision));
      WebKitEngine& E = Of(Data);
      std::string Request = OrEmpty(webkit_uri_request_get_uri(webkit_navigation_action_get_request(Action)));
      if (E.InterceptProceed(Request) || E.InterceptGoOnline(Request) || OpenLocal(E, Request)) {
        webkit_policy_decision_ignore(Decision);
        return TRUE;
      }
      E.FLastNavigationRequest = Request;
      // A reload the host cancels leaves the page as it is.
      if (webkit_navigation_action_get_navigation_type(Action) == WEBKIT_NAVIGATION_TYPE_RELOAD && E.FHost &&
          E.FHost->CancelRefresh(browser::IDM_REFRESH)) {
        webkit_policy_decision_ignore(Decision);
        return TRUE;
      }
    }
    // A main-frame response no page can show (an archive, an installer) is saved instead of
    // being dropped without a word; attachments WebKit already downloads.
    if (Type == WEBKIT_POLICY_DECISION_TYPE_RESPONSE) {
      auto* Response = WEBKIT_RESPONSE_POLICY_DECISION(Decision);
      if (webkit_response_policy_decision_is_main_frame_main_resource(Response) &&
          !webkit_response_policy_decision_is_mime_type_supported(Response)) {
        webkit_policy_decision_download(Decision);
        return TRUE;
      }
    }
    return FALSE;  // WebKit's default decision
  }

  // A local page listed on the start page (see OpenLocalPrefix): opened for the start page
  // only; asked by any other page, the navigation is simply stopped. True when taken.
  static bool OpenLocal(WebKitEngine& E, const std::string& Request) {
    std::optional<std::string> File = LocalFileOfOpenAddress(Request);
    if (!File) return false;
    if (!IsStartPageAddress(E.FCommittedUri)) return true;
    // Not from inside WebKit's decision: a load of our own starts once it is made.
    Alive Token = E.FLifeToken;
    Glib::signal_idle().connect_once([&E, Token, Url = *File] {
      if (!Token.expired() && E.FView) webkit_web_view_load_uri(E.FView.Get(), Url.c_str());
    });
    return true;
  }

  // Main-frame loads only: WebKit's navigation decisions carry no frame, but load-changed
  // is raised for the main frame alone, so BeforeNavigate2 is raised when the load starts
  // (a cancelled one is stopped at once).
  static void LoadChanged(WebKitWebView* View, WebKitLoadEvent Event, gpointer Data) {
    WebKitEngine& E = Of(Data);
    Alive Token = E.FLifeToken;
    switch (Event) {
      case WEBKIT_LOAD_STARTED: {
        E.FLoadStarted = true;
        E.FLoadCommitted = false;
        E.FLoadUri = E.ViewUri();
        // A page opened by script has no address yet when its first load starts.
        if (E.FLoadUri.empty()) E.FLoadUri = E.FLastNavigationRequest;
        bool Cancel = false;
        if (E.FEvents) E.FEvents->BeforeNavigate2(E.FLoadUri, Cancel);
        if (Token.expired()) return;
        if (Cancel) {
          webkit_web_view_stop_loading(View);
          return;
        }
        if (auto Held = std::exchange(E.FHeldProgress, std::nullopt)) RaiseProgress(E, *Held);
        break;
      }
      case WEBKIT_LOAD_REDIRECTED:
        break;
      case WEBKIT_LOAD_COMMITTED:
        E.FLoadCommitted = true;
        E.FCommittedUri = E.ViewUri();
        ++E.FCommits;
        if (E.FPlacement) {
          E.FPlacement->Committed(E.FPageId, E.FCommittedUri);
          E.AskWhichProcess();
        }
        if (E.FEvents) E.FEvents->NavigateComplete2(E.FCommittedUri);
        if (Token.expired()) return;
        {
          bool ErrorPage = !E.FErrorPageUri.empty() && E.FErrorPageUri == E.FCommittedUri;
          E.FErrorPageUri.clear();
          if (E.FEvents) E.FEvents->DocumentCommitted(E.FCommittedUri, ErrorPage);
          if (Token.expired()) return;
          E.DocumentChanged(ErrorPage);
        }
        break;
      case WEBKIT_LOAD_FINISHED: {
        E.FLoadStarted = false;
        E.FHeldProgress.reset();
        // A failed load finishes twice: the attempt (under its own address), then the
        // error page WebKit shows.
        std::string Uri = E.FLoadCommitted ? E.ViewUri() : E.FLoadUri;
        // Every load ends with a final progress of -1, whether it finished, failed or was
        // stopped: the gauge empties and the tab's state drops before the document counts
        // as complete.
        if (E.FEvents) E.FEvents->ProgressChange(FinalProgress, ProgressMax);
        if (Token.expired()) return;
        if (E.FEvents) E.FEvents->DocumentComplete(Uri);
        break;
      }
    }
  }

  // Our own page in place of WebKit's English one, under the failed address: the address
  // bar shows that address, the tab the failure, and the page offers to try again. A load
  // that was stopped or replaced is no failure to report.
  static gboolean LoadFailed(WebKitWebView* View, WebKitLoadEvent Stage, gchar* FailingUri, GError* Error,
                             gpointer Data) {
    WebKitEngine& E = Of(Data);
    if (g_error_matches(Error, WEBKIT_POLICY_ERROR, WEBKIT_POLICY_ERROR_FRAME_LOAD_INTERRUPTED_BY_POLICY_CHANGE)) {
      // The response went to a download; a page that never showed anything has no more use.
      if (E.FEvents) E.FEvents->LoadBecameDownload(E.FCommittedUri.empty());
      return FALSE;
    }
    if (ShowsNoPage(Error)) return FALSE;
    std::string Uri = OrEmpty(FailingUri);
    Alive Token = E.FLifeToken;
    E.FErrorPageUri = Uri.empty() ? "about:blank" : Uri;
    if (E.FEvents) E.FEvents->NavigateError(Uri, Stage == WEBKIT_LOAD_COMMITTED);
    if (Token.expired() || E.ShowOfflinePage(E.FErrorPageUri)) return TRUE;
    webkit_web_view_load_alternate_html(View, LoadFailedPage(FailureOf(Error), Uri, OrEmpty(Error->message)).c_str(),
                                        E.FErrorPageUri.c_str(), nullptr);
    return TRUE;
  }

  static constexpr int32_t ProgressMax = 10000;
  static constexpr int32_t FinalProgress = -1;

  static void RaiseProgress(WebKitEngine& E, double Progress) {
    if (E.FEvents)
      E.FEvents->ProgressChange(static_cast<int32_t>(std::lround(Progress * ProgressMax)), ProgressMax);
  }

  static void ProgressNotify(WebKitWebView* View, GParamSpec*, gpointer Data) {
    WebKitEngine& E = Of(Data);
    double Progress = webkit_web_view_get_estimated_load_progress(View);
    // WebKit reports the first step before the load starts; hold it back so the browser
    // hears of the navigation first.
    if (!E.FLoadStarted) {
      E.FHeldProgress = Progress;
      return;
    }
    RaiseProgress(E, Progress);
  }

  static void TitleNotify(WebKitWebView* View, GParamSpec*, gpointer Data) {
    WebKitEngine& E = Of(Data);
    if (E.FEvents) E.FEvents->TitleChange(OrEmpty(webkit_web_view_get_title(View)));
  }

  // Same-document navigations (#fragment, history.pushState) change the address without
  // a load: raise the events of a navigation that completed at once.
  static void UriNotify(WebKitWebView* View, GParamSpec*, gpointer Data) {
    WebKitEngine& E = Of(Data);
    std::string Uri = OrEmpty(webkit_web_view_get_uri(View));
    if (Uri.empty()) return;  // the process ended; the address is gone until the next load
    E.FLastUri = Uri;
    if (E.FLoadStarted || webkit_web_view_is_loading(View) || Uri == E.FCommittedUri) return;
    E.FCommittedUri = Uri;
    if (!E.FEvents) return;
    Alive Token = E.FLifeToken;
    bool Cancel = false;  // too late to cancel: the page already moved
    E.FEvents->BeforeNavigate2(Uri, Cancel);
    if (Token.expired() || !E.FEvents) return;
    E.FEvents->NavigateComplete2(Uri);
    if (Token.expired() || !E.FEvents) return;
    E.FEvents->DocumentComplete(Uri);
  }

  static void HistoryChanged(WebKitBackForwardList*, WebKitBackForwardListItem*, gpointer,
                             gpointer Data) {
    WebKitEngine& E = Of(Data);
    if (!E.FEvents || !E.FView) return;
    Alive Token = E.FLifeToken;
    bool Back = webkit_web_view_can_go_back(E.FView.Get());
    bool Forward = webkit_web_view_can_go_forward(E.FView.Get());
    E.FEvents->CommandStateChange(browser::CSC_NAVIGATEFORWARD, Forward);
    if (Token.expired() || !E.FEvents) return;
    E.FEvents->CommandStateChange(browser::CSC_NAVIGATEBACK, Back);
  }

  static void MouseTarget(WebKitWebView*, WebKitHitTestResult* Hit, guint, gpointer Data) {
    WebKitEngine& E = Of(Data);
    std::string Text =
        webkit_hit_test_result_context_is_link(Hit) ? OrEmpty(webkit_hit_test_result_get_link_uri(Hit)) : "";
    if (Text == E.FStatusText) return;
    E.FStatusText = Text;
    if (E.FEvents) E.FEvents->StatusTextChange(Text);
  }

  // The page asked for a new window: the browser hands back another engine, which gets a
  // view related to this one (WebKit's condition) and WebKit loads the request there.
  static GtkWidget* Create(WebKitWebView*, WebKitNavigationAction* Action, gpointer Data) {
    WebKitEngine& E = Of(Data);
    if (!E.FEvents) return nullptr;
    std::string Request = OrEmpty(webkit_uri_request_get_uri(webkit_navigation_action_get_request(Action)));
    // Only a click or a key may open a window; the host hears of the others and may let
    // a site through.
    Alive Early = E.FLifeToken;
    if (E.FHost && !E.FHost->AllowNewWindow(Request, webkit_navigation_action_is_user_gesture(Action)))
      return nullptr;
    if (Early.expired() || !E.FEvents) return nullptr;
    browser::WebEngine* Target = nullptr;
    bool Cancel = false;
    Alive Token = E.FLifeToken;
    E.FEvents->NewWindow2(Target, Cancel);
    auto* Engine = dynamic_cast<WebKitEngine*>(Target);
    if (Token.expired() || Cancel || !Engine || Engine == &E) return nullptr;
    WebKitWebView* NewView = Engine->AdoptPopup(E, Request);
    return NewView ? GTK_WIDGET(NewView) : nullptr;
  }

  static void Close(WebKitWebView*, gpointer Data) {
    WebKitEngine& E = Of(Data);
    E.FollowClosing(E.FClosing.EngineClosed(E.FAskingToClose));
  }

  static void ProcessTerminated(WebKitWebView*, WebKitWebProcessTerminationReason Reason, gpointer Data) {
    WebKitEngine& E = Of(Data);
    E.FLoadStarted = false;
    E.FLoadCommitted = false;
    E.FHeldProgress.reset();
    const std::size_t Others = E.FPlacement ? E.FPlacement->ProcessEnded(E.FPageId) : 0;
    const bool CloseWanted = E.FClosing.ProcessGone().Close;  // an open question about leaving is dropped
    browser::ProcessEnd End = browser::ProcessEnd::Crashed;
    if (Reason == WEBKIT_WEB_PROCESS_EXCEEDED_MEMORY_LIMIT) End = browser::ProcessEnd::OutOfMemory;
    if (Reason == WEBKIT_WEB_PROCESS_TERMINATED_BY_API) End = browser::ProcessEnd::EndedByRequest;
    Alive Token = E.FLifeToken;
    if (E.FEvents) E.FEvents->ProcessTerminated(End);
    if (Token.expired()) return;
    // The page can no longer object to the close the user asked for.
    if (CloseWanted && E.FEvents) return E.FEvents->WindowClosing();
    E.ShowProcessEndedPage(End, Others);
  }

  static gboolean ContextMenu(WebKitWebView*, WebKitContextMenu* Menu, WebKitHitTestResult* Hit, gpointer Data) {
    WebKitEngine& E = Of(Data);
    if (E.FHost && !E.FHost->AllowContextMenu()) return TRUE;  // no menu
    NameSaveItems(Menu, Hit);
    return FALSE;
  }

  // WebKit's own "save link" and "save image" items in our words; both end in the
  // download list like any other download.
  static void NameSaveItems(WebKitContextMenu* Menu, WebKitHitTestResult* Hit) {
    struct Replacement {
      WebKitContextMenuAction Stock;
      const char* Caption;
      const char* Uri;
    } Replacements[] = {
        {WEBKIT_CONTEXT_MENU_ACTION_DOWNLOAD_LINK_TO_DISK, "目标另存为…", webkit_hit_test_result_get_link_uri(Hit)},
        {WEBKIT_CONTEXT_MENU_ACTION_DOWNLOAD_IMAGE_TO_DISK, "图片另存为…", webkit_hit_test_result_get_image_uri(Hit)},
    };
    for (const Replacement& R : Replacements) {
      if (!R.Uri) continue;
      guint Position = 0;
      for (GList* Item = webkit_context_menu_get_items(Menu); Item; Item = Item->next, ++Position) {
        auto* Old = static_cast<WebKitContextMenuItem*>(Item->data);
        if (webkit_context_menu_item_get_stock_action(Old) != R.Stock) continue;
        GSimpleAction* Save = g_simple_action_new("save-as", G_VARIANT_TYPE_STRING);
        g_signal_connect(Save, "activate", G_CALLBACK(+[](GSimpleAction*, GVariant* Uri, gpointer) {
                           g_object_unref(webkit_network_session_download_uri(ProfileNetworkSession(),
                                                                              g_variant_get_string(Uri, nullptr)));
                         }),
                         nullptr);
        webkit_context_menu_insert(
            Menu, webkit_context_menu_item_new_from_gaction(G_ACTION(Save), R.Caption, g_variant_new_string(R.Uri)),
            static_cast<gint>(Position));
        g_object_unref(Save);  // the item holds it
        webkit_context_menu_remove(Menu, Old);
        break;
      }
    }
  }

  static gboolean ScriptDialog(WebKitWebView*, WebKitScriptDialog* Dialog, gpointer Data) {
    WebKitEngine& E = Of(Data);
    if (webkit_script_dialog_get_dialog_type(Dialog) == WEBKIT_SCRIPT_DIALOG_BEFORE_UNLOAD_CONFIRM)
      return E.AskAboutLeaving(Dialog);
    if (!E.FHost) return FALSE;
    browser::ScriptDialog Asked;
    switch (webkit_script_dialog_get_dialog_type(Dialog)) {
      case WEBKIT_SCRIPT_DIALOG_ALERT: Asked.Kind = browser::ScriptDialogKind::Alert; break;
      case WEBKIT_SCRIPT_DIALOG_CONFIRM: Asked.Kind = browser::ScriptDialogKind::Confirm; break;
      case WEBKIT_SCRIPT_DIALOG_PROMPT:
        Asked.Kind = browser::ScriptDialogKind::Prompt;
        Asked.DefaultText = OrEmpty(webkit_script_dialog_prompt_get_default_text(Dialog));
        break;
      default: return FALSE;
    }
    Asked.Message = OrEmpty(webkit_script_dialog_get_message(Dialog));
    // Answered later: the page waits until the dialog is closed.
    auto Held = std::make_shared<HeldScriptDialog>(Dialog);
    if (E.FHost->ShowScriptDialog(Asked, [Held](bool Accepted, const std::string& Text) { Held->Answer(Accepted, Text); })) {
      HeldScriptDialog::SignalOver(Held);
      return TRUE;
    }
    Held->Release();
    return FALSE;
  }
};

WebKitEngine::HeldScriptDialog::HeldScriptDialog(WebKitScriptDialog* Dialog)
    : FDialog(webkit_script_dialog_ref(Dialog)) {}

WebKitEngine::HeldScriptDialog::~HeldScriptDialog() {
  Answer(false, {});
  Release();
}

void WebKitEngine::HeldScriptDialog::SignalOver(const std::shared_ptr<HeldScriptDialog>& Self) {
  Self->FInSignal = false;
  // Held until then also when nobody kept the answer: the dialog closes as cancelled then.
  Glib::signal_idle().connect_once([Self] {
    if (auto Early = std::exchange(Self->FEarly, std::nullopt)) Self->Answer(Early->first, Early->second);
  });
}

void WebKitEngine::HeldScriptDialog::Answer(bool Accepted, const std::string& Text) {
  if (FInSignal) {
    if (!FEarly) FEarly.emplace(Accepted, Text);
    return;
  }
  if (!FDialog || std::exchange(FAnswered, true)) return;
  switch (webkit_script_dialog_get_dialog_type(FDialog)) {
    case WEBKIT_SCRIPT_DIALOG_CONFIRM:
    case WEBKIT_SCRIPT_DIALOG_BEFORE_UNLOAD_CONFIRM: webkit_script_dialog_confirm_set_confirmed(FDialog, Accepted); break;
    // A prompt that is cancelled answers null, one that is not the text.
    case WEBKIT_SCRIPT_DIALOG_PROMPT:
      if (Accepted) webkit_script_dialog_prompt_set_text(FDialog, Text.c_str());
      break;
    default: break;
  }
  webkit_script_dialog_close(FDialog);
}

void WebKitEngine::HeldScriptDialog::Release() {
  if (FDialog) webkit_script_dialog_unref(std::exchange(FDialog, nullptr));
}

void WebKitEngine::ConnectSignals() {
  WebKitWebView* View = FView.Get();
  g_signal_connect(View, "decide-policy", G_CALLBACK(Signals::DecidePolicy), this);
  g_signal_connect(View, "load-changed", G_CALLBACK(Signals::LoadChanged), this);
  g_signal_connect(View, "load-failed", G_CALLBACK(Signals::LoadFailed), this);
  g_signal_connect(View, "notify::estimated-load-progress", G_CALLBACK(Signals::ProgressNotify), this);
  g_signal_connect(View, "notify::title", G_CALLBACK(Signals::TitleNotify), this);
  g_signal_connect(View, "notify::uri", G_CALLBACK(Signals::UriNotify), this);
  g_signal_connect(View, "mouse-target-changed", G_CALLBACK(Signals::MouseTarget), this);
  g_signal_connect(View, "create", G_CALLBACK(Signals::Create), this);
  g_signal_connect(View, "close", G_CALLBACK(Signals::Close), this);
  g_signal_connect(View, "web-process-terminated", G_CALLBACK(Signals::ProcessTerminated), this);
  g_signal_connect(View, "context-menu", G_CALLBACK(Signals::ContextMenu), this);
  g_signal_connect(View, "script-dialog", G_CALLBACK(Signals::ScriptDialog), this);
  g_signal_connect(webkit_web_view_get_back_forward_list(View), "changed",
                   G_CALLBACK(Signals::HistoryChanged), this);
  ConnectQuestions();
  ConnectClosing();
}

}  // namespace vorlane::engine
