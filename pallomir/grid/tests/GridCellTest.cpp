#include "pallomir/grid/tests/FakeGrid.h"

#include <gtest/gtest.h>

using gridtest::FakeGrid;
using gridtest::RecordingDC;

namespace {

LOGFONT FontOfHeight(int height) {
    LOGFONT font;
    font.lfHeight = height;
    SetFaceName(font, "Test");
    return font;
}

// One 16 x 16 image.
CImageList OneImage() {
    CImageList images;
    images.Create(16, 16);
    CBitmapData bitmap{16, 16, std::vector<std::uint32_t>(256, 0xFF112233u)};
    images.Add(bitmap, RGB(255, 255, 255));
    return images;
}

} // namespace

TEST(CCellRangeTest, ValidityCountsAndIntersection) {
    EXPECT_FALSE(CCellRange().IsValid());
    EXPECT_EQ(CCellRange(), CCellRange(-1, -1, -1, -1));
    EXPECT_FALSE(CCellRange(2, 0, 1, 0).IsValid());
    EXPECT_FALSE(CCellRange(0, -1, 1, 1).IsValid());

    const CCellRange range(1, 2, 4, 6);
    EXPECT_TRUE(range.IsValid());
    EXPECT_EQ(range.GetRowSpan(), 4);
    EXPECT_EQ(range.GetColSpan(), 5);
    EXPECT_EQ(range.Count(), 20);
    EXPECT_TRUE(range.InRange(4, 6));
    EXPECT_FALSE(range.InRange(5, 6));
    EXPECT_TRUE(range.InRange(CCellID(1, 2)));
    EXPECT_EQ(range.GetTopLeft(), CCellID(1, 2));

    EXPECT_EQ(range.Intersect(CCellRange(3, 0, 8, 3)), CCellRange(3, 2, 4, 3));
    EXPECT_FALSE(range.Intersect(CCellRange(5, 7, 9, 9)).IsValid());
    EXPECT_FALSE(CCellID(-1, 3).IsValid());
    EXPECT_NE(CCellID(1, 2), CCellID(2, 1));
}

TEST(GridCellTest, NewCellsTakeTheirRegionsDefaults) {
    FakeGrid grid(3, 3, 1, 1);
    const CGridCellBase *cell = grid.GetCell(2, 2);
    ASSERT_NE(cell, nullptr);
    EXPECT_EQ(cell->GetImage(), -1);
    EXPECT_EQ(cell->GetFormat(),
              DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    EXPECT_EQ(cell->GetMargin(), 7u);
    EXPECT_EQ(cell->GetTextClr(), CLR_DEFAULT);
    EXPECT_EQ(cell->GetBackClr(), CLR_DEFAULT);
    EXPECT_TRUE(cell->IsDefaultFont());
    EXPECT_STREQ(cell->GetText(), "");
    EXPECT_EQ(cell->GetDefaultCell(), grid.GetDefaultCell(FALSE, FALSE));

    EXPECT_EQ(grid.GetItemState(0, 1), 0x30u);
    EXPECT_EQ(grid.GetItemState(1, 0), 0x50u);
    EXPECT_EQ(grid.GetItemState(0, 0), 0x70u);
    EXPECT_EQ(grid.GetCell(0, 0)->GetDefaultCell(), grid.GetDefaultCell(TRUE, TRUE));
    EXPECT_EQ(grid.GetCell(0, 2)->GetDefaultCell(), grid.GetDefaultCell(TRUE, FALSE));
    EXPECT_EQ(grid.GetCell(2, 0)->GetDefaultCell(), grid.GetDefaultCell(FALSE, TRUE));
}

TEST(GridCellTest, DefaultCellsAreMeasuredAndReadOnly) {
    FakeGrid grid;
    CGridDefaultCell *defaults = grid.GetDefaultCell(FALSE, FALSE);
    // Margin " ", width " XXXXXXXXXXXX ", height 3/2 of a line.
    EXPECT_EQ(defaults->GetMargin(), 7u);
    EXPECT_EQ(defaults->GetWidth(), 14 * 7);
    EXPECT_EQ(defaults->GetHeight(), 13 * 3 / 2);

    EXPECT_TRUE(defaults->IsReadOnly());
    defaults->SetState(0);
    defaults->SetData(42);
    EXPECT_TRUE(defaults->IsReadOnly());
    EXPECT_EQ(defaults->GetData(), 0);

    ASSERT_NE(defaults->GetFont(), nullptr);
    const LOGFONT before = *defaults->GetFont();
    defaults->SetFont(nullptr);
    EXPECT_EQ(*defaults->GetFont(), before);

    // Nothing to measure with outside a grid.
    CGridDefaultCell lone;
    const LOGFONT font = FontOfHeight(-30);
    lone.SetFont(&font);
    EXPECT_EQ(lone.GetMargin(), 3u);
    EXPECT_EQ(lone.GetWidth(), 40);
    EXPECT_EQ(lone.GetHeight(), 16);
}

TEST(GridCellTest, FontObjectStaysValidForTheCellsLife) {
    FakeGrid grid(2, 2);
    CGridCellBase *first = grid.GetCell(0, 0);
    CGridCellBase *second = grid.GetCell(1, 1);
    const LOGFONT small = FontOfHeight(-10);
    const LOGFONT large = FontOfHeight(-20);
    first->SetFont(&small);
    second->SetFont(&large);

    CFont *firstFont = first->GetFontObject();
    CFont *secondFont = second->GetFontObject();
    ASSERT_NE(firstFont, nullptr);
    ASSERT_NE(firstFont, secondFont);
    // Asking for the second font leaves the first one's object alone.
    EXPECT_EQ(firstFont->GetLogFont().lfHeight, -10);
    EXPECT_EQ(secondFont->GetLogFont().lfHeight, -20);

    first->SetFont(&large);
    EXPECT_EQ(first->GetFontObject(), firstFont);
    EXPECT_EQ(firstFont->GetLogFont().lfHeight, -20);

    first->SetFont(nullptr);
    EXPECT_TRUE(first->IsDefaultFont());
    EXPECT_EQ(first->GetFontObject(), grid.GetDefaultCell(FALSE, FALSE)->GetFontObject());
    EXPECT_EQ(first->GetFont(), grid.GetDefaultCell(FALSE, FALSE)->GetFont());
}

TEST(GridCellTest, AssignmentCopiesEveryAttribute) {
    FakeGrid grid(2, 2);
    CGridCellBase &source = *grid.GetCell(1, 1);
    source.SetText("abc");
    source.SetImage(2);
    source.SetData(77);
    source.SetState(GVIS_MODIFIED);
    source.SetTextClr(RGB(1, 2, 3));
    source.SetBackClr(RGB(4, 5, 6));
    const LOGFONT font = FontOfHeight(-15);
    source.SetFont(&font);
    source.SetMargin(9);

    CGridCell copy;
    copy = source;
    EXPECT_STREQ(copy.GetText(), "abc");
    EXPECT_EQ(copy.GetImage(), 2);
    EXPECT_EQ(copy.GetData(), 77);
    EXPECT_EQ(copy.GetState(), GVIS_MODIFIED);
    EXPECT_EQ(copy.GetTextClr(), RGB(1, 2, 3));
    EXPECT_EQ(copy.GetBackClr(), RGB(4, 5, 6));
    ASSERT_FALSE(copy.IsDefaultFont());
    EXPECT_EQ(copy.GetFont()->lfHeight, -15);
    EXPECT_EQ(copy.GetMargin(), 9u);
    EXPECT_EQ(copy.GetGrid(), &grid);

    copy.Reset();
    EXPECT_STREQ(copy.GetText(), "");
    EXPECT_TRUE(copy.IsDefaultFont());
    EXPECT_EQ(copy.GetData(), 77); // the host's value survives a reset
    EXPECT_EQ(copy.GetGrid(), nullptr);
}

TEST(GridCellTest, TextExtentAddsMarginsAndTurnsForVerticalText) {
    FakeGrid grid(2, 2);
    CGridCellBase *cell = grid.GetCell(1, 1);
    // No text and no device: the default cell's size.
    EXPECT_EQ(cell->GetTextExtent(nullptr), CSize(98, 19));
    // Four margins across, two down.
    EXPECT_EQ(cell->GetTextExtent("abc"), CSize(3 * 7 + 4 * 7, 13 + 2 * 7));

    // Word-wrapped text: the widest line sets the width.
    cell->SetFormat(DT_WORDBREAK);
    EXPECT_EQ(cell->GetTextExtent("aa bb\ncccc"), CSize(5 * 7 + 28, 2 * 13 + 14));

    cell->SetFormat(DT_SINGLELINE);
    LOGFONT vertical = FontOfHeight(-12);
    vertical.lfEscapement = 900;
    cell->SetFont(&vertical);
    EXPECT_EQ(cell->GetTextExtent("abc"), CSize(13 + 14, 49 + 28));

    CImageList images = OneImage();
    grid.SetImageList(&images);
    cell->SetFont(nullptr);
    cell->SetText("abc");
    cell->SetImage(0);
    EXPECT_EQ(cell->GetCellExtent(nullptr), CSize(49 + 16, 27));
}

TEST(GridCellTest, DrawNeedsAGridADeviceAndARectangle) {
    RecordingDC dc(&FakeGrid::measurer());
    CGridCell lone;
    EXPECT_FALSE(lone.Draw(&dc, 0, 0, CRect(0, 0, 10, 10)));

    FakeGrid grid(2, 2);
    CGridCellBase *cell = grid.GetCell(1, 1);
    cell->SetText("text");
    EXPECT_FALSE(cell->Draw(&dc, 1, 1, CRect(5, 5, 5, 20)));
    EXPECT_FALSE(cell->Draw(&dc, 1, 1, CRect(5, 5, 20, 5)));
    EXPECT_FALSE(cell->Draw(nullptr, 1, 1, CRect(0, 0, 50, 20)));
    EXPECT_TRUE(dc.texts.empty());
    EXPECT_TRUE(dc.fills.empty());

    ASSERT_TRUE(cell->Draw(&dc, 1, 1, CRect(0, 0, 50, 20)));
    ASSERT_EQ(dc.texts.size(), 1u);
    EXPECT_EQ(dc.texts[0].text, "text");
    // Left of the grid line, inside the margins.
    EXPECT_EQ(dc.texts[0].rect, CRect(7, 0, 42, 19));
    EXPECT_EQ(dc.texts[0].format, cell->GetFormat() | DT_NOPREFIX);
    EXPECT_EQ(dc.texts[0].colour, grid.GetDefaultCell(FALSE, FALSE)->GetTextClr());
}

TEST(GridCellTest, SelectedAndFocusedCellsUseTheHighlight) {
    FakeGrid grid(2, 2);
    CGridCellBase *cell = grid.GetCell(1, 1);
    cell->SetState(GVIS_SELECTED);
    RecordingDC dc(&FakeGrid::measurer());
    cell->Draw(&dc, 1, 1, CRect(0, 0, 50, 20), FALSE);
    ASSERT_EQ(dc.fills.size(), 1u);
    EXPECT_EQ(dc.fills[0].rect, CRect(0, 0, 50, 20));
    EXPECT_EQ(dc.fills[0].colour, GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(dc.texts[0].colour, GetSysColor(COLOR_HIGHLIGHTTEXT));

    // The focus cell gets a frame in its text colour, left of the grid lines.
    RecordingDC focused(&FakeGrid::measurer());
    cell->SetState(GVIS_FOCUSED);
    cell->SetTextClr(RGB(10, 20, 30));
    cell->Draw(&focused, 1, 1, CRect(0, 0, 50, 20), FALSE);
    ASSERT_EQ(focused.lines.size(), 4u);
    EXPECT_EQ(focused.lines[0].from, CPoint(0, 0));
    EXPECT_EQ(focused.lines[0].to, CPoint(48, 0));
    EXPECT_EQ(focused.lines[0].colour, RGB(10, 20, 30));
}

TEST(GridCellTest, ImageOffsetIsTheSameOnScreenAndInPrint) {
    FakeGrid grid(2, 2);
    CImageList images = OneImage();
    grid.SetImageList(&images);
    CGridCellBase *cell = grid.GetCell(1, 1);
    cell->SetText("x");
    cell->SetImage(0);

    RecordingDC screen(&FakeGrid::measurer());
    RecordingDC printer(&FakeGrid::measurer(), true);
    ASSERT_TRUE(cell->Draw(&screen, 1, 1, CRect(0, 0, 80, 20)));
    ASSERT_TRUE(cell->PrintCell(&printer, 1, 1, CRect(0, 0, 80, 20)));
    ASSERT_EQ(screen.texts.size(), 1u);
    ASSERT_EQ(printer.texts.size(), 1u);
    // Margin, then margin and image width again.
    EXPECT_EQ(screen.texts[0].rect.left, 7 + 7 + 16);
    EXPECT_EQ(printer.texts[0].rect.left, screen.texts[0].rect.left);
    ASSERT_EQ(screen.images.size(), 1u);
    ASSERT_EQ(printer.images.size(), 1u);
    EXPECT_EQ(screen.images[0].second, printer.images[0].second);
}

TEST(GridCellTest, PrintCellShadesOnlyWhenAsked) {
    FakeGrid grid(2, 2);
    CGridCellBase *cell = grid.GetCell(1, 1);
    cell->SetText("x");
    cell->SetTextClr(RGB(200, 100, 50));
    cell->SetBackClr(RGB(1, 2, 3));

    RecordingDC shaded(&FakeGrid::measurer(), true);
    cell->PrintCell(&shaded, 1, 1, CRect(0, 0, 40, 20));
    ASSERT_EQ(shaded.fills.size(), 1u);
    EXPECT_EQ(shaded.fills[0].colour, RGB(1, 2, 3));
    EXPECT_EQ(shaded.texts[0].colour, RGB(200, 100, 50));

    // Two colours and no background: each channel scaled on its own.
    RecordingDC mono(&FakeGrid::measurer(), true);
    mono.numColours = 2;
    cell->SetBackClr(CLR_DEFAULT);
    cell->PrintCell(&mono, 1, 1, CRect(0, 0, 40, 20));
    EXPECT_TRUE(mono.fills.empty());
    EXPECT_EQ(mono.texts[0].colour, RGB(60, 59, 6));

    grid.SetShadedPrintOut(FALSE);
    RecordingDC plain(&FakeGrid::measurer(), true);
    cell->PrintCell(&plain, 1, 1, CRect(0, 0, 40, 20));
    EXPECT_TRUE(plain.fills.empty());
    EXPECT_EQ(plain.texts[0].colour, RGB(0, 0, 0));
    EXPECT_FALSE(cell->PrintCell(&plain, 1, 1, CRect(0, 0, 0, 20)));
}
