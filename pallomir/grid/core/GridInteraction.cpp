// Focus cell, selection, mouse and keyboard handling and in-place editing.
#include "pallomir/grid/core/CGridCore.h"

#include "pallomir/grid/core/CGridEditWnd.h"

#include <algorithm>
#include <cstdlib>

// ---- Selection and focus

std::uint64_t CGridCore::SelectionKey(int nRow, int nCol) {
    // Both halves whole: rows from 65,536 on have keys of their own.
    return (static_cast<std::uint64_t>(static_cast<std::uint32_t>(nCol)) << 32) |
           static_cast<std::uint32_t>(nRow);
}

void CGridCore::SetSelectedBit(int nRow, int nCol, bool selected) {
    if (m_bVirtualMode) {
        if (selected)
            m_SelectedCellMap[SelectionKey(nRow, nCol)] = CCellID(nRow, nCol);
        else
            m_SelectedCellMap.erase(SelectionKey(nRow, nCol));
        return;
    }
    const UINT state = GetItemState(nRow, nCol);
    SetItemState(nRow, nCol, selected ? state | GVIS_SELECTED : state & ~GVIS_SELECTED);
}

CCellID CGridCore::SetFocusCell(CCellID cell) {
    if (cell == m_idCurrentCell)
        return m_idCurrentCell;
    const CCellID previous = m_idCurrentCell;
    if (cell.row != -1 && cell.row < m_nFixedRows)
        cell.row = m_nFixedRows;
    if (cell.col != -1 && cell.col < m_nFixedCols)
        cell.col = m_nFixedCols;
    m_idCurrentCell = cell;

    const auto redrawHeaders = [this](const CCellID &at, const CCellID &other) {
        if (!GetTrackFocusCell())
            return;
        if (at.col != other.col)
            for (int row = 0; row < m_nFixedRows; ++row)
                RedrawCell(row, at.col);
        if (at.row != other.row)
            for (int col = 0; col < m_nFixedCols; ++col)
                RedrawCell(at.row, col);
    };
    if (IsValid(previous)) {
        if (!m_bVirtualMode)
            SetItemState(previous.row, previous.col,
                         GetItemState(previous.row, previous.col) & ~GVIS_FOCUSED);
        RedrawCell(previous);
        redrawHeaders(previous, m_idCurrentCell);
    }
    if (IsValid(m_idCurrentCell)) {
        if (!m_bVirtualMode)
            SetItemState(m_idCurrentCell.row, m_idCurrentCell.col,
                         GetItemState(m_idCurrentCell.row, m_idCurrentCell.col) | GVIS_FOCUSED);
        RedrawCell(m_idCurrentCell);
        redrawHeaders(m_idCurrentCell, previous);
    }
    return previous;
}

void CGridCore::SetSelectedRange(const CCellRange &Range, BOOL bForceRepaint, BOOL bSelectCells) {
    SetSelectedRange(Range.GetMinRow(), Range.GetMinCol(), Range.GetMaxRow(), Range.GetMaxCol(),
                     bForceRepaint, bSelectCells);
}

void CGridCore::SetSelectedRange(int nMinRow, int nMinCol, int nMaxRow, int nMaxCol,
                                 BOOL bForceRepaint, BOOL bSelectCells) {
    if (!m_bEnableSelection)
        return;
    const bool waitCursor = HasWindow();
    if (waitCursor)
        BeginWaitCursor();
    // Cells are repainted through the window, forced or not.
    (void)bForceRepaint;

    const auto clampRow = [this](int row) {
        return row >= 0 && row < m_nFixedRows ? m_nFixedRows : row;
    };
    const auto clampCol = [this](int col) {
        return col >= 0 && col < m_nFixedCols ? m_nFixedCols : col;
    };
    nMinRow = clampRow(nMinRow);
    nMaxRow = clampRow(nMaxRow);
    nMinCol = clampCol(nMinCol);
    nMaxCol = clampCol(nMaxCol);
    const CCellRange range(nMinRow, nMinCol, nMaxRow, nMaxCol);

    if (bSelectCells) {
        const std::vector<CCellID> selected = [this] {
            std::vector<CCellID> cells;
            cells.reserve(m_SelectedCellMap.size());
            for (const auto &[key, cell] : m_SelectedCellMap)
                cells.push_back(cell);
            return cells;
        }();
        for (const CCellID &cell : selected) {
            if (!IsValid(cell)) {
                m_SelectedCellMap.erase(SelectionKey(cell.row, cell.col));
                continue;
            }
            if (range.InRange(cell))
                continue;
            SetSelectedBit(cell.row, cell.col, false);
            InvalidateCellRect(cell.row, cell.col);
        }
    }

    if (!GetSingleRowSelection()) {
        for (const auto &[key, cell] : m_PrevSelectedCellMap) {
            if (!IsValid(cell))
                continue;
            SetSelectedBit(cell.row, cell.col, true);
            InvalidateCellRect(cell.row, cell.col);
        }
    }

    if (IsValid(range)) {
        for (int row = nMinRow; row <= nMaxRow; ++row)
            for (int col = nMinCol; col <= nMaxCol; ++col) {
                if ((IsCellSelected(row, col) != FALSE) == (bSelectCells != FALSE))
                    continue;
                SetSelectedBit(row, col, bSelectCells != FALSE);
                InvalidateCellRect(row, col);
            }
    }
    if (waitCursor)
        EndWaitCursor();
}

CCellRange CGridCore::GetSelectedCellRange() const {
    CCellRange selection(m_nRows, m_nCols, -1, -1);
    for (const auto &[key, cell] : m_SelectedCellMap) {
        if (!IsValid(cell))
            continue;
        selection.SetMinRow(std::min(selection.GetMinRow(), cell.row));
        selection.SetMinCol(std::min(selection.GetMinCol(), cell.col));
        selection.SetMaxRow(std::max(selection.GetMaxRow(), cell.row));
        selection.SetMaxCol(std::max(selection.GetMaxCol(), cell.col));
    }
    return selection;
}

BOOL CGridCore::IsCellSelected(int nRow, int nCol) const {
    if (!IsSelectable())
        return FALSE;
    if (m_bVirtualMode)
        return m_SelectedCellMap.count(SelectionKey(nRow, nCol)) != 0;
    return (GetItemState(nRow, nCol) & GVIS_SELECTED) != 0;
}

void CGridCore::SelectAllCells() {
    if (!IsSelectable())
        return;
    SetSelectedRange(m_nFixedRows, m_nFixedCols, m_nRows - 1, m_nCols - 1);
}

void CGridCore::SelectColumns(CCellID currentCell, BOOL bForceRedraw, BOOL bSelectCells) {
    if (!IsSelectable() || currentCell.col < m_nFixedCols || !IsValid(currentCell))
        return;
    if (GetSingleColSelection())
        SetSelectedRange(m_nFixedRows, currentCell.col, m_nRows - 1, currentCell.col, bForceRedraw,
                         bSelectCells);
    else
        SetSelectedRange(m_nFixedRows, std::min(m_SelectionStartCell.col, currentCell.col),
                         m_nRows - 1, std::max(m_SelectionStartCell.col, currentCell.col),
                         bForceRedraw, bSelectCells);
}

void CGridCore::SelectRows(CCellID currentCell, BOOL bForceRedraw, BOOL bSelectCells) {
    if (!IsSelectable() || currentCell.row < m_nFixedRows || !IsValid(currentCell))
        return;
    if (GetSingleRowSelection())
        SetSelectedRange(currentCell.row, m_nFixedCols, currentCell.row, m_nCols - 1, bForceRedraw,
                         bSelectCells);
    else
        SetSelectedRange(std::min(m_SelectionStartCell.row, currentCell.row), m_nFixedCols,
                         std::max(m_SelectionStartCell.row, currentCell.row), m_nCols - 1,
                         bForceRedraw, bSelectCells);
}

void CGridCore::SelectCells(CCellID currentCell, BOOL bForceRedraw, BOOL bSelectCells) {
    if (!IsSelectable() || currentCell.row < m_nFixedRows || currentCell.col < m_nFixedCols ||
        !IsValid(currentCell))
        return;
    SetSelectedRange(std::min(m_SelectionStartCell.row, currentCell.row),
                     std::min(m_SelectionStartCell.col, currentCell.col),
                     std::max(m_SelectionStartCell.row, currentCell.row),
                     std::max(m_SelectionStartCell.col, currentCell.col), bForceRedraw,
                     bSelectCells);
}

void CGridCore::OnSelecting(const CCellID &currentCell) {
    if (!IsSelectable())
        return;
    switch (m_MouseMode) {
    case MOUSE_SELECT_ALL:
        SelectAllCells();
        break;
    case MOUSE_SELECT_COL:
        SelectColumns(currentCell, FALSE);
        break;
    case MOUSE_SELECT_ROW:
        SelectRows(currentCell, FALSE);
        break;
    case MOUSE_SELECT_CELLS:
        SelectCells(currentCell, FALSE);
        break;
    default:
        break;
    }
}

void CGridCore::ResetSelectedRange() {
    m_PrevSelectedCellMap.clear();
    SetSelectedRange(-1, -1, -1, -1);
    SetFocusCell(-1, -1);
}

// ---- Editing

void CGridCore::OnEditCell(int nRow, int nCol, CPoint point, UINT nChar) {
    if (HasWindow())
        HideTitleTip();
    if (!IsValid(nRow, nCol) || !IsCellEditable(nRow, nCol))
        return;
    EnsureVisible(nRow, nCol);
    if (!IsCellVisible(nRow, nCol))
        return;
    CRect rect;
    if (!GetCellRect(nRow, nCol, &rect))
        return;
    if (SendMessageToParent(nRow, nCol, GVN_BEGINLABELEDIT) < 0)
        return;
    if (CGridCellBase *cell = GetCell(nRow, nCol))
        cell->Edit(nRow, nCol, rect, point, IDC_INPLACE_CONTROL, nChar);
}

void CGridCore::OnEndEditCell(int nRow, int nCol, CString str) {
    CGridCellBase *cell = GetCell(nRow, nCol);
    if (cell == nullptr)
        return;
    const CString current = cell->GetText();
    if (current != str) {
        cell->SetText(str);
        if (ValidateEdit(nRow, nCol, str) &&
            SendMessageToParent(nRow, nCol, GVN_ENDLABELEDIT) >= 0) {
            SetModified(TRUE, nRow, nCol);
            RedrawCell(nRow, nCol);
        } else {
            cell->SetText(current);
        }
    }
    cell->OnEndEdit();
}

BOOL CGridCore::ValidateEdit(int nRow, int nCol, const char *str) {
    CGridCellBase *cell = GetCell(nRow, nCol);
    return cell == nullptr ? TRUE : cell->ValidateEdit(str);
}

void CGridCore::EndEditing() {
    const CCellID cell = GetFocusCell();
    if (!IsValid(cell))
        return;
    if (CGridCellBase *pCell = GetCell(cell.row, cell.col))
        pCell->EndEdit();
}

BOOL CGridCore::ValidateAndModifyCellContents(int nRow, int nCol, const char *strText) {
    if (!IsCellEditable(nRow, nCol))
        return FALSE;
    if (SendMessageToParent(nRow, nCol, GVN_BEGINLABELEDIT) < 0)
        return FALSE;
    CGridCellBase *cell = GetCell(nRow, nCol);
    if (cell == nullptr)
        return FALSE;
    const CString current = cell->GetText();
    const CString text = strText != nullptr ? strText : "";
    if (current != text) {
        cell->SetText(text);
        if (ValidateEdit(nRow, nCol, text) &&
            SendMessageToParent(nRow, nCol, GVN_ENDLABELEDIT) >= 0) {
            SetModified(TRUE, nRow, nCol);
            RedrawCell(nRow, nCol);
        } else {
            cell->SetText(current);
        }
    }
    return TRUE;
}

void CGridCore::EndInPlaceEdit(CGridEditWnd *pEdit, int nRow, int nCol, UINT nLastChar) {
    if (pEdit == nullptr || m_bEndingInPlaceEdit)
        return;
    m_bEndingInPlaceEdit = true;
    GV_DISPINFO info;
    info.hdr.hwndFrom = this;
    info.hdr.idFrom = IDC_INPLACE_CONTROL;
    info.hdr.code = GVN_ENDLABELEDIT;
    info.item.mask = GVIF_TEXT | GVIF_PARAM;
    info.item.row = nRow;
    info.item.col = nCol;
    info.item.strText = pEdit->GetWindowText();
    info.item.lParam = static_cast<LPARAM>(nLastChar);
    OnEndInPlaceEdit(&info);
    pEdit->DestroyEditor();
    m_bEndingInPlaceEdit = false;
}

LRESULT CGridCore::OnEndInPlaceEdit(GV_DISPINFO *pDispInfo) {
    GV_ITEM &item = pDispInfo->item;
    OnEndEditCell(item.row, item.col, item.strText);
    const UINT key = static_cast<UINT>(item.lParam);
    if (key == VK_TAB || (key >= VK_PRIOR && key <= VK_DOWN)) {
        OnKeyDown(key);
        OnEditCell(m_idCurrentCell.row, m_idCurrentCell.col, CPoint(-1, -1), key);
    }
    return 0;
}

void CGridCore::OnFixedRowClick(CCellID &cell) {
    if (!IsValid(cell))
        return;
    if (GetHeaderSort()) {
        if (HasWindow())
            BeginWaitCursor();
        if (cell.col == GetSortColumn())
            SortItems(cell.col, !GetSortAscending());
        else
            SortItems(cell.col, TRUE);
        Refresh();
        if (HasWindow())
            EndWaitCursor();
    }
    if (GetFixedColumnSelection()) {
        m_MouseMode = cell.col < m_nFixedCols ? MOUSE_SELECT_ALL : MOUSE_SELECT_COL;
        OnSelecting(cell);
    }
}

void CGridCore::OnFixedColumnClick(CCellID &cell) {
    if (!IsValid(cell))
        return;
    if (GetFixedRowSelection()) {
        m_MouseMode = cell.row < m_nFixedRows ? MOUSE_SELECT_ALL : MOUSE_SELECT_ROW;
        OnSelecting(cell);
    }
}

// ---- Mouse

BOOL CGridCore::MouseOverColumnResizeArea(CPoint point) {
    if (point.y >= GetFixedRowHeight())
        return FALSE;
    const CCellID cell = GetCellFromPt(point);
    CPoint start;
    if (!GetCellOrigin(cell, &start))
        return FALSE;
    const int end = start.x + GetColumnWidth(cell.col);
    return (point.x - start.x < m_nResizeCaptureRange && cell.col != 0) ||
           end - point.x <= m_nResizeCaptureRange;
}

BOOL CGridCore::MouseOverRowResizeArea(CPoint point) {
    if (point.x >= GetFixedColumnWidth())
        return FALSE;
    const CCellID cell = GetCellFromPt(point);
    CPoint start;
    if (!GetCellOrigin(cell, &start))
        return FALSE;
    const int end = start.y + GetRowHeight(cell.row);
    return (point.y - start.y < m_nResizeCaptureRange && cell.row != 0) ||
           end - point.y <= m_nResizeCaptureRange;
}

CRect CGridCore::TrackingLineRect() const {
    if (m_nTrackingPos < 0 || !HasWindow())
        return CRect();
    const CRect client = GetClientRect();
    if (m_MouseMode == MOUSE_SIZING_ROW)
        return CRect(0, m_nTrackingPos, client.right, m_nTrackingPos + 2);
    return CRect(m_nTrackingPos, 0, m_nTrackingPos + 2, client.bottom);
}

void CGridCore::DrawTrackingLine(CDC *pDC) {
    const CRect line = TrackingLineRect();
    if (!line.IsRectEmpty())
        pDC->InvertRect(line);
}

void CGridCore::MoveTrackingLine(CPoint point) {
    CRect old = TrackingLineRect();
    if (!old.IsRectEmpty())
        InvalidateRect(&old);
    const int pos = m_MouseMode == MOUSE_SIZING_ROW ? point.y : point.x;
    m_nTrackingPos = std::clamp(pos, m_nTrackingMin, std::max(m_nTrackingMin, m_nTrackingMax));
    CRect line = TrackingLineRect();
    if (!line.IsRectEmpty())
        InvalidateRect(&line);
}

void CGridCore::StartSizing(CPoint point) {
    const bool rows = m_MouseMode == MOUSE_SIZING_ROW;
    const int count = rows ? m_nRows : m_nCols;
    const int fixed = rows ? m_nFixedRows : m_nFixedCols;
    const auto size = [&](int i) { return rows ? GetRowHeight(i) : GetColumnWidth(i); };
    const int pos = rows ? point.y : point.x;
    const CCellID cell = GetCellFromPt(point);
    int index = rows ? cell.row : cell.col;
    CPoint start;
    if (GetCellOrigin(cell, &start) && pos - (rows ? start.y : start.x) < m_nResizeCaptureRange)
        --index;
    // A last row or column too narrow to be found under the pointer.
    CRect visible;
    GetVisibleNonFixedCellRange(&visible);
    const int end = rows ? visible.bottom : visible.right;
    if (count > 0 && size(count - 1) < m_nResizeCaptureRange &&
        std::abs(pos - end) < m_nResizeCaptureRange)
        index = count - 1;
    if (!(rows ? m_bHiddenRowUnhide : m_bHiddenColUnhide))
        while (index >= 0 && size(index) == 0)
            --index;
    if (index < 0 || index >= count) {
        m_MouseMode = MOUSE_NOTHING;
        return;
    }

    // Where the row or column begins, also when it is scrolled out at the top or left.
    const CCellID topLeft = GetTopleftNonFixedCell();
    const int first = rows ? topLeft.row : topLeft.col;
    int origin = 0;
    if (index < fixed) {
        for (int i = 0; i < index; ++i)
            origin += size(i);
    } else {
        origin = rows ? GetFixedRowHeight() : GetFixedColumnWidth();
        for (int i = first; i < index; ++i)
            origin += size(i);
        for (int i = index; i < first; ++i)
            origin -= size(i);
    }
    const CRect client = GetClientRect();
    m_nSizingIndex = index;
    m_nTrackingMin = origin + 1;
    m_nTrackingMax = m_nTrackingMin + (rows ? client.Height() - GetFixedRowHeight()
                                            : client.Width() - GetFixedColumnWidth());
    MoveTrackingLine(point);
}

void CGridCore::FinishSizing(CPoint point) {
    const bool rows = m_MouseMode == MOUSE_SIZING_ROW;
    CRect old = TrackingLineRect();
    m_nTrackingPos = -1;
    if (!old.IsRectEmpty())
        InvalidateRect(&old);
    if (m_nSizingIndex >= 0 && point != m_LeftClickDownPoint) {
        const int pos = std::clamp(rows ? point.y : point.x, m_nTrackingMin,
                                   std::max(m_nTrackingMin, m_nTrackingMax));
        const int least = (rows ? m_bAllowRowHide : m_bAllowColHide) ? 0 : 1;
        const int size = std::max(least, pos - (m_nTrackingMin - 1));
        if (rows)
            SetRowHeight(m_nSizingIndex, size);
        else
            SetColumnWidth(m_nSizingIndex, size);
        ResetScrollBars();
        Refresh();
    }
    m_nSizingIndex = -1;
}

void CGridCore::OnLButtonDown(UINT nFlags, CPoint point) {
    SetFocus();
    m_bLMouseButtonDown = TRUE;
    m_LeftClickDownPoint = point;
    m_LeftClickDownCell = GetCellFromPt(point);
    if (!IsValid(m_LeftClickDownCell))
        return;

    if (!(nFlags & MK_SHIFT))
        m_SelectionStartCell = m_LeftClickDownCell;
    else if (!IsValid(m_SelectionStartCell))
        m_SelectionStartCell = m_idCurrentCell;

    EndEditing();
    CGridCellBase *cell = GetCell(m_LeftClickDownCell.row, m_LeftClickDownCell.col);
    if (cell != nullptr)
        cell->OnClickDown(GetPointClicked(m_LeftClickDownCell.row, m_LeftClickDownCell.col, point));

    // A click in the text of the focus cell edits it on release.
    if (m_LeftClickDownCell == m_idCurrentCell && !(nFlags & MK_CONTROL)) {
        CRect textRect;
        if (GetTextRect(m_LeftClickDownCell, &textRect) && textRect.PtInRect(point) &&
            IsCellEditable(m_LeftClickDownCell)) {
            m_MouseMode = MOUSE_PREPARE_EDIT;
            return;
        }
    } else if (IsCellSelected(m_LeftClickDownCell)) {
        if (nFlags & MK_CONTROL) {
            SetFocusCell(m_LeftClickDownCell);
            if (GetListMode())
                SelectRows(m_LeftClickDownCell);
            else
                SelectCells(m_LeftClickDownCell);
        } else if (m_bAllowDragAndDrop) {
            m_MouseMode = MOUSE_PREPARE_DRAG;
        }
    }

    const bool overColumnDivider = m_bAllowColumnResize && MouseOverColumnResizeArea(point);
    const bool overRowDivider = m_bAllowRowResize && MouseOverRowResizeArea(point);
    if (m_MouseMode != MOUSE_PREPARE_DRAG && !overColumnDivider && !overRowDivider) {
        if (IsCellFixed(m_LeftClickDownCell.row, m_LeftClickDownCell.col))
            SetFocusCell(-1, -1);
        else
            SetFocusCell(m_LeftClickDownCell);
    }
    SetCapture();

    if (m_MouseMode == MOUSE_NOTHING) {
        if (overColumnDivider) {
            SetGridCursor(GridCursor::SizeWE);
            m_MouseMode = MOUSE_OVER_COL_DIVIDE;
        } else if (overRowDivider) {
            SetGridCursor(GridCursor::SizeNS);
            m_MouseMode = MOUSE_OVER_ROW_DIVIDE;
        }
    }

    if (m_MouseMode == MOUSE_OVER_COL_DIVIDE) {
        m_MouseMode = MOUSE_SIZING_COL;
        StartSizing(point);
    } else if (m_MouseMode == MOUSE_OVER_ROW_DIVIDE) {
        m_MouseMode = MOUSE_SIZING_ROW;
        StartSizing(point);
    } else if (m_MouseMode != MOUSE_PREPARE_DRAG) {
        SendMessageToParent(m_LeftClickDownCell.row, m_LeftClickDownCell.col, GVN_SELCHANGING);
        m_PrevSelectedCellMap.clear();
        if (nFlags & MK_CONTROL)
            m_PrevSelectedCellMap = m_SelectedCellMap;
        if (m_LeftClickDownCell.row < m_nFixedRows) {
            OnFixedRowClick(m_LeftClickDownCell);
        } else if (m_LeftClickDownCell.col < m_nFixedCols) {
            OnFixedColumnClick(m_LeftClickDownCell);
        } else {
            m_MouseMode = m_bListMode ? MOUSE_SELECT_ROW : MOUSE_SELECT_CELLS;
            OnSelecting(m_LeftClickDownCell);
            SetTimer(WM_LBUTTONDOWN_TIMER, static_cast<UINT>(m_nTimerInterval));
            m_bTimerRunning = true;
        }
    }
    m_LastMousePoint = point;
}

void CGridCore::OnLButtonUp(UINT, CPoint point) {
    ReleaseCapture();
    if (m_bTimerRunning) {
        KillTimer(WM_LBUTTONDOWN_TIMER);
        m_bTimerRunning = false;
    }
    m_bLMouseButtonDown = FALSE;

    switch (m_MouseMode) {
    case MOUSE_PREPARE_EDIT:
        OnEditCell(m_idCurrentCell.row, m_idCurrentCell.col,
                   GetPointClicked(m_idCurrentCell.row, m_idCurrentCell.col, point), VK_LBUTTON);
        break;
    case MOUSE_PREPARE_DRAG:
        // The button came up before any drag: the click selects afresh.
        SendMessageToParent(m_LeftClickDownCell.row, m_LeftClickDownCell.col, GVN_SELCHANGING);
        ResetSelectedRange();
        SendMessageToParent(m_idCurrentCell.row, m_idCurrentCell.col, GVN_SELCHANGED);
        break;
    case MOUSE_SIZING_COL:
    case MOUSE_SIZING_ROW:
        FinishSizing(point);
        break;
    default:
        SendMessageToParent(m_idCurrentCell.row, m_idCurrentCell.col, GVN_SELCHANGED);
        break;
    }
    m_MouseMode = MOUSE_NOTHING;
    SetGridCursor(GridCursor::Arrow);
    if (IsValid(m_LeftClickDownCell) && HasWindow())
        PostCommandToOwner();
}

void CGridCore::OnMouseMove(UINT, CPoint point) {
    if (m_MouseMode != MOUSE_DRAGGING && !GetClientRect().PtInRect(point))
        return;

    if (m_bLMouseButtonDown && m_MouseMode != MOUSE_NOTHING) {
        if (!IsValid(m_LeftClickDownCell)) {
            m_LastMousePoint = point;
            return;
        }
        switch (m_MouseMode) {
        case MOUSE_SELECT_ALL:
        case MOUSE_SELECT_COL:
        case MOUSE_SELECT_ROW:
        case MOUSE_SELECT_CELLS: {
            const CCellID cell = GetCellFromPt(point);
            if (!IsValid(cell))
                break;
            if (cell != GetFocusCell()) {
                OnSelecting(cell);
                if (cell.row >= m_nFixedRows && cell.col >= m_nFixedCols)
                    SetFocusCell(cell);
            }
            break;
        }
        case MOUSE_SIZING_ROW:
        case MOUSE_SIZING_COL:
            MoveTrackingLine(point);
            break;
        case MOUSE_PREPARE_DRAG:
            OnBeginDrag();
            break;
        default:
            break;
        }
    } else if (!m_bLMouseButtonDown) {
        if (m_bAllowColumnResize && MouseOverColumnResizeArea(point)) {
            if (m_MouseMode != MOUSE_OVER_COL_DIVIDE) {
                SetGridCursor(GridCursor::SizeWE);
                m_MouseMode = MOUSE_OVER_COL_DIVIDE;
            }
        } else if (m_bAllowRowResize && MouseOverRowResizeArea(point)) {
            if (m_MouseMode != MOUSE_OVER_ROW_DIVIDE) {
                SetGridCursor(GridCursor::SizeNS);
                m_MouseMode = MOUSE_OVER_ROW_DIVIDE;
            }
        } else if (m_MouseMode != MOUSE_NOTHING) {
            SetGridCursor(GridCursor::Arrow);
            m_MouseMode = MOUSE_NOTHING;
        }

        if (m_MouseMode == MOUSE_NOTHING && (!m_bVirtualMode || m_bTitleTips)) {
            const CCellID id = GetCellFromPt(point);
            if (CGridCellBase *cell = GetCell(id.row, id.col)) {
                cell->OnMouseOver();
                if (m_bTitleTips && !m_bRMouseButtonDown && cell->GetTipText()[0] != '\0' &&
                    !cell->IsEditing()) {
                    CRect textRect;
                    CRect cellRect;
                    if (GetCellRect(id, &textRect) && cell->GetTipTextRect(&textRect) &&
                        GetCellRect(id, &cellRect))
                        ShowTitleTip(textRect, cell->GetTipText(), 0, cellRect, cell->GetFont(),
                                     GetTitleTipTextClr(), GetTitleTipBackClr());
                }
            }
        }
    }
    m_LastMousePoint = point;
}

void CGridCore::OnTimer(UINT nIDEvent) {
    if (nIDEvent != WM_LBUTTONDOWN_TIMER || !HasWindow())
        return;
    const CPoint origin = GetCursorPos();
    const CRect client = GetClientRect();
    const int fixedRowHeight = GetFixedRowHeight();
    const int fixedColWidth = GetFixedColumnWidth();

    CPoint pt = origin;
    if (pt.y >= client.bottom) {
        OnKeyDown(VK_DOWN);
        pt.x = std::clamp(pt.x, client.left, client.right - 1);
        pt.y = client.bottom - 1;
        OnSelecting(GetCellFromPt(pt));
    } else if (pt.y < fixedRowHeight) {
        OnKeyDown(VK_UP);
        pt.x = std::clamp(pt.x, client.left, client.right - 1);
        pt.y = fixedRowHeight + 1;
        OnSelecting(GetCellFromPt(pt));
    }
    pt = origin;
    if (pt.x >= client.right) {
        OnKeyDown(VK_RIGHT);
        pt.y = std::clamp(pt.y, client.top, client.bottom - 1);
        pt.x = client.right - 1;
        OnSelecting(GetCellFromPt(pt));
    } else if (pt.x < fixedColWidth) {
        OnKeyDown(VK_LEFT);
        pt.y = std::clamp(pt.y, client.top, client.bottom - 1);
        pt.x = fixedColWidth + 1;
        OnSelecting(GetCellFromPt(pt));
    }
}

void CGridCore::OnCaptureChanged() {
    if (m_bTimerRunning) {
        KillTimer(WM_LBUTTONDOWN_TIMER);
        m_bTimerRunning = false;
    }
    if (m_MouseMode == MOUSE_DRAGGING)
        m_MouseMode = MOUSE_NOTHING;
}

void CGridCore::OnSetCursor(CPoint point) {
    switch (m_MouseMode) {
    case MOUSE_OVER_ROW_DIVIDE:
        SetGridCursor(GridCursor::SizeNS);
        return;
    case MOUSE_OVER_COL_DIVIDE:
        SetGridCursor(GridCursor::SizeWE);
        return;
    case MOUSE_DRAGGING:
        return;
    default:
        break;
    }
    if (!m_bVirtualMode) {
        const CCellID id = GetCellFromPt(point);
        if (CGridCellBase *cell = GetCell(id.row, id.col)) {
            cell->OnSetCursor();
            return;
        }
    }
    SetGridCursor(GridCursor::Arrow);
}

void CGridCore::OnLButtonDblClk(UINT, CPoint point) {
    const CCellID cell = GetCellFromPt(point);
    if (!IsValid(cell))
        return;

    if (m_MouseMode == MOUSE_OVER_COL_DIVIDE || m_MouseMode == MOUSE_OVER_ROW_DIVIDE) {
        const bool rows = m_MouseMode == MOUSE_OVER_ROW_DIVIDE;
        CPoint start;
        if (!GetCellOrigin(cell, &start))
            return;
        int index = rows ? cell.row : cell.col;
        if ((rows ? point.y - start.y : point.x - start.x) < m_nResizeCaptureRange)
            --index;
        while (index > 0 && (rows ? GetRowHeight(index) : GetColumnWidth(index)) == 0)
            --index;
        if (index < 0)
            return;
        if (rows)
            AutoSizeRow(index);
        else
            AutoSizeColumn(index, static_cast<UINT>(GetAutoSizeStyle()));
        Refresh();
    } else if (m_MouseMode == MOUSE_NOTHING) {
        const CPoint relative = GetPointClicked(cell.row, cell.col, point);
        CGridCellBase *pCell = GetCell(cell.row, cell.col);
        if (!IsCellFixed(cell.row, cell.col) && IsValid(m_LeftClickDownCell)) {
            CRect textRect;
            if (GetTextRect(cell, &textRect) && textRect.PtInRect(point))
                OnEditCell(cell.row, cell.col, relative, VK_LBUTTON);
        }
        if (pCell != nullptr)
            pCell->OnDblClick(relative);
        SendMessageToParent(cell.row, cell.col, NM_DBLCLK);
    }
}

void CGridCore::OnRButtonDown(UINT, CPoint) { m_bRMouseButtonDown = TRUE; }

void CGridCore::OnRButtonUp(UINT, CPoint point) {
    m_bRMouseButtonDown = FALSE;
    EndEditing();
    const CCellID cell = GetCellFromPt(point);
    if (IsValid(cell)) {
        SetFocusCell(-1, -1);
        SetFocusCell(std::max(cell.row, m_nFixedRows), std::max(cell.col, m_nFixedCols));
        if (CGridCellBase *pCell = GetCell(cell.row, cell.col))
            pCell->OnRClick(GetPointClicked(cell.row, cell.col, point));
        SendMessageToParent(cell.row, cell.col, NM_RCLICK);
    } else {
        SendMessageToParent(-1, -1, NM_RCLICK);
    }
}

// ---- Keyboard

int CGridCore::NextShownRow(int from, int step) const {
    for (int row = from; row >= m_nFixedRows && row < m_nRows; row += step)
        if (GetRowHeight(row) > 0)
            return row;
    return -1;
}

int CGridCore::NextShownColumn(int from, int step) const {
    for (int col = from; col >= m_nFixedCols && col < m_nCols; col += step)
        if (GetColumnWidth(col) > 0)
            return col;
    return -1;
}

BOOL CGridCore::OnKeyDown(UINT nChar, UINT, UINT) {
    if (!IsValid(m_idCurrentCell))
        return FALSE;
    const bool ctrl = IsKeyDown(VK_CONTROL);
    const bool shift = IsKeyDown(VK_SHIFT);

    if (ctrl) {
        switch (nChar) {
        case 'A':
            OnEditSelectAll();
            return TRUE;
        case 'C':
        case VK_INSERT:
            OnEditCopy();
            return TRUE;
        case 'V':
            OnEditPaste();
            return TRUE;
        case 'X':
            OnEditCut();
            return TRUE;
        default:
            break;
        }
    }
    if (shift && nChar == VK_INSERT) {
        OnEditPaste();
        return TRUE;
    }
    if (nChar == VK_DELETE) {
        CutSelectedText();
        return TRUE;
    }
    if (nChar == VK_F2) {
        OnEditCell(m_idCurrentCell.row, m_idCurrentCell.col, CPoint(-1, -1), VK_LBUTTON);
        return TRUE;
    }

    CCellID next = m_idCurrentCell;
    bool changeLine = false;
    const bool tab = nChar == VK_TAB && m_bHandleTabKey;
    if (nChar == VK_DOWN) {
        const int row = NextShownRow(next.row + 1, 1);
        if (row >= 0)
            next.row = row;
    } else if (nChar == VK_UP) {
        const int row = NextShownRow(next.row - 1, -1);
        if (row >= 0)
            next.row = row;
    } else if (nChar == VK_RIGHT || (tab && !shift)) {
        const int col = NextShownColumn(next.col + 1, 1);
        if (col >= 0) {
            next.col = col;
        } else if (tab) {
            const int row = NextShownRow(next.row + 1, 1);
            const int first = NextShownColumn(m_nFixedCols, 1);
            if (row < 0 || first < 0)
                return FALSE; // the end of the table: Tab leaves the grid
            next = CCellID(row, first);
            changeLine = true;
        }
    } else if (nChar == VK_LEFT || (tab && shift)) {
        const int col = NextShownColumn(next.col - 1, -1);
        if (col >= 0) {
            next.col = col;
        } else if (tab) {
            const int row = NextShownRow(next.row - 1, -1);
            const int last = NextShownColumn(m_nCols - 1, -1);
            if (row < 0 || last < 0)
                return FALSE;
            next = CCellID(row, last);
            changeLine = true;
        }
    } else if (nChar == VK_NEXT) {
        const CCellID before = GetTopleftNonFixedCell();
        OnVScroll(SB_PAGEDOWN, 0);
        const int increment = GetTopleftNonFixedCell().row - before.row;
        next.row = increment > 0 ? std::min(next.row + increment, m_nRows - 1) : m_nRows - 1;
    } else if (nChar == VK_PRIOR) {
        const CCellID before = GetTopleftNonFixedCell();
        OnVScroll(SB_PAGEUP, 0);
        const int decrement = before.row - GetTopleftNonFixedCell().row;
        next.row = decrement > 0 ? std::max(next.row - decrement, m_nFixedRows) : m_nFixedRows;
    } else if (nChar == VK_HOME) {
        OnHScroll(SB_LEFT, 0);
        const int col = NextShownColumn(m_nFixedCols, 1);
        if (col >= 0)
            next.col = col;
        if (ctrl) {
            OnVScroll(SB_TOP, 0);
            const int row = NextShownRow(m_nFixedRows, 1);
            if (row >= 0)
                next.row = row;
        }
    } else if (nChar == VK_END) {
        OnHScroll(SB_RIGHT, 0);
        const int col = NextShownColumn(m_nCols - 1, -1);
        if (col >= 0)
            next.col = col;
        if (ctrl) {
            OnVScroll(SB_BOTTOM, 0);
            const int row = NextShownRow(m_nRows - 1, -1);
            if (row >= 0)
                next.row = row;
        }
    } else {
        return FALSE;
    }

    if (next != m_idCurrentCell) {
        if (m_MouseMode == MOUSE_NOTHING) {
            m_PrevSelectedCellMap.clear();
            m_MouseMode = m_bListMode ? MOUSE_SELECT_ROW : MOUSE_SELECT_CELLS;
            if (!shift || nChar == VK_TAB)
                m_SelectionStartCell = next;
            SendMessageToParent(next.row, next.col, GVN_SELCHANGING);
            OnSelecting(next);
            SendMessageToParent(next.row, next.col, GVN_SELCHANGED);
            m_MouseMode = MOUSE_NOTHING;
        }
        SetFocusCell(next);
        if (!IsCellVisible(next)) {
            switch (nChar) {
            case VK_RIGHT:
                OnHScroll(SB_LINERIGHT, 0);
                break;
            case VK_LEFT:
                OnHScroll(SB_LINELEFT, 0);
                break;
            case VK_DOWN:
                OnVScroll(SB_LINEDOWN, 0);
                break;
            case VK_UP:
                OnVScroll(SB_LINEUP, 0);
                break;
            case VK_TAB:
                if (changeLine) {
                    OnVScroll(shift ? SB_LINEUP : SB_LINEDOWN, 0);
                    SetScrollPos32(SB_HORZ, shift ? GetScrollLimit(SB_HORZ) : 0);
                } else {
                    OnHScroll(shift ? SB_LINELEFT : SB_LINERIGHT, 0);
                }
                break;
            default:
                break;
            }
            Refresh();
        }
        EnsureVisible(next);
    }
    return TRUE;
}

void CGridCore::OnChar(UINT nChar, UINT, UINT) {
    if (!IsKeyDown(VK_CONTROL) && m_MouseMode == MOUSE_NOTHING && nChar != VK_ESCAPE &&
        !(m_bHandleTabKey && nChar == VK_TAB))
        OnEditCell(m_idCurrentCell.row, m_idCurrentCell.col, CPoint(-1, -1), nChar);
}

void CGridCore::OnImeChar(UINT nChar) {
    if (!IsKeyDown(VK_CONTROL) && m_MouseMode == MOUSE_NOTHING && nChar != VK_ESCAPE)
        OnEditCell(m_idCurrentCell.row, m_idCurrentCell.col, CPoint(-1, -1), nChar);
}
