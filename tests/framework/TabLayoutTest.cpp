#include "framework/TabLayout.h"
#include "framework/ActivationOrder.h"

#include <gtest/gtest.h>

using vorlane::framework::TabLayout;

TEST(TabLayout, RowsAndPlacesOfFixedTabs) {
  EXPECT_EQ(TabLayout::TabsPerRow(800), 6);
  EXPECT_EQ(TabLayout::TabsPerRow(119), 1);  // never fewer than one a row
  EXPECT_EQ(TabLayout::TabsPerRow(0), 1);
  EXPECT_EQ(TabLayout::RowCount(0, 800), 1);
  EXPECT_EQ(TabLayout::RowCount(6, 800), 1);
  EXPECT_EQ(TabLayout::RowCount(7, 800), 2);
  EXPECT_EQ(TabLayout::RowCount(14, 800), 3);
  EXPECT_EQ(TabLayout::HeightFor(1), 22);
  EXPECT_EQ(TabLayout::HeightFor(3), 66);
  auto R = TabLayout::RectOf(7, 800);
  EXPECT_EQ(R.X, 120);
  EXPECT_EQ(R.Y, 22);
  EXPECT_EQ(R.Width, 120);
  EXPECT_EQ(R.Height, 20);
}

TEST(TabLayout, ADraggedTabLandsOnTheNearestPlace) {
  // 800 pixels: six tabs a row; 8 tabs make two rows.
  const struct {
    double X, Y;
    int Expected;
  } Rows[] = {
      {5, 5, 0},       {250, 5, 2},     {250, 21, 2},  // the gap under a row belongs to it
      {130, 30, 7},    {600, 30, 7},                  // past the last tab: the last place
      {-40, -10, 0},   {790, 5, 5},     {5, 500, 6},  // outside the strip: the nearest row's place
  };
  for (const auto& R : Rows) EXPECT_EQ(TabLayout::DropIndexAt(R.X, R.Y, 8, 800), R.Expected) << R.X << "," << R.Y;
  EXPECT_EQ(TabLayout::DropIndexAt(5, 5, 0, 800), -1);
}

TEST(TabLayout, HitTestingMissesGapsAndEmptyPlaces) {
  EXPECT_EQ(TabLayout::IndexAt(5, 5, 3, 800), 0);
  EXPECT_EQ(TabLayout::IndexAt(125, 5, 3, 800), 1);
  EXPECT_EQ(TabLayout::IndexAt(125, 21, 3, 800), -1);  // the 2-pixel gap under a row
  EXPECT_EQ(TabLayout::IndexAt(365, 5, 3, 800), -1);   // right of the last tab
  EXPECT_EQ(TabLayout::IndexAt(725, 5, 20, 800), -1);  // beyond the last whole column
  EXPECT_EQ(TabLayout::IndexAt(5, 23, 7, 800), 6);
  EXPECT_EQ(TabLayout::IndexAt(-1, 5, 3, 800), -1);
}
