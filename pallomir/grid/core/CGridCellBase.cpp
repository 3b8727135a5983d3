#include "pallomir/grid/core/CGridCellBase.h"

#include "pallomir/grid/core/CGridCore.h"
#include "pallomir/grid/core/CGridDefaultCell.h"

#include <cstdlib>
#include <cstring>

CGridCellBase::~CGridCellBase() = default;

CGridDefaultCell *CGridCellBase::GetDefaultCell() const {
    CGridCore *grid = GetGrid();
    if (grid == nullptr)
        return nullptr;
    return grid->GetDefaultCell(IsFixedRow(), IsFixedCol());
}

CGridCellBase &CGridCellBase::operator=(const CGridCellBase &cell) {
    if (this == &cell)
        return *this;
    SetGrid(cell.GetGrid());
    SetText(cell.GetText());
    SetImage(cell.GetImage());
    SetData(cell.GetData());
    SetState(cell.GetState());
    SetFormat(cell.GetFormat());
    SetTextClr(cell.GetTextClr());
    SetBackClr(cell.GetBackClr());
    SetFont(cell.IsDefaultFont() ? nullptr : cell.GetFont());
    SetMargin(cell.GetMargin());
    return *this;
}

int CGridCellBase::imageWidth() const {
    CGridCore *grid = GetGrid();
    if (grid == nullptr || grid->GetImageList() == nullptr || GetImage() < 0)
        return -1;
    IMAGEINFO info;
    if (!grid->GetImageList()->GetImageInfo(GetImage(), &info))
        return -1;
    return info.rcImage.Width();
}

BOOL CGridCellBase::GetTextRect(CRect *pRect) {
    if (pRect == nullptr)
        return FALSE;
    // The same offset on screen and in print: the margin and the image's width.
    const int width = imageWidth();
    if (width >= 0)
        pRect->left += static_cast<int>(GetMargin()) + width;
    return TRUE;
}

CSize CGridCellBase::GetTextExtent(const char *text, CDC *pDC) {
    CGridCore *grid = GetGrid();
    CGridDefaultCell *defaultCell = GetDefaultCell();
    std::unique_ptr<CDC> windowDC;
    if (pDC == nullptr) {
        if (text != nullptr && grid != nullptr) {
            windowDC = std::make_unique<CDC>(&grid->GetMeasurer());
            pDC = windowDC.get();
        }
        if (pDC == nullptr) {
            if (defaultCell == nullptr)
                return CSize();
            return CSize(defaultCell->GetWidth(), defaultCell->GetHeight());
        }
    }
    if (text == nullptr)
        text = "";

    CFont *oldFont = pDC->SelectObject(GetFontObject());
    const int margin = static_cast<int>(GetMargin());
    const DWORD format = GetFormat();
    CSize size;
    if (!(format & DT_WORDBREAK) || (format & DT_SINGLELINE)) {
        size = pDC->GetTextExtent(text, static_cast<int>(std::strlen(text)));
    } else {
        // The widest line sets the width the text is wrapped into.
        int widest = 0;
        const char *line = text;
        while (true) {
            const char *end = std::strchr(line, '\n');
            const int length =
                end != nullptr ? static_cast<int>(end - line) : static_cast<int>(std::strlen(line));
            widest = std::max(widest, pDC->GetTextExtent(line, length).cx);
            if (end == nullptr)
                break;
            line = end + 1;
        }
        CRect rect(0, 0, widest + 1, 0);
        pDC->DrawText(text, -1, &rect, format | DT_CALCRECT);
        size = rect.Size();
    }
    size.cx += pDC->GetTextMetrics().tmOverhang + 4 * margin;
    size.cy += 2 * margin;

    const LOGFONT *font = GetFont();
    if (font != nullptr && (font->lfEscapement == 900 || font->lfEscapement == -900)) {
        std::swap(size.cx, size.cy);
        size.cy += 4 * margin;
    }
    pDC->SelectObject(oldFont);
    return size;
}

CSize CGridCellBase::GetCellExtent(CDC *pDC) {
    CSize size = GetTextExtent(GetText(), pDC);
    CGridCore *grid = GetGrid();
    if (grid != nullptr && grid->GetImageList() != nullptr && GetImage() >= 0) {
        IMAGEINFO info;
        if (grid->GetImageList()->GetImageInfo(GetImage(), &info)) {
            size.cx += info.rcImage.Width();
            size.cy = std::max(size.cy, info.rcImage.Height());
        }
    }
    return size;
}

BOOL CGridCellBase::Edit(int, int, CRect, CPoint, UINT, UINT) { return FALSE; }

BOOL CGridCellBase::OnSetCursor() {
    if (CGridCore *grid = GetGrid())
        grid->SetGridCursor(GridCursor::Arrow);
    return TRUE;
}

LRESULT CGridCellBase::SendMessageToParent(int nRow, int nCol, int nMessage) const {
    CGridCore *grid = GetGrid();
    return grid != nullptr ? grid->SendMessageToParent(nRow, nCol, nMessage) : 0;
}

namespace {

// The heading's sort arrow: size s, left edge x, base at y; pointing up when ascending.
void DrawSortArrow(CDC *pDC, int x, int base, int s, bool ascending) {
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
    const int top = base - s;
    if (ascending) {
        // Apex at the top centre.
        pDC->DrawLine(CPoint(x + s / 2, top), CPoint(x, base), shadow);
        pDC->DrawLine(CPoint(x + 1, base + 1), CPoint(x + s + 1, base + 1), light);
        pDC->DrawLine(CPoint(x + s + 1, base + 1), CPoint(x + s / 2 + 1, top + 1), light);
    } else {
        // Apex at the bottom centre.
        pDC->DrawLine(CPoint(x + s / 2, base), CPoint(x, top), shadow);
        pDC->DrawLine(CPoint(x, top), CPoint(x + s, top), shadow);
        pDC->DrawLine(CPoint(x + s + 1, top + 1), CPoint(x + s / 2 + 1, base + 1), light);
    }
}

// Fixed cells look raised: light top and left, dark right and bottom.
void DrawRaisedEdge(CDC *pDC, const CRect &rc) {
    const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF dark = GetSysColor(COLOR_3DDKSHADOW);
    pDC->DrawLine(CPoint(rc.right, rc.top), CPoint(rc.left, rc.top), light);
    pDC->DrawLine(CPoint(rc.left, rc.top), CPoint(rc.left, rc.bottom), light);
    pDC->DrawLine(CPoint(rc.right, rc.top), CPoint(rc.right, rc.bottom), dark);
    pDC->DrawLine(CPoint(rc.right, rc.bottom), CPoint(rc.left, rc.bottom), dark);
}

} // namespace

BOOL CGridCellBase::Draw(CDC *pDC, int nRow, int nCol, CRect rect, BOOL bEraseBkgnd) {
    CGridCore *grid = GetGrid();
    if (grid == nullptr || pDC == nullptr || rect.Width() <= 0 || rect.Height() <= 0)
        return FALSE;
    CGridDefaultCell *defaultCell = GetDefaultCell();
    if (defaultCell == nullptr)
        return FALSE;

    const int saved = pDC->SaveDC();
    pDC->SetBkMode(TRANSPARENT);

    COLORREF textClr = GetTextClr() == CLR_DEFAULT ? defaultCell->GetTextClr() : GetTextClr();
    COLORREF backClr;
    if (GetBackClr() == CLR_DEFAULT) {
        backClr = defaultCell->GetBackClr();
    } else {
        backClr = GetBackClr();
        bEraseBkgnd = TRUE;
    }

    const bool gridLines = grid->GetGridLines() != GVL_NONE;
    // rc is the part of the cell left of and above its grid lines.
    CRect rc(rect.left, rect.top, rect.right - 1, rect.bottom - 1);
    if (IsFocused() || IsDropHighlighted()) {
        if (IsSelected()) {
            backClr = GetSysColor(COLOR_HIGHLIGHT);
            textClr = GetSysColor(COLOR_HIGHLIGHTTEXT);
            bEraseBkgnd = TRUE;
        }
        if (bEraseBkgnd)
            pDC->FillSolidRect(rect, backClr);
        const CRect frame = gridLines ? rc : rect;
        if (grid->GetFrameFocusCell())
            pDC->FrameRect(frame, textClr);
        pDC->SetTextColor(textClr);
        rc.top += 1;
        rc.right -= 1;
        rc.bottom -= 1;
    } else if (IsSelected()) {
        pDC->FillSolidRect(rect, GetSysColor(COLOR_HIGHLIGHT));
        pDC->SetTextColor(GetSysColor(COLOR_HIGHLIGHTTEXT));
    } else {
        if (bEraseBkgnd)
            pDC->FillSolidRect(rect, backClr);
        pDC->SetTextColor(textClr);
    }

    if (IsFixed() && gridLines) {
        const CCellID focus = grid->GetFocusCell();
        if (grid->GetTrackFocusCell() && grid->IsValid(focus) &&
            (focus.row == nRow || focus.col == nCol))
            pDC->DrawEdge(rect, BDR_SUNKENINNER, BF_RECT);
        else
            DrawRaisedEdge(pDC, rc);
        rc.DeflateRect(1, 1);
    }

    if (!pDC->IsPrinting())
        pDC->SelectObject(GetFontObject());

    const int margin = static_cast<int>(GetMargin());
    rc.left += margin;
    rc.right -= margin;

    CImageList *images = grid->GetImageList();
    if (images != nullptr && GetImage() >= 0) {
        IMAGEINFO info;
        if (images->GetImageInfo(GetImage(), &info) &&
            rc.Width() + 2 * margin >= info.rcImage.Width() &&
            rc.Height() + 2 * margin >= info.rcImage.Height())
            pDC->DrawImage(*images, GetImage(), rc.TopLeft());
    }

    if (nRow == 0 && nCol == grid->GetSortColumn()) {
        const LOGFONT *font = GetFont();
        const bool vertical = font != nullptr && font->lfEscapement == 900;
        int s = pDC->GetTextExtent("M", 1).cy - 4;
        s = std::min(s, rc.Height() - 4);
        if (s > 0 && s + rc.left < rc.right + 2 * margin) {
            const int x = vertical ? (rc.left + rc.right - s) / 2 : rc.right - s;
            DrawSortArrow(pDC, x, rc.bottom - 2, s, grid->GetSortAscending() != FALSE);
            if (!vertical)
                rc.right -= s;
        }
    }

    GetTextRect(&rc);
    pDC->DrawText(GetText(), -1, &rc, GetFormat() | DT_NOPREFIX);
    pDC->RestoreDC(saved);
    return TRUE;
}

BOOL CGridCellBase::PrintCell(CDC *pDC, int, int, CRect rect) {
    CGridCore *grid = GetGrid();
    if (grid == nullptr || pDC == nullptr || rect.IsRectEmpty())
        return FALSE;
    CGridDefaultCell *defaultCell = GetDefaultCell();
    if (defaultCell == nullptr)
        return FALSE;

    const int saved = pDC->SaveDC();
    pDC->SetBkMode(TRANSPARENT);

    COLORREF textClr = RGB(0, 0, 0);
    if (grid->GetShadedPrintOut()) {
        bool hasBack = false;
        COLORREF backClr = 0;
        if (IsFixed()) {
            backClr = GetBackClr() == CLR_DEFAULT ? defaultCell->GetBackClr() : GetBackClr();
            hasBack = true;
        } else if (GetBackClr() != CLR_DEFAULT && GetBackClr() != defaultCell->GetBackClr()) {
            backClr = GetBackClr();
            hasBack = true;
        }
        textClr = GetTextClr() == CLR_DEFAULT ? defaultCell->GetTextClr() : GetTextClr();
        if (pDC->GetDeviceCaps(NUMCOLORS) == 2 && !hasBack) {
            // Colours become greys on a two-colour device, channel by channel.
            const auto scale = [](int v, double f) { return static_cast<int>(v * f + 0.5); };
            textClr = RGB(scale(GetRValue(textClr), 0.3), scale(GetGValue(textClr), 0.59),
                          scale(GetBValue(textClr), 0.11));
        } else if (hasBack) {
            pDC->FillSolidRect(rect, backClr);
        }
    }
    pDC->SetTextColor(textClr);
    if (CFont *font = GetFontObject())
        pDC->SelectObject(font);

    CRect rc(rect.left, rect.top, rect.right - 1, rect.bottom - 1);
    if (IsFixed() && grid->GetGridLines() != GVL_NONE) {
        DrawRaisedEdge(pDC, rc);
        rc.DeflateRect(1, 1);
    }

    const int margin = static_cast<int>(GetMargin());
    rc.left += margin;
    rc.right -= margin;
    CImageList *images = grid->GetImageList();
    if (images != nullptr && GetImage() >= 0 && imageWidth() >= 0)
        pDC->DrawImage(*images, GetImage(), rc.TopLeft());
    GetTextRect(&rc);

    pDC->DrawText(GetText(), -1, &rc, GetFormat() | DT_NOPREFIX);
    pDC->RestoreDC(saved);
    return TRUE;
}
