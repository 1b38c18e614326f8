// The command-line companion, run as a separate process in the test's own home.
#include "favorites/TreeHelpers.h"
#include "platform/ShellFolders.h"

#include <gtest/gtest.h>

#include <glib.h>

using vorlane::platform::ShellFolders;

namespace {

struct CliRun {
  int Status;
  std::string Err;
};

CliRun Cli(std::vector<std::string> Args, const char* WorkingFolder = nullptr) {
  Args.insert(Args.begin(), VORLANE_FAVORITES_CLI);
  std::vector<char*> Argv;
  for (auto& A : Args) Argv.push_back(A.data());
  Argv.push_back(nullptr);
  gchar* Out = nullptr;
  gchar* Err = nullptr;
  gint Wait = 0;
  GError* Error = nullptr;
  bool Spawned = g_spawn_sync(WorkingFolder, Argv.data(), nullptr, G_SPAWN_DEFAULT, nullptr, nullptr, &Out, &Err,
                              &Wait, &Error);
  EXPECT_TRUE(Spawned) << (Error ? Error->message : "");
  if (Error) g_error_free(Error);
  CliRun R{g_spawn_check_wait_status(Wait, nullptr) ? 0 : (WIFEXITED(Wait) ? WEXITSTATUS(Wait) : -1),
        Err ? Err : ""};
  g_free(Out);
  g_free(Err);
  return R;
}

TEST(Cli, ExportsAndImportsTheUsersFavorites) {
  auto Favorites = ShellFolders::FavoritesPath();
  vorlane::test::WriteShortcut(Favorites, "News/Daily.url", "https://daily/");
  auto File = ShellFolders::Home() / "backup.htm";

  CliRun E = Cli({"export", File.string()});
  EXPECT_EQ(E.Status, 0);
  EXPECT_EQ(E.Err, "Your favorites have been exported successfully!\n");
  EXPECT_NE(vorlane::test::ReadBytes(File).find("<!-- Made with vorlane-favorites -->"), std::string::npos);

  CliRun I = Cli({"import", File.string()});  // into a folder named after the file
  EXPECT_EQ(I.Status, 0);
  EXPECT_EQ(I.Err, "Your favorites have been imported successfully!\n");
  EXPECT_EQ(vorlane::test::ReadTree(Favorites / "backup"),
            (std::map<std::string, std::string>{{"News", "<dir>"}, {"News/Daily.url", "https://daily/"}}));

  // A relative file is the working folder's.
  EXPECT_EQ(Cli({"export", "relative.htm"}, ShellFolders::Home().c_str()).Status, 0);
  EXPECT_TRUE(std::filesystem::exists(ShellFolders::Home() / "relative.htm"));

  auto Other = vorlane::test::FreshFavorites("cli-other");
  EXPECT_EQ(Cli({"import", File.string(), "--favorites", Other.string(), "--into", "Old"}).Status, 0);
  EXPECT_TRUE(std::filesystem::exists(Other / "Old/News/Daily.url"));
}

TEST(Cli, RefusalsAndFailuresExitWithOne) {
  auto Home = ShellFolders::Home();
  struct Case {
    std::vector<std::string> Args;
    std::string Err;
  } Cases[] = {
      {{"export", (Home / "x.HTM").string()},
       "The target file name extention is invalid.\nPlease change it to \"*.htm\".\n"},
      {{"export", (Home / "x.htm").string(), "--favorites", "/tmp/elsewhere"},
       "The favorites folder \"/tmp/elsewhere\" is refused: its path must contain \"Favorites\" after its first "
       "character.\n"},
      {{"import", (Home / "x.htm").string(), "--favorites", "favorites"},
       "The favorites folder \"favorites\" is refused: its path must contain \"Favorites\" after its first "
       "character.\n"},
      {{"export", (Home / "no/such/x.htm").string()}, "The target file name is invalid.\nPlease change it.\n"},
      {{"import", (Home / "missing.htm").string()},
       "The Favorite file you specified does not exist in the current path.\n"},
      {{"import", (Home / "x.htm").string(), "--into", "../up"}, "The subfolder name you specified is invalid.\n"},
      {{"import"}, ""},
      {{"copy", "x.htm"}, ""},
      {{"export", "x.htm", "--into", "y"}, ""},
      {{"export", "x.htm", "--favorites"}, ""},
  };
  vorlane::test::WriteBytes(Home / "x.htm", "<DT><A HREF=\"http://x/\">x</A>\n");
  for (const Case& C : Cases) {
    CliRun R = Cli(C.Args);
    EXPECT_EQ(R.Status, 1) << C.Args[0];
    if (C.Err.empty())
      EXPECT_EQ(R.Err.rfind("usage: vorlane-favorites", 0), 0u) << R.Err;
    else
      EXPECT_EQ(R.Err, C.Err);
  }
}

}  // namespace
