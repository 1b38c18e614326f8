// The engine's view: built on first need (independent) or for a page's new-window request
// (related to the opener), its settings, its drop and key handling, and its release.
#include "engine/WebKitEngine.h"

#include "browser/DownloadOptions.h"
#include "engine/NoticePages.h"
#include "engine/ProcessPlacement.h"
#include "engine/ProductSiteScheme.h"

#include <gdk/gdk.h>
#include <webkit/webkit.h>

namespace vorlane::engine {

namespace dlctl = browser::dlctl;

namespace {

// The text of a drop: a string as it came (first line of a URI list), or the first
// dropped file's address.
std::string DroppedText(const Glib::ValueBase& Value) {
  const GValue* Raw = Value.gobj();
  if (G_VALUE_HOLDS_STRING(Raw)) {
    const char* Text = g_value_get_string(Raw);
    std::string S = Text ? Text : "";
    return S.substr(0, S.find_first_of("\r\n"));
  }
  if (G_VALUE_HOLDS(Raw, GDK_TYPE_FILE_LIST)) {
    auto* Files = static_cast<GSList*>(g_value_get_boxed(Raw));
    if (Files && Files->data) {
      GCharPtr Uri(g_file_get_uri(G_FILE(Files->data)));
      return Uri ? Uri.get() : "";
    }
  }
  return {};
}

}  // namespace

void WebKitEngine::EnsureView() {
  if (!FView) CreateView(nullptr);
}

void WebKitEngine::CreateView(WebKitWebView* Opener) {
  RegisterProductSiteScheme();
  if (Opener) {
    // WebKit requires the view it gets back from `create` to be related to the opener; the
    // shared settings and content manager carry the download switches and user agent over.
    FView = GObjectPtr<WebKitWebView>::Adopt(WEBKIT_WEB_VIEW(g_object_new(
        WEBKIT_TYPE_WEB_VIEW, "related-view", Opener, "settings", webkit_web_view_get_settings(Opener),
        "user-content-manager", webkit_web_view_get_user_content_manager(Opener), nullptr)));
  } else {
    // Own settings and content manager, so the download switches stay this page's even
    // when it shares the web process of another page of its site.
    WebKitWebView* Mate = FPlacement ? FPlacement->PlaceNewView(FPageId, FPending.value_or("")) : nullptr;
    auto Settings = GObjectPtr<WebKitSettings>::Adopt(webkit_settings_new());
    webkit_settings_set_user_agent_with_application_details(Settings.Get(), UserAgentName,
                                                            UserAgentVersion);
    // Pages may open windows from script, as they could in the old engine; the page window
    // closes those that hide every bar.
    webkit_settings_set_javascript_can_open_windows_automatically(Settings.Get(), TRUE);
    auto Content = GObjectPtr<WebKitUserContentManager>::Adopt(webkit_user_content_manager_new());
    FView = GObjectPtr<WebKitWebView>::Adopt(WEBKIT_WEB_VIEW(g_object_new(
        WEBKIT_TYPE_WEB_VIEW, "related-view", Mate, "settings", Settings.Get(), "user-content-manager",
        Content.Get(), nullptr)));
  }
  if (FPlacement) FPlacement->SetView(FPageId, FView.Get());
  FPopup = Opener != nullptr;
  ApplyDownloadFlags();
  ApplyUserAgentToken();
  FollowConnectionState();
  ConnectSignals();

  Gtk::Widget* ViewWidget = Glib::wrap(GTK_WIDGET(FView.Get()));
  ViewWidget->set_hexpand(true);
  ViewWidget->set_vexpand(true);

  // Capture phase: the host decides about dropped addresses before the page sees them.
  FDropTarget = Gtk::DropTarget::create(G_TYPE_STRING, Gdk::DragAction::COPY | Gdk::DragAction::LINK |
                                                           Gdk::DragAction::MOVE);
  FDropTarget->set_gtypes({G_TYPE_STRING, GDK_TYPE_FILE_LIST});
  FDropTarget->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
  FDropTarget->signal_drop().connect(
      [this](const Glib::ValueBase& Value, double, double) {
        std::string Text = DroppedText(Value);
        return !Text.empty() && FHost && FHost->HandleDrop(Text);
      },
      false);
  ViewWidget->add_controller(FDropTarget);

  // WebKit passes keys it did not use on once more, so the host may be asked twice for
  // one key; TranslateAccelerator answers the same both times.
  FKeys = Gtk::EventControllerKey::create();
  FKeys->set_propagation_phase(Gtk::PropagationPhase::CAPTURE);
  FKeys->signal_key_pressed().connect(
      [this](guint Key, guint, Gdk::ModifierType State) {
        return FHost && FHost->TranslateAccelerator(Key, static_cast<unsigned>(State));
      },
      false);
  ViewWidget->add_controller(FKeys);

  FBox->append(*ViewWidget);
}

WebKitWebView* WebKitEngine::AdoptPopup(WebKitEngine& Opener, const std::string& RequestUri) {
  if (FView) {
    // Too late to relate this view to the opener; the requested address still wins.
    FPending.reset();
    FPendingIdle.disconnect();
    webkit_web_view_load_uri(FView.Get(), RequestUri.c_str());
    return nullptr;
  }
  FPending.reset();
  FPendingIdle.disconnect();
  if (!FDownloadFlagsSet) FDownloadFlags = Opener.FDownloadFlags;
  CreateView(Opener.FView.Get());
  if (FPlacement && FPlacement == Opener.FPlacement) FPlacement->JoinOpener(FPageId, Opener.FPageId);
  FLastNavigationRequest = RequestUri;
  return FView.Get();
}

void WebKitEngine::ApplyDownloadFlags() {
  WebKitSettings* Settings = webkit_web_view_get_settings(FView.Get());
  webkit_settings_set_auto_load_images(Settings, (FDownloadFlags & dlctl::DLIMAGES) != 0);
  // Video off stops audio too: WebKit cannot tell them apart.
  webkit_settings_set_enable_media(Settings, (FDownloadFlags & dlctl::VIDEOS) != 0);
  // Only page scripts: the engine's own scripts (RunScript) keep working.
  webkit_settings_set_enable_javascript_markup(Settings, (FDownloadFlags & dlctl::NO_SCRIPTS) == 0);
  // WebKit has no background sounds; without them a page stays silent.
  webkit_web_view_set_is_muted(FView.Get(), (FDownloadFlags & dlctl::BGSOUNDS) == 0);
}

void WebKitEngine::ShowProcessEndedPage(browser::ProcessEnd Reason) {
  // Shown under the address the page had, so the address bar keeps it and the link on
  // the page loads it again in a new process.
  std::string Url = FLastUri;
  FErrorPageUri = Url.empty() ? "about:blank" : Url;
  webkit_web_view_load_alternate_html(FView.Get(), ProcessEndedPage(Reason, Url).c_str(),
                                      Url.empty() ? "about:blank" : Url.c_str(), nullptr);
}

WebKitEngine::~WebKitEngine() {
  if (FPlacement) FPlacement->Closed(FPageId);
  FLifeToken.reset();
  FPendingIdle.disconnect();
  g_cancellable_cancel(FCancellable.Get());
  if (!FView) return;
  WebKitWebView* View = FView.Get();
  g_signal_handlers_disconnect_by_data(View, this);
  g_signal_handlers_disconnect_by_data(webkit_web_view_get_back_forward_list(View), this);
  Gtk::Widget* ViewWidget = Glib::wrap(GTK_WIDGET(View));
  ViewWidget->remove_controller(FDropTarget);
  ViewWidget->remove_controller(FKeys);
  FBox->remove(*ViewWidget);
  // The engine may be going from inside one of the view's own signals (a page window that
  // closes on BeforeNavigate2); let the view go once that emission is over.
  g_idle_add_full(G_PRIORITY_DEFAULT_IDLE, [](gpointer) { return G_SOURCE_REMOVE; }, FView.Release(),
                  g_object_unref);
}

}  // namespace vorlane::engine
