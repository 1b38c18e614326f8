// Working offline: while the process is disconnected, WebKit's network session sends
// every request to a loopback port that nothing answers, so no page reaches the network.
// Built-in, file: and data: pages do not use the network and still load.
#include "engine/WebKitEngine.h"

#include "engine/NetworkSession.h"
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

}  // namespace

void FollowConnectionState() {
  static const bool Following = [] {
    platform::ConnectionState::Changed().connect(&Apply);
    if (!platform::ConnectionState::Connected()) Apply(false);
    return true;
  }();
  (void)Following;
}

}  // namespace vorlane::engine
