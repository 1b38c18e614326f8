#pragma once
// One running instance per user and display: the first instance listens on a private
// Unix socket; a later start with addresses hands them over and ends.
//
// The protocol makes a link open exactly once, even when the running instance is stopped or
// slow. A request carries an identifier and a deadline (CLOCK_MONOTONIC, shared by every
// process of the machine) and ends with an empty line; the running instance answers
// "ok ID" only before the deadline; the sender then says "go", and only a "go" opens the
// pages. The sender waits for the answer until the deadline and then opens its own window;
// the instance waits for the "go" a while longer and then shuts its reading side, after which
// a late "go" fails in the sender (which then opens its own window) instead of being lost.
//
// Sizes are bounded on both sides; nothing goes through a shell. The request carries the
// starting program's activation token, so that the running window may come to the front
// despite focus-stealing prevention.
#include <chrono>
#include <cstdint>
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
// One request, in bytes; also what one connection may make the instance hold.
constexpr size_t MaxOpenRequest = 1024 * 1024;
// Connections the instance serves at once; later ones wait in the listen queue.
constexpr size_t MaxInstanceConnections = 8;

struct TOpenRequest {
  std::vector<std::string> Urls;
  // The desktop's activation token of the start that handed the addresses over (empty: none).
  std::string StartupId;
  std::uint64_t Id = 0;
  // Milliseconds of CLOCK_MONOTONIC after which the sender no longer waits for an answer.
  std::int64_t DeadlineMs = 0;
  bool operator==(const TOpenRequest&) const = default;
};

std::string EncodeOpenRequest(const TOpenRequest& Request);
// Nullopt for anything but one well-formed request within the bounds.
std::optional<TOpenRequest> DecodeOpenRequest(std::string_view Request);
// How many of Urls, from the first, one request can carry (up to the first one too long).
size_t AddressesThatFit(const std::vector<std::string>& Urls, const std::string& StartupId);
// CLOCK_MONOTONIC in milliseconds: the clock of the deadlines.
std::int64_t MonotonicMs();

// The token a desktop gives a program it starts ($XDG_ACTIVATION_TOKEN on Wayland,
// $DESKTOP_STARTUP_ID on X11); empty when there is none or it is unusable.
std::string StartupIdFromEnvironment();

// $XDG_RUNTIME_DIR/vorlane/vorlane-<display>.sock, in a folder of our own (0700, ours, a real
// folder), or the same under the cache folder when that cannot be had. Never changes the
// mode of a folder. Empty when no private folder can be had or the path is too long for a
// socket address.
std::filesystem::path InstanceSocketPath();

enum class THandOff {
  Delivered,   // the running instance took the addresses
  NoInstance,  // nobody listens (a stale socket was removed)
  NoAnswer,    // someone listens but did not take them before the deadline
};
// Hands over the first AddressesThatFit of Request.Urls (the caller reports the rest); the
// identifier and deadline are set here, the deadline Timeout from now.
THandOff HandToRunningInstance(const std::filesystem::path& Socket, const TOpenRequest& Request,
                               std::chrono::milliseconds Timeout = std::chrono::milliseconds(2000));

// The listening side, served from the GLib main loop without blocking it.
class TInstanceServer {
public:
  using Handler = std::function<void(TOpenRequest)>;
  // Something the user may want to know (a request that came too late, no descriptors left).
  using Reporter = std::function<void(const std::string&)>;
  // Listens on Socket, taking the name over from any earlier (stale or hung) listener.
  // Null when that is not possible. Without OnReport, reports go to standard error.
  static std::unique_ptr<TInstanceServer> Listen(const std::filesystem::path& Socket, Handler OnOpen,
                                                 Reporter OnReport = {});
  ~TInstanceServer();
  TInstanceServer(const TInstanceServer&) = delete;
  TInstanceServer& operator=(const TInstanceServer&) = delete;

  size_t ConnectionCount() const { return FConnections.size(); }

private:
  struct Connection;
  TInstanceServer(int Fd, std::filesystem::path Socket, Handler OnOpen, Reporter OnReport);
  void WatchListener();
  bool Accept();
  void BackOff();
  bool Read(int Fd);
  void ReadRequest(Connection& C);
  void ReadGo(Connection& C, bool Final);
  void Expired(Connection& C);
  void Drop(int Fd);
  void Report(const std::string& Text);

  int FFd;
  std::filesystem::path FSocket;
  unsigned long FInode = 0;
  Handler FOnOpen;
  Reporter FOnReport;
  unsigned FWatch = 0;
  unsigned FBackOffTimer = 0;
  unsigned FBackOffMs = 0;
  bool FReportedNoDescriptors = false;
  std::map<int, std::unique_ptr<Connection>> FConnections;
};

}  // namespace vorlane::platform
