// Closing a page: the page is asked first (its beforeunload), the question about leaving
// is ours, and only the user's answer decides. WebKit's own close after it asked is
// weighed by browser::TPageClosing, since WebKit closes a page that is slow to reply
// whatever the user answered.
#include "engine/WebKitEngine.h"

#include <glibmm/main.h>
#include <webkit/webkit.h>

namespace vorlane::engine {

namespace {
constexpr unsigned HungPageWait = 3000;  // ms
}  // namespace

void WebKitEngine::TryClose() { FollowClosing(FClosing.CloseAsked()); }

void WebKitEngine::FollowClosing(browser::TPageClosing::Steps Steps) {
  std::weak_ptr<int> Alive = FLifeToken;
  if (Steps.Check) {
    // The reply comes back after everything the page had queued before it: its answer
    // to WebKit's close, or its question about leaving. A page that hangs never replies:
    // it is given up on after a while, as WebKit gives up on it at once.
    auto Done = [this, Alive, Number = *Steps.Check] {
      if (!Alive.expired()) FollowClosing(FClosing.CheckDone(Number));
    };
    RunScript("0", [Done](std::optional<std::string>) { Done(); });
    Glib::signal_timeout().connect_once(Done, HungPageWait);
  }
  if (Steps.Ask) {
    // A page that never started loading has nothing to ask, and a hung one cannot answer
    // (it must not keep the program from quitting).
    if (!FView || !webkit_web_view_get_is_web_process_responsive(FView.Get())) {
      Steps.Close = Steps.Close || FClosing.EngineClosed(true).Close;
    } else {
      FAskingToClose = true;
      webkit_web_view_try_close(FView.Get());  // may raise "close" at once
      if (Alive.expired()) return;
      FAskingToClose = false;
    }
  }
  if (Steps.Close && FEvents) FEvents->WindowClosing();
}

gboolean WebKitEngine::AskAboutLeaving(WebKitScriptDialog* Dialog) {
  const uint64_t Number = FClosing.QuestionShown();
  auto Held = std::make_shared<HeldScriptDialog>(Dialog);
  std::weak_ptr<int> Alive = FLifeToken;
  browser::ScriptDialogAnswer Answer = [this, Alive, Held, Number](bool Leave, const std::string&) {
    Held->Answer(Leave, {});
    // The page may have gone meanwhile (closed, or its process ended): then nothing is left
    // to act on.
    if (!Alive.expired()) FollowClosing(FClosing.Answered(Number, Leave));
  };
  browser::ScriptDialog Asked;
  Asked.Kind = browser::ScriptDialogKind::BeforeUnload;
  if (const char* Message = webkit_script_dialog_get_message(Dialog)) Asked.Message = Message;
  // Nobody to ask: a page never keeps itself open on its own.
  if (!FHost || !FHost->ShowScriptDialog(Asked, Answer)) Answer(true, {});
  HeldScriptDialog::SignalOver(Held);
  return TRUE;
}

void WebKitEngine::ConnectClosing() {
  g_signal_connect(FView.Get(), "notify::is-web-process-responsive",
                   G_CALLBACK(+[](WebKitWebView* View, GParamSpec*, gpointer Data) {
                     auto& E = *static_cast<WebKitEngine*>(Data);
                     // A page that hangs while asked to close cannot answer any more.
                     if (!webkit_web_view_get_is_web_process_responsive(View) && E.FClosing.CloseUnderWay())
                       E.FollowClosing(E.FClosing.ProcessGone());
                   }),
                   this);
}

}  // namespace vorlane::engine
