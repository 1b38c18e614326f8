// The built-in site on vorlane://home.vorlane/, through a real engine, and its page logic.
#include "EngineFixture.h"

#include "engine/NoticePages.h"
#include "engine/ProductSiteScheme.h"
#include "engine/SitePages.h"
#include "support/MainLoop.h"

#include <glibmm/convert.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

namespace vorlane::test {
namespace {

using engine::HtmlEscape;
using engine::SearchWordOf;
using engine::ServeSitePage;
using ProductSiteTest = EngineTest;

const std::string Site = "vorlane://home.vorlane";

TEST_F(ProductSiteTest, StartAndProductPagesLoadWithTheirSections) {
  TestPage& P = NewPage();
  ASSERT_TRUE(Load(P, Site + "/sea.html?ver=2.x"));
  EXPECT_TRUE(PumpUntil([&] { return P->LocationName() == "Vorlane 首页"; }));
  EXPECT_TRUE(P->DocumentIsHtml());
  EXPECT_EQ(Eval(P, "!!document.querySelector('section#favorites') && !!document.querySelector('section#history')"
                    " && !!document.querySelector('form[action=\"search.html\"] input[name=word]')"),
            "true");
  // The shared style sheet arrived.
  EXPECT_EQ(Eval(P, "getComputedStyle(document.body).backgroundColor"), "rgb(244, 246, 249)");

  ASSERT_TRUE(Load(P, Site + "/?browserlink"));
  EXPECT_TRUE(PumpUntil([&] { return P->LocationName() == "Vorlane浏览器 VorlaneBrowser"; }));
  EXPECT_EQ(Eval(P, "document.getElementById('version').textContent"), "V2.5");
}

TEST_F(ProductSiteTest, SearchShowsTheWordsAsTextAndOffersBaidu) {
  // The page as it shows before it forwards (see ASearchForwardsAtOnceAndBackSkipsIt).
  engine::SiteContent Content;
  Content.ForwardSearch = false;
  engine::SetProductSiteContent(Content);
  struct Reset {
    ~Reset() { engine::SetProductSiteContent({}); }
  } ResetContent;
  TestPage& P = NewPage();
  // Markup in the words stays text.
  ASSERT_TRUE(Load(P, Site + "/search.html?word=%3Cscript%3Edocument.title%3D'x'%3C%2Fscript%3E%22%3E"));
  EXPECT_EQ(Eval(P, "document.scripts.length"), "0");
  EXPECT_EQ(Eval(P, "document.querySelector('.word').textContent"), "<script>document.title='x'</script>\">");
  EXPECT_EQ(Eval(P, "document.querySelector('input[name=word]').value"), "<script>document.title='x'</script>\">");

  // Typed Chinese arrives percent-encoded UTF-8; the Baidu link carries it on.
  const std::string Typed = Site + "/search.html?word=中文 搜索";
  P.Log->Clear();
  P->Navigate2(Typed);
  ASSERT_TRUE(WaitFor(*P.Log, "Complete " + Site + "/search.html?word=%E4%B8%AD%E6%96%87%20%E6%90%9C%E7%B4%A2"));
  EXPECT_EQ(Eval(P, "document.querySelector('.word').textContent"), "中文 搜索");
  EXPECT_EQ(Eval(P, "document.getElementById('baidu').href"),
            "https://www.baidu.com/s?wd=%E4%B8%AD%E6%96%87%20%E6%90%9C%E7%B4%A2");
  EXPECT_TRUE(PumpUntil([&] { return P->LocationName() == "中文 搜索 - Vorlane 搜索"; }));

  // The start page's form goes to the same page.
  P.Log->Clear();
  Eval(P, "document.querySelector('input[name=word]').value = 'a b&c+d'; document.querySelector('form').submit()");
  ASSERT_TRUE(WaitFor(*P.Log, "Complete " + Site + "/search.html?word=a+b%26c%2Bd"));
  EXPECT_EQ(Eval(P, "document.querySelector('.word').textContent"), "a b&c+d");
}

TEST_F(ProductSiteTest, ASearchForwardsAtOnceAndBackSkipsIt) {
  Server.Serve("/s", "<title>results</title>");
  engine::SiteContent Content;
  Content.SearchResults = Server.Url("/s?wd=");
  engine::SetProductSiteContent(Content);
  TestPage& P = NewPage();
  ASSERT_TRUE(Load(P, Site + "/sea.html?ver=2.x"));
  P.Log->Clear();
  P->Navigate2(Site + "/search.html?word=中文 x");
  bool Arrived = WaitFor(*P.Log, "Complete " + Server.Url("/s?wd=%E4%B8%AD%E6%96%87%20x"));
  engine::SetProductSiteContent({});
  ASSERT_TRUE(Arrived) << P.Log->Dump();
  // The search was a page of its own (the history records it) that Back steps over.
  EXPECT_TRUE(P.Log->Has("Navigated " + Site + "/search.html?word=%E4%B8%AD%E6%96%87%20x")) << P.Log->Dump();
  auto Back = P->BackEntries(5);
  ASSERT_EQ(Back.size(), 1u);
  EXPECT_EQ(Back[0].Url, Site + "/sea.html?ver=2.x");
}

TEST_F(ProductSiteTest, UnknownPagesFailAndTheEngineCarriesOn) {
  TestPage& P = NewPage();
  P.Log->Clear();
  P->Navigate2(Site + "/missing.html");
  ASSERT_TRUE(PumpUntil([&] { return P.Log->Count("Complete ") >= 2 && P->ReadyState() == 4; })) << P.Log->Dump();
  EXPECT_NE(P->DocumentTitle(), "Vorlane 首页");
  ASSERT_TRUE(Load(P, Site + "/sea.html?ver=2.x"));
}

TEST_F(ProductSiteTest, TheStartPageListsTheLatestVisitsAsLinks) {
  size_t Asked = 0;
  engine::SetProductSiteContent({[&](size_t Limit) {
    Asked = Limit;
    return std::vector<engine::SiteLink>{{"<b>Bold</b> & co", "http://a.example/?x=1&y=\"2\""},
                                         {"", "http://untitled.example/"}};
  }});
  TestPage& P = NewPage();
  bool Loaded = Load(P, Site + "/sea.html?ver=2.x");
  engine::SetProductSiteContent({});
  ASSERT_TRUE(Loaded);
  EXPECT_GE(Asked, 8u);
  EXPECT_EQ(Eval(P, "[...document.querySelectorAll('#history li a')].map(a => a.textContent + '|' + a.href).join('\\n')"),
            "<b>Bold</b> & co|http://a.example/?x=1&y=%222%22\nhttp://untitled.example/|http://untitled.example/");
  // Without visits the list is empty, so its "暂无内容" shows.
  ASSERT_TRUE(Load(P, Site + "/sea.html?ver=2.x"));
  EXPECT_EQ(Eval(P, "document.querySelector('#history ul').childNodes.length"), "0");
}

TEST_F(ProductSiteTest, LocalPagesListedOnTheStartPageOpenButNotFromOtherPages) {
  const std::filesystem::path Local = std::filesystem::temp_directory_path() /
                                      ("vorlane local " + std::to_string(::getpid()) + ".html");
  std::ofstream(Local) << "<title>Local</title>local";
  const std::string LocalUrl = Glib::filename_to_uri(Local.string());
  engine::SetProductSiteContent({[&](size_t) {
    return std::vector<engine::SiteLink>{{"", Site + "/sea.html?ver=2.x"}, {"Local", LocalUrl}};
  }});
  TestPage& P = NewPage();
  bool Loaded = Load(P, Site + "/sea.html?ver=2.x");
  EXPECT_EQ(Eval(P, "[...document.querySelectorAll('#history li a')].map(a => a.title).join(' ')"), LocalUrl);
  // A page on the web that links to the same address gets nowhere.
  Server.Serve("/lure.html", "<a href=\"" + std::string(engine::OpenLocalPrefix) + LocalUrl + "\">x</a>");
  TestPage& Web = NewPage();
  ASSERT_TRUE(Load(Web, Server.Url("/lure.html")));
  Eval(Web, "document.querySelector('a').click()");
  ASSERT_TRUE(Loaded);
  Eval(P, "document.querySelector('#history a').click()");
  EXPECT_TRUE(WaitFor(*P.Log, "Complete " + LocalUrl)) << P.Log->Dump();
  EXPECT_EQ(P->LocationURL(), LocalUrl);
  EXPECT_EQ(Web->LocationURL(), Server.Url("/lure.html"));
  engine::SetProductSiteContent({});
  std::filesystem::remove(Local);
}

TEST(SitePages, SearchWordDecoding) {
  EXPECT_EQ(SearchWordOf("word=a+b%20c"), "a b c");
  EXPECT_EQ(SearchWordOf("word=%E4%B8%AD%E6%96%87"), "中文");
  EXPECT_EQ(SearchWordOf("word=%D6%D0%CE%C4"), "中文");  // GBK from an old page
  EXPECT_EQ(SearchWordOf("ver=2&word=x&y=1"), "x&y=1");     // typed text is appended unescaped
  EXPECT_EQ(SearchWordOf("word=100%"), "100%");
  EXPECT_EQ(SearchWordOf("word=%zz%4"), "%zz%4");
  EXPECT_EQ(SearchWordOf("keyword=x"), "");
  EXPECT_EQ(SearchWordOf(""), "");
  EXPECT_EQ(SearchWordOf("word=%00a"), std::string("\0a", 2));
}

TEST(SitePages, RoutesAndEscaping) {
  EXPECT_EQ(HtmlEscape("<a href=\"x\">'&'</a>{{word}}"),
            "&lt;a href=&quot;x&quot;&gt;&#39;&amp;&#39;&lt;/a&gt;&#123;&#123;word&#125;&#125;");
  EXPECT_EQ(ServeSitePage("home.vorlane", "/sea.html", "ver=2.x").Status, 200);
  EXPECT_EQ(ServeSitePage("home.vorlane", "/site.css", "").MimeType, "text/css");
  EXPECT_EQ(ServeSitePage("home.vorlane", "/", "browserlink").Status, 200);
  EXPECT_EQ(ServeSitePage("other.host", "/sea.html", "").Status, 404);
  EXPECT_EQ(ServeSitePage("home.vorlane", "/../etc/passwd", "").Status, 404);
  EXPECT_EQ(ServeSitePage("home.vorlane", "/search.html/x", "").Status, 404);

  // A word that looks like a placeholder is shown, not expanded.
  auto Reply = ServeSitePage("home.vorlane", "/search.html", "word=%7B%7Bresults%7D%7D");
  EXPECT_EQ(Reply.Body.find("{{"), std::string::npos);
  EXPECT_NE(Reply.Body.find("&#123;&#123;results&#125;&#125;"), std::string::npos);
  EXPECT_EQ(ServeSitePage("home.vorlane", "/search.html", "").Body.find("baidu"), std::string::npos);
}

// The "收藏夹" box lists what it is given, escaped; an address no page may open is text.
TEST(SitePages, TheFavoritesBoxListsFoldersAndFavoritesEscaped) {
  engine::SiteContent Content;
  Content.Favorites = [] {
    return std::vector<engine::SiteLink>{{"<News>", "", true}, {"A & B", "http://a.example/?q=\"x\""},
                                 {"Bookmarklet", "javascript:alert(1)"}};
  };
  const std::string Body = ServeSitePage("home.vorlane", "/sea.html", "ver=2.x", Content).Body;
  EXPECT_NE(Body.find("<ul class=\"links\"><li class=\"folder\">&lt;News&gt;</li>"
                      "<li><a href=\"http://a.example/?q=&quot;x&quot;\" title=\"http://a.example/?q=&quot;x&quot;\">"
                      "A &amp; B</a></li><li class=\"plain\">Bookmarklet</li></ul>"),
            std::string::npos) << Body;
  EXPECT_EQ(Body.find("{{favorites}}"), std::string::npos);
}

TEST(NoticePages, TheAddressIsEscapedAndTheReloadDropsTheFragment) {
  std::string Page = engine::ProcessEndedPage(browser::ProcessEnd::Crashed, "http://x/\"><script>1</script>#top");
  EXPECT_EQ(Page.find("<script>"), std::string::npos);
  EXPECT_NE(Page.find("href=\"http://x/&quot;&gt;&lt;script&gt;1&lt;/script&gt;\""), std::string::npos);
  EXPECT_EQ(engine::ProcessEndedPage(browser::ProcessEnd::Crashed, "").find("reload"), std::string::npos);
  for (auto [Others, Text] : {std::pair<size_t, const char*>{0, "其他网页不受影响。"}, {3, "此网站的其他 3 个网页也已停止。"}})
    EXPECT_NE(engine::ProcessEndedPage(browser::ProcessEnd::Crashed, "http://x/", Others).find(Text), std::string::npos);
}

TEST(NoticePages, AnUntrustedCertificateIsNamedInPlainWordsAndTheWayOnIsAsGiven) {
  engine::CertificateDetails Details{"CN=<b>evil</b>", "CN=<b>evil</b>", "2026-01-01", "2027-01-01"};
  engine::CertificateFaults SelfSigned;
  SelfSigned.UnknownIssuer = SelfSigned.SelfSigned = true;
  engine::CertificateFaults Expired;
  Expired.Expired = true;
  struct Case {
    engine::CertificateFaults Faults;
    const char *Shown, *NotShown;
  } Cases[] = {
      {SelfSigned, "自签名", "签发证书的机构不受信任"},
      {Expired, "证书已过期", "自签名"},
      {{}, "证书无效", "证书已过期"},
  };
  for (const Case& C : Cases) {
    std::string Page = engine::UntrustedCertificatePage("https://x.test/", C.Faults, Details, "vorlane://go?1");
    EXPECT_NE(Page.find(C.Shown), std::string::npos) << C.Shown;
    EXPECT_EQ(Page.find(C.NotShown), std::string::npos) << C.NotShown;
    EXPECT_EQ(Page.find("<b>"), std::string::npos);  // the certificate's names are the server's text
    EXPECT_NE(Page.find("id=\"proceed\" href=\"vorlane://go?1\">继续前往（不安全）"), std::string::npos);
  }
}

}  // namespace
}  // namespace vorlane::test
