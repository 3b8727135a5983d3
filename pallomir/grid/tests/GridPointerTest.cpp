// The grid in real windows on an X server, driven by the pointer as a user drives it: the XTest
// extension moves the pointer and presses the button, so every event comes from the window
// system (title tips are windows of their own, drags go through the drag-and-drop protocol),
// which events sent to a widget would skip.
#include "pallomir/grid/CGridCtrl.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QStyleHints>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

struct _XDisplay;

namespace {

// The pointer of the X server the program shows on, through a connection of its own.
class Pointer {
  public:
    Pointer();
    ~Pointer();
    Pointer(const Pointer &) = delete;
    Pointer &operator=(const Pointer &) = delete;

    // Whether the server can be driven (it has the XTest extension).
    bool Usable() const;
    void MoveTo(QPoint global);
    void Button(bool down);

  private:
    _XDisplay *m_display;
};

// A host that hears its grids.
class Host : public QWidget, public IGridNotifyTarget {
  public:
    LRESULT OnGridNotify(NMHDR *record) override {
        codes.push_back(record->code);
        return 0;
    }
    void OnGridCommand(CGridCore *, UINT) override {}
    bool Heard(int code) const {
        return std::find(codes.begin(), codes.end(), code) != codes.end();
    }

    std::vector<int> codes;
};

// Steps run one after the other from a timer, so that they go on inside the event loop of a
// drag, which holds the test's own code until the drop. A step answers true when it is done;
// a step still waiting after its time gives up the script.
class Script {
  public:
    void Then(std::function<bool()> step) { m_steps.push_back(std::move(step)); }
    // Runs the steps; false when one did not finish in time (onFailure then cleans up).
    bool Run(const std::function<void()> &onFailure) {
        QTimer timer;
        QElapsedTimer waited;
        std::size_t next = 0;
        bool failed = false;
        waited.start();
        QObject::connect(&timer, &QTimer::timeout, [&] {
            if (failed || next == m_steps.size())
                return;
            if (m_steps[next]()) {
                ++next;
                waited.restart();
            } else if (waited.elapsed() > kStepTimeoutMs) {
                failed = true;
                onFailure();
            }
        });
        timer.start(10);
        const bool ended = QTest::qWaitFor([&] { return failed || next == m_steps.size(); },
                                           static_cast<int>(m_steps.size()) * kStepTimeoutMs);
        if (!ended)
            onFailure();
        return ended && !failed;
    }

  private:
    static constexpr int kStepTimeoutMs = 5000;
    std::vector<std::function<bool()>> m_steps;
};

class GridPointerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
        ASSERT_TRUE(pointer.Usable()) << "no XTest on the X server";
        host.resize(700, 300);
        host.move(20, 20);
    }

    void Show() {
        host.show();
        host.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
        ASSERT_TRUE(QTest::qWaitForWindowActive(&host));
    }

    static CGridCtrl *MakeGrid(Host *host, int left) {
        auto *grid = new CGridCtrl(6, 4, 1, 1, host);
        grid->setGeometry(left, 10, 330, 200);
        for (int col = 1; col < 4; ++col)
            grid->SetItemTextFmt(0, col, "Col %d", col);
        for (int row = 1; row < 6; ++row) {
            grid->SetItemTextFmt(row, 0, "%d", row);
            for (int col = 1; col < 4; ++col)
                grid->SetItemTextFmt(row, col, "%d.%d", row, col);
        }
        return grid;
    }

    // The centre of a cell on the screen.
    static QPoint OnScreen(CGridCtrl *grid, int row, int col, QPoint offset = QPoint()) {
        CRect rect;
        EXPECT_TRUE(grid->GetCellRect(row, col, &rect));
        const QPoint centre((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
        return grid->viewport()->mapToGlobal(centre + offset);
    }

    Pointer pointer;
    Host host;
};

// Waits until the title tip is shown and its window is on the screen.
bool TipOnScreen(CGridCtrl *grid) {
    QWidget &tip = grid->GetTitleTip();
    return QTest::qWaitFor([&] { return tip.isVisible(); }) && QTest::qWaitForWindowExposed(&tip);
}

TEST_F(GridPointerTest, ClicksOnATitleTipReachTheCellBelow) {
    CGridCtrl *grid = MakeGrid(&host, 10);
    grid->SetItemText(3, 1, "a text much too long to fit into one narrow column");
    Show();
    grid->setFocus();
    // The second click is in time however slowly the machine answers.
    QStyleHints *hints = QGuiApplication::styleHints();
    const int interval = hints->mouseDoubleClickInterval();
    hints->setMouseDoubleClickInterval(10000);

    pointer.MoveTo(OnScreen(grid, 3, 1));
    ASSERT_TRUE(TipOnScreen(grid));
    pointer.Button(true);
    pointer.Button(false);
    EXPECT_TRUE(QTest::qWaitFor([&] { return grid->GetFocusCell() == CCellID(3, 1); }))
        << "the click did not reach the cell";
    EXPECT_FALSE(grid->GetTitleTip().isVisible());

    // Over the cell again the tip comes back; a double click on it edits the cell.
    pointer.MoveTo(OnScreen(grid, 3, 1, QPoint(1, 0)));
    ASSERT_TRUE(TipOnScreen(grid));
    pointer.Button(true);
    pointer.Button(false);
    EXPECT_TRUE(QTest::qWaitFor([&] { return grid->IsItemEditing(3, 1); }))
        << "the double click did not edit the cell";
    EXPECT_TRUE(host.Heard(NM_DBLCLK));
    hints->setMouseDoubleClickInterval(interval);
}

TEST_F(GridPointerTest, ADragThatEntersOverAHeadingDrops) {
    CGridCtrl *source = MakeGrid(&host, 10);
    CGridCtrl *target = MakeGrid(&host, 360);
    source->EnableDragAndDrop();
    target->EnableDragAndDrop();
    source->SetItemText(1, 1, "dragged");
    Show();
    // A selected cell that is not the focus cell: pressed, it starts a drag.
    source->SetFocusCell(2, 1);
    source->SetSelectedRange(1, 1, 1, 1);

    // The pointer reaches the data cells of the target over its headings.
    const QPoint heading = OnScreen(target, 0, 2);
    Script script;
    script.Then([&] {
        pointer.MoveTo(OnScreen(source, 1, 1));
        return true;
    });
    script.Then([&] {
        pointer.Button(true);
        return true;
    });
    script.Then([&] { return source->GetMouseMode() == CGridCore::MOUSE_PREPARE_DRAG; });
    script.Then([&] {
        pointer.MoveTo(OnScreen(source, 1, 1, QPoint(6, 2)));
        return true;
    });
    script.Then([&] { return source->GetMouseMode() == CGridCore::MOUSE_DRAGGING; });
    for (int step = 1; step <= 4; ++step)
        script.Then([&, step] {
            pointer.MoveTo(heading + QPoint(0, step));
            return true;
        });
    script.Then([&] {
        pointer.MoveTo(OnScreen(target, 2, 2));
        return true;
    });
    script.Then([&] { return (target->GetItemState(2, 2) & GVIS_DROPHILITED) != 0; });
    script.Then([&] {
        pointer.Button(false);
        return true;
    });
    const bool done = script.Run([&] { pointer.Button(false); });
    EXPECT_TRUE(done) << "the drag never reached the target's cell";
    EXPECT_TRUE(QTest::qWaitFor([&] { return target->GetItemText(2, 2) == CString("dragged"); }));
    EXPECT_EQ(target->GetItemState(2, 2) & GVIS_DROPHILITED, 0u);
    // Moved: the source cell is emptied.
    EXPECT_TRUE(QTest::qWaitFor([&] { return source->GetItemText(1, 1).IsEmpty(); }));
}

} // namespace

// Xlib last: its macros (None, Bool, Status) would clash with the headers above.
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace {

Pointer::Pointer() : m_display(XOpenDisplay(nullptr)) {}

Pointer::~Pointer() {
    if (m_display != nullptr)
        XCloseDisplay(m_display);
}

bool Pointer::Usable() const {
    int event = 0, error = 0, major = 0, minor = 0;
    return m_display != nullptr && XTestQueryExtension(m_display, &event, &error, &major, &minor);
}

void Pointer::MoveTo(QPoint global) {
    XTestFakeMotionEvent(m_display, -1, global.x(), global.y(), CurrentTime);
    XFlush(m_display);
}

void Pointer::Button(bool down) {
    XTestFakeButtonEvent(m_display, 1, down ? True : False, CurrentTime);
    XFlush(m_display);
}

} // namespace
