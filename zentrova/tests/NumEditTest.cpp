// The numeric edit's typing rules, as the point dialog sets it up: -100000 to 100000, 8 decimals.
#include "zentrova/NumEdit.h"
#include "platform/ui/DialogUnits.h"
#include "tests/support/WhenShown.h"
#include "zentrova/CDlgPointInput.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTest>

#include <cmath>

#include <gtest/gtest.h>

namespace {

QString U(const char8_t *utf8) { return QString::fromUtf8(reinterpret_cast<const char *>(utf8)); }

class NumEditTest : public ::testing::Test {
  protected:
    void SetUp() override {
        m_edit.SetMinimum(-100000.0);
        m_edit.SetMaximum(100000.0);
        m_edit.SetDecimals(8);
        m_edit.clear();
    }
    // Each character as a key that carries it, as an input method hands over full-width text.
    void type(const QString &keys) {
        for (const QChar c : keys) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(&m_edit, &press);
        }
    }
    void leave() {
        QFocusEvent out(QEvent::FocusOut);
        QApplication::sendEvent(&m_edit, &out);
    }

    NumEdit m_edit;
};

TEST_F(NumEditTest, TypingBeyondTheRangeIsUndoneSettingIsClamped) {
    type(QStringLiteral("150000"));
    EXPECT_EQ(m_edit.text(), QStringLiteral("15000"));
    EXPECT_EQ(m_edit.GetValue(), 15000.0);
    EXPECT_EQ(m_edit.cursorPosition(), 5);

    m_edit.SetValue(150000.0);
    EXPECT_EQ(m_edit.text(), QStringLiteral("100000.00000000"));
    EXPECT_EQ(m_edit.GetValue(), 100000.0);
    m_edit.SetValue(-1e9);
    EXPECT_EQ(m_edit.text(), QStringLiteral("-100000.00000000"));
    m_edit.SetValue(1.234567891);
    EXPECT_EQ(m_edit.GetValue(), 1.23456789);
}

TEST_F(NumEditTest, FullWidthInputCountsAsHalfWidth) {
    type(U(u8"１２３．５"));
    EXPECT_EQ(m_edit.text(), U(u8"１２３．５")); // shown as typed
    EXPECT_EQ(m_edit.GetValue(), 123.5);
    leave();
    EXPECT_EQ(m_edit.text(), QStringLiteral("123.50000000"));

    m_edit.clear();
    type(U(u8"ー５"));
    EXPECT_EQ(m_edit.GetValue(), -5.0);
    type(U(u8"ａ"));
    EXPECT_EQ(m_edit.text(), U(u8"ー５"));
}

TEST_F(NumEditTest, MisplacedSignsPointsAndDecimalsAreRefused) {
    type(QStringLiteral("12-"));
    EXPECT_EQ(m_edit.text(), QStringLiteral("12"));
    EXPECT_EQ(m_edit.cursorPosition(), 2);
    type(QStringLiteral(".5."));
    EXPECT_EQ(m_edit.text(), QStringLiteral("12.5"));
    type(QStringLiteral("1234567")); // eight decimals
    EXPECT_EQ(m_edit.text(), QStringLiteral("12.51234567"));
    type(QStringLiteral("8"));
    EXPECT_EQ(m_edit.text(), QStringLiteral("12.51234567"));
    EXPECT_EQ(m_edit.GetValue(), 12.51234567);
    type(QStringLiteral("x"));
    EXPECT_EQ(m_edit.text(), QStringLiteral("12.51234567"));
}

TEST_F(NumEditTest, TheDefaultMinimumRefusesNegativeInput) {
    NumEdit plain;
    QTest::keyClicks(&plain, QStringLiteral("-1"));
    EXPECT_EQ(plain.text(), QStringLiteral("1"));
    QTest::keyClicks(&plain, QStringLiteral(".2345"));
    EXPECT_EQ(plain.text(), QStringLiteral("1.234")); // three decimals by default
}

TEST_F(NumEditTest, LeavingAnEmptyFieldGivesZero) {
    m_edit.SetValue(42.0);
    m_edit.selectAll();
    QTest::keyClick(&m_edit, Qt::Key_Delete);
    EXPECT_EQ(m_edit.text(), QString());
    EXPECT_EQ(m_edit.GetValue(), 42.0); // not changed by the empty text
    leave();
    EXPECT_EQ(m_edit.text(), QStringLiteral("0.00000000"));
    EXPECT_EQ(m_edit.GetValue(), 0.0);
}

TEST_F(NumEditTest, MinusZeroShowsAsZero) {
    for (double zero : {-0.0, -0.000000001}) {
        m_edit.SetValue(zero);
        EXPECT_EQ(m_edit.text(), QStringLiteral("0.00000000")) << zero;
        EXPECT_FALSE(std::signbit(m_edit.GetValue())) << zero;
    }
    m_edit.clear();
    type(QStringLiteral("-0"));
    leave();
    EXPECT_EQ(m_edit.text(), QStringLiteral("0.00000000"));

    // The point dialog opened on a point whose coordinates are -0.
    CDlgPointInput dialog;
    dialog.Value() = PointValue{"P", -0.0, -0.0, -0.0};
    QStringList shown;
    const auto reply = testsupport::WhenShown<CDlgPointInput>([&shown](CDlgPointInput *open) {
        for (int id :
             {CDlgPointInput::IDC_EDIT_X, CDlgPointInput::IDC_EDIT_Y, CDlgPointInput::IDC_EDIT_H})
            shown << static_cast<QLineEdit *>(GetDlgItem(open, id))->text();
        open->reject();
    });
    dialog.DoModal();
    EXPECT_EQ(shown, QStringList(3, QStringLiteral("0.00000000")));
}

} // namespace
