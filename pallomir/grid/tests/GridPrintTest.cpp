#include "pallomir/grid/tests/FakeGrid.h"

#include <gtest/gtest.h>

using gridtest::FakeGrid;
using gridtest::RecordingDC;

namespace {

// Prints every page into one recording; answers the page count.
int PrintAll(FakeGrid &grid, RecordingDC &dc) {
    CPrintInfo info;
    grid.OnBeginPrinting(&dc, &info);
    const int pages = static_cast<int>(info.GetMaxPage());
    for (int page = 1; page <= pages; ++page) {
        info.m_nCurPage = static_cast<UINT>(page);
        grid.OnPrint(&dc, &info);
    }
    grid.OnEndPrinting(&dc, &info);
    return pages;
}

// The page number a text was printed on, from the footer printed after it.
int PageOf(const RecordingDC &dc, const std::string &text) {
    bool seen = false;
    for (const RecordingDC::Text &t : dc.texts) {
        if (t.text == text)
            seen = true;
        if (seen && t.text.rfind("Page ", 0) == 0)
            return std::atoi(t.text.c_str() + 5);
    }
    return 0;
}

} // namespace

TEST(GridPrintTest, ASmallGridFitsOnePageOfOne) {
    FakeGrid grid(4, 3, 1, 1);
    grid.SetItemText(0, 1, "Heading");
    grid.SetItemText(3, 2, "last");
    RecordingDC dc(&FakeGrid::measurer(), true);
    EXPECT_EQ(PrintAll(grid, dc), 1);
    EXPECT_EQ(dc.TextsEqual("Page 1 of 1").size(), 1u);
    EXPECT_EQ(PageOf(dc, "Heading"), 1);
    EXPECT_EQ(PageOf(dc, "last"), 1);
    // The page maps the paper (grid width and side margins) onto the printer's pixels.
    EXPECT_EQ(dc.GetMapMode(), MM_ANISOTROPIC);
    EXPECT_EQ(dc.GetWindowExt(), CSize(3 * 98 + 8 * 7, (3 * 98 + 8 * 7) * 6800 / 4800));
    EXPECT_EQ(dc.GetViewportExt(), CSize(4800, 6800));
    // Cells start below the header and the gap, right of the left margin.
    const auto heading = dc.TextsEqual("Heading");
    EXPECT_EQ(heading[0].windowOrg, CPoint(-4 * 7, -3 * 13));
    const auto footer = dc.TextsEqual("Page 1 of 1");
    EXPECT_EQ(footer[0].font.lfWeight, FW_BOLD);
}

TEST(GridPrintTest, WithoutWysiwygTheWholeWidthGoesOnOnePageAcross) {
    FakeGrid grid(50, 30, 1, 1);
    grid.SetItemText(0, 29, "far right");
    grid.SetItemText(49, 29, "far corner");
    RecordingDC dc(&FakeGrid::measurer(), true);
    const int pages = PrintAll(grid, dc);
    // Paper as wide as the grid; its height follows the page's aspect.
    const int paperWidth = 30 * 98 + 8 * 7;
    const int paperHeight = paperWidth * 6800 / 4800;
    const int rowsPerPage = (paperHeight - 6 * 13 - 19) / 19;
    EXPECT_EQ(pages, (49 + rowsPerPage - 1) / rowsPerPage);
    EXPECT_EQ(PageOf(dc, "far right"), 1);
    EXPECT_EQ(PageOf(dc, "far corner"), pages);
    EXPECT_EQ(dc.TextsEqual("Page 1 of " + std::to_string(pages)).size(), 1u);
}

TEST(GridPrintTest, WysiwygPrintingSplitsColumnsAcrossPages) {
    FakeGrid grid(5, 11, 1, 1);
    grid.EnableWysiwygPrinting(TRUE);
    for (int col = 1; col < 11; ++col)
        grid.SetItemTextFmt(0, col, "H%d", col);
    RecordingDC dc(&FakeGrid::measurer(), true);
    // Paper: 4800 printer pixels at 600 an inch are 768 screen pixels, three quarters of it
    // 576; room for columns 576 - 98 - 56 = 422: four columns a page.
    EXPECT_EQ(PrintAll(grid, dc), 3);
    EXPECT_EQ(PageOf(dc, "H4"), 1);
    EXPECT_EQ(PageOf(dc, "H5"), 2);
    EXPECT_EQ(PageOf(dc, "H10"), 3);
}

TEST(GridPrintTest, ARowTallerThanThePageGetsAPageOfItsOwn) {
    FakeGrid grid(6, 2, 1, 1);
    grid.SetRowHeight(3, 100000);
    for (int row = 1; row < 6; ++row)
        grid.SetItemTextFmt(row, 1, "R%d", row);
    RecordingDC dc(&FakeGrid::measurer(), true);
    EXPECT_EQ(PrintAll(grid, dc), 3);
    EXPECT_EQ(PageOf(dc, "R2"), 1);
    EXPECT_EQ(PageOf(dc, "R3"), 2);
    EXPECT_EQ(PageOf(dc, "R4"), 3);
    EXPECT_EQ(PageOf(dc, "R5"), 3);
}

TEST(GridPrintTest, MarginsKeepTheirValueForANegativeArgument) {
    FakeGrid grid;
    grid.SetPrintMarginInfo(3, -1, 5, -1, -1, 7, -1);
    int header, footer, left, right, top, bottom, gap;
    grid.GetPrintMarginInfo(header, footer, left, right, top, bottom, gap);
    EXPECT_EQ(header, 3);
    EXPECT_EQ(footer, 2);
    EXPECT_EQ(left, 5);
    EXPECT_EQ(right, 4);
    EXPECT_EQ(top, 1);
    EXPECT_EQ(bottom, 7);
    EXPECT_EQ(gap, 1);
}
