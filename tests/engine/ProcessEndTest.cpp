// A page whose web process ends shows a page that says so, with a working reload, and
// leaves every page outside that process alone.
#include "EngineFixture.h"

#include "engine/ProcessPlacement.h"
#include "engine/WebKitEngine.h"
#include "support/MainLoop.h"

#include <algorithm>
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

// The site function the browser keys its processes by, as WebKit groups pages: by
// registrable domain, whatever the scheme.
TEST(SiteOfAddress, IsTheRegistrableDomainWhateverTheScheme) {
  const std::pair<const char*, const char*> Cases[] = {
      {"https://www.example.co.uk:8443/x", "example.co.uk"}, {"http://a.b.Example.COM/", "example.com"},
      {"https://example.com/", "example.com"},               {"http://127.0.0.2:8080/", "127.0.0.2"},
      {"http://localhost/", "localhost"},                    {"vorlane://home.vorlane/sea.html", "home.vorlane"},
      {"about:blank", ""},                                   {"file:///tmp/a.html", ""},
  };
  for (auto [Url, Site] : Cases) EXPECT_EQ(engine::SiteOfAddress(Url), Site) << Url;
}

TEST_F(ProcessEndTest, AWindowKeptInItsOpenersProcessDrawsNoTabOfItsSiteInThere) {
  Factory = engine::WebKitEngineFactory();
  LoopbackServer SiteA("127.0.0.2"), SiteB("127.0.0.3");
  SiteA.Serve("/a.html", "<title>Page A</title>a");
  SiteB.Serve("/b.html", "<title>Page B</title>b");
  const std::string B = SiteB.Url("/b.html");
  TestPage& Opener = NewPage();
  ASSERT_TRUE(Load(Opener, SiteA.Url("/a.html")));
  TestPage* Opened = nullptr;
  Opener.Log->NewWindowTarget = [&] { return (Opened = &NewPage())->Engine.get(); };
  Eval(Opener, "void window.open('" + B + "')");
  ASSERT_TRUE(PumpUntil([&] { return Opened && Opened->Log->Has("Complete " + B); }));
  Eval(*Opened, "1");  // its process's answer, asked at the commit, is in by now
  TestPage& Favorite = NewPage();
  ASSERT_TRUE(Load(Favorite, B));

  webkit_web_view_terminate_web_process(ViewOf(*Opener.Engine));
  ASSERT_TRUE(WaitFor(*Opened->Log, "Ended 2"));
  // The notice names what went with it, and still offers the way back.
  ASSERT_TRUE(PumpUntil([&] { return Eval(Opener, "document.body.innerText.indexOf('此网站的其他 1 个网页也已停止。') >= 0 && "
                                                  "!!document.getElementById('reload')") == "true"; }));
  EXPECT_FALSE(Favorite.Log->Has("Ended 0") || Favorite.Log->Has("Ended 2")) << Favorite.Log->Dump();
  EXPECT_EQ(Eval(Favorite, "document.title"), "Page B");
}

// A tab that shared a process and then went to another site was moved out by WebKit: the
// crash of its old process neither ends it nor counts it.
TEST_F(ProcessEndTest, TheNoticeCountsOnlyThePagesReallyInTheProcess) {
  Factory = engine::WebKitEngineFactory();
  LoopbackServer SiteA("127.0.0.2"), SiteB("127.0.0.3");
  SiteA.Serve("/a.html", "<title>Page A</title>a");
  SiteB.Serve("/b.html", "<title>Page B</title>b");
  TestPage& A = NewPage();
  TestPage& Moved = NewPage();
  ASSERT_TRUE(Load(A, SiteA.Url("/a.html")));
  ASSERT_TRUE(Load(Moved, SiteA.Url("/a.html")));  // shares A's process
  ASSERT_TRUE(Load(Moved, SiteB.Url("/b.html")));
  Eval(Moved, "1");
  webkit_web_view_terminate_web_process(ViewOf(*A.Engine));
  EXPECT_TRUE(PumpUntil([&] {
    return Eval(A, "document.getElementById('reload') ? document.body.innerText.includes('其他网页不受影响') : null") ==
           "true";
  }));
  EXPECT_FALSE(Moved.Log->Has("Ended 2")) << Moved.Log->Dump();
}

// One tab stays on http; later tabs of the site go there and are redirected to https, which
// WebKit keeps in the same process (one registrable domain). The bound holds all the same,
// and the crash notice counts the tabs that really went down.
TEST_F(ProcessEndTest, TabsRedirectedToHttpsStillShareAtMostSixToAProcess) {
  Factory = engine::WebKitEngineFactory();
  LoopbackServer Plain("127.0.0.2"), Secure("127.0.0.2");
  Secure.UseTls(VORLANE_TEST_DATA "/tls/self-signed.pem");
  Secure.Serve("/a.html", "<title>Page A</title>a");
  Plain.Serve("/home.html", "<title>Home</title>h");
  Plain.Serve("/r", "", "text/html", 302, "Location: " + Secure.Url("/a.html") + "\r\n");
  TestPage& Home = NewPage();
  ASSERT_TRUE(Load(Home, Plain.Url("/home.html")));
  GTlsCertificate* Certificate = g_tls_certificate_new_from_file(VORLANE_TEST_DATA "/tls/self-signed.pem", nullptr);
  ASSERT_TRUE(Certificate);
  webkit_network_session_allow_tls_certificate_for_host(webkit_web_view_get_network_session(ViewOf(*Home.Engine)),
                                                        Certificate, "127.0.0.2");
  g_object_unref(Certificate);
  std::vector<TestPage*> Tabs{&Home};
  for (int I = 0; I < 8; ++I) {
    Tabs.push_back(&NewPage());
    ASSERT_TRUE(Load(*Tabs.back(), Plain.Url("/r"), Secure.Url("/a.html")));
    Eval(*Tabs.back(), "1");  // the answer about its process is in before the next tab is placed
  }

  webkit_web_view_terminate_web_process(ViewOf(*Home.Engine));
  std::string Notice;
  ASSERT_TRUE(PumpUntil([&] {
    Notice = Eval(Home, "document.getElementById('reload') ? document.body.innerText : ''").value_or("");
    return !Notice.empty();
  }));
  size_t Others = 0;
  if (size_t At = Notice.find("此网站的其他 "); At != std::string::npos) Others = std::stoul(Notice.substr(At + 19));
  auto Ended = [&] {
    return std::count_if(Tabs.begin(), Tabs.end(), [](TestPage* T) { return T->Log->Has("Ended 2"); });
  };
  EXPECT_TRUE(PumpUntil([&] { return Ended() == static_cast<long>(Others + 1); })) << Notice << " " << Ended();
  EXPECT_GE(Others, 1u);
  EXPECT_LE(Others + 1, 6u);
}

}  // namespace
}  // namespace vorlane::test
