#include "platform/SingleInstance.h"

#include <glib-unix.h>
#include <glib.h>

#include <cerrno>
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

constexpr std::string_view Magic = "vorlane-open 1\n";
constexpr size_t MaxRequest =
    Magic.size() + 3 + MaxStartupId + 1 + MaxHandedAddresses * (MaxHandedAddress + 1);
constexpr guint ConnectionTimeoutMs = 2000;

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

// A folder only this user can enter; false when there is none and it cannot be made so.
bool PrivateFolder(const std::filesystem::path& Folder) {
  std::error_code Ec;
  std::filesystem::create_directories(Folder, Ec);
  struct stat St {};
  if (lstat(Folder.c_str(), &St) != 0 || !S_ISDIR(St.st_mode) || St.st_uid != geteuid()) return false;
  if ((St.st_mode & 077) != 0 && chmod(Folder.c_str(), 0700) != 0) return false;
  return true;
}

std::string DisplayName() {
  const char* Name = std::getenv("WAYLAND_DISPLAY");
  if (!Name || !*Name) Name = std::getenv("DISPLAY");
  std::string Out;
  for (const char* P = Name ? Name : ""; *P && Out.size() < 40; ++P)
    Out += g_ascii_isalnum(*P) || *P == '.' || *P == '-' ? *P : '_';
  return Out.empty() ? "none" : Out;
}

int NowMs() { return static_cast<int>(g_get_monotonic_time() / 1000); }

}  // namespace

std::string EncodeOpenRequest(const TOpenRequest& Request) {
  std::string Out(Magic);
  Out += "id " + Request.StartupId + "\n";
  for (const std::string& Url : Request.Urls) Out += Url + "\n";
  return Out;
}

std::optional<TOpenRequest> DecodeOpenRequest(std::string_view Text) {
  if (Text.size() > MaxRequest || !Text.starts_with(Magic)) return std::nullopt;
  Text.remove_prefix(Magic.size());
  TOpenRequest Request;
  bool First = true;
  while (!Text.empty()) {
    size_t End = Text.find('\n');
    if (End == std::string_view::npos) return std::nullopt;  // cut short
    std::string_view Line = Text.substr(0, End);
    Text.remove_prefix(End + 1);
    if (HasControlCharacter(Line)) return std::nullopt;
    if (std::exchange(First, false)) {
      if (!Line.starts_with("id ") || Line.size() - 3 > MaxStartupId) return std::nullopt;
      Request.StartupId = Line.substr(3);
      continue;
    }
    if (Line.empty() || Line.size() > MaxHandedAddress || Request.Urls.size() == MaxHandedAddresses)
      return std::nullopt;
    Request.Urls.emplace_back(Line);
  }
  if (First) return std::nullopt;  // no id line
  return Request;
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
  if (Runtime && *Runtime && Runtime[0] == '/')
    Folder = Runtime;
  else
    Folder = std::filesystem::path(g_get_user_cache_dir()) / "vorlane" / "instance";
  if (!PrivateFolder(Folder)) return {};
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
  const std::string Request = EncodeOpenRequest(Open);
  const int Deadline = NowMs() + static_cast<int>(Timeout.count());
  auto WaitFor = [&](short Events) {
    pollfd P{Fd.Get(), Events, 0};
    for (;;) {
      int Left = Deadline - NowMs();
      if (Left <= 0) return false;
      int R = poll(&P, 1, Left);
      if (R > 0) return true;
      if (R == 0 || errno != EINTR) return false;
    }
  };
  size_t Sent = 0;
  while (Sent < Request.size()) {
    ssize_t N = send(Fd.Get(), Request.data() + Sent, Request.size() - Sent, MSG_NOSIGNAL);
    if (N > 0) {
      Sent += static_cast<size_t>(N);
    } else if (N < 0 && errno == EAGAIN) {
      if (!WaitFor(POLLOUT)) return THandOff::NoAnswer;
    } else if (N < 0 && errno != EINTR) {
      return THandOff::NoAnswer;
    }
  }
  shutdown(Fd.Get(), SHUT_WR);
  std::string Answer;
  char Buffer[16];
  while (Answer.size() < 3) {
    ssize_t N = recv(Fd.Get(), Buffer, sizeof Buffer, 0);
    if (N > 0) {
      Answer.append(Buffer, static_cast<size_t>(N));
    } else if (N == 0) {
      break;
    } else if (errno == EAGAIN) {
      if (!WaitFor(POLLIN)) break;
    } else if (errno != EINTR) {
      break;
    }
  }
  return Answer.starts_with("ok\n") ? THandOff::Delivered : THandOff::NoAnswer;
}

struct TInstanceServer::Connection {
  TInstanceServer* Server;
  SocketFd Fd;
  std::string Buffer;
  guint Watch = 0;
  guint Timer = 0;
};

std::unique_ptr<TInstanceServer> TInstanceServer::Listen(const std::filesystem::path& Socket, Handler OnOpen) {
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
  std::unique_ptr<TInstanceServer> Server(new TInstanceServer(Fd.Release(), Socket, std::move(OnOpen)));
  struct stat St {};
  if (stat(Socket.c_str(), &St) == 0) Server->FInode = St.st_ino;
  return Server;
}

TInstanceServer::TInstanceServer(int Fd, std::filesystem::path Socket, Handler OnOpen)
    : FFd(Fd), FSocket(std::move(Socket)), FOnOpen(std::move(OnOpen)) {
  FWatch = g_unix_fd_add(FFd, G_IO_IN, [](gint, GIOCondition, gpointer Self) -> gboolean {
    return static_cast<TInstanceServer*>(Self)->Accept();
  }, this);
}

TInstanceServer::~TInstanceServer() {
  while (!FConnections.empty()) Drop(FConnections.begin()->first);
  if (FWatch) g_source_remove(FWatch);
  close(FFd);
  // Only our own name: a later instance may have taken it over.
  struct stat St {};
  if (stat(FSocket.c_str(), &St) == 0 && St.st_ino == FInode) unlink(FSocket.c_str());
}

bool TInstanceServer::Accept() {
  for (;;) {
    int Fd = accept4(FFd, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (Fd < 0) return errno == EAGAIN || errno == EINTR || errno == ECONNABORTED || errno == EMFILE;
    auto C = std::make_unique<Connection>();
    C->Server = this;
    C->Fd.Reset(Fd);
    C->Watch = g_unix_fd_add(Fd, static_cast<GIOCondition>(G_IO_IN | G_IO_HUP | G_IO_ERR),
                             [](gint Fd, GIOCondition, gpointer Self) -> gboolean {
                               return static_cast<TInstanceServer*>(Self)->Read(Fd);
                             }, this);
    // A client that never finishes its request is dropped.
    C->Timer = g_timeout_add(ConnectionTimeoutMs, [](gpointer Data) -> gboolean {
      auto* C = static_cast<Connection*>(Data);
      C->Timer = 0;
      C->Server->Drop(C->Fd.Get());
      return G_SOURCE_REMOVE;
    }, C.get());
    FConnections[Fd] = std::move(C);
  }
}

bool TInstanceServer::Read(int Fd) {
  auto It = FConnections.find(Fd);
  if (It == FConnections.end()) return G_SOURCE_REMOVE;
  Connection& C = *It->second;
  char Buffer[4096];
  for (;;) {
    ssize_t N = recv(Fd, Buffer, sizeof Buffer, 0);
    if (N > 0) {
      C.Buffer.append(Buffer, static_cast<size_t>(N));
      if (C.Buffer.size() > MaxRequest) break;  // too long: refused below
      continue;
    }
    if (N < 0 && errno == EINTR) continue;
    if (N < 0 && errno == EAGAIN) return G_SOURCE_CONTINUE;
    break;  // end of the request, or an error
  }
  auto Request = DecodeOpenRequest(C.Buffer);
  if (Request) send(Fd, "ok\n", 3, MSG_NOSIGNAL | MSG_DONTWAIT);
  C.Watch = 0;  // this source ends with the return below
  Drop(Fd);
  if (Request && FOnOpen) FOnOpen(std::move(*Request));
  return G_SOURCE_REMOVE;
}

void TInstanceServer::Drop(int Fd) {
  auto It = FConnections.find(Fd);
  if (It == FConnections.end()) return;
  if (It->second->Watch) g_source_remove(It->second->Watch);
  if (It->second->Timer) g_source_remove(It->second->Timer);
  FConnections.erase(It);
}

}  // namespace vorlane::platform
