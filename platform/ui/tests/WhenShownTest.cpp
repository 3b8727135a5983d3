// The answer window tests give their dialogs (tests/support/WhenShown.h): given again while the
// dialog stays up, and held to its time limit, which closes the dialog and fails the test.
#include "tests/support/WhenShown.h"

#include <QDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QThread>

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

namespace {

QMessageBox::StandardButton askYesNo() {
    QMessageBox box(QMessageBox::Question, QStringLiteral("t"), QStringLiteral("?"),
                    QMessageBox::Yes | QMessageBox::No);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

TEST(WhenShownTest, AnAnswerNotTakenIsGivenAgainUntilTheDialogCloses) {
    int calls = 0;
    const auto reply = testsupport::WhenShown<QMessageBox>([&calls](QMessageBox *box) {
        if (++calls == 3) // the first two are lost, as on a loaded machine
            box->button(QMessageBox::No)->click();
    });
    EXPECT_EQ(askYesNo(), QMessageBox::No);
    EXPECT_EQ(reply->Answers(), 3);
}

TEST(WhenShownTest, AnAnswerIsGivenToItsOwnDialogOnlyAlsoWhenTheNextOneComesAtOnce) {
    // The first box closes and the second opens before any event lets the first answer see
    // the close, as when a loaded machine runs the test on.
    const auto first = testsupport::WhenShown<QMessageBox>(
        [](QMessageBox *box) { box->button(QMessageBox::No)->click(); });
    EXPECT_EQ(askYesNo(), QMessageBox::No);
    QThread::msleep(200); // longer than the first answer waits before it answers again
    int calls = 0;
    const auto second = testsupport::WhenShown<QMessageBox>([&calls](QMessageBox *box) {
        if (++calls == 3) // the first two are lost
            box->button(QMessageBox::Yes)->click();
    });
    EXPECT_EQ(askYesNo(), QMessageBox::Yes);
    EXPECT_EQ(first->Answers(), 1);
}

TEST(WhenShownTest, ADialogThatCannotBeAnsweredIsClosedAndTheTestFails) {
    EXPECT_NONFATAL_FAILURE(
        {
            const auto reply = testsupport::WhenShown<QMessageBox>([](QMessageBox *) {}, 1000);
            EXPECT_NE(askYesNo(), QMessageBox::Yes);
        },
        "the QMessageBox could not be answered within 1 s");
    // An answer that brings up a dialog of its own, which nobody answers.
    EXPECT_NONFATAL_FAILURE(
        {
            const auto reply = testsupport::WhenShown<QMessageBox>(
                [](QMessageBox *box) {
                    QDialog inner(box);
                    inner.exec();
                },
                1000);
            askYesNo();
        },
        "the answer to the QMessageBox did not end within 1 s");
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_NONFATAL_FAILURE(
        { const auto reply = testsupport::WhenShown<QMessageBox>([](QMessageBox *) {}, 1000); },
        "no QMessageBox was shown");
}

} // namespace
