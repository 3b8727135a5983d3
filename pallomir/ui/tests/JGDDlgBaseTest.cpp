#include "pallomir/ui/JGDDlgBase.h"
#include "platform/core/Prompt.h"
#include "platform/ui/DialogUnits.h"
#include "tests/support/ScriptedPrompts.h"
#include "tests/support/WhenShown.h"

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Two edits and OK / Cancel; the data check can be made to fail.
class TestDialog : public JGDDlgBase {
  public:
    TestDialog(int modeless, bool failInit = false)
        : JGDDlgBase(100, nullptr, modeless), m_failInit(failInit) {
        first = new QLineEdit(this);
        second = new QLineEdit(this);
        ok = new QPushButton(QStringLiteral("OK"), this);
        cancel = new QPushButton(QStringLiteral("Cancel"), this);
        SetDlgCtrlID(first, 1001);
        SetDlgCtrlID(second, 1002);
        SetDlgCtrlID(ok, IDOK);
        SetDlgCtrlID(cancel, IDCANCEL);
        first->setGeometry(5, 5, 100, 20);
        second->setGeometry(5, 30, 100, 20);
        ok->setGeometry(5, 55, 50, 20);
        cancel->setGeometry(60, 55, 50, 20);
        ok->setDefault(true);
        connect(ok, &QPushButton::clicked, this, &QDialog::accept);
        connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    }
    QLineEdit *first;
    QLineEdit *second;
    QPushButton *ok;
    QPushButton *cancel;
    bool valid = true;
    int inits = 0;

  protected:
    bool UpdateData(bool) override { return valid; }
    bool OnInitDialog() override {
        ++inits;
        if (m_failInit)
            EndJGDDlg();
        return true;
    }

  private:
    bool m_failInit;
};

TEST(JGDDlgBaseTest, ReturnMovesToTheNextControlAndPressesOk) {
    TestDialog dialog(0);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    dialog.first->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), dialog.first);

    QTest::keyClick(dialog.first, Qt::Key_Return);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(QApplication::focusWidget(), dialog.second);
    QTest::keyClick(dialog.second, Qt::Key_Enter);
    EXPECT_EQ(QApplication::focusWidget(), dialog.ok);
    EXPECT_TRUE(dialog.isVisible());

    // Return on OK presses it.
    QTest::keyClick(dialog.ok, Qt::Key_Return);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.inits, 1);
}

TEST(JGDDlgBaseTest, AFailedDataCheckKeepsTheDialogOpen) {
    TestDialog dialog(0);
    dialog.valid = false;
    dialog.show();
    dialog.ok->click();
    EXPECT_TRUE(dialog.isVisible());
    dialog.valid = true;
    dialog.ok->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST(JGDDlgBaseTest, ModelessDialogsDeleteThemselvesOnOkAndCancel) {
    for (const bool useOk : {true, false}) {
        QPointer<TestDialog> dialog = new TestDialog(1);
        EXPECT_EQ(dialog->ShowModeless(), 0);
        dialog->show();
        (useOk ? dialog->ok : dialog->cancel)->click();
        EXPECT_FALSE(dialog->isVisible());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(dialog.isNull());
    }
    // A modal one is only hidden.
    TestDialog modal(0);
    modal.show();
    modal.cancel->click();
    EXPECT_FALSE(modal.isVisible());
    EXPECT_EQ(modal.result(), QDialog::Rejected);
}

TEST(JGDDlgBaseTest, AFailedSetUpIsReportedAndEndsWithMinusOne) {
    testsupport::ScriptedPrompts prompts({IDOK});
    TestDialog dialog(0, true);
    EXPECT_EQ(dialog.DoModal(), -1);
    ASSERT_EQ(prompts.asked.size(), 1u);
    EXPECT_EQ(prompts.asked[0].first, "ダイアログの作成に失敗しました");
    EXPECT_EQ(prompts.asked[0].second, MB_ICONHAND);
    EXPECT_FALSE(dialog.isVisible());
}

TEST(JGDDlgBaseTest, DoModalRunsUntilOk) {
    TestDialog dialog(0);
    const auto reply = testsupport::WhenShown<JGDDlgBase>(
        [](JGDDlgBase *shown) { static_cast<TestDialog *>(shown)->ok->click(); });
    EXPECT_EQ(dialog.DoModal(), QDialog::Accepted);
    EXPECT_EQ(dialog.inits, 1);
}

TEST(JGDPropPageTest, ReturnMovesOnUnlessTheFocusIsOnOk) {
    JGDPropPage page(200);
    EXPECT_EQ(page.GetTemplateId(), 200u);
    auto *first = new QLineEdit(&page);
    auto *second = new QLineEdit(&page);
    auto *ok = new QPushButton(QStringLiteral("OK"), &page);
    SetDlgCtrlID(ok, IDOK);
    ok->setAutoDefault(true); // as on the property sheet's dialog
    int pressed = 0;
    QObject::connect(ok, &QPushButton::clicked, [&pressed] { ++pressed; });
    page.show();
    QApplication::setActiveWindow(&page);
    first->setFocus();
    QTest::keyClick(first, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), second);
    ok->setFocus();
    QTest::keyClick(ok, Qt::Key_Return);
    EXPECT_EQ(QApplication::focusWidget(), ok);
    EXPECT_EQ(pressed, 1);
}

} // namespace
