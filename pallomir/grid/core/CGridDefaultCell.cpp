#include "pallomir/grid/core/CGridDefaultCell.h"

#include "pallomir/grid/core/CGridCore.h"

CGridDefaultCell::CGridDefaultCell() {
    m_dwStyle = 0;
    m_crFgClr = CLR_DEFAULT;
    m_crBkClr = CLR_DEFAULT;
    m_nWidth = 30;
    m_nHeight = 10;
    m_nFormat = DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS;
    // Nothing to measure with yet: the grid gives the message font once it owns the cell.
    m_nMargin = 3;
    m_nWidth = 40;
    m_nHeight = 16;
}

CGridDefaultCell::~CGridDefaultCell() = default;

void CGridDefaultCell::SetFont(const LOGFONT *font) {
    if (font == nullptr)
        return;
    m_Font.CreateFontIndirect(font);
    CGridCell::SetFont(font);
    if (m_pGrid == nullptr) {
        m_nMargin = 3;
        m_nWidth = 40;
        m_nHeight = 16;
        return;
    }
    CDC dc(&m_pGrid->GetMeasurer());
    dc.SelectObject(&m_Font);
    m_nMargin = static_cast<UINT>(dc.GetTextExtent(" ", 1).cx);
    const CSize size = dc.GetTextExtent(" XXXXXXXXXXXX ", 14);
    m_nWidth = size.cx;
    m_nHeight = size.cy * 3 / 2;
}

const LOGFONT *CGridDefaultCell::GetFont() const { return m_plfFont.get(); }

CFont *CGridDefaultCell::GetFontObject() const { return m_Font.IsCreated() ? &m_Font : nullptr; }
