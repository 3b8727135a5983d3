#pragma once

#include "platform/ui/Window.h"

#include <QDialog>
#include <QPointer>

// What the two wait dialogs share: a top-level window of its own that keeps its owner (the
// parent given, or the main window) disabled while it is up, and the close of a dialog that
// shows a message alone, which the user cannot close but the application quitting can.
class JGDWaitWindow : public QDialog {
    Q_OBJECT

  public:
    ~JGDWaitWindow() override;

    // Whether the window is still up: neither cancelled nor closed.
    bool HasWindow() const { return m_bWindow; }
    // Re-enables the owner and removes the window, once.
    void Close();
    // Close, the window off the screen first: the window system has removed it and repainted
    // what it covered, while the owner still takes no input, before the caller goes on. The
    // work that follows the end of a wait (filling a list) then shows no wait window, and no
    // click meets a Cancel that has nothing left to cancel.
    void Dismiss();

  protected:
    // Disables the owner; the window is no child of it, so that it stays usable.
    explicit JGDWaitWindow(QWidget *parent);
    // Shows the window, kept above its owner.
    void ShowAboveOwner();

    bool IsMessageOnly() const { return m_bMessageOnly; }
    void SetMessageOnlyClose(bool on) { m_bMessageOnly = on; }

    // While the dialog shows its message alone, the user's close is refused and the program's
    // (the application quitting) closes it without cancelling; otherwise as QDialog's.
    void closeEvent(QCloseEvent *event) override;

  private:
    QPointer<QWidget> m_pOwner;
    // Holds the owner that this dialog disabled.
    WindowDisabler m_disabler;
    bool m_bWindow = true;
    bool m_bMessageOnly = false;
};
