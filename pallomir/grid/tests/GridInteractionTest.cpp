#include "pallomir/grid/tests/FakeGrid.h"

#include <gtest/gtest.h>

using gridtest::FakeEditor;
using gridtest::FakeGrid;

namespace {

// A point inside the cell (in a grid of 98 x 19 cells, not scrolled).
CPoint In(int row, int col) { return CPoint(col * 98 + 40, row * 19 + 9); }

void Click(FakeGrid &grid, int row, int col, UINT flags = 0) {
    grid.OnLButtonDown(flags, In(row, col));
    grid.OnLButtonUp(flags, In(row, col));
}

} // namespace

TEST(GridKeyboardTest, ArrowsAndTabSkipHiddenColumnsAndTabWraps) {
    FakeGrid grid(5, 5, 1, 1);
    grid.SetColumnWidth(2, 0);
    grid.SetRowHeight(3, 0);
    grid.SetFocusCell(1, 1);

    EXPECT_TRUE(grid.OnKeyDown(VK_RIGHT));
    EXPECT_EQ(grid.GetFocusCell(), CCellID(1, 3));
    grid.OnKeyDown(VK_LEFT);
    EXPECT_EQ(grid.GetFocusCell(), CCellID(1, 1));
    grid.OnKeyDown(VK_LEFT);
    EXPECT_EQ(grid.GetFocusCell(), CCellID(1, 1));
    grid.OnKeyDown(VK_DOWN);
    grid.OnKeyDown(VK_DOWN);
    EXPECT_EQ(grid.GetFocusCell(), CCellID(4, 1));
    grid.OnKeyDown(VK_UP);
    EXPECT_EQ(grid.GetFocusCell(), CCellID(2, 1));

    grid.OnKeyDown(VK_TAB);
    grid.OnKeyDown(VK_TAB);
    EXPECT_EQ(grid.GetFocusCell(), CCellID(2, 4));
    // At the last column Tab goes on in the next shown row.
    grid.OnKeyDown(VK_TAB);
    EXPECT_EQ(grid.GetFocusCell(), CCellID(4, 1));
    grid.shift = true;
    grid.OnKeyDown(VK_TAB);
    EXPECT_EQ(grid.GetFocusCell(), CCellID(2, 4));
    grid.OnKeyDown(VK_TAB);
    EXPECT_EQ(grid.GetFocusCell(), CCellID(2, 3));
    grid.shift = false;

    // Past the end of the table Tab is not the grid's.
    grid.SetFocusCell(4, 4);
    EXPECT_FALSE(grid.OnKeyDown(VK_TAB));
    EXPECT_EQ(grid.GetFocusCell(), CCellID(4, 4));
    grid.SetHandleTabKey(FALSE);
    grid.SetFocusCell(1, 1);
    EXPECT_FALSE(grid.OnKeyDown(VK_TAB));
    EXPECT_FALSE(grid.OnKeyDown('Q'));
}

TEST(GridKeyboardTest, MovesSelectAndShiftExtends) {
    FakeGrid grid(6, 6, 1, 1);
    grid.SetFocusCell(2, 2);
    grid.OnKeyDown(VK_RIGHT);
    EXPECT_EQ(grid.GetSelectedCellRange(), CCellRange(2, 3, 2, 3));
    EXPECT_EQ(grid.owner.Count(GVN_SELCHANGING), 1);
    EXPECT_EQ(grid.owner.Count(GVN_SELCHANGED), 1);
    grid.shift = true;
    grid.OnKeyDown(VK_DOWN);
    grid.OnKeyDown(VK_DOWN);
    EXPECT_EQ(grid.GetSelectedCellRange(), CCellRange(2, 3, 4, 3));
    EXPECT_EQ(grid.GetSelectedCount(), 3);
    grid.shift = false;

    grid.OnKeyDown(VK_HOME);
    EXPECT_EQ(grid.GetFocusCell(), CCellID(4, 1));
    grid.OnKeyDown(VK_END);
    EXPECT_EQ(grid.GetFocusCell(), CCellID(4, 5));
    grid.ctrl = true;
    grid.OnKeyDown(VK_HOME);
    EXPECT_EQ(grid.GetFocusCell(), CCellID(1, 1));
    grid.OnKeyDown(VK_END);
    EXPECT_EQ(grid.GetFocusCell(), CCellID(5, 5));
    grid.ctrl = false;
    // Nothing to scroll: Page Up goes to the first row.
    grid.OnKeyDown(VK_PRIOR);
    EXPECT_EQ(grid.GetFocusCell(), CCellID(1, 5));
    grid.OnKeyDown(VK_NEXT);
    EXPECT_EQ(grid.GetFocusCell(), CCellID(5, 5));
}

TEST(GridKeyboardTest, PageDownMovesByTheRowsScrolledAndKeepsTheFocusInView) {
    FakeGrid grid(100, 3, 1, 1);
    grid.SetFocusCell(1, 1);
    grid.OnKeyDown(VK_NEXT);
    const CCellID top = grid.GetTopleftNonFixedCell();
    EXPECT_GT(top.row, 1);
    EXPECT_EQ(grid.GetFocusCell(), CCellID(1 + top.row - 1, 1));
    grid.ctrl = true;
    grid.OnKeyDown(VK_END);
    EXPECT_EQ(grid.GetFocusCell(), CCellID(99, 2));
    EXPECT_TRUE(grid.IsCellVisible(99, 2));
}

TEST(GridEditTest, TypingOrF2StartsTheEditor) {
    FakeGrid grid(3, 3, 1, 1);
    grid.SetItemText(1, 1, "old");
    grid.SetFocusCell(1, 1);
    grid.OnChar('x');
    FakeEditor *editor = grid.LastEditor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->firstChar, UINT('x'));
    EXPECT_EQ(editor->text, CString("old"));
    EXPECT_TRUE(grid.IsItemEditing(1, 1));
    EXPECT_EQ(grid.owner.Count(GVN_BEGINLABELEDIT), 1);
    // A second character goes to the open editor.
    grid.OnChar('y');
    EXPECT_EQ(grid.editors.size(), 1u);
    EXPECT_EQ(editor->text, CString("oldy"));
    grid.EndEditing();
    EXPECT_FALSE(grid.IsItemEditing(1, 1));

    grid.SetFocusCell(2, 2);
    grid.OnKeyDown(VK_F2);
    ASSERT_EQ(grid.editors.size(), 2u);
    EXPECT_EQ(grid.LastEditor()->firstChar, VK_LBUTTON);
    grid.EndEditing();

    // Not with Ctrl held, not for Escape, not for Tab while the grid moves with it.
    grid.ctrl = true;
    grid.OnChar('z');
    grid.ctrl = false;
    grid.OnChar(VK_ESCAPE);
    grid.OnChar(VK_TAB);
    EXPECT_EQ(grid.editors.size(), 2u);
    // Nor for a read-only cell, nor when the owner forbids it.
    grid.SetItemState(2, 2, grid.GetItemState(2, 2) | GVIS_READONLY);
    grid.OnChar('z');
    grid.SetFocusCell(2, 1);
    grid.owner.answers = {{GVN_BEGINLABELEDIT, -1}};
    grid.OnChar('z');
    EXPECT_EQ(grid.editors.size(), 2u);
}

TEST(GridEditTest, TheEditorsTextIsStoredUnlessRefused) {
    FakeGrid grid(3, 3, 1, 1);
    grid.SetItemText(1, 1, "old");
    grid.SetModified(FALSE);
    grid.SetFocusCell(1, 1);
    grid.OnChar('n');
    FakeEditor *editor = grid.LastEditor();
    editor->text = "new";
    editor->lastKey = VK_RETURN;
    editor->EndEdit();
    EXPECT_TRUE(editor->destroyed);
    EXPECT_EQ(grid.GetItemText(1, 1), CString("new"));
    EXPECT_TRUE(grid.GetModified(1, 1));
    EXPECT_EQ(grid.owner.Count(GVN_ENDLABELEDIT), 1);
    EXPECT_FALSE(grid.IsItemEditing(1, 1));

    // Escape put the old text back: nothing changed, nothing to tell.
    grid.OnChar('x');
    grid.LastEditor()->lastKey = VK_ESCAPE;
    grid.LastEditor()->EndEdit();
    EXPECT_EQ(grid.owner.Count(GVN_ENDLABELEDIT), 1);

    grid.SetModified(FALSE);
    grid.owner.answers = {{GVN_ENDLABELEDIT, -1}};
    grid.OnChar('x');
    grid.LastEditor()->text = "refused";
    grid.LastEditor()->EndEdit();
    EXPECT_EQ(grid.GetItemText(1, 1), CString("new"));
    EXPECT_FALSE(grid.GetModified(1, 1));
}

TEST(GridEditTest, TabEndsTheEditAndEditsTheNextCell) {
    FakeGrid grid(3, 4, 1, 1);
    grid.SetFocusCell(1, 1);
    grid.OnChar('a');
    grid.LastEditor()->text = "a";
    grid.LastEditor()->lastKey = VK_TAB;
    grid.LastEditor()->EndEdit();
    EXPECT_EQ(grid.GetItemText(1, 1), CString("a"));
    EXPECT_EQ(grid.GetFocusCell(), CCellID(1, 2));
    ASSERT_EQ(grid.editors.size(), 2u);
    EXPECT_EQ(grid.LastEditor()->row, 1);
    EXPECT_EQ(grid.LastEditor()->col, 2);
    EXPECT_EQ(grid.LastEditor()->firstChar, VK_TAB);
    EXPECT_FALSE(grid.LastEditor()->destroyed);
}

TEST(GridEditTest, EachGridGuardsItsOwnEditorsEnd) {
    FakeGrid first(3, 3, 1, 1);
    FakeGrid second(3, 3, 1, 1);
    second.SetFocusCell(1, 1);
    second.OnChar('s');
    FakeEditor *secondEditor = second.LastEditor();
    secondEditor->text = "second";
    // While the first grid handles its editor's end, the second grid's editor ends too.
    first.owner.onNotify = [&](NMHDR *record) {
        if (record->code == GVN_ENDLABELEDIT)
            secondEditor->EndEdit();
    };
    first.SetFocusCell(1, 1);
    first.OnChar('f');
    first.LastEditor()->text = "first";
    first.LastEditor()->EndEdit();
    EXPECT_EQ(first.GetItemText(1, 1), CString("first"));
    EXPECT_EQ(second.GetItemText(1, 1), CString("second"));
    EXPECT_TRUE(secondEditor->destroyed);
}

TEST(GridMouseTest, ClicksAndDragsSelect) {
    FakeGrid grid(6, 4, 1, 1);
    grid.OnLButtonDown(0, In(2, 2));
    EXPECT_EQ(grid.GetFocusCell(), CCellID(2, 2));
    EXPECT_EQ(grid.GetSelectedCellRange(), CCellRange(2, 2, 2, 2));
    EXPECT_EQ(grid.timers, std::vector<UINT>{CGridCore::WM_LBUTTONDOWN_TIMER});
    grid.OnMouseMove(MK_LBUTTON, In(4, 3));
    EXPECT_EQ(grid.GetSelectedCellRange(), CCellRange(2, 2, 4, 3));
    EXPECT_EQ(grid.GetFocusCell(), CCellID(4, 3));
    grid.OnLButtonUp(0, In(4, 3));
    EXPECT_TRUE(grid.timers.empty());
    EXPECT_EQ(grid.GetSelectedCount(), 6);
    EXPECT_EQ(grid.owner.commands, 1);

    // Shift keeps the anchor, Ctrl keeps what was selected.
    Click(grid, 5, 1, MK_SHIFT);
    EXPECT_EQ(grid.GetSelectedCellRange(), CCellRange(2, 1, 5, 2));
    Click(grid, 1, 3, MK_CONTROL);
    EXPECT_TRUE(grid.IsCellSelected(1, 3));
    EXPECT_TRUE(grid.IsCellSelected(5, 1));
    EXPECT_EQ(grid.GetSelectedCount(), 9);

    Click(grid, 0, 2);
    EXPECT_EQ(grid.GetSelectedCellRange(), CCellRange(1, 2, 5, 2));
    EXPECT_FALSE(grid.GetFocusCell().IsValid());
    Click(grid, 3, 0);
    EXPECT_EQ(grid.GetSelectedCellRange(), CCellRange(3, 1, 3, 3));
    Click(grid, 0, 0);
    EXPECT_EQ(grid.GetSelectedCount(), 5 * 3);
}

TEST(GridMouseTest, ASecondClickInTheFocusCellEditsOnRelease) {
    FakeGrid grid(3, 3, 1, 1);
    Click(grid, 1, 1);
    EXPECT_TRUE(grid.editors.empty());
    Click(grid, 1, 1);
    ASSERT_EQ(grid.editors.size(), 1u);
    EXPECT_EQ(grid.LastEditor()->firstChar, VK_LBUTTON);
    grid.EndEditing();
    // A double click in a cell's text edits it too and tells the owner.
    grid.OnLButtonDblClk(0, In(2, 2));
    EXPECT_EQ(grid.editors.size(), 2u);
    EXPECT_EQ(grid.owner.Count(NM_DBLCLK), 1);
}

TEST(GridMouseTest, DraggingAColumnDividerSizesTheColumn) {
    FakeGrid grid(4, 4, 1, 1);
    const CPoint divider(2 * 98 - 1, 5);
    grid.OnMouseMove(0, divider);
    EXPECT_EQ(grid.GetMouseMode(), CGridCore::MOUSE_OVER_COL_DIVIDE);
    EXPECT_EQ(grid.cursor, GridCursor::SizeWE);
    grid.OnLButtonDown(0, divider);
    EXPECT_EQ(grid.GetMouseMode(), CGridCore::MOUSE_SIZING_COL);
    grid.OnMouseMove(MK_LBUTTON, CPoint(150, 5));
    grid.OnLButtonUp(0, CPoint(150, 5));
    EXPECT_EQ(grid.GetColumnWidth(1), 150 - 98);
    EXPECT_EQ(grid.GetMouseMode(), CGridCore::MOUSE_NOTHING);

    // Dragged past the column's left edge: the pointer is held one pixel right of it.
    grid.OnMouseMove(0, CPoint(150 - 1, 5));
    grid.OnLButtonDown(0, CPoint(150 - 1, 5));
    grid.OnLButtonUp(0, CPoint(0, 5));
    EXPECT_EQ(grid.GetColumnWidth(1), 1);

    // Double-clicking a divider fits the column to its text.
    grid.SetColumnWidth(1, 98);
    grid.SetItemText(2, 2, "twelve chars");
    grid.OnMouseMove(0, CPoint(3 * 98 - 2, 5));
    grid.OnLButtonDblClk(0, CPoint(3 * 98 - 2, 5));
    EXPECT_EQ(grid.GetColumnWidth(2), 12 * 7 + 28);
}

TEST(GridMouseTest, RightClickMovesTheFocusAndTellsTheOwner) {
    FakeGrid grid(4, 4, 1, 1);
    grid.OnRButtonDown(0, In(0, 2));
    grid.OnRButtonUp(0, In(0, 2));
    EXPECT_EQ(grid.GetFocusCell(), CCellID(1, 2));
    ASSERT_EQ(grid.owner.Count(NM_RCLICK), 1);
    EXPECT_EQ(grid.owner.heard.back().row, 0);
    grid.OnRButtonUp(0, CPoint(390, 290));
    EXPECT_EQ(grid.owner.heard.back().row, -1);
}

TEST(GridMouseTest, TheTimerExtendsTheSelectionBelowTheWindow) {
    FakeGrid grid(60, 3, 1, 1);
    grid.OnLButtonDown(0, In(2, 1));
    grid.OnMouseMove(MK_LBUTTON, In(14, 1));
    grid.cursorPos = CPoint(100, 400);
    grid.OnTimer(CGridCore::WM_LBUTTONDOWN_TIMER);
    grid.OnTimer(CGridCore::WM_LBUTTONDOWN_TIMER);
    EXPECT_GT(grid.GetScrollPos32(SB_VERT), 0);
    const CCellRange selection = grid.GetSelectedCellRange();
    EXPECT_EQ(selection.GetMinRow(), 2);
    EXPECT_GT(selection.GetMaxRow(), 10);
    grid.OnLButtonUp(0, CPoint(100, 400));
}

TEST(GridMouseTest, HoveringOverACellOffersItsTitleTip) {
    FakeGrid grid(3, 3, 1, 1);
    grid.SetItemText(1, 1, "a text too long for the cell");
    grid.OnMouseMove(0, In(1, 1));
    EXPECT_EQ(grid.tipsShown, 1);
    EXPECT_EQ(grid.lastTip, CString("a text too long for the cell"));
    grid.OnMouseMove(0, In(2, 2));
    EXPECT_EQ(grid.tipsShown, 1); // empty cells have no tip
    grid.EnableTitleTips(FALSE);
    grid.OnMouseMove(0, In(1, 1));
    EXPECT_EQ(grid.tipsShown, 1);
}
