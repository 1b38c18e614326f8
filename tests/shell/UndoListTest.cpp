#include "shell/U_UndoList.h"

#include <gtest/gtest.h>

using namespace vorlane::shell;

namespace {

TUndoItem Page(int N) { return {"title " + std::to_string(N), "http://p" + std::to_string(N) + ".example/", 0}; }

}  // namespace

TEST(PageUndoList, KeepsTheNewestUpToItsCapacity) {
  TPageUndoList List;
  List.SetCapacity(20);
  for (int I = 1; I <= 21; ++I) List.Add(Page(I));
  ASSERT_EQ(List.Count(), 20);
  EXPECT_EQ(List.Items(0)->Url, "http://p21.example/");
  EXPECT_EQ(List.Items(19)->Url, "http://p2.example/");
  EXPECT_EQ(List.Items(20), nullptr);
  EXPECT_EQ(List.Items(-1), nullptr);

  List.Remove(List.Items(0));
  EXPECT_EQ(List.Count(), 19);
  List.Add(Page(22));
  EXPECT_EQ(List.Count(), 20);
  EXPECT_EQ(List.Items(19)->Url, "http://p2.example/");  // nothing dropped
}

TEST(PageUndoList, ShrinkingDropsTheOldestAndDuplicatesStay) {
  TPageUndoList List;
  List.SetCapacity(20);
  for (int I = 1; I <= 8; ++I) List.Add(Page(I));
  List.SetCapacity(5);
  ASSERT_EQ(List.Count(), 5);
  EXPECT_EQ(List.Items(4)->Url, "http://p4.example/");
  EXPECT_EQ(List.Capacity(), 5);

  TUndoItem* A = List.Add(Page(9));
  TUndoItem* B = List.Add(Page(9));
  EXPECT_NE(A, B);
  List.Remove(B);
  EXPECT_EQ(List.Items(0), A);
  EXPECT_EQ(List.Count(), 4);
  List.Remove(nullptr);  // not an entry: nothing happens
  EXPECT_EQ(List.Count(), 4);
}

TEST(PageUndoList, ClosedAtIsTodayInDaysSince1899) {
  double Now = NowAsDateTime();
  // 2020-01-01 is day 43831; the clock of any machine running this is later.
  EXPECT_GT(Now, 43831.0);
  EXPECT_LT(Now, 43831.0 + 365 * 200);
}
