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
  void Start() {
    Monitor = std::make_unique<TDIRMonitor>(Root, [this](TDIRMonitor& Sender) {
      EXPECT_EQ(&Sender, Monitor.get());
      ++Calls;
      if (OnCall) OnCall();
    });
  }
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

TEST_F(MonitorTest, ChangesAnywhereBelowGiveACallback) {
  Start();
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

TEST_F(MonitorTest, AttributeChangesGiveNone) {
  Start();
  // Each sentinel folder is one change and so, with attributes ignored, one callback.
  // Had the chmod been reported, it would most likely have come in a batch of its own.
  ::chmod((Root / "sub/deeper/old.url").c_str(), 0600);
  ::chmod((Root / "sub").c_str(), 0750);
  std::filesystem::create_directory(Root / "sentinel1");
  ASSERT_TRUE(NextCall());
  std::filesystem::create_directory(Root / "sentinel2");
  ASSERT_TRUE(NextCall());
  EXPECT_EQ(Calls, 2);
}

TEST_F(MonitorTest, ABurstGivesAtLeastOneAndChangesDuringACallbackAreNotLost) {
  Start();
  bool ChangedInside = false;
  OnCall = [&] {
    if (ChangedInside) return;
    ChangedInside = true;
    vorlane::test::WriteShortcut(Root, "during-callback.url", "http://during/");
  };
  for (int I = 0; I < 200; ++I) vorlane::test::WriteShortcut(Root, "burst" + std::to_string(I) + ".url", "http://b/");
  ASSERT_TRUE(NextCall());
  EXPECT_TRUE(PumpUntil([&] { return Calls >= 2; }));
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
