#include "shell/U_PublicUnit.h"
#include "platform/Registry.h"
#include "platform/ShellFolders.h"

#include <gtest/gtest.h>

using namespace vorlane::shell;

TEST(ShowableAddress, HidesEngineResourcesAndDotlessAddressesAndStripsTheMarker) {
  struct Case { std::string In; bool Shown; std::string Out; } Cases[] = {
      {"res://ieframe.dll/navcancl.htm", false, "res://ieframe.dll/navcancl.htm"},
      {"RES://x.dll/a.htm", false, "RES://x.dll/a.htm"},
      {"rEsource.example.com", false, "rEsource.example.com"},  // the prefix is all that counts
      {"about:blank", false, "about:blank"},
      {"vorlane://nodot/?browserlink", false, "vorlane://nodot/?browserlink"},
      {"", false, ""},
      {"http://a.example/x#破之", true, "http://a.example/x"},
      {"http://a.example/#破之y#破之", true, "http://a.example/y"},
      {"http://a.example/#破之#破之#破之", true, "http://a.example/"},
      {"http://a.example/#破#之", true, "http://a.example/#破#之"},
      {"http://a.example/破之", true, "http://a.example/破之"},
      {"vorlane://home.vorlane/sea.html?ver=2.x", true, "vorlane://home.vorlane/sea.html?ver=2.x"},
  };
  for (auto& C : Cases) {
    std::string Url = C.In;
    EXPECT_EQ(ShowableAddress(Url), C.Shown) << C.In;
    EXPECT_EQ(Url, C.Out) << C.In;
  }
}

TEST(LoadState, FollowsTheProgressTable) {
  struct Case { int32_t Progress, Max, State; } Cases[] = {
      {0, 0, 4},       {5, 0, 4},        {0, 10000, 4},   {2500, 10000, 1}, {4000, 10000, 2},
      {9000, 10000, 4}, {10000, 10000, 4}, {-1, 10000, 0},  {1000, 10000, 0}, {5000, 10000, 2},
      {7500, 10000, 4}, {6000, 10000, 3}, {20000, 10000, 4}, {-5000, 10000, -2},
  };
  for (auto& C : Cases) EXPECT_EQ(LoadStateOf(C.Progress, C.Max), C.State) << C.Progress << "/" << C.Max;
}

TEST(ProductSite, BaseComesFromTheRegistryWhenSet) {
  using vorlane::platform::Registry;
  using vorlane::platform::RootKey;
  auto Dir = vorlane::platform::ShellFolders::ConfigHome() / "site-test";
  std::filesystem::remove_all(Dir);
  Registry Reg(Dir);
  EXPECT_EQ(TProductSite(Reg).StartPage(), "vorlane://home.vorlane/sea.html?ver=2.x");
  ASSERT_TRUE(Reg.WriteString(RootKey::CurrentUser, "Software\\Vorlane", "SiteUrl", ""));
  EXPECT_EQ(TProductSite(Reg).Base(), "vorlane://home.vorlane");
  ASSERT_TRUE(Reg.WriteString(RootKey::CurrentUser, "Software\\Vorlane", "SiteUrl", "http://127.0.0.1:8080/"));
  TProductSite Site(Reg);
  EXPECT_EQ(Site.StartPage(), "http://127.0.0.1:8080/sea.html?ver=2.x");
  EXPECT_EQ(Site.SearchPage("中文 a&b"), "http://127.0.0.1:8080/search.html?word=%E4%B8%AD%E6%96%87%20a%26b");
  EXPECT_EQ(Site.ProductPage(), "http://127.0.0.1:8080/?browserlink");
}
