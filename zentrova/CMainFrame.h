#pragma once

#include "zentrova/CDlgCanvas.h"

#include <QMainWindow>
#include <QMargins>

#include <map>

class CZentrovaView;
class QAction;
class QScrollArea;

// The program's window: one menu "ファイル(&F)" over the view, no status bar or tool bar, and a
// fixed size that follows the main dialog where the screen has room for it. On a smaller screen
// (a scaled desktop) the window takes the room there is and the view scrolls in it.
class CMainFrame : public QMainWindow {
    Q_OBJECT

  public:
    explicit CMainFrame(CanvasSources sources, QWidget *parent = nullptr);

    CZentrovaView *GetView() const { return m_view; }
    // The menu command of that id, or null.
    QAction *GetCommand(int id) const;

    // Makes the view's dialog, then fits the window around it on its screen (FitToArea) and
    // gives it its title.
    void OnInitialUpdate();
    // Gives the window the size of the view under the menu where the area (of a screen, less
    // the window system's decorations as far as they are known) holds it; otherwise as much of
    // that as the area holds, with scroll bars for the rest. The window is placed in the area,
    // centred where it fits.
    void FitToArea(const QRect &area);
    // Enables the commands as the view says.
    void UpdateCommandUI();

  protected:
    // Fits the window again once the window system has decorated it.
    void moveEvent(QMoveEvent *event) override;

  private:
    void fitToScreen();

    CZentrovaView *m_view;
    QScrollArea *m_scroll;
    // The decorations the last fit allowed for.
    QMargins m_fittedMargins;
    bool m_fitted = false;
    std::map<int, QAction *> m_commands;
};
