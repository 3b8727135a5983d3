#pragma once

#include <QPointer>
#include <QWidget>

// The application's main window: the first visible top-level QMainWindow, or null when
// there is none.
QWidget *AfxGetMainWnd();

// Keeps the top-level window above owner's window, as an owned window, without making it a
// child of owner: disabling owner leaves window enabled. Null owner: nothing happens.
void SetOwnerWindow(QWidget *window, QWidget *owner);

// Keeps a window disabled while a modeless wait dialog is up. Restore() enables it again only
// when Disable() was the one that disabled it, so a window that was already disabled (by an
// outer wait dialog) stays disabled. A window destroyed meanwhile is simply forgotten.
class WindowDisabler {
  public:
    WindowDisabler() = default;
    WindowDisabler(const WindowDisabler &) = delete;
    WindowDisabler &operator=(const WindowDisabler &) = delete;
    ~WindowDisabler();

    // Disables window (null: nothing happens); restores any window disabled before.
    void Disable(QWidget *window);
    void Restore();

  private:
    QPointer<QWidget> m_window;
};
