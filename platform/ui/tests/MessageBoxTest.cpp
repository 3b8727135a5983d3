#include "platform/ui/MessageBox.h"
#include "platform/ui/QtText.h"
#include "tests/support/WhenShown.h"

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QLabel>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

namespace {

// What the user saw in the box.
struct Seen {
    QStringList buttons;
    QString defaultButton;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QString title;
    QString text;
    Qt::TextFormat format = Qt::AutoText;
    bool enabled = false;
};

// Records the box, then presses the button whose text starts with label.
[[nodiscard]] std::unique_ptr<testsupport::DialogAnswer> PressWhenShown(Seen *seen,
                                                                        const QString &label) {
    return testsupport::WhenShown<QMessageBox>([seen, label](QMessageBox *box) {
        for (QAbstractButton *button : box->buttons()) {
            seen->buttons << button->text();
        }
        if (box->defaultButton() != nullptr) {
            seen->defaultButton = box->defaultButton()->text();
        }
        seen->icon = box->icon();
        seen->title = box->windowTitle();
        seen->text = box->text();
        seen->format = box->textFormat();
        seen->enabled = box->isEnabled();
        for (QAbstractButton *button : box->buttons()) {
            if (button->text().startsWith(label)) {
                button->click();
                return;
            }
        }
        ADD_FAILURE() << "no button " << label.toStdString();
        box->done(0);
    });
}

QString Q(const char *cp932) { return ToQString(cp932); }

} // namespace

TEST(MessageBoxTest, ButtonsIconsAndAnswers) {
    struct Case {
        UINT type;
        const char *press;
        int answer;
        QStringList buttons;
        const char *defaultButton;
        QMessageBox::Icon icon;
    };
    const Case cases[] = {
        {MB_OK, "OK", IDOK, {Q("OK")}, "OK", QMessageBox::NoIcon},
        {MB_OKCANCEL | MB_ICONASTERISK,
         "キャンセル",
         IDCANCEL,
         {Q("OK"), Q("キャンセル")},
         "OK",
         QMessageBox::Information},
        {MB_ABORTRETRYIGNORE | MB_ICONHAND | MB_DEFBUTTON3,
         "無視",
         IDIGNORE,
         {Q("中止(&A)"), Q("再試行(&R)"), Q("無視(&I)")},
         "無視(&I)",
         QMessageBox::Critical},
        {MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2,
         "いいえ",
         IDNO,
         {Q("はい(&Y)"), Q("いいえ(&N)"), Q("キャンセル")},
         "いいえ(&N)",
         QMessageBox::Question},
        {MB_YESNO | MB_ICONEXCLAMATION,
         "はい",
         IDYES,
         {Q("はい(&Y)"), Q("いいえ(&N)")},
         "はい(&Y)",
         QMessageBox::Warning},
        // A default button the box does not have falls back to the first.
        {MB_RETRYCANCEL | MB_DEFBUTTON3,
         "再試行",
         IDRETRY,
         {Q("再試行(&R)"), Q("キャンセル")},
         "再試行(&R)",
         QMessageBox::NoIcon},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.type);
        Seen seen;
        const auto answer = PressWhenShown(&seen, Q(c.press));
        EXPECT_EQ(QtMessageBox("座標ファイルを読み込みますか？", c.type), c.answer);
        QStringList sorted = seen.buttons;
        QStringList expected = c.buttons;
        sorted.sort();
        expected.sort();
        EXPECT_EQ(sorted, expected);
        EXPECT_EQ(seen.defaultButton, Q(c.defaultButton));
        EXPECT_EQ(seen.icon, c.icon);
        EXPECT_EQ(seen.title, QStringLiteral("Zentrova"));
        EXPECT_EQ(seen.text, QString::fromUtf8(u8"座標ファイルを読み込みますか？"));
    }
}

TEST(MessageBoxTest, TextIsPlain) {
    Seen seen;
    const auto answer = PressWhenShown(&seen, QStringLiteral("OK"));
    EXPECT_EQ(QtMessageBox("<b>C:\\data\\a.sim</b>", MB_OK), IDOK);
    EXPECT_EQ(seen.text, QStringLiteral("<b>C:\\data\\a.sim</b>"));
    EXPECT_EQ(seen.format, Qt::PlainText);
}

TEST(MessageBoxTest, LinesAreKeptWholeOrBrokenOnlyBetweenWords) {
    // What the label shows, line by line, and whether each line fits its width.
    struct Shown {
        QStringList lines;
        bool fits = true;
    };
    auto show = [](const CString &text) {
        Shown shown;
        const auto answer = testsupport::WhenShown<QMessageBox>([&shown](QMessageBox *box) {
            const auto *label = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
            shown.lines = label->text().split(QLatin1Char('\n'));
            for (const QString &line : shown.lines)
                shown.fits = shown.fits && label->fontMetrics().horizontalAdvance(line) <=
                                               label->contentsRect().width();
            box->buttons().at(0)->click();
        });
        QtMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
        return shown;
    };
    // Wider than Qt's own wrapping width, far narrower than the screen: one line each.
    const CString passed =
        "座標を40点取り込みました。\n点名,X座標,Y座標,標高の座標の行でない2行は取"
        "り込みませんでした（最初は3行目）。";
    const Shown whole = show(passed);
    EXPECT_EQ(whole.lines.join(QLatin1Char('\n')), ToQString(passed));
    EXPECT_TRUE(whole.fits);

    // Wider than the screen: broken after a comma only, never inside a name.
    CString names;
    for (int i = 0; i < 60; ++i)
        names += "基準点名、";
    const Shown broken = show(names);
    EXPECT_GT(broken.lines.size(), 1);
    EXPECT_EQ(broken.lines.join(QString()), ToQString(names));
    for (const QString &line : broken.lines)
        EXPECT_TRUE(line.endsWith(ToQString("、"))) << line.toStdString();
    EXPECT_TRUE(broken.fits);
}

TEST(MessageBoxTest, EscapeAnswersCancelOrOkOnly) {
    auto pressEscape = [] {
        return testsupport::WhenShown<QMessageBox>(
            [](QMessageBox *box) { QTest::keyClick(box, Qt::Key_Escape); });
    };
    {
        const auto answer = pressEscape();
        EXPECT_EQ(QtMessageBox("a", MB_OKCANCEL), IDCANCEL);
    }
    {
        const auto answer = pressEscape();
        EXPECT_EQ(QtMessageBox("b", MB_YESNOCANCEL | MB_DEFBUTTON1), IDCANCEL);
    }
    {
        const auto answer = pressEscape();
        EXPECT_EQ(QtMessageBox("c", MB_OK | MB_ICONEXCLAMATION), IDOK);
    }

    // A Yes/No box stays up on Escape and on closing; only a button answers it.
    bool stayed = false;
    const auto answer = testsupport::WhenShown<QMessageBox>([&stayed](QMessageBox *box) {
        QTest::keyClick(box, Qt::Key_Escape);
        box->close();
        stayed = box->isVisible();
        for (QAbstractButton *button : box->buttons()) {
            if (box->buttonRole(button) == QMessageBox::NoRole) {
                button->click();
            }
        }
    });
    EXPECT_EQ(QtMessageBox("d", MB_YESNO), IDNO);
    EXPECT_TRUE(stayed);
}

TEST(MessageBoxTest, ADisabledOwnerIsPassedOver) {
    QMainWindow main;
    main.show();
    main.setEnabled(false);
    Seen seen;
    const auto answer = PressWhenShown(&seen, Q("はい"));
    EXPECT_EQ(QtMessageBox("x", MB_YESNO, &main), IDYES);
    EXPECT_TRUE(seen.enabled);
}

TEST(MessageBoxTest, InstalledHandlerAnswersPrompts) {
    const PromptHandler before = InstallPromptHandler();
    Seen seen;
    const auto pressNo = PressWhenShown(&seen, Q("いいえ"));
    EXPECT_EQ(AfxMessageBox("上書きしますか？", MB_YESNO | MB_ICONQUESTION), IDNO);
    EXPECT_EQ(seen.text, QString::fromUtf8(u8"上書きしますか？"));

    // From a worker thread the box is shown on the GUI thread.
    std::atomic<int> answer{0};
    Seen fromThread;
    const auto pressOk = PressWhenShown(&fromThread, QStringLiteral("OK"));
    std::thread worker([&answer] { answer = AfxMessageBox("読み込み完了", MB_OKCANCEL); });
    // However loaded the machine, within the answer's time limit.
    QElapsedTimer waited;
    waited.start();
    while (answer == 0 && waited.elapsed() < testsupport::DialogAnswer::kLimitMs)
        QTest::qWait(10);
    worker.join();
    EXPECT_EQ(answer, IDOK);
    EXPECT_EQ(fromThread.text, QString::fromUtf8(u8"読み込み完了"));

    const PromptHandler ours = SetPromptHandler(before);
    EXPECT_TRUE(static_cast<bool>(ours));
}
