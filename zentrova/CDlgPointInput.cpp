#include "zentrova/CDlgPointInput.h"

#include "platform/core/Prompt.h"
#include "platform/ui/DialogUnits.h"
#include "platform/ui/QtText.h"
#include "zentrova/CDlgCanvas.h"
#include "zentrova/NumEdit.h"
#include "zentrova/PointCsv.h"
#include "zentrova/UserMessages.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>

namespace {

constexpr double kLimit = kCoordinateLimit;
constexpr int kDecimals = 8;

QLabel *addLabel(QWidget *dialog, const char *text, const QRect &dlu, const DialogUnits &units,
                 QWidget *buddy) {
    auto *label = new QLabel(ToQString(text), dialog);
    label->setBuddy(buddy);
    PlaceControl(label, -1, dlu, units);
    label->resize(label->width(), std::max(label->height(), label->sizeHint().height()));
    return label;
}

NumEdit *addNumEdit(QWidget *dialog, int id, const QRect &dlu, const DialogUnits &units) {
    auto *edit = new NumEdit(dialog);
    edit->setAlignment(Qt::AlignRight);
    PlaceControl(edit, id, dlu, units);
    return edit;
}

} // namespace

CDlgPointInput::CDlgPointInput(QWidget *parent) : QDialog(parent) {
    setFont(CDlgCanvas::ReplacedFont());
    setWindowTitle(ToQString("座標入力"));
    const DialogUnits units(font());
    auto *group = new QGroupBox(ToQString("平面直角座標系"), this);
    PlaceControl(group, -1, QRect(7, 27, 153, 64), units);
    m_name = new QLineEdit(this);
    PlaceControl(m_name, IDC_EDIT_NAME, QRect(44, 7, 116, 14), units);
    addLabel(this, "点名(&N):", QRect(7, 10, 36, 8), units, m_name);
    m_x = addNumEdit(this, IDC_EDIT_X, QRect(55, 38, 96, 14), units);
    m_y = addNumEdit(this, IDC_EDIT_Y, QRect(55, 54, 96, 14), units);
    m_h = addNumEdit(this, IDC_EDIT_H, QRect(55, 70, 96, 14), units);
    addLabel(this, "X座標(&X):", QRect(16, 41, 38, 8), units, m_x);
    addLabel(this, "Y座標(&Y):", QRect(16, 57, 38, 8), units, m_y);
    addLabel(this, "標高(&H):", QRect(16, 73, 38, 8), units, m_h);
    m_ok = new QPushButton(QStringLiteral("OK"), this);
    PlaceControl(m_ok, IDOK, QRect(57, 94, 50, 14), units);
    m_cancel = new QPushButton(ToQString("キャンセル"), this);
    PlaceControl(m_cancel, IDCANCEL, QRect(110, 94, 50, 14), units);
    m_ok->setDefault(true);
    setFixedSize(units.ToPixels(QSize(167, 115)));

    for (QWidget *control : {static_cast<QWidget *>(m_name), static_cast<QWidget *>(m_x),
                             static_cast<QWidget *>(m_y), static_cast<QWidget *>(m_h),
                             static_cast<QWidget *>(m_ok), static_cast<QWidget *>(m_cancel)})
        control->installEventFilter(this);
    connect(m_ok, &QPushButton::clicked, this, &CDlgPointInput::OnOK);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

int CDlgPointInput::DoModal() {
    OnInitDialog();
    return exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}

void CDlgPointInput::OnInitDialog() {
    m_name->setText(ToQString(m_value.name));
    NumEdit *const edits[] = {m_x, m_y, m_h};
    const double values[] = {m_value.x, m_value.y, m_value.h};
    for (int i = 0; i < 3; ++i) {
        edits[i]->SetMinimum(-kLimit);
        edits[i]->SetMaximum(kLimit);
        edits[i]->SetDecimals(kDecimals);
        edits[i]->SetValue(values[i]);
    }
    m_name->setFocus();
}

void CDlgPointInput::OnOK() {
    // A name is kept in cp932: one with a character cp932 lacks is refused, as the CSV import
    // refuses it, never stored with "?" in its place.
    const QByteArray utf8 = m_name->text().toUtf8();
    const std::u32string lacked = Cp932LackedCharacters(std::string_view(utf8.data(), utf8.size()));
    if (!lacked.empty()) {
        CString codes;
        for (char32_t c : lacked)
            codes.AppendFormat("%sU+%04X", codes.IsEmpty() ? "" : "、", static_cast<unsigned>(c));
        ReportFailure("点名にシフトJISで表せない文字（" + codes + "）があります。");
        m_name->setFocus();
        return;
    }
    m_value.name = ToCString(m_name->text());
    m_value.x = m_x->GetValue();
    m_value.y = m_y->GetValue();
    m_value.h = m_h->GetValue();
    accept();
}

bool CDlgPointInput::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const int key = static_cast<QKeyEvent *>(event)->key();
    const bool isButton = watched == m_ok || watched == m_cancel;
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !isButton) {
        focusNextChild();
        return true;
    }
    if (key == Qt::Key_Up)
        focusPreviousChild();
    else if (key == Qt::Key_Down)
        focusNextChild();
    return QDialog::eventFilter(watched, event);
}

void CDlgPointInput::keyPressEvent(QKeyEvent *event) {
    // Escape and Return that reach the dialog itself neither close it nor press OK.
    const int key = event->key();
    if (key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter)
        return;
    QDialog::keyPressEvent(event);
}
