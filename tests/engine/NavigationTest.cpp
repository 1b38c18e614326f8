// One navigation's events and the engine's view of the document, history and travel log.
#include "EngineFixture.h"

#include "engine/WebKitEngine.h"
#include "support/MainLoop.h"

#include <webkit/webkit.h>

namespace vorlane::test {
namespace {

using NavigationTest = EngineTest;

std::vector<int> ProgressValues(const EventLog& Log) {
  std::vector<int> Values;
  for (const auto& L : Log.Lines)
    if (L.starts_with("Progress ")) {
      EXPECT_TRUE(L.ends_with("/10000")) << L;
      Values.push_back(std::stoi(L.substr(9)));
    }
  return Values;
}

TEST_F(NavigationTest, OneNavigationRaisesItsEventsInOrderAndTheDocumentIsReadable) {
  Server.Serve("/a.html", "<html><head><title>Page A</title></head><body>a</body></html>");
  TestPage& P = NewPage();
  const std::string Url = Server.Url("/a.html");
  ASSERT_TRUE(Load(P, Url));
  ASSERT_TRUE(WaitFor(*P.Log, "Title Page A"));
  const EventLog& L = *P.Log;

  EXPECT_EQ(L.Find("Before " + Url), 0) << L.Dump();
  int Navigated = L.Find("Navigated " + Url);
  int Complete = L.Find("Complete " + Url);
  EXPECT_GT(Navigated, 0);
  EXPECT_GT(Complete, Navigated);
  EXPECT_EQ(L.Count("Before "), 1) << L.Dump();
  EXPECT_EQ(L.Count("Complete "), 1) << L.Dump();

  // Progress rises to 10000/10000 after BeforeNavigate2; the final -1 comes just before
  // DocumentComplete.
  auto Values = ProgressValues(L);
  ASSERT_GE(Values.size(), 2u);
  EXPECT_TRUE(std::is_sorted(Values.begin(), Values.end() - 1)) << L.Dump();
  EXPECT_EQ(Values[Values.size() - 2], 10000);
  EXPECT_EQ(Values.back(), -1);
  EXPECT_EQ(L.Find("Progress -1/10000"), Complete - 1) << L.Dump();

  EXPECT_TRUE(L.Has("Command 1 0")) << L.Dump();
  EXPECT_TRUE(L.Has("Command 2 0")) << L.Dump();

  EXPECT_EQ(P->LocationURL(), Url);
  EXPECT_EQ(P->LocationName(), "Page A");
  EXPECT_EQ(P->DocumentTitle(), "Page A");
  EXPECT_EQ(P->DocumentUrl(), Url);
  EXPECT_TRUE(P->HasDocument());
  EXPECT_TRUE(P->DocumentIsHtml());
  EXPECT_EQ(P->ReadyState(), 4);
  EXPECT_EQ(P->ToolBar(), 1);
}

// Without a GPU the program has WebKit draw pages on the CPU: pages still load and draw.
TEST_F(NavigationTest, PagesLoadWhenWebKitMayNotUseTheGpu) {
  Factory = engine::WebKitEngineFactory({}, false);
  Server.Serve("/cpu.html", "<title>CPU</title><p>drawn");
  TestPage& Page = NewPage();
  ASSERT_TRUE(Load(Page, Server.Url("/cpu.html")));
  EXPECT_EQ(webkit_settings_get_hardware_acceleration_policy(webkit_web_view_get_settings(ViewOf(*Page.Engine))),
            WEBKIT_HARDWARE_ACCELERATION_POLICY_NEVER);
  EXPECT_EQ(Eval(Page, "document.title"), "CPU");
}

TEST_F(NavigationTest, TitleSetAfterLoadRaisesTitleChangeAndUntitledPagesAreNamedByAddress) {
  Server.Serve("/late.html",
               "<body>late<script>addEventListener('load',()=>setTimeout(()=>{document.title='Late'},0))"
               "</script></body>");
  Server.Serve("/plain.txt", "just text", "text/plain");
  TestPage& P = NewPage();
  const std::string Late = Server.Url("/late.html");
  ASSERT_TRUE(Load(P, Late));
  ASSERT_TRUE(WaitFor(*P.Log, "Title Late"));
  EXPECT_GT(P.Log->Find("Title Late"), P.Log->Find("Complete " + Late));
  EXPECT_EQ(P->LocationName(), "Late");

  const std::string Plain = Server.Url("/plain.txt");
  ASSERT_TRUE(Load(P, Plain));
  EXPECT_TRUE(P->HasDocument());
  EXPECT_FALSE(P->DocumentIsHtml());
  EXPECT_EQ(P->LocationName(), Plain);
}

TEST_F(NavigationTest, FragmentJumpCompletesAtOnceWithTheNewAddress) {
  Server.Serve("/f.html", "<title>F</title><p id=part>part</p>");
  TestPage& P = NewPage();
  const std::string Url = Server.Url("/f.html");
  ASSERT_TRUE(Load(P, Url));
  P.Log->Clear();
  Eval(P, "location.hash = 'part'");
  ASSERT_TRUE(WaitFor(*P.Log, "Complete " + Url + "#part"));
  EXPECT_LT(P.Log->Find("Before " + Url + "#part"), P.Log->Find("Navigated " + Url + "#part"));
  EXPECT_EQ(P->LocationURL(), Url + "#part");
  EXPECT_TRUE(P.Log->Has("Command 2 1")) << P.Log->Dump();
}

TEST_F(NavigationTest, BackAndForwardFollowTheTravelLogNearestFirst) {
  for (const char* Name : {"a", "b", "c"})
    Server.Serve(std::string("/") + Name + ".html", std::string("<title>T") + Name + "</title>" + Name);
  TestPage& P = NewPage();
  const std::string A = Server.Url("/a.html"), B = Server.Url("/b.html"), C = Server.Url("/c.html");

  EXPECT_THROW(P->GoBack(), browser::EngineError);  // nothing loaded yet
  ASSERT_TRUE(Load(P, A));
  EXPECT_THROW(P->GoBack(), browser::EngineError);
  EXPECT_THROW(P->GoForward(), browser::EngineError);
  ASSERT_TRUE(Load(P, B));
  EXPECT_TRUE(P.Log->Has("Command 2 1")) << P.Log->Dump();
  ASSERT_TRUE(Load(P, C));
  PumpUntil([&] { return P->BackEntries(10).size() == 2 && P->BackEntries(10)[0].Title == "Tb"; });

  auto Back = P->BackEntries(10);
  ASSERT_EQ(Back.size(), 2u);
  EXPECT_EQ(Back[0].Url, B);
  EXPECT_EQ(Back[0].Title, "Tb");
  EXPECT_EQ(Back[1].Url, A);
  EXPECT_EQ(P->BackEntries(1).size(), 1u);
  EXPECT_TRUE(P->ForwardEntries(10).empty());

  P.Log->Clear();
  P->GoBack();
  ASSERT_TRUE(WaitFor(*P.Log, "Complete " + B));
  EXPECT_TRUE(P.Log->Has("Command 1 1")) << P.Log->Dump();
  P.Log->Clear();
  P->GoBack();
  ASSERT_TRUE(WaitFor(*P.Log, "Complete " + A));
  EXPECT_TRUE(P.Log->Has("Command 2 0")) << P.Log->Dump();
  EXPECT_THROW(P->GoBack(), browser::EngineError);

  auto Forward = P->ForwardEntries(10);
  ASSERT_EQ(Forward.size(), 2u);
  EXPECT_EQ(Forward[0].Url, B);  // nearest first, unlike WebKit's own forward list
  EXPECT_EQ(Forward[1].Url, C);
  EXPECT_EQ(Forward[1].Title, "Tc");

  EXPECT_FALSE(P->TravelTo(3));
  EXPECT_FALSE(P->TravelTo(-1));
  P.Log->Clear();
  EXPECT_TRUE(P->TravelTo(2));
  ASSERT_TRUE(WaitFor(*P.Log, "Complete " + C));
  EXPECT_EQ(P->LocationURL(), C);
  EXPECT_THROW(P->GoForward(), browser::EngineError);
  EXPECT_EQ(P->BackEntries(10).size(), 2u);
}

TEST_F(NavigationTest, AFreshEngineHasNothingAndKeepsItsFirstRequestPending) {
  Server.Serve("/p.html", "<title>P</title>p");
  TestPage& P = NewPage();
  EXPECT_FALSE(P->HasDocument());
  EXPECT_EQ(P->LocationURL(), "");
  EXPECT_EQ(P->ReadyState(), 4);
  EXPECT_TRUE(P->BackEntries(5).empty());
  EXPECT_THROW(P->GoHome(), browser::EngineError);  // no home page set
  EXPECT_THROW(P->ExecWB(browser::OLECMDID_PRINT, browser::OLECMDEXECOPT_PROMPTUSER), browser::EngineError);
  EXPECT_THROW(P->ExecWB(browser::OLECMDID_PRINTPREVIEW, browser::OLECMDEXECOPT_DONTPROMPTUSER),
               browser::EngineError);

  P->Navigate2(Server.Url("/p.html"));
  EXPECT_EQ(P->LocationURL(), Server.Url("/p.html"));
  EXPECT_NE(P->ReadyState(), 4);
  P->Stop();  // a stopped request never starts
  PumpPending();
  EXPECT_EQ(ViewOf(*P.Engine), nullptr);
  EXPECT_TRUE(P.Log->Lines.empty());

  P->SetHomePage(Server.Url("/p.html"));
  P->GoHome();
  ASSERT_TRUE(WaitFor(*P.Log, "Complete " + Server.Url("/p.html")));
  EXPECT_EQ(Server.RequestCount("/p.html"), 1);
  P->Refresh2();
  EXPECT_TRUE(PumpUntil([&] { return Server.RequestCount("/p.html") == 2; }));
}

TEST_F(NavigationTest, CancelledNavigationLeavesThePageWhereItWas) {
  Server.Serve("/a.html", "<title>A</title>a");
  Server.Serve("/b.html", "<title>B</title>b");
  TestPage& P = NewPage();
  const std::string A = Server.Url("/a.html"), B = Server.Url("/b.html");
  ASSERT_TRUE(Load(P, A));
  P.Log->OnBefore = [&](const std::string& Url, bool& Cancel) { Cancel = Url == B; };
  P.Log->Clear();
  P->Navigate2(B);
  ASSERT_TRUE(PumpUntil([&] { return P.Log->Count("Complete ") > 0; })) << P.Log->Dump();
  EXPECT_FALSE(P.Log->Has("Navigated " + B)) << P.Log->Dump();
  // A stopped load ends as every load does.
  EXPECT_EQ(P.Log->Find("Progress -1/10000"), P.Log->Find("Complete " + B) - 1) << P.Log->Dump();
  EXPECT_EQ(P->LocationURL(), A);
  EXPECT_EQ(P->ReadyState(), 4);
}

TEST_F(NavigationTest, AnEngineDestroyedByItsOwnEventLeavesOthersWorking) {
  // The page window closes itself from BeforeNavigate2 when a window has no tool bar.
  Server.Serve("/a.html", "<title>A</title>a");
  TestPage& Doomed = NewPage();
  TestPage& Other = NewPage();
  gpointer View = nullptr;
  Doomed.Log->OnBefore = [&](const std::string&, bool&) {
    View = ViewOf(*Doomed.Engine);
    g_object_add_weak_pointer(G_OBJECT(View), &View);
    Pages.remove(Doomed.Engine->Widget());
    Doomed.Engine.reset();
  };
  Doomed.Engine->Navigate2(Server.Url("/a.html"));
  ASSERT_TRUE(PumpUntil([&] { return !Doomed.Engine; }));
  ASSERT_TRUE(Load(Other, Server.Url("/a.html")));
  EXPECT_EQ(Eval(Other, "document.title"), "A");
  // The view itself is gone too, not kept alive by anything the engine left behind.
  EXPECT_TRUE(PumpUntil([&] { return View == nullptr; }));
}

}  // namespace
}  // namespace vorlane::test
