// Calls and properties of the WebKit engine; signal handling is in WebKitEngine_Signals.cpp,
// the view's construction in WebKitEngine_View.cpp.
#include "engine/WebKitEngine.h"

#include "browser/DownloadOptions.h"
#include "browser/UrlFixup.h"
#include "engine/NoticePages.h"
#include "engine/PrintSetup.h"
#include "engine/ProcessPlacement.h"

#include <glibmm/main.h>
#include <gtkmm/window.h>
#include <webkit/webkit.h>

namespace vorlane::engine {

using browser::EngineError;

namespace {

std::string OrEmpty(const char* Text) { return Text ? Text : ""; }

std::vector<browser::TravelEntry> Entries(WebKitWebView* View, int Step, size_t Limit) {
  std::vector<browser::TravelEntry> Out;
  if (!View) return Out;
  // nth(±k) in both directions: WebKit's own forward list comes farthest first.
  WebKitBackForwardList* List = webkit_web_view_get_back_forward_list(View);
  for (size_t K = 1; K <= Limit; ++K) {
    WebKitBackForwardListItem* Item =
        webkit_back_forward_list_get_nth_item(List, Step * static_cast<int>(K));
    if (!Item) break;
    Out.push_back({OrEmpty(webkit_back_forward_list_item_get_title(Item)),
                   OrEmpty(webkit_back_forward_list_item_get_uri(Item))});
  }
  return Out;
}

}  // namespace

WebKitEngine::WebKitEngine(std::shared_ptr<ProcessPlacement> Placement)
    : FBox(std::make_unique<Gtk::Box>(Gtk::Orientation::VERTICAL)),
      FCancellable(GObjectPtr<GCancellable>::Adopt(g_cancellable_new())),
      FDownloadFlags(browser::dlctl::DLIMAGES | browser::dlctl::VIDEOS | browser::dlctl::BGSOUNDS),
      FPlacement(std::move(Placement)),
      FPageId(FPlacement ? FPlacement->NewPageId() : 0) {
  LoadProcessReport();
  FBox->set_hexpand(true);
  FBox->set_vexpand(true);
}

void WebKitEngine::Navigate2(const std::string& Url, int32_t Flags) {
  if (Flags & browser::navOpenInNewWindow) return OpenInNewWindow(Url);
  std::string Fixed = browser::FixupUrl(Url);
  if (FView) return Load(Fixed);
  // Pending until the main loop runs again: if this engine is being handed to a page's
  // new-window request meanwhile, that request's address replaces this one (the handshake
  // is synchronous, so no main-loop turn comes between). High priority, ahead of the
  // window's own events and drawing: at start-up the first frame of a new window took
  // seconds on a loaded machine, and the web process can start meanwhile.
  FPending = std::move(Fixed);
  SchedulePending();
}

void WebKitEngine::SchedulePending() {
  if (FPendingIdle.connected()) return;
  FPendingIdle = Glib::signal_idle().connect(
      [this] {
        StartPending();
        return false;
      },
      Glib::PRIORITY_HIGH);
}

void WebKitEngine::StartPending() {
  FPendingIdle.disconnect();
  EnsureView();
  auto Url = std::exchange(FPending, std::nullopt);
  if (RestorePendingSession()) return;
  if (Url) Load(*Url);
}

bool WebKitEngine::RestorePendingSession() {
  std::vector<uint8_t> Saved = std::exchange(FPendingSession, {});
  if (Saved.empty()) return false;
  GBytes* Bytes = g_bytes_new(Saved.data(), Saved.size());
  WebKitWebViewSessionState* State = webkit_web_view_session_state_new(Bytes);
  g_bytes_unref(Bytes);
  if (!State) return false;  // not WebKit's: the plain first request goes ahead
  webkit_web_view_restore_session_state(FView.Get(), State);
  webkit_web_view_session_state_unref(State);
  WebKitBackForwardListItem* Current =
      webkit_back_forward_list_get_current_item(webkit_web_view_get_back_forward_list(FView.Get()));
  if (!Current) return false;
  webkit_web_view_go_to_back_forward_list_item(FView.Get(), Current);
  return true;
}

std::vector<uint8_t> WebKitEngine::SessionState() const {
  if (!FView) return FPendingSession;
  WebKitWebViewSessionState* State = webkit_web_view_get_session_state(FView.Get());
  GBytes* Bytes = webkit_web_view_session_state_serialize(State);
  webkit_web_view_session_state_unref(State);
  gsize Size = 0;
  auto* Data = static_cast<const uint8_t*>(g_bytes_get_data(Bytes, &Size));
  std::vector<uint8_t> Out(Data, Data + Size);
  g_bytes_unref(Bytes);
  return Out;
}

void WebKitEngine::RestoreSessionState(const std::vector<uint8_t>& State) {
  if (FView) return;  // too late: the page has its own history by now
  FPendingSession = State;
  SchedulePending();
}

void WebKitEngine::Load(const std::string& FixedUrl) {
  if (FixedUrl.empty()) {
    // WebKit would quietly show about:blank; say what went wrong instead.
    webkit_web_view_load_alternate_html(FView.Get(), EmptyAddressPage().c_str(), "about:blank",
                                        nullptr);
    return;
  }
  webkit_web_view_load_uri(FView.Get(), FixedUrl.c_str());
}

void WebKitEngine::OpenInNewWindow(const std::string& Url) {
  if (!FEvents) return;
  browser::WebEngine* Target = nullptr;
  bool Cancel = false;
  FEvents->NewWindow2(Target, Cancel);
  if (Cancel || !Target || Target == this) return;
  Target->Navigate2(Url, 0);
}

void WebKitEngine::GoBack() {
  if (!FView || !webkit_web_view_can_go_back(FView.Get()))
    throw EngineError(browser::E_FAIL_CODE, "There is no previous page");
  webkit_web_view_go_back(FView.Get());
}

void WebKitEngine::GoForward() {
  if (!FView || !webkit_web_view_can_go_forward(FView.Get()))
    throw EngineError(browser::E_FAIL_CODE, "There is no next page");
  webkit_web_view_go_forward(FView.Get());
}

void WebKitEngine::GoHome() {
  if (FHomePage.empty()) throw EngineError(browser::E_FAIL_CODE, "没有设置主页。");
  Navigate2(FHomePage);
}

void WebKitEngine::Stop() {
  FPending.reset();
  FPendingSession.clear();
  FPendingIdle.disconnect();
  if (FView) webkit_web_view_stop_loading(FView.Get());
}

void WebKitEngine::Refresh2() {
  if (FView) webkit_web_view_reload(FView.Get());
}

std::string WebKitEngine::ViewUri() const {
  return FView ? OrEmpty(webkit_web_view_get_uri(FView.Get())) : std::string();
}

std::string WebKitEngine::LocationURL() const {
  if (FPending) return *FPending;
  return ViewUri();
}

std::string WebKitEngine::LocationName() const {
  std::string Title = DocumentTitle();
  return Title.empty() ? LocationURL() : Title;
}

int32_t WebKitEngine::ToolBar() const {
  if (!FView || !FPopup) return 1;
  // WebKit reports no tool bar for every plain new window; only a window that hides all
  // of its bars counts as one opened without tool bar. The properties are filled by
  // ready-to-show, which WebKit raises before the window's first load starts, so the
  // answer is right by the popup's first BeforeNavigate2.
  WebKitWindowProperties* Props = webkit_web_view_get_window_properties(FView.Get());
  bool AnyBar = webkit_window_properties_get_toolbar_visible(Props) ||
                webkit_window_properties_get_menubar_visible(Props) ||
                webkit_window_properties_get_statusbar_visible(Props) ||
                webkit_window_properties_get_locationbar_visible(Props);
  return AnyBar ? 1 : 0;
}

int32_t WebKitEngine::ReadyState() const {
  constexpr int32_t Loading = 1, Interactive = 3, Complete = 4;
  if (FPending) return Loading;
  if (FView && webkit_web_view_is_loading(FView.Get())) return FLoadCommitted ? Interactive : Loading;
  return Complete;
}

bool WebKitEngine::HasDocument() const {
  return FView && webkit_web_view_get_main_resource(FView.Get()) != nullptr;
}

bool WebKitEngine::DocumentIsHtml() const {
  if (!FView) return false;
  WebKitWebResource* Resource = webkit_web_view_get_main_resource(FView.Get());
  WebKitURIResponse* Response = Resource ? webkit_web_resource_get_response(Resource) : nullptr;
  if (!Response) return false;
  std::string Mime = OrEmpty(webkit_uri_response_get_mime_type(Response));
  return Mime == "text/html" || Mime == "application/xhtml+xml";
}

std::string WebKitEngine::DocumentTitle() const {
  return FView ? OrEmpty(webkit_web_view_get_title(FView.Get())) : std::string();
}

std::string WebKitEngine::DocumentUrl() const { return ViewUri(); }

void WebKitEngine::FocusDocument() {
  if (FView) {
    gtk_widget_grab_focus(GTK_WIDGET(FView.Get()));
    return;
  }
  // The view is made when the first request starts: it takes the focus then, unless the
  // window's focus moved elsewhere meanwhile (the user or the shell chose another widget).
  auto* Window = dynamic_cast<Gtk::Window*>(FBox->get_root());
  if (!Window) return;
  FFocusWatch.disconnect();
  FFocusWatch = Window->property_focus_widget().signal_changed().connect([this] { FFocusWatch.disconnect(); });
}

void WebKitEngine::TakeWaitingFocus() {
  if (!FFocusWatch.connected()) return;
  FFocusWatch.disconnect();
  gtk_widget_grab_focus(GTK_WIDGET(FView.Get()));
}

namespace {

const char* CommandName(browser::EditingCommand Command) {
  switch (Command) {
    case browser::EditingCommand::Cut: return WEBKIT_EDITING_COMMAND_CUT;
    case browser::EditingCommand::Copy: return WEBKIT_EDITING_COMMAND_COPY;
    case browser::EditingCommand::Paste: return WEBKIT_EDITING_COMMAND_PASTE;
    case browser::EditingCommand::SelectAll: return WEBKIT_EDITING_COMMAND_SELECT_ALL;
    case browser::EditingCommand::Undo: return WEBKIT_EDITING_COMMAND_UNDO;
  }
  return WEBKIT_EDITING_COMMAND_COPY;
}

struct EditingQuery {
  std::string Name;
  std::function<void(bool)> Done;
  std::weak_ptr<int> EngineAlive;
};

void EditingQueryFinished(GObject* Source, GAsyncResult* Result, gpointer Data) {
  std::unique_ptr<EditingQuery> Query(static_cast<EditingQuery*>(Data));
  gboolean Can = webkit_web_view_can_execute_editing_command_finish(WEBKIT_WEB_VIEW(Source), Result, nullptr);
  if (Query->EngineAlive.expired()) return;
  if (Can) webkit_web_view_execute_editing_command(WEBKIT_WEB_VIEW(Source), Query->Name.c_str());
  Query->Done(Can);
}

}  // namespace

// WebKit offers paste exactly when the selection lies in editable content, and the
// selection follows the focus.
bool WebKitEngine::FocusIsEditable() const {
  if (!FView) return false;
  WebKitEditorState* State = webkit_web_view_get_editor_state(FView.Get());
  return State && webkit_editor_state_is_paste_available(State);
}

void WebKitEngine::ExecuteEditingCommand(browser::EditingCommand Command) {
  if (!FView) return;
  webkit_web_view_execute_editing_command(FView.Get(), CommandName(Command));
}

void WebKitEngine::TryEditingCommand(browser::EditingCommand Command, std::function<void(bool)> Done) {
  if (!FView) return Done(false);
  auto* Query = new EditingQuery{CommandName(Command), std::move(Done), FLifeToken};
  webkit_web_view_can_execute_editing_command(FView.Get(), Query->Name.c_str(), FCancellable.Get(),
                                              EditingQueryFinished, Query);
}

void WebKitEngine::SetZoomLevel(double Level) {
  if (FView) webkit_web_view_set_zoom_level(FView.Get(), Level);
}

double WebKitEngine::ZoomLevel() const { return FView ? webkit_web_view_get_zoom_level(FView.Get()) : 1.0; }

void WebKitEngine::SetDownloadFlags(uint32_t Flags) {
  FDownloadFlags = Flags;
  FDownloadFlagsSet = true;
  if (FView) ApplyDownloadFlags();
}

std::vector<browser::TravelEntry> WebKitEngine::BackEntries(size_t Limit) const {
  return Entries(FView.Get(), -1, Limit);
}

std::vector<browser::TravelEntry> WebKitEngine::ForwardEntries(size_t Limit) const {
  return Entries(FView.Get(), +1, Limit);
}

bool WebKitEngine::TravelTo(int Offset) {
  if (!FView) return false;
  WebKitBackForwardListItem* Item =
      webkit_back_forward_list_get_nth_item(webkit_web_view_get_back_forward_list(FView.Get()), Offset);
  if (!Item) return false;
  webkit_web_view_go_to_back_forward_list_item(FView.Get(), Item);
  return true;
}

namespace {

struct ScriptCall {
  std::function<void(std::optional<std::string>)> Done;
  std::weak_ptr<int> EngineAlive;
};

void ScriptFinished(GObject* Source, GAsyncResult* Result, gpointer Data) {
  std::unique_ptr<ScriptCall> Call(static_cast<ScriptCall*>(Data));
  GErrorSlot Error;
  auto Value = GObjectPtr<JSCValue>::Adopt(
      webkit_web_view_evaluate_javascript_finish(WEBKIT_WEB_VIEW(Source), Result, &Error));
  // The caller went with its engine: nobody is left to tell.
  if (Call->EngineAlive.expired()) return;
  if (!Value) return Call->Done(std::nullopt);
  GCharPtr Text(jsc_value_to_string(Value.Get()));
  Call->Done(Text ? std::optional<std::string>(Text.get()) : std::nullopt);
}

}  // namespace

void WebKitEngine::RunScript(const std::string& Script,
                             std::function<void(std::optional<std::string>)> Done) {
  EnsureView();
  auto Call = std::make_unique<ScriptCall>(ScriptCall{std::move(Done), FLifeToken});
  // Our own world: page scripts cannot see or disturb it, and it runs with page scripts off.
  webkit_web_view_evaluate_javascript(FView.Get(), Script.c_str(), static_cast<gssize>(Script.size()),
                                      "vorlane", nullptr, FCancellable.Get(), ScriptFinished,
                                      Call.release());
}

std::unique_ptr<browser::WebEngine> CreateWebKitEngine() { return std::make_unique<WebKitEngine>(); }

browser::EngineFactory WebKitEngineFactory(const std::string& ProductSiteBase, bool GpuCompositing) {
  // One print setup for every page of the program, as the old engine kept one.
  auto Setup = std::make_shared<PrintSetup>();
  auto Placement = std::make_shared<ProcessPlacement>(ProductSiteBase);
  return [Setup, Placement, GpuCompositing] {
    auto Engine = std::make_unique<WebKitEngine>(Placement);
    Engine->SetPrintSetup(Setup);
    Engine->SetGpuCompositing(GpuCompositing);
    return Engine;
  };
}

}  // namespace vorlane::engine
