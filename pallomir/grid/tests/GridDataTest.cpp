#include "pallomir/grid/tests/FakeGrid.h"
#include "platform/core/Numbers.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/FolderSnapshot.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <random>

using gridtest::FakeGrid;

namespace {

std::vector<CString> Column(const CGridCore &grid, int col) {
    std::vector<CString> texts;
    for (int row = grid.GetFixedRowCount(); row < grid.GetRowCount(); ++row)
        texts.push_back(grid.GetItemText(row, col));
    return texts;
}

std::vector<CString> Texts(std::initializer_list<const char *> texts) {
    return std::vector<CString>(texts.begin(), texts.end());
}

// A grid of one fixed row with the texts in column 1 and the row number in column 0.
void FillColumn(FakeGrid &grid, std::initializer_list<const char *> texts) {
    grid.SetRowCount(1 + static_cast<int>(texts.size()));
    int row = 1;
    for (const char *text : texts) {
        grid.SetItemText(row, 1, text);
        grid.SetItemTextFmt(row, 0, "%d", row);
        ++row;
    }
}

} // namespace

TEST(GridSortTest, NumericSortPutsNineBeforeTen) {
    FakeGrid grid(1, 2, 1, 0);
    FillColumn(grid, {"10", "9", "100", "-1", "9"});
    grid.SetRowHeight(2, 40);
    grid.SetCompareFunction(CGridCore::pfnCellNumericCompare);
    EXPECT_TRUE(grid.SortItems(1, TRUE));
    EXPECT_EQ(Column(grid, 1), Texts({"-1", "9", "9", "10", "100"}));
    EXPECT_EQ(grid.GetSortColumn(), 1);
    // Whole rows move, heights and all.
    for (int row = 1; row < grid.GetRowCount(); ++row) {
        if (grid.GetItemText(row, 0) == CString("2")) {
            EXPECT_EQ(grid.GetRowHeight(row), 40);
        }
    }
    EXPECT_TRUE(grid.SortItems(1, FALSE));
    EXPECT_EQ(Column(grid, 1), Texts({"100", "10", "9", "9", "-1"}));
    // As text, "10" comes before "9".
    EXPECT_TRUE(grid.SortTextItems(1, TRUE));
    EXPECT_EQ(Column(grid, 1), Texts({"-1", "10", "100", "9", "9"}));
    EXPECT_FALSE(grid.SortItems(2, TRUE));
}

TEST(GridSortTest, AHeadingClickSortsAndTheNextReverses) {
    FakeGrid grid(1, 2, 1, 0);
    FillColumn(grid, {"b", "c", "a"});
    grid.SetHeaderSort(TRUE);
    const CPoint heading(98 + 40, 9);
    grid.OnLButtonDown(0, heading);
    grid.OnLButtonUp(0, heading);
    EXPECT_EQ(Column(grid, 1), Texts({"a", "b", "c"}));
    EXPECT_TRUE(grid.GetSortAscending());
    grid.OnLButtonDown(0, heading);
    grid.OnLButtonUp(0, heading);
    EXPECT_EQ(Column(grid, 1), Texts({"c", "b", "a"}));
    EXPECT_FALSE(grid.GetSortAscending());
}

TEST(GridSortTest, NumbersAreReadAs32BitValues) {
    CGridCell big;
    CGridCell max;
    big.SetText("3000000000");
    max.SetText("2147483647");
    const auto compare = [](const CGridCell &a, const CGridCell &b) {
        return CGridCore::pfnCellNumericCompare(reinterpret_cast<LPARAM>(&a),
                                                reinterpret_cast<LPARAM>(&b), 0);
    };
    EXPECT_EQ(compare(big, max), 0);
    big.SetText("-3000000000");
    max.SetText("-2147483648");
    EXPECT_EQ(compare(big, max), 0);
    big.SetText("12abc");
    max.SetText("13");
    EXPECT_EQ(compare(big, max), -1);
    EXPECT_EQ(CGridCore::pfnCellNumericCompare(0, reinterpret_cast<LPARAM>(&max), 0), 0);
}

TEST(GridSortTest, TextComparesDoubleByteCharactersWhole) {
    FakeGrid grid(1, 2, 1, 0);
    // Half-width katakana (one byte, 0xB1) before hiragana (0x82A0): by bytes it would be
    // the other way round.
    FillColumn(grid, {"あ", "ｱ", "A"});
    grid.SortTextItems(1, TRUE);
    EXPECT_EQ(Column(grid, 1), Texts({"A", "ｱ", "あ"}));
}

TEST(GridSortTest, LargeRandomColumnsComeOutOrdered) {
    FakeGrid grid(1, 2, 1, 0);
    const int rows = 3000;
    grid.SetRowCount(rows + 1);
    std::mt19937 random(18);
    for (int row = 1; row <= rows; ++row)
        grid.SetItemTextFmt(row, 1, "%d", static_cast<int>(random() % 50));
    grid.SetCompareFunction(CGridCore::pfnCellNumericCompare);
    grid.SortItems(1, TRUE);
    for (int row = 2; row <= rows; ++row)
        ASSERT_LE(AtoiC(grid.GetItemText(row - 1, 1)), AtoiC(grid.GetItemText(row, 1))) << row;
}

TEST(GridClipboardTest, CopyKeepsTheTabsOfAGap) {
    FakeGrid grid(3, 4, 1, 1);
    grid.SetItemText(1, 1, "a");
    grid.SetItemText(1, 2, "b");
    grid.SetItemText(1, 3, "c");
    grid.SetItemText(2, 1, "d");
    grid.OnLButtonDown(0, CPoint(98 + 5, 19 + 5));
    grid.OnLButtonUp(0, CPoint(98 + 5, 19 + 5));
    grid.OnLButtonDown(MK_CONTROL, CPoint(3 * 98 + 5, 19 + 5));
    grid.OnLButtonUp(MK_CONTROL, CPoint(3 * 98 + 5, 19 + 5));
    EXPECT_EQ(grid.GetSelectedText(), CString("a\t\tc"));

    grid.SetSelectedRange(1, 1, 2, 3);
    EXPECT_EQ(grid.GetSelectedText(), CString("a\tb\tc\nd\t\t"));
    // Hidden columns are left out.
    grid.SetColumnWidth(2, 0);
    EXPECT_EQ(grid.GetSelectedText(), CString("a\tc\nd\t"));
    grid.ResetSelectedRange();
    EXPECT_EQ(grid.GetSelectedText(), CString());
}

TEST(GridClipboardTest, PasteSplitsAtTabsWhenThereAreAnyElseAtCommas) {
    FakeGrid grid(4, 4, 1, 1);
    EXPECT_TRUE(grid.PasteTextToGrid(CCellID(1, 1), "1,2"));
    EXPECT_EQ(grid.GetItemText(1, 1), CString("1"));
    EXPECT_EQ(grid.GetItemText(1, 2), CString("2"));
    grid.PasteTextToGrid(CCellID(2, 1), " x \t y\r\n");
    EXPECT_EQ(grid.GetItemText(2, 1), CString("x"));
    EXPECT_EQ(grid.GetItemText(2, 2), CString("y"));
    // The line end at the end makes no empty line.
    EXPECT_EQ(grid.GetItemText(3, 1), CString());

    // A tabbed copy keeps its thousands separators.
    grid.PasteTextToGrid(CCellID(1, 1), "1,000\t2,500\n3");
    EXPECT_EQ(grid.GetItemText(1, 1), CString("1,000"));
    EXPECT_EQ(grid.GetItemText(1, 2), CString("2,500"));
    EXPECT_EQ(grid.GetItemText(1, 3), CString());
    EXPECT_EQ(grid.GetItemText(2, 1), CString("3"));
    // The pasted cells are selected.
    EXPECT_EQ(grid.GetSelectedCellRange(), CCellRange(1, 1, 2, 2));
}

TEST(GridClipboardTest, PasteSkipsHiddenCellsDropsTheOverflowAndHearsTheOwner) {
    FakeGrid grid(4, 4, 1, 1);
    grid.SetColumnWidth(2, 0);
    grid.SetRowHeight(2, 0);
    grid.PasteTextToGrid(CCellID(1, 1), "a\tb\tc\nd\te\tf\ng\nh");
    EXPECT_EQ(grid.GetItemText(1, 1), CString("a"));
    EXPECT_EQ(grid.GetItemText(1, 2), CString());
    EXPECT_EQ(grid.GetItemText(1, 3), CString("b"));
    EXPECT_EQ(grid.GetItemText(2, 1), CString());
    EXPECT_EQ(grid.GetItemText(3, 1), CString("d"));
    EXPECT_EQ(grid.GetItemText(3, 3), CString("e"));
    EXPECT_EQ(grid.GetRowCount(), 4);

    grid.SetItemState(1, 3, grid.GetItemState(1, 3) | GVIS_READONLY);
    grid.owner.answers = {{GVN_BEGINLABELEDIT, -1}};
    grid.PasteTextToGrid(CCellID(1, 1), "z");
    EXPECT_EQ(grid.GetItemText(1, 1), CString("a"));
    grid.owner.answers.clear();
    EXPECT_FALSE(grid.PasteTextToGrid(CCellID(1, 3), "z"));
    EXPECT_FALSE(grid.PasteTextToGrid(CCellID(9, 1), "z"));
}

TEST(GridClipboardTest, CutCopyPasteAndDeleteByKey) {
    FakeGrid grid(3, 3, 1, 1);
    grid.SetItemText(1, 1, "one");
    grid.SetItemText(1, 2, "two");
    grid.SetFocusCell(1, 1);
    grid.SetSelectedRange(1, 1, 1, 2);
    grid.ctrl = true;
    grid.OnKeyDown('X');
    EXPECT_EQ(grid.clipboard, CString("one\ttwo"));
    EXPECT_EQ(grid.GetItemText(1, 1), CString());
    grid.SetSelectedRange(2, 1, 2, 1);
    grid.OnKeyDown('V');
    EXPECT_EQ(grid.GetItemText(2, 1), CString("one"));
    EXPECT_EQ(grid.GetItemText(2, 2), CString("two"));
    grid.OnKeyDown('A');
    EXPECT_EQ(grid.GetSelectedCount(), 4);
    grid.ctrl = false;
    grid.OnKeyDown(VK_DELETE);
    EXPECT_EQ(grid.GetItemText(2, 2), CString());

    grid.SetItemText(1, 1, "x");
    grid.ClearCells(CCellRange(1, 1, 2, 2));
    EXPECT_EQ(grid.GetItemText(1, 1), CString());
}

TEST(GridDragDropTest, ADropWithCtrlCopiesAndWithoutItMoves) {
    FakeGrid source(3, 3, 1, 1);
    source.EnableDragAndDrop();
    source.SetItemText(1, 1, "dragged");
    source.SetSelectedRange(1, 1, 1, 1);

    // The target says what the drop did: Ctrl copies, else it moves.
    FakeGrid target(3, 3, 1, 1);
    target.EnableDragAndDrop();
    const CPoint over(2 * 98 + 5, 2 * 19 + 5);
    EXPECT_EQ(target.OnDragEnter(true, MK_CONTROL, over), DROPEFFECT_COPY);
    EXPECT_EQ(target.GetItemState(2, 2) & GVIS_DROPHILITED, GVIS_DROPHILITED);
    EXPECT_EQ(target.OnDragOver(true, 0, CPoint(98 + 5, 2 * 19 + 5)), DROPEFFECT_MOVE);
    EXPECT_EQ(target.GetItemState(2, 2) & GVIS_DROPHILITED, 0u);
    const CString text = "dragged";
    EXPECT_TRUE(target.OnDrop(&text, DROPEFFECT_MOVE, CPoint(98 + 5, 2 * 19 + 5)));
    EXPECT_EQ(target.GetItemText(2, 1), CString("dragged"));
    EXPECT_EQ(target.GetItemState(2, 1) & (GVIS_DROPHILITED | GVIS_SELECTED), 0u);
    // Over a fixed cell, or without text, nothing.
    EXPECT_EQ(target.OnDragOver(true, 0, CPoint(5, 5)), DROPEFFECT_NONE);
    EXPECT_EQ(target.OnDragEnter(false, 0, over), DROPEFFECT_NONE);
    // A drag that enters over a heading is taken in all the same; the cell decides later.
    EXPECT_EQ(target.OnDragEnter(true, 0, CPoint(98 + 5, 5)), DROPEFFECT_MOVE);
    EXPECT_EQ(target.OnDragOver(true, 0, over), DROPEFFECT_MOVE);
    EXPECT_EQ(target.GetItemState(2, 2) & GVIS_DROPHILITED, GVIS_DROPHILITED);

    source.dropResult = DROPEFFECT_COPY;
    source.OnBeginDrag();
    ASSERT_EQ(source.dragged.size(), 1u);
    EXPECT_EQ(source.dragged[0], CString("dragged"));
    EXPECT_EQ(source.owner.Count(GVN_BEGINDRAG), 1);
    EXPECT_EQ(source.GetItemText(1, 1), CString("dragged"));
    source.dropResult = DROPEFFECT_MOVE;
    source.OnBeginDrag();
    EXPECT_EQ(source.GetItemText(1, 1), CString());
    EXPECT_EQ(source.GetMouseMode(), CGridCore::MOUSE_NOTHING);
}

class GridFileTest : public testsupport::TempFolderTest {};

TEST_F(GridFileTest, SaveQuotesWhatNeedsItAndLoadReadsItBack) {
    FakeGrid grid(3, 3, 1, 0);
    grid.SetItemText(0, 0, "名前");
    grid.SetItemText(0, 1, "X");
    grid.SetItemText(0, 2, "備考");
    grid.SetItemText(1, 0, "点1");
    grid.SetItemText(1, 1, "1,000.5");
    grid.SetItemText(1, 2, "\"quoted\" and more");
    grid.SetItemText(2, 0, "ソ");
    grid.SetItemText(2, 1, "\"open");
    grid.SetItemText(2, 2, "");
    const CString file = path("グリッド.csv");
    ASSERT_TRUE(grid.Save(file));
    EXPECT_EQ(get("グリッド.csv"),
              std::string("名前,X,備考\r\n点1,\"1,000.5\",\"\"\"quoted\"\" and more\"\r\n"
                          "ソ,\"\"\"open\",\r\n"));

    FakeGrid loaded;
    ASSERT_TRUE(loaded.Load(file));
    ASSERT_EQ(loaded.GetRowCount(), 3);
    ASSERT_EQ(loaded.GetColumnCount(), 3);
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col)
            EXPECT_EQ(loaded.GetItemText(row, col), grid.GetItemText(row, col)) << row << col;
    EXPECT_EQ(loaded.GetItemFormat(0, 1), DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    // Fitted to the widest text.
    EXPECT_EQ(loaded.GetColumnWidth(1), 7 * 7 + 28);
}

TEST_F(GridFileTest, AQuoteLeftOpenEndsItsFieldAtTheLineEnd) {
    put("A,B,C\n1,\"open,x\n2,y,z\n3,\"\"\n", "open.csv");
    FakeGrid grid;
    ASSERT_TRUE(grid.Load(path("open.csv")));
    ASSERT_EQ(grid.GetRowCount(), 4);
    ASSERT_EQ(grid.GetColumnCount(), 3);
    EXPECT_EQ(grid.GetItemText(1, 1), CString("open,x"));
    EXPECT_EQ(grid.GetItemText(1, 2), CString());
    EXPECT_EQ(grid.GetItemText(2, 0), CString("2"));
    EXPECT_EQ(grid.GetItemText(2, 2), CString("z"));
    EXPECT_EQ(grid.GetItemText(3, 0), CString("3"));

    // What no line can carry is not saved, and the file is left as it was.
    grid.SetItemText(2, 1, "two\nlines");
    {
        testsupport::ScriptedPrompts prompts({IDOK});
        EXPECT_FALSE(grid.Save(path("open.csv")));
        ASSERT_EQ(prompts.asked.size(), 1u);
        EXPECT_EQ(prompts.asked[0].first, CString("Unable to save grid list"));
    }
    EXPECT_EQ(get("open.csv"), "A,B,C\n1,\"open,x\n2,y,z\n3,\"\"\n");
}

TEST_F(GridFileTest, LoadTakesLongLinesAndExtraFieldsWhole) {
    const std::string longText(3000, 'x');
    put("A|B\n1|" + longText + "|extra\n2|\x83\x7C\n", "long.txt");
    FakeGrid grid;
    ASSERT_TRUE(grid.Load(path("long.txt"), '|'));
    EXPECT_EQ(grid.GetItemText(1, 1).GetLength(), 3000);
    // A field beyond the headings gets a column of its own.
    ASSERT_EQ(grid.GetColumnCount(), 3);
    EXPECT_EQ(grid.GetItemText(1, 2), CString("extra"));
    // A double-byte character whose trail byte is the separator stays whole.
    EXPECT_EQ(grid.GetItemText(2, 1), CString("\x83\x7C"));
}

TEST_F(GridFileTest, ALeadByteBeforeTheSeparatorSurvivesSaving) {
    // Found by fuzzing: the NUL cuts the field after a lead byte, which Save then wrote just
    // before a '|', a possible trail byte.
    static const char bytes[] = "c|ex\xff.Hu\t\x10\x90\x00\x004|\n";
    put(std::string(bytes, sizeof bytes - 1), "lead.txt");
    FakeGrid grid;
    ASSERT_TRUE(grid.Load(path("lead.txt"), '|'));
    ASSERT_EQ(grid.GetColumnCount(), 3);
    EXPECT_EQ(grid.GetItemText(0, 1), CString("ex\xff.Hu\t\x10\x90"));
    ASSERT_TRUE(grid.Save(path("saved.txt"), '|'));
    FakeGrid again;
    ASSERT_TRUE(again.Load(path("saved.txt"), '|'));
    ASSERT_EQ(again.GetColumnCount(), 3);
    EXPECT_EQ(again.GetItemText(0, 1), grid.GetItemText(0, 1));
}

TEST_F(GridFileTest, FailuresAreReportedAndVirtualGridsDoNotLoad) {
    FakeGrid grid(2, 2);
    {
        testsupport::ScriptedPrompts prompts({IDOK});
        EXPECT_FALSE(grid.Load(path("missing.csv")));
        ASSERT_EQ(prompts.asked.size(), 1u);
    }
    // The grid is kept when the file cannot be opened.
    EXPECT_EQ(grid.GetRowCount(), 2);
    {
        testsupport::ScriptedPrompts prompts({IDOK});
        EXPECT_FALSE(grid.Save(folder()));
        ASSERT_EQ(prompts.asked.size(), 1u);
        EXPECT_EQ(prompts.asked[0].first, CString("Unable to save grid list"));
    }
    // A save cut short by a full disk keeps the file it would have replaced.
    put("a\n", "one.csv");
    grid.SetItemText(0, 0, CString(std::string(5000, 'x').c_str()));
    {
        testsupport::ScriptedPrompts prompts({IDOK});
        testsupport::FileSizeLimit limit(2500);
        EXPECT_FALSE(grid.Save(path("one.csv")));
        EXPECT_EQ(prompts.asked.size(), 1u);
    }
    EXPECT_EQ(get("one.csv"), "a\n");
    EXPECT_EQ(testsupport::FolderSnapshot(m_dir).size(), 1u);
    grid.SetVirtualMode(TRUE);
    EXPECT_FALSE(grid.Load(path("one.csv")));
}

TEST(GridFileFieldsTest, SplittingAndQuotingAgree) {
    std::vector<CString> fields;
    CGridCore::SplitDelimitedLine("a,,\"b,c\",\"d\"\"e\"", ',', fields);
    EXPECT_EQ(fields, Texts({"a", "", "b,c", "d\"e"}));
    CGridCore::SplitDelimitedLine("", ',', fields);
    EXPECT_EQ(fields, Texts({""}));
    // A lead byte without its trail byte stands alone, also before a quote or a comma.
    for (const char *text : {"plain", "with,comma", "\"lead", "in\"side", "", "\"\x81", "a\x81,b",
                             "\x83\x7C,", "ends in a lead byte \x90"}) {
        CGridCore::SplitDelimitedLine(CGridCore::QuoteField(text, ','), ',', fields);
        EXPECT_EQ(fields, Texts({text})) << text;
    }
    EXPECT_EQ(CGridCore::QuoteField("in\"side", ','), CString("in\"side"));
    // Written before a separator that is a trail byte, an unquoted lead byte would take it.
    EXPECT_EQ(CGridCore::QuoteField("x\x90", '|'), CString("\"x\x90\""));
}
