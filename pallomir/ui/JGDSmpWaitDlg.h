#pragma once

#include "pallomir/ui/JGDWaitWindow.h"
#include "platform/core/WinTypes.h"

class QLabel;

// Modeless message-only wait dialog, without a Cancel button. While it is shown, its parent
// (or the main window when no parent is given) is disabled. The user cannot close it (Escape
// and the window's close button are refused); the application closing its windows to quit
// does close it. Once closed, SetMessageText does nothing.
class JGDSmpWaitDlg : public JGDWaitWindow {
    Q_OBJECT

  public:
    static constexpr UINT IDD = 19102;
    static constexpr int IDC_MESSAGE = 18009;

    // A null title shows "お待ちください..."; a null message leaves the message empty.
    JGDSmpWaitDlg(const char *title, const char *message, QWidget *parent);

    void SetMessageText(const char *text);

    // Neither closes the dialog.
    void reject() override;
    void accept() override;

  private:
    QLabel *m_pMessage = nullptr;
};
