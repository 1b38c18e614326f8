// The engine's view: built on first need (independent) or for a page's new-window request
// (related to the opener), its settings, its drop and key handling, and its release.
#include "engine/WebKitEngine.h"

#include "browser/DownloadOptions.h"
#include "browser/DroppedText.h"
#include "engine/NetworkSession.h"
#include "engine/NoticePages.h"
#include "engine/ProcessPlacement.h"
#include "engine/ProcessReportProtocol.h"
#include "engine/ProductSiteScheme.h"

#include <gdk/gdk.h>
#include <webkit/webkit.h>

namespace vorlane::engine {

namespace dlctl = browser::dlctl;

namespace {

// One drop being read: the data comes asynchronously, and the engine may go meanwhile.
struct DropRead {
  WebKitEngine* Engine;
  std::weak_ptr<int> EngineAlive;
  GObjectPtr<GdkDrop> Drop;
  std::string MimeType;
  GObjectPtr<GOutputStream> Buffer;
};

}  // namespace

struct WebKitEngine::DropHandler {
  static gboolean OnDrop(GtkDropTargetAsync*, GdkDrop* Drop, double, double, gpointer Data) {
    auto* E = static_cast<WebKitEngine*>(Data);
    GdkContentFormats* Offered = gdk_drop_get_formats(Drop);
    for (const std::string& Mime : browser::DropFormats()) {
      if (!gdk_content_formats_contain_mime_type(Offered, Mime.c_str())) continue;
      auto* Read = new DropRead{E, E->FLifeToken, GObjectPtr<GdkDrop>::Share(Drop), Mime, {}};
      const char* Mimes[] = {Read->MimeType.c_str(), nullptr};
      gdk_drop_read_async(Drop, Mimes, G_PRIORITY_DEFAULT, E->FCancellable.Get(), StreamReady, Read);
      return TRUE;
    }
    return FALSE;
  }

  static void StreamReady(GObject*, GAsyncResult* Result, gpointer Data) {
    auto* Read = static_cast<DropRead*>(Data);
    auto Stream = GObjectPtr<GInputStream>::Adopt(gdk_drop_read_finish(Read->Drop.Get(), Result, nullptr, nullptr));
    if (!Stream || Read->EngineAlive.expired()) return Finish(Read, false);
    Read->Buffer = GObjectPtr<GOutputStream>::Adopt(g_memory_output_stream_new_resizable());
    g_output_stream_splice_async(
        Read->Buffer.Get(), Stream.Get(),
        GOutputStreamSpliceFlags(G_OUTPUT_STREAM_SPLICE_CLOSE_SOURCE | G_OUTPUT_STREAM_SPLICE_CLOSE_TARGET),
        G_PRIORITY_DEFAULT, Read->Engine->FCancellable.Get(), DataRead, Read);
  }

  static void DataRead(GObject*, GAsyncResult* Result, gpointer Data) {
    auto* Read = static_cast<DropRead*>(Data);
    if (g_output_stream_splice_finish(Read->Buffer.Get(), Result, nullptr) < 0 || Read->EngineAlive.expired())
      return Finish(Read, false);
    auto* Memory = G_MEMORY_OUTPUT_STREAM(Read->Buffer.Get());
    std::string Text = browser::DroppedText(
        Read->MimeType, std::string_view(static_cast<const char*>(g_memory_output_stream_get_data(Memory)),
                                         g_memory_output_stream_get_data_size(Memory)));
    WebKitEngine* E = Read->Engine;
    Finish(Read, !Text.empty() && E->FHost && E->FHost->HandleDrop(Text));
  }

  static void Finish(DropRead* Read, bool Taken) {
    std::unique_ptr<DropRead> Done(Read);
    gdk_drop_finish(Read->Drop.Get(), Taken ? GDK_ACTION_COPY : GdkDragAction(0));
  }
};

void WebKitEngine::EnsureView() {
  if (!FView) CreateView(nullptr);
}

void WebKitEngine::CreateView(WebKitWebView* Opener) {
  RegisterProductSiteScheme();
  // Every page has settings of its own, so one page's download switches never change
  // another's; ApplyDownloadFlags fills in the switches.
  auto Settings = GObjectPtr<WebKitSettings>::Adopt(webkit_settings_new());
  webkit_settings_set_user_agent_with_application_details(Settings.Get(), UserAgentName, UserAgentVersion);
  // WebKit asks about every window a script opens, so that the host can hold back those
  // that come without a click and tell the user; the page window closes those that hide
  // every bar.
  webkit_settings_set_javascript_can_open_windows_automatically(Settings.Get(), TRUE);
  if (!FGpuCompositing)
    webkit_settings_set_hardware_acceleration_policy(Settings.Get(), WEBKIT_HARDWARE_ACCELERATION_POLICY_NEVER);
  if (Opener) {
    // WebKit requires the view it gets back from `create` to be related to the opener; the
    // content manager goes with it, and the settings are set at construction, before
    // WebKit loads the request.
    FView = GObjectPtr<WebKitWebView>::Adopt(WEBKIT_WEB_VIEW(g_object_new(
        WEBKIT_TYPE_WEB_VIEW, "related-view", Opener, "settings", Settings.Get(),
        "user-content-manager", webkit_web_view_get_user_content_manager(Opener), "network-session",
        webkit_web_view_get_network_session(Opener), nullptr)));
  } else {
    // Own content manager, so the download switches stay this page's even when it
    // shares the web process of another page of its site.
    WebKitWebView* Mate = FPlacement ? FPlacement->PlaceNewView(FPageId, FPending.value_or("")) : nullptr;
    auto Content = GObjectPtr<WebKitUserContentManager>::Adopt(webkit_user_content_manager_new());
    // A related view takes its mate's network session; WebKit refuses both.
    FView = GObjectPtr<WebKitWebView>::Adopt(WEBKIT_WEB_VIEW(
        Mate ? g_object_new(WEBKIT_TYPE_WEB_VIEW, "related-view", Mate, "settings", Settings.Get(),
                            "user-content-manager", Content.Get(), nullptr)
             : g_object_new(WEBKIT_TYPE_WEB_VIEW, "settings", Settings.Get(), "user-content-manager",
                            Content.Get(), "network-session", ProfileNetworkSession(), nullptr)));
  }
  if (FPlacement) FPlacement->SetView(FPageId, FView.Get());
  FPopup = Opener != nullptr;
  ApplyDownloadFlags();
  ApplyUserAgentToken();
  FollowConnectionState();
  ConnectTabSignals();
  ConnectSignals();

  Gtk::Widget* ViewWidget = Glib::wrap(GTK_WIDGET(FView.Get()));
  ViewWidget->set_hexpand(true);
  ViewWidget->set_vexpand(true);

  // Capture phase: the host decides about dropped addresses before the page sees them. A
  // list of addresses is preferred to plain text, so the drop is read in the format chosen.
  std::vector<const char*> Mimes;
  for (const std::string& Mime : browser::DropFormats()) Mimes.push_back(Mime.c_str());
  GtkDropTargetAsync* Drops = gtk_drop_target_async_new(
      gdk_content_formats_new(Mimes.data(), static_cast<guint>(Mimes.size())),
      GdkDragAction(GDK_ACTION_COPY | GDK_ACTION_LINK | GDK_ACTION_MOVE));
  gtk_event_controller_set_propagation_phase(GTK_EVENT_CONTROLLER(Drops), GTK_PHASE_CAPTURE);
  g_signal_connect(Drops, "drop", G_CALLBACK(DropHandler::OnDrop), this);
  FDropTarget = Glib::wrap(GTK_EVENT_CONTROLLER(Drops));  // we hold the only reference
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
  TakeWaitingFocus();
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
  FPendingSession.clear();
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

namespace {

struct ProcessQuestionCall {
  WebKitEngine* Engine;
  std::weak_ptr<int> Alive;
  std::uint64_t Commit;
};

}  // namespace

// Which process the committed document is in, from the web process extension; pages with the
// same answer share a process.
void WebKitEngine::AskWhichProcess() {
  auto* Call = new ProcessQuestionCall{this, FLifeToken, FCommits};
  webkit_web_view_send_message_to_page(
      FView.Get(), webkit_user_message_new(ProcessQuestion, nullptr), FCancellable.Get(),
      [](GObject* Source, GAsyncResult* Result, gpointer Data) {
        // Also called when the engine went (its cancellable), so the call is always freed.
        std::unique_ptr<ProcessQuestionCall> Call(static_cast<ProcessQuestionCall*>(Data));
        auto Reply = GObjectPtr<WebKitUserMessage>::Adopt(
            webkit_web_view_send_message_to_page_finish(WEBKIT_WEB_VIEW(Source), Result, nullptr));
        if (!Reply || Call->Alive.expired() || Call->Commit != Call->Engine->FCommits) return;
        GVariant* Number = webkit_user_message_get_parameters(Reply.Get());
        if (Number && g_variant_is_of_type(Number, G_VARIANT_TYPE_UINT64) && Call->Engine->FPlacement)
          Call->Engine->FPlacement->InProcess(Call->Engine->FPageId, g_variant_get_uint64(Number));
      },
      Call);
}

void WebKitEngine::ShowProcessEndedPage(browser::ProcessEnd Reason, std::size_t Others) {
  // Shown under the address the page had, so the address bar keeps it and the link on
  // the page loads it again in a new process.
  std::string Url = FLastUri;
  FErrorPageUri = Url.empty() ? "about:blank" : Url;
  webkit_web_view_load_alternate_html(FView.Get(), ProcessEndedPage(Reason, Url, Others).c_str(),
                                      Url.empty() ? "about:blank" : Url.c_str(), nullptr);
}

WebKitEngine::~WebKitEngine() {
  const bool LastInProcess = FPlacement && FPlacement->Closed(FPageId);
  FLifeToken.reset();
  FFocusWatch.disconnect();
  FPendingIdle.disconnect();
  g_cancellable_cancel(FCancellable.Get());
  RefusePendingPermissions();
  if (!FView) return;
  WebKitWebView* View = FView.Get();
  g_signal_handlers_disconnect_by_data(View, this);
  g_signal_handlers_disconnect_by_data(webkit_web_view_get_back_forward_list(View), this);
  Gtk::Widget* ViewWidget = Glib::wrap(GTK_WIDGET(View));
  ViewWidget->remove_controller(FDropTarget);
  ViewWidget->remove_controller(FKeys);
  FBox->remove(*ViewWidget);
  // The engine may be going from inside one of the view's own signals (a page window that
  // closes on BeforeNavigate2); let the view go once that emission is over. Its process goes
  // with it when no other page is in it, rather than kept idle by WebKit for minutes (our
  // handlers are gone: this is no crash to show).
  if (LastInProcess) {
    g_idle_add_full(
        G_PRIORITY_DEFAULT_IDLE,
        [](gpointer View) {
          webkit_web_view_terminate_web_process(WEBKIT_WEB_VIEW(View));
          return G_SOURCE_REMOVE;
        },
        FView.Release(), g_object_unref);
    return;
  }
  g_idle_add_full(G_PRIORITY_DEFAULT_IDLE, [](gpointer) { return G_SOURCE_REMOVE; }, FView.Release(),
                  g_object_unref);
}

}  // namespace vorlane::engine
