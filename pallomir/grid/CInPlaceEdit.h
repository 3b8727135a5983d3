#pragma once

#include "pallomir/grid/core/CGridEditWnd.h"
#include "pallomir/grid/core/GridDefs.h"

#include <QLineEdit>

class CGridCtrl;

// The editor over a cell: a one-line edit control that ends on Return, Tab, Escape (which
// restores the text), losing the focus, and on the arrow and page keys unless the edit began
// with a mouse click. The grid hears the text and the key that ended the edit; the editor then
// removes itself.
class CInPlaceEdit : public QLineEdit, public CGridEditWnd {
  public:
    // dwStyle: 0 left, 1 centred, 2 right-aligned. nFirstChar: VK_LBUTTON or VK_RETURN put the
    // caret at the end; VK_BACK does that and deletes a character; Tab, space and the page and
    // arrow keys select the text; any other character replaces it.
    CInPlaceEdit(CGridCtrl *pParent, const CRect &rect, DWORD dwStyle, UINT nID, int nRow,
                 int nColumn, const CString &sInitText, UINT nFirstChar);
    ~CInPlaceEdit() override;

    void SendChar(UINT ch) override;
    void Paste() override;
    void EndEdit() override;
    void DestroyEditor() override;
    CString GetWindowText() const override;

    int GetRow() const { return m_nRow; }
    int GetColumn() const { return m_nColumn; }
    UINT GetLastChar() const { return m_nLastChar; }
    // The grid is going: the editor ends without telling it.
    void Abandon() { m_bEnded = true; }

  protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    // Tab is a key of the editor, not a move to the next control.
    bool focusNextPrevChild(bool) override { return false; }

  private:
    void widenToText();

    CGridCtrl *m_pGrid;
    int m_nRow;
    int m_nColumn;
    CString m_sInitText;
    UINT m_nLastChar = 0;
    bool m_bExitOnArrows;
    CRect m_Rect;
    bool m_bEnded = false;
};
