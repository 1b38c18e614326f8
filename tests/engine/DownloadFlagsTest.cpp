// The download-control word: what a page may fetch and run.
#include "EngineFixture.h"

#include "browser/DownloadOptions.h"
#include "support/MainLoop.h"

#include <webkit/webkit.h>

namespace vorlane::test {
namespace {

namespace dlctl = browser::dlctl;
using DownloadFlagsTest = EngineTest;

constexpr char Png[] =
    "\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x01\0\0\0\x01\x08\x06\0\0\0\x1f\x15\xc4\x89\0\0\0\rIDATx\x9c"
    "c\xf8\xff\xff?\0\x05\xfe\x02\xfe\xa7\x35\x81\x84\0\0\0\0IEND\xae\x42\x60\x82";

TEST_F(DownloadFlagsTest, WithoutImagesNoImageIsRequestedUntilTheyAreAllowedAgain) {
  Server.Serve("/img.png", std::string(Png, sizeof Png - 1), "image/png");
  Server.Serve("/pic.html", "<title>pic</title><img id=i src=\"/img.png\">");
  TestPage& P = NewPage();
  EXPECT_EQ(P->DownloadFlags(), dlctl::DLIMAGES | dlctl::VIDEOS | dlctl::BGSOUNDS);
  P->SetDownloadFlags(dlctl::VIDEOS | dlctl::BGSOUNDS);
  EXPECT_EQ(P->DownloadFlags(), dlctl::VIDEOS | dlctl::BGSOUNDS);
  ASSERT_TRUE(Load(P, Server.Url("/pic.html")));
  EXPECT_EQ(Eval(P, "document.getElementById('i').naturalWidth"), "0");
  EXPECT_EQ(Server.RequestCount("/img.png"), 0);

  P->SetDownloadFlags(dlctl::DLIMAGES);
  // The next page's image loads. It is one not asked for before: WebKit may on its own
  // start fetching the shown page's images once they are allowed, and whether that fetch
  // ends or is cut off by the next load is WebKit's business.
  Server.Serve("/img2.png", std::string(Png, sizeof Png - 1), "image/png");
  Server.Serve("/pic2.html", "<title>pic2</title><img id=i src=\"/img2.png\">");
  ASSERT_TRUE(Load(P, Server.Url("/pic2.html")));
  EXPECT_TRUE(PumpUntil([&] { return Eval(P, "document.getElementById('i').naturalWidth") == "1"; }));
  EXPECT_GE(Server.RequestCount("/img2.png"), 1);
}

TEST_F(DownloadFlagsTest, WithoutScriptsPageScriptsStayStillButTheEnginesOwnScriptsRun) {
  Server.Serve("/s.html", "<title>static</title><script>document.title='ran'</script>"
                          "<a id=js href=\"javascript:document.title='link'\">x</a>");
  TestPage& P = NewPage();
  P->SetDownloadFlags(dlctl::DLIMAGES | dlctl::NO_SCRIPTS | dlctl::NO_JAVA | dlctl::NO_RUNACTIVEXCTLS);
  ASSERT_TRUE(Load(P, Server.Url("/s.html")));
  EXPECT_EQ(Eval(P, "document.title"), "static");
  EXPECT_EQ(Eval(P, "6 * 7"), "42");
  Eval(P, "document.getElementById('js').click()");
  EXPECT_EQ(Eval(P, "document.title"), "static");

  // Back on: the next load runs the page's script again.
  P->SetDownloadFlags(dlctl::DLIMAGES);
  ASSERT_TRUE(Load(P, Server.Url("/s.html")));
  EXPECT_TRUE(PumpUntil([&] { return P->DocumentTitle() == "ran"; }));
}

TEST_F(DownloadFlagsTest, SoundsOffMutesAndEveryRequestCarriesTheProductName) {
  Server.Serve("/a.html", "<title>a</title>a");
  TestPage& P = NewPage();
  P->SetDownloadFlags(dlctl::DLIMAGES);
  ASSERT_TRUE(Load(P, Server.Url("/a.html")));
  EXPECT_TRUE(webkit_web_view_get_is_muted(ViewOf(*P.Engine)));
  P->SetDownloadFlags(dlctl::DLIMAGES | dlctl::BGSOUNDS);
  EXPECT_FALSE(webkit_web_view_get_is_muted(ViewOf(*P.Engine)));
  EXPECT_NE(Server.LastHeader("/a.html", "User-Agent").find("Vorlane/2.5"), std::string::npos)
      << Server.LastHeader("/a.html", "User-Agent");
}

}  // namespace
}  // namespace vorlane::test
