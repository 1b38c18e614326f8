// Test main for tests without a display.
#include "support/TempHome.h"
#include "support/TestLocale.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
  vorlane::test::TempHome Home;
  testing::InitGoogleMock(&argc, argv);
  if (!vorlane::test::TestLocaleAvailable()) return 1;
  return RUN_ALL_TESTS();
}
