#include "platform/ui/WaitCursor.h"

#include <QApplication>

CWaitCursor::CWaitCursor()
    : m_active(qobject_cast<QApplication *>(QCoreApplication::instance()) != nullptr) {
    if (m_active) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }
}

CWaitCursor::~CWaitCursor() { Restore(); }

void CWaitCursor::Restore() {
    if (m_active) {
        QApplication::restoreOverrideCursor();
        m_active = false;
    }
}
