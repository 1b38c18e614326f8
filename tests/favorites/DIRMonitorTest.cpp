#include "favorites/DIRMonitor.h"
#include "favorites/IntShCut.h"
#include "favorites/TreeHelpers.h"
#include "support/MainLoop.h"

#include <gtest/gtest.h>

#include <fstream>
#include <glib.h>
#include <sys/stat.h>
#include <thread>

using namespace vorlane::favorites;
using vorlane::test::PumpPending;
using vorlane::test::PumpUntil;

namespace {

class MonitorTest : public ::testing::Test {
protected:
  void SetUp() override {
    Root = vorlane::test::FreshFavorites(::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(Root / "sub/deeper");
    vorlane::test::WriteShortcut(Root, "sub/deeper/old.url", "http://old/");
  }
  void Start(const std::filesystem::path& Path = {}, TSubfolderWatches Subfolders = TSubfolderWatches::ReadyOnReturn) {
    Monitor = std::make_unique<TDIRMonitor>(
        Path.empty() ? Root : Path,
        [this](TDIRMonitor& Sender) {
          EXPECT_EQ(&Sender, Monitor.get());
          ++Calls;
          if (OnCall) OnCall();
        },
        true, Subfolders);
  }
  void ExpectEachChangeBelowReported();
  // Waits for the next callback after the current count.
  bool NextCall() {
    int Before = Calls;
    return PumpUntil([&] { return Calls > Before; });
  }

  std::filesystem::path Root;
  std::unique_ptr<TDIRMonitor> Monitor;
  int Calls = 0;
  std::function<void()> OnCall;
};

TEST(DIRMonitor, RefusesAMissingFolderOrCallback) {
  auto Root = vorlane::test::FreshFavorites("monitor-refusals");
  try {
    TDIRMonitor M(Root / "missing", [](TDIRMonitor&) {});
    FAIL();
  } catch (const std::runtime_error& E) {
    EXPECT_STREQ(E.what(), "Path does not exist");
  }
  vorlane::test::WriteBytes(Root / "file", "");
  EXPECT_THROW(TDIRMonitor(Root / "file", [](TDIRMonitor&) {}), std::runtime_error);
  try {
    TDIRMonitor M(Root, nullptr);
    FAIL();
  } catch (const std::runtime_error& E) {
    EXPECT_STREQ(E.what(), "No callback has been set");
  }
}

void MonitorTest::ExpectEachChangeBelowReported() {
  const std::function<void()> Changes[] = {
      [&] { vorlane::test::WriteShortcut(Root, "sub/deeper/new.url", "http://new/"); },          // create
      [&] { std::filesystem::rename(Root / "sub/deeper", Root / "sub/renamed"); },               // rename a folder
      [&] { WriteShortcutUrl(Root / "sub/renamed/old.url", "http://rewritten/"); },              // rewrite
      [&] { std::ofstream(Root / "sub/renamed/old.url", std::ios::app) << "X=1\r\n"; },          // append in place
      [&] { std::filesystem::create_directory(Root / "sub/renamed/fresh"); },                    // new folder
      [&] { vorlane::test::WriteShortcut(Root, "sub/renamed/fresh/inside.url", "http://in/"); },  // ... is watched
      [&] { std::filesystem::remove(Root / "sub/renamed/fresh/inside.url"); },                   // delete
  };
  int Step = 0;
  for (auto& Change : Changes) {
    Change();
    EXPECT_TRUE(NextCall()) << "change " << Step;
    ++Step;
  }
}

TEST_F(MonitorTest, ChangesAnywhereBelowGiveACallback) {
  Start();
  ExpectEachChangeBelowReported();
}

TEST_F(MonitorTest, InTheBackgroundAnEarlyDeepChangeIsReportedAndTheTreeIsWatchedAfter) {
  Start({}, TSubfolderWatches::AddedInBackground);
  // Likely before sub/deeper has its watch: the walk's end reports it if its event cannot.
  vorlane::test::WriteShortcut(Root, "sub/deeper/early.url", "http://early/");
  ASSERT_TRUE(NextCall());
  ExpectEachChangeBelowReported();
}

TEST_F(MonitorTest, InTheBackgroundStopDuringTheWalkReturnsAndCallsNothing) {
  for (int I = 0; I < 40; ++I)
    for (int J = 0; J < 50; ++J) std::filesystem::create_directories(Root / std::to_string(I) / std::to_string(J));
  Start({}, TSubfolderWatches::AddedInBackground);
  Monitor->Stop();
  EXPECT_FALSE(Monitor->Watching());
  PumpPending();
  EXPECT_EQ(Calls, 0);
}

TEST_F(MonitorTest, AttributeChangesGiveNone) {
  Start();
  ::chmod((Root / "sub/deeper/old.url").c_str(), 0600);
  ::chmod((Root / "sub").c_str(), 0750);
  // The watcher calls back as soon as it reads a change; long after that nothing has come.
  EXPECT_FALSE(PumpUntil([&] { return Calls > 0; }, std::chrono::milliseconds(500)));
  std::filesystem::create_directory(Root / "sentinel");  // and it is still watching
  EXPECT_TRUE(NextCall());
}

TEST_F(MonitorTest, ABurstGivesAtLeastOne) {
  Start();
  for (int I = 0; I < 200; ++I) vorlane::test::WriteShortcut(Root, "burst" + std::to_string(I) + ".url", "http://b/");
  EXPECT_TRUE(NextCall());
}

TEST_F(MonitorTest, AChangeMadeInsideTheCallbackIsReported) {
  Start();
  OnCall = [&] {
    if (Calls == 1) std::filesystem::create_directory(Root / "made-inside");
  };
  std::filesystem::create_directory(Root / "trigger");  // one event: one callback
  EXPECT_TRUE(PumpUntil([&] { return Calls >= 2; }));   // the second is the change made inside
}

TEST_F(MonitorTest, AWatchedFolderThatIsALinkIsFollowed) {
  auto Link = Root.parent_path() / "linked";
  std::filesystem::create_directory_symlink(Root, Link);
  Start(Link);
  vorlane::test::WriteShortcut(Root, "sub/deeper/new.url", "http://new/");
  EXPECT_TRUE(NextCall());
}

TEST_F(MonitorTest, ACallbackThatThrowsIsLoggedAndTheWatchingGoesOn) {
  Start();
  OnCall = [] { throw std::runtime_error("handler failed"); };
  ::testing::internal::CaptureStderr();
  std::filesystem::create_directory(Root / "one");
  ASSERT_TRUE(NextCall());
  EXPECT_NE(::testing::internal::GetCapturedStderr().find("handler failed"), std::string::npos);
  std::filesystem::create_directory(Root / "two");
  EXPECT_TRUE(NextCall());
}

TEST_F(MonitorTest, StopWithNothingPendingReturnsAndCallsNothing) {
  Start();
  Monitor->Stop();
  EXPECT_FALSE(Monitor->Watching());
  Monitor->Stop();  // twice is fine
  PumpPending();
  EXPECT_EQ(Calls, 0);
}

TEST_F(MonitorTest, NoCallbackAfterStopEvenWhenOneWasWaiting) {
  Start();
  vorlane::test::WriteShortcut(Root, "pending.url", "http://p/");
  // Let the watcher queue its callback on the main context, but do not run it.
  auto Deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!g_main_context_pending(nullptr) && std::chrono::steady_clock::now() < Deadline) std::this_thread::yield();
  ASSERT_TRUE(g_main_context_pending(nullptr));
  Monitor->Stop();
  PumpPending();
  EXPECT_EQ(Calls, 0);
}

TEST_F(MonitorTest, StopInsideTheCallbackEndsIt) {
  Start();
  OnCall = [&] { Monitor->Stop(); };
  vorlane::test::WriteShortcut(Root, "a.url", "http://a/");
  ASSERT_TRUE(NextCall());
  EXPECT_FALSE(Monitor->Watching());
  vorlane::test::WriteShortcut(Root, "b.url", "http://b/");
  PumpPending();
  EXPECT_EQ(Calls, 1);
}

TEST_F(MonitorTest, DeletingOrMovingTheWatchedFolderEndsTheWatchingQuietly) {
  Start();
  std::filesystem::remove_all(Root);
  EXPECT_TRUE(PumpUntil([&] { return !Monitor->Watching(); }));
  int After = Calls;
  EXPECT_LE(After, 3);
  std::filesystem::create_directories(Root);  // the same name again is a different folder
  vorlane::test::WriteShortcut(Root, "again.url", "http://again/");
  PumpPending();
  EXPECT_EQ(Calls, After);

  Start();
  std::filesystem::rename(Root, Root.parent_path() / "moved");
  EXPECT_TRUE(PumpUntil([&] { return !Monitor->Watching(); }));
}

}  // namespace
