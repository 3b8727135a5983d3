#include "pallomir/grid/tests/FakeGrid.h"

#include <gtest/gtest.h>

using gridtest::FakeGrid;
using gridtest::RecordingDC;

TEST(GridGeometryTest, CellsMapToPixels) {
    FakeGrid grid(20, 6, 1, 1);
    CRect rect;
    ASSERT_TRUE(grid.GetCellRect(0, 0, &rect));
    EXPECT_EQ(rect, CRect(0, 0, 98, 19));
    ASSERT_TRUE(grid.GetCellRect(2, 3, &rect));
    EXPECT_EQ(rect, CRect(3 * 98, 2 * 19, 4 * 98, 3 * 19));
    EXPECT_TRUE(grid.GetCellRangeRect(CCellRange(1, 1, 2, 2), &rect));
    EXPECT_EQ(rect, CRect(98, 19, 3 * 98, 3 * 19));

    EXPECT_EQ(grid.GetCellFromPt(CPoint(100, 20)), CCellID(1, 1));
    EXPECT_EQ(grid.GetCellFromPt(CPoint(97, 18)), CCellID(0, 0));
    EXPECT_EQ(grid.GetCellFromPt(CPoint(97, 18), FALSE), CCellID(-1, -1));
    EXPECT_EQ(grid.GetCellFromPt(CPoint(-1, 5)), CCellID(-1, -1));
    EXPECT_EQ(grid.GetPointClicked(2, 3, CPoint(300, 40)), CPoint(300 - 294, 2));

    // Scrolled by two rows, row 1 is out of sight.
    grid.OnVScroll(SB_LINEDOWN, 0);
    grid.OnVScroll(SB_LINEDOWN, 0);
    EXPECT_EQ(grid.GetScrollPos32(SB_VERT), 38);
    EXPECT_EQ(grid.GetTopleftNonFixedCell(), CCellID(3, 1));
    EXPECT_FALSE(grid.GetCellRect(1, 1, &rect));
    EXPECT_FALSE(grid.IsCellVisible(2, 1));
    EXPECT_TRUE(grid.IsCellVisible(3, 1));
    EXPECT_EQ(grid.GetCellFromPt(CPoint(100, 20)), CCellID(3, 1));
}

TEST(GridGeometryTest, ScrollBarsOnlyWhenTheCellsDoNotFit) {
    FakeGrid small(3, 3, 1, 1);
    EXPECT_FALSE(small.IsVisibleVScroll());
    EXPECT_FALSE(small.IsVisibleHScroll());
    // Beyond the last column there is no column.
    EXPECT_EQ(small.GetCellFromPt(CPoint(3 * 98 + 5, 25)), CCellID(1, -1));
    EXPECT_EQ(small.GetVisibleNonFixedCellRange(), CCellRange(1, 1, 2, 2));

    FakeGrid large(40, 6, 1, 1);
    EXPECT_TRUE(large.IsVisibleVScroll());
    EXPECT_TRUE(large.IsVisibleHScroll());
    // Range less page: the non-fixed height less what is shown of it.
    const int shownHeight = 300 - 16 - 19;
    EXPECT_EQ(large.GetScrollLimit(SB_VERT), 39 * 19 - shownHeight);
    large.SetScrollPos32(SB_VERT, 100000);
    EXPECT_EQ(large.GetScrollPos32(SB_VERT), large.GetScrollLimit(SB_VERT));

    CRect covered;
    const CCellRange visible = large.GetVisibleNonFixedCellRange(&covered);
    EXPECT_EQ(covered.right, 400 - 16);
    // At the bottom the last rows end above the scroll bar.
    EXPECT_EQ(covered.bottom, 19 + 13 * 19);
    EXPECT_EQ(visible.GetMaxRow(), 39);
    // Column 3 is cut by the scroll bar.
    EXPECT_EQ(visible.GetMaxCol(), 3);
    EXPECT_EQ(large.GetUnobstructedNonFixedCellRange().GetMaxCol(), 2);
}

TEST(GridGeometryTest, ScrollingSkipsHiddenRowsAndStopsAtTheEnds) {
    FakeGrid grid(40, 2, 1, 0);
    grid.SetRowHeight(1, 0);
    grid.OnVScroll(SB_LINEDOWN, 0);
    // Row 1 is hidden: one line is row 2.
    EXPECT_EQ(grid.GetScrollPos32(SB_VERT), 19);
    EXPECT_EQ(grid.GetTopleftNonFixedCell(), CCellID(3, 0));
    grid.OnVScroll(SB_LINEUP, 0);
    grid.OnVScroll(SB_LINEUP, 0);
    EXPECT_EQ(grid.GetScrollPos32(SB_VERT), 0);
    grid.OnVScroll(SB_PAGEDOWN, 0);
    EXPECT_EQ(grid.GetScrollPos32(SB_VERT), 300 - 19);
    grid.OnVScroll(SB_BOTTOM, 0);
    EXPECT_EQ(grid.GetScrollPos32(SB_VERT), grid.GetScrollLimit(SB_VERT));
    grid.OnVScroll(SB_LINEDOWN, 0);
    EXPECT_EQ(grid.GetScrollPos32(SB_VERT), grid.GetScrollLimit(SB_VERT));
    grid.OnVScroll(SB_THUMBTRACK, 57);
    EXPECT_EQ(grid.GetScrollPos32(SB_VERT), 57);
    grid.OnVScroll(SB_TOP, 0);
    EXPECT_EQ(grid.GetScrollPos32(SB_VERT), 0);
}

TEST(GridGeometryTest, OneWheelNotchScrollsThreeLines) {
    FakeGrid grid(60, 2, 1, 0);
    for (int i = 0; i < 10; ++i)
        grid.OnVScroll(SB_LINEDOWN, 0);
    ASSERT_EQ(grid.GetScrollPos32(SB_VERT), 190);
    // Away from the user: up.
    grid.OnMouseWheel(0, WHEEL_DELTA, CPoint());
    EXPECT_EQ(grid.GetScrollPos32(SB_VERT), 190 - 3 * 19);
    grid.OnMouseWheel(0, -2 * WHEEL_DELTA, CPoint());
    EXPECT_EQ(grid.GetScrollPos32(SB_VERT), 190 + 3 * 19);
    // Page scrolling.
    grid.SetWheelScrollLines(-1);
    grid.OnVScroll(SB_BOTTOM, 0);
    const int bottom = grid.GetScrollPos32(SB_VERT);
    grid.OnMouseWheel(0, WHEEL_DELTA, CPoint());
    EXPECT_EQ(grid.GetScrollPos32(SB_VERT), bottom - (300 - 19));
}

TEST(GridGeometryTest, EnsureVisibleScrollsToTheCellAndStopsAtTheScrollMaximum) {
    FakeGrid grid(30, 8, 1, 1);
    grid.EnsureVisible(20, 6);
    CRect rect;
    ASSERT_TRUE(grid.GetCellRect(20, 6, &rect));
    EXPECT_LE(rect.bottom, 300 - 16);
    EXPECT_LE(rect.right, 400 - 16);
    grid.EnsureVisible(2, 1);
    EXPECT_EQ(grid.GetTopleftNonFixedCell(), CCellID(2, 1));

    // The window shrank and the scroll bars have not heard yet: the last row cannot be scrolled
    // fully into view, and scrolling stops at the maximum instead of trying for ever.
    grid.clientHeight = 150;
    grid.EnsureVisible(29, 1);
    EXPECT_EQ(grid.GetScrollPos32(SB_VERT), grid.GetScrollLimit(SB_VERT));
    ASSERT_TRUE(grid.GetCellRect(29, 1, &rect));
    EXPECT_GT(rect.bottom, 150 - 16);
}

TEST(GridGeometryTest, FittingSpreadsTheDifferenceOverShownColumns) {
    FakeGrid grid(2, 3);
    for (int col = 0; col < 3; ++col)
        grid.SetColumnWidth(col, 130);
    grid.ExpandColumnsToFit();
    EXPECT_EQ(grid.GetColumnWidth(0), 134);
    EXPECT_EQ(grid.GetColumnWidth(1), 133);
    EXPECT_EQ(grid.GetColumnWidth(2), 133);

    for (int col = 0; col < 3; ++col)
        grid.SetColumnWidth(col, 140);
    grid.ExpandColumnsToFit();
    EXPECT_EQ(grid.GetColumnWidth(0), 133);
    EXPECT_EQ(grid.GetColumnWidth(1), 133);
    EXPECT_EQ(grid.GetColumnWidth(2), 134);

    // A hidden column stays hidden and does not count.
    grid.SetColumnWidth(0, 100);
    grid.SetColumnWidth(1, 0);
    grid.SetColumnWidth(2, 100);
    grid.ExpandColumnsToFit();
    EXPECT_EQ(grid.GetColumnWidth(1), 0);
    EXPECT_EQ(grid.GetColumnWidth(0), 200);
    EXPECT_EQ(grid.GetColumnWidth(2), 200);

    grid.SetColumnWidth(2, 10);
    grid.ExpandLastColumn();
    EXPECT_EQ(grid.GetColumnWidth(2), 200);

    // Shrinking never takes a shown column below one pixel (or below zero).
    grid.SetColumnWidth(0, 1);
    grid.SetColumnWidth(1, 1);
    grid.SetColumnWidth(2, 1000);
    grid.ExpandColumnsToFit();
    EXPECT_EQ(grid.GetColumnWidth(0), 1);
    EXPECT_EQ(grid.GetColumnWidth(1), 1);
    EXPECT_EQ(grid.GetColumnWidth(2), 800);

    FakeGrid rows(5, 1, 1, 0);
    rows.ExpandRowsToFit(FALSE);
    EXPECT_EQ(rows.GetRowHeight(0), 19);
    EXPECT_EQ(rows.GetRowHeight(1) + rows.GetRowHeight(2) + rows.GetRowHeight(3) +
                  rows.GetRowHeight(4),
              300 - 19);
}

TEST(GridGeometryTest, AutoSizingMeasuresShownCellsOnly) {
    FakeGrid grid(3, 3, 1, 0);
    grid.SetItemText(0, 0, "Heading");
    grid.SetItemText(1, 0, "a");
    grid.SetItemText(2, 1, "a much longer text");
    grid.SetColumnWidth(2, 0);
    EXPECT_TRUE(grid.AutoSizeColumn(0));
    EXPECT_EQ(grid.GetColumnWidth(0), 7 * 7 + 28);
    EXPECT_TRUE(grid.AutoSizeColumn(0, GVS_DATA));
    EXPECT_EQ(grid.GetColumnWidth(0), 7 + 28);
    EXPECT_FALSE(grid.AutoSizeColumn(2));
    EXPECT_FALSE(grid.AutoSizeColumn(3));

    grid.AutoSize();
    EXPECT_EQ(grid.GetColumnWidth(1), 18 * 7 + 28);
    EXPECT_EQ(grid.GetColumnWidth(2), 0);
    EXPECT_EQ(grid.GetRowHeight(1), 13 + 14);

    grid.SetItemText(1, 1, "tall");
    grid.SetItemFormat(1, 1, DT_WORDBREAK);
    grid.SetItemText(1, 1, "one\ntwo\nthree");
    EXPECT_TRUE(grid.AutoSizeRow(1));
    EXPECT_EQ(grid.GetRowHeight(1), 3 * 13 + 14);
}

TEST(GridGeometryTest, PaintingDrawsShownCellsAndTheGridLines) {
    FakeGrid grid(4, 4, 1, 1);
    grid.SetItemText(0, 2, "head");
    grid.SetItemText(2, 2, "body");
    grid.SetItemText(2, 3, "hidden");
    grid.SetColumnWidth(3, 0);
    RecordingDC dc(&FakeGrid::measurer());
    grid.Paint(dc);

    EXPECT_EQ(dc.TextsEqual("head").size(), 1u);
    EXPECT_TRUE(dc.TextsEqual("hidden").empty());
    ASSERT_EQ(dc.TextsEqual("body").size(), 1u);
    EXPECT_EQ(dc.TextsEqual("body")[0].rect, CRect(2 * 98 + 7, 2 * 19, 3 * 98 - 1 - 7, 3 * 19 - 1));

    int gridLines = 0;
    for (const auto &line : dc.lines)
        gridLines += line.colour == grid.GetGridLineColor() ? 1 : 0;
    // Two shown non-fixed columns and three non-fixed rows.
    EXPECT_EQ(gridLines, 2 + 3);

    grid.SetGridLines(GVL_NONE);
    RecordingDC plain(&FakeGrid::measurer());
    grid.Paint(plain);
    for (const auto &line : plain.lines)
        EXPECT_NE(line.colour, grid.GetGridLineColor());
    // The body cell's background covers its whole rectangle.
    bool filled = false;
    for (const auto &fill : plain.fills)
        filled = filled || fill.rect == CRect(2 * 98, 2 * 19, 3 * 98, 3 * 19);
    EXPECT_TRUE(filled);
}
