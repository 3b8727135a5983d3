// Geometry, scrolling, sizing and painting of the grid.
#include "pallomir/grid/core/CGridCore.h"

#include <algorithm>

namespace {

// Where a walk along one side of the grid stops: the entry and its far edge.
struct Reach {
    int index;
    int edge;
};

// Walks the rows' heights (the columns' widths) [first, end) from the edge start and stops at
// the first whose far edge reaches limit. Without one the index is end and the edge where the
// last ended.
Reach WalkTo(int limit, int start, int first, int end, const std::vector<int> &sizes) {
    Reach reach{first, start};
    for (; reach.index < end; ++reach.index) {
        reach.edge += sizes[static_cast<std::size_t>(reach.index)];
        if (reach.edge >= limit)
            break;
    }
    return reach;
}

} // namespace

// ---- Geometry

BOOL CGridCore::GetCellOrigin(int nRow, int nCol, CPoint *p) {
    if (p == nullptr || !IsValid(nRow, nCol))
        return FALSE;
    CCellID topLeft;
    if (nCol >= m_nFixedCols || nRow >= m_nFixedRows)
        topLeft = GetTopleftNonFixedCell();
    if ((nRow >= m_nFixedRows && nRow < topLeft.row) ||
        (nCol >= m_nFixedCols && nCol < topLeft.col))
        return FALSE;

    p->x = 0;
    if (nCol < m_nFixedCols) {
        for (int i = 0; i < nCol; ++i)
            p->x += GetColumnWidth(i);
    } else {
        p->x = GetFixedColumnWidth();
        for (int i = topLeft.col; i < nCol; ++i)
            p->x += GetColumnWidth(i);
    }
    p->y = 0;
    if (nRow < m_nFixedRows) {
        for (int i = 0; i < nRow; ++i)
            p->y += GetRowHeight(i);
    } else {
        p->y = GetFixedRowHeight();
        for (int i = topLeft.row; i < nRow; ++i)
            p->y += GetRowHeight(i);
    }
    return TRUE;
}

BOOL CGridCore::GetCellRect(int nRow, int nCol, CRect *pRect) {
    CPoint origin;
    if (pRect == nullptr || !GetCellOrigin(nRow, nCol, &origin))
        return FALSE;
    *pRect = CRect(origin, CSize(GetColumnWidth(nCol), GetRowHeight(nRow)));
    return TRUE;
}

BOOL CGridCore::GetCellRangeRect(const CCellRange &cellRange, CRect *lpRect) {
    CPoint minOrigin;
    CPoint maxOrigin;
    if (lpRect == nullptr ||
        !GetCellOrigin(cellRange.GetMinRow(), cellRange.GetMinCol(), &minOrigin) ||
        !GetCellOrigin(cellRange.GetMaxRow(), cellRange.GetMaxCol(), &maxOrigin))
        return FALSE;
    *lpRect = CRect(minOrigin.x, minOrigin.y, maxOrigin.x + GetColumnWidth(cellRange.GetMaxCol()),
                    maxOrigin.y + GetRowHeight(cellRange.GetMaxRow()));
    return TRUE;
}

BOOL CGridCore::GetTextRect(int nRow, int nCol, CRect *pRect) {
    CGridCellBase *cell = GetCell(nRow, nCol);
    if (cell == nullptr || !GetCellRect(nRow, nCol, pRect))
        return FALSE;
    return cell->GetTextRect(pRect);
}

CCellID CGridCore::GetTopleftNonFixedCell(BOOL bForceRecalculation) {
    if (m_idTopLeftCell.IsValid() && !bForceRecalculation)
        return m_idTopLeftCell;

    const int vertScroll = GetScrollPos32(SB_VERT);
    const int horzScroll = GetScrollPos32(SB_HORZ);
    m_idTopLeftCell.col = m_nFixedCols;
    int right = 0;
    while (right < horzScroll && m_idTopLeftCell.col < m_nCols - 1)
        right += GetColumnWidth(m_idTopLeftCell.col++);
    m_idTopLeftCell.row = m_nFixedRows;
    int top = 0;
    while (top < vertScroll && m_idTopLeftCell.row < m_nRows - 1)
        top += GetRowHeight(m_idTopLeftCell.row++);
    return m_idTopLeftCell;
}

CCellID CGridCore::GetCellFromPt(CPoint point, BOOL bAllowFixedCellCheck) {
    CCellID cell;
    if (point.x < 0 || point.y < 0)
        return cell;
    const CCellID topLeft = GetTopleftNonFixedCell();
    // The entry whose far edge lies beyond pos (reaches pos + 1); -1 when none does.
    const auto entryAt = [](int pos, int start, int first, int end, const std::vector<int> &sizes) {
        const int index = WalkTo(pos + 1, start, first, end, sizes).index;
        return index < end ? index : -1;
    };

    const int fixedColWidth = GetFixedColumnWidth();
    if (point.x >= fixedColWidth)
        cell.col = entryAt(point.x, fixedColWidth, topLeft.col, m_nCols, m_arColWidths);
    else if (bAllowFixedCellCheck)
        cell.col = entryAt(point.x, 0, 0, m_nFixedCols, m_arColWidths);

    const int fixedRowHeight = GetFixedRowHeight();
    if (point.y >= fixedRowHeight)
        cell.row = entryAt(point.y, fixedRowHeight, topLeft.row, m_nRows, m_arRowHeights);
    else if (bAllowFixedCellCheck)
        cell.row = entryAt(point.y, 0, 0, m_nFixedRows, m_arRowHeights);
    return cell;
}

CCellRange CGridCore::GetVisibleNonFixedCellRange(CRect *pRect, BOOL bForceRecalculation) {
    const CRect client = GetClientRect();
    const CCellID topLeft = GetTopleftNonFixedCell(bForceRecalculation);
    const Reach rows =
        WalkTo(client.bottom, GetFixedRowHeight(), topLeft.row, m_nRows, m_arRowHeights);
    const Reach cols =
        WalkTo(client.right, GetFixedColumnWidth(), topLeft.col, m_nCols, m_arColWidths);
    if (pRect != nullptr)
        *pRect = CRect(0, 0, cols.index < m_nCols ? client.right : cols.edge,
                       rows.index < m_nRows ? client.bottom : rows.edge);
    return CCellRange(topLeft.row, topLeft.col, std::min(rows.index, m_nRows - 1),
                      std::min(cols.index, m_nCols - 1));
}

CCellRange CGridCore::GetUnobstructedNonFixedCellRange(BOOL bForceRecalculation) {
    const CRect client = GetClientRect();
    const CCellID topLeft = GetTopleftNonFixedCell(bForceRecalculation);
    // The last entry reached, less one when it sticks out past the limit.
    const auto lastWhole = [](const Reach &reach, int count, int limit) {
        const int last = std::min(reach.index, count - 1);
        return last > 0 && reach.edge > limit ? last - 1 : last;
    };
    const Reach rows =
        WalkTo(client.bottom, GetFixedRowHeight(), topLeft.row, m_nRows, m_arRowHeights);
    const Reach cols =
        WalkTo(client.right, GetFixedColumnWidth(), topLeft.col, m_nCols, m_arColWidths);
    return CCellRange(topLeft.row, topLeft.col, lastWhole(rows, m_nRows, client.bottom),
                      lastWhole(cols, m_nCols, client.right));
}

BOOL CGridCore::IsCellVisible(int nRow, int nCol) {
    if (!HasWindow() || !IsValid(nRow, nCol))
        return FALSE;
    CCellID topLeft;
    if (nCol >= m_nFixedCols || nRow >= m_nFixedRows) {
        topLeft = GetTopleftNonFixedCell();
        if (nCol >= m_nFixedCols && nCol < topLeft.col)
            return FALSE;
        if (nRow >= m_nFixedRows && nRow < topLeft.row)
            return FALSE;
    }
    // A scrolled cell is shown when its near edge lies inside the client area.
    const CRect client = GetClientRect();
    if (nCol >= m_nFixedCols &&
        WalkTo(client.right, GetFixedColumnWidth(), topLeft.col, nCol, m_arColWidths).edge >=
            client.right)
        return FALSE;
    if (nRow >= m_nFixedRows &&
        WalkTo(client.bottom, GetFixedRowHeight(), topLeft.row, nRow, m_arRowHeights).edge >=
            client.bottom)
        return FALSE;
    return TRUE;
}

void CGridCore::EnsureVisible(int nRow, int nCol) {
    if (!m_bAllowDraw || !HasWindow())
        return;
    const CCellRange visible = GetVisibleNonFixedCellRange();

    // One line step for every shown column or row between the visible range and the cell.
    const auto shownBetween = [this](int from, int to, bool rows) {
        int count = 0;
        for (int i = from; i <= to; ++i)
            if ((rows ? GetRowHeight(i) : GetColumnWidth(i)) > 0)
                ++count;
        return count;
    };
    if (nCol > visible.GetMaxCol())
        ScrollLines(SB_HORZ, shownBetween(visible.GetMaxCol() + 1, nCol, false));
    else if (nCol < visible.GetMinCol())
        ScrollLines(SB_HORZ, -shownBetween(nCol, visible.GetMinCol() - 1, false));
    if (nRow > visible.GetMaxRow())
        ScrollLines(SB_VERT, shownBetween(visible.GetMaxRow() + 1, nRow, true));
    else if (nRow < visible.GetMinRow())
        ScrollLines(SB_VERT, -shownBetween(nRow, visible.GetMinRow() - 1, true));

    // A cell only partly shown: one more step while that moves the grid. At the end of the
    // scroll range nothing moves any more, and the loop stops there.
    CRect cellRect;
    if (!GetCellRect(nRow, nCol, &cellRect))
        return;
    const CRect client = GetClientRect();
    while (cellRect.right > client.right && cellRect.left > GetFixedColumnWidth()) {
        const int before = GetScrollPos32(SB_HORZ);
        ScrollLines(SB_HORZ, 1);
        if (GetScrollPos32(SB_HORZ) == before || !GetCellRect(nRow, nCol, &cellRect))
            break;
    }
    while (cellRect.bottom > client.bottom && cellRect.top > GetFixedRowHeight()) {
        const int before = GetScrollPos32(SB_VERT);
        ScrollLines(SB_VERT, 1);
        if (GetScrollPos32(SB_VERT) == before || !GetCellRect(nRow, nCol, &cellRect))
            break;
    }
}

CPoint CGridCore::GetPointClicked(int nRow, int nCol, const CPoint &point) {
    CPoint origin;
    if (!GetCellOrigin(nRow, nCol, &origin))
        return CPoint(0, 0);
    return CPoint(point.x - origin.x, point.y - origin.y);
}

// ---- Sizing

BOOL CGridCore::AutoSizeColumn(int nCol, UINT nAutoSizeStyle, BOOL bResetScroll) {
    if (nCol < 0 || nCol >= m_nCols || GetColumnWidth(nCol) <= 0)
        return FALSE;
    if (nAutoSizeStyle == GVS_DEFAULT)
        nAutoSizeStyle = static_cast<UINT>(GetAutoSizeStyle());
    const int startRow = (nAutoSizeStyle & GVS_HEADER) ? 0 : m_nFixedRows;
    const int endRow = (nAutoSizeStyle & GVS_DATA) ? m_nRows - 1 : m_nFixedRows - 1;
    if (m_bVirtualMode)
        SendCacheHintToParent(CCellRange(startRow, nCol, endRow, nCol));

    CDC dc(&m_measurer);
    int width = 0;
    for (int row = startRow; row <= endRow; ++row)
        if (CGridCellBase *cell = GetCell(row, nCol))
            width = std::max(width, cell->GetCellExtent(&dc).cx);
    m_arColWidths[static_cast<std::size_t>(nCol)] = width;

    if (m_bVirtualMode)
        SendCacheHintToParent(CCellRange());
    if (bResetScroll)
        ResetScrollBars();
    return TRUE;
}

BOOL CGridCore::AutoSizeRow(int nRow, BOOL bResetScroll) {
    if (nRow < 0 || nRow >= m_nRows || GetRowHeight(nRow) <= 0)
        return FALSE;
    if (m_bVirtualMode)
        SendCacheHintToParent(CCellRange(nRow, 0, nRow, m_nCols - 1));

    CDC dc(&m_measurer);
    int height = 0;
    for (int col = 0; col < m_nCols; ++col)
        if (CGridCellBase *cell = GetCell(nRow, col))
            height = std::max(height, cell->GetCellExtent(&dc).cy);
    m_arRowHeights[static_cast<std::size_t>(nRow)] = height;

    if (m_bVirtualMode)
        SendCacheHintToParent(CCellRange());
    if (bResetScroll)
        ResetScrollBars();
    return TRUE;
}

void CGridCore::AutoSizeColumns(UINT nAutoSizeStyle) {
    for (int col = 0; col < m_nCols; ++col)
        if (GetColumnWidth(col) > 0)
            AutoSizeColumn(col, nAutoSizeStyle, FALSE);
    ResetScrollBars();
}

void CGridCore::AutoSizeRows() {
    for (int row = 0; row < m_nRows; ++row)
        if (GetRowHeight(row) > 0)
            AutoSizeRow(row, FALSE);
    ResetScrollBars();
}

void CGridCore::AutoSize(UINT nAutoSizeStyle) {
    if (nAutoSizeStyle == GVS_DEFAULT)
        nAutoSizeStyle = static_cast<UINT>(GetAutoSizeStyle());
    const int startRow = (nAutoSizeStyle & GVS_HEADER) ? 0 : m_nFixedRows;
    const int endRow = (nAutoSizeStyle & GVS_DATA) ? m_nRows - 1 : m_nFixedRows - 1;
    if (m_bVirtualMode)
        SendCacheHintToParent(CCellRange(startRow, 0, endRow, m_nCols - 1));

    // Hidden rows and columns stay hidden.
    std::vector<bool> shownCols(static_cast<std::size_t>(m_nCols));
    for (int col = 0; col < m_nCols; ++col) {
        shownCols[static_cast<std::size_t>(col)] = GetColumnWidth(col) > 0;
        if (shownCols[static_cast<std::size_t>(col)])
            m_arColWidths[static_cast<std::size_t>(col)] = 0;
    }
    CDC dc(&m_measurer);
    for (int row = startRow; row <= endRow; ++row) {
        if (GetRowHeight(row) <= 0)
            continue;
        int &height = m_arRowHeights[static_cast<std::size_t>(row)];
        height = 1;
        for (int col = 0; col < m_nCols; ++col) {
            if (!shownCols[static_cast<std::size_t>(col)])
                continue;
            CGridCellBase *cell = GetCell(row, col);
            if (cell == nullptr)
                continue;
            const CSize size = cell->GetCellExtent(&dc);
            int &width = m_arColWidths[static_cast<std::size_t>(col)];
            width = std::max(width, size.cx);
            height = std::max(height, size.cy);
        }
    }
    if (m_bVirtualMode)
        SendCacheHintToParent(CCellRange());
    ResetScrollBars();
    Refresh();
}

namespace {

// Spreads the difference over the shown entries (size > 0) from `first`: each gets
// difference / count, and the first (|difference| mod count) one pixel more (or less). A shown
// entry keeps at least one pixel.
void SpreadDifference(std::vector<int> &sizes, int first, long difference) {
    long count = 0;
    for (std::size_t i = static_cast<std::size_t>(first); i < sizes.size(); ++i)
        if (sizes[i] > 0)
            ++count;
    if (count == 0)
        return;
    const long each = difference / count;
    long leftOver = (difference < 0 ? -difference : difference) % count;
    for (std::size_t i = static_cast<std::size_t>(first); i < sizes.size(); ++i) {
        if (sizes[i] <= 0)
            continue;
        long size = sizes[i] + each;
        if (leftOver > 0) {
            size += difference < 0 ? -1 : 1;
            --leftOver;
        }
        sizes[i] = static_cast<int>(std::max(1L, size));
    }
}

} // namespace

void CGridCore::ExpandColumnsToFit(BOOL bExpandFixed) {
    if (bExpandFixed ? m_nCols <= 0 : m_nCols <= m_nFixedCols)
        return;
    EnableScrollBars(SB_HORZ, FALSE);
    const CRect client = GetClientRect();
    SpreadDifference(m_arColWidths, bExpandFixed ? 0 : m_nFixedCols,
                     client.Width() - GetVirtualWidth());
    m_idTopLeftCell = CCellID();
    Refresh();
    ResetScrollBars();
}

void CGridCore::ExpandRowsToFit(BOOL bExpandFixed) {
    if (bExpandFixed ? m_nRows <= 0 : m_nRows <= m_nFixedRows)
        return;
    EnableScrollBars(SB_VERT, FALSE);
    const CRect client = GetClientRect();
    SpreadDifference(m_arRowHeights, bExpandFixed ? 0 : m_nFixedRows,
                     client.Height() - GetVirtualHeight());
    m_idTopLeftCell = CCellID();
    Refresh();
    ResetScrollBars();
}

void CGridCore::ExpandToFit(BOOL bExpandFixed) {
    // Rows may remove the vertical bar, which widens the client area again.
    ExpandColumnsToFit(bExpandFixed);
    ExpandRowsToFit(bExpandFixed);
    ExpandColumnsToFit(bExpandFixed);
}

void CGridCore::ExpandLastColumn() {
    int last = m_nCols - 1;
    while (last >= 0 && GetColumnWidth(last) <= 0)
        --last;
    if (last < 0)
        return;
    EnableScrollBars(SB_HORZ, FALSE);
    const long difference = GetClientRect().Width() - GetVirtualWidth();
    if (difference > 0) {
        m_arColWidths[static_cast<std::size_t>(last)] += static_cast<int>(difference);
        Refresh();
    }
    ResetScrollBars();
}

void CGridCore::AutoFill() {
    if (!HasWindow())
        return;
    const CRect client = GetClientRect();
    SetColumnCount(client.Width() / std::max(1, m_cellDefault.GetWidth()) + 1);
    SetRowCount(client.Height() / std::max(1, m_cellDefault.GetHeight()) + 1);
    SetFixedRowCount(1);
    SetFixedColumnCount(1);
    ExpandToFit(TRUE);
}

// ---- Scroll bars

void CGridCore::ResetScrollBars() {
    m_idTopLeftCell = CCellID();
    if (!m_bAllowDraw || !HasWindow())
        return;
    CRect rect = GetClientRect();
    if (rect.IsRectEmpty())
        return;
    // As if neither bar were shown.
    if (IsVisibleVScroll())
        rect.right += GetScrollBarThickness(SB_VERT);
    if (IsVisibleHScroll())
        rect.bottom += GetScrollBarThickness(SB_HORZ);
    rect.left += GetFixedColumnWidth();
    rect.top += GetFixedRowHeight();
    if (rect.left >= rect.right || rect.top >= rect.bottom) {
        m_nVScrollMax = m_nHScrollMax = m_nVPage = m_nHPage = 0;
        m_nVScrollPos = m_nHScrollPos = 0;
        EnableScrollBars(SB_BOTH, FALSE);
        return;
    }

    CRect visible = rect;
    const long virtualWidth = GetVirtualWidth() - GetFixedColumnWidth();
    const long virtualHeight = GetVirtualHeight() - GetFixedRowHeight();
    if (visible.Height() < virtualHeight)
        visible.right -= GetScrollBarThickness(SB_VERT);
    if (visible.Width() < virtualWidth)
        visible.bottom -= GetScrollBarThickness(SB_HORZ);

    const bool vertical = visible.Height() < virtualHeight;
    const bool horizontal = visible.Width() < virtualWidth;
    m_nVScrollMax = vertical ? static_cast<int>(virtualHeight - 1) : 0;
    m_nHScrollMax = horizontal ? static_cast<int>(virtualWidth - 1) : 0;
    m_nVPage = vertical ? visible.Height() : 0;
    m_nHPage = horizontal ? visible.Width() : 0;
    m_nBarState = (horizontal ? 1 : 0) | (vertical ? 2 : 0);
    m_nVScrollPos = std::clamp(m_nVScrollPos, 0, GetScrollLimit(SB_VERT));
    m_nHScrollPos = std::clamp(m_nHScrollPos, 0, GetScrollLimit(SB_HORZ));
    UpdateScrollBars();
}

void CGridCore::EnableScrollBars(int nBar, BOOL bEnable) {
    const int bits = nBar == SB_BOTH ? 3 : nBar == SB_VERT ? 2 : 1;
    if (bEnable) {
        m_nBarState |= bits;
    } else {
        m_nBarState &= ~bits;
        if (bits & 2)
            m_nVScrollPos = 0;
        if (bits & 1)
            m_nHScrollPos = 0;
        m_idTopLeftCell = CCellID();
    }
    if (HasWindow())
        UpdateScrollBars();
}

int CGridCore::GetScrollLimit(int nBar) const {
    if (nBar == SB_VERT)
        return IsVisibleVScroll() ? std::max(0, m_nVScrollMax - m_nVPage + 1) : 0;
    return IsVisibleHScroll() ? std::max(0, m_nHScrollMax - m_nHPage + 1) : 0;
}

int CGridCore::GetScrollPos32(int nBar, BOOL) const {
    return nBar == SB_VERT ? m_nVScrollPos : m_nHScrollPos;
}

BOOL CGridCore::SetScrollPos32(int nBar, int nPos, BOOL) {
    m_idTopLeftCell = CCellID();
    const int pos = std::clamp(nPos, 0, GetScrollLimit(nBar));
    (nBar == SB_VERT ? m_nVScrollPos : m_nHScrollPos) = pos;
    if (HasWindow())
        UpdateScrollBars();
    return TRUE;
}

void CGridCore::ScrollLines(int nBar, int lines) {
    const bool vertical = nBar == SB_VERT;
    const int count = vertical ? m_nRows : m_nCols;
    const int fixed = vertical ? m_nFixedRows : m_nFixedCols;
    const auto size = [&](int i) { return vertical ? GetRowHeight(i) : GetColumnWidth(i); };
    const CCellID topLeft = GetTopleftNonFixedCell();
    int index = vertical ? topLeft.row : topLeft.col;
    int pos = GetScrollPos32(nBar);
    const int limit = GetScrollLimit(nBar);

    for (; lines > 0 && pos < limit && index < count; --lines) {
        // Passes over hidden ones to the next shown.
        while (index < count - 1 && size(index) == 0)
            ++index;
        pos += size(index++);
    }
    for (; lines < 0 && pos > 0 && index > fixed; ++lines) {
        --index;
        while (index > fixed && size(index) == 0)
            --index;
        pos = std::max(0, pos - size(index));
    }
    SetScrollPos32(nBar, pos);
}

void CGridCore::OnVScroll(UINT nSBCode, UINT nPos) { OnScrollBar(SB_VERT, nSBCode, nPos); }

void CGridCore::OnHScroll(UINT nSBCode, UINT nPos) { OnScrollBar(SB_HORZ, nSBCode, nPos); }

void CGridCore::OnScrollBar(int nBar, UINT nSBCode, UINT nPos) {
    EndEditing();
    if (HasWindow())
        HideTitleTip();
    if (nSBCode > SB_BOTTOM)
        return;
    const bool vertical = nBar == SB_VERT;
    const auto fixedSize = [&] { return vertical ? GetFixedRowHeight() : GetFixedColumnWidth(); };
    const int before = GetScrollPos32(nBar);
    const CCellID topLeftBefore = GetTopleftNonFixedCell();
    const CRect client = GetClientRect();
    const int page = (vertical ? client.Height() : client.Width()) - fixedSize();
    bool whole = false;
    switch (nSBCode) {
    case SB_LINEDOWN:
        ScrollLines(nBar, 1);
        break;
    case SB_LINEUP:
        ScrollLines(nBar, -1);
        break;
    case SB_PAGEDOWN:
        SetScrollPos32(nBar, std::min(GetScrollLimit(nBar), before + page));
        break;
    case SB_PAGEUP:
        SetScrollPos32(nBar, std::max(0, before - page));
        break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK:
        SetScrollPos32(nBar, static_cast<int>(nPos));
        if (GetTopleftNonFixedCell() == topLeftBefore)
            return;
        break;
    case SB_TOP:
        SetScrollPos32(nBar, 0);
        whole = true;
        break;
    case SB_BOTTOM:
        SetScrollPos32(nBar, GetScrollLimit(nBar));
        whole = true;
        break;
    default:
        break;
    }
    if (!HasWindow() || !m_bAllowDraw)
        return;
    if (whole) {
        InvalidateRect(nullptr);
    } else if (GetScrollPos32(nBar) != before) {
        // What scrolled: below the fixed rows, or right of the fixed columns.
        const CRect area = vertical ? CRect(0, fixedSize(), client.right, client.bottom)
                                    : CRect(fixedSize(), 0, client.right, client.bottom);
        InvalidateRect(&area);
    }
}

BOOL CGridCore::OnMouseWheel(UINT, short zDelta, CPoint) {
    if (m_nRowsPerWheelNotch == -1) {
        const int pages = zDelta / WHEEL_DELTA;
        for (int i = 0; i < std::abs(pages); ++i)
            OnVScroll(pages > 0 ? SB_PAGEUP : SB_PAGEDOWN, 0);
    } else {
        const int lines = zDelta * m_nRowsPerWheelNotch / WHEEL_DELTA;
        for (int i = 0; i < std::abs(lines); ++i)
            OnVScroll(lines > 0 ? SB_LINEUP : SB_LINEDOWN, 0);
    }
    return TRUE;
}

void CGridCore::OnSize() {
    if (m_bInOnSize || !HasWindow())
        return;
    m_bInOnSize = true;
    EndEditing();
    ResetScrollBars();
    m_bInOnSize = false;
}

// ---- Painting

void CGridCore::EraseBkgnd(CDC *pDC) {
    const CRect clip = pDC->GetClipBox();
    CRect visibleRect;
    GetVisibleNonFixedCellRange(&visibleRect);
    const int fixedColWidth = GetFixedColumnWidth();
    const int fixedRowHeight = GetFixedRowHeight();

    const auto fill = [&](const CRect &area, COLORREF colour) {
        CRect part;
        if (part.IntersectRect(area, clip))
            pDC->FillSolidRect(part, colour);
    };
    fill(CRect(0, 0, fixedColWidth, fixedRowHeight), m_cellFixedRowColDef.GetBackClr());
    fill(CRect(0, fixedRowHeight, fixedColWidth, visibleRect.bottom),
         m_cellFixedColDef.GetBackClr());
    fill(CRect(fixedColWidth, 0, visibleRect.right, fixedRowHeight),
         m_cellFixedRowDef.GetBackClr());
    fill(CRect(fixedColWidth, fixedRowHeight, visibleRect.right, visibleRect.bottom),
         m_cellDefault.GetBackClr());
    fill(CRect(visibleRect.right, clip.top, std::max(clip.right, visibleRect.right), clip.bottom),
         m_crGridBkColour);
    fill(CRect(clip.left, visibleRect.bottom, visibleRect.right,
               std::max(clip.bottom, visibleRect.bottom)),
         m_crGridBkColour);
}

void CGridCore::OnDraw(CDC *pDC) {
    if (!m_bAllowDraw || pDC == nullptr)
        return;
    const CRect clip = pDC->GetClipBox();
    if (clip.IsRectEmpty())
        return;
    EraseBkgnd(pDC);

    const int fixedRowHeight = GetFixedRowHeight();
    const int fixedColWidth = GetFixedColumnWidth();
    CRect visibleRect;
    const CCellRange visible = GetVisibleNonFixedCellRange(&visibleRect);
    if (m_bVirtualMode)
        SendCacheHintToParent(visible);

    // Draws a block of cells whose top-left corner lies at (x0, y0).
    const auto drawBlock = [&](int row0, int row1, int col0, int col1, int x0, int y0) {
        int y = y0;
        for (int row = row0; row <= row1; ++row) {
            const int height = GetRowHeight(row);
            if (height <= 0)
                continue;
            const int top = y;
            y += height;
            if (top >= clip.bottom)
                break;
            if (y <= clip.top)
                continue;
            int x = x0;
            for (int col = col0; col <= col1; ++col) {
                const int width = GetColumnWidth(col);
                if (width <= 0)
                    continue;
                const int left = x;
                x += width;
                if (left >= clip.right)
                    break;
                if (x <= clip.left)
                    continue;
                if (CGridCellBase *cell = GetCell(row, col)) {
                    cell->SetCoords(row, col);
                    cell->Draw(pDC, row, col, CRect(left, top, x, y), TRUE);
                }
            }
        }
    };
    drawBlock(0, m_nFixedRows - 1, 0, m_nFixedCols - 1, 0, 0);
    drawBlock(visible.GetMinRow(), visible.GetMaxRow(), 0, m_nFixedCols - 1, 0, fixedRowHeight);
    drawBlock(0, m_nFixedRows - 1, visible.GetMinCol(), visible.GetMaxCol(), fixedColWidth, 0);
    drawBlock(visible.GetMinRow(), visible.GetMaxRow(), visible.GetMinCol(), visible.GetMaxCol(),
              fixedColWidth, fixedRowHeight);

    // Grid lines on the last pixel column (row) of each visible non-fixed column (row).
    if (m_nGridLines == GVL_BOTH || m_nGridLines == GVL_VERT) {
        int x = fixedColWidth;
        for (int col = visible.GetMinCol(); col <= visible.GetMaxCol(); ++col) {
            const int width = GetColumnWidth(col);
            if (width <= 0)
                continue;
            x += width;
            pDC->DrawLine(CPoint(x - 1, fixedRowHeight), CPoint(x - 1, visibleRect.bottom - 1),
                          m_crGridLineColour);
        }
    }
    if (m_nGridLines == GVL_BOTH || m_nGridLines == GVL_HORZ) {
        int y = fixedRowHeight;
        for (int row = visible.GetMinRow(); row <= visible.GetMaxRow(); ++row) {
            const int height = GetRowHeight(row);
            if (height <= 0)
                continue;
            y += height;
            pDC->DrawLine(CPoint(fixedColWidth, y - 1), CPoint(visibleRect.right - 1, y - 1),
                          m_crGridLineColour);
        }
    }
    DrawTrackingLine(pDC);
    if (m_bVirtualMode)
        SendCacheHintToParent(CCellRange());
}

BOOL CGridCore::RedrawCell(int nRow, int nCol, CDC *pDC) {
    if (!m_bAllowDraw || !IsCellVisible(nRow, nCol))
        return FALSE;
    CRect rect;
    if (!GetCellRect(nRow, nCol, &rect))
        return FALSE;
    if (pDC == nullptr) {
        InvalidateRect(&rect);
        return TRUE;
    }
    if (CGridCellBase *cell = GetCell(nRow, nCol)) {
        cell->SetCoords(nRow, nCol);
        cell->Draw(pDC, nRow, nCol, rect, TRUE);
    }
    if (!IsCellFixed(nRow, nCol)) {
        if (m_nGridLines == GVL_BOTH || m_nGridLines == GVL_HORZ)
            pDC->DrawLine(CPoint(rect.left, rect.bottom - 1),
                          CPoint(rect.right - 1, rect.bottom - 1), m_crGridLineColour);
        if (m_nGridLines == GVL_BOTH || m_nGridLines == GVL_VERT)
            pDC->DrawLine(CPoint(rect.right - 1, rect.top), CPoint(rect.right - 1, rect.bottom - 1),
                          m_crGridLineColour);
    }
    return TRUE;
}

BOOL CGridCore::RedrawRow(int row) {
    if (!m_bAllowDraw || row < 0 || row >= m_nRows)
        return FALSE;
    for (int col = 0; col < m_nCols; ++col)
        RedrawCell(row, col);
    return TRUE;
}

BOOL CGridCore::RedrawColumn(int col) {
    if (!m_bAllowDraw || col < 0 || col >= m_nCols)
        return FALSE;
    const CCellRange visible = GetVisibleNonFixedCellRange();
    for (int row = 0; row < m_nFixedRows; ++row)
        RedrawCell(row, col);
    for (int row = visible.GetMinRow(); row <= visible.GetMaxRow(); ++row)
        RedrawCell(row, col);
    return TRUE;
}

BOOL CGridCore::InvalidateCellRect(int row, int col) {
    if (!m_bAllowDraw || !HasWindow() || !IsValid(row, col) || !IsCellVisible(row, col))
        return FALSE;
    CRect rect;
    if (!GetCellRect(row, col, &rect))
        return FALSE;
    InvalidateRect(&rect);
    return TRUE;
}

BOOL CGridCore::InvalidateCellRect(const CCellRange &cellRange) {
    if (!m_bAllowDraw || !HasWindow() || !IsValid(cellRange))
        return FALSE;
    const CCellRange cells = GetVisibleNonFixedCellRange().Intersect(cellRange);
    CRect rect;
    if (!GetCellRangeRect(cells, &rect))
        return FALSE;
    InvalidateRect(&rect);
    return TRUE;
}
