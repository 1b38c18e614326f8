#pragma once
// One running instance per user and display: the first instance listens on a private
// Unix socket; a later start with addresses hands them over and ends. The protocol is one
// short request per connection: a magic line, then one address per line, then end of
// stream; the answer is "ok\n". Sizes are bounded on both sides; nothing goes through a
// shell.
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

std::string EncodeOpenRequest(const std::vector<std::string>& Urls);
// Nullopt for anything but a well-formed request within the bounds.
std::optional<std::vector<std::string>> DecodeOpenRequest(std::string_view Request);

// $XDG_RUNTIME_DIR/vorlane-<display>.sock, or a private folder under the cache folder when
// there is no runtime folder. Empty when no private folder can be made or the path is too
// long for a socket address.
std::filesystem::path InstanceSocketPath();

enum class THandOff {
  Delivered,   // the running instance took the addresses
  NoInstance,  // nobody listens (a stale socket was removed)
  NoAnswer,    // someone listens but did not answer in time
};
THandOff HandToRunningInstance(const std::filesystem::path& Socket, const std::vector<std::string>& Urls,
                               std::chrono::milliseconds Timeout = std::chrono::milliseconds(1000));

// The listening side, served from the GLib main loop without blocking it.
class TInstanceServer {
public:
  using Handler = std::function<void(std::vector<std::string>)>;
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
