// The scripted engine that window tests run on against the real one: the same scenario on
// both must raise the same events and leave the focus in the same place.
#include "EngineFixture.h"

#include "support/FakeEngine.h"
#include "support/MainLoop.h"

#include <gtkmm/entry.h>

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
    // The title may come before or after the load completes.
    ASSERT_TRUE(PumpUntil([&] { return P.Log->Has("Title " + Title) && P.Log->Count("Complete ") > 0; }))
        << P.Log->Dump();
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

INSTANTIATE_TEST_SUITE_P(FakeAndReal, PairedEngineTest, testing::Values(false, true),
                         [](const auto& Info) { return Info.param ? "WebKit" : "Fake"; });

}  // namespace
}  // namespace vorlane::test
