// Addresses the engine cannot load end on our error page; the engine stays usable.
#include "EngineFixture.h"

#include "support/MainLoop.h"

namespace vorlane::test {
namespace {

using BadInputTest = EngineTest;

TEST_F(BadInputTest, EveryBadAddressEndsOnAnErrorPageAndTheNextLoadWorks) {
  uint16_t ClosedPort = 0;
  {
    LoopbackServer Gone;  // a port nobody listens on any more
    ClosedPort = Gone.Port();
  }
  Server.Serve("/ok.html", "<title>OK</title>ok");
  TestPage& P = NewPage();
  const std::string Refused = "http://127.0.0.1:" + std::to_string(ClosedPort) + "/";
  for (const std::string& Bad : {std::string(""), std::string("   "), std::string("nohost"),
                                 std::string("two words"), Refused, std::string("http://"),
                                 std::string("::::"), std::string("\xff\xfe bad bytes"),
                                 std::string(8000, 'x') + ".example"}) {
    SCOPED_TRACE("address \"" + Bad.substr(0, 40) + "\"");
    P.Log->Clear();
    P->Navigate2(Bad);
    // The attempt completes, then the error page commits and completes too.
    ASSERT_TRUE(PumpUntil([&] {
      int Navigated = -1;
      for (size_t I = 0; I < P.Log->Lines.size(); ++I)
        if (P.Log->Lines[I].starts_with("Navigated ")) Navigated = static_cast<int>(I);
      if (Navigated < 0) return false;
      for (size_t I = Navigated; I < P.Log->Lines.size(); ++I)
        if (P.Log->Lines[I].starts_with("Complete ")) return P->ReadyState() == 4;
      return false;
    })) << P.Log->Dump();
    EXPECT_TRUE(P->HasDocument());
    EXPECT_TRUE(P->DocumentIsHtml());
    // Our own page in Chinese, never WebKit's English one or a blank page.
    EXPECT_TRUE(PumpUntil([&] { return P->DocumentTitle() == "无法显示网页"; })) << P->DocumentTitle();
    if (Bad == Refused) {
      EXPECT_TRUE(P.Log->Has("Failed " + Refused + " 0")) << P.Log->Dump();  // before any commit
      EXPECT_EQ(P->LocationURL(), Refused);
      EXPECT_NE(Eval(P, "document.body.innerText").value_or("").find("服务器拒绝了连接"), std::string::npos);
      EXPECT_EQ(Eval(P, "document.getElementById('retry').href"), Refused);
    }

    ASSERT_TRUE(Load(P, Server.Url("/ok.html")));
    EXPECT_EQ(Eval(P, "document.title"), "OK");
  }
}

}  // namespace
}  // namespace vorlane::test
