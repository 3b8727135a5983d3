#pragma once

#include "pallomir/ui/JGDWaitWindow.h"
#include "platform/core/WinTypes.h"

class QLabel;
class QProgressBar;
class QPushButton;

// Modeless wait dialog: two message lines, a percent bar and a Cancel button. While it is
// shown, its parent (or the main window when no parent is given) is disabled; the dialog is a
// top-level window of its own so that it stays usable. Cancel, Escape and closing the window
// all clear the continue flag and close the dialog, except while the dialog only shows a message
// (SetMessageOnly). Once closed, the setters do nothing.
class JGDWaitDlg : public JGDWaitWindow {
    Q_OBJECT

  public:
    static constexpr UINT IDD = 19101;
    static constexpr int IDC_MESSAGE = 18009;
    static constexpr int IDC_MESSAGE2 = 18010;
    static constexpr int IDC_PROGRESS = 18008;
    static constexpr int IDC_ELM_MESSAGE = 22854;
    static constexpr int IDC_ELM_PROGRESS = 19104;
    static constexpr int IDC_OK = 1;
    static constexpr int IDC_CANCEL = 2;

    // pContinue (not owned) is set to 0 on Cancel. A null title shows "Working", a null message
    // "Click Cancel to cancel the operation".
    JGDWaitDlg(int *pContinue, const char *title, const char *message, QWidget *parent);
    // templateId 24013 adds the element line and bar above (JGDWaitDlg2); any other id gives
    // the layout of 19101.
    JGDWaitDlg(int *pContinue, const char *title, const char *message, UINT templateId,
               QWidget *parent);

    void SetMessageText(const char *text);
    void SetMessageText2(const char *text);
    // Clamped to 0..100.
    void SetPercentComplete(int percent);
    // Shows the message lines alone, without the bar and Cancel (Escape and the window's close
    // button ignored), while on; off brings back the bar and Cancel.
    void SetMessageOnly(bool on);

    // Handles every pending event so the windows stay responsive. Answers 0 when a request to
    // quit the application was met: the application's own event loop still ends once the
    // running operation returns to it. Otherwise 1.
    static int Pump();

    void OnCancel();

    // Escape and closing the window: OnCancel.
    void reject() override;
    // The OK button is hidden and disabled: nothing closes the dialog without cancelling.
    void accept() override;

  protected:
    QLabel *m_pElmMessage = nullptr;
    QProgressBar *m_pElmProgress = nullptr;

  private:
    int *m_pContinue;
    QLabel *m_pMessage = nullptr;
    QLabel *m_pMessage2 = nullptr;
    QProgressBar *m_pProgress = nullptr;
    QPushButton *m_pCancel = nullptr;
};

// The wait dialog with a second bar for elements (such as blocks) above the step bar.
class JGDWaitDlg2 : public JGDWaitDlg {
    Q_OBJECT

  public:
    static constexpr UINT IDD = 24013;

    JGDWaitDlg2(int *pContinue, const char *title, const char *message, UINT templateId,
                QWidget *parent);

    void SetElmMessageText(const char *text);
    // Clamped to 0..100.
    void SetElmPercentComplete(int percent);
};
