#include "pallomir/ui/JGDViewBase.h"
#include "pallomir/ui/MapCursors.h"
#include "pallomir/ui/ScrollCmd.h"
#include "pallomir/ui/ZoomCmd.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QRubberBand>
#include <QScrollBar>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Records every call the commands make.
class MockView : public JGDViewBase {
  public:
    MockView() {
        resize(400, 300);
        show();
    }
    std::vector<std::string> calls;
    double factor = 0;

    void ZoomToRect(int l, int t, int r, int b) override { log("ZoomToRect", {l, t, r, b}); }
    void ZoomAtPoint(int x, int y, double f) override {
        factor = f;
        log("ZoomAtPoint", {x, y});
    }
    void ZoomByFactor(double f) override {
        factor = f;
        calls.push_back("ZoomByFactor");
    }
    void RedrawMap() override { calls.push_back("RedrawMap"); }
    void ScrollBy(int dx, int dy) override { log("ScrollBy", {dx, dy}); }
    void UpdateMapArea(const QRect &r) override {
        log("UpdateMapArea", {r.left(), r.top(), r.width(), r.height()});
    }

  private:
    void log(const char *name, std::initializer_list<int> values) {
        std::string text = name;
        for (const int v : values)
            text.append(" ").append(std::to_string(v));
        calls.push_back(text);
    }
};

using Calls = std::vector<std::string>;

bool bandShown(const QWidget *view) {
    const auto *band = view->findChild<QRubberBand *>();
    return band != nullptr && band->isVisible();
}

TEST(MapCommandsTest, WheelFactorsPerNotch) {
    EXPECT_DOUBLE_EQ(JGDCmdCtrl::WheelZoomFactor(0), 1.0);
    EXPECT_DOUBLE_EQ(JGDCmdCtrl::WheelZoomFactor(-1), 1.1);
    EXPECT_DOUBLE_EQ(JGDCmdCtrl::WheelZoomFactor(2), 0.9 * 0.9);
    EXPECT_DOUBLE_EQ(JGDCmdCtrl::WheelZoomFactor(-3), 1.1 * 1.1 * 1.1);

    MockView view;
    ZoomCmdDown command(&view, 7);
    EXPECT_EQ(command.MouseWheel(0, -120, QPoint()), 1);
    EXPECT_DOUBLE_EQ(view.factor, 1.1);
    EXPECT_EQ(command.MouseWheel(0, 240, QPoint()), 1);
    EXPECT_DOUBLE_EQ(view.factor, 0.81);
    EXPECT_EQ(view.calls, (Calls{"ZoomByFactor", "RedrawMap", "ZoomByFactor", "RedrawMap"}));
}

TEST(MapCommandsTest, TouchpadDeltasAddUpToWholeNotches) {
    MockView view;
    ZoomCmdUp command(&view, 7);
    // Half a notch does nothing yet; the second half makes one.
    EXPECT_EQ(command.MouseWheel(0, 60, QPoint()), 1);
    EXPECT_TRUE(view.calls.empty());
    command.MouseWheel(0, 60, QPoint());
    EXPECT_EQ(view.calls, (Calls{"ZoomByFactor", "RedrawMap"}));
    EXPECT_DOUBLE_EQ(view.factor, 0.9);

    // Eight small steps towards the user (as a touchpad sends them): one notch, the rest kept.
    view.calls.clear();
    for (int i = 0; i < 8; ++i)
        command.MouseWheel(0, -20, QPoint());
    EXPECT_EQ(view.calls, (Calls{"ZoomByFactor", "RedrawMap"}));
    EXPECT_DOUBLE_EQ(view.factor, 1.1);
    // 40 left over; a notch the other way is not eaten by it, nor is one back again.
    view.calls.clear();
    command.MouseWheel(0, 120, QPoint());
    EXPECT_EQ(view.calls, (Calls{"ZoomByFactor", "RedrawMap"}));
    EXPECT_DOUBLE_EQ(view.factor, 0.9);
    command.MouseWheel(0, 60, QPoint());
    view.calls.clear();
    command.MouseWheel(0, -120, QPoint());
    EXPECT_EQ(view.calls, (Calls{"ZoomByFactor", "RedrawMap"}));
    EXPECT_DOUBLE_EQ(view.factor, 1.1);
}

TEST(MapCommandsTest, DragScrollFollowsTheMouseAndEndsWithARedraw) {
    MockView view;
    ScrollCmd command(&view, 3);
    EXPECT_EQ(command.getLabel(), "移動");
    EXPECT_EQ(command.getCancelLabel(), "キャンセル：移動");
    EXPECT_EQ(command.getId(), 3u);

    QPoint p(100, 100);
    EXPECT_EQ(command.MoveMouse(p), 0); // not dragging
    EXPECT_EQ(command.UpLButton(p), 0);
    EXPECT_EQ(command.DownLButton(p), 1);
    EXPECT_TRUE(command.IsDragging());
    EXPECT_EQ(QWidget::mouseGrabber(), &view);
    // The wheel does not zoom while dragging.
    EXPECT_EQ(command.MouseWheel(0, 120, p), 0);
    QPoint q(90, 120);
    EXPECT_EQ(command.MoveMouse(q), 1);
    QPoint r(80, 125);
    EXPECT_EQ(command.UpLButton(r), 1);
    EXPECT_FALSE(command.IsDragging());
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    EXPECT_EQ(view.calls, (Calls{"ScrollBy 10 -20", "ScrollBy 10 -5", "UpdateMapArea 0 0 400 300",
                                 "RedrawMap"}));
    // The right button cancels nothing here but is handled.
    EXPECT_EQ(command.DownRButton(r), 1);
}

TEST(MapCommandsTest, ZoomOutOnReleaseAboutThePoint) {
    MockView view;
    ZoomCmdDown command(&view, 4);
    EXPECT_EQ(command.getLabel(), "縮小");
    EXPECT_EQ(command.getCancelLabel(), "キャンセル：縮小");
    QPoint p(30, 40);
    EXPECT_EQ(command.DownLButton(p), 0);
    EXPECT_TRUE(view.calls.empty());
    EXPECT_EQ(command.UpLButton(p), 1);
    EXPECT_EQ(view.calls, (Calls{"ZoomAtPoint 30 40", "RedrawMap"}));
    EXPECT_DOUBLE_EQ(view.factor, 0.5);
    EXPECT_EQ(command.DownRButton(p), 1);
    EXPECT_EQ(command.CursorSet(), 1);
}

TEST(MapCommandsTest, ZoomInBandClickAndThreePixelLimit) {
    struct Case {
        QPoint release;
        std::string zoom;
    };
    const Case cases[] = {
        {QPoint(100, 100), "ZoomAtPoint 100 100"},        // a click
        {QPoint(103, 103), "ZoomAtPoint 100 100"},        // 3 right, 3 down: still a click
        {QPoint(104, 100), "ZoomToRect 100 100 104 100"}, // 4 right: a band
        {QPoint(40, 70), "ZoomToRect 40 70 100 100"},     // up and left: normalised
        {QPoint(160, 20), "ZoomToRect 100 20 160 100"},   // up and right
    };
    for (const Case &c : cases) {
        MockView view;
        ZoomCmdUp command(&view, 5);
        QPoint press(100, 100);
        EXPECT_EQ(command.DownLButton(press), 1);
        EXPECT_TRUE(command.IsBandActive());
        EXPECT_EQ(QWidget::mouseGrabber(), &view);
        QPoint move = c.release;
        EXPECT_EQ(command.MoveMouse(move), 1);
        EXPECT_EQ(bandShown(&view), true);
        EXPECT_EQ(command.MouseWheel(0, 120, move), 0); // no wheel zoom during a band
        QPoint release = c.release;
        EXPECT_EQ(command.UpLButton(release), 1);
        EXPECT_EQ(view.calls, (Calls{c.zoom, "RedrawMap"})) << c.zoom;
        if (c.zoom.starts_with("ZoomAtPoint")) {
            EXPECT_DOUBLE_EQ(view.factor, 2.0);
        }
        EXPECT_FALSE(bandShown(&view));
        EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    }
    EXPECT_TRUE(ZoomCmdUp::IsZoomRect(QRect(QPoint(10, 10), QPoint(10, 14))));
    EXPECT_FALSE(ZoomCmdUp::IsZoomRect(QRect(QPoint(10, 10), QPoint(7, 7))));
    EXPECT_TRUE(ZoomCmdUp::IsZoomRect(QRect(QPoint(10, 10), QPoint(6, 10))));
}

TEST(MapCommandsTest, RightButtonOrEscapeDropsTheBandAndALaterReleaseDoesNotZoom) {
    for (const bool escape : {false, true}) {
        MockView view;
        ZoomCmdUp command(&view, 5);
        QPoint press(10, 10);
        command.DownLButton(press);
        QPoint move(200, 150);
        command.MoveMouse(move);
        EXPECT_TRUE(bandShown(&view));
        QPoint right(0, 0);
        EXPECT_EQ(escape ? command.DownKey(VK_ESCAPE, 1, 0) : command.DownRButton(right), 1);
        EXPECT_FALSE(command.IsBandActive());
        EXPECT_FALSE(bandShown(&view));
        EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
        // The release that follows (or a double click's second one) has no band to zoom to.
        EXPECT_EQ(command.UpLButton(move), 0);
        EXPECT_EQ(command.MoveMouse(move), 0);
        EXPECT_TRUE(view.calls.empty());
    }
    MockView view;
    ZoomCmdUp command(&view, 5);
    EXPECT_EQ(command.DownKey('A', 1, 0), 0);
    EXPECT_EQ(command.getLabel(), "拡大");
    EXPECT_EQ(command.getCancelLabel(), "キャンセル：拡大");
}

TEST(MapCommandsTest, CopiesKeepTheirStateAndCursorsShowTheCommand) {
    MockView view;
    ZoomCmdUp command(&view, 5);
    QPoint press(10, 10);
    command.DownLButton(press);
    QPoint move(50, 60);
    command.MoveMouse(move);
    ZoomCmdUp copy(command);
    EXPECT_TRUE(copy.IsBandActive());
    EXPECT_EQ(copy.GetBand(), QRect(QPoint(10, 10), QPoint(50, 60)));
    copy.CursorSet();
    EXPECT_EQ(view.cursor().shape(), Qt::CrossCursor);
    command.DownRButton(press);
    command.CursorSet();
    EXPECT_EQ(view.cursor().shape(), Qt::BitmapCursor);

    ScrollCmd scroll(&view, 3);
    scroll.CursorSet();
    EXPECT_EQ(view.cursor().shape(), Qt::OpenHandCursor);
    scroll.DownLButton(press);
    EXPECT_EQ(view.cursor().shape(), Qt::ClosedHandCursor);
    scroll.UpLButton(press);
    EXPECT_EQ(view.cursor().shape(), Qt::OpenHandCursor);

    // The magnifiers are drawn: the lens centre is white and its hot spot.
    const QCursor zoomIn = LoadMapCursor(IDC_CURSOR_ZOOMIN);
    EXPECT_EQ(zoomIn.hotSpot(), QPoint(12, 12));
    EXPECT_NE(zoomIn.pixmap().toImage().pixelColor(12, 12), QColor(Qt::transparent));
    EXPECT_EQ(LoadMapCursor(0).shape(), Qt::ArrowCursor);
}

// A pane that counts the wheel events it gets and ignores them, as a plain widget does.
class WheelPane : public QWidget {
  public:
    int wheels = 0;
    int lastDelta = 0;

  protected:
    void wheelEvent(QWheelEvent *event) override {
        ++wheels;
        lastDelta = event->angleDelta().y();
        event->ignore();
    }
};

TEST(MapCommandsTest, SplitterPassesTheWheelToThePaneUnderTheCursor) {
    JSplitterWnd splitter(Qt::Horizontal);
    auto *left = new WheelPane;
    auto *scroll = new QAbstractScrollArea;
    splitter.addWidget(left);
    splitter.addWidget(scroll);
    splitter.resize(400, 200);
    splitter.show();
    scroll->verticalScrollBar()->setRange(0, 1000);

    const QPoint overLeft = left->mapToGlobal(QPoint(10, 10));
    EXPECT_TRUE(splitter.OnMouseWheel(Qt::NoModifier, Qt::NoButton, -120, overLeft));
    EXPECT_EQ(left->wheels, 1);
    EXPECT_EQ(left->lastDelta, -120);

    // A scrolling pane scrolls.
    const QPoint overScroll = scroll->mapToGlobal(QPoint(20, 20));
    splitter.OnMouseWheel(Qt::NoModifier, Qt::NoButton, -120, overScroll);
    EXPECT_GT(scroll->verticalScrollBar()->value(), 0);
    EXPECT_EQ(left->wheels, 1);

    // The pane with the focus has had the wheel already.
    left->setFocusPolicy(Qt::StrongFocus);
    left->setFocus();
    QApplication::setActiveWindow(&splitter);
    ASSERT_EQ(QApplication::focusWidget(), left);
    splitter.OnMouseWheel(Qt::NoModifier, Qt::NoButton, 120, overLeft);
    EXPECT_EQ(left->wheels, 1);
}

} // namespace
