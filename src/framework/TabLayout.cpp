#include "framework/TabLayout.h"

#include <algorithm>

namespace vorlane::framework {

int TabLayout::TabsPerRow(int StripWidth) { return std::max(1, StripWidth / TabWidth); }

int TabLayout::RowCount(int Count, int StripWidth) {
  if (Count <= 0) return 1;
  int PerRow = TabsPerRow(StripWidth);
  return (Count + PerRow - 1) / PerRow;
}

TabRect TabLayout::RectOf(int Index, int StripWidth) {
  int PerRow = TabsPerRow(StripWidth);
  return {(Index % PerRow) * TabWidth, (Index / PerRow) * RowHeight, TabWidth, TabHeight};
}

int TabLayout::IndexAt(double X, double Y, int Count, int StripWidth) {
  if (X < 0 || Y < 0) return -1;
  int PerRow = TabsPerRow(StripWidth);
  int Column = static_cast<int>(X) / TabWidth;
  int Row = static_cast<int>(Y) / RowHeight;
  if (Column >= PerRow || static_cast<int>(Y) - Row * RowHeight >= TabHeight) return -1;
  int Index = Row * PerRow + Column;
  return Index < Count ? Index : -1;
}

int TabLayout::DropIndexAt(double X, double Y, int Count, int StripWidth) {
  if (Count <= 0) return -1;
  int PerRow = TabsPerRow(StripWidth);
  int Column = std::clamp(static_cast<int>(std::max(X, 0.0)) / TabWidth, 0, PerRow - 1);
  int Row = std::clamp(static_cast<int>(std::max(Y, 0.0)) / RowHeight, 0, RowCount(Count, StripWidth) - 1);
  return std::min(Row * PerRow + Column, Count - 1);
}

}  // namespace vorlane::framework
