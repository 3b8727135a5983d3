// The program in a real window (an X server, not the offscreen platform): the survey project
// with its 40 targets imported and converted, photographed from the screen.
#include "tests/support/ScriptedChooser.h"
#include "zentrova/CMainFrame.h"
#include "zentrova/CZentrovaApp.h"
#include "zentrova/CZentrovaView.h"
#include "zentrova/PointListCtrl.h"
#include "zentrova/tests/ProgramFixture.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <set>

namespace {

class WindowTest : public ProgramTest {};

TEST_F(WindowTest, TheMainWindowShowsConvertedPoints) {
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
    CZentrovaApp app(sources());
    ASSERT_TRUE(app.InitInstance());
    CMainFrame *frame = app.GetMainFrame();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame));
    testsupport::ScriptedChooser chooser;
    chooser.answers = {putTargetCsv("targets.csv")};
    frame->GetView()->SetFileChooser(&chooser);
    frame->GetView()->OnFileImport();
    frame->GetView()->OnConvert();
    const CDlgCanvas *canvas = frame->GetView()->GetDialog();
    ASSERT_EQ(canvas->GetAfterList()->GetItemCount(), 40);
    QTest::qWait(300);

    // What the X server shows where the window is.
    const QRect area = frame->frameGeometry();
    const QImage shot =
        frame->screen()->grabWindow(0, area.x(), area.y(), area.width(), area.height()).toImage();
    ASSERT_FALSE(shot.isNull());
    EXPECT_EQ(shot.size(), area.size());
    QDir().mkpath(QStringLiteral(ZENTROVA_ARTEFACT_DIR));
    EXPECT_TRUE(shot.save(QStringLiteral(ZENTROVA_ARTEFACT_DIR "/zentrova-window.png")));
    // Lists, texts and buttons: far more than a blank surface.
    std::set<QRgb> colours;
    for (int y = 0; y < shot.height(); y += 3)
        for (int x = 0; x < shot.width(); x += 3)
            colours.insert(shot.pixel(x, y));
    EXPECT_GT(colours.size(), 20u);
}

} // namespace
