// Highlight, find and save on the real engine: what they mark and count on pages that mix
// HTML with SVG, MathML and XHTML, and a save whose page never finishes loading.
#include "EngineFixture.h"

#include "browser/BrowserControl.h"
#include "support/MainLoop.h"
#include "support/ScriptedDialogs.h"

namespace vorlane::test {
namespace {

using PageTextTest = EngineTest;

int Highlight(browser::TBrowserControl& Control, const std::string& Text) {
  int Count = -2;
  Control.HighlightMatches(Text, [&](int N) { Count = N; });
  PumpUntil([&] { return Count != -2; });
  return Count;
}

TEST_F(PageTextTest, HighlightLeavesSvgMathMlAndStylesAloneAndKeepsOffsets) {
  Server.Serve("/mixed.html",
               "<title>m</title><p>İİİ foo</p><svg><style>.foo{fill:red}</style><text class='foo'>foo</text></svg>"
               "<math><mi>foo</mi></math><STYLE>p.foo{}</STYLE><p>FOO</p>");
  Server.Serve("/x.xhtml",
               "<html xmlns='http://www.w3.org/1999/xhtml'><head><title>x</title></head><body>"
               "<style>b.foo { color: red }</style><p>foo <b class='foo'>foo</b></p></body></html>",
               "application/xhtml+xml");
  struct Case {
    const char* Path;
    int Count;
    const char* Kept;  // a script that must still answer "true"
  };
  const Case Cases[] = {
      {"/mixed.html", 2,
       "document.querySelector('svg text').textContent === 'foo' && !document.querySelector('svg span') && "
       "document.querySelector('svg style').textContent === '.foo{fill:red}' && "
       "document.querySelector('mi').textContent === 'foo' && "
       "document.querySelector('p span').textContent === 'foo' && document.querySelector('p').textContent === 'İİİ foo'"},
      {"/x.xhtml", 2, "document.querySelector('style').textContent === 'b.foo { color: red }'"},
  };
  TestPage& P = NewPage();
  ScriptedDialogs Dialogs;
  browser::TBrowserControl Control(std::move(P.Engine));
  Control.Dialogs = &Dialogs;
  Pages.append(Control.Widget());
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Path);
    bool Done = false;
    Control.OnDocumentComplete = [&](const std::string&) { Done = true; };
    Control.NavigateToAddress(Server.Url(C.Path));
    ASSERT_TRUE(PumpUntil([&] { return Done && Control.Engine().ReadyState() == 4; }));
    EXPECT_EQ(Highlight(Control, "foo"), C.Count);
    std::optional<std::string> Kept;
    Control.Engine().RunScript(C.Kept, [&](std::optional<std::string> R) { Kept = R.value_or("failed"); });
    ASSERT_TRUE(PumpUntil([&] { return Kept.has_value(); }));
    EXPECT_EQ(*Kept, "true");
  }
  EXPECT_TRUE(Dialogs.MessageTexts().empty());
  Pages.remove(Control.Widget());
}

TEST_F(PageTextTest, FindCountsTheWholeTextEvenWhileItIsTyped) {
  std::string Body = "<title>f</title>";
  for (int I = 0; I < 100; ++I) Body += "needle1 needle2 needle3 ";
  Server.Serve("/f.html", Body);
  TestPage& P = NewPage();
  ASSERT_TRUE(Load(P, Server.Url("/f.html")));
  // As the find box asks while "needle1" is typed: one search per key, without waiting.
  std::vector<std::string> Answers;
  std::string Typed;
  for (char C : std::string("needle1")) {
    Typed += C;
    P->FindText(Typed, false, [&, Typed](unsigned N) { Answers.push_back(Typed + "=" + std::to_string(N)); });
  }
  ASSERT_TRUE(PumpUntil([&] { return !Answers.empty(); }));
  PumpPending();
  EXPECT_EQ(Answers, std::vector<std::string>{"needle1=100"});
  P->FindFinish();
}

TEST_F(PageTextTest, StoppingASlowPageEndsItsWaitingSaveWithAWord) {
  Server.Hold("/slow.html");
  TestPage& P = NewPage();
  browser::TBrowserControl Control(std::move(P.Engine));
  Pages.append(Control.Widget());
  Control.NavigateToAddress(Server.Url("/slow.html"));
  ASSERT_TRUE(PumpUntil([&] { return Server.RequestCount("/slow.html") == 1; }));
  std::optional<std::string> Error;
  Control.SaveDocumentToFile("/tmp/never.mht", [&](std::optional<std::string> E) { Error = E.value_or(""); });
  Control.Stop();
  ASSERT_TRUE(PumpUntil([&] { return Error.has_value(); }));
  EXPECT_EQ(*Error, browser::PageNotLoadedText);
  Pages.remove(Control.Widget());
}

}  // namespace
}  // namespace vorlane::test
