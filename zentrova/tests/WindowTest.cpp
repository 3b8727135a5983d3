// The program in a real window (an X server, not the offscreen platform): the survey project
// with its 40 targets imported and converted, photographed from the screen.
#include "platform/ui/Window.h"
#include "pallomir/ui/JGDProgress.h"
#include "pallomir/ui/JGDWaitDlg.h"
#include "platform/ui/DialogUnits.h"
#include "platform/ui/QtText.h"
#include "tests/support/Screenshot.h"
#include "tests/support/ScriptedChooser.h"
#include "tests/support/WaitDlgProbe.h"
#include "tests/support/WaitForEvent.h"
#include "tests/support/WhenShown.h"
#include "tests/support/XPointer.h"
#include "zentrova/CDlgPointInput.h"
#include "zentrova/CMainFrame.h"
#include "zentrova/CZentrovaApp.h"
#include "zentrova/CZentrovaView.h"
#include "zentrova/PointListCtrl.h"
#include "zentrova/tests/ProgramFixture.h"

#include <QAbstractButton>
#include <QAbstractItemModel>
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

// What the screen shows in the rectangle.
QImage ScreenAt(const QRect &area) {
    return QGuiApplication::primaryScreen()
        ->grabWindow(0, area.x(), area.y(), area.width(), area.height())
        .toImage();
}

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

// The README's picture: the targets of docs/sample-targets.csv imported and converted.
TEST_F(WindowTest, TheMainWindowShowsConvertedPoints) {
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb"));
    CZentrovaApp app(sources());
    ASSERT_TRUE(app.InitInstance());
    CMainFrame *frame = app.GetMainFrame();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame));
    testsupport::ScriptedChooser chooser;
    chooser.answers = {FromUtf8(ZENTROVA_SOURCE_DIR "/docs/sample-targets.csv")};
    frame->GetView()->SetFileChooser(&chooser);
    frame->GetView()->OnFileImport();
    frame->GetView()->OnConvert();
    const CDlgCanvas *canvas = frame->GetView()->GetDialog();
    ASSERT_EQ(canvas->GetAfterList()->GetItemCount(), 40);
    // The file holds the 40 targets of the reference survey area.
    int row = 0;
    for (const testsupport::SurveyPoint &p : testsupport::SurveyZone9()) {
        if (p.kind != "target")
            continue;
        CString x;
        x.Format("%.3f", p.tokyoX);
        EXPECT_EQ(canvas->GetBeforeList()->Text(row, 0), ToQString(p.name));
        EXPECT_EQ(canvas->GetBeforeList()->Text(row++, 1), ToQString(x));
    }
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

// A conversion's wait window is gone from the screen, and the window it covered drawn again,
// before the results are listed: no click meets a Cancel that cannot cancel any more.
TEST_F(WindowTest, TheWaitWindowIsOffTheScreenBeforeTheResultsAreListed) {
    CZentrovaApp app(sources());
    ASSERT_TRUE(app.InitInstance());
    CMainFrame *frame = app.GetMainFrame();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame));
    testsupport::ScriptedChooser chooser;
    chooser.answers = {putTargetCsv("targets.csv")};
    frame->GetView()->SetFileChooser(&chooser);
    frame->GetView()->OnFileImport();
    CDlgCanvas *canvas = frame->GetView()->GetDialog();

    // Where the wait window and its Cancel are, and what the screen shows there while it is up.
    class WatchedProgress : public JGDProgress {
      public:
        bool ProgressPercent(int percent, int done) const override {
            look();
            return JGDProgress::ProgressPercent(percent, done);
        }
        bool Progress(int done) const override {
            look();
            return JGDProgress::Progress(done);
        }
        mutable unsigned long window = 0;
        mutable QRect cancel;
        mutable QImage shown;

      private:
        void look() const {
            JGDWaitDlg *dialog = Shown<JGDWaitDlg>();
            if (dialog == nullptr || window != 0)
                return;
            testsupport::WaitUntil([dialog] { return dialog->windowHandle()->isExposed(); });
            SyncWindowSystem(); // drawn on the screen
            window = dialog->winId();
            const QWidget *button = GetDlgItem(dialog, JGDWaitDlg::IDC_CANCEL);
            cancel = QRect(button->mapToGlobal(QPoint(0, 0)), button->size());
            shown = ScreenAt(cancel);
        }
    } progress;
    bool viewable = true;
    QImage atCancel;
    QObject::connect(canvas->GetAfterList()->model(), &QAbstractItemModel::modelAboutToBeReset,
                     [&] {
                         // Asked of the X server directly, before the program talks to it again.
                         viewable = testsupport::xpointer::Viewable(progress.window);
                         atCancel = ScreenAt(progress.cancel);
                     });
    ASSERT_TRUE(canvas->ConvertTargets(progress));
    ASSERT_EQ(canvas->GetAfterList()->GetItemCount(), 40);
    ASSERT_NE(progress.window, 0u);
    EXPECT_FALSE(viewable) << "the wait window is on the screen";
    ASSERT_FALSE(progress.shown.isNull());
    EXPECT_FALSE(atCancel == progress.shown) << "the screen still shows its Cancel";
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
