#include "pallomir/ui/JGDSmpWaitDlg.h"

#include "platform/ui/DialogUnits.h"
#include "platform/ui/QtText.h"
#include "platform/ui/UiFont.h"

#include <QCloseEvent>
#include <QLabel>

JGDSmpWaitDlg::JGDSmpWaitDlg(const char *title, const char *message, QWidget *parent)
    : QDialog(nullptr) {
    QWidget *owner = parent != nullptr ? parent : AfxGetMainWnd();
    m_disabler.Disable(owner);

    // Closing a wait dialog never ends the application.
    setAttribute(Qt::WA_QuitOnClose, false);
    setFont(UiFont(9));
    const DialogUnits units(font());
    setFixedSize(units.ToPixels(QSize(179, 45)));
    m_pMessage = new QLabel(this);
    m_pMessage->setTextFormat(Qt::PlainText);
    m_pMessage->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_pMessage->setWordWrap(true);
    PlaceControl(m_pMessage, IDC_MESSAGE, QRect(7, 7, 165, 31), units);

    setWindowTitle(ToQString(title != nullptr ? title : "お待ちください..."));
    if (message != nullptr) {
        m_pMessage->setText(ToQString(message));
    }
    SetOwnerWindow(this, owner);
    show();
}

JGDSmpWaitDlg::~JGDSmpWaitDlg() { Close(); }

void JGDSmpWaitDlg::SetMessageText(const char *text) {
    if (m_bWindow) {
        m_pMessage->setText(ToQString(text));
    }
}

void JGDSmpWaitDlg::Close() {
    if (!m_bWindow) {
        return;
    }
    m_bWindow = false;
    m_disabler.Restore();
    hide();
}

void JGDSmpWaitDlg::reject() {}

void JGDSmpWaitDlg::accept() {}

void JGDSmpWaitDlg::closeEvent(QCloseEvent *event) {
    // A close from the window system is the user's; others come from the program or from the
    // application quitting, which must not be held up.
    if (event->spontaneous()) {
        event->ignore();
        return;
    }
    Close();
    event->accept();
}
