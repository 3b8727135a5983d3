#pragma once

#include "pallomir/grid/core/CGridCell.h"

// Supplies what cells leave unset: colours, format, margin, font, and the default row height
// and column width. Always read-only; its state and data cannot be set.
class CGridDefaultCell : public CGridCell {
  public:
    CGridDefaultCell();
    ~CGridDefaultCell() override;

    DWORD GetStyle() const { return m_dwStyle; }
    void SetStyle(DWORD style) { m_dwStyle = style; }
    int GetWidth() const { return m_nWidth; }
    int GetHeight() const { return m_nHeight; }
    void SetWidth(int width) { m_nWidth = width; }
    void SetHeight(int height) { m_nHeight = height; }

    void SetData(LPARAM) override {}
    void SetState(DWORD) override {}
    DWORD GetState() const override { return CGridCell::GetState() | GVIS_READONLY; }
    // A null font changes nothing. Otherwise the font is taken and margin, width and height
    // are measured with it: margin = width of " ", width = width of " XXXXXXXXXXXX ",
    // height = text height x 3 / 2; without a grid to measure with, 3, 40 and 16.
    void SetFont(const LOGFONT *font) override;
    const LOGFONT *GetFont() const override;
    CFont *GetFontObject() const override;
    // A default cell's own values, even when they are -1.
    DWORD GetFormat() const override { return m_nFormat; }
    UINT GetMargin() const override { return m_nMargin; }

  private:
    int m_nWidth = 30;
    int m_nHeight = 10;
    mutable CFont m_Font;
    DWORD m_dwStyle = 0;
};
