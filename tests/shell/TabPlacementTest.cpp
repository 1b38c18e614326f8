#include "shell/TabPlacement.h"

#include <gtest/gtest.h>

namespace vorlane::shell {
namespace {

TEST(TabPlacement, PagesOpenedFromOnePageLineUpInOrderRightOfIt) {
  const int OpenerTab = 0, OtherTab = 0;
  const void* Op = &OpenerTab;
  const void* Other = &OtherTab;
  struct Case {
    const char* Why;
    std::vector<const void*> Openers;  // each tab's opener
    int OpenerIndex;
    int Expected;
  } Cases[] = {
      {"the first goes right of its opener", {nullptr, nullptr}, 0, 1},
      {"later ones after those opened before", {nullptr, Op, Op, nullptr}, 0, 3},
      {"its pages moved away no longer count", {nullptr, nullptr, Op}, 0, 1},
      {"another page's tab ends the run", {nullptr, Other, Op}, 0, 1},
      {"a run that reaches the end", {nullptr, nullptr, Op, Op}, 1, 4},
      {"the last tab opening its first", {nullptr, nullptr}, 1, 2},
  };
  for (const Case& C : Cases) EXPECT_EQ(RelatedTabPosition(C.Openers, Op, C.OpenerIndex), C.Expected) << C.Why;
}

}  // namespace
}  // namespace vorlane::shell
