#pragma once

#include "pallomir/grid/core/CDC.h"
#include "pallomir/grid/core/GridDefs.h"

#include <memory>
#include <type_traits>

class CGridCore;
class CGridCellBase;
class CGridDefaultCell;
class CGridEditWnd;

// A cell class the grid can create on demand (SetDefaultCellType, SetCellType).
class CGridCellClass {
  public:
    using Factory = std::unique_ptr<CGridCellBase> (*)();

    explicit constexpr CGridCellClass(Factory factory) : m_factory(factory) {}
    std::unique_ptr<CGridCellBase> CreateObject() const { return m_factory(); }

    // The class object of a cell class; only classes derived from CGridCellBase have one.
    template <class T> static const CGridCellClass *Of();

  private:
    Factory m_factory;
};

#define RUNTIME_CLASS(T) (CGridCellClass::Of<T>())

// The abstract cell: only the state word lives here. Attributes a cell leaves unset come from
// the default cell of its region. Rectangles given to a cell are the cell's area with
// exclusive right and bottom edges; with grid lines on, the last column and row of pixels
// belong to the lines.
class CGridCellBase {
  public:
    CGridCellBase() = default;
    virtual ~CGridCellBase();
    CGridCellBase(const CGridCellBase &) = delete;

    virtual void SetText(const char *text) = 0;
    virtual void SetImage(int image) = 0;
    virtual void SetData(LPARAM data) = 0;
    virtual void SetState(DWORD state) { m_nState = state; }
    virtual void SetFormat(DWORD format) = 0;
    virtual void SetTextClr(COLORREF colour) = 0;
    virtual void SetBackClr(COLORREF colour) = 0;
    virtual void SetFont(const LOGFONT *font) = 0;
    virtual void SetMargin(UINT margin) = 0;
    virtual void SetGrid(CGridCore *grid) = 0;
    virtual void SetCoords(int row, int col) = 0;

    // Never null: an empty cell gives "".
    virtual const char *GetText() const = 0;
    virtual const char *GetTipText() const { return GetText(); }
    virtual int GetImage() const = 0;
    virtual LPARAM GetData() const = 0;
    virtual DWORD GetState() const { return m_nState; }
    virtual DWORD GetFormat() const = 0;
    virtual COLORREF GetTextClr() const = 0;
    virtual COLORREF GetBackClr() const = 0;
    virtual const LOGFONT *GetFont() const = 0;
    virtual CFont *GetFontObject() const = 0;
    virtual CGridCore *GetGrid() const = 0;
    virtual CGridEditWnd *GetEditWnd() const = 0;
    virtual UINT GetMargin() const = 0;
    // The grid's default cell for this cell's region; null without a grid.
    virtual CGridDefaultCell *GetDefaultCell() const;

    virtual bool IsDefaultFont() const = 0;
    virtual bool IsEditing() const = 0;
    virtual bool IsFocused() const { return (GetState() & GVIS_FOCUSED) != 0; }
    virtual bool IsFixed() const { return (GetState() & GVIS_FIXED) != 0; }
    virtual bool IsFixedCol() const { return (GetState() & GVIS_FIXEDCOL) != 0; }
    virtual bool IsFixedRow() const { return (GetState() & GVIS_FIXEDROW) != 0; }
    virtual bool IsSelected() const { return (GetState() & GVIS_SELECTED) != 0; }
    virtual bool IsReadOnly() const { return (GetState() & GVIS_READONLY) != 0; }
    virtual bool IsModified() const { return (GetState() & GVIS_MODIFIED) != 0; }
    virtual bool IsDropHighlighted() const { return (GetState() & GVIS_DROPHILITED) != 0; }

    // Copies every attribute through this cell's setters.
    virtual CGridCellBase &operator=(const CGridCellBase &cell);
    virtual void Reset() { m_nState = 0; }

    virtual BOOL Draw(CDC *pDC, int nRow, int nCol, CRect rect, BOOL bEraseBkgnd = TRUE);
    // Narrows the rectangle to where the text goes (right of the image).
    virtual BOOL GetTextRect(CRect *pRect);
    virtual BOOL GetTipTextRect(CRect *pRect) { return GetTextRect(pRect); }
    virtual CSize GetTextExtent(const char *text, CDC *pDC = nullptr);
    virtual CSize GetCellExtent(CDC *pDC);

    virtual BOOL Edit(int nRow, int nCol, CRect rect, CPoint point, UINT nID, UINT nChar);
    virtual BOOL ValidateEdit(const char *) { return TRUE; }
    virtual void EndEdit() {}
    virtual BOOL PrintCell(CDC *pDC, int nRow, int nCol, CRect rect);

    virtual void OnEndEdit() {}
    virtual void OnMouseEnter() {}
    virtual void OnMouseOver() {}
    virtual void OnMouseLeave() {}
    virtual void OnClick(CPoint) {}
    virtual void OnClickDown(CPoint) {}
    virtual void OnRClick(CPoint) {}
    virtual void OnDblClick(CPoint) {}
    virtual BOOL OnSetCursor();

    // Forwards to the grid; 0 without one.
    LRESULT SendMessageToParent(int nRow, int nCol, int nMessage) const;

  protected:
    DWORD m_nState = 0;

  private:
    // The image's width when the cell shows one, else -1.
    int imageWidth() const;
};

template <class T> const CGridCellClass *CGridCellClass::Of() {
    static_assert(std::is_base_of_v<CGridCellBase, T>, "a grid cell class");
    static const CGridCellClass cls(
        []() -> std::unique_ptr<CGridCellBase> { return std::make_unique<T>(); });
    return &cls;
}
