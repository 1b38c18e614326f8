// A page whose web process ends shows a page that says so, with a working reload, and
// leaves every page outside that process alone.
#include "EngineFixture.h"

#include "engine/WebKitEngine.h"
#include "support/MainLoop.h"

#include <csignal>
#include <dirent.h>
#include <fstream>
#include <set>
#include <unistd.h>
#include <webkit/webkit.h>

namespace vorlane::test {
namespace {

class ProcessEndTest : public EngineTest {
protected:
  ProcessEndTest() {
    Server.Serve("/a.html", "<title>Page A</title>a");
    Server.Serve("/b.html", "<title>Page B</title>b");
  }

  // After the end: the notice under the old address, then its reload link brings the page back.
  void ExpectNoticeThenReload(TestPage& P, const std::string& Url) {
    ASSERT_TRUE(PumpUntil([&] { return P->DocumentTitle() == "网页已停止运行" && P->ReadyState() == 4; }))
        << P.Log->Dump();
    EXPECT_EQ(P->LocationURL(), Url);
    int Before = Server.RequestCount("/a.html");
    P.Log->Clear();
    Eval(P, "document.getElementById('reload').click()");
    ASSERT_TRUE(WaitFor(*P.Log, "Complete " + Url));
    EXPECT_TRUE(PumpUntil([&] { return P->DocumentTitle() == "Page A"; }));
    EXPECT_EQ(Server.RequestCount("/a.html"), Before + 1);
  }

  void ExpectStillWorking(TestPage& Other) {
    EXPECT_FALSE(Other.Log->Has("Ended 0") || Other.Log->Has("Ended 2")) << Other.Log->Dump();
    EXPECT_EQ(Eval(Other, "document.title"), "Page B");
    ASSERT_TRUE(Load(Other, Server.Url("/a.html")));
  }
};

TEST_F(ProcessEndTest, EndingTheProcessShowsTheNoticeAndOtherPagesCarryOn) {
  TestPage& A = NewPage();
  TestPage& B = NewPage();
  ASSERT_TRUE(Load(A, Server.Url("/a.html")));
  ASSERT_TRUE(Load(B, Server.Url("/b.html")));
  A.Log->Clear();
  webkit_web_view_terminate_web_process(ViewOf(*A.Engine));
  ASSERT_TRUE(WaitFor(*A.Log, "Ended 2"));
  ExpectNoticeThenReload(A, Server.Url("/a.html"));
  ExpectStillWorking(B);
}

// The web processes below this test process (through the sandbox's helpers).
std::set<pid_t> WebProcesses() {
  std::set<pid_t> Found;
  auto ParentOf = [](pid_t Pid) -> pid_t {
    std::ifstream Stat("/proc/" + std::to_string(Pid) + "/stat");
    std::string Line;
    std::getline(Stat, Line);
    size_t Close = Line.rfind(')');
    if (Close == std::string::npos) return 0;
    char State;
    int Parent = 0;
    if (sscanf(Line.c_str() + Close + 1, " %c %d", &State, &Parent) != 2) return 0;
    return Parent;
  };
  std::unique_ptr<DIR, int (*)(DIR*)> Proc(opendir("/proc"), closedir);
  if (!Proc) return Found;
  while (dirent* Entry = readdir(Proc.get())) {
    pid_t Pid = static_cast<pid_t>(atoi(Entry->d_name));
    if (Pid <= 0) continue;
    std::ifstream Comm("/proc/" + std::to_string(Pid) + "/comm");
    std::string Name;
    std::getline(Comm, Name);
    if (Name != "WebKitWebProces") continue;
    for (pid_t Up = ParentOf(Pid); Up > 1; Up = ParentOf(Up))
      if (Up == getpid()) {
        Found.insert(Pid);
        break;
      }
  }
  return Found;
}

TEST_F(ProcessEndTest, AKilledProcessCountsAsACrash) {
  TestPage& B = NewPage();
  ASSERT_TRUE(Load(B, Server.Url("/b.html")));
  std::set<pid_t> Others = WebProcesses();
  // A site no earlier page used, so WebKit cannot hand A a cached process of theirs.
  const std::string Url = "http://localhost:" + std::to_string(Server.Port()) + "/a.html";
  TestPage& A = NewPage();
  ASSERT_TRUE(Load(A, Url));
  std::set<pid_t> Mine;
  for (pid_t Pid : WebProcesses())
    if (!Others.count(Pid)) Mine.insert(Pid);
  if (Mine.size() != 1) GTEST_SKIP() << "cannot tell which web process shows the page: " << Mine.size() << " new, " << Others.size() << " before";

  A.Log->Clear();
  ASSERT_EQ(kill(*Mine.begin(), SIGKILL), 0);
  ASSERT_TRUE(WaitFor(*A.Log, "Ended 0"));
  ExpectNoticeThenReload(A, Url);
  ExpectStillWorking(B);
}

TEST_F(ProcessEndTest, ASharedProcessTakesItsPagesAndOnlyThem) {
  Factory = engine::WebKitEngineFactory();
  TestPage& B = NewPage();
  ASSERT_TRUE(Load(B, "http://localhost:" + std::to_string(Server.Port()) + "/b.html"));
  const std::string Url = Server.Url("/a.html");
  TestPage* A[] = {&NewPage(), &NewPage(), &NewPage()};
  for (TestPage* P : A) ASSERT_TRUE(Load(*P, Url));
  // Each page keeps its own settings: the download switches stay per page.
  (*A[1])->SetDownloadFlags(0);
  EXPECT_TRUE(webkit_settings_get_auto_load_images(webkit_web_view_get_settings(ViewOf(*A[0]->Engine))));
  EXPECT_FALSE(webkit_settings_get_auto_load_images(webkit_web_view_get_settings(ViewOf(*A[1]->Engine))));

  // WebKit kills the process that shows the first page; the other two were in it.
  webkit_web_view_terminate_web_process(ViewOf(*A[0]->Engine));
  for (TestPage* P : A) ASSERT_TRUE(PumpUntil([&] { return P->Log->Count("Ended ") == 1; })) << P->Log->Dump();
  for (TestPage* P : A) ExpectNoticeThenReload(*P, Url);
  ExpectStillWorking(B);
}

}  // namespace
}  // namespace vorlane::test
