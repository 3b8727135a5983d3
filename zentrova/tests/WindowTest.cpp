// The program in a real window (an X server, not the offscreen platform): the survey project
// with its 40 targets imported and converted, photographed from the screen.
#include "platform/ui/QtText.h"
#include "tests/support/Screenshot.h"
#include "tests/support/ScriptedChooser.h"
#include "tests/support/WhenShown.h"
#include "zentrova/CDlgPointInput.h"
#include "zentrova/CMainFrame.h"
#include "zentrova/CZentrovaApp.h"
#include "zentrova/CZentrovaView.h"
#include "zentrova/PointListCtrl.h"
#include "zentrova/tests/ProgramFixture.h"

#include <QAbstractButton>
#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QPrintDialog>
#include <QProcess>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <set>

namespace {

class WindowTest : public ProgramTest {
  protected:
    // The caption the window manager is given.
    static QString caption(QWidget *window) {
        QProcess xprop;
        xprop.start("xprop", {"-id", QString::number(window->winId()), "_NET_WM_NAME"});
        EXPECT_TRUE(xprop.waitForFinished(10000));
        return QString::fromUtf8(xprop.readAllStandardOutput()).section('"', 1, -2);
    }
};

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

TEST_F(WindowTest, CaptionsAreTheirOwnAndQtsDialogsSpeakJapanese) {
    ASSERT_EQ(QLocale().language(), QLocale::Japanese) << "the test runs under LANG=ja_JP.UTF-8";
    // The test program's display name, which Qt would append to every caption: the program's
    // own start-up sets none.
    QApplication::setApplicationDisplayName(QString());
    CZentrovaApp app(sources());
    ASSERT_TRUE(app.InitInstance());
    CZentrovaView *view = app.GetMainFrame()->GetView();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(app.GetMainFrame()));
    QStringList captions{caption(app.GetMainFrame())};
    const auto reply = testsupport::WhenShown<CDlgPointInput>([&captions](CDlgPointInput *dialog) {
        captions << caption(dialog);
        dialog->reject();
    });
    view->GetDialog()->OnAdd();
    ASSERT_TRUE(view->GetDialog()->AddTarget(PointValue{"T", -30000, -7000, 10}));
    view->OnConvert();
    const auto reply2 = testsupport::WhenShown<QFileDialog>([&captions](QFileDialog *dialog) {
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog));
        SaveScreenshot(dialog, "save-as-ja.png");
        captions << caption(dialog);
        dialog->reject();
    });
    view->OnCsvOutput();
    EXPECT_EQ(captions, (QStringList{ToQString("座標変換プログラム"), ToQString("座標入力"),
                                     ToQString("名前を付けて保存")}));
}

TEST_F(WindowTest, ThePrintDialogSpeaksJapaneseWhereQtsTranslationIsSilent) {
    ASSERT_EQ(QLocale().language(), QLocale::Japanese) << "the test runs under LANG=ja_JP.UTF-8";
    CZentrovaApp app(sources());
    ASSERT_TRUE(app.InitInstance());
    QPrintDialog dialog(&app.GetMainFrame()->GetView()->GetPrinter());
    auto text = [&dialog](const char *name) {
        const auto *button = dialog.findChild<QAbstractButton *>(QLatin1String(name));
        return button != nullptr ? button->text() : QStringLiteral("<none>");
    };
    EXPECT_EQ(text("pagesRadioButton"), ToQString("ページ指定"));
    EXPECT_EQ(text("noDuplex"), ToQString("片面"));
    EXPECT_EQ(text("duplexLong"), ToQString("長辺綴じ"));
    EXPECT_EQ(text("printAll"), ToQString("すべて印刷")); // Qt's own translation stays
}

} // namespace
