#pragma once

#include "zentrova/CDlgCanvas.h"

#include <QMainWindow>

#include <map>

class CZentrovaView;
class QAction;

// The program's window: one menu "ファイル(&F)" over the view, no status bar or tool bar, and a
// fixed size that follows the main dialog.
class CMainFrame : public QMainWindow {
    Q_OBJECT

  public:
    explicit CMainFrame(CanvasSources sources, QWidget *parent = nullptr);

    CZentrovaView *GetView() const { return m_view; }
    // The menu command of that id, or null.
    QAction *GetCommand(int id) const;

    // Makes the view's dialog, then fits the window around it, centres it on the screen and
    // gives it its title.
    void OnInitialUpdate();
    // Enables the commands as the view says.
    void UpdateCommandUI();

  private:
    CZentrovaView *m_view;
    std::map<int, QAction *> m_commands;
};
