// The window on a laptop's screen of 1366 x 768 with the desktop scaled to 200 % (a virtual X
// server, QT_SCALE_FACTOR=2), driven by a real pointer through the XTest extension: the window
// takes the screen and its view scrolls, so that the point buttons below can be reached.
#include "tests/support/WaitDlgProbe.h"
#include "tests/support/WaitForEvent.h"
#include "tests/support/WhenShown.h"
#include "tests/support/XPointer.h"
#include "zentrova/CDlgPointInput.h"
#include "zentrova/CMainFrame.h"
#include "zentrova/CZentrovaApp.h"
#include "zentrova/CZentrovaView.h"
#include "zentrova/tests/ProgramFixture.h"

#include <QGuiApplication>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

namespace {

using namespace testsupport::xpointer;

QRect OnScreen(const QWidget *widget) {
    return QRect(widget->mapToGlobal(QPoint(0, 0)), widget->size());
}

class LayoutTest : public ProgramTest {};

TEST_F(LayoutTest, AtTwiceTheScaleOnALaptopScreenAddIsReachedAndClicked) {
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
    ASSERT_TRUE(Available());
    const QScreen *screen = QGuiApplication::primaryScreen();
    const qreal ratio = screen->devicePixelRatio();
    ASSERT_EQ(ratio, 2.0) << "the test runs with QT_SCALE_FACTOR=2";
    ASSERT_EQ(screen->geometry().size() * ratio, QSize(1366, 768));

    CZentrovaApp app(sources());
    ASSERT_TRUE(app.InitInstance());
    CMainFrame *frame = app.GetMainFrame();
    frame->activateWindow();
    testsupport::WaitUntil(
        [frame] { return frame->windowHandle()->isExposed() && frame->isActiveWindow(); });
    // The window is inside the screen, which is far smaller than the frame the dialog asks for.
    EXPECT_TRUE(screen->availableGeometry().contains(frame->frameGeometry()));
    const QWidget *view = frame->GetView();
    EXPECT_GT(view->height(), screen->geometry().height());

    // Add lies below what the window shows; the wheel over the scroll bar brings it up.
    auto *scroll = frame->findChild<QScrollArea *>();
    ASSERT_NE(scroll, nullptr);
    QScrollBar *bar = scroll->verticalScrollBar();
    ASSERT_TRUE(bar->isVisible());
    QWidget *add = GetDlgItem(view->findChild<CDlgCanvas *>(), CDlgCanvas::IDC_BTN_ADD);
    auto reachable = [&] {
        return OnScreen(scroll->viewport()).contains(OnScreen(add)) &&
               screen->geometry().contains(OnScreen(add));
    };
    EXPECT_FALSE(reachable());
    MoveTo(OnScreen(bar).center());
    for (int notch = 0; notch < 40 && !reachable(); ++notch) {
        const int before = bar->value();
        WheelNotch(true);
        ASSERT_TRUE(QTest::qWaitFor([&] { return bar->value() != before; },
                                    testsupport::DialogAnswer::kLimitMs))
            << "the wheel does not scroll the window";
    }
    ASSERT_TRUE(reachable());

    // A click on it opens the point dialog, inside the screen too.
    bool inside = false;
    const auto reply = testsupport::WhenShown<CDlgPointInput>([&](CDlgPointInput *dialog) {
        inside = screen->availableGeometry().contains(dialog->frameGeometry());
        dialog->reject();
    });
    MoveTo(OnScreen(add).center());
    Click();
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return reply->Answers() > 0 && Shown<CDlgPointInput>() == nullptr; },
                        testsupport::DialogAnswer::kLimitMs));
    EXPECT_TRUE(inside);
}

} // namespace
