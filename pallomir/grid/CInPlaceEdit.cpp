#include "pallomir/grid/CInPlaceEdit.h"

#include "pallomir/grid/CGridCtrl.h"
#include "pallomir/grid/CQtDC.h"
#include "pallomir/grid/CQtTextMeasurer.h"
#include "platform/ui/QtText.h"

#include <QKeyEvent>

namespace {

// The text of a typed character: one byte, or a double-byte character as lead << 8 | trail.
QString CharText(UINT ch) {
    if (ch > 0xFF) {
        const char bytes[2] = {static_cast<char>((ch >> 8) & 0xFF), static_cast<char>(ch & 0xFF)};
        return ToQString(CString(bytes, 2));
    }
    const char byte = static_cast<char>(ch);
    return ToQString(CString(&byte, 1));
}

} // namespace

CInPlaceEdit::CInPlaceEdit(CGridCtrl *pParent, const CRect &rect, DWORD dwStyle, UINT nID, int nRow,
                           int nColumn, const CString &sInitText, UINT nFirstChar)
    : QLineEdit(pParent->viewport()), m_pGrid(pParent), m_nRow(nRow), m_nColumn(nColumn),
      m_sInitText(sInitText), m_bExitOnArrows(nFirstChar != VK_LBUTTON), m_Rect(rect) {
    setObjectName(QStringLiteral("CInPlaceEdit%1").arg(nID));
    setAlignment(dwStyle == 2   ? Qt::AlignRight | Qt::AlignVCenter
                 : dwStyle == 1 ? Qt::AlignHCenter | Qt::AlignVCenter
                                : Qt::AlignLeft | Qt::AlignVCenter);
    if (const LOGFONT *font = pParent->GetFont())
        setFont(ToQFont(*font));
    setGeometry(ToQRect(rect));
    setText(ToQString(sInitText));
    show();
    setFocus();

    switch (nFirstChar) {
    case VK_LBUTTON:
    case VK_RETURN:
        end(false);
        break;
    case VK_BACK:
        end(false);
        backspace();
        break;
    case VK_TAB:
    case VK_SPACE:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_END:
    case VK_HOME:
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
        selectAll();
        break;
    default:
        selectAll();
        SendChar(nFirstChar);
        break;
    }
}

CInPlaceEdit::~CInPlaceEdit() = default;

void CInPlaceEdit::SendChar(UINT ch) {
    if (ch == VK_BACK) {
        backspace();
        return;
    }
    if (ch < 0x20)
        return;
    insert(CharText(ch));
    widenToText();
}

void CInPlaceEdit::Paste() { paste(); }

CString CInPlaceEdit::GetWindowText() const { return ToCString(text()); }

void CInPlaceEdit::EndEdit() {
    // Another editor of this grid may be ending (and this one losing the focus meanwhile):
    // this one ends later, on its own key or focus change.
    if (m_bEnded || m_pGrid->IsEndingInPlaceEdit())
        return;
    m_bEnded = true;
    m_pGrid->EndInPlaceEdit(this, m_nRow, m_nColumn, m_nLastChar);
}

void CInPlaceEdit::DestroyEditor() {
    m_bEnded = true;
    if (hasFocus())
        m_pGrid->setFocus();
    hide();
    deleteLater();
}

void CInPlaceEdit::keyPressEvent(QKeyEvent *event) {
    // The grid moves on with the keys held now (Shift+Tab goes back).
    m_pGrid->NoteKeyboardModifiers(event->modifiers());
    // Alt combinations are the menu's, never text.
    if (event->modifiers() & Qt::AltModifier) {
        event->accept();
        return;
    }
    const bool ctrl = (event->modifiers() & Qt::ControlModifier) != 0;
    UINT key = 0;
    switch (event->key()) {
    case Qt::Key_PageUp:
        key = VK_PRIOR;
        break;
    case Qt::Key_PageDown:
        key = VK_NEXT;
        break;
    case Qt::Key_Left:
        key = VK_LEFT;
        break;
    case Qt::Key_Up:
        key = VK_UP;
        break;
    case Qt::Key_Right:
        key = VK_RIGHT;
        break;
    case Qt::Key_Down:
        key = VK_DOWN;
        break;
    case Qt::Key_Escape:
        setText(ToQString(m_sInitText));
        m_nLastChar = VK_ESCAPE;
        EndEdit();
        return;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        m_nLastChar = VK_TAB;
        EndEdit();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        m_nLastChar = VK_RETURN;
        EndEdit();
        return;
    default:
        break;
    }
    if (key != 0) {
        if (m_bExitOnArrows || ctrl) {
            m_nLastChar = key;
            EndEdit();
            return;
        }
        QLineEdit::keyPressEvent(event);
        return;
    }
    QLineEdit::keyPressEvent(event);
    widenToText();
}

void CInPlaceEdit::focusOutEvent(QFocusEvent *event) {
    QLineEdit::focusOutEvent(event);
    EndEdit();
}

void CInPlaceEdit::widenToText() {
    const int wanted = fontMetrics().horizontalAdvance(text() + QStringLiteral("  "));
    const int limit = m_pGrid->viewport()->width() - m_Rect.left;
    const int width = std::max(m_Rect.Width(), std::min(wanted, limit));
    if (width != this->width())
        resize(width, height());
}
