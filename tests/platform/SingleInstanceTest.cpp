#include "platform/SingleInstance.h"

#include <glib.h>
#include <gtest/gtest.h>

#include <cstring>
#include <future>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

using namespace vorlane::platform;
using Urls = std::vector<std::string>;

TEST(SingleInstance, RequestsDecodeOnlyWhenWellFormedAndBounded) {
  const TOpenRequest Two{{"http://a.b/", "file:///tmp/x y.html"}, "gnome-shell/firefox/1234-0_TIME42"};
  EXPECT_EQ(DecodeOpenRequest(EncodeOpenRequest(Two)), Two);
  EXPECT_EQ(DecodeOpenRequest(EncodeOpenRequest({})), TOpenRequest{});
  std::string Good = EncodeOpenRequest(Two);
  const std::string Bad[] = {
      "",
      Good.substr(0, Good.size() - 1),                  // cut short
      "vorlane-open 1\n",                               // no id line
      "vorlane-open 1\nhttp://a.b/\n",                  // nor here
      "vorlane-open 2\nid \nhttp://a.b/\n",             // another protocol
      EncodeOpenRequest({{""}}),                        // empty line
      EncodeOpenRequest({{"http://a.b/\rx"}}),          // control character
      EncodeOpenRequest({{}, "id\twith tab"}),
      EncodeOpenRequest({{}, std::string(MaxStartupId + 1, 'x')}),
      EncodeOpenRequest({{std::string(MaxHandedAddress + 1, 'x')}}),
      EncodeOpenRequest({Urls(MaxHandedAddresses + 1, "http://a.b/")}),
  };
  for (const std::string& B : Bad) EXPECT_EQ(DecodeOpenRequest(B), std::nullopt) << B.substr(0, 40);
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
  EXPECT_EQ(Opened.size(), 1u);
  close(Hung);
}

}  // namespace
