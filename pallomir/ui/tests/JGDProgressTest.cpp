#include "pallomir/ui/JGDProgress.h"
#include "pallomir/ui/JGDProgress2.h"
#include "pallomir/ui/JGDSmpWaitDlg.h"
#include "pallomir/ui/JGDWaitDlg.h"
#include "tests/support/WaitDlgProbe.h"

#include <QMainWindow>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <type_traits>

namespace {

constexpr JGD_PROGRESS_TYPE kBar{1};
constexpr JGD_PROGRESS_TYPE kMessageOnly{0};

JGD_PROGRESS_KIND Kind(int kind) { return JGD_PROGRESS_KIND{kind}; }

QString Line1() { return TextOf(Shown<JGDWaitDlg>(), JGDWaitDlg::IDC_MESSAGE); }
QString Line2() { return TextOf(Shown<JGDWaitDlg>(), JGDWaitDlg::IDC_MESSAGE2); }
int Bar() { return BarOf(Shown<JGDWaitDlg>(), JGDWaitDlg::IDC_PROGRESS); }

// A progress object with its bar dialog shown for the kind and a run of total steps.
std::unique_ptr<JGDProgress> Started(int kind, int total) {
    auto progress = std::make_unique<JGDProgress>();
    progress->SetProgressKind(Kind(kind));
    EXPECT_TRUE(progress->ProgressInit(kBar));
    progress->ProgressStart(total);
    return progress;
}

} // namespace

TEST(JGDProgressTest, MessageTextsOfTheKinds) {
    const char8_t *texts[] = {
        u8"変換パラメータファイル読み込み中...",
        u8"座標変換 計算中...",
        u8"座標変換 計算中...",
        u8"計算中...",
        u8"３パラメータによる座標変換中...",
        u8"座標変換のための重量の計算中...",
        u8"最小２乗内挿(LSC)計算中...",
        u8"変換パラメータ計算中...",
        u8"データファイル読み込み中...",
        u8"データファイル保存中...",
        u8"座標ファイル読み込み中...",
        u8"座標ファイル書き込み中...",
        u8"座標登録中...",
    };
    for (int kind = 0; kind < 13; ++kind) {
        const CString text = JGDProgress::GetMessageStr(Kind(kind));
        EXPECT_EQ(ToUtf8(text), std::string(reinterpret_cast<const char *>(texts[kind]))) << kind;
        EXPECT_EQ(JGDProgress2::GetMessageStr(Kind(kind)), text) << kind;
    }
    EXPECT_TRUE(JGDProgress::GetMessageStr(Kind(13)).IsEmpty());
    EXPECT_TRUE(JGDProgress::GetMessageStr(Kind(-1)).IsEmpty());
}

TEST(JGDProgressTest, CountersOfKindsZeroOneAndTwelve) {
    {
        auto progress = Started(0, 200);
        EXPECT_EQ(Line1(), U(u8"変換パラメータファイル読み込み中..."));
        EXPECT_TRUE(progress->Progress(37));
        EXPECT_EQ(Line2(), QStringLiteral("( 37%)"));
        EXPECT_EQ(Bar(), 18);
        EXPECT_TRUE(progress->ProgressPercent(5, 180));
        EXPECT_EQ(Line2(), QStringLiteral("(  5%)"));
        EXPECT_EQ(Bar(), 5);
    }
    {
        auto progress = Started(1, 250);
        EXPECT_EQ(Line1(), U(u8"座標変換 計算中..."));
        EXPECT_TRUE(progress->Progress(12));
        EXPECT_EQ(Line2(), QStringLiteral("(  12/ 250)"));
        EXPECT_EQ(Bar(), 4);
        EXPECT_TRUE(progress->ProgressPercent(40, 100));
        EXPECT_EQ(Line2(), QStringLiteral(" 40% ( 100/ 250)"));
        EXPECT_EQ(Bar(), 40);
        EXPECT_TRUE(progress->Progress(12345));
        EXPECT_EQ(Line2(), QStringLiteral("(12345/ 250)"));
        EXPECT_EQ(Bar(), 100);
    }
    {
        auto progress = Started(12, 250);
        EXPECT_EQ(Line1(), U(u8"座標登録中..."));
        EXPECT_TRUE(progress->Progress(12));
        EXPECT_EQ(Line2(), QString());
        EXPECT_EQ(Bar(), 4);
        EXPECT_TRUE(progress->ProgressPercent(40, 100));
        EXPECT_EQ(Line2(), QStringLiteral(" 40% ( 100/ 250)"));
        EXPECT_EQ(Bar(), 40);
    }
}

TEST(JGDProgressTest, CountersOfTheOtherKinds) {
    {
        auto progress = Started(10, 80);
        EXPECT_EQ(Line1(), U(u8"座標ファイル読み込み中..."));
        EXPECT_TRUE(progress->Progress(20));
        EXPECT_EQ(Line2(), QString());
        EXPECT_EQ(Bar(), 25);
        EXPECT_TRUE(progress->ProgressPercent(55, 3));
        EXPECT_EQ(Line2(), QStringLiteral("( 55%)"));
        EXPECT_EQ(Bar(), 55);
    }
    {
        auto progress = Started(9, 10);
        EXPECT_TRUE(progress->ProgressPercent(50, 5));
        EXPECT_EQ(Line2(), QString());
        EXPECT_EQ(Bar(), 50);
    }
    {
        // Beyond the table: no texts, but the bar still moves.
        auto progress = Started(13, 10);
        EXPECT_EQ(Line1(), QString());
        EXPECT_TRUE(progress->Progress(3));
        EXPECT_EQ(Line2(), QString());
        EXPECT_EQ(Bar(), 30);
        EXPECT_TRUE(progress->ProgressPercent(70, 7));
        EXPECT_EQ(Line2(), QString());
        EXPECT_EQ(Bar(), 70);
    }
}

TEST(JGDProgressTest, TotalsAndPercentages) {
    auto progress = Started(1, 0);
    EXPECT_EQ(progress->GetTotal(), 1);
    progress->ProgressStart(-5);
    EXPECT_EQ(progress->GetTotal(), 1);
    EXPECT_TRUE(progress->Progress(1));
    EXPECT_EQ(Line2(), QStringLiteral("(   1/   1)"));
    EXPECT_EQ(Bar(), 100);

    // A percent outside 0..100 shows a full or empty bar.
    EXPECT_TRUE(progress->ProgressPercent(250, 1));
    EXPECT_EQ(Bar(), 100);
    EXPECT_EQ(Line2(), QStringLiteral("250% (   1/   1)"));
    EXPECT_TRUE(progress->ProgressPercent(-20, 1));
    EXPECT_EQ(Bar(), 0);
    progress->ProgressStart(10);
    EXPECT_TRUE(progress->Progress(-4));
    EXPECT_EQ(Bar(), 0);

    // Byte counts of a large file: done * 100 does not fit 32 bits.
    progress->ProgressStart(2000000000);
    EXPECT_TRUE(progress->Progress(1500000000));
    EXPECT_EQ(Bar(), 75);

    // After ProgressEnd the total is 0: no division by it.
    progress->ProgressEnd();
    EXPECT_EQ(progress->GetTotal(), 0);
    EXPECT_TRUE(progress->Progress(5));
    EXPECT_EQ(Bar(), 0);
    EXPECT_EQ(Line2(), QStringLiteral("(   5/   0)"));
    // The dialog stays after ProgressEnd.
    EXPECT_NE(Shown<JGDWaitDlg>(), nullptr);
}

TEST(JGDProgressTest, KindChangesAtTheNextStart) {
    auto progress = Started(1, 10);
    progress->SetProgressKind(Kind(10));
    EXPECT_EQ(Line1(), U(u8"座標変換 計算中..."));
    progress->ProgressStart(10);
    EXPECT_EQ(Line1(), U(u8"座標ファイル読み込み中..."));

    // Before the first start the dialog shows the generic line.
    JGDProgress fresh;
    fresh.SetProgressKind(Kind(12));
    progress.reset();
    ASSERT_TRUE(fresh.ProgressInit(kBar));
    EXPECT_EQ(Line1(), U(u8"計算中..."));
    EXPECT_EQ(Shown<JGDWaitDlg>()->windowTitle(), U(u8"処理経過情報"));
}

TEST(JGDProgressTest, ConstructionAndCallsBeforeInit) {
    static_assert(!std::is_copy_constructible_v<JGDProgress>);
    static_assert(!std::is_copy_assignable_v<JGDProgress>);
    static_assert(!std::is_copy_constructible_v<JGDProgress2>);
    static_assert(!std::is_move_constructible_v<JGDProgress2>);

    JGDProgress progress;
    EXPECT_EQ(progress.GetTotal(), 0);
    EXPECT_EQ(progress.GetCancelCheckStep(), 1000);
    EXPECT_EQ(progress.GetProgressTtype(), 1);
    EXPECT_FALSE(progress.IsCanceled());
    progress.SetCancelCheckStep(250);
    EXPECT_EQ(progress.GetCancelCheckStep(), 250);

    // No dialog yet: only the counters change.
    progress.ProgressStart(PROGRESS_KIND{2}, 40);
    EXPECT_EQ(progress.GetTotal(), 40);
    EXPECT_TRUE(progress.Progress(10));
    EXPECT_TRUE(progress.ProgressPercent(50, 20));
    EXPECT_FALSE(progress.CheckCancel());
    progress.ProgressStart(std::string("caption"), 7);
    EXPECT_EQ(progress.GetTotal(), 7);
    EXPECT_EQ(Shown<JGDWaitDlg>(), nullptr);
    EXPECT_EQ(Shown<JGDSmpWaitDlg>(), nullptr);
}

TEST(JGDProgressTest, LongLoopCancelledMidway) {
    QMainWindow parent;
    parent.show();
    JGDProgress progress;
    progress.SetParentWnd(&parent);
    progress.SetProgressKind(Kind(1));
    ASSERT_TRUE(progress.ProgressInit(kBar));
    EXPECT_FALSE(parent.isEnabled());

    auto pressCancel = [] {
        JGDWaitDlg *dialog = Shown<JGDWaitDlg>();
        ASSERT_NE(dialog, nullptr);
        QTest::mouseClick(qobject_cast<QPushButton *>(GetDlgItem(dialog, JGDWaitDlg::IDC_CANCEL)),
                          Qt::LeftButton);
    };
    const int total = 5000;
    progress.ProgressStart(total);
    int done = 1;
    bool going = true;
    for (; done <= total; ++done) {
        going = progress.Progress(done);
        if (!going) {
            break;
        }
        if (done == 10) {
            QTimer::singleShot(20, pressCancel); // the user presses Cancel a little later
        }
        QTest::qSleep(1);
    }
    EXPECT_FALSE(going);
    EXPECT_GT(done, 10);
    EXPECT_LT(done, total);
    EXPECT_TRUE(progress.IsCanceled());
    EXPECT_TRUE(progress.CheckCancel());
    EXPECT_FALSE(progress.Progress(done + 1));
    EXPECT_FALSE(progress.ProgressPercent(50, done + 1));
    EXPECT_TRUE(parent.isEnabled());
    EXPECT_EQ(Shown<JGDWaitDlg>(), nullptr);

    // ProgressStart clears the canceled answer, not the flag.
    progress.ProgressStart(10);
    EXPECT_FALSE(progress.IsCanceled());
    EXPECT_TRUE(progress.CheckCancel());

    // A new ProgressInit starts afresh: the object is usable again after a cancel.
    ASSERT_TRUE(progress.ProgressInit(kBar));
    EXPECT_FALSE(progress.IsCanceled());
    EXPECT_FALSE(parent.isEnabled());
    progress.ProgressStart(10);
    EXPECT_TRUE(progress.Progress(1));
    EXPECT_FALSE(progress.CheckCancel());
    progress.ProgressTerm();
    EXPECT_TRUE(parent.isEnabled());
    EXPECT_EQ(Shown<JGDWaitDlg>(), nullptr);
}

TEST(JGDProgressTest, MessageOnlyDialog) {
    QMainWindow parent;
    parent.show();
    {
        JGDProgress progress;
        progress.SetParentWnd(&parent);
        progress.SetProgressKind(Kind(11));
        ASSERT_TRUE(progress.ProgressInit(kMessageOnly));
        EXPECT_EQ(progress.GetProgressTtype(), 1);
        EXPECT_FALSE(parent.isEnabled());
        EXPECT_EQ(Shown<JGDWaitDlg>(), nullptr);
        JGDSmpWaitDlg *dialog = Shown<JGDSmpWaitDlg>();
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), U(u8"処理経過情報"));
        EXPECT_EQ(TextOf(dialog, JGDSmpWaitDlg::IDC_MESSAGE),
                  U(u8"座標ファイル書き込み中...\nしばらくお待ちください..."));

        progress.SetProgressKind(Kind(8));
        progress.ProgressStart(100);
        EXPECT_EQ(TextOf(dialog, JGDSmpWaitDlg::IDC_MESSAGE),
                  U(u8"データファイル読み込み中...\nしばらくお待ちください..."));
        EXPECT_TRUE(progress.Progress(50));
        EXPECT_TRUE(progress.ProgressPercent(60, 60));
        EXPECT_FALSE(progress.CheckCancel());

        // Switching to the bar dialog replaces the message-only one.
        ASSERT_TRUE(progress.ProgressInit(kBar));
        EXPECT_EQ(Shown<JGDSmpWaitDlg>(), nullptr);
        EXPECT_NE(Shown<JGDWaitDlg>(), nullptr);
        EXPECT_FALSE(parent.isEnabled());
    }
    EXPECT_TRUE(parent.isEnabled());
    EXPECT_EQ(Shown<JGDWaitDlg>(), nullptr);
}

TEST(JGDProgressTest, ARunOfStepsKeepsItsOneWindow) {
    QMainWindow parent;
    parent.show();
    JGDProgress progress;
    progress.SetParentWnd(&parent);
    progress.SetProgressKind(Kind(10));
    ASSERT_TRUE(progress.ProgressInit(kBar));
    JGDWaitDlg *dialog = Shown<JGDWaitDlg>();
    ASSERT_NE(dialog, nullptr);
    progress.ProgressStart(100);
    EXPECT_TRUE(progress.ProgressPercent(40, 40));

    // A second bar dialog asked for: the same window, started afresh.
    ASSERT_TRUE(progress.ProgressInit(kBar));
    EXPECT_EQ(Shown<JGDWaitDlg>(), dialog);
    EXPECT_EQ(Line1(), U(u8"計算中..."));
    EXPECT_EQ(Line2(), QString());
    EXPECT_EQ(Bar(), 0);

    // The message alone: still that window, without bar and Cancel (not even a greyed one).
    progress.SetProgressKind(Kind(12));
    ASSERT_TRUE(progress.ProgressInit(kMessageOnly));
    EXPECT_EQ(Shown<JGDWaitDlg>(), dialog);
    EXPECT_EQ(Shown<JGDSmpWaitDlg>(), nullptr);
    EXPECT_EQ(Line1(), U(u8"座標登録中..."));
    EXPECT_EQ(Line2(), U(u8"しばらくお待ちください..."));
    EXPECT_FALSE(GetDlgItem(dialog, JGDWaitDlg::IDC_PROGRESS)->isVisible());
    EXPECT_FALSE(GetDlgItem(dialog, JGDWaitDlg::IDC_CANCEL)->isVisible());
    QTest::keyClick(dialog, Qt::Key_Escape);
    EXPECT_TRUE(dialog->isVisible());
    progress.ProgressStart(10);
    EXPECT_TRUE(progress.ProgressPercent(50, 5));
    EXPECT_EQ(Line2(), U(u8"しばらくお待ちください...")); // no counter drawn
    EXPECT_FALSE(progress.CheckCancel());
    EXPECT_FALSE(parent.isEnabled());

    // Back to the bar, with a message of the caller's own until the next start.
    progress.SetProgressKind(Kind(3));
    ASSERT_TRUE(progress.ProgressInit(kBar));
    EXPECT_EQ(Shown<JGDWaitDlg>(), dialog);
    EXPECT_TRUE(GetDlgItem(dialog, JGDWaitDlg::IDC_CANCEL)->isVisible());
    progress.ProgressStart(2);
    progress.SetProgressMsg("比較表の出力中...");
    EXPECT_TRUE(progress.Progress(1));
    EXPECT_EQ(Line1(), U(u8"比較表の出力中..."));
    EXPECT_EQ(Line2(), QStringLiteral("(   1/   2)"));
    progress.ProgressStart(2);
    EXPECT_EQ(Line1(), U(u8"計算中..."));
    progress.ProgressTerm();
    EXPECT_EQ(Shown<JGDWaitDlg>(), nullptr);
    EXPECT_TRUE(parent.isEnabled());
}

TEST(JGDProgressTest, ParentDestroyedBeforeTheNextInit) {
    JGDProgress progress;
    auto parent = std::make_unique<QMainWindow>();
    parent->show();
    progress.SetParentWnd(parent.get());
    ASSERT_TRUE(progress.ProgressInit(kBar));
    progress.ProgressTerm();
    parent.reset();
    ASSERT_TRUE(progress.ProgressInit(kBar));
    EXPECT_NE(Shown<JGDWaitDlg>(), nullptr);
}

TEST(JGDProgressTest, QuitDuringAnOperationEndsTheLoopAfterIt) {
    QMainWindow main;
    main.show();
    // exit() leaves the windows alone: the operation runs to its end, then the loop ends.
    int steps = 0;
    QTimer::singleShot(0, [&steps] {
        JGDProgress progress;
        progress.SetProgressKind(Kind(1));
        progress.ProgressInit(kBar);
        progress.ProgressStart(50);
        QTimer::singleShot(0, [] { QCoreApplication::exit(7); });
        for (int i = 1; i <= 50 && progress.Progress(i); ++i) {
            ++steps;
            QTest::qSleep(1);
        }
    });
    EXPECT_EQ(QApplication::exec(), 7);
    EXPECT_EQ(steps, 50);

    // quit() closes the windows first: closing the wait dialog cancels the operation.
    bool cancelled = false;
    QTimer::singleShot(0, [&cancelled] {
        JGDProgress progress;
        progress.SetProgressKind(Kind(1));
        progress.ProgressInit(kBar);
        progress.ProgressStart(5000);
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        for (int i = 1; i <= 5000; ++i) {
            if (!progress.Progress(i)) {
                cancelled = true;
                break;
            }
            QTest::qSleep(1);
        }
    });
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_TRUE(cancelled);

    // The message-only dialog lets the quit through; its operation cannot be cancelled. So does
    // the bar dialog kept for a message.
    auto runToTheEnd = [&main](bool barFirst) {
        main.show();
        int done = 0;
        QTimer::singleShot(0, [&done, barFirst] {
            JGDProgress progress;
            if (barFirst) {
                progress.ProgressInit(kBar);
            }
            progress.ProgressInit(kMessageOnly);
            progress.ProgressStart(50);
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
            for (int i = 1; i <= 50 && progress.Progress(i); ++i) {
                ++done;
                QTest::qSleep(1);
            }
        });
        QTimer::singleShot(5000, [] { QCoreApplication::exit(99); });
        EXPECT_EQ(QApplication::exec(), 0);
        return done;
    };
    EXPECT_EQ(runToTheEnd(false), 50);
    EXPECT_EQ(Shown<JGDSmpWaitDlg>(), nullptr);
    EXPECT_EQ(runToTheEnd(true), 50);
    EXPECT_EQ(Shown<JGDWaitDlg>(), nullptr);
}

TEST(JGDProgressTest, ClosingTheLastWaitDialogDoesNotQuit) {
    // No other window is shown: closing a wait dialog must not end the application's loop.
    int answer = -1;
    QTimer::singleShot(0, [&answer] {
        JGDProgress progress;
        progress.ProgressInit(kBar);
        progress.ProgressStart(10);
        Shown<JGDWaitDlg>()->close();
        answer = progress.Progress(1) ? 1 : 0;
        QTimer::singleShot(50, [] { QCoreApplication::exit(5); });
    });
    EXPECT_EQ(QApplication::exec(), 5);
    EXPECT_EQ(answer, 0);
}

TEST(JGDProgress2Test, ElementLineAndBar) {
    JGDProgress2 progress;
    progress.SetProgressKind(Kind(1));
    ASSERT_TRUE(progress.ProgressInit(kBar));
    auto *dialog = Shown<JGDWaitDlg2>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->size(), DialogUnits(dialog->font()).ToPixels(QSize(180, 119)));

    // Before SetMaxElement there is no total: the percentage is 0, not a division by zero.
    EXPECT_TRUE(progress.SetNowElement(3));
    EXPECT_EQ(TextOf(dialog, JGDWaitDlg::IDC_ELM_MESSAGE), U(u8"処理が完了した数：0 中 3 (  0%)"));
    EXPECT_EQ(BarOf(dialog, JGDWaitDlg::IDC_ELM_PROGRESS), 0);

    EXPECT_TRUE(progress.SetMaxElement(7));
    EXPECT_EQ(TextOf(dialog, JGDWaitDlg::IDC_ELM_MESSAGE), U(u8"処理が完了した数：7 中 0 (  0%)"));
    EXPECT_TRUE(progress.SetNowElement(3));
    EXPECT_EQ(TextOf(dialog, JGDWaitDlg::IDC_ELM_MESSAGE), U(u8"処理が完了した数：7 中 3 ( 42%)"));
    EXPECT_EQ(BarOf(dialog, JGDWaitDlg::IDC_ELM_PROGRESS), 42);
    EXPECT_TRUE(progress.SetNowElement(7));
    EXPECT_EQ(BarOf(dialog, JGDWaitDlg::IDC_ELM_PROGRESS), 100);

    // The step counters work as in JGDProgress, on the lower bar.
    progress.ProgressStart(250);
    EXPECT_EQ(TextOf(dialog, JGDWaitDlg::IDC_MESSAGE), U(u8"座標変換 計算中..."));
    EXPECT_TRUE(progress.Progress(12));
    EXPECT_EQ(TextOf(dialog, JGDWaitDlg::IDC_MESSAGE2), QStringLiteral("(  12/ 250)"));
    EXPECT_EQ(BarOf(dialog, JGDWaitDlg::IDC_PROGRESS), 4);
    EXPECT_EQ(BarOf(dialog, JGDWaitDlg::IDC_ELM_PROGRESS), 100);

    // Cancel reaches the step calls; the element calls still answer true.
    dialog->OnCancel();
    EXPECT_FALSE(progress.Progress(13));
    EXPECT_TRUE(progress.CheckCancel());
    EXPECT_TRUE(progress.SetNowElement(4));
}

TEST(JGDProgress2Test, ElementLineInTheMessageOnlyDialog) {
    JGDProgress2 progress;
    progress.SetProgressKind(Kind(3));
    ASSERT_TRUE(progress.ProgressInit(kMessageOnly));
    JGDSmpWaitDlg *dialog = Shown<JGDSmpWaitDlg>();
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(progress.SetMaxElement(10));
    EXPECT_TRUE(progress.SetNowElement(4));
    EXPECT_EQ(TextOf(dialog, JGDSmpWaitDlg::IDC_MESSAGE),
              U(u8"処理が完了した数：10 中 4 ( 40%)計算中...\nしばらくお待ちください..."));
    EXPECT_TRUE(progress.Progress(1));
}
