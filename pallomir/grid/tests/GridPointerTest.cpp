// The grid in real windows on an X server, driven by the pointer through the XTest extension:
// every event comes from the window system (title tips are windows of their own, drags go
// through the drag-and-drop protocol), which events sent to a widget would skip.
#include "pallomir/grid/CGridCtrl.h"
#include "tests/support/WaitForEvent.h"
#include "tests/support/XPointer.h"

#include <QApplication>
#include <QStyleHints>
#include <QWindow>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

namespace {

using testsupport::xpointer::Button;
using testsupport::xpointer::MoveTo;
using testsupport::xpointer::WheelNotch;

// Runs the steps one after the other, each as soon as an event may have brought what the one
// before waits for, so that they go on inside the event loop of a drag, which holds the test's
// own code until the drop. A step answers true once done.
void RunSteps(const std::vector<std::function<bool()>> &steps) {
    std::size_t next = 0;
    testsupport::WaitUntil([&] {
        while (next < steps.size() && steps[next]())
            ++next;
        return next == steps.size();
    });
}

class Host : public QWidget, public IGridNotifyTarget {
  public:
    LRESULT OnGridNotify(NMHDR *record) override {
        codes.push_back(record->code);
        return 0;
    }
    void OnGridCommand(CGridCore *, UINT) override {}
    std::vector<int> codes;
};

class GridPointerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
        ASSERT_TRUE(testsupport::xpointer::Available());
        host.setGeometry(20, 20, 700, 300);
    }

    void Show() {
        host.show();
        host.activateWindow();
        testsupport::WaitUntil([this] { return Exposed(&host) && host.isActiveWindow(); });
    }

    CGridCtrl *MakeGrid(int left) {
        auto *grid = new CGridCtrl(6, 4, 1, 1, &host);
        grid->setGeometry(left, 10, 330, 200);
        for (int row = 0; row < 6; ++row)
            for (int col = 0; col < 4; ++col)
                grid->SetItemTextFmt(row, col, "%d.%d", row, col);
        return grid;
    }

    // The centre of a cell on the screen.
    static QPoint OnScreen(CGridCtrl *grid, int row, int col, QPoint offset = QPoint()) {
        CRect rect;
        EXPECT_TRUE(grid->GetCellRect(row, col, &rect));
        const QPoint centre((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        return grid->viewport()->mapToGlobal(centre + offset);
    }

    static bool Exposed(QWidget *widget) {
        return widget->windowHandle() != nullptr && widget->windowHandle()->isExposed();
    }

    static void WaitForTip(CGridCtrl *grid) {
        QWidget &tip = grid->GetTitleTip();
        testsupport::WaitUntil([&] { return tip.isVisible() && Exposed(&tip); });
    }

    Host host;
};

TEST_F(GridPointerTest, ClicksOnATitleTipReachTheCellBelow) {
    CGridCtrl *grid = MakeGrid(10);
    grid->SetItemText(3, 1, "a text much too long to fit into one narrow column");
    Show();
    grid->setFocus();
    // The second click is in time however slowly the machine answers.
    QStyleHints *hints = QGuiApplication::styleHints();
    const int interval = hints->mouseDoubleClickInterval();
    hints->setMouseDoubleClickInterval(10000);

    MoveTo(OnScreen(grid, 3, 1));
    WaitForTip(grid);
    Button(true);
    Button(false);
    testsupport::WaitUntil([&] { return grid->GetFocusCell() == CCellID(3, 1); });
    EXPECT_FALSE(grid->GetTitleTip().isVisible());

    // The tip comes back over the cell; a second click on it in time is a double click.
    MoveTo(OnScreen(grid, 3, 1, QPoint(1, 0)));
    WaitForTip(grid);
    Button(true);
    Button(false);
    testsupport::WaitUntil([&] { return grid->IsItemEditing(3, 1); });
    EXPECT_EQ(std::count(host.codes.begin(), host.codes.end(), NM_DBLCLK), 1);
    hints->setMouseDoubleClickInterval(interval);
}

// The wheel turned with the pointer on a shown tip scrolls the grid under it, one notch by its
// lines.
TEST_F(GridPointerTest, TheWheelOverATitleTipScrollsTheGridBelow) {
    auto *grid = new CGridCtrl(200, 4, 1, 1, &host);
    grid->setGeometry(10, 10, 330, 200);
    grid->SetItemText(2, 1, "a text much too long to fit into one narrow column");
    Show();
    grid->setFocus();
    grid->SetWheelScrollLines(3);
    const int top = grid->GetTopleftNonFixedCell().row;

    MoveTo(OnScreen(grid, 2, 1));
    WaitForTip(grid);
    WheelNotch(true);
    testsupport::WaitUntil([&] { return grid->GetTopleftNonFixedCell().row != top; });
    EXPECT_EQ(grid->GetTopleftNonFixedCell().row, top + 3);
    EXPECT_FALSE(grid->GetTitleTip().isVisible());
}

TEST_F(GridPointerTest, ADragThatEntersOverAHeadingDrops) {
    CGridCtrl *source = MakeGrid(10);
    CGridCtrl *target = MakeGrid(360);
    source->EnableDragAndDrop();
    target->EnableDragAndDrop();
    source->SetItemText(1, 1, "dragged");
    Show();
    // A selected cell that is not the focus cell: pressed, it starts a drag.
    source->SetFocusCell(2, 1);
    source->SetSelectedRange(1, 1, 1, 1);

    const auto move = [](QPoint to) {
        return [to] {
            MoveTo(to);
            return true;
        };
    };
    const QPoint heading = OnScreen(target, 0, 2);
    RunSteps({
        move(OnScreen(source, 1, 1)),
        [] {
            Button(true);
            return true;
        },
        [&] { return source->GetMouseMode() == CGridCore::MOUSE_PREPARE_DRAG; },
        move(OnScreen(source, 1, 1, QPoint(6, 2))),
        [&] { return source->GetMouseMode() == CGridCore::MOUSE_DRAGGING; },
        // Into the target over its headings, then down to a cell.
        move(heading),
        move(heading + QPoint(0, 2)),
        move(OnScreen(target, 2, 2)),
        [&] { return (target->GetItemState(2, 2) & GVIS_DROPHILITED) != 0; },
        [] {
            Button(false);
            return true;
        },
        [&] { return target->GetItemText(2, 2) == CString("dragged"); },
    });
    EXPECT_EQ(target->GetItemState(2, 2) & GVIS_DROPHILITED, 0u);
    // Moved: the source cell is emptied.
    testsupport::WaitUntil([&] { return source->GetItemText(1, 1).IsEmpty(); });
}

} // namespace
