// Links the user asks for in tabs of their own (Ctrl+click, a middle click, the context
// menu's "在新标签页中打开链接"), the page's own full screen and the web inspector.
#include "engine/WebKitEngine.h"

#include "browser/LinkClicks.h"

#include <glibmm/main.h>

#include <webkit/webkit.h>

namespace vorlane::engine {

namespace {

// What the context menu's action needs once chosen: the engine, unless it has gone.
struct MenuTarget {
  WebKitEngine* Engine;
  std::weak_ptr<int> Alive;
};

}  // namespace

struct WebKitEngine::TabSignals {
  static WebKitEngine& Of(gpointer Data) { return *static_cast<WebKitEngine*>(Data); }

  // Asks the host once WebKit's decision is over: the new tab's engine may start a load
  // of its own at once.
  static void OpenLater(WebKitEngine& E, std::string Url, bool Foreground) {
    std::weak_ptr<int> Alive = E.FLifeToken;
    Glib::signal_idle().connect_once([&E, Alive, Url = std::move(Url), Foreground] {
      if (!Alive.expired() && E.FHost) E.FHost->OpenInNewTab(Url, Foreground);
    });
  }

  // Runs before the engine's other decisions: a link clicked with Ctrl or the middle
  // button never loads here, nor in a window WebKit would open for it.
  static gboolean DecidePolicy(WebKitWebView*, WebKitPolicyDecision* Decision, WebKitPolicyDecisionType Type,
                               gpointer Data) {
    if (Type != WEBKIT_POLICY_DECISION_TYPE_NAVIGATION_ACTION && Type != WEBKIT_POLICY_DECISION_TYPE_NEW_WINDOW_ACTION)
      return FALSE;
    WebKitNavigationAction* Action =
        webkit_navigation_policy_decision_get_navigation_action(WEBKIT_NAVIGATION_POLICY_DECISION(Decision));
    if (webkit_navigation_action_get_navigation_type(Action) != WEBKIT_NAVIGATION_TYPE_LINK_CLICKED) return FALSE;
    const guint Modifiers = webkit_navigation_action_get_modifiers(Action);
    const browser::LinkOpening Opening = browser::LinkOpeningOf(
        webkit_navigation_action_get_mouse_button(Action), (Modifiers & GDK_CONTROL_MASK) != 0,
        (Modifiers & GDK_SHIFT_MASK) != 0);
    if (Opening == browser::LinkOpening::Here) return FALSE;
    const char* Uri = webkit_uri_request_get_uri(webkit_navigation_action_get_request(Action));
    webkit_policy_decision_ignore(Decision);
    if (Uri) OpenLater(Of(Data), Uri, Opening == browser::LinkOpening::ForegroundTab);
    return TRUE;
  }

  // WebKit's "open link in new window" becomes ours, in its place: every window is a tab here.
  static gboolean ContextMenu(WebKitWebView*, WebKitContextMenu* Menu, WebKitHitTestResult* Hit, gpointer Data) {
    const char* Link = webkit_hit_test_result_get_link_uri(Hit);
    if (!Link) return FALSE;
    gint Position = 0, At = 0;
    WebKitContextMenuItem* Replaced = nullptr;
    for (GList* I = webkit_context_menu_get_items(Menu); I; I = I->next, ++Position) {
      auto* Old = static_cast<WebKitContextMenuItem*>(I->data);
      if (webkit_context_menu_item_get_stock_action(Old) == WEBKIT_CONTEXT_MENU_ACTION_OPEN_LINK_IN_NEW_WINDOW) {
        Replaced = Old;
        At = Position;
        break;
      }
    }
    if (!Replaced) return FALSE;
    WebKitEngine& E = Of(Data);
    GSimpleAction* Open = g_simple_action_new("open-in-new-tab", G_VARIANT_TYPE_STRING);
    g_signal_connect_data(
        Open, "activate", G_CALLBACK(+[](GSimpleAction*, GVariant* Uri, gpointer Target) {
          auto* T = static_cast<MenuTarget*>(Target);
          if (!T->Alive.expired()) OpenLater(*T->Engine, g_variant_get_string(Uri, nullptr), false);
        }),
        new MenuTarget{&E, E.FLifeToken}, +[](gpointer Target, GClosure*) { delete static_cast<MenuTarget*>(Target); },
        GConnectFlags(0));
    webkit_context_menu_insert(
        Menu, webkit_context_menu_item_new_from_gaction(G_ACTION(Open), "在新标签页中打开链接", g_variant_new_string(Link)),
        At);
    g_object_unref(Open);  // the item holds it
    webkit_context_menu_remove(Menu, Replaced);
    return FALSE;
  }

  static gboolean FullScreen(WebKitWebView*, gpointer Data, bool On) {
    WebKitEngine& E = Of(Data);
    if (E.FEvents) E.FEvents->FullScreenChange(On);
    return FALSE;  // WebKit shows the element on the whole window
  }
  static gboolean EnterFullScreen(WebKitWebView* View, gpointer Data) { return FullScreen(View, Data, true); }
  static gboolean LeaveFullScreen(WebKitWebView* View, gpointer Data) { return FullScreen(View, Data, false); }
};

void WebKitEngine::ConnectTabSignals() {
  WebKitWebView* View = FView.Get();
  g_signal_connect(View, "decide-policy", G_CALLBACK(TabSignals::DecidePolicy), this);
  g_signal_connect(View, "context-menu", G_CALLBACK(TabSignals::ContextMenu), this);
  g_signal_connect(View, "enter-fullscreen", G_CALLBACK(TabSignals::EnterFullScreen), this);
  g_signal_connect(View, "leave-fullscreen", G_CALLBACK(TabSignals::LeaveFullScreen), this);
}

void WebKitEngine::ShowInspector() {
  EnsureView();
  // Developer extras only for a page the user opened the inspector on: they add
  // "检查元素" to its context menu.
  webkit_settings_set_enable_developer_extras(webkit_web_view_get_settings(FView.Get()), TRUE);
  webkit_web_inspector_show(webkit_web_view_get_inspector(FView.Get()));
}

void WebKitEngine::LeaveFullScreen() {
  if (!FView) return;
  RunScript("if (document.fullscreenElement) document.exitFullscreen();", [](std::optional<std::string>) {});
}

}  // namespace vorlane::engine
