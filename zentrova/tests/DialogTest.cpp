// The point dialog and the duplicate-point question.
#include "platform/core/Prompt.h"
#include "platform/ui/DialogUnits.h"
#include "platform/ui/QtText.h"
#include "tests/support/Screenshot.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/WaitForEvent.h"
#include "tests/support/WhenShown.h"
#include "veltrane/database/CrdRewriteAsker.h"
#include "zentrova/CDlgPointInput.h"
#include "zentrova/CrdRewriteDlg.h"
#include "zentrova/NumEdit.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

QString textOf(QWidget *dialog, int id) {
    QWidget *control = GetDlgItem(dialog, id);
    if (auto *label = qobject_cast<QLabel *>(control))
        return label->text();
    if (auto *edit = qobject_cast<QLineEdit *>(control))
        return edit->text();
    return QStringLiteral("<none>");
}

TEST(CDlgPointInputTest, TypedValuesComeBackOnOk) {
    CDlgPointInput dialog;
    dialog.Value() = PointValue{"旧点", 1.5, -2.25, 150000.0};
    const auto reply = testsupport::WhenShown<CDlgPointInput>([](CDlgPointInput *shown) {
        SaveScreenshot(shown, "point-input.png");
        ExpectNothingClipped(shown);
        EXPECT_EQ(textOf(shown, CDlgPointInput::IDC_EDIT_NAME), ToQString("旧点"));
        EXPECT_EQ(textOf(shown, CDlgPointInput::IDC_EDIT_X), QStringLiteral("1.50000000"));
        EXPECT_EQ(textOf(shown, CDlgPointInput::IDC_EDIT_H), QStringLiteral("100000.00000000"));
        auto *name = static_cast<QLineEdit *>(GetDlgItem(shown, CDlgPointInput::IDC_EDIT_NAME));
        name->setText(ToQString("新点"));
        auto *x = static_cast<NumEdit *>(GetDlgItem(shown, CDlgPointInput::IDC_EDIT_X));
        x->clear();
        QTest::keyClicks(x, QStringLiteral("-12.5"));
        static_cast<QPushButton *>(GetDlgItem(shown, IDOK))->click();
    });
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.Value().name, CString("新点"));
    EXPECT_EQ(dialog.Value().x, -12.5);
    EXPECT_EQ(dialog.Value().y, -2.25);
    EXPECT_EQ(dialog.Value().h, 100000.0);
}

TEST(CDlgPointInputTest, ReturnMovesOnAndEscapeDoesNotClose) {
    CDlgPointInput dialog;
    dialog.Value().x = 7.0;
    const auto reply = testsupport::WhenShown<CDlgPointInput>([](CDlgPointInput *shown) {
        QWidget *name = GetDlgItem(shown, CDlgPointInput::IDC_EDIT_NAME);
        QWidget *x = GetDlgItem(shown, CDlgPointInput::IDC_EDIT_X);
        QWidget *y = GetDlgItem(shown, CDlgPointInput::IDC_EDIT_Y);
        name->setFocus();
        testsupport::WaitUntil([name] { return name->hasFocus(); });
        QTest::keyClick(name, Qt::Key_Return);
        EXPECT_TRUE(shown->isVisible());
        EXPECT_EQ(QApplication::focusWidget(), x);
        QTest::keyClick(x, Qt::Key_Down);
        EXPECT_EQ(QApplication::focusWidget(), y);
        QTest::keyClick(y, Qt::Key_Up);
        EXPECT_EQ(QApplication::focusWidget(), x);
        QTest::keyClick(x, Qt::Key_Escape);
        QTest::keyClick(shown, Qt::Key_Return);
        EXPECT_TRUE(shown->isVisible());
        QTest::keyClick(GetDlgItem(shown, IDCANCEL), Qt::Key_Return);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.Value().x, 7.0); // not taken on Cancel
}

TEST(CrdRewriteDlgTest, ShowsBothCoordinatesAndAnswersByButton) {
    const Coordinate read(-30581.7586, -7593.6409, 26.6178, true, 0.0, false);
    const Coordinate stored(12.0, -3.5, 0.0, false, 0.0, false);
    EXPECT_EQ(CrdRewriteQuestion::CoordText(read),
              CString("X: -30581.759  Y:  -7593.641  H:     26.618"));
    EXPECT_EQ(CrdRewriteQuestion::CoordText(stored),
              CString("X:     12.000  Y:     -3.500  H: ----"));

    const std::pair<int, int> buttons[] = {
        {IDYES, CrdRewriteDlg::Overwrite},
        {CrdRewriteDlg::IDC_OVERWRITE_ALL, CrdRewriteDlg::OverwriteAll},
        {IDNO, CrdRewriteDlg::Skip},
        {IDCANCEL, CrdRewriteDlg::Cancel}};
    for (const auto &[id, answer] : buttons) {
        CrdRewriteDlg dialog("KJ001", read, stored, CrdKindObsITRF, ITRFKindChkObs);
        const auto reply = testsupport::WhenShown<CrdRewriteDlg>([id = id](CrdRewriteDlg *shown) {
            SaveScreenshot(shown, "crd-rewrite.png");
            ExpectNothingClipped(shown);
            EXPECT_EQ(textOf(shown, CrdRewriteDlg::IDC_NAME), QStringLiteral("KJ001"));
            EXPECT_EQ(textOf(shown, CrdRewriteDlg::IDC_KIND), ToQString("検測点 観測新座標"));
            EXPECT_TRUE(textOf(shown, CrdRewriteDlg::IDC_STORED).endsWith(QStringLiteral("----")));
            static_cast<QPushButton *>(GetDlgItem(shown, id))->click();
        });
        EXPECT_EQ(dialog.DoModal(), answer);
    }
    CrdRewriteDlg escaped("A", read, stored, CrdKindTokyo, ITRFKindNone);
    const auto reply = testsupport::WhenShown<CrdRewriteDlg>(
        [](CrdRewriteDlg *shown) { QTest::keyClick(shown, Qt::Key_Escape); });
    EXPECT_EQ(escaped.DoModal(), CrdRewriteDlg::Cancel);
}

TEST(CrdRewriteDlgTest, ATokyoDatumReadSaysItAddsAPointAndNamesTheStoredRole) {
    const Coordinate read(1.0, 2.0, 3.0, true, 0.0, false);
    CrdRewriteDlg dialog("KJ001", read, read, CrdKindTokyo, ITRFKindCnvBasis);
    const auto reply = testsupport::WhenShown<CrdRewriteDlg>([](CrdRewriteDlg *shown) {
        ExpectNothingClipped(shown);
        QStringList texts;
        for (const QLabel *label : shown->findChildren<QLabel *>())
            texts << label->text();
        EXPECT_TRUE(texts.contains(ToQString("同じ点名の変換基準点が既に存在します。")))
            << texts.join(QChar('|')).toStdString();
        EXPECT_TRUE(
            texts.contains(ToQString("読み込んだ点を、同じ点名の別の点として追加しますか？")))
            << texts.join(QChar('|')).toStdString();
        EXPECT_FALSE(texts.join(QString()).contains(ToQString("上書き")))
            << texts.join(QChar('|')).toStdString();
        EXPECT_EQ(textOf(shown, CrdRewriteDlg::IDC_KIND),
                  ToQString("変換基準点（変更されません）"));
        EXPECT_EQ(shown->windowTitle(), ToQString("座標の上書きの確認"));
        static_cast<QPushButton *>(GetDlgItem(shown, IDYES))->click();
    });
    EXPECT_EQ(dialog.DoModal(), CrdRewriteDlg::Overwrite);
}

TEST(CDlgPointInputTest, ANameCp932CannotHoldIsRefused) {
    CDlgPointInput dialog;
    testsupport::ScriptedPrompts prompts({IDOK});
    const auto reply = testsupport::WhenShown<CDlgPointInput>([](CDlgPointInput *shown) {
        auto *name = static_cast<QLineEdit *>(GetDlgItem(shown, CDlgPointInput::IDC_EDIT_NAME));
        auto *ok = static_cast<QPushButton *>(GetDlgItem(shown, IDOK));
        name->setText(QString::fromUtf8(u8"点\U0001F600\u00E9"));
        ok->click();
        EXPECT_TRUE(shown->isVisible());
        // A wave dash is one cp932 maps.
        name->setText(QString::fromUtf8(u8"点\u301C1"));
        ok->click();
    });
    ASSERT_EQ(dialog.DoModal(), IDOK);
    ASSERT_EQ(prompts.asked.size(), 1u);
    EXPECT_EQ(prompts.asked[0].first,
              CString("点名にシフトJISで表せない文字（U+1F600、U+00E9）があります。"));
    EXPECT_EQ(dialog.Value().name, CString("点～1"));
}

} // namespace
