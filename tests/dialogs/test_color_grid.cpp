// The colour grid model without a window: layout, hit test at the cell edges,
// arrow-key moves from every cell and the cell of a colour.
#include <gtest/gtest.h>
#include <cstring>
#include "dialogs/color_grid.h"

using namespace colorgrid;

namespace {
// Margin 2 (the usual edge width), texts 60 by 12 pixels.
Layout Both() { return Layout(100, 200, 2, 18, true, true, 60, 12); }
Layout NoBoxes() { return Layout(0, 0, 2, 18, false, false, 0, 0); }
}  // namespace

TEST(ColorGrid, TableIsStoredBlueGreenRedAndNamed) {
  EXPECT_EQ(kColors[1].color, 0x00002AA5u);  // #A52A00
  EXPECT_EQ(kColors[9].color, 0x002068FFu);  // #FF6820
  EXPECT_EQ(kColors[39].color, 0x00FFFFFFu);
  EXPECT_STREQ(kColors[35].name, "Pale green ");
  for (const NamedColor& c : kColors) EXPECT_GT(strlen(c.name), 0u);
}

TEST(ColorGrid, BoxSizeGrowsOnlyWhenTheMarginLeavesTooLittleColour) {
  EXPECT_EQ(BoxSize(18, 2), 18);
  EXPECT_EQ(BoxSize(18, 5), 18);   // 18 - 12 = 6
  EXPECT_EQ(BoxSize(18, 6), 19);   // 18 - 14 = 4 < 5
}

TEST(ColorGrid, LayoutWithBothBoxes) {
  Layout g = Both();
  // th = 12 + 8 + 2 = 22; the grid (184 wide) is wider than the text (64).
  EXPECT_EQ(g.AutoRect().left, 2);
  EXPECT_EQ(g.AutoRect().top, 2);
  EXPECT_EQ(g.AutoRect().right, 182);
  EXPECT_EQ(g.AutoRect().bottom, 26);
  // Cells start one margin below the automatic box.
  Rect c0 = g.CellRect(0);
  EXPECT_EQ(c0.left, 2);
  EXPECT_EQ(c0.top, 2 + 24 + 2);
  Rect c39 = g.CellRect(39);
  EXPECT_EQ(c39.left, 2 + 9 * 18);
  EXPECT_EQ(c39.bottom, 28 + 4 * 18);
  // Window: 4 rows + 2 margins, + (3m + th) per box.
  const int gridHeight = 4 * 18 + 4;
  EXPECT_EQ(g.CustomRect().top, gridHeight + 28);
  EXPECT_EQ(g.CustomRect().bottom, gridHeight + 28 + 24);
  EXPECT_EQ(g.WindowRect().left, 100);
  EXPECT_EQ(g.WindowRect().Width(), 184);
  EXPECT_EQ(g.WindowRect().Height(), gridHeight + 2 * 28);
  EXPECT_EQ(g.CellRect(kAutoCell).bottom, 26);
  EXPECT_EQ(g.CellRect(kCustomCell).top, g.CustomRect().top);
}

TEST(ColorGrid, LongTextWidensTheWindow) {
  Layout g(0, 0, 2, 18, false, true, 300, 12);
  EXPECT_EQ(g.WindowRect().Width(), 304);
  EXPECT_EQ(g.CustomRect().right, 302);
  // Without an automatic box the cells start at the margin.
  EXPECT_EQ(g.CellRect(0).top, 2);
}

TEST(ColorGrid, KeepOnScreen) {
  Layout right(1200, 10, 2, 18, false, false, 0, 0);
  right.KeepOnScreen(1280, 1024, 20);
  EXPECT_EQ(right.WindowRect().right, 1280);
  Layout left(-30, 10, 2, 18, false, false, 0, 0);
  left.KeepOnScreen(1280, 1024, 20);
  EXPECT_EQ(left.WindowRect().left, 0);
  Layout low(10, 1000, 2, 18, false, false, 0, 0);
  const int h = low.WindowRect().Height();
  low.KeepOnScreen(1280, 1024, 20);
  EXPECT_EQ(low.WindowRect().top, 1000 - h - 20);  // above the button
  EXPECT_EQ(low.WindowRect().Height(), h);
}

TEST(ColorGrid, HitTestAtCellEdges) {
  Layout g = NoBoxes();
  // Cells are tested against the point less the margin.
  EXPECT_EQ(g.HitTest(2, 2), 0);
  EXPECT_EQ(g.HitTest(2 + 17, 2 + 17), 0);
  EXPECT_EQ(g.HitTest(2 + 18, 2), 1);
  EXPECT_EQ(g.HitTest(2, 2 + 18), 10);
  EXPECT_EQ(g.HitTest(2 + 9 * 18 + 17, 2 + 3 * 18 + 17), 39);
  // Truncation toward zero puts the margin into the first column and row.
  EXPECT_EQ(g.HitTest(0, 0), 0);
  // Past the last column or row: no cell, the hot cell stays.
  EXPECT_EQ(g.HitTest(2 + 10 * 18, 2), kNoCell);
  EXPECT_EQ(g.HitTest(2, 2 + 4 * 18), kNoCell);
  EXPECT_EQ(g.HitTest(-40, 2), kNoCell);
}

TEST(ColorGrid, HitTestWithBoxes) {
  Layout g = Both();
  const Rect a = g.AutoRect(), c = g.CustomRect();
  EXPECT_EQ(g.HitTest(a.left + 2, a.top + 2), kAutoCell);
  EXPECT_EQ(g.HitTest(a.right + 1, a.bottom + 1), kAutoCell);
  EXPECT_EQ(g.HitTest(c.left + 2, c.top + 2), kCustomCell);
  EXPECT_EQ(g.HitTest(c.right + 1, c.bottom + 1), kCustomCell);
  EXPECT_NE(g.HitTest(c.right + 2, c.bottom + 2), kCustomCell);
  // Below the automatic box the rows count from its height.
  const int y0 = 2 + a.Height();
  EXPECT_EQ(g.HitTest(2, y0 + 2), 0);
  EXPECT_EQ(g.HitTest(2, y0 + 2 + 18), 10);
  EXPECT_EQ(g.HitTest(2 + 5 * 18, y0 + 2 + 3 * 18), 35);
}

TEST(ColorGrid, KeysWithBothBoxesFromEveryCell) {
  Layout g = Both();
  for (int i = 0; i < kColorCount; ++i) {
    const int row = i / 10;
    SCOPED_TRACE(i);
    EXPECT_EQ(g.Move(i, Key::Down), row < 3 ? i + 10 : kCustomCell);
    EXPECT_EQ(g.Move(i, Key::Up), row > 0 ? i - 10 : kAutoCell);
    EXPECT_EQ(g.Move(i, Key::Right), i < 39 ? i + 1 : kCustomCell);
    EXPECT_EQ(g.Move(i, Key::Left), i > 0 ? i - 1 : kAutoCell);
  }
  EXPECT_EQ(g.Move(kAutoCell, Key::Down), 0);
  EXPECT_EQ(g.Move(kAutoCell, Key::Right), 0);
  EXPECT_EQ(g.Move(kAutoCell, Key::Up), kCustomCell);
  EXPECT_EQ(g.Move(kAutoCell, Key::Left), kCustomCell);
  EXPECT_EQ(g.Move(kCustomCell, Key::Down), kAutoCell);
  EXPECT_EQ(g.Move(kCustomCell, Key::Right), kAutoCell);
  EXPECT_EQ(g.Move(kCustomCell, Key::Up), 39);
  EXPECT_EQ(g.Move(kCustomCell, Key::Left), 39);
  // No hot cell: Down and Right land on the customize box, Up and Left on the automatic box.
  EXPECT_EQ(g.Move(kNoCell, Key::Down), kCustomCell);
  EXPECT_EQ(g.Move(kNoCell, Key::Right), kCustomCell);
  EXPECT_EQ(g.Move(kNoCell, Key::Up), kAutoCell);
  EXPECT_EQ(g.Move(kNoCell, Key::Left), kAutoCell);
}

TEST(ColorGrid, KeysWithoutBoxesWrapThroughTheTable) {
  Layout g = NoBoxes();
  EXPECT_EQ(g.Move(35, Key::Down), 0);
  EXPECT_EQ(g.Move(39, Key::Right), 0);
  EXPECT_EQ(g.Move(4, Key::Up), 39);
  EXPECT_EQ(g.Move(0, Key::Left), 39);
  EXPECT_EQ(g.Move(10, Key::Left), 9);
  EXPECT_EQ(g.Move(kNoCell, Key::Down), 0);
  EXPECT_EQ(g.Move(kNoCell, Key::Up), 39);
  Layout onlyCustom(0, 0, 2, 18, false, true, 40, 12);
  EXPECT_EQ(onlyCustom.Move(kCustomCell, Key::Down), 0);
  EXPECT_EQ(onlyCustom.Move(0, Key::Up), kCustomCell);
  EXPECT_EQ(onlyCustom.Move(39, Key::Down), kCustomCell);
}

TEST(ColorGrid, ChosenCell) {
  Layout g = Both();
  EXPECT_EQ(g.ChosenCell(kAutomaticColor), kAutoCell);
  EXPECT_EQ(g.ChosenCell(0x00000000u), 0);
  EXPECT_EQ(g.ChosenCell(0x00FF0000u), 13);  // #0000FF
  EXPECT_EQ(g.ChosenCell(0x00123456u), kCustomCell);
  Layout none = NoBoxes();
  EXPECT_EQ(none.ChosenCell(0x00123456u), kNoCell);
  EXPECT_EQ(none.ChosenCell(kAutomaticColor), kNoCell);
}
