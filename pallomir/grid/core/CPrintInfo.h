#pragma once

#include "pallomir/grid/core/GridDefs.h"

// What a print job knows about its pages.
struct CPrintInfo {
    UINT m_nCurPage = 1;
    // The printable area of the page in device pixels.
    CRect m_rectDraw;

    void SetMinPage(UINT page) { m_nMinPage = page; }
    void SetMaxPage(UINT page) { m_nMaxPage = page; }
    UINT GetMinPage() const { return m_nMinPage; }
    UINT GetMaxPage() const { return m_nMaxPage; }
    UINT GetFromPage() const { return m_nMinPage; }
    UINT GetToPage() const { return m_nMaxPage; }

  private:
    UINT m_nMinPage = 1;
    UINT m_nMaxPage = 0xFFFF;
};
