// Test main for tests without a display.
#include "support/TempHome.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
  vorlane::test::TempHome Home;
  testing::InitGoogleMock(&argc, argv);
  return RUN_ALL_TESTS();
}
