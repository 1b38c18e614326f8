#pragma once
// Geometry of the multi-row tab strip: fixed-size tabs laid out left to right, row after
// row, each row tab height + 2 pixels high. Pure arithmetic, testable without a display.

namespace vorlane::framework {

struct TabRect {
  int X, Y, Width, Height;
};

class TabLayout {
public:
  static constexpr int TabWidth = 120;
  static constexpr int TabHeight = 20;
  static constexpr int RowHeight = TabHeight + 2;

  static int TabsPerRow(int StripWidth);
  // Rows needed for Count tabs; 1 when there are none (the strip keeps one row's room).
  static int RowCount(int Count, int StripWidth);
  static TabRect RectOf(int Index, int StripWidth);
  // Index of the tab under (X, Y), or -1.
  static int IndexAt(double X, double Y, int Count, int StripWidth);
  // Where a tab dragged to (X, Y) goes among Count tabs: the place under the point, the
  // nearest one in the strip's rows when the point is in a gap, past a row's end or
  // outside the strip; the last place beyond the last tab.
  static int DropIndexAt(double X, double Y, int Count, int StripWidth);
  // Strip height for a row count: rows × tab height + rows × 2.
  static int HeightFor(int Rows) { return Rows * TabHeight + Rows * 2; }
};

}  // namespace vorlane::framework
