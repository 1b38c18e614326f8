// The scripted engine that window tests run on against the real one: the same scenario on
// both must raise the same events and leave the focus in the same place.
#include "EngineFixture.h"

#include "support/FakeEngine.h"
#include "support/MainLoop.h"

#include <gtkmm/entry.h>

#include <functional>

namespace vorlane::test {
namespace {

class PairedEngineTest : public EngineTest, public testing::WithParamInterface<bool> {
protected:
  bool Real() const { return GetParam(); }
  TestPage& Page() {
    if (Real()) return NewPage();
    auto P = std::make_unique<TestPage>();
    P->Engine = std::make_unique<TFakeEngine>();
    P->Log = std::make_unique<EventLog>();
    P->Engine->SetEvents(P->Log.get());
    Pages.append(P->Engine->Widget());
    Opened.push_back(std::move(P));
    return *Opened.back();
  }
  // Lets the engine finish what it was asked to load, the title arriving last.
  void Finish(TestPage& P, const std::string& Title) {
    if (auto* Fake = dynamic_cast<TFakeEngine*>(P.Engine.get())) return Fake->CompletePending(Title);
    // The title may come before or after the load completes; the load's own end is awaited (an
    // earlier load's end does not count), so no end of it arrives during the next step.
    ASSERT_TRUE(PumpUntil([&] {
      return P.Log->Has("Title " + Title) && P->ReadyState() == 4 && P.Log->Has("Complete " + P->LocationURL());
    })) << P.Log->Dump();
  }
  bool FocusIn(Gtk::Widget& W) {
    Gtk::Widget* Focus = Window.get_focus();
    return Focus && (Focus == &W || Focus->is_ancestor(W));
  }
};

TEST_P(PairedEngineTest, ALoadRaisesItsEventsInOrderAndEndsWithTheFinalProgress) {
  Server.Serve("/p.html", "<title>P</title>p");
  TestPage& P = Page();
  const std::string Url = Server.Url("/p.html");
  P->Navigate2(Url);
  Finish(P, "P");
  const EventLog& L = *P.Log;
  EXPECT_EQ(L.Find("Before " + Url), 0) << L.Dump();
  int Complete = L.Find("Complete " + Url);
  EXPECT_LT(L.Find("Navigated " + Url), Complete) << L.Dump();
  EXPECT_EQ(L.Find("Progress -1/10000"), Complete - 1) << L.Dump();
  EXPECT_EQ(L.Lines[static_cast<size_t>(Complete) - 2], "Progress 10000/10000") << L.Dump();
  EXPECT_EQ(L.Count("Status "), 0) << L.Dump();
  EXPECT_EQ(P->LocationURL(), Url);
  EXPECT_EQ(P->LocationName(), "P");
}

TEST_P(PairedEngineTest, AStoppedLoadEndsWithTheFinalProgressToo) {
  Server.Serve("/p.html", "<title>P</title>p");
  Server.Hold("/slow.html");
  TestPage& P = Page();
  P->Navigate2(Server.Url("/p.html"));
  Finish(P, "P");
  P.Log->Clear();
  P->Navigate2(Server.Url("/slow.html"));
  if (Real()) {
    ASSERT_TRUE(PumpUntil([&] { return P.Log->Has("Before " + Server.Url("/slow.html")); }));
  }
  P->Stop();
  ASSERT_TRUE(PumpUntil([&] { return P.Log->Count("Complete ") == 1; })) << P.Log->Dump();
  EXPECT_EQ(P.Log->Lines.back(), "Complete " + Server.Url("/slow.html")) << P.Log->Dump();
  EXPECT_EQ(P.Log->Lines[P.Log->Lines.size() - 2], "Progress -1/10000") << P.Log->Dump();
  EXPECT_EQ(P->LocationURL(), Server.Url("/p.html"));
}

TEST_P(PairedEngineTest, FocusAskedForAtCreationArrivesUnlessTheUserMovedOn) {
  Server.Serve("/p.html", "<title>P</title>p");
  Gtk::Entry Other;
  Pages.append(Other);
  TestPage& P = Page();
  P->Navigate2(Server.Url("/p.html"));
  P->FocusDocument();
  EXPECT_TRUE(PumpUntil([&] { return FocusIn(P->Widget()); }));

  TestPage& Q = Page();
  Q->Navigate2(Server.Url("/p.html"));
  Q->FocusDocument();
  Other.grab_focus();
  Finish(Q, "P");
  EXPECT_TRUE(FocusIn(Other));
  Pages.remove(Other);
}

TEST_P(PairedEngineTest, AFailedLoadEndsLikeAnyLoadThenShowsThePageAboutIt) {
  uint16_t ClosedPort = 0;
  {
    LoopbackServer Gone;
    ClosedPort = Gone.Port();
  }
  const std::string Url = "http://127.0.0.1:" + std::to_string(ClosedPort) + "/x.html";
  TestPage& P = Page();
  P->Navigate2(Url);
  if (auto* Fake = dynamic_cast<TFakeEngine*>(P.Engine.get())) Fake->FailNavigation(Url);
  const EventLog& L = *P.Log;
  ASSERT_TRUE(PumpUntil([&] { return L.Has("Title 无法显示网页") && L.Count("Complete ") == 2; })) << L.Dump();
  const int Attempt = L.Find("Complete " + Url);
  EXPECT_LT(L.Find("Failed " + Url + " 0"), Attempt) << L.Dump();
  EXPECT_EQ(L.Lines[static_cast<size_t>(Attempt) - 1], "Progress -1/10000") << L.Dump();
  const int ErrorPage = L.Find("Complete " + Url, static_cast<size_t>(Attempt) + 1);
  EXPECT_EQ(L.Lines[static_cast<size_t>(ErrorPage) - 1], "Progress -1/10000") << L.Dump();
  EXPECT_LT(L.Find("Navigated " + Url, static_cast<size_t>(Attempt)), ErrorPage) << L.Dump();
  EXPECT_EQ(P->LocationURL(), Url);
  EXPECT_EQ(P->LocationName(), "无法显示网页");
}

TEST_P(PairedEngineTest, TravelAndReloadRaiseTheEventsOfALoad) {
  Server.Serve("/a1.html", "<title>A1</title>a1");
  Server.Serve("/a2.html", "<title>A2</title>a2");
  const std::string A1 = Server.Url("/a1.html"), A2 = Server.Url("/a2.html");
  TestPage& P = Page();
  P->Navigate2(A1);
  Finish(P, "A1");
  P->Navigate2(A2);
  Finish(P, "A2");
  struct Step {
    const char* Name;
    std::function<void()> Go;
    std::string Url, Title;
    size_t Behind, Ahead;
  } Steps[] = {
      {"GoBack", [&] { P->GoBack(); }, A1, "A1", 0, 1},
      {"GoForward", [&] { P->GoForward(); }, A2, "A2", 1, 0},
      {"TravelTo", [&] { P->TravelTo(-1); }, A1, "A1", 0, 1},
      {"Refresh2", [&] { P->Refresh2(); }, A1, "A1", 0, 1},
  };
  for (const Step& S : Steps) {
    SCOPED_TRACE(S.Name);
    P.Log->Clear();
    S.Go();
    const EventLog& L = *P.Log;
    ASSERT_TRUE(PumpUntil([&] { return L.Has("Complete " + S.Url) && P->LocationName() == S.Title; })) << L.Dump();
    const int Complete = L.Find("Complete " + S.Url);
    const int Before = L.Find("Before " + S.Url);
    ASSERT_GE(Before, 0) << L.Dump();
    for (int I = 0; I < Before; ++I) EXPECT_EQ(L.Lines[static_cast<size_t>(I)].rfind("Command ", 0), 0u) << L.Dump();
    EXPECT_LT(L.Find("Navigated " + S.Url), Complete) << L.Dump();
    EXPECT_EQ(L.Lines[static_cast<size_t>(Complete) - 1], "Progress -1/10000") << L.Dump();
    EXPECT_EQ(P->LocationURL(), S.Url);
    EXPECT_EQ(P->BackEntries(5).size(), S.Behind);
    EXPECT_EQ(P->ForwardEntries(5).size(), S.Ahead);
  }
}

TEST_P(PairedEngineTest, HistoryGivenBackOpensItsCurrentEntryWithTheEntriesAround) {
  Server.Serve("/a1.html", "<title>A1</title>a1");
  Server.Serve("/a2.html", "<title>A2</title>a2");
  TestPage& P = Page();
  EXPECT_TRUE(P->SessionState().empty());
  P->Navigate2(Server.Url("/a1.html"));
  Finish(P, "A1");
  P->Navigate2(Server.Url("/a2.html"));
  Finish(P, "A2");
  P->GoBack();
  ASSERT_TRUE(PumpUntil([&] { return P->LocationName() == "A1" && P->ReadyState() == 4; }));
  const std::vector<uint8_t> State = P->SessionState();
  ASSERT_FALSE(State.empty());

  TestPage& Q = Page();
  Q->RestoreSessionState(State);
  EXPECT_EQ(Q->SessionState(), State);  // until it loads
  Finish(Q, "A1");
  EXPECT_EQ(Q->LocationURL(), Server.Url("/a1.html"));
  EXPECT_TRUE(Q->BackEntries(5).empty());
  auto Ahead = Q->ForwardEntries(5);
  ASSERT_EQ(Ahead.size(), 1u);
  EXPECT_EQ(Ahead[0].Url, Server.Url("/a2.html"));
  EXPECT_EQ(Ahead[0].Title, "A2");
}

TEST_P(PairedEngineTest, APageAskedToCloseWithoutAQuestionAgreesOnce) {
  Server.Serve("/p.html", "<title>P</title>p");
  TestPage& P = Page();
  P->Navigate2(Server.Url("/p.html"));
  Finish(P, "P");
  P->TryClose();
  EXPECT_TRUE(PumpUntil([&] { return P.Log->Has("Closing"); })) << P.Log->Dump();
  PumpPending();
  EXPECT_EQ(P.Log->Count("Closing"), 1);
}

INSTANTIATE_TEST_SUITE_P(FakeAndReal, PairedEngineTest, testing::Values(false, true),
                         [](const auto& Info) { return Info.param ? "WebKit" : "Fake"; });

}  // namespace
}  // namespace vorlane::test
