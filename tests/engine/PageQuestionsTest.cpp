// What a page asks through the real engine: windows it opens by itself, permissions.
#include "EngineFixture.h"

#include "support/MainLoop.h"

namespace vorlane::test {
namespace {

// A host that records the questions and answers them as a test says.
struct QuestionHost : browser::IWebEngineHost {
  std::vector<std::pair<std::string, bool>> Windows;  // address, user gesture
  std::vector<browser::PagePermission> Asked;
  bool Allow = false;

  bool AllowNewWindow(const std::string& Url, bool UserGesture) override {
    Windows.emplace_back(Url, UserGesture);
    return UserGesture;
  }
  void RequestPermission(browser::PagePermission Kind, std::function<void(bool)> Answer) override {
    Asked.push_back(Kind);
    Answer(Allow);
  }
  std::vector<std::string> ProceedHosts;
  void ConfirmInsecureProceed(const std::string& Host, std::function<void(bool)> Proceed) override {
    ProceedHosts.push_back(Host);
    Proceed(Allow);
  }
};

// The events, and what the engine says of the shown document's certificate.
struct CertificateLog : EventLog {
  std::optional<bool> Untrusted;
  void CertificateStateChange(bool Value) override { Untrusted = Value; }
};

class PageQuestionsTest : public EngineTest {
protected:
  PageQuestionsTest() { Server.Serve("/b.html", "<title>B</title>b"); }
  QuestionHost Host;
};

TEST_F(PageQuestionsTest, AWindowAPageOpensByItselfIsHeldBackAndOneForTheUserOpens) {
  Server.Serve("/popup.html", "<title>P</title><script>window.open('/b.html')</script>");
  TestPage& Opener = NewPage();
  Opener->SetHost(&Host);
  int Handed = 0;
  Opener.Log->NewWindowTarget = [&]() -> browser::WebEngine* {
    ++Handed;
    return NewPage().Engine.get();
  };
  ASSERT_TRUE(Load(Opener, Server.Url("/popup.html")));
  ASSERT_TRUE(PumpUntil([&] { return !Host.Windows.empty(); }));
  EXPECT_EQ(Host.Windows[0], std::make_pair(Server.Url("/b.html"), false));
  EXPECT_EQ(Handed, 0);
  // What the user starts (the engine's own script stands in for a click) opens.
  Eval(Opener, "void window.open('/b.html')");
  ASSERT_TRUE(PumpUntil([&] { return Host.Windows.size() == 2; }));
  EXPECT_TRUE(Host.Windows[1].second);
  EXPECT_TRUE(PumpUntil([&] { return Handed == 1; }));
}

TEST_F(PageQuestionsTest, ThePagesPermissionRequestGetsTheHostsAnswer) {
  Server.Serve("/ask.html", "<title>ask</title>");
  for (bool Allow : {true, false}) {
    TestPage& Page = NewPage();
    Host.Allow = Allow;
    Page->SetHost(&Host);
    ASSERT_TRUE(Load(Page, Server.Url("/ask.html")));
    // WebKit asks only in answer to the user (the engine's own script stands in for a click).
    Eval(Page, "void Notification.requestPermission().then(p => document.title = p)");
    ASSERT_TRUE(PumpUntil([&] { return Host.Asked.size() == (Allow ? 1u : 2u); }));
    EXPECT_TRUE(WaitFor(*Page.Log, std::string("Title ") + (Allow ? "granted" : "denied"))) << Page.Log->Dump();
    EXPECT_EQ(Host.Asked.back(), browser::PagePermission::Notifications);
  }
}

TEST_F(PageQuestionsTest, AnUntrustedCertificateIsNamedAndTheUserMayGoOnAfterConfirming) {
  LoopbackServer Secure;
  Secure.UseTls(VORLANE_TEST_DATA "/tls/self-signed.pem");
  Secure.Serve("/secure.html", "<title>secure</title>in");
  TestPage& Page = NewPage();
  auto Log = std::make_unique<CertificateLog>();
  CertificateLog& Certificate = *Log;
  Page.Log = std::move(Log);
  Page->SetEvents(Page.Log.get());
  Page->SetHost(&Host);
  const std::string Url = Secure.Url("/secure.html");
  ASSERT_TRUE(Load(Page, Url));
  // The failed attempt completes first, then our page about it.
  ASSERT_TRUE(PumpUntil([&] { return Eval(Page, "document.title") == "无法显示网页"; })) << Page.Log->Dump();
  EXPECT_EQ(Eval(Page, "document.body.innerText.includes('自签名') && document.body.innerText.includes('Vorlane test')"),
            "true");
  EXPECT_EQ(Secure.RequestCount("/secure.html"), 0);  // nothing was sent to the untrusted server

  // Refused at the second question: the error page stays.
  Host.Allow = false;
  Eval(Page, "document.getElementById('proceed').click()");
  ASSERT_TRUE(PumpUntil([&] { return Host.ProceedHosts.size() == 1; }));
  EXPECT_EQ(Host.ProceedHosts[0], "127.0.0.1");
  EXPECT_EQ(Secure.RequestCount("/secure.html"), 0);

  Host.Allow = true;
  Page.Log->Clear();
  Eval(Page, "document.getElementById('proceed').click()");
  ASSERT_TRUE(WaitFor(*Page.Log, "Complete " + Url)) << Page.Log->Dump();
  EXPECT_EQ(Eval(Page, "document.title"), "secure");
  EXPECT_EQ(Certificate.Untrusted, true);
  EXPECT_EQ(Secure.RequestCount("/secure.html"), 1);
}

}  // namespace
}  // namespace vorlane::test
