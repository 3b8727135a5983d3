#include "pallomir/ui/JGDWaitWindow.h"

#include <QCloseEvent>

JGDWaitWindow::JGDWaitWindow(QWidget *parent)
    : QDialog(nullptr), m_pOwner(parent != nullptr ? parent : AfxGetMainWnd()) {
    m_disabler.Disable(m_pOwner);
    // Closing a wait dialog never ends the application.
    setAttribute(Qt::WA_QuitOnClose, false);
}

JGDWaitWindow::~JGDWaitWindow() { Close(); }

void JGDWaitWindow::ShowAboveOwner() {
    SetOwnerWindow(this, m_pOwner);
    show();
}

void JGDWaitWindow::Close() {
    if (!m_bWindow) {
        return;
    }
    m_bWindow = false;
    m_disabler.Restore();
    hide();
}

void JGDWaitWindow::Dismiss() {
    if (!m_bWindow) {
        return;
    }
    m_bWindow = false;
    hide();
    SyncWindowSystem();
    m_disabler.Restore();
}

void JGDWaitWindow::closeEvent(QCloseEvent *event) {
    if (!m_bMessageOnly) {
        QDialog::closeEvent(event);
        return;
    }
    // A close from the window system is the user's; others come from the program or from the
    // application quitting, which must not be held up.
    if (event->spontaneous()) {
        event->ignore();
        return;
    }
    Close();
    event->accept();
}
