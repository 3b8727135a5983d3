#include "pallomir/grid/core/CGridCell.h"

#include "pallomir/grid/core/CGridCore.h"
#include "pallomir/grid/core/CGridDefaultCell.h"
#include "pallomir/grid/core/CGridEditWnd.h"

CGridCell::CGridCell() { CGridCell::Reset(); }

CGridCell::~CGridCell() = default;

CGridCell &CGridCell::operator=(const CGridCell &cell) {
    if (this != &cell)
        CGridCellBase::operator=(cell);
    return *this;
}

void CGridCell::Reset() {
    CGridCellBase::Reset();
    m_strText.Empty();
    m_nImage = -1;
    m_nFormat = static_cast<DWORD>(-1);
    m_nMargin = static_cast<UINT>(-1);
    m_crFgClr = CLR_DEFAULT;
    m_crBkClr = CLR_DEFAULT;
    m_pGrid = nullptr;
    m_bEditing = false;
    m_pEditWnd = nullptr;
    m_plfFont.reset();
}

void CGridCell::SetText(const char *text) { m_strText = text != nullptr ? text : ""; }

void CGridCell::SetFont(const LOGFONT *font) {
    if (font == nullptr) {
        m_plfFont.reset();
        return;
    }
    if (m_plfFont == nullptr)
        m_plfFont = std::make_unique<LOGFONT>();
    *m_plfFont = *font;
    if (m_pFontObject == nullptr)
        m_pFontObject = std::make_unique<CFont>();
    m_pFontObject->CreateFontIndirect(font);
}

DWORD CGridCell::GetFormat() const {
    if (m_nFormat == static_cast<DWORD>(-1)) {
        if (const CGridDefaultCell *defaultCell = GetDefaultCell())
            return defaultCell->GetFormat();
    }
    return m_nFormat;
}

UINT CGridCell::GetMargin() const {
    if (m_nMargin == static_cast<UINT>(-1)) {
        if (const CGridDefaultCell *defaultCell = GetDefaultCell())
            return defaultCell->GetMargin();
    }
    return m_nMargin;
}

const LOGFONT *CGridCell::GetFont() const {
    if (m_plfFont != nullptr)
        return m_plfFont.get();
    const CGridDefaultCell *defaultCell = GetDefaultCell();
    return defaultCell != nullptr ? defaultCell->GetFont() : nullptr;
}

CFont *CGridCell::GetFontObject() const {
    if (m_plfFont != nullptr)
        return m_pFontObject.get();
    const CGridDefaultCell *defaultCell = GetDefaultCell();
    return defaultCell != nullptr ? defaultCell->GetFontObject() : nullptr;
}

BOOL CGridCell::Edit(int nRow, int nCol, CRect rect, CPoint, UINT nID, UINT nChar) {
    if (m_bEditing) {
        if (m_pEditWnd != nullptr)
            m_pEditWnd->SendChar(nChar);
        return TRUE;
    }
    if (m_pGrid == nullptr)
        return FALSE;
    const DWORD format = GetFormat();
    DWORD style = 0; // left
    if (format & DT_RIGHT)
        style = 2;
    else if (format & DT_CENTER)
        style = 1;
    m_bEditing = true;
    m_pEditWnd = m_pGrid->CreateInPlaceEdit(rect, style, nID, nRow, nCol, m_strText, nChar);
    if (m_pEditWnd == nullptr)
        m_bEditing = false;
    return TRUE;
}

void CGridCell::EndEdit() {
    if (m_pEditWnd != nullptr)
        m_pEditWnd->EndEdit();
}

void CGridCell::OnEndEdit() {
    m_bEditing = false;
    m_pEditWnd = nullptr;
}
