#include "platform/ProfileLock.h"
#include "platform/ShellFolders.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

using vorlane::platform::TProfileLock;

TEST(ProfileLock, OnlyTheFirstLiveRunIsSoleAndTheLockGoesWithIt) {
  const auto File = vorlane::platform::ShellFolders::DataHome() / "profile-lock-test" / "lock";
  std::filesystem::remove_all(File.parent_path());
  auto First = std::make_unique<TProfileLock>(File);
  EXPECT_TRUE(First->Sole());
  EXPECT_FALSE(TProfileLock(File).Sole());  // a run beside it
  First.reset();
  EXPECT_TRUE(TProfileLock(File).Sole());  // after it ended
}

}  // namespace
