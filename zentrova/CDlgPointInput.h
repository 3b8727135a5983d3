#pragma once

#include "platform/core/CString.h"
#include "platform/core/WinTypes.h"

#include <QDialog>

class NumEdit;
class QLineEdit;
class QPushButton;

// The name and the Tokyo-datum plane coordinates of one target point.
struct PointValue {
    CString name;
    double x = 0.0;
    double y = 0.0;
    double h = 0.0;
};

// The modal dialog "座標入力" that takes one point's name, X, Y and height. Return in an edit
// moves to the next control, Escape does nothing, the arrow keys up and down move between the
// controls; only OK and Cancel close the dialog.
class CDlgPointInput : public QDialog {
    Q_OBJECT

  public:
    static constexpr UINT IDD = 132;
    static constexpr int IDC_EDIT_NAME = 1006;
    static constexpr int IDC_EDIT_X = 1007;
    static constexpr int IDC_EDIT_Y = 1008;
    static constexpr int IDC_EDIT_H = 1009;

    explicit CDlgPointInput(QWidget *parent = nullptr);

    // The value shown when the dialog opens and taken when it closes with OK.
    PointValue &Value() { return m_value; }

    // IDOK or IDCANCEL.
    int DoModal();

  protected:
    void OnInitDialog();
    void OnOK();
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

  private:
    QLineEdit *m_name;
    NumEdit *m_x;
    NumEdit *m_y;
    NumEdit *m_h;
    QPushButton *m_ok;
    QPushButton *m_cancel;
    PointValue m_value;
};
