#include "pallomir/ui/JGDSmpWaitDlg.h"

#include "platform/ui/DialogUnits.h"
#include "platform/ui/QtText.h"
#include "platform/ui/UiFont.h"

#include <QLabel>

JGDSmpWaitDlg::JGDSmpWaitDlg(const char *title, const char *message, QWidget *parent)
    : JGDWaitWindow(parent) {
    SetMessageOnlyClose(true);
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
    ShowAboveOwner();
}

void JGDSmpWaitDlg::SetMessageText(const char *text) {
    if (HasWindow()) {
        m_pMessage->setText(ToQString(text));
    }
}

void JGDSmpWaitDlg::reject() {}

void JGDSmpWaitDlg::accept() {}
