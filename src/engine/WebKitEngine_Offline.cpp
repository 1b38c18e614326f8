// Working offline: while the process is disconnected, WebKit's network session sends
// every request to a loopback port that nothing answers, so no page reaches the network.
// Built-in, file: and data: pages do not use the network and still load.
#include "engine/WebKitEngine.h"

#include "engine/NetworkSession.h"
#include "engine/NoticePages.h"
#include "platform/ConnectionState.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>
#include <webkit/webkit.h>

namespace vorlane::engine {

namespace {

// A port bound on 127.0.0.1 and never listened on: connections to it are refused, and no
// other program can take it while we hold it. 0 when none could be reserved.
uint16_t DeadPort() {
  static const uint16_t Port = [] {
    int Fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (Fd < 0) return uint16_t{0};
    sockaddr_in Address{};
    Address.sin_family = AF_INET;
    Address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t Length = sizeof Address;
    if (bind(Fd, reinterpret_cast<sockaddr*>(&Address), Length) != 0 ||
        getsockname(Fd, reinterpret_cast<sockaddr*>(&Address), &Length) != 0) {
      close(Fd);
      return uint16_t{0};
    }
    return ntohs(Address.sin_port);  // the socket stays open for the life of the process
  }();
  return Port;
}

void Apply(bool Connected) {
  WebKitNetworkSession* Session = ProfileNetworkSession();
  if (Connected) {
    webkit_network_session_set_proxy_settings(Session, WEBKIT_NETWORK_PROXY_MODE_DEFAULT, nullptr);
    return;
  }
  // Port 1 is refused by WebKit itself should no port be reservable.
  std::string Proxy = "http://127.0.0.1:" + std::to_string(DeadPort() ? DeadPort() : 1);
  const char* const NoExceptions[] = {nullptr};
  WebKitNetworkProxySettings* Settings = webkit_network_proxy_settings_new(Proxy.c_str(), NoExceptions);
  webkit_network_session_set_proxy_settings(Session, WEBKIT_NETWORK_PROXY_MODE_CUSTOM, Settings);
  webkit_network_proxy_settings_free(Settings);
}

// The address of the offline page's link; the engine stops that navigation and goes
// online itself, so no page can bring the browser online without the user's click.
constexpr std::string_view GoOnlinePrefix = "vorlane://home.vorlane/go-online?";

}  // namespace

bool WebKitEngine::ShowOfflinePage(const std::string& FailedUri) {
  if (platform::ConnectionState::Connected()) return false;
  // Only addresses that need the network: a missing local file is no matter of being online.
  const char* Peeked = g_uri_peek_scheme(FailedUri.c_str());  // lower case, interned
  std::string Scheme = Peeked ? Peeked : "";
  if (Scheme != "http" && Scheme != "https") return false;
  GCharPtr Token(g_strdup_printf("%08x%08x", g_random_int(), g_random_int()));
  FOffline = OfflineFailure{FailedUri, Token.get()};
  webkit_web_view_load_alternate_html(FView.Get(), OfflinePage(FailedUri, std::string(GoOnlinePrefix) + Token.get()).c_str(),
                                      FailedUri.c_str(), nullptr);
  return true;
}

bool WebKitEngine::InterceptGoOnline(const std::string& RequestUri) {
  if (RequestUri.rfind(GoOnlinePrefix, 0) != 0) return false;
  if (!FOffline || RequestUri.substr(GoOnlinePrefix.size()) != FOffline->Token || !FView) return true;
  struct Reload {
    std::weak_ptr<int> Alive;
    WebKitEngine* Engine;
    std::string Uri;
  };
  auto* Pending = new Reload{FLifeToken, this, std::exchange(FOffline, std::nullopt)->Uri};
  platform::ConnectionState::SetConnected(true);
  // The network process takes the new proxy settings in turn: once it answered a question
  // asked after them, a load no longer goes to the dead port.
  WebKitNetworkSession* Session = webkit_web_view_get_network_session(FView.Get());
  webkit_website_data_manager_fetch(
      webkit_network_session_get_website_data_manager(Session), WEBKIT_WEBSITE_DATA_HSTS_CACHE, nullptr,
      [](GObject* Source, GAsyncResult* Result, gpointer Data) {
        std::unique_ptr<Reload> R(static_cast<Reload*>(Data));
        GList* Found = webkit_website_data_manager_fetch_finish(WEBKIT_WEBSITE_DATA_MANAGER(Source), Result, nullptr);
        g_list_free_full(Found, reinterpret_cast<GDestroyNotify>(webkit_website_data_unref));
        if (!R->Alive.expired() && R->Engine->FView) webkit_web_view_load_uri(R->Engine->FView.Get(), R->Uri.c_str());
      },
      Pending);
  return true;
}

void FollowConnectionState() {
  static const bool Following = [] {
    platform::ConnectionState::Changed().connect(&Apply);
    if (!platform::ConnectionState::Connected()) Apply(false);
    return true;
  }();
  (void)Following;
}

}  // namespace vorlane::engine
