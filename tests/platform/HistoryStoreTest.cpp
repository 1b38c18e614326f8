// The history store and the History folder on a temporary database with a clock the
// test sets.
#include "platform/HistoryFolder.h"
#include "platform/HistoryPeriods.h"
#include "platform/DownloadRecords.h"
#include "platform/HistoryStore.h"
#include "platform/SaveTrouble.h"

#include <sqlite3.h>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <functional>
#include <sys/resource.h>

namespace vorlane::platform {
namespace {

using Clock = std::chrono::system_clock;

// Central European time, with its daylight-saving rules spelled out so no zone database
// is needed: summer time starts on the last Sunday of March at 02:00.
constexpr const char* Berlin = "CET-1CEST,M3.5.0,M10.5.0/3";

Clock::time_point Local(int Y, int M, int D, int H, int Min = 0) {
  std::tm T{};
  T.tm_year = Y - 1900;
  T.tm_mon = M - 1;
  T.tm_mday = D;
  T.tm_hour = H;
  T.tm_min = Min;
  T.tm_isdst = -1;
  return Clock::from_time_t(std::mktime(&T));
}

std::vector<std::string> Names(const std::vector<THistoryItem>& Items) {
  std::vector<std::string> Out;
  for (auto& I : Items) Out.push_back(I.DisplayName);
  return Out;
}

class HistoryStoreTest : public ::testing::Test {
protected:
  void SetUp() override {
    setenv("TZ", Berlin, 1);
    tzset();
    Dir = std::filesystem::temp_directory_path() / ("vorlane-history-" + std::to_string(::getpid()) + "-" +
                                                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(Dir);
    std::filesystem::create_directories(Dir);
    File = Dir / "history.sqlite";
  }
  void TearDown() override { std::filesystem::remove_all(Dir); }

  std::unique_ptr<THistoryStore> Open() {
    return std::make_unique<THistoryStore>(File, [this] { return Now; });
  }
  std::vector<THistoryItem> List(THistoryStore& Store, const THistoryPath& Path) {
    auto Folder = THistoryFolder::Bind(Store, Path);
    if (!Folder) return {};
    auto Items = Folder->EnumObjects();
    std::sort(Items.begin(), Items.end(),
              [&](auto& A, auto& B) { return Folder->CompareIDs(A, B) < 0; });
    return Items;
  }

  std::filesystem::path Dir, File;
  Clock::time_point Now = Local(2026, 4, 1, 12);  // a Wednesday
};

TEST(HistoryPeriods, NamesFollowTheWeek) {
  struct Case {
    const char* What;
    int64_t Today;
    int64_t Oldest;
    std::vector<std::string> Names;
  };
  const int64_t Monday = 20549;  // 2026-04-06
  ASSERT_EQ(WeekdayOf(Monday), 0);
  const Case Cases[] = {
      {"Monday: yesterday belongs to last week", Monday, Monday - 1, {"上周", "今天"}},
      {"Sunday: the whole week by weekday", Monday + 6, Monday,
       {"星期一", "星期二", "星期三", "星期四", "星期五", "星期六", "今天"}},
      {"20 days back from a Tuesday", Monday + 1, Monday + 1 - 20,
       {"3 周之前", "2 周之前", "上周", "星期一", "今天"}},
      {"only today", Monday + 3, Monday + 3, {"今天"}},
  };
  for (const Case& C : Cases) {
    std::vector<std::string> Got;
    for (auto& P : HistoryPeriods(C.Today, C.Oldest)) Got.push_back(P.Name);
    EXPECT_EQ(Got, C.Names) << C.What;
  }
}

TEST_F(HistoryStoreTest, TheNextDayStartsAtLocalMidnightAlsoWhenTheClockChanges) {
  using std::chrono::hours;
  using std::chrono::minutes;
  struct Case {
    Clock::time_point Time;
    std::chrono::milliseconds Left;
  } Cases[] = {
      {Local(2026, 4, 1, 12), hours(12)},
      {Local(2026, 4, 1, 23, 59), minutes(1)},
      {Local(2026, 3, 29, 0), hours(23)},   // summer time starts
      {Local(2026, 10, 25, 0), hours(25)},  // and ends
  };
  for (auto& C : Cases) EXPECT_EQ(UntilNextDay(C.Time), C.Left);
}

TEST_F(HistoryStoreTest, DaysFollowTheLocalCalendarAcrossMidnightAndSummerTime) {
  // Summer time began on Sunday 2026-03-29 at 02:00.
  EXPECT_EQ(LocalDayOf(Local(2026, 3, 29, 0, 30)), LocalDayOf(Local(2026, 3, 29, 23, 30)));
  EXPECT_EQ(LocalDayOf(Local(2026, 3, 28, 23, 59)) + 1, LocalDayOf(Local(2026, 3, 29, 0, 0)));
  EXPECT_EQ(WeekdayOf(LocalDayOf(Local(2026, 3, 29, 23, 30))), 6);

  auto Store = Open();
  Now = Local(2026, 3, 29, 23, 30);  // Sunday night
  Store->AddVisit("http://a.example/", "A");
  Now = Local(2026, 3, 30, 0, 10);  // Monday, just after midnight
  Store->AddVisit("http://b.example/", "B");
  auto Periods = List(*Store, {});
  ASSERT_EQ(Names(Periods), (std::vector<std::string>{"上周", "今天"}));
  EXPECT_EQ(Names(List(*Store, {Periods[0].Id})), std::vector<std::string>{"a.example"});
  EXPECT_EQ(Names(List(*Store, {Periods[1].Id})), std::vector<std::string>{"b.example"});
}

TEST_F(HistoryStoreTest, LevelsGroupByPeriodSiteAndPage) {
  auto Store = Open();
  Now = Local(2026, 3, 30, 9);  // Monday
  Store->AddVisit("http://www.example.com/a", "Page A");
  Store->AddVisit("file:///home/u/notes.html", "");
  Now = Local(2026, 4, 1, 9);
  int64_t First = Store->AddVisit("https://www.example.com/b", "");
  Store->SetVisitTitle(First, "Old B");
  Store->AddVisit("https://www.example.com/b", "");  // the title has not arrived yet
  Store->AddVisit("https://www.example.com/c", "Ccc");
  Store->AddVisit("vorlane://home.vorlane/sea.html?ver=2.x", "Vorlane 首页");
  EXPECT_EQ(Store->AddVisit("about:blank", "x"), 0);
  EXPECT_EQ(Store->AddVisit("data:text/html,x", "x"), 0);

  auto Periods = List(*Store, {});
  ASSERT_EQ(Names(Periods), (std::vector<std::string>{"星期一", "今天"}));
  EXPECT_EQ(Names(List(*Store, {Periods[0].Id})), (std::vector<std::string>{"www.example.com", "我的电脑"}));
  auto Sites = List(*Store, {Periods[1].Id});
  ASSERT_EQ(Names(Sites), (std::vector<std::string>{"home.vorlane", "www.example.com"}));
  // Repeated visits show once; a page without a title is named by its address.
  auto Pages = List(*Store, {Periods[1].Id, Sites[1].Id});
  ASSERT_EQ(Names(Pages), (std::vector<std::string>{"Ccc", "Old B"}));
  EXPECT_TRUE(IsFolderItem(Sites[1]));
  EXPECT_FALSE(IsFolderItem(Pages[0]));
  EXPECT_EQ(ItemInfoTip(Pages[1]), "Old B\nhttps://www.example.com/b");
  EXPECT_EQ(ItemInfoTipTail(Pages[1]), "https://www.example.com/b");
  auto Local = List(*Store, {Periods[0].Id, "s:"});
  EXPECT_EQ(Names(Local), std::vector<std::string>{"file:///home/u/notes.html"});
  EXPECT_FALSE(THistoryFolder::Bind(*Store, {"x"}));

  auto Recent = Store->RecentPages(8);
  ASSERT_EQ(Recent.size(), 5u);
  EXPECT_EQ(Recent[0].Url, "vorlane://home.vorlane/sea.html?ver=2.x");
  EXPECT_EQ(Recent[2].Title, "Old B");
  EXPECT_EQ(Store->SuggestAddresses("www.ex", 10),
            (std::vector<std::string>{"https://www.example.com/c", "https://www.example.com/b",
                                      "http://www.example.com/a"}));
  EXPECT_EQ(Store->SuggestAddresses("https://www.example.com/", 1),
            std::vector<std::string>{"https://www.example.com/c"});
  EXPECT_TRUE(Store->SuggestAddresses("%", 10).empty());
}

TEST_F(HistoryStoreTest, SuggestionsOfACommonPrefixComeNewestFirstToo) {
  auto Store = Open();
  for (int I = 0; I < 1200; ++I) {
    Now += std::chrono::seconds(1);
    Store->AddVisit("http://busy.example/" + std::to_string(I % 3), "");
  }
  Store->AddVisit("http://busy.example/1", "");
  EXPECT_EQ(Store->SuggestAddresses("http://busy", 2),
            (std::vector<std::string>{"http://busy.example/1", "http://busy.example/2"}));
  EXPECT_EQ(Store->SuggestAddresses("BUSY", 5).size(), 3u);
}

TEST_F(HistoryStoreTest, TitlesAreCleanedAndTheAddressComesFromTheRow) {
  auto Store = Open();
  int64_t Visit = Store->AddVisit("http://a.example/real", "");
  Store->SetVisitTitle(Visit, "Evil\nhttp://evil.example/\x01");
  auto Periods = List(*Store, {});
  auto Sites = List(*Store, {Periods[0].Id});
  auto Pages = List(*Store, {Periods[0].Id, Sites[0].Id});
  ASSERT_EQ(Pages.size(), 1u);
  EXPECT_EQ(Pages[0].DisplayName, "Evil http://evil.example/");
  EXPECT_EQ(ItemInfoTipTail(Pages[0]), "http://a.example/real");

  std::string Long(5000, 'x');
  EXPECT_EQ(THistoryStore::CleanTitle(Long).size(), THistoryStore::MaxTitleLength);
  EXPECT_EQ(THistoryStore::CleanTitle("中\t文\x7f"), "中 文");
}

TEST_F(HistoryStoreTest, AFailedLoadLeavesNoTrace) {
  auto Store = Open();
  int64_t Visit = Store->AddVisit("http://gone.example/", "");
  ASSERT_GT(Visit, 0);
  Store->RemoveVisit(Visit);
  EXPECT_TRUE(List(*Store, {}).empty());
  EXPECT_TRUE(Store->RecentPages(8).empty());
}

TEST_F(HistoryStoreTest, VisitsOlderThanTwentyDaysGoAtStart) {
  {
    auto Store = Open();
    Now = Local(2026, 3, 1, 12);
    Store->AddVisit("http://old.example/", "old");
    Now = Local(2026, 3, 15, 12);
    Store->AddVisit("http://kept.example/", "kept");
  }
  Now = Local(2026, 4, 1, 12);
  auto Store = Open();
  auto Recent = Store->RecentPages(8);
  ASSERT_EQ(Recent.size(), 1u);
  EXPECT_EQ(Recent[0].Url, "http://kept.example/");
  auto Periods = List(*Store, {});
  ASSERT_EQ(Periods.size(), 1u);
  EXPECT_EQ(Names(List(*Store, {Periods[0].Id})), std::vector<std::string>{"kept.example"});
}

TEST_F(HistoryStoreTest, ACorruptFileIsSetAsideAndANewOneWorks) {
  std::ofstream(File, std::ios::binary) << std::string(8192, 'Z');
  auto Store = Open();
  ASSERT_TRUE(Store->IsAvailable());
  ASSERT_TRUE(Store->SetAside());
  EXPECT_TRUE(Store->SetAside()->filename().string().starts_with("history.sqlite.damaged-"));
  int Told = 0;
  Store->Database()->OnSetAside([&](auto&) { ++Told; });
  EXPECT_EQ(Told, 1);
  EXPECT_TRUE(std::filesystem::exists(*Store->SetAside()));
  EXPECT_EQ(std::filesystem::file_size(*Store->SetAside()), 8192u);
  EXPECT_GT(Store->AddVisit("http://a.example/", "A"), 0);
  EXPECT_EQ(Store->RecentPages(8).size(), 1u);
}

TEST_F(HistoryStoreTest, AnUnreachableFileGivesAnEmptyHistory) {
  std::filesystem::create_directories(File);  // a folder where the file should be
  auto Store = Open();
  EXPECT_FALSE(Store->IsAvailable());
  EXPECT_FALSE(Store->SetAside());
  EXPECT_EQ(Store->AddVisit("http://a.example/", "A"), 0);
  Store->SetVisitTitle(1, "x");
  EXPECT_TRUE(List(*Store, {}).empty());
  EXPECT_TRUE(Store->SuggestAddresses("http", 5).empty());
}

// A disk with no room: files of this process cannot grow while it lives.
struct FullDisk {
  FullDisk() {
    std::signal(SIGXFSZ, SIG_IGN);  // writes fail with EFBIG instead of ending the test
    getrlimit(RLIMIT_FSIZE, &Old);
    rlimit Full = Old;
    Full.rlim_cur = 1;
    setrlimit(RLIMIT_FSIZE, &Full);
  }
  ~FullDisk() { setrlimit(RLIMIT_FSIZE, &Old); }
  rlimit Old{};
};

TEST_F(HistoryStoreTest, AFileThatCouldNotBeOpenedAtStartIsTriedAgainAndRecordingResumes) {
  std::unique_ptr<FullDisk> Disk;
  struct Case {
    const char* Name;
    std::function<void()> Block, Unblock;
  } Cases[] = {
      {"a full disk", [&] { Disk = std::make_unique<FullDisk>(); }, [&] { Disk.reset(); }},
      {"a file where its folder should be", [&] { std::ofstream(Dir / "in-the-way"); },
       [&] { std::filesystem::remove(Dir / "in-the-way"); }},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    File = Dir / "in-the-way" / "history.sqlite";
    TSaveTrouble Trouble;
    C.Block();
    auto Store = std::make_unique<THistoryStore>(File, [this] { return Now; }, &Trouble);
    TDownloadRecords Downloads(Store->Database());
    EXPECT_EQ(Store->AddVisit("http://a.example/", "A"), 0);
    EXPECT_TRUE(Trouble.Troubled());
    C.Unblock();
    Now += THistoryDatabase::ReopenInterval;
    EXPECT_GT(Store->AddVisit("http://b.example/", "B"), 0);
    EXPECT_GT(Downloads.Add({0, "http://b.example/f.zip", "/tmp/f.zip"}), 0);
    ASSERT_EQ(Store->RecentPages(5).size(), 1u);
    EXPECT_EQ(Downloads.Load().size(), 1u);
    EXPECT_FALSE(Trouble.Troubled());
    Store.reset();
    std::filesystem::remove_all(Dir / "in-the-way");
  }
}

// What another program (or a broken disk) does to the file under the store's feet: the
// pages after the first become garbage, and a write by a second connection makes the
// store read them again.
void DamagePages(const std::filesystem::path& File) {
  SqliteDb Other;
  ASSERT_EQ(Other.Open(File), SQLITE_OK);
  ASSERT_EQ(Other.Exec("PRAGMA wal_checkpoint(TRUNCATE);"), SQLITE_OK);
  {
    std::fstream F(File, std::ios::binary | std::ios::in | std::ios::out);
    F.seekp(4096);
    F << std::string(std::filesystem::file_size(File) - 4096, '\xa5');
  }
  ASSERT_EQ(Other.Exec("PRAGMA user_version = 7;"), SQLITE_OK);
}

int64_t BusyTimeout(THistoryDatabase& Db) {
  auto Q = Db.Db().Prepare("PRAGMA busy_timeout");
  return Q.Step() ? Q.Int(0) : -1;
}

TEST_F(HistoryStoreTest, AFileDamagedWhileInUseIsSetAsideOnceAndRecordingGoesOn) {
  auto Store = Open();
  TDownloadRecords Downloads(Store->Database());
  int Told = 0;
  Store->Database()->OnSetAside([&](auto&) { ++Told; });
  int64_t Stale = Store->AddVisit("http://before.example/", "before");
  for (int I = 0; I < 40; ++I) Store->AddVisit("http://a.example/" + std::to_string(I), "a");
  ASSERT_GT(Downloads.Add({0, "http://a.example/f.zip", "/tmp/f.zip"}), 0);
  for (int Round = 0; Round < 2; ++Round) {
    SCOPED_TRACE(Round);
    DamagePages(File);
    // The write that finds the damage still lands, in a fresh file.
    EXPECT_GT(Store->AddVisit("http://after.example/", "after"), 0);
    ASSERT_TRUE(Store->SetAside());
    EXPECT_TRUE(Store->SetAside()->filename().string().starts_with("history.sqlite.damaged-"));
    EXPECT_TRUE(std::filesystem::exists(*Store->SetAside()));
    EXPECT_EQ(Told, 1);  // once per run
    EXPECT_EQ(BusyTimeout(*Store->Database()), THistoryStore::BusyTimeoutMs);
    ASSERT_EQ(Store->RecentPages(50).size(), 1u);
    EXPECT_EQ(Store->RecentPages(50)[0].Url, "http://after.example/");
    // The downloads list lives in the fresh file too.
    EXPECT_GT(Downloads.Add({0, "http://a.example/g.zip", "/tmp/g.zip"}), 0);
    EXPECT_EQ(Downloads.Load().size(), 1u);
  }
  // A visit of the file set aside names nothing in the fresh one.
  Store->SetVisitTitle(Stale, "wrong");
  EXPECT_EQ(Store->RecentPages(5)[0].Title, "after");
}

TEST_F(HistoryStoreTest, ALockedFileIsWaitedForThenSkippedButNeverSetAside) {
  auto Store = Open();
  EXPECT_EQ(BusyTimeout(*Store->Database()), THistoryStore::BusyTimeoutMs);
  SqliteDb Other;
  ASSERT_EQ(Other.Open(File), SQLITE_OK);
  ASSERT_EQ(Other.Exec("BEGIN IMMEDIATE;"), SQLITE_OK);
  EXPECT_EQ(Store->AddVisit("http://a.example/", "A"), 0);
  EXPECT_FALSE(Store->SetAside());
  ASSERT_EQ(Other.Exec("COMMIT;"), SQLITE_OK);
  EXPECT_GT(Store->AddVisit("http://a.example/", "A"), 0);
  EXPECT_EQ(Store->RecentPages(5).size(), 1u);
}

TEST_F(HistoryStoreTest, OverlongAndDataAddressesAreNotRecorded) {
  const std::string Query = "http://a.example/?q=";
  struct Case {
    std::string Url;
    bool Kept;
  } Cases[] = {
      {Query + std::string(THistoryStore::MaxUrlLength - Query.size(), 'x'), true},
      {Query + std::string(THistoryStore::MaxUrlLength - Query.size() + 1, 'x'), false},
      {"data:text/html,<p>hi</p>", false},
      {"DATA:text/plain,x", false},
  };
  auto Store = Open();
  for (auto& C : Cases) {
    SCOPED_TRACE(C.Url.substr(0, 30));
    EXPECT_EQ(THistoryStore::IsRecordable(C.Url), C.Kept);
    EXPECT_EQ(Store->AddVisit(C.Url, "t") > 0, C.Kept);
  }
}

TEST_F(HistoryStoreTest, VisitsStampedInTheFutureNeitherLeadNorStay) {
  const auto Today = Now;
  {
    auto Store = Open();
    Now = Today + std::chrono::hours(24 * 300);  // the clock ran ahead, then was put right
    Store->AddVisit("http://ahead.example/", "ahead");
    Now = Today;
    Store->AddVisit("http://now.example/", "now");
    EXPECT_EQ(Store->RecentPages(5)[0].Url, "http://now.example/");
    auto Periods = List(*Store, {});
    EXPECT_EQ(Names(Periods), std::vector<std::string>{"今天"});
    Now = Today + std::chrono::hours(24 * 300);
    Store->AddVisit("http://ahead-again.example/", "ahead");
  }
  Now = Today + std::chrono::hours(1);
  auto Store = Open();
  std::vector<std::string> Urls;
  for (auto& P : Store->RecentPages(5)) Urls.push_back(P.Url);
  EXPECT_EQ(Urls, (std::vector<std::string>{"http://now.example/", "http://ahead.example/"}));
  EXPECT_EQ(Names(List(*Store, {})), std::vector<std::string>{"今天"});
}

}  // namespace
}  // namespace vorlane::platform
