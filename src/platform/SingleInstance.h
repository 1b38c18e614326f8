#pragma once
// One running instance per user and display: the first instance listens on a private
// Unix socket; a later start with addresses hands them over and ends. The protocol is one
// short request per connection: a magic line, an "id" line with the activation token, then
// one address per line, then end of stream; the answer is "ok\n". Sizes are bounded on both sides; nothing goes through a
// shell. The request carries the starting program's activation token, so that the running
// window may come to the front despite focus-stealing prevention.
#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorlane::platform {

constexpr size_t MaxHandedAddress = 32 * 1024;
constexpr size_t MaxHandedAddresses = 256;
constexpr size_t MaxStartupId = 256;

struct TOpenRequest {
  std::vector<std::string> Urls;
  // The desktop's activation token of the start that handed the addresses over (empty: none).
  std::string StartupId;
  bool operator==(const TOpenRequest&) const = default;
};

std::string EncodeOpenRequest(const TOpenRequest& Request);
// Nullopt for anything but a well-formed request within the bounds.
std::optional<TOpenRequest> DecodeOpenRequest(std::string_view Request);

// The token a desktop gives a program it starts ($XDG_ACTIVATION_TOKEN on Wayland,
// $DESKTOP_STARTUP_ID on X11); empty when there is none or it is unusable.
std::string StartupIdFromEnvironment();

// $XDG_RUNTIME_DIR/vorlane-<display>.sock, or a private folder under the cache folder when
// there is no runtime folder. Empty when no private folder can be made or the path is too
// long for a socket address.
std::filesystem::path InstanceSocketPath();

enum class THandOff {
  Delivered,   // the running instance took the addresses
  NoInstance,  // nobody listens (a stale socket was removed)
  NoAnswer,    // someone listens but did not answer in time
};
THandOff HandToRunningInstance(const std::filesystem::path& Socket, const TOpenRequest& Request,
                               std::chrono::milliseconds Timeout = std::chrono::milliseconds(1000));

// The listening side, served from the GLib main loop without blocking it.
class TInstanceServer {
public:
  using Handler = std::function<void(TOpenRequest)>;
  // Listens on Socket, taking the name over from any earlier (stale or hung) listener.
  // Null when that is not possible.
  static std::unique_ptr<TInstanceServer> Listen(const std::filesystem::path& Socket, Handler OnOpen);
  ~TInstanceServer();
  TInstanceServer(const TInstanceServer&) = delete;
  TInstanceServer& operator=(const TInstanceServer&) = delete;

private:
  struct Connection;
  TInstanceServer(int Fd, std::filesystem::path Socket, Handler OnOpen);
  bool Accept();
  bool Read(int Fd);
  void Drop(int Fd);

  int FFd;
  std::filesystem::path FSocket;
  unsigned long FInode = 0;
  Handler FOnOpen;
  unsigned FWatch = 0;
  std::map<int, std::unique_ptr<Connection>> FConnections;
};

}  // namespace vorlane::platform
