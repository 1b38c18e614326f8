#include "framework/ActivationOrder.h"

#include <gtest/gtest.h>

using vorlane::framework::ActivationOrder;

TEST(ActivationOrder, TheMostRecentlyActiveRemainingChildTakesOver) {
  int A = 1, B = 2, C = 3;
  ActivationOrder<int> Order;
  EXPECT_EQ(Order.Active(), nullptr);
  Order.Activate(&A);
  Order.Activate(&B);
  Order.Activate(&C);
  Order.Activate(&A);  // A, C, B
  EXPECT_EQ(Order.Items(), (std::vector<int*>{&A, &C, &B}));
  EXPECT_EQ(Order.Remove(&A), &C);
  EXPECT_EQ(Order.Remove(&B), &C);  // removing an inactive one keeps the active
  EXPECT_EQ(Order.Remove(&B), &C);  // and twice does no harm
  EXPECT_EQ(Order.Remove(&C), nullptr);
  EXPECT_EQ(Order.Count(), 0u);
}
