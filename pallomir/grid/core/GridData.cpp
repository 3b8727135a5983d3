// Sorting, clipboard text, drag and drop, and delimited text files.
#include "pallomir/grid/core/CGridCore.h"

#include "platform/core/CStdioFile.h"
#include "platform/core/Numbers.h"
#include "platform/core/Prompt.h"

#include <utility>

// ---- Sorting

namespace {

// Compares by characters: a double-byte character counts as one (lead << 8 | trail).
int MbsCompare(const char *a, const char *b) {
    const auto next = [](const unsigned char *&p) -> unsigned {
        unsigned c = *p++;
        if (CString::IsLeadByte(static_cast<unsigned char>(c)) && *p != '\0')
            c = (c << 8) | *p++;
        return c;
    };
    const auto *pa = reinterpret_cast<const unsigned char *>(a);
    const auto *pb = reinterpret_cast<const unsigned char *>(b);
    while (true) {
        const unsigned ca = next(pa);
        const unsigned cb = next(pb);
        if (ca != cb)
            return ca < cb ? -1 : 1;
        if (ca == 0)
            return 0;
    }
}

} // namespace

int CGridCore::pfnCellTextCompare(LPARAM lParam1, LPARAM lParam2, LPARAM) {
    const auto *cell1 = reinterpret_cast<const CGridCellBase *>(lParam1);
    const auto *cell2 = reinterpret_cast<const CGridCellBase *>(lParam2);
    if (cell1 == nullptr || cell2 == nullptr)
        return 0;
    return MbsCompare(cell1->GetText(), cell2->GetText());
}

int CGridCore::pfnCellNumericCompare(LPARAM lParam1, LPARAM lParam2, LPARAM) {
    const auto *cell1 = reinterpret_cast<const CGridCellBase *>(lParam1);
    const auto *cell2 = reinterpret_cast<const CGridCellBase *>(lParam2);
    if (cell1 == nullptr || cell2 == nullptr)
        return 0;
    // 32-bit values, as the numbers were always read.
    const int n1 = AtoiC(cell1->GetText());
    const int n2 = AtoiC(cell2->GetText());
    return n1 < n2 ? -1 : n1 == n2 ? 0 : 1;
}

BOOL CGridCore::SortTextItems(int nCol, BOOL bAscending, LPARAM data) {
    return SortItems(pfnCellTextCompare, nCol, bAscending, data);
}

BOOL CGridCore::SortItems(int nCol, BOOL bAscending, LPARAM data) {
    return SortItems(m_pfnCompare != nullptr ? m_pfnCompare : pfnCellTextCompare, nCol, bAscending,
                     data);
}

BOOL CGridCore::SortItems(PFNLVCOMPARE pfnCompare, int nCol, BOOL bAscending, LPARAM data) {
    SetSortColumn(nCol);
    SetSortAscending(bAscending);
    ResetSelectedRange();
    SetFocusCell(-1, -1);
    return SortItems(pfnCompare, nCol, bAscending, data, GetFixedRowCount(), -1);
}

void CGridCore::SwapRows(int row1, int row2) {
    std::swap(m_RowData[static_cast<std::size_t>(row1)], m_RowData[static_cast<std::size_t>(row2)]);
    std::swap(m_arRowHeights[static_cast<std::size_t>(row1)],
              m_arRowHeights[static_cast<std::size_t>(row2)]);
}

BOOL CGridCore::SortItems(PFNLVCOMPARE pfnCompare, int nCol, BOOL bAscending, LPARAM data, int low,
                          int high) {
    if (pfnCompare == nullptr || m_bVirtualMode || nCol < 0 || nCol >= GetColumnCount())
        return FALSE;
    if (high == -1)
        high = GetRowCount() - 1;
    if (low < 0 || high >= GetRowCount() || low >= high)
        return FALSE;

    const auto cellAt = [&](int row) { return reinterpret_cast<LPARAM>(GetCell(row, nCol)); };
    // Partitions around the middle row; the smaller part is sorted by recursion, the larger
    // by the loop, so that the depth stays logarithmic.
    while (low < high) {
        int lo = low;
        int hi = high;
        const LPARAM middle = cellAt((low + high) / 2);
        while (lo <= hi) {
            if (bAscending) {
                while (lo < high && pfnCompare(cellAt(lo), middle, data) < 0)
                    ++lo;
                while (hi > low && pfnCompare(cellAt(hi), middle, data) > 0)
                    --hi;
            } else {
                while (lo < high && pfnCompare(cellAt(lo), middle, data) > 0)
                    ++lo;
                while (hi > low && pfnCompare(cellAt(hi), middle, data) < 0)
                    --hi;
            }
            if (lo <= hi) {
                if (pfnCompare(cellAt(lo), cellAt(hi), data) != 0)
                    SwapRows(lo, hi);
                ++lo;
                --hi;
            }
        }
        if (hi - low < high - lo) {
            if (low < hi)
                SortItems(pfnCompare, nCol, bAscending, data, low, hi);
            low = lo;
        } else {
            if (lo < high)
                SortItems(pfnCompare, nCol, bAscending, data, lo, high);
            high = hi;
        }
    }
    return TRUE;
}

// ---- Clipboard text

CString CGridCore::GetSelectedText() {
    const CCellRange selection = GetSelectedCellRange();
    if (!IsValid(selection))
        return CString();
    if (m_bVirtualMode)
        SendCacheHintToParent(selection);
    CString text;
    for (int row = selection.GetMinRow(); row <= selection.GetMaxRow(); ++row) {
        if (GetRowHeight(row) <= 0)
            continue;
        for (int col = selection.GetMinCol(); col <= selection.GetMaxCol(); ++col) {
            if (GetColumnWidth(col) <= 0)
                continue;
            const CGridCellBase *cell = GetCell(row, col);
            if (cell != nullptr && IsCellSelected(row, col))
                text += cell->GetText();
            if (col != selection.GetMaxCol())
                text += '\t';
        }
        if (row != selection.GetMaxRow())
            text += '\n';
    }
    if (m_bVirtualMode)
        SendCacheHintToParent(CCellRange());
    return text;
}

void CGridCore::CutSelectedText() {
    if (!IsEditable())
        return;
    std::vector<CCellID> cells;
    cells.reserve(m_SelectedCellMap.size());
    for (const auto &[key, cell] : m_SelectedCellMap)
        cells.push_back(cell);
    for (const CCellID &cell : cells)
        ValidateAndModifyCellContents(cell.row, cell.col, "");
}

namespace {

// Splits at every separator, keeping empty pieces.
std::vector<CString> SplitAll(const CString &text, char separator) {
    std::vector<CString> pieces;
    int start = 0;
    while (true) {
        const int at = text.Find(separator, start);
        if (at < 0) {
            pieces.push_back(text.Mid(start));
            return pieces;
        }
        pieces.push_back(text.Mid(start, at - start));
        start = at + 1;
    }
}

} // namespace

BOOL CGridCore::PasteTextToGrid(CCellID cell, const CString &text, BOOL bSelectPastedCells) {
    if (!IsValid(cell) || !IsCellEditable(cell))
        return FALSE;

    // Tab-separated text keeps its commas ("1,000" stays one cell); text without tabs is
    // split at commas.
    const char separator = text.Find('\t') >= 0 ? '\t' : ',';
    std::vector<CString> lines = SplitAll(text, '\n');
    // The line end after the last line does not make an empty line.
    if (lines.size() > 1 && lines.back().IsEmpty())
        lines.pop_back();

    CCellRange pasted(cell.row, cell.col, -1, -1);
    int row = cell.row;
    for (const CString &line : lines) {
        while (row < m_nRows && GetRowHeight(row) <= 0)
            ++row;
        if (row >= m_nRows)
            break;
        int col = cell.col;
        for (const CString &piece : SplitAll(line, separator)) {
            while (col < m_nCols && GetColumnWidth(col) <= 0)
                ++col;
            if (col >= m_nCols)
                break;
            CString field = piece;
            field.Trim();
            ValidateAndModifyCellContents(row, col, field);
            if (!m_bVirtualMode)
                SetItemState(row, col, GetItemState(row, col) & ~GVIS_SELECTED);
            pasted.SetMaxRow(std::max(pasted.GetMaxRow(), row));
            pasted.SetMaxCol(std::max(pasted.GetMaxCol(), col));
            ++col;
        }
        ++row;
    }
    if (bSelectPastedCells && IsValid(pasted))
        SetSelectedRange(pasted, TRUE);
    return TRUE;
}

void CGridCore::ClearCells(CCellRange Selection) {
    for (int row = Selection.GetMinRow(); row <= Selection.GetMaxRow(); ++row) {
        if (GetRowHeight(row) <= 0)
            continue;
        for (int col = Selection.GetMinCol(); col <= Selection.GetMaxCol(); ++col)
            if (GetColumnWidth(col) > 0)
                ValidateAndModifyCellContents(row, col, "");
    }
    Refresh();
}

CCellID CGridCore::GetPasteTarget() {
    const CCellRange selection = GetSelectedCellRange();
    if (IsValid(selection))
        return selection.GetTopLeft();
    CCellID cell = GetFocusCell();
    if (IsValid(cell))
        return cell;
    cell = GetTopleftNonFixedCell();
    return IsValid(cell) ? cell : CCellID();
}

void CGridCore::OnEditSelectAll() {
    SendMessageToParent(m_idCurrentCell.row, m_idCurrentCell.col, GVN_SELCHANGING);
    SelectAllCells();
    SendMessageToParent(m_idCurrentCell.row, m_idCurrentCell.col, GVN_SELCHANGED);
}

// ---- Drag and drop

DROPEFFECT CGridCore::DragEffect(DWORD dwKeyState) {
    return (dwKeyState & MK_CONTROL) ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
}

void CGridCore::OnBeginDrag() {
    if (!m_bAllowDragAndDrop)
        return;
    const CString text = GetSelectedText();
    if (text.IsEmpty())
        return;
    const CCellID topLeft = GetSelectedCellRange().GetTopLeft();
    SendMessageToParent(topLeft.row, topLeft.col, GVN_BEGINDRAG);
    m_MouseMode = MOUSE_DRAGGING;
    const DROPEFFECT effect = DoDragDrop(text);
    if (effect & DROPEFFECT_MOVE)
        CutSelectedText();
    // The drag took the button's release.
    m_bLMouseButtonDown = FALSE;
    m_MouseMode = MOUSE_NOTHING;
}

DROPEFFECT CGridCore::OnDragEnter(bool textOffered, DWORD dwKeyState, CPoint point) {
    if (!m_bAllowDragAndDrop || !textOffered)
        return DROPEFFECT_NONE;
    // Over a heading or the grey area too: the cell is decided as the pointer moves.
    OnDragLeave();
    m_LastDragOverCell = CCellID();
    OnDragOver(textOffered, dwKeyState, point);
    return DragEffect(dwKeyState);
}

DROPEFFECT CGridCore::OnDragOver(bool textOffered, DWORD dwKeyState, CPoint point) {
    if (!m_bAllowDragAndDrop || !IsEditable() || !textOffered)
        return DROPEFFECT_NONE;
    const CCellID cell = GetCellFromPt(point, FALSE);
    if (!IsValid(cell)) {
        OnDragLeave();
        m_LastDragOverCell = CCellID();
        return DROPEFFECT_NONE;
    }
    if (!IsCellEditable(cell))
        return DROPEFFECT_NONE;
    if (cell != m_LastDragOverCell) {
        OnDragLeave();
        m_LastDragOverCell = cell;
        SetItemState(cell.row, cell.col, GetItemState(cell.row, cell.col) | GVIS_DROPHILITED);
        RedrawCell(cell);
    }
    return DragEffect(dwKeyState);
}

void CGridCore::OnDragLeave() {
    if (!IsValid(m_LastDragOverCell))
        return;
    SetItemState(m_LastDragOverCell.row, m_LastDragOverCell.col,
                 GetItemState(m_LastDragOverCell.row, m_LastDragOverCell.col) & ~GVIS_DROPHILITED);
    RedrawCell(m_LastDragOverCell);
}

BOOL CGridCore::OnDrop(const CString *text, DROPEFFECT, CPoint) {
    m_MouseMode = MOUSE_NOTHING;
    if (!m_bAllowDragAndDrop || text == nullptr || !IsValid(m_LastDragOverCell) ||
        !IsCellEditable(m_LastDragOverCell))
        return FALSE;
    OnDragLeave();
    return PasteTextToGrid(m_LastDragOverCell, *text, FALSE);
}

// ---- Delimited text files

namespace {

bool IsTrailByte(unsigned char c) { return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC); }

// The bytes of the character at i: a lead byte and a trail byte make one character, anything
// else stands alone. Splitting and quoting both go by it, so that what one writes the other
// reads back.
std::size_t CharLength(const std::string &bytes, std::size_t i) {
    return CString::IsLeadByte(static_cast<unsigned char>(bytes[i])) && i + 1 < bytes.size() &&
                   IsTrailByte(static_cast<unsigned char>(bytes[i + 1]))
               ? 2
               : 1;
}

} // namespace

CString CGridCore::QuoteField(const CString &text, char chSeparator) {
    const std::string &bytes = text.Bytes();
    bool quote = !bytes.empty() && bytes[0] == '"';
    // A lead byte at the end would pair with the separator written after it.
    for (std::size_t i = 0; i < bytes.size() && !quote; i += CharLength(bytes, i))
        quote =
            bytes[i] == chSeparator ||
            (i + 1 == bytes.size() && CString::IsLeadByte(static_cast<unsigned char>(bytes[i])));
    if (!quote)
        return text;
    std::string quoted = "\"";
    for (const char c : bytes) {
        quoted += c;
        if (c == '"')
            quoted += '"';
    }
    quoted += '"';
    return CString(quoted);
}

void CGridCore::SplitDelimitedLine(const CString &line, char chSeparator,
                                   std::vector<CString> &fields) {
    fields.clear();
    const std::string &bytes = line.Bytes();
    const std::size_t n = bytes.size();
    std::size_t i = 0;
    const auto take = [&](std::string &field) {
        const std::size_t length = CharLength(bytes, i);
        field.append(bytes, i, length);
        i += length;
    };
    while (true) {
        std::string field;
        if (i < n && bytes[i] == '"') {
            ++i;
            bool closed = false;
            while (i < n) {
                if (bytes[i] == '"') {
                    if (i + 1 < n && bytes[i + 1] == '"') {
                        field += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                take(field);
            }
            if (!closed) {
                fields.emplace_back(field);
                return;
            }
        }
        while (i < n && bytes[i] != chSeparator)
            take(field);
        fields.emplace_back(field);
        if (i >= n)
            return;
        ++i;
    }
}

BOOL CGridCore::Save(const char *filename, char chSeparator) {
    // A row is one line: a cell that would end the line or the file cannot be written.
    for (int row = 0; row < m_nRows; ++row)
        for (int col = 0; col < m_nCols; ++col)
            if (GetItemText(row, col).FindOneOf("\r\n\x1A") >= 0) {
                AfxMessageBox("Unable to save grid list");
                return FALSE;
            }
    try {
        CStdioFile file(filename, CFile::modeWrite | CFile::modeCreate | CFile::typeText);
        const CString separator(chSeparator);
        for (int row = 0; row < m_nRows; ++row)
            for (int col = 0; col < m_nCols; ++col) {
                file.WriteString(QuoteField(GetItemText(row, col), chSeparator));
                file.WriteString(col == m_nCols - 1 ? "\n" : separator.GetString());
            }
        file.Close();
    } catch (const CFileException &) {
        AfxMessageBox("Unable to save grid list");
        return FALSE;
    }
    return TRUE;
}

BOOL CGridCore::Load(const char *filename, char chSeparator) {
    if (m_bVirtualMode)
        return FALSE;
    CStdioFile file;
    CFileException error;
    if (!file.Open(filename, CFile::modeRead | CFile::typeText, &error)) {
        AfxMessageBox(error.GetErrorMessage(), MB_ICONEXCLAMATION);
        return FALSE;
    }
    DeleteAllItems();

    // Scroll bars once at the end, not once per row.
    const BOOL allowDraw = m_bAllowDraw;
    m_bAllowDraw = FALSE;
    BOOL result = TRUE;
    try {
        // One record per line.
        std::vector<CString> fields;
        const auto readRecord = [&]() {
            CString line;
            if (!file.ReadString(line))
                return false;
            SplitDelimitedLine(line, chSeparator, fields);
            return true;
        };

        if (readRecord())
            for (const CString &heading : fields)
                InsertColumn(heading, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        while (readRecord()) {
            const int row = InsertRow(fields[0]);
            if (row < 0)
                break;
            for (std::size_t i = 1; i < fields.size(); ++i) {
                const int col = static_cast<int>(i);
                // A field beyond the headings gets a column rather than being lost.
                if (col >= m_nCols) {
                    if (fields[i].IsEmpty())
                        continue;
                    while (m_nCols <= col)
                        InsertColumn("", DT_CENTER | DT_VCENTER | DT_SINGLELINE);
                }
                SetItemText(row, col, fields[i]);
            }
        }
    } catch (const CFileException &) {
        AfxMessageBox("Unable to load grid data");
        result = FALSE;
    }
    m_bAllowDraw = allowDraw;
    AutoSizeColumns(static_cast<UINT>(GetAutoSizeStyle()));
    Refresh();
    return result;
}
