#include "pallomir/grid/tests/FakeGrid.h"

#include <gtest/gtest.h>

using gridtest::FakeGrid;

namespace {

// A cell class of a host, to check that the grid makes its cells from the class it is given.
class TaggedCell : public CGridCell {};

// Fills virtual-mode cells from a callback: the text names the cell.
BOOL FillCell(GV_DISPINFO *info, LPARAM) {
    info->item.strText.Format("%d:%d", info->item.row, info->item.col);
    return TRUE;
}

} // namespace

TEST(GridModelTest, RowAndColumnCountsKeepTheTableRectangular) {
    FakeGrid grid(5, 4, 2, 1);
    EXPECT_EQ(grid.GetRowCount(), 5);
    EXPECT_EQ(grid.GetColumnCount(), 4);
    EXPECT_EQ(grid.GetRowHeight(4), 19);
    EXPECT_EQ(grid.GetColumnWidth(3), 98);
    EXPECT_EQ(grid.GetRowHeight(5), -1);
    EXPECT_EQ(grid.GetColumnWidth(-1), -1);
    EXPECT_EQ(grid.GetVirtualHeight(), 5 * 19);
    EXPECT_EQ(grid.GetFixedRowHeight(), 2 * 19);
    EXPECT_EQ(grid.GetFixedColumnWidth(), 98);

    // Fewer rows than fixed rows lowers the fixed count.
    EXPECT_TRUE(grid.SetRowCount(1));
    EXPECT_EQ(grid.GetFixedRowCount(), 1);
    EXPECT_EQ(grid.GetCell(1, 0), nullptr);
    EXPECT_TRUE(grid.SetColumnCount(6));
    EXPECT_NE(grid.GetCell(0, 5), nullptr);
    EXPECT_EQ(grid.GetItemState(0, 5), GVIS_FIXED | GVIS_FIXEDROW);
    EXPECT_FALSE(grid.SetRowHeight(0, -1));
    EXPECT_FALSE(grid.SetColumnWidth(6, 10));
    EXPECT_TRUE(grid.GetModified());
}

TEST(GridModelTest, InsertAndDeleteRowsAndColumns) {
    FakeGrid grid(3, 3, 1, 1);
    // Inside the fixed area or past the end: refused.
    EXPECT_EQ(grid.InsertColumn("x", DT_LEFT, 0), -1);
    EXPECT_EQ(grid.InsertColumn("x", DT_LEFT, 4), -1);
    EXPECT_EQ(grid.InsertRow("x", 0), -1);
    EXPECT_EQ(grid.InsertRow("x", 3), -1); // appending takes -1

    EXPECT_EQ(grid.InsertColumn("Name", DT_RIGHT, 3), 3);
    EXPECT_EQ(grid.GetItemText(0, 3), CString("Name"));
    EXPECT_EQ(grid.GetItemFormat(2, 3), DT_RIGHT);
    EXPECT_EQ(grid.GetColumnWidth(3), 4 * 7 + 4 * 7);

    grid.SetItemText(2, 1, "below");
    EXPECT_EQ(grid.InsertRow("Head", 2), 2);
    EXPECT_EQ(grid.GetItemText(2, 0), CString("Head"));
    EXPECT_EQ(grid.GetItemText(3, 1), CString("below"));
    EXPECT_EQ(grid.GetRowHeight(2), 13 + 14);
    EXPECT_EQ(grid.InsertRow(""), 4);
    EXPECT_EQ(grid.GetRowHeight(4), grid.GetDefaultCell(TRUE, FALSE)->GetHeight());

    grid.SetFocusCell(3, 2);
    EXPECT_TRUE(grid.DeleteRow(1));
    EXPECT_EQ(grid.GetRowCount(), 4);
    EXPECT_EQ(grid.GetItemText(2, 1), CString("below"));
    EXPECT_FALSE(grid.DeleteRow(4));
    EXPECT_TRUE(grid.DeleteColumn(0));
    EXPECT_EQ(grid.GetFixedColumnCount(), 0);
    EXPECT_EQ(grid.GetItemText(0, 2), CString("Name"));

    EXPECT_TRUE(grid.DeleteNonFixedRows());
    EXPECT_EQ(grid.GetRowCount(), 1);
    EXPECT_TRUE(grid.DeleteAllItems());
    EXPECT_EQ(grid.GetRowCount(), 0);
    EXPECT_EQ(grid.GetColumnCount(), 0);
    EXPECT_FALSE(grid.GetFocusCell().IsValid());
}

TEST(GridModelTest, InsertIntoAnEmptyGridMakesTheMissingRowOrColumn) {
    FakeGrid grid;
    EXPECT_EQ(grid.InsertColumn("A"), 0);
    EXPECT_EQ(grid.GetRowCount(), 1);
    FakeGrid other;
    EXPECT_EQ(other.InsertRow("1"), 0);
    EXPECT_EQ(other.GetColumnCount(), 1);
    EXPECT_EQ(other.GetItemText(0, 0), CString("1"));
}

TEST(GridModelTest, FixedCountsMarkAndUnmarkCells) {
    FakeGrid grid(4, 4);
    grid.SetItemBkColour(1, 2, RGB(9, 9, 9));
    EXPECT_TRUE(grid.SetFixedRowCount(2));
    EXPECT_EQ(grid.GetItemState(1, 2), GVIS_FIXED | GVIS_FIXEDROW);
    EXPECT_EQ(grid.GetItemBkColour(1, 2), CLR_DEFAULT);
    EXPECT_TRUE(grid.SetFixedColumnCount(1));
    EXPECT_EQ(grid.GetItemState(1, 0), GVIS_FIXED | GVIS_FIXEDROW | GVIS_FIXEDCOL);

    EXPECT_TRUE(grid.SetFixedRowCount(0));
    EXPECT_EQ(grid.GetItemState(1, 0), GVIS_FIXED | GVIS_FIXEDCOL);
    EXPECT_EQ(grid.GetItemState(1, 2), 0u);
    EXPECT_TRUE(grid.SetFixedRowCount(6));
    EXPECT_EQ(grid.GetRowCount(), 6);
}

TEST(GridModelTest, CellClassesComeFromTheGrid) {
    FakeGrid grid(2, 2);
    EXPECT_FALSE(grid.SetDefaultCellType(nullptr));
    EXPECT_TRUE(grid.SetDefaultCellType(RUNTIME_CLASS(TaggedCell)));
    grid.SetRowCount(3);
    EXPECT_NE(dynamic_cast<TaggedCell *>(grid.GetCell(2, 1)), nullptr);
    EXPECT_EQ(dynamic_cast<TaggedCell *>(grid.GetCell(1, 1)), nullptr);

    grid.SetItemText(1, 1, "kept");
    EXPECT_TRUE(grid.SetCellType(1, 1, RUNTIME_CLASS(TaggedCell)));
    EXPECT_NE(dynamic_cast<TaggedCell *>(grid.GetCell(1, 1)), nullptr);
    EXPECT_EQ(grid.GetItemText(1, 1), CString("kept"));
    EXPECT_FALSE(grid.SetCellType(5, 1, RUNTIME_CLASS(TaggedCell)));
}

TEST(GridModelTest, ItemsRecordModificationAndClearTheSortColumn) {
    FakeGrid grid(3, 3, 1, 0);
    grid.SetModified(FALSE);
    EXPECT_FALSE(grid.GetModified());
    grid.SetSortColumn(1);
    EXPECT_TRUE(grid.SetItemText(1, 2, "a"));
    EXPECT_EQ(grid.GetSortColumn(), 1);
    EXPECT_TRUE(grid.GetModified(1, 2));
    EXPECT_TRUE(grid.GetModified());
    EXPECT_TRUE(grid.SetItemText(2, 1, "b"));
    EXPECT_EQ(grid.GetSortColumn(), -1);

    // Clearing the grid's flag clears every cell's.
    grid.SetModified(FALSE);
    EXPECT_FALSE(grid.GetModified(1, 2));

    GV_ITEM item;
    item.row = 2;
    item.col = 2;
    item.mask = GVIF_TEXT | GVIF_STATE | GVIF_PARAM | GVIF_FGCLR;
    item.strText = "item";
    item.nState = GVIS_SELECTED;
    item.lParam = 5;
    item.crFgClr = RGB(1, 1, 1);
    EXPECT_TRUE(grid.SetItem(&item));
    EXPECT_EQ(grid.GetSelectedCount(), 1);
    GV_ITEM read;
    read.row = 2;
    read.col = 2;
    read.mask = GVIF_ALL;
    EXPECT_TRUE(grid.GetItem(&read));
    EXPECT_EQ(read.strText, CString("item"));
    EXPECT_EQ(read.lParam, 5);
    EXPECT_EQ(read.crFgClr, RGB(1, 1, 1));
    // The state given is the state stored.
    EXPECT_EQ(read.nState, GVIS_SELECTED);

    EXPECT_TRUE(grid.SetItemTextFmt(1, 1, "%d-%s", 7, "x"));
    EXPECT_EQ(grid.GetItemText(1, 1), CString("7-x"));
    EXPECT_EQ(grid.GetItemText(9, 9), CString());
    EXPECT_EQ(grid.GetItemImage(9, 9), -1);
}

TEST(GridModelTest, GetNextItemFollowsItsDirection) {
    FakeGrid grid(5, 5, 1, 1);
    grid.SetItemState(2, 3, GVIS_SELECTED);
    grid.SetItemState(4, 1, GVIS_SELECTED);
    grid.SetItemState(3, 3, GVIS_READONLY);

    EXPECT_EQ(grid.GetNextItem(CCellID(-1, -1), GVNI_ALL | GVNI_SELECTED), CCellID(2, 3));
    EXPECT_EQ(grid.GetNextItem(CCellID(2, 3), GVNI_ALL | GVNI_SELECTED), CCellID(4, 1));
    // The area right of and below: column 1 lies left of it.
    EXPECT_EQ(grid.GetNextItem(CCellID(2, 3), GVNI_AREA | GVNI_SELECTED), CCellID());
    EXPECT_EQ(grid.GetNextItem(CCellID(1, 3), GVNI_BELOW | GVNI_READONLY), CCellID(3, 3));
    EXPECT_EQ(grid.GetNextItem(CCellID(4, 3), GVNI_ABOVE | GVNI_SELECTED), CCellID(2, 3));
    EXPECT_EQ(grid.GetNextItem(CCellID(4, 4), GVNI_TOLEFT | GVNI_SELECTED), CCellID(4, 1));
    EXPECT_EQ(grid.GetNextItem(CCellID(2, 1), GVNI_TORIGHT | GVNI_SELECTED), CCellID(2, 3));
    grid.SetItemText(3, 2, "changed");
    EXPECT_EQ(grid.GetNextItem(CCellID(0, 0), GVNI_ALL | GVNI_MODIFIED), CCellID(3, 2));
}

TEST(GridModelTest, VirtualModeAsksForEveryCell) {
    FakeGrid grid;
    grid.SetVirtualMode(TRUE);
    EXPECT_FALSE(grid.IsEditable());
    EXPECT_EQ(grid.GetAutoSizeStyle(), GVS_HEADER);
    grid.SetRowCount(10);
    grid.SetColumnCount(3);
    grid.SetFixedRowCount(1);

    // Without a callback the owner fills the record.
    EXPECT_EQ(grid.GetItemText(4, 2), CString("r4c2"));
    EXPECT_EQ(grid.owner.Count(GVN_GETDISPINFO), 1);
    EXPECT_EQ(grid.GetItemState(0, 1), GVIS_FIXED | GVIS_FIXEDROW);
    EXPECT_FALSE(grid.SetItemText(4, 2, "x"));
    EXPECT_FALSE(grid.SetItemData(4, 2, 1));
    EXPECT_FALSE(grid.SetItemState(4, 2, 0));
    EXPECT_FALSE(grid.SetCell(4, 2, std::make_unique<CGridCell>()));

    grid.SetCallbackFunc(FillCell, 0);
    CGridCellBase *first = grid.GetCell(1, 1);
    CGridCellBase *second = grid.GetCell(2, 2);
    EXPECT_EQ(first, second);
    EXPECT_STREQ(second->GetText(), "2:2");
}

TEST(GridModelTest, VirtualCellsBelongToTheirGrid) {
    FakeGrid one;
    FakeGrid two;
    for (FakeGrid *grid : {&one, &two}) {
        grid->SetVirtualMode(TRUE);
        grid->SetRowCount(5);
        grid->SetColumnCount(5);
        grid->SetCallbackFunc(FillCell, 0);
    }
    CGridCellBase *cell = one.GetCell(1, 1);
    two.GetCell(3, 4);
    EXPECT_NE(cell, two.GetCell(3, 4));
    EXPECT_STREQ(cell->GetText(), "1:1");
}

TEST(GridModelTest, SelectionKeysKeepRowsBeyond65535Apart) {
    FakeGrid grid;
    grid.SetVirtualMode(TRUE);
    grid.SetRowCount(70000);
    grid.SetColumnCount(2);
    grid.SetSelectedRange(1, 1, 1, 1);
    grid.SetSelectedRange(65537, 1, 65537, 1, FALSE, TRUE);
    // Selecting 65537 dropped row 1 (outside the new range), and only that.
    EXPECT_TRUE(grid.IsCellSelected(65537, 1));
    EXPECT_FALSE(grid.IsCellSelected(1, 1));
    EXPECT_EQ(grid.GetSelectedCount(), 1);
    EXPECT_EQ(grid.GetSelectedCellRange(), CCellRange(65537, 1, 65537, 1));
}

TEST(GridModelTest, NotificationsReachTheOwner) {
    FakeGrid grid(3, 3);
    grid.SetDlgCtrlID(77);
    EXPECT_EQ(grid.SendMessageToParent(1, 2, NM_DBLCLK), 0);
    ASSERT_EQ(grid.owner.heard.size(), 1u);
    EXPECT_EQ(grid.owner.heard[0].code, NM_DBLCLK);
    EXPECT_EQ(grid.owner.heard[0].row, 1);
    EXPECT_EQ(grid.owner.heard[0].col, 2);
    grid.owner.answers = {{GVN_BEGINLABELEDIT, -1}};
    EXPECT_EQ(grid.SendMessageToParent(0, 0, GVN_BEGINLABELEDIT), -1);
    grid.SetOwner(nullptr);
    EXPECT_EQ(grid.SendMessageToParent(0, 0, GVN_BEGINLABELEDIT), 0);
}
