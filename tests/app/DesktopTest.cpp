// The real program as the desktop starts it: with addresses, and a second time while it
// runs, when the second start hands its address to the first and ends.
#include "RunningVorlane.h"
#include "support/LoopbackServer.h"
#include "support/MainLoop.h"
#include "support/TempHome.h"

#include <gio/gio.h>
#include <gtest/gtest.h>

#include <csignal>

namespace {

using vorlane::test::PumpUntil;

using Vorlane = vorlane::test::RunningVorlane;

TEST(Desktop, ASecondStartHandsItsAddressToTheRunningInstanceAndEnds) {
  vorlane::test::TempHome Home;
  vorlane::test::LoopbackServer Server;
  Server.Serve("/first.html", "<title>first</title><p>first");
  Server.Serve("/second.html", "<title>second</title><p>second");

  Vorlane First({Server.Url("/first.html")});
  ASSERT_TRUE(First.Started());
  ASSERT_TRUE(First.WaitForOutput("vorlane: start page loaded\n")) << First.Output();
  EXPECT_EQ(Server.RequestCount("/first.html"), 1);

  GSubprocess* Second = nullptr;
  {
    const std::string Url = Server.Url("/second.html");
    const char* Argv[] = {VORLANE_EXECUTABLE, "not an address", Url.c_str(), nullptr};
    Second = g_subprocess_newv(Argv, G_SUBPROCESS_FLAGS_STDERR_PIPE, nullptr);
  }
  ASSERT_TRUE(Second);
  // It ends while the first still runs: it opened no window of its own.
  bool Ended = PumpUntil([&] { return g_subprocess_get_identifier(Second) == nullptr; }, std::chrono::seconds(30));
  EXPECT_TRUE(Ended);
  if (Ended) {
    EXPECT_EQ(g_subprocess_get_exit_status(Second), 0);
  }
  g_object_unref(Second);

  EXPECT_TRUE(First.WaitForOutput("vorlane: page loaded " + Server.Url("/second.html") + "\n")) << First.Output();
  EXPECT_EQ(Server.RequestCount("/second.html"), 1);
}

TEST(Desktop, AfterAStoppedInstanceMissedTheDeadlineOnlyTheSecondStartOpensTheLink) {
  vorlane::test::TempHome Home;
  vorlane::test::LoopbackServer Server;
  Server.Serve("/first.html", "<title>first</title><p>first");
  Server.Serve("/second.html", "<title>second</title><p>second");
  Vorlane First({Server.Url("/first.html")});
  ASSERT_TRUE(First.WaitForOutput("vorlane: start page loaded\n")) << First.Output();
  First.Signal(SIGSTOP);  // its socket still takes connections; nobody reads them

  Vorlane Second({Server.Url("/second.html")});
  ASSERT_TRUE(Second.WaitForOutput("vorlane: start page loaded\n")) << Second.Output();
  First.Signal(SIGCONT);  // it reads the queued request now, after its deadline
  EXPECT_TRUE(First.WaitForOutput("came after its deadline and was ignored")) << First.Output();
  EXPECT_EQ(Server.RequestCount("/second.html"), 1);
}

}  // namespace
