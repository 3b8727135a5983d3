#include "platform/ui/Window.h"

#include <QApplication>
#include <QMainWindow>
#include <QWindow>

QWidget *AfxGetMainWnd() {
    if (qobject_cast<QApplication *>(QCoreApplication::instance()) == nullptr) {
        return nullptr;
    }
    const QWidgetList windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows) {
        if (qobject_cast<QMainWindow *>(window) != nullptr && window->isVisible()) {
            return window;
        }
    }
    return nullptr;
}

void SetOwnerWindow(QWidget *window, QWidget *owner) {
    if (window == nullptr || owner == nullptr) {
        return;
    }
    window->winId();
    owner->window()->winId();
    QWindow *handle = window->windowHandle();
    QWindow *ownerHandle = owner->window()->windowHandle();
    if (handle != nullptr && ownerHandle != nullptr && handle != ownerHandle) {
        handle->setTransientParent(ownerHandle);
    }
}

WindowDisabler::~WindowDisabler() { Restore(); }

void WindowDisabler::Disable(QWidget *window) {
    Restore();
    if (window == nullptr || window->testAttribute(Qt::WA_ForceDisabled)) {
        return;
    }
    window->setEnabled(false);
    m_window = window;
}

void WindowDisabler::Restore() {
    if (m_window != nullptr) {
        m_window->setEnabled(true);
    }
    m_window = nullptr;
}
