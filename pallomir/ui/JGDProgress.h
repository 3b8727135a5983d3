#pragma once

#include "pallomir/ui/JIProgMsgBase.h"

#include <QPointer>
#include <QWidget>

#include <memory>
#include <string>

class JGDWaitDlg;
class JGDWaitDlg2;
class JGDSmpWaitDlg;

// The body that JGDProgress and JGDProgress2 share: Base is the interface, WaitDlg the dialog
// with bar and Cancel shown for type 1; other types show JGDSmpWaitDlg. Every progress call
// handles pending events so the windows stay responsive. The object owns its dialogs and the
// dialog writes to its continue flag, so it can be neither copied nor moved.
template <class Base, class WaitDlg> class JGDProgressImpl : public Base {
  public:
    using Base::ProgressStart;

    JGDProgressImpl(const JGDProgressImpl &) = delete;
    JGDProgressImpl &operator=(const JGDProgressImpl &) = delete;
    ~JGDProgressImpl() override;

    // The kind and text arguments are not used: the text follows the kind.
    void ProgressStart(PROGRESS_KIND kind, int total) const override;
    void ProgressStart(const std::string &text, int total) const override;
    bool Progress(int done) const override;
    // total = 0; the dialog stays.
    void ProgressEnd() const override;
    // Shows the dialog of that type and clears a former cancel. A dialog still up stays: the
    // bar dialog starts afresh for type 1 and shows the message alone, without its bar and
    // Cancel, for any other type; so does the message-only dialog for another such type. Only a
    // message-only dialog asked to become the bar dialog, or none up, makes a new window. So a
    // run of several steps (reading a file, then storing its points) shows one window.
    bool ProgressInit(JGD_PROGRESS_TYPE type) const override;
    void ProgressStart(int total) const override;
    // Shows text in place of the kind's message until the next ProgressStart or ProgressInit.
    void SetProgressMsg(const CString &text) const override;
    bool ProgressPercent(int percent, int done) const override;
    // Closes both dialogs, each off the screen before the call returns
    // (JGDWaitWindow::Dismiss); so does the destructor.
    void ProgressTerm() const override;
    bool CheckCancel() const override;
    bool IsCanceled() const override;
    void SetProgressKind(JGD_PROGRESS_KIND kind) const override;
    // 1, whatever type was given to ProgressInit.
    JGD_PROGRESS_TYPE GetProgressTtype() const override;

    // The parent of the next ProgressInit's dialog; null: the main window.
    virtual void SetParentWnd(QWidget *parent);

    // The kind's message text; empty outside 0..12.
    static CString GetMessageStr(JGD_PROGRESS_KIND kind);

  protected:
    JGDProgressImpl();

    // The dialog with bar and Cancel while the type is 1, else null.
    WaitDlg *WaitDialog() const;
    // The message-only dialog shows lead, the kind's text and a request to wait.
    void ShowSimpleMessage(const CString &lead) const;
    // As ShowSimpleMessage with text in place of the kind's.
    void ShowSimpleText(const CString &lead, const CString &text) const;
    // part * 100 / whole in 64 bits, truncated; 0 when whole is not above 0.
    static int PercentOf(long long part, long long whole);

  private:
    void CloseDialogs() const;
    // Keeps the dialog that is up for the type; false when a new one must be made.
    bool ReuseDialog(JGD_PROGRESS_TYPE type) const;
    void ShowMessageText() const;
    bool Step(const CString &counter, int percent) const;

    mutable std::unique_ptr<WaitDlg> m_pWaitDlg;
    mutable std::unique_ptr<JGDSmpWaitDlg> m_pSmpWaitDlg;
    // 1 while running; the wait dialog writes 0 on Cancel.
    mutable int m_nContinue = 1;
    mutable JGD_PROGRESS_KIND m_nKind{0};
    mutable JGD_PROGRESS_TYPE m_nType{1};
    QPointer<QWidget> m_pParentWnd;
};

extern template class JGDProgressImpl<JIProgMsgBase, JGDWaitDlg>;
extern template class JGDProgressImpl<JIProgMsgBase2, JGDWaitDlg2>;

// Progress of one run of steps, with the wait dialog JGDWaitDlg.
class JGDProgress : public JGDProgressImpl<JIProgMsgBase, JGDWaitDlg> {
  public:
    JGDProgress() = default;
};
