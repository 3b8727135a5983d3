#pragma once

#include "platform/core/WinTypes.h"
#include "platform/ui/Window.h"

#include <QDialog>

class QLabel;

// Modeless message-only wait dialog, without a Cancel button. While it is shown, its parent
// (or the main window when no parent is given) is disabled. The user cannot close it (Escape
// and the window's close button are refused); the application closing its windows to quit
// does close it. Once closed, SetMessageText does nothing.
class JGDSmpWaitDlg : public QDialog {
    Q_OBJECT

  public:
    static constexpr UINT IDD = 19102;
    static constexpr int IDC_MESSAGE = 18009;

    // A null title shows "お待ちください..."; a null message leaves the message empty.
    JGDSmpWaitDlg(const char *title, const char *message, QWidget *parent);
    ~JGDSmpWaitDlg() override;

    void SetMessageText(const char *text);
    // Re-enables the parent and removes the window, once.
    void Close();

    // Neither closes the dialog.
    void reject() override;
    void accept() override;

  protected:
    void closeEvent(QCloseEvent *event) override;

  private:
    // Holds the parent (or main window) that this dialog disabled.
    WindowDisabler m_disabler;
    bool m_bWindow = true;
    QLabel *m_pMessage = nullptr;
};
