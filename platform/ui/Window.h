#pragma once

#include <QPointer>
#include <QWidget>

// Show states of a window.
inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOWNORMAL = 1;
inline constexpr int SW_SHOWMINIMIZED = 2;
inline constexpr int SW_SHOWMAXIMIZED = 3;
inline constexpr int SW_SHOWNOACTIVATE = 4;
inline constexpr int SW_SHOW = 5;
inline constexpr int SW_MINIMIZE = 6;
inline constexpr int SW_SHOWMINNOACTIVE = 7;
inline constexpr int SW_SHOWNA = 8;
inline constexpr int SW_RESTORE = 9;

// Shows, hides, minimizes or maximizes the window as the show state says; the states without
// activation show the window without activating it. A window maximized before it is minimized
// comes back maximized.
void ShowWindow(QWidget *window, int showState);

// The application's main window: the first visible top-level QMainWindow, or null when
// there is none.
QWidget *AfxGetMainWnd();

// Keeps the top-level window above owner's window, as an owned window, without making it a
// child of owner: disabling owner leaves window enabled. Null owner: nothing happens.
void SetOwnerWindow(QWidget *window, QWidget *owner);

// Waits until the window system has carried out what the program asked of it so far (a window
// hidden is off the screen) and the windows that this uncovered have been repainted. Events are
// handled meanwhile, as a wait dialog's pump does. Nothing without a Qt GUI application.
void SyncWindowSystem();

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
