#include "favorites/IEUtils.h"
#include "favorites/IntShCut.h"
#include "favorites/ItemIdList.h"
#include "favorites/TreeHelpers.h"
#include "platform/Registry.h"
#include "platform/ShellFolders.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace vorlane::favorites;
using vorlane::platform::Registry;
using vorlane::platform::RootKey;
using vorlane::platform::ShellFolders;

namespace {

const char* const ShellFoldersKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

TEST(FavoritesFolder, ShellFormIsCreatedAndEndsWithASlash) {
  std::filesystem::remove_all(ShellFolders::FavoritesPath());
  std::string Folder = GetFavoritesFolder();
  EXPECT_EQ(Folder, ShellFolders::FavoritesPath().string() + "/");
  EXPECT_TRUE(std::filesystem::is_directory(Folder));
}

TEST(FavoritesFolder, AutoReadsTheShellFoldersValueAndNothingElseDoes) {
  auto Dir = ShellFolders::Home() / "registry-auto";
  std::filesystem::create_directories(Dir);
  Registry Reg(Dir);
  EXPECT_EQ(ResolveFavoritesPath("Auto", Reg), ShellFolders::FavoritesPath().string());  // the default
  ASSERT_TRUE(Reg.WriteString(RootKey::CurrentUser, ShellFoldersKey, "Favorites", "/srv/u/Favorites"));
  EXPECT_EQ(ResolveFavoritesPath("Auto", Reg), "/srv/u/Favorites");
  EXPECT_EQ(ResolveFavoritesPath("auto", Reg), "auto");  // exact spelling only
  EXPECT_FALSE(IsValidFavoritesPath(ResolveFavoritesPath("auto", Reg)));
  EXPECT_EQ(ResolveFavoritesPath("/x/Favorites", Reg), "/x/Favorites");
  ASSERT_TRUE(Reg.WriteString(RootKey::CurrentUser, ShellFoldersKey, "Favorites", ""));
  EXPECT_EQ(ResolveFavoritesPath("Auto", Reg), "");
  // Without an injected registry, the user's own is read.
  EXPECT_EQ(ResolveFavoritesPath("Auto"), ShellFolders::FavoritesPath().string());
}

TEST(FavoritesFolder, ConfiguredPathsNeedFavoritesAfterTheFirstCharacter) {
  struct Case {
    const char* Path;
    bool Valid;
  } Cases[] = {
      {"/home/u/Favorites", true}, {"/mnt/c/Favorites/x", true}, {"xFavorites", true},
      {"Favorites", false},        {"Favorites/x", false},      {"/home/u/favorites", false},
      {"/home/u/收藏夹", false},   {"", false},                 {"/FAVORITES", false},
  };
  for (const Case& C : Cases) EXPECT_EQ(IsValidFavoritesPath(C.Path), C.Valid) << C.Path;
}

TEST(FavoritesFolder, ListingShowsVisibleFoldersThenShortcutsInNameOrder) {
  auto Root = vorlane::test::FreshFavorites("listing");
  for (const char* D : {"b", "A", ".hidden", "dir.url", "C"}) std::filesystem::create_directory(Root / D);
  for (const char* F : {"z.url", "Y.URL", ".secret.url", "notes.txt", "a.b.url", "url"})
    vorlane::test::WriteShortcut(Root, F, "http://x/");
  std::filesystem::create_directory_symlink(Root, Root / "loop");           // never followed
  std::filesystem::create_symlink(Root / "z.url", Root / "linked.url");     // a linked file counts
  std::filesystem::create_symlink("/dev/zero", Root / "zero.url");          // a device does not
  ASSERT_EQ(::mkfifo((Root / "fifo.url").c_str(), 0600), 0);                 // nor does a FIFO
  auto L = ListFavoritesFolder(Root);
  EXPECT_EQ(L.Folders, (std::vector<std::string>{"A", "b", "C", "dir.url"}));
  EXPECT_EQ(L.Shortcuts, (std::vector<std::string>{".secret.url", "a.b.url", "linked.url", "Y.URL", "z.url"}));
  EXPECT_TRUE(ListFavoritesFolder(Root / "missing").Folders.empty());
}

TEST(FavoritesFolder, ListingRemovesTemporariesThatKilledWritersLeftBehind) {
  auto Root = vorlane::test::FreshFavorites("leftovers");
  struct Case {
    const char* Name;
    int AgeSeconds;
    bool Kept;
    bool Held = false;  // its writer still has it open and locked
  } Cases[] = {
      {".vorlane-0badc0de", 120, false},
      {".vorlane-12345678", 5, true, true},  // still being written
      {".vorlane-87654321", 5, false},       // its writer was killed a moment ago
      {".vorlane-0BADC0DE", 120, true},      // not a name of ours
      {".vorlane-0badc0d", 120, true},
      {".vorlane-0badc0de.url", 120, true},
  };
  std::vector<int> Writers;
  for (const Case& C : Cases) {
    vorlane::test::WriteBytes(Root / C.Name, "[InternetShortcut]\r\n");
    std::filesystem::last_write_time(
        Root / C.Name, std::filesystem::file_time_type::clock::now() - std::chrono::seconds(C.AgeSeconds));
    if (!C.Held) continue;
    Writers.push_back(::open((Root / C.Name).c_str(), O_RDONLY | O_CLOEXEC));
    ASSERT_EQ(::flock(Writers.back(), LOCK_EX), 0);
  }
  ListFavoritesFolder(Root);
  for (int Fd : Writers) ::close(Fd);
  for (const Case& C : Cases) EXPECT_EQ(std::filesystem::exists(Root / C.Name), C.Kept) << C.Name;
}

TEST(FavoritesFolder, TitlesDropOnlyTheShortcutExtension) {
  struct Case {
    const char* File;
    const char* Title;
  } Cases[] = {{"a.b.url", "a.b"}, {"Example.URL", "Example"}, {"..url", "."}, {".url", ""},
               {"readme.txt", "readme.txt"}, {"中文.url", "中文"}, {"url", "url"}};
  for (const Case& C : Cases) EXPECT_EQ(FavoriteTitle(C.File), C.Title) << C.File;
}

TEST(FavoritesFolder, EngineVersionGateLooksAtTheFirstCharacter) {
  auto Dir = ShellFolders::Home() / "registry-version";
  std::filesystem::create_directories(Dir);
  Registry Reg(Dir);
  EXPECT_TRUE(IsIE5OrLater(Reg));  // the built-in default lets import and export show
  struct Case {
    const char* Version;
    bool Later;
  } Cases[] = {{"6.0.2900.2180", true}, {"5.00.3700.1000", true}, {"4.72.3110.0", false},
               {"10.0", false}, {"9", true}, {"", false}, {"v6", false}, {" 6", false}};
  for (const Case& C : Cases) {
    ASSERT_TRUE(Reg.WriteString(RootKey::LocalMachine, "Software\\Microsoft\\Internet Explorer", "Version", C.Version));
    EXPECT_EQ(IsIE5OrLater(Reg), C.Later) << C.Version;
  }
}

TEST(Shortcuts, ReadingInBothModesAndWritingKeepsOtherKeys) {
  auto Root = vorlane::test::FreshFavorites("shortcuts");
  auto File = Root / "a.url";
  vorlane::test::WriteBytes(File, "[InternetShortcut]\r\nURL=   http://a/   \r\nIconIndex=0\r\nShowCommand=7\r\n");
  EXPECT_EQ(ReadShortcutUrl(File, TResolveUrl::IniFile, "no path"), "http://a/");
  EXPECT_EQ(ReadShortcutUrl(File, TResolveUrl::IntShCut), "http://a/");
  EXPECT_EQ(ReadShortcutUrl(Root / "missing.url", TResolveUrl::IniFile, "no path"), "no path");
  EXPECT_EQ(ReadShortcutUrl(Root / "missing.url", TResolveUrl::IntShCut, "ignored"), "");

  WriteShortcutUrl(File, "https://b/");
  EXPECT_EQ(vorlane::test::ReadBytes(File), "[InternetShortcut]\r\nURL=https://b/\r\nIconIndex=0\r\nShowCommand=7\r\n");
  WriteShortcutUrl(Root / "new.url", "http://n/");
  EXPECT_EQ(vorlane::test::ReadBytes(Root / "new.url"), "[InternetShortcut]\r\nURL=http://n/\r\n");

  try {
    WriteShortcutUrl(Root / "no-such-folder" / "x.url", "http://x/");
    FAIL() << "expected a write error";
  } catch (const EShortcutWriteError& E) {
    EXPECT_EQ(std::string(E.what()), "Unable to write to " + (Root / "no-such-folder" / "x.url").string());
  }
}

// Item-ID lists: {3, 0, 'a'} {4, 0, 'b', 'c'} terminator.
const std::uint8_t TwoItems[] = {3, 0, 'a', 4, 0, 'b', 'c', 0, 0};
const std::uint8_t OneItem[] = {5, 0, 'x', 'y', 'z', 0, 0};
const std::uint8_t Empty[] = {0, 0};

TEST(ItemIdList, SizesWalksAndCopies) {
  EXPECT_EQ(PidlSize(TwoItems), sizeof TwoItems);
  EXPECT_EQ(PidlSize(Empty), 2u);
  EXPECT_EQ(PidlSize(nullptr), 0u);
  EXPECT_EQ(NextPidlItem(TwoItems), TwoItems + 3);
  EXPECT_EQ(NextPidlItem(NextPidlItem(TwoItems)), TwoItems + 7);
  // A damaged count of 1 ends the list instead of walking forever.
  const std::uint8_t Damaged[] = {3, 0, 'a', 1, 0, 9, 9};
  EXPECT_EQ(PidlSize(Damaged), 5u);

  PidlPtr Copy = CopyPidl(TwoItems);
  ASSERT_TRUE(Copy);
  EXPECT_EQ(0, std::memcmp(Copy.get(), TwoItems, sizeof TwoItems));
  EXPECT_FALSE(CopyPidl(nullptr));
  FreePidl(Copy);
  EXPECT_FALSE(Copy);

  PidlPtr Zeroed = AllocPidl(8);
  ASSERT_TRUE(Zeroed);
  EXPECT_EQ(PidlSize(Zeroed.get()), 2u);
}

TEST(ItemIdList, ConcatenationAndStripping) {
  PidlPtr Both = ConcatPidls(TwoItems, OneItem);
  const std::uint8_t Expected[] = {3, 0, 'a', 4, 0, 'b', 'c', 5, 0, 'x', 'y', 'z', 0, 0};
  ASSERT_EQ(PidlSize(Both.get()), sizeof Expected);
  EXPECT_EQ(0, std::memcmp(Both.get(), Expected, sizeof Expected));

  PidlPtr Second = ConcatPidls(nullptr, OneItem);  // a null first list counts as empty
  EXPECT_EQ(0, std::memcmp(Second.get(), OneItem, sizeof OneItem));

  StripLastPidlItem(Both.get());
  EXPECT_EQ(PidlSize(Both.get()), sizeof TwoItems);
  EXPECT_EQ(0, std::memcmp(Both.get(), TwoItems, sizeof TwoItems - 2));
  StripLastPidlItem(Both.get());
  StripLastPidlItem(Both.get());
  StripLastPidlItem(Both.get());  // empty stays empty
  EXPECT_EQ(PidlSize(Both.get()), 2u);
  StripLastPidlItem(nullptr);
}

}  // namespace
