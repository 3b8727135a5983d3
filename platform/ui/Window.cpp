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

void SyncWindowSystem() {
    if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()) == nullptr) {
        return;
    }
    // The first carries out the requests and handles the exposures they bring, which repaint
    // the windows uncovered; the second carries out the repainting.
    QGuiApplication::sync();
    QGuiApplication::sync();
}

void ShowWindow(QWidget *window, int showState) {
    if (window == nullptr) {
        return;
    }
    const bool noActivate = showState == SW_SHOWNOACTIVATE || showState == SW_SHOWMINNOACTIVE ||
                            showState == SW_SHOWNA || showState == SW_MINIMIZE;
    window->setAttribute(Qt::WA_ShowWithoutActivating, noActivate);
    const Qt::WindowStates state = window->windowState();
    switch (showState) {
    case SW_HIDE:
        window->hide();
        return;
    case SW_SHOWMINIMIZED:
    case SW_MINIMIZE:
    case SW_SHOWMINNOACTIVE:
        window->setWindowState(state | Qt::WindowMinimized);
        break;
    case SW_SHOWMAXIMIZED:
        window->setWindowState((state & ~Qt::WindowMinimized) | Qt::WindowMaximized);
        break;
    case SW_SHOWNORMAL:
    case SW_RESTORE:
        // A minimized window returns to what it was before; a normal one stays normal.
        window->setWindowState(state & Qt::WindowMinimized
                                   ? state & ~Qt::WindowMinimized
                                   : state & ~(Qt::WindowMaximized | Qt::WindowFullScreen));
        break;
    default:
        break;
    }
    window->show();
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
