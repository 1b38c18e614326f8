// The new-window handshake: pages that ask for a window get their address loaded into the
// engine the browser hands back, never that engine's own pending start page.
#include "EngineFixture.h"

#include "browser/DownloadOptions.h"
#include "support/MainLoop.h"

#include <webkit/webkit.h>

namespace vorlane::test {
namespace {

class NewWindowTest : public EngineTest {
protected:
  NewWindowTest() {
    Server.Serve("/start.html", "<title>Start</title>start");
    Server.Serve("/b.html", "<title>B</title>b");
  }

  // What the page window does: a new page on the start page, handed back at once. The
  // start page request is still pending when the engine goes back to WebKit.
  TestPage& OpenOnStartPage() {
    TestPage& New = NewPage();
    New->Navigate2(Server.Url("/start.html"));
    return New;
  }

  // Lets Opener's NewWindow2 hand back new start-page engines; returns them in order.
  std::vector<TestPage*>& HandOutPages(TestPage& Opener) {
    Opener.Log->NewWindowTarget = [this] {
      TestPage& New = OpenOnStartPage();
      // ToolBar as the page window sees it at the first BeforeNavigate2.
      New.Log->OnBefore = [&New, this](const std::string&, bool&) {
        if (!ToolBarAtFirstBefore.count(&New)) ToolBarAtFirstBefore[&New] = New->ToolBar();
      };
      HandedOut.push_back(&New);
      return New.Engine.get();
    };
    return HandedOut;
  }

  // Opener runs Script; waits for the page handed out for it to complete Url.
  TestPage* OpenFromScript(TestPage& Opener, const std::string& Script, const std::string& Url) {
    size_t Before = HandedOut.size();
    Eval(Opener, Script);
    if (!PumpUntil([&] { return HandedOut.size() > Before; })) {
      ADD_FAILURE() << "no NewWindow2 for " << Script << "\n" << Opener.Log->Dump();
      return nullptr;
    }
    TestPage* New = HandedOut.back();
    if (!WaitFor(*New->Log, "Complete " + Url)) return nullptr;
    return New;
  }

  std::vector<TestPage*> HandedOut;
  std::map<TestPage*, int> ToolBarAtFirstBefore;
};

TEST_F(NewWindowTest, BlankTargetLinkAndWindowOpenLoadTheRequestedAddressNeverTheStartPage) {
  const std::string B = Server.Url("/b.html");
  Server.Serve("/opener.html", "<title>O</title><a id=blank target=_blank href=\"/b.html\">b</a>");
  TestPage& Opener = NewPage();
  ASSERT_TRUE(Load(Opener, Server.Url("/opener.html")));
  HandOutPages(Opener);

  // Several rounds: the start page request must lose every time, not most of the time.
  for (int Round = 0; Round < 4; ++Round) {
    SCOPED_TRACE("round " + std::to_string(Round));
    for (const char* Script : {"document.getElementById('blank').click()", "void window.open('/b.html')"}) {
      TestPage* New = OpenFromScript(Opener, Script, B);
      ASSERT_NE(New, nullptr);
      EXPECT_EQ((*New)->LocationURL(), B);
      EXPECT_TRUE(PumpUntil([&] { return (*New)->LocationName() == "B"; }));
      EXPECT_EQ(New->Log->Find("Before " + B), 0) << New->Log->Dump();
      EXPECT_EQ(ToolBarAtFirstBefore[New], 1);
    }
  }
  EXPECT_EQ(Server.RequestCount("/start.html"), 0);
  EXPECT_EQ(Opener.Log->Count("NewWindow"), 8);
}

TEST_F(NewWindowTest, OnlyAScriptWindowWithEveryBarHiddenHasNoToolBar) {
  const std::string B = Server.Url("/b.html");
  Server.Serve("/opener.html", "<title>O</title>o");
  TestPage& Opener = NewPage();
  ASSERT_TRUE(Load(Opener, Server.Url("/opener.html")));
  HandOutPages(Opener);

  struct Case {
    const char* Features;
    int ToolBar;
  };
  for (Case C : {Case{"menubar=no,location=no,toolbar=no,status=no,scrollbars=no,resizable=no", 0},
                 Case{"toolbar=no", 1}, Case{"popup=1", 1}, Case{"toolbar=no,width=300,height=200", 1}}) {
    SCOPED_TRACE(C.Features);
    TestPage* New = OpenFromScript(Opener, std::string("void window.open('/b.html', '', '") + C.Features + "')", B);
    ASSERT_NE(New, nullptr);
    EXPECT_EQ(ToolBarAtFirstBefore[New], C.ToolBar);
    EXPECT_EQ((*New)->ToolBar(), C.ToolBar);
  }
  EXPECT_EQ(Opener->ToolBar(), 1);
}

TEST_F(NewWindowTest, NavigateInNewWindowAsksTheBrowserForTheEngine) {
  const std::string B = Server.Url("/b.html");
  TestPage& P = NewPage();
  HandOutPages(P);
  P->Navigate2("127.0.0.1:" + std::to_string(Server.Port()) + "/b.html", browser::navOpenInNewWindow);
  ASSERT_EQ(HandedOut.size(), 1u);
  EXPECT_TRUE(P.Log->Has("NewWindow"));
  ASSERT_TRUE(WaitFor(*HandedOut[0]->Log, "Complete " + B));
  EXPECT_EQ(Server.RequestCount("/start.html"), 0);
  EXPECT_EQ(ViewOf(*P.Engine), nullptr);  // the asking engine itself loads nothing
}

TEST_F(NewWindowTest, RefusedWindowOpensNothingAndScriptWindowsMayCloseThemselves) {
  Server.Serve("/opener.html", "<title>O</title>o");
  TestPage& Opener = NewPage();
  ASSERT_TRUE(Load(Opener, Server.Url("/opener.html")));
  EXPECT_EQ(Eval(Opener, "window.open('/b.html') === null"), "true");
  EXPECT_TRUE(Opener.Log->Has("NewWindow"));

  HandOutPages(Opener);
  TestPage* New = OpenFromScript(Opener, "void window.open('/b.html')", Server.Url("/b.html"));
  ASSERT_NE(New, nullptr);
  Eval(*New, "window.close()");
  EXPECT_TRUE(WaitFor(*New->Log, "Closing"));
}

TEST_F(NewWindowTest, ScriptWindowsStartWithTheOpenersSwitchesAndThenKeepTheirOwn) {
  Server.Serve("/opener.html", "<title>O</title>o");
  Server.Serve("/script.html", "<title>static</title><script>document.title='ran'</script>");
  TestPage& Opener = NewPage();
  Opener->SetDownloadFlags(browser::dlctl::DLIMAGES | browser::dlctl::NO_SCRIPTS);
  ASSERT_TRUE(Load(Opener, Server.Url("/opener.html")));
  HandOutPages(Opener);
  TestPage* New = OpenFromScript(Opener, "void window.open('/script.html')", Server.Url("/script.html"));
  ASSERT_NE(New, nullptr);
  EXPECT_EQ(Eval(*New, "document.title"), "static");
  EXPECT_EQ(Server.LastHeader("/script.html", "User-Agent").find("Vorlane/2.5") != std::string::npos, true);

  // Each page's word is what its own view does, whatever the other page does later.
  (*New)->SetDownloadFlags(browser::dlctl::NO_SCRIPTS);
  WebKitSettings* Mine = webkit_web_view_get_settings(ViewOf(*New->Engine));
  WebKitSettings* Theirs = webkit_web_view_get_settings(ViewOf(*Opener.Engine));
  EXPECT_FALSE(webkit_settings_get_auto_load_images(Mine));
  EXPECT_TRUE(webkit_settings_get_auto_load_images(Theirs));
  Opener->SetDownloadFlags(browser::dlctl::DLIMAGES);
  EXPECT_FALSE(webkit_settings_get_enable_javascript_markup(Mine));
  EXPECT_TRUE(webkit_settings_get_enable_javascript_markup(Theirs));
}

}  // namespace
}  // namespace vorlane::test
