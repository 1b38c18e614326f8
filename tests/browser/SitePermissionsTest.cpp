// The answers remembered per site, the bars' texts and the windows held back.
#include "browser/PageQuestions.h"
#include "browser/SitePermissions.h"
#include "platform/Registry.h"
#include "platform/ShellFolders.h"

#include <gtest/gtest.h>

namespace vorlane::browser {
namespace {

TEST(SitePermissions, ASiteIsTheOriginOfThePage) {
  const std::pair<const char*, const char*> Cases[] = {
      {"https://Example.COM/path?q=1#x", "https://example.com"},
      {"https://example.com:443/", "https://example.com"},  // the scheme's own port
      {"http://example.com:8080/a", "http://example.com:8080"},
      {"http://127.0.0.1:1234/", "http://127.0.0.1:1234"},
      {"file:///tmp/a.html", ""},
      {"about:blank", ""},
      {"not an address", ""},
  };
  for (auto [Url, Site] : Cases) EXPECT_EQ(SiteOfPage(Url), Site) << Url;
}

TEST(SitePermissions, AnswersAreKeptPerSiteAndQuestionAcrossReaders) {
  platform::Registry Registry(platform::ShellFolders::ConfigHome());
  TSitePermissions Sites(Registry);
  EXPECT_EQ(Sites.Decision(SiteQuestion::Popups, "https://a.test/x"), SiteDecision::Ask);
  ASSERT_TRUE(Sites.Remember(SiteQuestion::Popups, "https://a.test/x", SiteDecision::Allow));
  ASSERT_TRUE(Sites.Remember(SiteQuestion::Geolocation, "https://a.test/y", SiteDecision::Deny));
  // Another reader of the same file writes meanwhile: neither undoes the other.
  platform::Registry Other(platform::ShellFolders::ConfigHome());
  ASSERT_TRUE(Other.WriteString(platform::RootKey::CurrentUser, "Software\\Vorlane", "RestoreLastPages", "1"));
  ASSERT_TRUE(Sites.Remember(SiteQuestion::Notifications, "https://a.test/", SiteDecision::Allow));

  platform::Registry Again(platform::ShellFolders::ConfigHome());
  TSitePermissions Reread(Again);
  EXPECT_EQ(Reread.Decision(SiteQuestion::Popups, "https://a.test/other"), SiteDecision::Allow);
  EXPECT_EQ(Reread.Decision(SiteQuestion::Popups, "http://a.test/"), SiteDecision::Ask);  // another origin
  EXPECT_EQ(Reread.Decision(SiteQuestion::Geolocation, "https://a.test/"), SiteDecision::Deny);
  EXPECT_EQ(Reread.Decision(SiteQuestion::Notifications, "https://a.test/"), SiteDecision::Allow);
  EXPECT_EQ(Again.ReadString(platform::RootKey::CurrentUser, "Software\\Vorlane", "RestoreLastPages"), "1");
  EXPECT_FALSE(Reread.Remember(SiteQuestion::Popups, "about:blank", SiteDecision::Allow));
}

TEST(PageQuestions, TheBarsSayWhoWantsWhat) {
  EXPECT_EQ(PermissionQuestion(PagePermission::Geolocation, "a.test"), "a.test 想要使用您的位置信息");
  EXPECT_EQ(PermissionQuestion(PagePermission::Notifications, "a.test"), "a.test 想要显示通知");
  EXPECT_EQ(PermissionQuestion(PagePermission::CameraAndMicrophone, "a.test"), "a.test 想要使用您的摄像头和麦克风");
  EXPECT_EQ(PermissionQuestion(PagePermission::ReadClipboard, "a.test"), "a.test 想要读取剪贴板");
  EXPECT_EQ(SiteForDisplay("https://a.test:8443/x"), "a.test");
}

TEST(PageQuestions, ABurstOfPopupsIsOneBarThatCountsAndKeepsTheLastFive) {
  TPopupsHeldBack Held;
  EXPECT_EQ(Held.BarText(), "已阻止此网站打开的弹出窗口");
  EXPECT_TRUE(Held.Hold("u1"));
  EXPECT_EQ(Held.BarText(), "已阻止此网站打开的弹出窗口");
  for (int I = 2; I <= 7; ++I) EXPECT_FALSE(Held.Hold("u" + std::to_string(I)));
  EXPECT_EQ(Held.BarText(), "已阻止此网站打开的弹出窗口（7 个）");
  EXPECT_EQ(Held.TakeAll(), (std::vector<std::string>{"u3", "u4", "u5", "u6", "u7"}));
  EXPECT_TRUE(Held.Hold("u8"));  // a new bar after the last was answered
}

}  // namespace
}  // namespace vorlane::browser
