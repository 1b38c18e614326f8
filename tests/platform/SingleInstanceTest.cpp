#include "platform/SingleInstance.h"
#include "support/MainLoop.h"

#include <glib.h>
#include <gtest/gtest.h>

#include <cstring>
#include <future>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

using namespace vorlane::platform;
using Urls = std::vector<std::string>;
using vorlane::test::PumpUntil;

TEST(SingleInstance, RequestsDecodeOnlyWhenWellFormedAndBounded) {
  const TOpenRequest Two{{"http://a.b/", "file:///tmp/x y.html"}, "gnome-shell/firefox/1234-0_TIME42", 77, 123456};
  EXPECT_EQ(DecodeOpenRequest(EncodeOpenRequest(Two)), Two);
  EXPECT_EQ(DecodeOpenRequest(EncodeOpenRequest({})), TOpenRequest{});
  std::string Good = EncodeOpenRequest(Two);
  const std::string Bad[] = {
      "",
      Good.substr(0, Good.size() - 1),                  // cut short: no empty line at the end
      Good + "go\n",                                    // more after the end
      "vorlane-open 2\ntoken \nhttp://a.b/\n\n",        // no request line
      "vorlane-open 2\nrequest 1\ntoken \n\n",          // no deadline
      "vorlane-open 2\nrequest -1 5\ntoken \n\n",       // no number
      "vorlane-open 1\nid \nhttp://a.b/\n",             // another protocol
      EncodeOpenRequest({{"http://a.b/\rx"}}),          // control character
      EncodeOpenRequest({{}, "id\twith tab"}),
      EncodeOpenRequest({{}, std::string(MaxStartupId + 1, 'x')}),
      EncodeOpenRequest({{std::string(MaxHandedAddress + 1, 'x')}}),
      EncodeOpenRequest({Urls(MaxHandedAddresses + 1, "http://a.b/")}),
      EncodeOpenRequest({Urls(40, std::string(MaxHandedAddress, 'x'))}),  // over a MiB
  };
  for (const std::string& B : Bad) EXPECT_EQ(DecodeOpenRequest(B), std::nullopt) << B.substr(0, 40);
}

TEST(SingleInstance, ARequestCarriesAsManyAddressesAsFitTheBounds) {
  const std::pair<Urls, size_t> Cases[] = {
      {Urls(300, "http://a.b/"), MaxHandedAddresses},
      {Urls(40, std::string(MaxHandedAddress, 'x')), 31},
      {Urls(3, "http://a.b/"), 3},
      {{"http://a.b/", std::string(MaxHandedAddress + 1, 'x'), "http://c.d/"}, 1},  // the instance would refuse it
  };
  for (auto& [U, Fit] : Cases) {
    EXPECT_EQ(AddressesThatFit(U, "id"), Fit);
    Urls Head(U.begin(), U.begin() + static_cast<long>(Fit));
    EXPECT_TRUE(DecodeOpenRequest(EncodeOpenRequest({Head, "id", UINT64_MAX, INT64_MAX})));
  }
}

// Hands Urls over on a thread of its own while this one serves the main loop.
THandOff HandOver(const std::filesystem::path& Socket, const Urls& U, std::chrono::milliseconds Timeout) {
  auto Result = std::async(std::launch::async, [&] { return HandToRunningInstance(Socket, {U, "id"}, Timeout); });
  gint64 Deadline = g_get_monotonic_time() + 10 * G_USEC_PER_SEC;
  while (Result.wait_for(std::chrono::seconds(0)) != std::future_status::ready && g_get_monotonic_time() < Deadline)
    g_main_context_iteration(nullptr, FALSE);
  return Result.get();
}

int ListeningSocket(const std::filesystem::path& Path) {
  int Fd = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un A{};
  A.sun_family = AF_UNIX;
  std::strcpy(A.sun_path, Path.c_str());
  EXPECT_EQ(bind(Fd, reinterpret_cast<sockaddr*>(&A), sizeof A), 0);
  EXPECT_EQ(listen(Fd, 4), 0);
  return Fd;
}

TEST(SingleInstance, HandsAddressesToTheListeningInstance) {
  auto Socket = InstanceSocketPath();
  ASSERT_FALSE(Socket.empty());
  EXPECT_EQ(HandToRunningInstance(Socket, {{"http://a.b/"}}), THandOff::NoInstance);
  std::vector<Urls> Opened;
  auto Server = TInstanceServer::Listen(Socket, [&](TOpenRequest R) { Opened.push_back(std::move(R.Urls)); });
  ASSERT_TRUE(Server);
  EXPECT_EQ(HandOver(Socket, {"http://a.b/", "http://c.d/"}, std::chrono::seconds(5)), THandOff::Delivered);
  PumpUntil([&] { return !Opened.empty(); });  // opened once the sender's "go" is read
  EXPECT_EQ(Opened, std::vector<Urls>{Urls({"http://a.b/", "http://c.d/"})});
  Server.reset();
  EXPECT_FALSE(std::filesystem::exists(Socket));
}

TEST(SingleInstance, AStaleSocketIsRemovedAndAHungOneIsTakenOver) {
  auto Socket = InstanceSocketPath();
  close(ListeningSocket(Socket));  // an instance that died: the name is left, nobody listens
  EXPECT_EQ(HandToRunningInstance(Socket, {{"http://a.b/"}}), THandOff::NoInstance);
  EXPECT_FALSE(std::filesystem::exists(Socket));

  int Hung = ListeningSocket(Socket);  // listens, never answers
  EXPECT_EQ(HandToRunningInstance(Socket, {{"http://a.b/"}}, std::chrono::milliseconds(100)), THandOff::NoAnswer);
  std::vector<Urls> Opened;
  auto Server = TInstanceServer::Listen(Socket, [&](TOpenRequest R) { Opened.push_back(std::move(R.Urls)); });
  ASSERT_TRUE(Server);
  EXPECT_EQ(HandOver(Socket, {"http://e.f/"}, std::chrono::seconds(5)), THandOff::Delivered);
  PumpUntil([&] { return !Opened.empty(); });
  EXPECT_EQ(Opened.size(), 1u);
  close(Hung);
}

// A client that says only what a test tells it to.
struct RawClient {
  explicit RawClient(const std::filesystem::path& Socket) : Fd(socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0)) {
    sockaddr_un A{};
    A.sun_family = AF_UNIX;
    std::strcpy(A.sun_path, Socket.c_str());
    Connected = connect(Fd, reinterpret_cast<sockaddr*>(&A), sizeof A) == 0;
  }
  ~RawClient() { close(Fd); }
  // Sends Text while the loop runs; false once the server hung up.
  bool Send(std::string_view Text) {
    bool Failed = false;
    PumpUntil([&] {
      ssize_t N = send(Fd, Text.data(), Text.size(), MSG_NOSIGNAL);
      if (N > 0) Text.remove_prefix(static_cast<size_t>(N));
      Failed = N < 0 && errno != EAGAIN;
      return Text.empty() || Failed;
    });
    return !Failed && Text.empty();
  }
  // The server's answer line, or "" once it hung up.
  std::string Answer() {
    std::string Out;
    PumpUntil([&] {
      char B[64];
      ssize_t N = recv(Fd, B, sizeof B, 0);
      if (N > 0) Out.append(B, static_cast<size_t>(N));
      return N == 0 || (N < 0 && errno != EAGAIN) || Out.ends_with('\n');
    });
    return Out;
  }
  int Fd;
  bool Connected = false;
};

struct Listening {
  Listening() : Socket(InstanceSocketPath()) {
    Server = TInstanceServer::Listen(Socket, [this](TOpenRequest R) { Opened.push_back(std::move(R.Urls)); },
                                     [this](const std::string& Text) { Reports.push_back(Text); });
  }
  std::filesystem::path Socket;
  std::vector<Urls> Opened;
  std::vector<std::string> Reports;
  std::unique_ptr<TInstanceServer> Server;
};

TEST(SingleInstance, PagesOpenOnlyOnTheSendersGoWhichFailsOnceTheInstanceStoppedWaiting) {
  Listening L;
  RawClient Client(L.Socket);
  ASSERT_TRUE(Client.Send(EncodeOpenRequest({{"http://a.b/"}, "", 9, MonotonicMs() + 50})));
  EXPECT_EQ(Client.Answer(), "ok 9\n");
  // The sender stalls past the deadline; the instance stops waiting for its word.
  EXPECT_TRUE(PumpUntil([&] { return L.Server->ConnectionCount() == 0; }, std::chrono::seconds(10)));
  EXPECT_FALSE(Client.Send("go\n"));  // so the sender opens its own window
  EXPECT_TRUE(L.Opened.empty());

  RawClient Late(L.Socket);  // a request read after its deadline gets no answer at all
  ASSERT_TRUE(Late.Send(EncodeOpenRequest({{"http://a.b/"}, "", 10, MonotonicMs() - 1})));
  EXPECT_EQ(Late.Answer(), "");
  EXPECT_EQ(L.Reports.size(), 1u);
  EXPECT_TRUE(L.Opened.empty());
}

TEST(SingleInstance, MoreAddressesThanOneRequestCarriesHandOverTheFirstOnes) {
  Listening L;
  Urls Many;
  for (int I = 0; I < 300; ++I) Many.push_back("http://a.b/" + std::to_string(I));
  EXPECT_EQ(HandOver(L.Socket, Many, std::chrono::seconds(5)), THandOff::Delivered);
  PumpUntil([&] { return !L.Opened.empty(); });
  ASSERT_EQ(L.Opened.size(), 1u);
  EXPECT_EQ(L.Opened[0], Urls(Many.begin(), Many.begin() + MaxHandedAddresses));
}

TEST(SingleInstance, AFloodOfConnectionsHoldsAtMostEightOfAMiBEach) {
  Listening L;
  std::vector<std::unique_ptr<RawClient>> Flood;
  for (int I = 0; I < 30; ++I) {
    Flood.push_back(std::make_unique<RawClient>(L.Socket));
    send(Flood.back()->Fd, "vorlane-open 2\n", 15, MSG_NOSIGNAL);
  }
  size_t Most = 0;
  auto Count = [&] {
    Most = std::max(Most, L.Server->ConnectionCount());
    return Most == MaxInstanceConnections;
  };
  PumpUntil(Count);
  for (int I = 0; I < 100; ++I) {
    g_main_context_iteration(nullptr, FALSE);
    Count();
  }
  EXPECT_EQ(Most, MaxInstanceConnections);
  Flood.clear();
  // A well-formed request over a MiB is refused, not buffered.
  RawClient Big(L.Socket);
  Big.Send(EncodeOpenRequest({Urls(40, "http://a.b/" + std::string(MaxHandedAddress - 11, 'x')), "", 1,
                              MonotonicMs() + 60000}));
  EXPECT_EQ(Big.Answer(), "");
  EXPECT_EQ(HandOver(L.Socket, {"http://e.f/"}, std::chrono::seconds(5)), THandOff::Delivered);
}

TEST(SingleInstance, OutOfDescriptorsTheInstanceBacksOffAndSaysSoOnce) {
  Listening L;
  RawClient Client(L.Socket);
  rlimit Saved{};
  getrlimit(RLIMIT_NOFILE, &Saved);
  int Lowest = dup(0);  // every descriptor below it is taken
  close(Lowest);
  rlimit Tight = Saved;
  Tight.rlim_cur = static_cast<rlim_t>(Lowest);
  ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &Tight), 0);
  int Busy = 0;  // with accept failing and the connection queued, a spinning loop is never idle
  for (int I = 0; I < 1000; ++I) Busy += g_main_context_iteration(nullptr, FALSE);
  setrlimit(RLIMIT_NOFILE, &Saved);
  EXPECT_LT(Busy, 20);
  EXPECT_EQ(L.Reports.size(), 1u);
  ASSERT_TRUE(Client.Send(EncodeOpenRequest({{"http://a.b/"}, "", 3, MonotonicMs() + 60000})));
  EXPECT_EQ(Client.Answer(), "ok 3\n");
}

TEST(SingleInstance, TheSocketLivesInAFolderOfOurOwnAndTheUsersFolderIsLeftAlone) {
  struct Case {
    mode_t RuntimeMode;
    const char* Entry;  // what "vorlane" in it is beforehand
    bool InRuntime;
  } Cases[] = {
      {0700, "", true}, {0750, "", true}, {0755, "dir0700", true},
      {0777, "", false}, {0700, "dir0755", false}, {0700, "file", false}, {0700, "link", false},
  };
  const char* Saved = std::getenv("XDG_RUNTIME_DIR");
  for (const Case& C : Cases) {
    char Template[] = "/tmp/vorlane-run-XXXXXX";
    std::filesystem::path Runtime = mkdtemp(Template);
    auto Own = Runtime / "vorlane";
    const std::string_view Entry = C.Entry;
    if (Entry.starts_with("dir")) mkdir(Own.c_str(), 0700), chmod(Own.c_str(), Entry == "dir0755" ? 0755 : 0700);
    if (Entry == "file") close(creat(Own.c_str(), 0600));
    if (Entry == "link") symlink(Runtime.c_str(), Own.c_str());
    chmod(Runtime.c_str(), C.RuntimeMode);
    setenv("XDG_RUNTIME_DIR", Runtime.c_str(), 1);
    auto Socket = InstanceSocketPath();
    struct stat St {};
    stat(Runtime.c_str(), &St);
    EXPECT_EQ(St.st_mode & 0777, C.RuntimeMode) << C.RuntimeMode << C.Entry;
    EXPECT_EQ(Socket.parent_path() == Own, C.InRuntime) << C.RuntimeMode << C.Entry << Socket;
    EXPECT_FALSE(Socket.empty());
    std::filesystem::remove_all(Runtime);
  }
  setenv("XDG_RUNTIME_DIR", Saved, 1);
}

}  // namespace
