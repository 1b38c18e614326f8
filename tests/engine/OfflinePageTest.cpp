// Pages opened while the browser works offline: our page that says so, its way back
// online, and pages the cache still holds.
#include "EngineFixture.h"

#include "platform/ConnectionState.h"
#include "support/MainLoop.h"

namespace vorlane::test {
namespace {

class OfflinePageTest : public EngineTest {
protected:
  ~OfflinePageTest() override { platform::ConnectionState::SetConnected(true); }
};

TEST_F(OfflinePageTest, SaysItIsOfflineAndItsLinkGoesOnlineAndLoads) {
  Server.Serve("/n.html", "<title>n</title>n");
  TestPage& P = NewPage();
  platform::ConnectionState::SetConnected(false);
  ASSERT_TRUE(Load(P, Server.Url("/n.html")));
  ASSERT_TRUE(PumpUntil([&] { return P->DocumentTitle() == "当前处于脱机状态"; })) << P->DocumentTitle();
  EXPECT_EQ(P->LocationURL(), Server.Url("/n.html"));
  EXPECT_EQ(Server.RequestCount("/n.html"), 0);
  // Another page cannot bring the browser online through the link's address.
  P->Navigate2("vorlane://home.vorlane/go-online?0000000000000000");
  PumpPending();
  EXPECT_FALSE(platform::ConnectionState::Connected());
  Eval(P, "document.getElementById('go-online').click()");
  ASSERT_TRUE(PumpUntil([&] { return P->DocumentTitle() == "n"; })) << P->DocumentTitle() << "\n" << P.Log->Dump();
  EXPECT_TRUE(platform::ConnectionState::Connected());
}

TEST_F(OfflinePageTest, CachedPagesAreShownOffline) {
  Server.Serve("/c.html", "<title>c</title>c", "text/html; charset=utf-8", 200, "Cache-Control: max-age=3600\r\n");
  TestPage& P = NewPage();
  ASSERT_TRUE(Load(P, Server.Url("/c.html")));
  ASSERT_TRUE(Load(P, "vorlane://home.vorlane/sea.html?ver=2.x"));
  platform::ConnectionState::SetConnected(false);
  ASSERT_TRUE(Load(P, Server.Url("/c.html")));
  EXPECT_TRUE(PumpUntil([&] { return P->DocumentTitle() == "c"; })) << P->DocumentTitle();
  EXPECT_EQ(Server.RequestCount("/c.html"), 1);
}

}  // namespace
}  // namespace vorlane::test
