// The real program meeting what a user's machine does to its files: killed at any moment,
// and each file it keeps damaged before a start.
#include "RunningVorlane.h"
#include "platform/IniFile.h"
#include "platform/KeptFiles.h"
#include "platform/SessionFile.h"
#include "platform/SqliteDb.h"
#include "support/FileText.h"
#include "support/LoopbackServer.h"
#include "support/TempHome.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <sys/resource.h>

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

// Temporary files our writers make beside what they keep, and the downloads' part files.
bool IsTemporary(const std::string& Name) {
  return Name.find(".tmp-") != std::string::npos || Name.ends_with(".tmp") || Name.ends_with(".part") ||
         vorlane::platform::IsReplaceTemporaryName(Name);
}

// Temporary files written before Since that are still there (WebKit's cache is its own).
std::vector<fs::path> TemporariesOlderThan(const fs::path& Home, fs::file_time_type Since) {
  std::vector<fs::path> Old;
  std::error_code Ec;
  for (auto It = fs::recursive_directory_iterator(Home, Ec); !Ec && It != fs::recursive_directory_iterator();
       It.increment(Ec)) {
    if (It->path().filename() == ".cache") It.disable_recursion_pending();
    if (IsTemporary(It->path().filename().string()) && It->last_write_time(Ec) < Since) Old.push_back(It->path());
  }
  return Old;
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
  std::error_code Ec;
  for (auto It = fs::recursive_directory_iterator(Home / ".local/share/vorlane/Favorites", Ec);
       !Ec && It != fs::recursive_directory_iterator(); It.increment(Ec)) {
    if (It->path().extension() != ".url") continue;
    const std::string Text = vorlane::test::FileText(It->path());
    EXPECT_TRUE(Text.ends_with("\r\n") && vorlane::platform::IniFile::ReadString(It->path(), "InternetShortcut", "URL"))
        << It->path() << ": " << Text;
  }
}

TEST(Endurance, KilledAtAnyMomentWhileWorkingEveryKeptFileStaysWhole) {
  std::signal(SIGPIPE, SIG_IGN);  // a command sent as the program dies
  vorlane::test::TempHome Home;
  vorlane::test::LoopbackServer Server;
  // Each page sets a login and goes on to the next after 50 ms: history, cookies and the
  // session are written all the time.
  Server.Serve("/walk.html",
               "<title>walk</title><script>const n=+(location.search.slice(1)||0);"
               "document.cookie='c'+(n%20)+'='+n+'; max-age=86400; path=/';"
               "setTimeout(()=>location.replace('/walk.html?'+(n+1)),50);</script>");
  Server.Serve("/big.bin", std::string(8u << 20, 'b'), "application/octet-stream");
  const unsigned Seed = std::random_device{}();
  std::mt19937 Random(Seed);
  SCOPED_TRACE("seed " + std::to_string(Seed));
  auto Wait = [](int Ms) {
    const auto Until = std::chrono::steady_clock::now() + std::chrono::milliseconds(Ms);
    vorlane::test::PumpUntil([&] { return std::chrono::steady_clock::now() >= Until; }, std::chrono::seconds(5));
  };
  auto LeftBehind = [&](fs::file_time_type Since) {
    std::string Names;
    for (auto& P : TemporariesOlderThan(Home.Path(), Since)) Names += P.string() + " ";
    return Names;
  };
  for (int Kill = 0; Kill < Kills(); ++Kill) {
    SCOPED_TRACE("kill " + std::to_string(Kill));
    {
      const auto Started = fs::file_time_type::clock::now();
      Vorlane Run({Server.Url("/walk.html"), Server.Url("/big.bin")}, {{"VORLANE_COMMANDS", "1"}});
      ASSERT_TRUE(Run.WaitForOutput("start page loaded")) << Run.Output();
      // What the last kill left half written is gone once this run is under way.
      EXPECT_EQ(LeftBehind(Started), "");
      // A favorite and an option are saved at some moment before the kill, or during it.
      const int Before = std::uniform_int_distribution<int>(0, 1500)(Random);
      Wait(Before);
      Run.Send("favorite walk " + std::to_string(Kill) + "\t" + Server.Url("/walk.html?") + std::to_string(Kill));
      Run.Send("option ConfirmCloseAll " + std::to_string(Kill % 2));
      Wait(std::uniform_int_distribution<int>(0, 500)(Random));
      Run.End(SIGKILL);
    }
    ExpectKeptFilesWhole(Home.Path());
  }
  // And the next start is an ordinary one, that leaves nothing of the earlier ones behind.
  const auto Started = fs::file_time_type::clock::now();
  Vorlane Run({}, {}, true);
  ASSERT_TRUE(Run.WaitForOutput("start page loaded")) << Run.Output();
  EXPECT_EQ(Run.Output().find("已损坏"), std::string::npos) << Run.Output();
  EXPECT_EQ(LeftBehind(Started), "");
  EXPECT_TRUE(fs::exists(Home.Path() / ".local/share/vorlane/Favorites/walk 0.url") ||
              fs::exists(Home.Path() / ".local/share/vorlane/Favorites/walk 1.url"));
}

// Files of this size and larger cannot be written: a disk with no room left.
constexpr rlim_t FullDisk = 1;

void IgnoreFileSizeSignal(void*) {
  std::signal(SIGXFSZ, SIG_IGN);  // writes beyond the limit fail with EFBIG instead of ending the program
}

// The program and every process it started.
std::vector<pid_t> ProcessTree(pid_t Root) {
  std::vector<pid_t> Tree{Root};
  for (size_t I = 0; I < Tree.size(); ++I) {
    std::error_code Ec;
    for (auto& Task : fs::directory_iterator("/proc/" + std::to_string(Tree[I]) + "/task", Ec)) {
      std::istringstream Children(vorlane::test::FileText(Task.path() / "children"));
      for (pid_t Child; Children >> Child;) Tree.push_back(Child);
    }
  }
  return Tree;
}

// Sets the file-size limit of the processes that write what the browser keeps: the program
// (history, session, settings) and WebKit's network process (cookies, downloads). Not of
// the web processes, nor at the program's start: WebKit hands data to the processes it
// starts in memory files (memfd), which a full disk leaves alone but the limit does not.
void LimitFileSize(pid_t Program, rlim_t Size) {
  const rlimit Limit{Size, RLIM_INFINITY};
  for (pid_t Pid : ProcessTree(Program)) {
    const std::string Name = vorlane::test::FileText("/proc/" + std::to_string(Pid) + "/comm");
    if (Pid == Program || Name.starts_with("WebKitNetwork")) {
      EXPECT_EQ(prlimit(Pid, RLIMIT_FSIZE, &Limit, nullptr), 0) << Name;
    }
  }
}

bool CookieStoreHolds(const fs::path& Home, const std::string& Name) {
  const fs::path Folder = Home / ".local/share/vorlane";
  return vorlane::test::PumpUntil([&] {
    for (const char* File : {"cookies.sqlite", "cookies.sqlite-wal"})
      if (vorlane::test::FileText(Folder / File).find(Name) != std::string::npos) return true;
    return false;
  }, std::chrono::seconds(30));
}

TEST(Endurance, OnAFullDiskTheBrowserSaysSoOnceKeepsWhatItHadAndSavesAgainWhenThereIsRoom) {
  vorlane::test::TempHome Home;
  vorlane::test::LoopbackServer Server;
  Server.Serve("/before.html", "<title>before</title><script>document.cookie='before=1; max-age=86400';</script>");
  // A page that sets a login on each step, and starts a download on its fifteenth.
  Server.Serve("/walk.html",
               "<title>walk</title><script>const n=+(location.search.slice(1)||0);"
               "document.cookie='during'+n+'=1; max-age=86400';"
               "if(n==15){const a=document.createElement('a');a.href='/big.bin';a.download='big.bin';"
               "document.documentElement.append(a);a.click();}"
               "setTimeout(()=>location.replace('/walk.html?'+(n+1)),200);</script>");
  Server.Serve("/big.bin", std::string(4u << 20, 'b'), "application/octet-stream");
  const fs::path Session = Home.Path() / ".local/share/vorlane/session";
  const fs::path History = Home.Path() / ".local/share/vorlane/history.sqlite";
  {
    Vorlane Before({Server.Url("/before.html")});
    ASSERT_TRUE(Before.WaitForOutput("start page loaded")) << Before.Output();
    ASSERT_TRUE(CookieStoreHolds(Home.Path(), "before"));
    ASSERT_TRUE(vorlane::test::PumpUntil(
        [&] { return vorlane::test::FileText(Session).find("before.html") != std::string::npos; },
        std::chrono::seconds(30)));
    Before.End(SIGKILL);
  }
  auto Visits = [&](const std::string& Page) {
    vorlane::platform::SqliteDb Db;
    if (Db.Open(History) != 0) return int64_t{-1};
    auto Count = Db.Prepare("SELECT count(*) FROM visits WHERE url LIKE ?1");
    Count.Bind(1, "%" + Page + "%");
    return Count.Step() ? Count.Int(0) : int64_t{-1};
  };
  ASSERT_GT(Visits("before.html"), 0);

  Vorlane Run({Server.Url("/walk.html")}, {}, true, &IgnoreFileSizeSignal);
  ASSERT_TRUE(Run.WaitForOutput("start page loaded")) << Run.Output();
  LimitFileSize(Run.Pid(), FullDisk);
  ASSERT_TRUE(Run.WaitForOutput("无法保存")) << Run.Output();
  const std::string SessionKept = vorlane::test::FileText(Session);
  const int64_t VisitsKept = Visits("walk.html");
  // Pages go on loading (the download came and went), and nothing more is said about it.
  ASSERT_TRUE(Run.WaitForOutput("walk.html?20")) << Run.Output();
  EXPECT_EQ(Server.RequestCount("/big.bin"), 1);
  EXPECT_EQ(Count(Run.Output(), "无法保存"), 1u) << Run.Output();
  EXPECT_EQ(vorlane::test::FileText(Session), SessionKept);
  EXPECT_EQ(Visits("walk.html"), VisitsKept);
  EXPECT_GT(Visits("before.html"), 0);
  EXPECT_TRUE(CookieStoreHolds(Home.Path(), "before"));

  // Room again: what the pages do now is saved, without a restart.
  LimitFileSize(Run.Pid(), RLIM_INFINITY);
  EXPECT_TRUE(vorlane::test::PumpUntil([&] { return Visits("walk.html") > VisitsKept; }, std::chrono::seconds(30)));
  EXPECT_TRUE(vorlane::test::PumpUntil([&] { return vorlane::test::FileText(Session) != SessionKept; },
                                       std::chrono::seconds(30)));
  EXPECT_TRUE(CookieStoreHolds(Home.Path(), "during30"));
  EXPECT_EQ(Count(Run.Output(), "无法保存"), 1u) << Run.Output();
  ExpectKeptFilesWhole(Home.Path());
}

}  // namespace
