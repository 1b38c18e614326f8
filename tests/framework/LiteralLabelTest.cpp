#include "framework/LiteralLabel.h"

#include <gtest/gtest.h>

namespace vorlane::framework {
namespace {

TEST(LiteralLabel, ShowsPageTextAsItIsOnOneLine) {
  struct Case { std::string In, Label, MenuLabel; } Cases[] = {
      {"测试_页面 one_two", "测试_页面 one_two", "测试__页面 one__two"},
      {"<b>&amp;</b>", "<b>&amp;</b>", "<b>&amp;</b>"},
      {"a\nb\r\tc\x7f" "d", "a b  c d", "a b  c d"},
      {"x\u2028y\u2029z\u0085w", "x y z w", "x y z w"},
      {std::string("nul\0in", 6), "nul in", "nul in"},
      {"\xff\xfe_gbk", "\xef\xbf\xbd\xef\xbf\xbd_gbk", "\xef\xbf\xbd\xef\xbf\xbd__gbk"},
  };
  for (const auto& C : Cases) {
    EXPECT_EQ(LiteralLabel(C.In), C.Label) << C.In;
    EXPECT_EQ(LiteralMenuLabel(C.In), C.MenuLabel) << C.In;
  }
}

}  // namespace
}  // namespace vorlane::framework
