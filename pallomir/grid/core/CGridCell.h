#pragma once

#include "pallomir/grid/core/CGridCellBase.h"

#include <memory>

// The grid's ordinary cell: text, data, image, format, colours, font and margin, each left to
// the default cell until set.
class CGridCell : public CGridCellBase {
  public:
    CGridCell();
    ~CGridCell() override;

    CGridCell &operator=(const CGridCell &cell);
    using CGridCellBase::operator=;

    void SetText(const char *text) override;
    void SetImage(int image) override { m_nImage = image; }
    void SetData(LPARAM data) override { m_lParam = data; }
    void SetFormat(DWORD format) override { m_nFormat = format; }
    void SetTextClr(COLORREF colour) override { m_crFgClr = colour; }
    void SetBackClr(COLORREF colour) override { m_crBkClr = colour; }
    // A null font returns the cell to the default font.
    void SetFont(const LOGFONT *font) override;
    void SetMargin(UINT margin) override { m_nMargin = margin; }
    void SetGrid(CGridCore *grid) override { m_pGrid = grid; }
    void SetCoords(int, int) override {}

    const char *GetText() const override { return m_strText.GetString(); }
    int GetImage() const override { return m_nImage; }
    LPARAM GetData() const override { return m_lParam; }
    DWORD GetFormat() const override;
    COLORREF GetTextClr() const override { return m_crFgClr; }
    COLORREF GetBackClr() const override { return m_crBkClr; }
    const LOGFONT *GetFont() const override;
    // The cell's own font object lives as long as the cell; without an own font, the default
    // cell's.
    CFont *GetFontObject() const override;
    CGridCore *GetGrid() const override { return m_pGrid; }
    CGridEditWnd *GetEditWnd() const override { return m_pEditWnd; }
    UINT GetMargin() const override;

    bool IsDefaultFont() const override { return m_plfFont == nullptr; }
    bool IsEditing() const override { return m_bEditing; }

    void Reset() override;

    BOOL Edit(int nRow, int nCol, CRect rect, CPoint point, UINT nID, UINT nChar) override;
    void EndEdit() override;
    void OnEndEdit() override;

  protected:
    CString m_strText;
    LPARAM m_lParam = 0;
    int m_nImage = -1;
    DWORD m_nFormat = static_cast<DWORD>(-1);
    COLORREF m_crFgClr = CLR_DEFAULT;
    COLORREF m_crBkClr = CLR_DEFAULT;
    std::unique_ptr<LOGFONT> m_plfFont;
    UINT m_nMargin = static_cast<UINT>(-1);
    CGridCore *m_pGrid = nullptr;
    bool m_bEditing = false;
    CGridEditWnd *m_pEditWnd = nullptr;

  private:
    // Made with the first own font and kept, so that pointers handed out stay valid.
    std::unique_ptr<CFont> m_pFontObject;
};
