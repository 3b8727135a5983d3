#include "pallomir/grid/core/CGridCore.h"

#include "pallomir/grid/core/CGridEditWnd.h"
#include "platform/core/Prompt.h"

#include <algorithm>
#include <functional>
#include <new>

namespace {

// What the framework says when memory runs out while the table grows.
void ReportMemoryError() { AfxMessageBox("Out of memory.", MB_ICONEXCLAMATION); }

// The frame of the cell setters: FALSE in virtual mode or without the cell, otherwise the
// change is made and TRUE answered.
template <class Change> BOOL ChangeCell(const CGridCore &grid, int nRow, int nCol, Change change) {
    if (grid.GetVirtualMode())
        return FALSE;
    CGridCellBase *cell = grid.GetCell(nRow, nCol);
    if (cell == nullptr)
        return FALSE;
    change(*cell);
    return TRUE;
}

// The frame of the cell getters: what read gives for the cell, or none without the cell.
template <class T, class Read>
T ReadCell(const CGridCore &grid, int nRow, int nCol, T none, Read read) {
    const CGridCellBase *cell = grid.GetCell(nRow, nCol);
    if (cell == nullptr)
        return none;
    return T(std::invoke(read, *cell));
}

} // namespace

CGridCore::CGridCore(IGridTextMeasurer &measurer, int nRows, int nCols, int nFixedRows,
                     int nFixedCols)
    : m_pRtcDefault(RUNTIME_CLASS(CGridCell)), m_measurer(measurer) {
    RefreshSysColours(true);
    SetupDefaultCells();
    m_crGridBkColour = m_crShadow;

    SetRowCount(nRows);
    SetColumnCount(nCols);
    SetFixedRowCount(nFixedRows);
    SetFixedColumnCount(nFixedCols);

    SetTitleTipTextClr(CLR_DEFAULT);
    SetTitleTipBackClr(CLR_DEFAULT);
    m_SelectedCellMap.clear();
    m_PrevSelectedCellMap.clear();
    m_bShadedPrintOut = TRUE;
    SetPrintMarginInfo(2, 2, 4, 4, 1, 1, 1);
    m_bDetached = false;
}

CGridCore::~CGridCore() {
    DetachWindow();
    DeleteAllItems();
}

std::array<CGridDefaultCell *, 4> CGridCore::DefaultCells() {
    return {&m_cellDefault, &m_cellFixedColDef, &m_cellFixedRowDef, &m_cellFixedRowColDef};
}

void CGridCore::SetupDefaultCells() {
    const LOGFONT font = m_measurer.GetMessageFont();
    for (CGridDefaultCell *cell : DefaultCells()) {
        cell->SetGrid(this);
        cell->SetFont(&font);
    }
    m_cellDefault.SetTextClr(m_crWindowText);
    m_cellDefault.SetBackClr(m_crWindowColour);
    for (CGridDefaultCell *cell : {&m_cellFixedColDef, &m_cellFixedRowDef, &m_cellFixedRowColDef}) {
        cell->SetTextClr(m_crWindowText);
        cell->SetBackClr(m_cr3DFace);
    }
}

void CGridCore::RefreshSysColours(bool initial) {
    const COLORREF windowText = GetSysColor(COLOR_WINDOWTEXT);
    const COLORREF window = GetSysColor(COLOR_WINDOW);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    if (!initial) {
        // Colours still at the old system values follow the new ones.
        for (CGridDefaultCell *cell : DefaultCells()) {
            if (cell->GetTextClr() == m_crWindowText)
                cell->SetTextClr(windowText);
            if (cell->GetBackClr() == m_crWindowColour)
                cell->SetBackClr(window);
        }
        if (m_crGridBkColour == m_crShadow)
            m_crGridBkColour = shadow;
    }
    m_crWindowText = windowText;
    m_crWindowColour = window;
    m_cr3DFace = face;
    m_crShadow = shadow;
}

void CGridCore::OnSysColorChange() {
    RefreshSysColours(false);
    Refresh();
}

void CGridCore::OnSettingChange() {
    RefreshSysColours(false);
    m_nRowsPerWheelNotch = GetSystemWheelScrollLines();
    Refresh();
}

// ---- Cells

BOOL CGridCore::SetDefaultCellType(const CGridCellClass *cellClass) {
    if (cellClass == nullptr)
        return FALSE;
    m_pRtcDefault = cellClass;
    return TRUE;
}

std::unique_ptr<CGridCellBase> CGridCore::CreateCell(int nRow, int nCol) {
    std::unique_ptr<CGridCellBase> cell = m_pRtcDefault->CreateObject();
    if (cell == nullptr)
        return nullptr;
    cell->SetGrid(this);
    cell->SetCoords(nRow, nCol);
    if (nCol < m_nFixedCols)
        cell->SetState(cell->GetState() | GVIS_FIXED | GVIS_FIXEDCOL);
    if (nRow < m_nFixedRows) {
        cell->SetState(cell->GetState() | GVIS_FIXED | GVIS_FIXEDROW);
        if (const CGridDefaultCell *defaultCell = cell->GetDefaultCell())
            cell->SetFormat(defaultCell->GetFormat());
    }
    return cell;
}

void CGridCore::DestroyCell(int nRow, int nCol) {
    if (m_bVirtualMode || nRow < 0 || nRow >= static_cast<int>(m_RowData.size()))
        return;
    auto &row = m_RowData[static_cast<std::size_t>(nRow)];
    if (nCol >= 0 && nCol < static_cast<int>(row.size()))
        row[static_cast<std::size_t>(nCol)].reset();
}

CGridCellBase *CGridCore::GetCell(int nRow, int nCol) const {
    if (!IsValid(nRow, nCol))
        return nullptr;
    if (!m_bVirtualMode)
        return m_RowData[static_cast<std::size_t>(nRow)][static_cast<std::size_t>(nCol)].get();

    GV_DISPINFO &info = m_VirtualDispInfo;
    info = GV_DISPINFO();
    info.item.row = nRow;
    info.item.col = nCol;
    info.item.mask = 0xFFFFFFFF;
    info.item.nState = 0;
    if (IsCellSelected(nRow, nCol))
        info.item.nState |= GVIS_SELECTED;
    if (nRow < m_nFixedRows)
        info.item.nState |= GVIS_FIXED | GVIS_FIXEDROW;
    if (nCol < m_nFixedCols)
        info.item.nState |= GVIS_FIXED | GVIS_FIXEDCOL;
    if (CCellID(nRow, nCol) == m_idCurrentCell)
        info.item.nState |= GVIS_FOCUSED;
    const CGridDefaultCell *defaultCell = GetDefaultCell(nRow < m_nFixedRows, nCol < m_nFixedCols);
    info.item.nFormat = defaultCell->GetFormat();
    info.item.iImage = defaultCell->GetImage();
    info.item.crBkClr = defaultCell->GetBackClr();
    info.item.crFgClr = defaultCell->GetTextClr();
    info.item.lParam = defaultCell->GetData();
    if (const LOGFONT *font = defaultCell->GetFont())
        info.item.lfFont = *font;
    info.item.nMargin = defaultCell->GetMargin();
    info.item.strText.Empty();

    if (m_pfnCallback != nullptr)
        m_pfnCallback(&info, m_lParam);
    else
        SendDisplayRequestToParent(&info);

    if (m_pVirtualCell == nullptr)
        m_pVirtualCell = std::make_unique<CGridCell>();
    CGridCell *cell = m_pVirtualCell.get();
    cell->SetState(info.item.nState);
    cell->SetFormat(info.item.nFormat);
    cell->SetImage(info.item.iImage);
    cell->SetData(info.item.lParam);
    cell->SetBackClr(info.item.crBkClr);
    cell->SetTextClr(info.item.crFgClr);
    cell->SetFont(&info.item.lfFont);
    cell->SetMargin(info.item.nMargin);
    cell->SetText(info.item.strText);
    cell->SetGrid(const_cast<CGridCore *>(this));
    return cell;
}

BOOL CGridCore::SetCell(int nRow, int nCol, std::unique_ptr<CGridCellBase> cell) {
    if (m_bVirtualMode || !IsValid(nRow, nCol) || cell == nullptr)
        return FALSE;
    cell->SetCoords(nRow, nCol);
    m_RowData[static_cast<std::size_t>(nRow)][static_cast<std::size_t>(nCol)] = std::move(cell);
    return TRUE;
}

BOOL CGridCore::SetCellType(int nRow, int nCol, const CGridCellClass *cellClass) {
    if (m_bVirtualMode || cellClass == nullptr || !IsValid(nRow, nCol))
        return FALSE;
    std::unique_ptr<CGridCellBase> cell = cellClass->CreateObject();
    if (cell == nullptr)
        return FALSE;
    if (CGridCellBase *old = GetCell(nRow, nCol))
        *cell = *old;
    return SetCell(nRow, nCol, std::move(cell));
}

CGridDefaultCell *CGridCore::GetDefaultCell(BOOL bFixedRow, BOOL bFixedCol) const {
    auto *self = const_cast<CGridCore *>(this);
    if (bFixedRow && bFixedCol)
        return &self->m_cellFixedRowColDef;
    if (bFixedRow)
        return &self->m_cellFixedRowDef;
    if (bFixedCol)
        return &self->m_cellFixedColDef;
    return &self->m_cellDefault;
}

// ---- Rows and columns

BOOL CGridCore::SetRowCount(int nRows) {
    if (nRows == m_nRows)
        return TRUE;
    if (nRows < 0)
        return FALSE;
    BOOL bResult = TRUE;
    if (nRows < m_nFixedRows)
        m_nFixedRows = nRows;
    if (m_idCurrentCell.row >= nRows)
        SetFocusCell(-1, -1);

    const int oldRows = m_nRows;
    if (nRows < oldRows) {
        if (!m_bVirtualMode) {
            for (int row = nRows; row < oldRows; ++row)
                for (int col = 0; col < m_nCols; ++col)
                    DestroyCell(row, col);
            m_RowData.resize(static_cast<std::size_t>(nRows));
        }
        m_arRowHeights.resize(static_cast<std::size_t>(nRows));
        m_nRows = nRows;
    } else {
        try {
            m_arRowHeights.resize(static_cast<std::size_t>(nRows), m_cellDefault.GetHeight());
            if (!m_bVirtualMode) {
                m_RowData.reserve(static_cast<std::size_t>(nRows));
                for (int row = oldRows; row < nRows; ++row) {
                    m_RowData.emplace_back(static_cast<std::size_t>(m_nCols));
                    m_nRows = row + 1;
                    for (int col = 0; col < m_nCols; ++col)
                        m_RowData.back()[static_cast<std::size_t>(col)] = CreateCell(row, col);
                }
            }
            m_nRows = nRows;
        } catch (const std::bad_alloc &) {
            ReportMemoryError();
            // Keep what was built.
            if (!m_bVirtualMode)
                m_nRows = static_cast<int>(m_RowData.size());
            m_arRowHeights.resize(static_cast<std::size_t>(m_nRows), m_cellDefault.GetHeight());
            bResult = FALSE;
        }
    }
    m_idTopLeftCell = CCellID();
    SetModified();
    ResetScrollBars();
    Refresh();
    return bResult;
}

BOOL CGridCore::SetColumnCount(int nCols) {
    if (nCols == m_nCols)
        return TRUE;
    if (nCols < 0)
        return FALSE;
    BOOL bResult = TRUE;
    if (nCols < m_nFixedCols)
        m_nFixedCols = nCols;
    if (m_idCurrentCell.col >= nCols)
        SetFocusCell(-1, -1);

    const int oldCols = m_nCols;
    if (nCols < oldCols) {
        if (!m_bVirtualMode) {
            for (int row = 0; row < m_nRows; ++row) {
                for (int col = nCols; col < oldCols; ++col)
                    DestroyCell(row, col);
                m_RowData[static_cast<std::size_t>(row)].resize(static_cast<std::size_t>(nCols));
            }
        }
        m_arColWidths.resize(static_cast<std::size_t>(nCols));
        m_nCols = nCols;
    } else {
        try {
            m_arColWidths.resize(static_cast<std::size_t>(nCols), m_cellDefault.GetWidth());
            if (!m_bVirtualMode) {
                for (int row = 0; row < m_nRows; ++row) {
                    auto &cells = m_RowData[static_cast<std::size_t>(row)];
                    cells.resize(static_cast<std::size_t>(nCols));
                    for (int col = oldCols; col < nCols; ++col)
                        cells[static_cast<std::size_t>(col)] = CreateCell(row, col);
                }
            }
            m_nCols = nCols;
        } catch (const std::bad_alloc &) {
            ReportMemoryError();
            // Cut every row back to the old width so that the table stays rectangular.
            if (!m_bVirtualMode)
                for (auto &cells : m_RowData)
                    cells.resize(static_cast<std::size_t>(oldCols));
            m_arColWidths.resize(static_cast<std::size_t>(oldCols));
            m_nCols = oldCols;
            bResult = FALSE;
        }
    }
    m_idTopLeftCell = CCellID();
    SetModified();
    ResetScrollBars();
    Refresh();
    return bResult;
}

BOOL CGridCore::SetFixedRowCount(int nFixedRows) {
    if (nFixedRows == m_nFixedRows)
        return TRUE;
    if (nFixedRows < 0)
        return FALSE;
    ResetSelectedRange();
    m_idTopLeftCell = CCellID();
    if (nFixedRows > GetRowCount() && !SetRowCount(nFixedRows))
        return FALSE;
    if (m_idCurrentCell.row < nFixedRows)
        SetFocusCell(-1, -1);

    SetCellsFixed(std::min(nFixedRows, m_nFixedRows), std::max(nFixedRows, m_nFixedRows), 0,
                  m_nCols, GVIS_FIXEDROW, nFixedRows > m_nFixedRows);
    m_nFixedRows = nFixedRows;
    Refresh();
    return TRUE;
}

BOOL CGridCore::SetFixedColumnCount(int nFixedCols) {
    if (nFixedCols == m_nFixedCols)
        return TRUE;
    if (nFixedCols < 0)
        return FALSE;
    ResetSelectedRange();
    m_idTopLeftCell = CCellID();
    if (nFixedCols > GetColumnCount() && !SetColumnCount(nFixedCols))
        return FALSE;
    if (m_idCurrentCell.col < nFixedCols)
        SetFocusCell(-1, -1);

    SetCellsFixed(0, m_nRows, std::min(nFixedCols, m_nFixedCols),
                  std::max(nFixedCols, m_nFixedCols), GVIS_FIXEDCOL, nFixedCols > m_nFixedCols);
    m_nFixedCols = nFixedCols;
    Refresh();
    return TRUE;
}

void CGridCore::SetCellsFixed(int row0, int row1, int col0, int col1, UINT side, bool fixed) {
    if (m_bVirtualMode)
        return;
    for (int row = row0; row < row1; ++row)
        for (int col = col0; col < col1; ++col) {
            CGridCellBase *cell = GetCell(row, col);
            if (cell == nullptr)
                continue;
            const bool fixedOtherSide =
                side == GVIS_FIXEDROW ? col < m_nFixedCols : row < m_nFixedRows;
            if (!fixed && fixedOtherSide) {
                cell->SetState(cell->GetState() & ~side);
                continue;
            }
            cell->SetState(fixed ? cell->GetState() | GVIS_FIXED | side
                                 : cell->GetState() & ~(GVIS_FIXED | side));
            cell->SetBackClr(CLR_DEFAULT);
            cell->SetTextClr(CLR_DEFAULT);
        }
}

int CGridCore::InsertColumn(const char *strHeading, UINT nFormat, int nColumn) {
    if (nColumn >= 0 && (nColumn < m_nFixedCols || nColumn > m_nCols))
        return -1;
    ResetSelectedRange();
    m_idTopLeftCell = CCellID();
    if (m_nRows < 1)
        SetRowCount(1);
    if (nColumn < 0)
        nColumn = m_nCols;

    try {
        m_arColWidths.insert(m_arColWidths.begin() + nColumn, 0);
        if (!m_bVirtualMode) {
            for (int row = 0; row < m_nRows; ++row) {
                auto &cells = m_RowData[static_cast<std::size_t>(row)];
                cells.insert(cells.begin() + nColumn, nullptr);
            }
        }
        m_nCols++;
        if (!m_bVirtualMode)
            for (int row = 0; row < m_nRows; ++row)
                m_RowData[static_cast<std::size_t>(row)][static_cast<std::size_t>(nColumn)] =
                    CreateCell(row, nColumn);
    } catch (const std::bad_alloc &) {
        ReportMemoryError();
        return -1;
    }

    SetItemText(0, nColumn, strHeading);
    for (int row = 0; row < m_nRows; ++row)
        SetItemFormat(row, nColumn, nFormat);
    m_arColWidths[static_cast<std::size_t>(nColumn)] = GetTextExtent(0, nColumn, strHeading).cx;
    if (m_idCurrentCell.col != -1 && nColumn <= m_idCurrentCell.col)
        m_idCurrentCell.col++;

    ResetScrollBars();
    SetModified();
    return nColumn;
}

int CGridCore::InsertRow(const char *strHeading, int nRow) {
    if (nRow >= 0 && (nRow < m_nFixedRows || nRow >= m_nRows))
        return -1;
    ResetSelectedRange();
    m_idTopLeftCell = CCellID();
    if (m_nCols < 1)
        SetColumnCount(1);
    if (nRow < 0)
        nRow = m_nRows;

    try {
        m_arRowHeights.insert(m_arRowHeights.begin() + nRow, 0);
        if (!m_bVirtualMode)
            m_RowData.insert(m_RowData.begin() + nRow, std::vector<std::unique_ptr<CGridCellBase>>(
                                                           static_cast<std::size_t>(m_nCols)));
        m_nRows++;
        if (!m_bVirtualMode)
            for (int col = 0; col < m_nCols; ++col)
                m_RowData[static_cast<std::size_t>(nRow)][static_cast<std::size_t>(col)] =
                    CreateCell(nRow, col);
    } catch (const std::bad_alloc &) {
        ReportMemoryError();
        return -1;
    }

    SetItemText(nRow, 0, strHeading);
    if (strHeading != nullptr && strHeading[0] != '\0')
        m_arRowHeights[static_cast<std::size_t>(nRow)] = GetTextExtent(nRow, 0, strHeading).cy;
    else
        m_arRowHeights[static_cast<std::size_t>(nRow)] = m_cellFixedRowDef.GetHeight();
    if (m_idCurrentCell.row != -1 && nRow <= m_idCurrentCell.row)
        m_idCurrentCell.row++;

    ResetScrollBars();
    SetModified();
    return nRow;
}

BOOL CGridCore::DeleteColumn(int nColumn) {
    if (nColumn < 0 || nColumn >= m_nCols)
        return FALSE;
    ResetSelectedRange();
    if (!m_bVirtualMode)
        for (int row = 0; row < m_nRows; ++row) {
            DestroyCell(row, nColumn);
            auto &cells = m_RowData[static_cast<std::size_t>(row)];
            cells.erase(cells.begin() + nColumn);
        }
    m_arColWidths.erase(m_arColWidths.begin() + nColumn);
    m_nCols--;
    if (nColumn < m_nFixedCols)
        m_nFixedCols--;
    if (nColumn == m_idCurrentCell.col)
        m_idCurrentCell = CCellID();
    else if (nColumn < m_idCurrentCell.col)
        m_idCurrentCell.col--;
    m_idTopLeftCell = CCellID();
    ResetScrollBars();
    SetModified();
    return TRUE;
}

BOOL CGridCore::DeleteRow(int nRow) {
    if (nRow < 0 || nRow >= m_nRows)
        return FALSE;
    ResetSelectedRange();
    if (!m_bVirtualMode) {
        for (int col = 0; col < m_nCols; ++col)
            DestroyCell(nRow, col);
        m_RowData.erase(m_RowData.begin() + nRow);
    }
    m_arRowHeights.erase(m_arRowHeights.begin() + nRow);
    m_nRows--;
    if (nRow < m_nFixedRows)
        m_nFixedRows--;
    if (nRow == m_idCurrentCell.row)
        m_idCurrentCell = CCellID();
    else if (nRow < m_idCurrentCell.row)
        m_idCurrentCell.row--;
    m_idTopLeftCell = CCellID();
    ResetScrollBars();
    SetModified();
    return TRUE;
}

BOOL CGridCore::DeleteNonFixedRows() {
    // One scroll-bar reset at the end instead of one per row.
    const BOOL allowDraw = m_bAllowDraw;
    m_bAllowDraw = FALSE;
    for (int row = m_nRows - 1; row >= m_nFixedRows; --row)
        DeleteRow(row);
    m_bAllowDraw = allowDraw;
    ResetScrollBars();
    Refresh();
    return TRUE;
}

BOOL CGridCore::DeleteAllItems() {
    ResetSelectedRange();
    m_arRowHeights.clear();
    m_arColWidths.clear();
    m_RowData.clear();
    m_idCurrentCell = CCellID();
    m_idTopLeftCell = CCellID();
    m_nRows = m_nFixedRows = m_nCols = m_nFixedCols = 0;
    ResetScrollBars();
    SetModified();
    return TRUE;
}

int CGridCore::GetRowHeight(int nRow) const {
    if (nRow < 0 || nRow >= m_nRows)
        return -1;
    return m_arRowHeights[static_cast<std::size_t>(nRow)];
}

int CGridCore::GetColumnWidth(int nCol) const {
    if (nCol < 0 || nCol >= m_nCols)
        return -1;
    return m_arColWidths[static_cast<std::size_t>(nCol)];
}

BOOL CGridCore::SetRowHeight(int nRow, int height) {
    if (nRow < 0 || nRow >= m_nRows || height < 0)
        return FALSE;
    m_arRowHeights[static_cast<std::size_t>(nRow)] = height;
    ResetScrollBars();
    return TRUE;
}

BOOL CGridCore::SetColumnWidth(int nCol, int width) {
    if (nCol < 0 || nCol >= m_nCols || width < 0)
        return FALSE;
    m_arColWidths[static_cast<std::size_t>(nCol)] = width;
    ResetScrollBars();
    return TRUE;
}

int CGridCore::GetFixedRowHeight() const {
    int height = 0;
    for (int row = 0; row < m_nFixedRows; ++row)
        height += GetRowHeight(row);
    return height;
}

int CGridCore::GetFixedColumnWidth() const {
    int width = 0;
    for (int col = 0; col < m_nFixedCols; ++col)
        width += GetColumnWidth(col);
    return width;
}

long CGridCore::GetVirtualWidth() const {
    long width = 0;
    for (int w : m_arColWidths)
        width += w;
    return width;
}

long CGridCore::GetVirtualHeight() const {
    long height = 0;
    for (int h : m_arRowHeights)
        height += h;
    return height;
}

// ---- Cells by row and column

BOOL CGridCore::SetItemText(int nRow, int nCol, const char *str) {
    return ChangeCell(*this, nRow, nCol, [&](CGridCellBase &cell) {
        cell.SetText(str);
        SetModified(TRUE, nRow, nCol);
    });
}

BOOL CGridCore::SetItemTextFmt(int nRow, int nCol, const char *szFmt, ...) {
    if (m_bVirtualMode || GetCell(nRow, nCol) == nullptr || szFmt == nullptr)
        return FALSE;
    CString text;
    va_list args;
    va_start(args, szFmt);
    text.FormatV(szFmt, args);
    va_end(args);
    return SetItemText(nRow, nCol, text);
}

CString CGridCore::GetItemText(int nRow, int nCol) const {
    return ReadCell(*this, nRow, nCol, CString(), &CGridCellBase::GetText);
}

BOOL CGridCore::SetItemData(int nRow, int nCol, LPARAM lParam) {
    return ChangeCell(*this, nRow, nCol, [&](CGridCellBase &cell) {
        cell.SetData(lParam);
        SetModified(TRUE, nRow, nCol);
    });
}

LPARAM CGridCore::GetItemData(int nRow, int nCol) const {
    return ReadCell(*this, nRow, nCol, LPARAM{0}, &CGridCellBase::GetData);
}

BOOL CGridCore::SetItemImage(int nRow, int nCol, int iImage) {
    return ChangeCell(*this, nRow, nCol, [&](CGridCellBase &cell) {
        cell.SetImage(iImage);
        SetModified(TRUE, nRow, nCol);
    });
}

int CGridCore::GetItemImage(int nRow, int nCol) const {
    return ReadCell(*this, nRow, nCol, -1, &CGridCellBase::GetImage);
}

BOOL CGridCore::SetItemState(int nRow, int nCol, UINT state) {
    return ChangeCell(*this, nRow, nCol, [&](CGridCellBase &cell) {
        const bool wasSelected = (cell.GetState() & GVIS_SELECTED) != 0;
        const bool selected = (state & GVIS_SELECTED) != 0;
        if (selected && !wasSelected)
            m_SelectedCellMap[SelectionKey(nRow, nCol)] = CCellID(nRow, nCol);
        else if (!selected && wasSelected)
            m_SelectedCellMap.erase(SelectionKey(nRow, nCol));
        cell.SetState(state);
    });
}

UINT CGridCore::GetItemState(int nRow, int nCol) const {
    return ReadCell(*this, nRow, nCol, UINT{0}, &CGridCellBase::GetState);
}

BOOL CGridCore::SetItemFormat(int nRow, int nCol, UINT nFormat) {
    return ChangeCell(*this, nRow, nCol, [&](CGridCellBase &cell) { cell.SetFormat(nFormat); });
}

UINT CGridCore::GetItemFormat(int nRow, int nCol) const {
    return ReadCell(*this, nRow, nCol, UINT{0}, &CGridCellBase::GetFormat);
}

BOOL CGridCore::SetItemBkColour(int nRow, int nCol, COLORREF cr) {
    return ChangeCell(*this, nRow, nCol, [&](CGridCellBase &cell) { cell.SetBackClr(cr); });
}

COLORREF CGridCore::GetItemBkColour(int nRow, int nCol) const {
    return ReadCell(*this, nRow, nCol, COLORREF{0}, &CGridCellBase::GetBackClr);
}

BOOL CGridCore::SetItemFgColour(int nRow, int nCol, COLORREF cr) {
    return ChangeCell(*this, nRow, nCol, [&](CGridCellBase &cell) { cell.SetTextClr(cr); });
}

COLORREF CGridCore::GetItemFgColour(int nRow, int nCol) const {
    return ReadCell(*this, nRow, nCol, COLORREF{0}, &CGridCellBase::GetTextClr);
}

BOOL CGridCore::SetItemFont(int nRow, int nCol, const LOGFONT *lf) {
    return ChangeCell(*this, nRow, nCol, [&](CGridCellBase &cell) { cell.SetFont(lf); });
}

const LOGFONT *CGridCore::GetItemFont(int nRow, int nCol) const {
    const CGridCellBase *cell = GetCell(nRow, nCol);
    return cell != nullptr ? cell->GetFont()
                           : GetDefaultCell(nRow < m_nFixedRows, nCol < m_nFixedCols)->GetFont();
}

BOOL CGridCore::IsItemEditing(int nRow, int nCol) const {
    const CGridCellBase *cell = GetCell(nRow, nCol);
    return cell != nullptr && cell->IsEditing();
}

BOOL CGridCore::SetItem(const GV_ITEM *pItem) {
    if (pItem == nullptr)
        return FALSE;
    return ChangeCell(*this, pItem->row, pItem->col, [&](CGridCellBase &cell) {
        SetModified(TRUE, pItem->row, pItem->col);
        if (pItem->mask & GVIF_TEXT)
            cell.SetText(pItem->strText);
        if (pItem->mask & GVIF_PARAM)
            cell.SetData(pItem->lParam);
        if (pItem->mask & GVIF_IMAGE)
            cell.SetImage(pItem->iImage);
        if (pItem->mask & GVIF_STATE)
            SetItemState(pItem->row, pItem->col, pItem->nState);
        if (pItem->mask & GVIF_FORMAT)
            cell.SetFormat(pItem->nFormat);
        if (pItem->mask & GVIF_BKCLR)
            cell.SetBackClr(pItem->crBkClr);
        if (pItem->mask & GVIF_FGCLR)
            cell.SetTextClr(pItem->crFgClr);
        if (pItem->mask & GVIF_FONT)
            cell.SetFont(&pItem->lfFont);
        if (pItem->mask & GVIF_MARGIN)
            cell.SetMargin(pItem->nMargin);
    });
}

BOOL CGridCore::GetItem(GV_ITEM *pItem) const {
    if (pItem == nullptr)
        return FALSE;
    const CGridCellBase *cell = GetCell(pItem->row, pItem->col);
    if (cell == nullptr)
        return FALSE;
    if (pItem->mask & GVIF_TEXT)
        pItem->strText = cell->GetText();
    if (pItem->mask & GVIF_PARAM)
        pItem->lParam = cell->GetData();
    if (pItem->mask & GVIF_IMAGE)
        pItem->iImage = cell->GetImage();
    if (pItem->mask & GVIF_STATE)
        pItem->nState = cell->GetState();
    if (pItem->mask & GVIF_FORMAT)
        pItem->nFormat = cell->GetFormat();
    if (pItem->mask & GVIF_BKCLR)
        pItem->crBkClr = cell->GetBackClr();
    if (pItem->mask & GVIF_FGCLR)
        pItem->crFgClr = cell->GetTextClr();
    if (pItem->mask & GVIF_FONT) {
        if (const LOGFONT *font = cell->GetFont())
            pItem->lfFont = *font;
    }
    if (pItem->mask & GVIF_MARGIN)
        pItem->nMargin = cell->GetMargin();
    return TRUE;
}

CSize CGridCore::GetCellTextExtent(int nRow, int nCol) {
    return GetTextExtent(nRow, nCol, GetItemText(nRow, nCol));
}

CSize CGridCore::GetTextExtent(int nRow, int nCol, const char *str) {
    CGridCellBase *cell = GetCell(nRow, nCol);
    return cell != nullptr ? cell->GetTextExtent(str) : CSize();
}

// ---- Appearance

void CGridCore::SetFixedTextColor(COLORREF clr) {
    m_cellFixedRowDef.SetTextClr(clr);
    m_cellFixedColDef.SetTextClr(clr);
    m_cellFixedRowColDef.SetTextClr(clr);
}

void CGridCore::SetFixedBkColor(COLORREF clr) {
    m_cellFixedRowDef.SetBackClr(clr);
    m_cellFixedColDef.SetBackClr(clr);
    m_cellFixedRowColDef.SetBackClr(clr);
}

void CGridCore::SetDefCellMargin(int nMargin) {
    for (CGridDefaultCell *cell : DefaultCells())
        cell->SetMargin(static_cast<UINT>(nMargin));
}

void CGridCore::SetDefCellWidth(int nWidth) {
    for (CGridDefaultCell *cell : DefaultCells())
        cell->SetWidth(nWidth);
}

void CGridCore::SetDefCellHeight(int nHeight) {
    for (CGridDefaultCell *cell : DefaultCells())
        cell->SetHeight(nHeight);
}

void CGridCore::SetGridLines(int nWhichLines) {
    m_nGridLines = nWhichLines;
    Refresh();
}

void CGridCore::SetFont(const LOGFONT &font) {
    for (CGridDefaultCell *cell : DefaultCells())
        cell->SetFont(&font);
    Refresh();
}

void CGridCore::SetRedraw(BOOL bAllowDraw, BOOL bResetScrollBars) {
    if (bAllowDraw && !m_bAllowDraw) {
        m_bAllowDraw = TRUE;
        Refresh();
    }
    m_bAllowDraw = bAllowDraw;
    if (bResetScrollBars)
        ResetScrollBars();
}

void CGridCore::Refresh() {
    if (m_bAllowDraw && HasWindow())
        InvalidateRect(nullptr);
}

// ---- Options

void CGridCore::SetListMode(BOOL bEnableListMode) {
    ResetSelectedRange();
    SetSortColumn(-1);
    m_bListMode = bEnableListMode;
    SetFixedRowSelection(FALSE);
    Refresh();
}

void CGridCore::EnableSelection(BOOL bEnable) {
    ResetSelectedRange();
    m_bEnableSelection = bEnable;
    ResetSelectedRange();
}

int CGridCore::SetMouseMode(int nMode) {
    const int previous = m_MouseMode;
    m_MouseMode = nMode;
    return previous;
}

void CGridCore::SetVirtualMode(BOOL bVirtual) {
    DeleteAllItems();
    m_bVirtualMode = bVirtual;
    if (m_bVirtualMode) {
        SetEditable(FALSE);
        SetHeaderSort(FALSE);
        SetFixedRowSelection(FALSE);
        SetFixedColumnSelection(FALSE);
        SetAutoSizeStyle(GVS_HEADER);
    }
}

void CGridCore::SetCallbackFunc(GRIDCALLBACK pCallback, LPARAM lParam) {
    m_pfnCallback = pCallback;
    m_lParam = lParam;
}

// ---- Queries

BOOL CGridCore::IsValid(int nRow, int nCol) const {
    return nRow >= 0 && nRow < m_nRows && nCol >= 0 && nCol < m_nCols;
}

BOOL CGridCore::IsValid(const CCellRange &range) const {
    return range.IsValid() && range.GetMaxRow() < m_nRows && range.GetMaxCol() < m_nCols;
}

BOOL CGridCore::IsCellFixed(int nRow, int nCol) const {
    return nRow < m_nFixedRows || nCol < m_nFixedCols;
}

BOOL CGridCore::IsCellEditable(int nRow, int nCol) const {
    return IsEditable() && (GetItemState(nRow, nCol) & GVIS_READONLY) == 0;
}

BOOL CGridCore::GetModified(int nRow, int nCol) const {
    if (nRow < 0 || nCol < 0)
        return m_bModified;
    return (GetItemState(nRow, nCol) & GVIS_MODIFIED) != 0;
}

void CGridCore::SetModified(BOOL bModified, int nRow, int nCol) {
    // A change may break the order of the sort column: its arrow goes.
    if (nCol < 0 || nCol == GetSortColumn())
        SetSortColumn(-1);

    if (nRow < 0 || nCol < 0) {
        m_bModified = bModified;
    } else if (!m_bVirtualMode) {
        if (CGridCellBase *cell = GetCell(nRow, nCol)) {
            if (bModified) {
                cell->SetState(cell->GetState() | GVIS_MODIFIED);
                m_bModified = TRUE;
            } else {
                cell->SetState(cell->GetState() & ~GVIS_MODIFIED);
            }
        }
    }

    if (!m_bModified && !m_bVirtualMode) {
        for (auto &cells : m_RowData)
            for (auto &cell : cells)
                if (cell != nullptr)
                    cell->SetState(cell->GetState() & ~GVIS_MODIFIED);
    }
}

namespace {

bool StateMatches(UINT state, bool selected, int nFlags) {
    return ((nFlags & GVNI_FOCUSED) && (state & GVIS_FOCUSED)) ||
           ((nFlags & GVNI_SELECTED) && selected) ||
           ((nFlags & GVNI_DROPHILITED) && (state & GVIS_DROPHILITED)) ||
           ((nFlags & GVNI_READONLY) && (state & GVIS_READONLY)) ||
           ((nFlags & GVNI_FIXED) && (state & GVIS_FIXED)) ||
           ((nFlags & GVNI_MODIFIED) && (state & GVIS_MODIFIED));
}

} // namespace

CCellID CGridCore::GetNextItem(const CCellID &cell, int nFlags) const {
    const auto matches = [&](int row, int col) {
        return StateMatches(GetItemState(row, col), IsCellSelected(row, col) != FALSE, nFlags);
    };

    if ((nFlags & GVNI_ALL) == GVNI_ALL || (nFlags & GVNI_AREA) == GVNI_AREA) {
        // The whole table from the cell on, or only the area below and right of it.
        const bool all = (nFlags & GVNI_ALL) == GVNI_ALL;
        int row = cell.row;
        int col = cell.col + 1;
        if (row <= 0)
            row = m_nFixedRows;
        for (; row < m_nRows; ++row) {
            if (col <= 0)
                col = m_nFixedCols;
            for (; col < m_nCols; ++col)
                if (matches(row, col))
                    return CCellID(row, col);
            col = all ? m_nFixedCols : cell.col;
        }
        return CCellID();
    }
    if (nFlags & GVNI_ABOVE) {
        for (int row = cell.row - 1; row >= m_nFixedRows; --row)
            if (matches(row, cell.col))
                return CCellID(row, cell.col);
    } else if (nFlags & GVNI_BELOW) {
        for (int row = cell.row + 1; row < m_nRows; ++row)
            if (matches(row, cell.col))
                return CCellID(row, cell.col);
    } else if (nFlags & GVNI_TOLEFT) {
        for (int col = cell.col - 1; col >= m_nFixedCols; --col)
            if (matches(cell.row, col))
                return CCellID(cell.row, col);
    } else if (nFlags & GVNI_TORIGHT) {
        for (int col = cell.col + 1; col < m_nCols; ++col)
            if (matches(cell.row, col))
                return CCellID(cell.row, col);
    }
    return CCellID();
}

CCellRange CGridCore::GetCellRange() const { return CCellRange(0, 0, m_nRows - 1, m_nCols - 1); }

// ---- Notifications

IGridNotifyTarget *CGridCore::GetNotifyTarget() const {
    return m_pOwner != nullptr ? m_pOwner : GetParentTarget();
}

LRESULT CGridCore::NotifyParent(NMHDR &hdr, int code) const {
    if (!HasWindow())
        return 0;
    IGridNotifyTarget *target = GetNotifyTarget();
    if (target == nullptr)
        return 0;
    hdr.hwndFrom = const_cast<CGridCore *>(this);
    hdr.idFrom = m_nCtrlID;
    hdr.code = code;
    return target->OnGridNotify(&hdr);
}

LRESULT CGridCore::SendMessageToParent(int nRow, int nCol, int nMessage) const {
    GridNotifyRecord record;
    record.iRow = nRow;
    record.iColumn = nCol;
    return NotifyParent(record.hdr, nMessage);
}

LRESULT CGridCore::SendDisplayRequestToParent(GV_DISPINFO *pDisplayInfo) const {
    if (pDisplayInfo == nullptr)
        return 0;
    return NotifyParent(pDisplayInfo->hdr, GVN_GETDISPINFO);
}

LRESULT CGridCore::SendCacheHintToParent(const CCellRange &range) const {
    GV_CACHEHINT hint;
    hint.minRow = range.GetMinRow();
    hint.minCol = range.GetMinCol();
    hint.maxRow = range.GetMaxRow();
    hint.maxCol = range.GetMaxCol();
    return NotifyParent(hint.hdr, GVN_ODCACHEHINT);
}

void CGridCore::SetSortColumn(int nCol) {
    if (m_nSortColumn >= 0)
        InvalidateCellRect(0, m_nSortColumn);
    m_nSortColumn = nCol;
    if (nCol >= 0)
        InvalidateCellRect(0, nCol);
}
