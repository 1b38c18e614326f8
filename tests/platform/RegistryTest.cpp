#include "platform/Registry.h"
#include "platform/ShellFolders.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace vorlane::platform;

namespace {

std::filesystem::path FreshConfigDir(const char* Name) {
  auto Dir = ShellFolders::ConfigHome() / Name;
  std::filesystem::remove_all(Dir);
  std::filesystem::create_directories(Dir);
  return Dir;
}

TEST(Registry, MissingEmptyAndPresentValuesStayDistinct) {
  auto Dir = FreshConfigDir("reg-distinct");
  Registry Reg(Dir);
  EXPECT_FALSE(Reg.ReadString(RootKey::CurrentUser, "Software\\Vorlane", "SiteUrl"));
  EXPECT_FALSE(Reg.KeyExists(RootKey::CurrentUser, "Software\\Vorlane"));
  ASSERT_TRUE(Reg.WriteString(RootKey::CurrentUser, "Software\\Vorlane", "Empty", ""));
  ASSERT_TRUE(Reg.WriteString(RootKey::CurrentUser, "Software\\Vorlane", "SiteUrl", "http://127.0.0.1:1"));
  EXPECT_TRUE(Reg.KeyExists(RootKey::CurrentUser, "software\\vorlane"));
  EXPECT_EQ(Reg.ReadString(RootKey::CurrentUser, "Software\\Vorlane", "Empty"), "");

  // A second reader sees the saved file; key and value names ignore case.
  Registry Again(Dir);
  EXPECT_EQ(Again.ReadString(RootKey::CurrentUser, "SOFTWARE\\vorlane\\", "siteurl"), "http://127.0.0.1:1");
  EXPECT_FALSE(Again.ReadString(RootKey::LocalMachine, "Software\\Vorlane", "SiteUrl"));
}

TEST(Registry, DefaultsAreOverriddenByTheFileAndKeepTheirPlace) {
  auto Dir = FreshConfigDir("reg-defaults");
  Registry Reg(Dir);
  EXPECT_EQ(Reg.ReadString(RootKey::LocalMachine, "Software\\Microsoft\\Internet Explorer", "Version"),
            "6.0.2900.2180");
  EXPECT_EQ(Reg.ReadString(RootKey::CurrentUser,
                           "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                           "Favorites"),
            ShellFolders::FavoritesPath().string());
  ASSERT_TRUE(Reg.WriteString(RootKey::LocalMachine, "Software\\Microsoft\\Internet Explorer", "Version", "4.72"));
  Registry Again(Dir);
  EXPECT_EQ(Again.ReadString(RootKey::LocalMachine, "Software\\Microsoft\\Internet Explorer", "Version"), "4.72");
  EXPECT_EQ(Again.ValueNames(RootKey::LocalMachine, "Software\\Microsoft\\Internet Explorer"),
            std::vector<std::string>{"Version"});
  EXPECT_TRUE(Again.DeleteValue(RootKey::LocalMachine, "Software\\Microsoft\\Internet Explorer", "Version"));
  EXPECT_EQ(Registry(Dir).ReadString(RootKey::LocalMachine, "Software\\Microsoft\\Internet Explorer", "Version"),
            "6.0.2900.2180");
}

TEST(Registry, ValuesWithQuotesBackslashesAndLineBreaksSurviveTheFile) {
  auto Dir = FreshConfigDir("reg-escapes");
  const std::string Odd = "C:\\dir \"quoted\"\nsecond line 中文";
  {
    Registry Reg(Dir);
    ASSERT_TRUE(Reg.WriteString(RootKey::CurrentUser, "Software\\Odd", "Na\"me", Odd));
  }
  EXPECT_EQ(Registry(Dir).ReadString(RootKey::CurrentUser, "Software\\Odd", "Na\"me"), Odd);
}

TEST(Registry, ParserSkipsWhatItDoesNotUnderstand) {
  auto Lines = ParseRegistryText(
      "; comment\r\n\"orphan\"=\"x\"\r\n[HKEY_CURRENT_USER\\A]\r\n"
      "garbage line\r\n\"unterminated=\"x\r\n@=\"default\"\r\n  \"n\" = \"v\"\r\n[broken\r\n\"after\"=\"y\"\r\n");
  ASSERT_EQ(Lines.size(), 2u);
  EXPECT_EQ(Lines[0].Key, "HKEY_CURRENT_USER\\A");
  EXPECT_EQ(Lines[0].Name, "");
  EXPECT_EQ(Lines[0].Value, "default");
  EXPECT_EQ(Lines[1].Name, "n");
  EXPECT_EQ(Lines[1].Value, "v");
}

TEST(Registry, UnwritableFolderReportsFailure) {
  Registry Reg("/proc/vorlane-cannot-exist");
  EXPECT_FALSE(Reg.WriteString(RootKey::CurrentUser, "Software\\Vorlane", "X", "1"));
}

TEST(ShellFolders, FollowTheEnvironmentOnEveryCall) {
  auto Saved = std::string(getenv("XDG_DATA_HOME"));
  setenv("XDG_DATA_HOME", "/tmp/vorlane-elsewhere", 1);
  EXPECT_EQ(ShellFolders::FavoritesPath(), "/tmp/vorlane-elsewhere/vorlane/Favorites");
  setenv("XDG_DATA_HOME", "relative/is/ignored", 1);
  EXPECT_EQ(ShellFolders::DataHome(), ShellFolders::Home() / ".local/share");
  setenv("XDG_DATA_HOME", Saved.c_str(), 1);
}

TEST(ShellFolders, DesktopComesFromUserDirs) {
  std::ofstream(ShellFolders::ConfigHome() / "user-dirs.dirs") << "XDG_DESKTOP_DIR=\"$HOME/桌面\"\n";
  EXPECT_EQ(ShellFolders::Path(SpecialFolder::Desktop), ShellFolders::Home() / "桌面");
  std::filesystem::remove(ShellFolders::ConfigHome() / "user-dirs.dirs");
  EXPECT_EQ(ShellFolders::Path(SpecialFolder::Desktop), ShellFolders::Home() / "Desktop");
}

}  // namespace
