#include "platform/SingleInstance.h"

#include <glib-unix.h>
#include <glib.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <cstring>
#include <utility>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace vorlane::platform {
namespace {

// Owns one socket descriptor.
class SocketFd {
public:
  SocketFd() = default;
  explicit SocketFd(int Fd) : FFd(Fd) {}
  ~SocketFd() {
    if (FFd >= 0) close(FFd);
  }
  SocketFd(const SocketFd&) = delete;
  SocketFd& operator=(const SocketFd&) = delete;
  int Get() const { return FFd; }
  explicit operator bool() const { return FFd >= 0; }
  int Release() { return std::exchange(FFd, -1); }
  void Reset(int Fd) {
    if (FFd >= 0) close(FFd);
    FFd = Fd;
  }

private:
  int FFd = -1;
};

constexpr std::string_view Magic = "vorlane-open 2\n";
// A request must arrive within this; the "go" within this after the deadline.
constexpr int64_t RequestTimeMs = 2000;
constexpr int64_t GoGraceMs = 1000;
constexpr unsigned FirstBackOffMs = 100, LastBackOffMs = 3200;

bool HasControlCharacter(std::string_view S) {
  for (unsigned char C : S)
    if (C < 0x20 || C == 0x7F) return true;
  return false;
}

std::optional<sockaddr_un> AddressOf(const std::filesystem::path& Socket) {
  sockaddr_un Address{};
  Address.sun_family = AF_UNIX;
  const std::string& Path = Socket.native();
  if (Path.empty() || Path.size() >= sizeof Address.sun_path) return std::nullopt;
  std::memcpy(Address.sun_path, Path.c_str(), Path.size() + 1);
  return Address;
}

// A folder of our own: made 0700 when missing; usable only as a real folder of this user
// that nobody else may enter. Its mode is never changed: the name may be someone else's.
bool OwnPrivateFolder(const std::filesystem::path& Folder) {
  mkdir(Folder.c_str(), 0700);
  struct stat St {};
  return lstat(Folder.c_str(), &St) == 0 && S_ISDIR(St.st_mode) && St.st_uid == geteuid() &&
         (St.st_mode & 077) == 0;
}

// The user's runtime folder, if ours and closed to other users' writes (else they could swap
// our folder in it for theirs).
bool UsableRuntimeFolder(const char* Runtime) {
  struct stat St {};
  return Runtime && Runtime[0] == '/' && stat(Runtime, &St) == 0 && S_ISDIR(St.st_mode) &&
         St.st_uid == geteuid() && (St.st_mode & 022) == 0;
}

std::string DisplayName() {
  const char* Name = std::getenv("WAYLAND_DISPLAY");
  if (!Name || !*Name) Name = std::getenv("DISPLAY");
  std::string Out;
  for (const char* P = Name ? Name : ""; *P && Out.size() < 40; ++P)
    Out += g_ascii_isalnum(*P) || *P == '.' || *P == '-' ? *P : '_';
  return Out.empty() ? "none" : Out;
}

std::optional<int64_t> Number(std::string_view Text, int Base) {
  if (Text.empty() || Text.size() > 20) return std::nullopt;
  std::string Copy(Text);
  char* End = nullptr;
  errno = 0;
  unsigned long long Value = std::strtoull(Copy.c_str(), &End, Base);
  if (errno || *End || !g_ascii_isdigit(Copy[0])) return std::nullopt;
  return static_cast<int64_t>(Value);
}

std::string AnswerFor(uint64_t Id) { return "ok " + std::to_string(Id) + "\n"; }

}  // namespace

int64_t MonotonicMs() {
  timespec Now{};
  clock_gettime(CLOCK_MONOTONIC, &Now);
  return static_cast<int64_t>(Now.tv_sec) * 1000 + Now.tv_nsec / 1000000;
}

std::string EncodeOpenRequest(const TOpenRequest& Request) {
  std::string Out(Magic);
  Out += "request " + std::to_string(Request.Id) + " " + std::to_string(Request.DeadlineMs) + "\n";
  Out += "token " + Request.StartupId + "\n";
  for (const std::string& Url : Request.Urls) Out += Url + "\n";
  return Out + "\n";
}

std::optional<TOpenRequest> DecodeOpenRequest(std::string_view Text) {
  if (Text.size() > MaxOpenRequest || !Text.starts_with(Magic) || !Text.ends_with("\n\n")) return std::nullopt;
  Text.remove_prefix(Magic.size());
  Text.remove_suffix(1);  // the empty line that ends it
  TOpenRequest Request;
  int Line = 0;
  while (!Text.empty()) {
    size_t End = Text.find('\n');
    std::string_view Item = Text.substr(0, End);
    Text.remove_prefix(End + 1);
    if (HasControlCharacter(Item)) return std::nullopt;
    switch (Line++) {
      case 0: {
        if (!Item.starts_with("request ")) return std::nullopt;
        Item.remove_prefix(8);
        size_t Space = Item.find(' ');
        auto Id = Number(Item.substr(0, Space), 10);
        auto Deadline = Space == std::string_view::npos ? std::nullopt : Number(Item.substr(Space + 1), 10);
        if (!Id || !Deadline) return std::nullopt;
        Request.Id = static_cast<uint64_t>(*Id);
        Request.DeadlineMs = *Deadline;
        break;
      }
      case 1:
        if (!Item.starts_with("token ") || Item.size() - 6 > MaxStartupId) return std::nullopt;
        Request.StartupId = Item.substr(6);
        break;
      default:
        if (Item.empty() || Item.size() > MaxHandedAddress || Request.Urls.size() == MaxHandedAddresses)
          return std::nullopt;
        Request.Urls.emplace_back(Item);
    }
  }
  if (Line < 2) return std::nullopt;
  return Request;
}

size_t AddressesThatFit(const std::vector<std::string>& Urls, const std::string& StartupId) {
  // The largest head: identifier and deadline at their longest.
  size_t Size = EncodeOpenRequest({{}, StartupId, UINT64_MAX, INT64_MAX}).size();
  size_t Count = 0;
  for (const std::string& Url : Urls) {
    Size += Url.size() + 1;
    if (Count == MaxHandedAddresses || Size > MaxOpenRequest || Url.size() > MaxHandedAddress) break;
    ++Count;
  }
  return Count;
}

std::string StartupIdFromEnvironment() {
  for (const char* Name : {"XDG_ACTIVATION_TOKEN", "DESKTOP_STARTUP_ID"}) {
    const char* Value = std::getenv(Name);
    if (Value && *Value && std::strlen(Value) <= MaxStartupId && !HasControlCharacter(Value)) return Value;
  }
  return {};
}

std::filesystem::path InstanceSocketPath() {
  std::filesystem::path Folder;
  const char* Runtime = std::getenv("XDG_RUNTIME_DIR");
  if (UsableRuntimeFolder(Runtime) && OwnPrivateFolder(std::filesystem::path(Runtime) / "vorlane")) {
    Folder = std::filesystem::path(Runtime) / "vorlane";
  } else {
    auto Cache = std::filesystem::path(g_get_user_cache_dir()) / "vorlane";
    std::error_code Ec;
    std::filesystem::create_directories(Cache, Ec);
    if (!OwnPrivateFolder(Cache / "instance")) return {};
    Folder = Cache / "instance";
  }
  auto Socket = Folder / ("vorlane-" + DisplayName() + ".sock");
  // Room for the listener's temporary name too.
  return AddressOf(Socket.string() + ".4294967295") ? Socket : std::filesystem::path();
}

THandOff HandToRunningInstance(const std::filesystem::path& Socket, const TOpenRequest& Open,
                               std::chrono::milliseconds Timeout) {
  auto Address = AddressOf(Socket);
  if (!Address) return THandOff::NoInstance;
  SocketFd Fd(socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  if (!Fd) return THandOff::NoInstance;
  if (connect(Fd.Get(), reinterpret_cast<sockaddr*>(&*Address), sizeof *Address) != 0) {
    // Nobody listens on a name that exists: an instance that ended without cleaning up.
    if (errno == ECONNREFUSED) unlink(Socket.c_str());
    // A full backlog means an instance that does not accept: hung.
    return errno == EAGAIN || errno == EINPROGRESS ? THandOff::NoAnswer : THandOff::NoInstance;
  }
  TOpenRequest Request = Open;
  Request.Urls.resize(AddressesThatFit(Open.Urls, Open.StartupId));
  Request.Id = (static_cast<uint64_t>(g_random_int()) << 32) | g_random_int();
  Request.DeadlineMs = MonotonicMs() + Timeout.count();
  const std::string Text = EncodeOpenRequest(Request);
  auto WaitFor = [&](short Events) {
    pollfd P{Fd.Get(), Events, 0};
    for (;;) {
      int64_t Left = Request.DeadlineMs - MonotonicMs();
      if (Left <= 0) return false;
      int R = poll(&P, 1, static_cast<int>(Left));
      if (R > 0) return true;
      if (R == 0 || errno != EINTR) return false;
    }
  };
  size_t Sent = 0;
  while (Sent < Text.size()) {
    ssize_t N = send(Fd.Get(), Text.data() + Sent, Text.size() - Sent, MSG_NOSIGNAL);
    if (N > 0) {
      Sent += static_cast<size_t>(N);
    } else if (N < 0 && errno == EAGAIN) {
      if (!WaitFor(POLLOUT)) return THandOff::NoAnswer;
    } else if (N < 0 && errno != EINTR) {
      return THandOff::NoAnswer;
    }
  }
  const std::string Expected = AnswerFor(Request.Id);
  std::string Answer;
  char Buffer[32];
  while (Answer.size() < Expected.size()) {
    ssize_t N = recv(Fd.Get(), Buffer, std::min(sizeof Buffer, Expected.size() - Answer.size()), 0);
    if (N > 0) {
      Answer.append(Buffer, static_cast<size_t>(N));
    } else if (N < 0 && errno == EAGAIN) {
      if (!WaitFor(POLLIN)) return THandOff::NoAnswer;  // the deadline passed: our own window
    } else if (N == 0 || errno != EINTR) {
      return THandOff::NoAnswer;
    }
  }
  if (Answer != Expected) return THandOff::NoAnswer;
  // The instance opens the pages on this word only, and refuses it once it stopped waiting.
  return send(Fd.Get(), "go\n", 3, MSG_NOSIGNAL) == 3 ? THandOff::Delivered : THandOff::NoAnswer;
}

struct TInstanceServer::Connection {
  TInstanceServer* Server;
  SocketFd Fd;
  std::string Buffer;
  std::optional<TOpenRequest> Answered;  // waiting for its "go"
  guint Watch = 0;
  guint Timer = 0;
};

std::unique_ptr<TInstanceServer> TInstanceServer::Listen(const std::filesystem::path& Socket, Handler OnOpen,
                                                         Reporter OnReport) {
  // Bound under a name of its own, then renamed over the shared one: a stale or hung
  // listener's name is replaced in one step, and two starts never both fail.
  auto Temp = Socket;
  Temp += "." + std::to_string(getpid());
  auto Address = AddressOf(Temp);
  if (!Address) return nullptr;
  SocketFd Fd(socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  if (!Fd) return nullptr;
  unlink(Temp.c_str());
  if (bind(Fd.Get(), reinterpret_cast<sockaddr*>(&*Address), sizeof *Address) != 0 || listen(Fd.Get(), 16) != 0 ||
      rename(Temp.c_str(), Socket.c_str()) != 0) {
    unlink(Temp.c_str());
    return nullptr;
  }
  if (!OnReport) OnReport = [](const std::string& Text) { std::fprintf(stderr, "vorlane: %s\n", Text.c_str()); };
  std::unique_ptr<TInstanceServer> Server(
      new TInstanceServer(Fd.Release(), Socket, std::move(OnOpen), std::move(OnReport)));
  struct stat St {};
  if (stat(Socket.c_str(), &St) == 0) Server->FInode = St.st_ino;
  return Server;
}

TInstanceServer::TInstanceServer(int Fd, std::filesystem::path Socket, Handler OnOpen, Reporter OnReport)
    : FFd(Fd), FSocket(std::move(Socket)), FOnOpen(std::move(OnOpen)), FOnReport(std::move(OnReport)) {
  WatchListener();
}

TInstanceServer::~TInstanceServer() {
  while (!FConnections.empty()) Drop(FConnections.begin()->first);
  if (FWatch) g_source_remove(FWatch);
  if (FBackOffTimer) g_source_remove(FBackOffTimer);
  close(FFd);
  // Only our own name: a later instance may have taken it over.
  struct stat St {};
  if (stat(FSocket.c_str(), &St) == 0 && St.st_ino == FInode) unlink(FSocket.c_str());
}

void TInstanceServer::Report(const std::string& Text) {
  if (FOnReport) FOnReport(Text);
}

// Accepts while there is room and no back-off; otherwise connections wait in the queue.
void TInstanceServer::WatchListener() {
  bool Wanted = FConnections.size() < MaxInstanceConnections && !FBackOffTimer;
  if (Wanted && !FWatch) {
    FWatch = g_unix_fd_add(FFd, G_IO_IN, [](gint, GIOCondition, gpointer Self) -> gboolean {
      return static_cast<TInstanceServer*>(Self)->Accept();
    }, this);
  } else if (!Wanted && FWatch) {
    g_source_remove(FWatch);
    FWatch = 0;
  }
}

bool TInstanceServer::Accept() {
  while (FConnections.size() < MaxInstanceConnections) {
    int Fd = accept4(FFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (Fd < 0) {
      if (errno == EAGAIN || errno == EINTR || errno == ECONNABORTED) return G_SOURCE_CONTINUE;
      // Out of descriptors or memory: the connection stays queued and the socket stays
      // readable, so retrying at once would spin.
      BackOff();
      return G_SOURCE_REMOVE;
    }
    FBackOffMs = 0;
    auto C = std::make_unique<Connection>();
    C->Server = this;
    C->Fd.Reset(Fd);
    C->Watch = g_unix_fd_add(Fd, static_cast<GIOCondition>(G_IO_IN | G_IO_HUP | G_IO_ERR),
                             [](gint Fd, GIOCondition, gpointer Self) -> gboolean {
                               return static_cast<TInstanceServer*>(Self)->Read(Fd);
                             }, this);
    // A client that never finishes its request is dropped.
    C->Timer = g_timeout_add(RequestTimeMs, [](gpointer Data) -> gboolean {
      auto* C = static_cast<Connection*>(Data);
      C->Timer = 0;
      C->Server->Expired(*C);
      return G_SOURCE_REMOVE;
    }, C.get());
    FConnections[Fd] = std::move(C);
  }
  FWatch = 0;  // full: this source ends, a dropped connection brings it back
  return G_SOURCE_REMOVE;
}

void TInstanceServer::BackOff() {
  const int Error = errno;
  FWatch = 0;  // the caller's source ends
  if (!FReportedNoDescriptors) {
    FReportedNoDescriptors = true;
    Report(std::string("cannot take requests from later starts for now (") + std::strerror(Error) +
           "); trying again in the background");
  }
  FBackOffMs = FBackOffMs ? std::min(FBackOffMs * 2, LastBackOffMs) : FirstBackOffMs;
  FBackOffTimer = g_timeout_add(FBackOffMs, [](gpointer Self) -> gboolean {
    auto* Server = static_cast<TInstanceServer*>(Self);
    Server->FBackOffTimer = 0;
    Server->WatchListener();
    return G_SOURCE_REMOVE;
  }, this);
}

bool TInstanceServer::Read(int Fd) {
  auto It = FConnections.find(Fd);
  if (It == FConnections.end()) return G_SOURCE_REMOVE;
  Connection& C = *It->second;
  if (C.Answered)
    ReadGo(C, false);
  else
    ReadRequest(C);
  // Whatever was dropped removed its own source; a connection still here keeps it.
  return FConnections.count(Fd) ? G_SOURCE_CONTINUE : G_SOURCE_REMOVE;
}

void TInstanceServer::ReadRequest(Connection& C) {
  const int Fd = C.Fd.Get();
  char Buffer[4096];
  bool Closed = false;  // a sender that gave up may have closed before we read a byte
  for (;;) {
    ssize_t N = recv(Fd, Buffer, sizeof Buffer, 0);
    if (N < 0 && errno == EINTR) continue;
    if (N < 0 && errno == EAGAIN) break;
    if (N <= 0) {
      Closed = true;
      break;
    }
    C.Buffer.append(Buffer, static_cast<size_t>(N));
    if (C.Buffer.size() > MaxOpenRequest) return Drop(Fd);
  }
  size_t End = C.Buffer.find("\n\n");
  if (End == std::string::npos) {
    if (Closed) Drop(Fd);  // ended before the request was whole
    return;                // else more to come
  }
  auto Request = End + 2 == C.Buffer.size() ? DecodeOpenRequest(C.Buffer) : std::nullopt;
  if (!Request) return Drop(Fd);
  const int64_t Now = MonotonicMs();
  if (Now >= Request->DeadlineMs) {
    // Its sender has opened a window of its own by now.
    Report("a request to open " + std::to_string(Request->Urls.size()) +
           " addresses came after its deadline and was ignored");
    return Drop(Fd);
  }
  if (Closed) return Drop(Fd);  // nobody left to say "go"
  const std::string Answer = AnswerFor(Request->Id);
  if (send(Fd, Answer.data(), Answer.size(), MSG_NOSIGNAL | MSG_DONTWAIT) != static_cast<ssize_t>(Answer.size()))
    return Drop(Fd);
  C.Answered = std::move(Request);
  C.Buffer.clear();
  if (C.Timer) g_source_remove(C.Timer);
  const int64_t Wait = std::min(C.Answered->DeadlineMs - Now, RequestTimeMs) + GoGraceMs;
  C.Timer = g_timeout_add(static_cast<guint>(Wait), [](gpointer Data) -> gboolean {
    auto* C = static_cast<Connection*>(Data);
    C->Timer = 0;
    C->Server->Expired(*C);
    return G_SOURCE_REMOVE;
  }, &C);
}

// Final: the wait is over; the reading side is shut first, so that a "go" the sender manages
// to send is either read here or fails in the sender, never lost between the two.
void TInstanceServer::ReadGo(Connection& C, bool Final) {
  const int Fd = C.Fd.Get();
  if (Final) shutdown(Fd, SHUT_RD);
  char Buffer[8];
  for (;;) {
    ssize_t N = recv(Fd, Buffer, sizeof Buffer, 0);
    if (N < 0 && errno == EINTR) continue;
    if (N > 0) {
      C.Buffer.append(Buffer, static_cast<size_t>(N));
      if (C.Buffer.size() < 3) continue;
      if (C.Buffer != "go\n") return Drop(Fd);
      TOpenRequest Request = std::move(*C.Answered);
      Drop(Fd);
      if (FOnOpen) FOnOpen(std::move(Request));
      return;
    }
    if (N < 0 && errno == EAGAIN && !Final) return;  // not yet
    return Drop(Fd);  // the sender gave up, or the wait is over
  }
}

void TInstanceServer::Expired(Connection& C) {
  if (C.Answered)
    ReadGo(C, true);
  else
    Drop(C.Fd.Get());
}

void TInstanceServer::Drop(int Fd) {
  auto It = FConnections.find(Fd);
  if (It == FConnections.end()) return;
  if (It->second->Watch) g_source_remove(It->second->Watch);
  if (It->second->Timer) g_source_remove(It->second->Timer);
  FConnections.erase(It);
  WatchListener();
}

}  // namespace vorlane::platform
