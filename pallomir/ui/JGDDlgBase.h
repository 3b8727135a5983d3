#pragma once

#include "platform/core/WinTypes.h"

#include <QDialog>
#include <QWidget>

// The base of the system's dialogs. Return in a control other than the OK button (id 1) moves
// the focus to the next control instead of closing the dialog; Return on OK still presses it.
// A modal dialog ends through accept/reject as usual; a modeless one (modeless flag set) is
// destroyed by OK and Cancel and deletes itself.
class JGDDlgBase : public QDialog {
    Q_OBJECT

  public:
    ~JGDDlgBase() override;

    // Shows the dialog modeless; 0 in the base, which has nothing to show.
    virtual int ShowModeless();
    // True when Return in the control should move to the next control: every control but the
    // OK button.
    virtual int CheckCtrlReturnKey(QWidget *control);

    bool IsModeless() const { return m_bModeless != 0; }

    // Runs the dialog modal: OnInitDialog, then the dialog's own event loop. The dialog's
    // result: QDialog::Accepted (1) for OK, Rejected (0) for Cancel, -1 after EndJGDDlg.
    int DoModal();

    // OK and Enter: OnOK. Cancel, Escape and closing the window: OnCancel.
    void accept() override;
    void reject() override;

  protected:
    JGDDlgBase(UINT templateId, QWidget *parent, int modeless);

    // Fills the controls, once, before the dialog first shows; true in the base.
    virtual bool OnInitDialog();
    void showEvent(QShowEvent *event) override;

    // Moves data between the controls and the dialog's members (true: controls to members)
    // and checks it; false keeps the dialog open. The base has no data.
    virtual bool UpdateData(bool saveAndValidate = true);

    // Takes the data; a failed check keeps the dialog open. Modeless: destroys the window.
    virtual void OnOK();
    virtual void OnCancel();
    // Hides the window; a modeless dialog then deletes itself.
    void DestroyWindow();
    // Reports a failed set-up with "ダイアログの作成に失敗しました" and ends the dialog with -1.
    void EndJGDDlg();

    UINT GetTemplateId() const { return m_templateId; }

  private:
    // Runs OnInitDialog unless it has run.
    void initOnce();

    UINT m_templateId;
    int m_bModeless;
    bool m_initialised = false;
    bool m_ended = false;
};

// The base of property pages, with the Return handling of JGDDlgBase for the control that has
// the focus.
class JGDPropPage : public QWidget {
    Q_OBJECT

  public:
    JGDPropPage();
    explicit JGDPropPage(UINT templateId, QWidget *parent = nullptr);

    UINT GetTemplateId() const { return m_templateId; }

  private:
    UINT m_templateId = 0;
};
