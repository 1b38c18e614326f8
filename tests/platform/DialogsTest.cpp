#include "platform/Dialogs.h"

#include <gtest/gtest.h>

using namespace vorlane::platform;

TEST(Dialogs, FilterNotationSplitsIntoNamesAndPatterns) {
  auto F = ParseFileFilter("Html文件(*.htm,*.html)|*.htm;*.html|所有文件(*.*)|*.*");
  ASSERT_EQ(F.size(), 2u);
  EXPECT_EQ(F[0].Name, "Html文件(*.htm,*.html)");
  EXPECT_EQ(F[0].Patterns, (std::vector<std::string>{"*.htm", "*.html"}));
  EXPECT_EQ(F[1].Patterns, (std::vector<std::string>{"*.*"}));
  EXPECT_TRUE(ParseFileFilter("").empty());
  EXPECT_TRUE(ParseFileFilter("name without patterns").empty());
}
