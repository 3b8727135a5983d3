#include "pallomir/ui/JGDWaitDlg.h"
#include "pallomir/ui/JGDSmpWaitDlg.h"
#include "platform/ui/UiFont.h"
#include "tests/support/Screenshot.h"
#include "tests/support/WaitDlgProbe.h"

#include <QMainWindow>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace {

QPushButton *ButtonOf(const QWidget *dialog, int id) {
    return qobject_cast<QPushButton *>(GetDlgItem(dialog, id));
}

} // namespace

TEST(JGDWaitDlgTest, DefaultTextsButtonsAndSize) {
    int flag = 1;
    JGDWaitDlg dialog(&flag, nullptr, nullptr, nullptr);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(dialog.isWindow());
    EXPECT_EQ(dialog.parentWidget(), nullptr);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Working"));
    EXPECT_EQ(TextOf(&dialog, JGDWaitDlg::IDC_MESSAGE),
              QStringLiteral("Click Cancel to cancel the operation"));
    EXPECT_EQ(TextOf(&dialog, JGDWaitDlg::IDC_MESSAGE2), QString());
    EXPECT_EQ(BarOf(&dialog, JGDWaitDlg::IDC_PROGRESS), 0);

    QPushButton *cancel = ButtonOf(&dialog, JGDWaitDlg::IDC_CANCEL);
    ASSERT_NE(cancel, nullptr);
    EXPECT_EQ(cancel->text(), U(u8"ｷｬﾝｾﾙ"));
    EXPECT_TRUE(cancel->isVisible());
    QPushButton *ok = ButtonOf(&dialog, JGDWaitDlg::IDC_OK);
    ASSERT_NE(ok, nullptr);
    EXPECT_FALSE(ok->isVisible());
    EXPECT_FALSE(ok->isEnabled());

    const DialogUnits units(UiFont(11));
    EXPECT_EQ(dialog.size(), units.ToPixels(QSize(180, 85)));
    EXPECT_EQ(GetDlgItem(&dialog, JGDWaitDlg::IDC_ELM_PROGRESS), nullptr);
}

TEST(JGDWaitDlgTest, ParentIsDisabledWhileShown) {
    QMainWindow parent;
    parent.show();
    int flag = 1;
    {
        JGDWaitDlg dialog(&flag, "処理経過情報", "計算中...", &parent);
        EXPECT_FALSE(parent.isEnabled());
        EXPECT_TRUE(dialog.isEnabled());
        EXPECT_EQ(dialog.windowTitle(), U(u8"処理経過情報"));
        EXPECT_EQ(TextOf(&dialog, JGDWaitDlg::IDC_MESSAGE), U(u8"計算中..."));
    }
    // The destructor closes the dialog.
    EXPECT_TRUE(parent.isEnabled());
    EXPECT_EQ(flag, 1);

    // Without a parent the main window is disabled.
    auto dialog = std::make_unique<JGDWaitDlg>(&flag, nullptr, nullptr, nullptr);
    EXPECT_FALSE(parent.isEnabled());
    dialog->Close();
    EXPECT_TRUE(parent.isEnabled());
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(flag, 1);
}

TEST(JGDWaitDlgTest, CancelButtonEscapeAndClosingAllCancel) {
    QMainWindow parent;
    parent.show();
    using Press = void (*)(JGDWaitDlg *);
    const Press presses[] = {
        [](JGDWaitDlg *d) {
            QTest::mouseClick(ButtonOf(d, JGDWaitDlg::IDC_CANCEL), Qt::LeftButton);
        },
        [](JGDWaitDlg *d) { QTest::keyClick(d, Qt::Key_Escape); },
        [](JGDWaitDlg *d) { d->close(); },
    };
    for (const Press press : presses) {
        int flag = 1;
        JGDWaitDlg dialog(&flag, "a", "b", &parent);
        press(&dialog);
        EXPECT_EQ(flag, 0);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_TRUE(parent.isEnabled());
    }

    // Enter does not close the dialog behind the operation's back.
    int flag = 1;
    JGDWaitDlg dialog(&flag, "a", "b", &parent);
    dialog.accept();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(flag, 1);
    EXPECT_FALSE(parent.isEnabled());
}

TEST(JGDWaitDlgTest, SettersClampAndStopAfterClose) {
    int flag = 1;
    JGDWaitDlg dialog(&flag, "t", "m", nullptr);
    dialog.SetPercentComplete(150);
    EXPECT_EQ(BarOf(&dialog, JGDWaitDlg::IDC_PROGRESS), 100);
    dialog.SetPercentComplete(-3);
    EXPECT_EQ(BarOf(&dialog, JGDWaitDlg::IDC_PROGRESS), 0);
    dialog.SetPercentComplete(37);
    dialog.SetMessageText("座標登録中...");
    dialog.SetMessageText2("(  12/ 250)");
    EXPECT_EQ(TextOf(&dialog, JGDWaitDlg::IDC_MESSAGE), U(u8"座標登録中..."));
    EXPECT_EQ(TextOf(&dialog, JGDWaitDlg::IDC_MESSAGE2), QStringLiteral("(  12/ 250)"));

    dialog.OnCancel();
    dialog.SetPercentComplete(80);
    dialog.SetMessageText("x");
    dialog.SetMessageText2("y");
    EXPECT_EQ(BarOf(&dialog, JGDWaitDlg::IDC_PROGRESS), 37);
    EXPECT_EQ(TextOf(&dialog, JGDWaitDlg::IDC_MESSAGE), U(u8"座標登録中..."));
    EXPECT_EQ(TextOf(&dialog, JGDWaitDlg::IDC_MESSAGE2), QStringLiteral("(  12/ 250)"));
    EXPECT_FALSE(dialog.isVisible());
}

TEST(JGDWaitDlgTest, NestedDialogsKeepTheParentDisabled) {
    QMainWindow parent;
    parent.show();
    int outerFlag = 1;
    int innerFlag = 1;
    JGDWaitDlg outer(&outerFlag, "outer", nullptr, &parent);
    {
        JGDWaitDlg inner(&innerFlag, "inner", nullptr, &parent);
        inner.OnCancel();
        EXPECT_FALSE(parent.isEnabled());
    }
    EXPECT_FALSE(parent.isEnabled());
    outer.Close();
    EXPECT_TRUE(parent.isEnabled());
    EXPECT_EQ(outerFlag, 1);
    EXPECT_EQ(innerFlag, 0);
}

TEST(JGDWaitDlgTest, ElementDialogLayoutAndSetters) {
    int flag = 1;
    JGDWaitDlg2 dialog(&flag, "処理経過情報", "計算中...", JGDWaitDlg2::IDD, nullptr);
    const DialogUnits units(UiFont(11));
    EXPECT_EQ(dialog.size(), units.ToPixels(QSize(180, 119)));

    // Top to bottom: element line, element bar, step bar, the two message lines, Cancel.
    const int order[] = {JGDWaitDlg::IDC_ELM_MESSAGE, JGDWaitDlg::IDC_ELM_PROGRESS,
                         JGDWaitDlg::IDC_PROGRESS,    JGDWaitDlg::IDC_MESSAGE,
                         JGDWaitDlg::IDC_MESSAGE2,    JGDWaitDlg::IDC_CANCEL};
    int previousBottom = 0;
    for (const int id : order) {
        const QWidget *control = GetDlgItem(&dialog, id);
        ASSERT_NE(control, nullptr) << id;
        EXPECT_GE(control->y(), previousBottom) << id;
        EXPECT_LE(control->geometry().bottom(), dialog.height()) << id;
        previousBottom = control->geometry().bottom();
    }
    EXPECT_EQ(GetDlgItem(&dialog, JGDWaitDlg::IDC_OK), nullptr);

    dialog.SetElmMessageText("処理が完了した数：7 中 3 ( 42%)");
    dialog.SetElmPercentComplete(142);
    EXPECT_EQ(TextOf(&dialog, JGDWaitDlg::IDC_ELM_MESSAGE), U(u8"処理が完了した数：7 中 3 ( 42%)"));
    EXPECT_EQ(BarOf(&dialog, JGDWaitDlg::IDC_ELM_PROGRESS), 100);
    dialog.SetElmPercentComplete(-1);
    EXPECT_EQ(BarOf(&dialog, JGDWaitDlg::IDC_ELM_PROGRESS), 0);
    dialog.SetElmPercentComplete(42);
    dialog.Close();
    dialog.SetElmPercentComplete(90);
    dialog.SetElmMessageText("x");
    EXPECT_EQ(BarOf(&dialog, JGDWaitDlg::IDC_ELM_PROGRESS), 42);
    EXPECT_EQ(TextOf(&dialog, JGDWaitDlg::IDC_ELM_MESSAGE), U(u8"処理が完了した数：7 中 3 ( 42%)"));

    // Built from the one-bar template it has no element controls; the setters do nothing.
    JGDWaitDlg2 plain(&flag, nullptr, nullptr, JGDWaitDlg::IDD, nullptr);
    plain.SetElmMessageText("x");
    plain.SetElmPercentComplete(50);
    EXPECT_EQ(GetDlgItem(&plain, JGDWaitDlg::IDC_ELM_MESSAGE), nullptr);
    EXPECT_EQ(plain.size(), units.ToPixels(QSize(180, 85)));
}

TEST(JGDSmpWaitDlgTest, TextsSizeAndTheUserCannotCloseIt) {
    QMainWindow parent;
    parent.show();
    {
        JGDSmpWaitDlg dialog(nullptr, nullptr, &parent);
        EXPECT_EQ(dialog.windowTitle(), U(u8"お待ちください..."));
        EXPECT_EQ(TextOf(&dialog, JGDSmpWaitDlg::IDC_MESSAGE), QString());
        EXPECT_EQ(dialog.size(), DialogUnits(UiFont(9)).ToPixels(QSize(179, 45)));
        EXPECT_FALSE(parent.isEnabled());
        EXPECT_TRUE(dialog.isEnabled());

        QTest::keyClick(&dialog, Qt::Key_Escape);
        dialog.accept();
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_FALSE(parent.isEnabled());

        dialog.SetMessageText("座標ファイル読み込み中...\nしばらくお待ちください...");
        EXPECT_EQ(TextOf(&dialog, JGDSmpWaitDlg::IDC_MESSAGE),
                  U(u8"座標ファイル読み込み中...\nしばらくお待ちください..."));
    }
    EXPECT_TRUE(parent.isEnabled());

    // A close by the program (as when the application quits) is let through.
    JGDSmpWaitDlg dialog("処理経過情報", "計算中...", &parent);
    EXPECT_EQ(dialog.windowTitle(), U(u8"処理経過情報"));
    EXPECT_EQ(TextOf(&dialog, JGDSmpWaitDlg::IDC_MESSAGE), U(u8"計算中..."));
    EXPECT_TRUE(dialog.close());
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(parent.isEnabled());
    dialog.SetMessageText("x");
    EXPECT_EQ(TextOf(&dialog, JGDSmpWaitDlg::IDC_MESSAGE), U(u8"計算中..."));
}

TEST(JGDWaitDlgTest, PumpHandlesPendingEventsAndReportsQuit) {
    bool fired = false;
    QTimer::singleShot(0, [&fired] { fired = true; });
    EXPECT_EQ(JGDWaitDlg::Pump(), 1);
    EXPECT_TRUE(fired);

    // A quit met while pumping inside the application's loop: Pump answers 0 and the loop
    // still ends once control returns to it.
    int answer = -1;
    QTimer::singleShot(0, [&answer] {
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        for (int i = 0; i < 200 && answer != 0; ++i) {
            answer = JGDWaitDlg::Pump();
            QTest::qSleep(1);
        }
    });
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    guard.start(5000);
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_EQ(answer, 0);
}

TEST(WaitDialogScreenshots, EachDialogRendersItsJapaneseText) {
    int flag = 1;
    JGDWaitDlg wait(&flag, "処理経過情報", "座標変換 計算中...", nullptr);
    wait.SetMessageText2("(  12/ 250)");
    wait.SetPercentComplete(4);
    SaveScreenshot(&wait, "JGDWaitDlg.png");

    JGDWaitDlg2 wait2(&flag, "処理経過情報", "座標変換 計算中...", JGDWaitDlg2::IDD, nullptr);
    wait2.SetElmMessageText("処理が完了した数：10 中 3 ( 30%)");
    wait2.SetElmPercentComplete(30);
    wait2.SetMessageText2(" 40% ( 100/ 250)");
    wait2.SetPercentComplete(40);
    SaveScreenshot(&wait2, "JGDWaitDlg2.png");

    JGDSmpWaitDlg simple("処理経過情報", "座標ファイル読み込み中...\nしばらくお待ちください...",
                         nullptr);
    SaveScreenshot(&simple, "JGDSmpWaitDlg.png");
}
