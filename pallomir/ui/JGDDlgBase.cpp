#include "pallomir/ui/JGDDlgBase.h"

#include "platform/core/Prompt.h"
#include "platform/ui/DialogUnits.h"

#include <QApplication>
#include <QKeyEvent>
#include <QShowEvent>

#include <functional>

namespace {

// Turns Return in the controls of one window into a move to the next control, unless the
// window's test says the control keeps it. Watches the whole application, as the framework's
// message pre-translation sees every message of the dialog's controls.
class ReturnToTab : public QObject {
  public:
    ReturnToTab(QWidget *window, std::function<bool(QWidget *)> moves)
        : QObject(window), m_window(window), m_moves(std::move(moves)) {
        qApp->installEventFilter(this);
    }
    ~ReturnToTab() override { qApp->removeEventFilter(this); }

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
            return false;
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter)
            return false;
        auto *control = static_cast<QWidget *>(watched);
        if (control == m_window || !m_window->isAncestorOf(control) || !m_moves(control))
            return false;
        QWidget *next = control->nextInFocusChain();
        while (next != control &&
               (!next->isEnabled() || !next->isVisible() || !(next->focusPolicy() & Qt::TabFocus) ||
                !m_window->isAncestorOf(next)))
            next = next->nextInFocusChain();
        next->setFocus(Qt::TabFocusReason);
        return true;
    }

  private:
    QWidget *m_window;
    std::function<bool(QWidget *)> m_moves;
};

} // namespace

JGDDlgBase::JGDDlgBase(UINT templateId, QWidget *parent, int modeless)
    : QDialog(parent), m_templateId(templateId), m_bModeless(modeless) {
    new ReturnToTab(this, [this](QWidget *control) { return CheckCtrlReturnKey(control) != 0; });
}

JGDDlgBase::~JGDDlgBase() = default;

int JGDDlgBase::ShowModeless() { return 0; }

int JGDDlgBase::DoModal() {
    m_ended = false;
    initOnce();
    if (m_ended)
        return result();
    return exec();
}

bool JGDDlgBase::OnInitDialog() { return true; }

void JGDDlgBase::showEvent(QShowEvent *event) {
    initOnce();
    QDialog::showEvent(event);
}

void JGDDlgBase::initOnce() {
    if (m_initialised)
        return;
    m_initialised = true;
    OnInitDialog();
}

int JGDDlgBase::CheckCtrlReturnKey(QWidget *control) { return GetDlgCtrlID(control) != IDOK; }

bool JGDDlgBase::UpdateData(bool) { return true; }

void JGDDlgBase::accept() { OnOK(); }

void JGDDlgBase::reject() { OnCancel(); }

void JGDDlgBase::OnOK() {
    if (!UpdateData(true))
        return;
    if (IsModeless())
        DestroyWindow();
    else
        QDialog::accept();
}

void JGDDlgBase::OnCancel() {
    if (IsModeless())
        DestroyWindow();
    else
        QDialog::reject();
}

void JGDDlgBase::DestroyWindow() {
    hide();
    if (IsModeless())
        deleteLater();
}

void JGDDlgBase::EndJGDDlg() {
    AfxMessageBox("ダイアログの作成に失敗しました", MB_ICONHAND);
    m_ended = true;
    done(-1);
}

JGDPropPage::JGDPropPage() : JGDPropPage(0) {}

JGDPropPage::JGDPropPage(UINT templateId, QWidget *parent)
    : QWidget(parent), m_templateId(templateId) {
    // The test is made on the control that has the focus.
    new ReturnToTab(this,
                    [](QWidget *) { return GetDlgCtrlID(QApplication::focusWidget()) != IDOK; });
}
