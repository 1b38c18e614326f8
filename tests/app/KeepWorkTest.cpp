// What the real program keeps across runs: logins (persistent cookies) and the open pages
// after a crash; and what it does not: session cookies, and the pages after a quit.
#include "RunningVorlane.h"
#include "platform/SessionFile.h"
#include "platform/ShellFolders.h"
#include "support/FileText.h"
#include "support/LoopbackServer.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

using vorlane::platform::ShellFolders;
using vorlane::test::FileText;
using vorlane::test::PumpUntil;
using Vorlane = vorlane::test::RunningVorlane;

std::filesystem::path SessionFile() { return ShellFolders::DataHome() / "vorlane" / "session"; }

// WebKit's network process writes the cookie store on its own time.
bool CookieStoreHolds(const std::string& Name) {
  auto Folder = ShellFolders::DataHome() / "vorlane";
  return PumpUntil([&] {
    for (const char* File : {"cookies.sqlite", "cookies.sqlite-wal", "cookies.sqlite-journal"})
      if (FileText(Folder / File).find(Name) != std::string::npos) return true;
    return false;
  }, std::chrono::seconds(30));
}

TEST(KeepWork, AfterAKillTheLoginAndTheOpenPagesComeBackButNotSessionCookies) {
  vorlane::test::TempHome Home;
  vorlane::test::LoopbackServer Server;
  Server.Serve("/login.html",
               "<title>login</title><script>document.cookie='kept=1; max-age=86400; path=/';"
               "document.cookie='gone=1; path=/';</script>");
  Server.Serve("/check.html", "<title>check</title>");
  {
    Vorlane First({Server.Url("/login.html")});
    ASSERT_TRUE(First.WaitForOutput("start page loaded")) << First.Output();  // the first page: the login
    ASSERT_TRUE(CookieStoreHolds("kept"));
    ASSERT_TRUE(PumpUntil([&] { return FileText(SessionFile()).find("/login.html") != std::string::npos; },
                          std::chrono::seconds(60)));
    First.End(SIGKILL);
  }
  Vorlane Second({Server.Url("/check.html")});
  ASSERT_TRUE(Second.Started());
  // A start under the sanitizers takes a while.
  EXPECT_TRUE(PumpUntil([&] { return Server.RequestCount("/login.html") == 2; }, std::chrono::seconds(60)));
  ASSERT_TRUE(PumpUntil([&] { return Server.RequestCount("/check.html") == 1; }, std::chrono::seconds(60)));
  std::string Cookies = Server.LastHeader("/check.html", "cookie");
  EXPECT_NE(Cookies.find("kept=1"), std::string::npos) << Cookies;
  EXPECT_EQ(Cookies.find("gone=1"), std::string::npos) << Cookies;
}

TEST(KeepWork, AfterAQuitThePagesStayClosed) {
  vorlane::test::TempHome Home;
  vorlane::test::LoopbackServer Server;
  Server.Serve("/a.html", "<title>a</title>");
  const auto Shot = std::make_pair(std::string("VORLANE_SNAPSHOT"), (Home.Path() / "shot.png").string());
  {
    Vorlane First({Server.Url("/a.html")}, {Shot});
    EXPECT_EQ(First.WaitForExit(), 0);  // the snapshot run quits as the user would
  }
  auto Saved = vorlane::platform::LoadSessionFile(SessionFile());
  ASSERT_TRUE(Saved.Session);
  EXPECT_TRUE(Saved.Session->EndedCleanly);
  Vorlane Second({}, {Shot});
  EXPECT_EQ(Second.WaitForExit(), 0);
  EXPECT_EQ(Server.RequestCount("/a.html"), 1);
}

TEST(KeepWork, PagesThatBroughtTheBrowserDownAgainAreNotReopened) {
  vorlane::test::TempHome Home;
  vorlane::test::LoopbackServer Server;
  Server.Serve("/crash.html", "<title>crash</title>");
  vorlane::platform::TSavedSession Crashed;
  Crashed.Pages = {{Server.Url("/crash.html"), "crash", {}}};
  Crashed.Selected = 0;
  Crashed.RestoreAttempts = 1;  // the last start reopened it and did not last
  ASSERT_FALSE(vorlane::platform::SaveSessionFile(SessionFile(), Crashed));
  Vorlane Run({});
  ASSERT_TRUE(Run.WaitForOutput("start page loaded")) << Run.Output();
  EXPECT_EQ(Server.RequestCount("/crash.html"), 0);
}

}  // namespace
