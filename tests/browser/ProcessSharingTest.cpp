#include "browser/ProcessSharing.h"

#include <gtest/gtest.h>

#include <functional>

namespace vorlane::browser {
namespace {

constexpr const char* Product = "vorlane://home.vorlane";

struct Fixture : ::testing::Test {
  ProcessSharing Sharing{3, {Product}};
  std::optional<PageId> Place(PageId Page, const char* Url) { return Sharing.PlaceNewPage(Page, Url); }
};

TEST(SchemeAndHost, KeepsSchemeAndHostOnly) {
  const std::pair<const char*, const char*> Cases[] = {
      {"http://Example.COM:8080/a?b#c", "http://example.com"},
      {"https://user:pw@example.com/", "https://example.com"},
      {"http://[::1]:80/x", "http://[::1]"},
      {"vorlane://home.vorlane/sea.html?ver=2.x", "vorlane://home.vorlane"},
      {"about:blank", ""}, {"file:///tmp/a.html", ""}, {"data:text/html,x", ""}, {"", ""}, {"://x", ""},
  };
  for (auto [Url, Site] : Cases) EXPECT_EQ(SchemeAndHost(Url), Site) << Url;
}

TEST_F(Fixture, PagesOfOneSiteShareUpToTheBound) {
  EXPECT_EQ(Place(1, "http://a.example/1"), std::nullopt);
  EXPECT_EQ(Place(2, "http://a.example/2"), 1u);
  EXPECT_EQ(Place(3, "http://A.example:81/3"), 1u);
  EXPECT_EQ(Place(4, "http://a.example/4"), std::nullopt);  // bound reached: a new process
  EXPECT_EQ(Place(5, "http://a.example/5"), 4u);
  EXPECT_EQ(Sharing.ProcessMates(2), (std::vector<PageId>{1, 2, 3}));
}

TEST_F(Fixture, OtherSitesAndAddressesWithoutHostNeverShare) {
  Place(1, "http://a.example/");
  for (const char* Url : {"http://b.example/", "https://a.example/", "about:blank", "file:///tmp/x.html"})
    EXPECT_EQ(Place(2, Url), std::nullopt) << Url;
  EXPECT_EQ(Place(3, "about:blank"), std::nullopt);
}

TEST_F(Fixture, TheProductSiteKeepsAllItsPagesInOneProcess) {
  Place(1, "vorlane://home.vorlane/sea.html?ver=2.x");
  for (PageId Page = 2; Page < 8; ++Page) EXPECT_EQ(Place(Page, "vorlane://home.vorlane/sea.html?ver=2.x"), 1u);
  EXPECT_EQ(Place(8, "vorlane://home.vorlane/search.html?word=x"), 1u);
  EXPECT_EQ(Place(9, "vorlane://home.vorlane/?browserlink"), 1u);
}

TEST_F(Fixture, APageThatGoesToAnotherSiteLeavesItsProcessWhenTheEngineSaysSo) {
  for (PageId Page = 1; Page <= 3; ++Page) Place(Page, "http://a.example/"), Sharing.PageInProcess(Page, 100);
  Sharing.PageNavigated(2, "http://a.example/other");  // same site: stays
  EXPECT_EQ(Place(4, "http://a.example/"), std::nullopt);
  Sharing.PageNavigated(1, "http://b.example/");
  Sharing.PageInProcess(1, 200);
  EXPECT_EQ(Sharing.ProcessMates(2), (std::vector<PageId>{2, 3}));
  EXPECT_EQ(Place(5, "http://a.example/"), 2u);  // the fuller of the two processes with room
  EXPECT_EQ(Place(6, "http://b.example/"), 1u);  // page 1's new process takes its site's pages
}

TEST_F(Fixture, APageWebKitKeepsBesideItsOpenerOnAnotherSiteKeepsBothSitesOut) {
  Place(1, "http://a.example/");
  Sharing.PageInProcess(1, 100);
  Sharing.JoinOpener(2, 1);
  Sharing.PageNavigated(2, "http://b.example/");
  Sharing.PageInProcess(2, 100);  // an opened window stays in its opener's process
  EXPECT_EQ(Place(3, "http://b.example/"), std::nullopt);
  EXPECT_EQ(Place(4, "http://a.example/"), std::nullopt);
  EXPECT_EQ(Sharing.ProcessMates(1), (std::vector<PageId>{1, 2}));
}

TEST_F(Fixture, TheBoundCountsThePagesReallyInAProcessAndACrashNamesThemAll) {
  for (PageId Page = 1; Page <= 2; ++Page) Place(Page, "http://a.example/"), Sharing.PageInProcess(Page, 100);
  EXPECT_EQ(Place(3, "https://a.example/"), std::nullopt);  // another site to the site function here
  Sharing.PageInProcess(3, 100);  // but WebKit put it beside the others
  EXPECT_EQ(Place(4, "http://a.example/"), std::nullopt);  // full
  for (PageId Page = 1; Page <= 3; ++Page) EXPECT_EQ(Sharing.ProcessEnded(Page), 2u) << Page;
  EXPECT_EQ(Sharing.ProcessMates(3), (std::vector<PageId>{3}));
  Sharing.PageInProcess(1, 100);  // a late answer from the dead process
  EXPECT_EQ(Sharing.ProcessMates(1), (std::vector<PageId>{1}));
}

TEST_F(Fixture, EndedProcessesAndClosedPagesFreeTheirPlaces) {
  for (PageId Page = 1; Page <= 3; ++Page) Place(Page, "http://a.example/");
  for (PageId Page = 1; Page <= 3; ++Page) Sharing.ProcessEnded(Page);
  EXPECT_EQ(Sharing.ProcessMates(3), (std::vector<PageId>{3}));
  EXPECT_EQ(Sharing.ProcessMates(1), (std::vector<PageId>{1}));
  Sharing.PageClosed(1);
  EXPECT_TRUE(Sharing.ProcessMates(1).empty());
  EXPECT_EQ(Place(4, "http://a.example/"), 2u);  // the oldest of equals
  Sharing.JoinOpener(5, 4);  // a window page 4 opened shares its process beyond the bound
  Sharing.JoinOpener(6, 4);
  EXPECT_EQ(Sharing.ProcessMates(4), (std::vector<PageId>{2, 4, 5, 6}));
}

// Closing a page tells what it leaves of its process: only an empty one may end with it.
TEST(ProcessSharingClose, TellsWhatThePageLeavesOfItsProcess) {
  using Left = ProcessSharing::LeftProcess;
  using Steps = std::function<void(ProcessSharing&)>;
  const auto Open = [](ProcessSharing& S, PageId Page) { S.PlaceNewPage(Page, "http://a.example/"); };
  const auto Two = [&](ProcessSharing& S) { Open(S, 1), Open(S, 2), S.PageInProcess(1, 9), S.PageInProcess(2, 9); };
  // Page 2, on another site, commits a page: WebKit may have put it anywhere until told.
  const auto Other = [](ProcessSharing& S) {
    S.PlaceNewPage(2, "http://b.example/"), S.PageNavigated(2, "http://a.example/x");
  };
  const struct {
    const char* What;
    Steps Setup;
    PageId Closed;
    Left Expected;
  } Cases[] = {
      {"alone", [&](ProcessSharing& S) { Open(S, 1); }, 1, Left::Empty},
      {"another page of its site in it", Two, 1, Left::InUse},
      {"its mate closed before", [&](ProcessSharing& S) { Two(S), S.PageClosed(2); }, 1, Left::Empty},
      {"a window it opened still open", [&](ProcessSharing& S) { Open(S, 1), S.JoinOpener(2, 1); }, 1, Left::InUse},
      {"the window, its opener gone", [&](ProcessSharing& S) { Open(S, 1), S.JoinOpener(2, 1), S.PageClosed(1); }, 2,
       Left::Empty},
      {"moved out by WebKit to another site", [&](ProcessSharing& S) { Two(S), S.PageInProcess(1, 7); }, 1,
       Left::Empty},
      {"the one left behind by it", [&](ProcessSharing& S) { Two(S), S.PageInProcess(1, 7); }, 2, Left::Empty},
      {"back alone after a crash", [&](ProcessSharing& S) { Two(S), S.ProcessEnded(1); }, 1, Left::Empty},
      {"another page's process not told since its commit", [&](ProcessSharing& S) { Open(S, 1), Other(S); }, 1,
       Left::MaybeEmpty},
      {"and then told", [&](ProcessSharing& S) { Open(S, 1), Other(S), S.PageInProcess(2, 8); }, 1, Left::Empty},
      {"never placed", [](ProcessSharing&) {}, 1, Left::InUse},
  };
  for (const auto& C : Cases) {
    ProcessSharing S{3, {Product}};
    C.Setup(S);
    EXPECT_EQ(S.PageClosed(C.Closed), C.Expected) << C.What;
  }
}

}  // namespace
}  // namespace vorlane::browser
