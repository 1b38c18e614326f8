// The real program meeting what a user's machine does to its files: killed at any moment,
// and each file it keeps damaged before a start.
#include "RunningVorlane.h"
#include "platform/KeptFiles.h"
#include "platform/SessionFile.h"
#include "platform/SqliteDb.h"
#include "support/FileText.h"
#include "support/LoopbackServer.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <functional>
#include <random>

namespace {

namespace fs = std::filesystem;
using Vorlane = vorlane::test::RunningVorlane;

struct KeptFile {
  fs::path Path;
  const char* What;  // as the message names it
  bool Database;     // SQLite takes an empty file as a new database
};

std::vector<KeptFile> KeptFiles(const fs::path& Home) {
  const fs::path Data = Home / ".local/share/vorlane";
  return {{Home / ".config/vorlane/registry.reg", "设置和输入过的网址", false},
          {Data / "cookies.sqlite", "Cookie 和网站登录", true},
          {Data / "history.sqlite", "历史记录和下载记录", true},
          {Data / "session", "上次打开的网页", false}};
}

bool SetAside(const fs::path& File) {
  std::error_code Ec;
  for (auto& E : fs::directory_iterator(File.parent_path(), Ec))
    if (E.path().filename().string().rfind(File.filename().string() + ".damaged-", 0) == 0) return true;
  return false;
}

size_t Count(const std::string& Text, const std::string& Part) {
  size_t N = 0;
  for (size_t At = Text.find(Part); At != std::string::npos; At = Text.find(Part, At + 1)) ++N;
  return N;
}

TEST(Endurance, EachKeptFileDamagedBeforeAStartIsSetAsideAndSaidOnce) {
  struct Damage {
    const char* Name;
    std::function<void(const fs::path&)> Make;
    bool ForDatabases;
  };
  const std::string Random = [] {
    std::string Bytes(64 * 1024, '\0');
    unsigned Seed = 11;
    for (char& C : Bytes) C = static_cast<char>((Seed = Seed * 1103515245 + 12345) >> 16);
    return Bytes;
  }();
  const std::vector<Damage> Damages{
      {"random bytes", [&](auto& F) { std::ofstream(F, std::ios::binary) << Random; }, true},
      {"empty", [](auto& F) { std::ofstream(F, std::ios::binary); }, false},
      {"a folder", [](auto& F) { fs::create_directories(F / "x"); }, true},
      {"100 MB", [](auto& F) {
         std::ofstream(F, std::ios::binary) << "; Vorlane registry\n";
         fs::resize_file(F, 100u << 20);  // sparse: costs no disk, and is never read
       }, false}};
  for (auto& D : Damages) {
    SCOPED_TRACE(D.Name);
    vorlane::test::TempHome Home;
    std::vector<KeptFile> Damaged;
    for (auto& K : KeptFiles(Home.Path())) {
      if (K.Database && !D.ForDatabases) continue;
      fs::create_directories(K.Path.parent_path());
      D.Make(K.Path);
      Damaged.push_back(K);
    }
    Vorlane Run({}, {}, true);
    ASSERT_TRUE(Run.WaitForOutput("start page loaded")) << Run.Output();
    EXPECT_EQ(Count(Run.Output(), "下列数据的文件已损坏"), 1u) << Run.Output();
    for (auto& K : Damaged) {
      EXPECT_TRUE(SetAside(K.Path)) << K.Path;
      EXPECT_NE(Run.Output().find(K.What), std::string::npos) << K.What;
    }
  }
}

// Kills per run: a handful on every test run; the bench sets VORLANE_ENDURANCE_KILLS=30.
constexpr int DefaultKills = 4;

int Kills() {
  const char* Set = std::getenv("VORLANE_ENDURANCE_KILLS");
  return Set ? std::max(1, std::atoi(Set)) : DefaultKills;
}

// What a kill may cost is the last moment's work, never a file: each kept file is whole.
void ExpectKeptFilesWhole(const fs::path& Home) {
  for (auto& K : KeptFiles(Home)) {
    SCOPED_TRACE(K.Path.filename().string());
    std::error_code Ec;
    if (!fs::exists(K.Path, Ec)) continue;
    EXPECT_FALSE(SetAside(K.Path));
    if (K.Database) {
      vorlane::platform::SqliteDb Db;
      ASSERT_EQ(Db.Open(K.Path), 0);
      auto Check = Db.Prepare("PRAGMA integrity_check");
      ASSERT_TRUE(Check.Step());
      EXPECT_EQ(Check.Text(0), "ok");
    } else if (K.Path.filename() == "session") {
      EXPECT_TRUE(vorlane::platform::DecodeSession(vorlane::test::FileText(K.Path)));
    } else {
      const fs::path Copy = fs::path(K.Path) += ".check";
      fs::copy_file(K.Path, Copy, fs::copy_options::overwrite_existing);
      EXPECT_FALSE(vorlane::platform::SetAsideUnreadableRegistry(Copy));
      fs::remove(Copy, Ec);
    }
  }
}

TEST(Endurance, KilledAtAnyMomentWhileWorkingEveryKeptFileStaysWhole) {
  vorlane::test::TempHome Home;
  vorlane::test::LoopbackServer Server;
  // Each page sets a login and goes on to the next after 50 ms: history, cookies and the
  // session are written all the time.
  Server.Serve("/walk.html",
               "<title>walk</title><script>const n=+(location.search.slice(1)||0);"
               "document.cookie='c'+(n%20)+'='+n+'; max-age=86400; path=/';"
               "setTimeout(()=>location.replace('/walk.html?'+(n+1)),50);</script>");
  Server.Serve("/big.bin", std::string(32u << 20, 'b'), "application/octet-stream");
  const unsigned Seed = std::random_device{}();
  std::mt19937 Random(Seed);
  SCOPED_TRACE("seed " + std::to_string(Seed));
  for (int Kill = 0; Kill < Kills(); ++Kill) {
    SCOPED_TRACE("kill " + std::to_string(Kill));
    {
      Vorlane Run({Server.Url("/walk.html"), Server.Url("/big.bin")});
      ASSERT_TRUE(Run.WaitForOutput("start page loaded")) << Run.Output();
      const auto Until = std::chrono::steady_clock::now() +
                         std::chrono::milliseconds(std::uniform_int_distribution<int>(0, 2000)(Random));
      vorlane::test::PumpUntil([&] { return std::chrono::steady_clock::now() >= Until; }, std::chrono::seconds(5));
      Run.End(SIGKILL);
    }
    ExpectKeptFilesWhole(Home.Path());
  }
  // And the next start is an ordinary one.
  Vorlane Run({}, {}, true);
  ASSERT_TRUE(Run.WaitForOutput("start page loaded")) << Run.Output();
  EXPECT_EQ(Run.Output().find("已损坏"), std::string::npos) << Run.Output();
}

}  // namespace
