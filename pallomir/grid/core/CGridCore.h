#pragma once

#include "pallomir/grid/core/CCellRange.h"
#include "pallomir/grid/core/CDC.h"
#include "pallomir/grid/core/CGridDefaultCell.h"
#include "pallomir/grid/core/CImageList.h"
#include "pallomir/grid/core/CPrintInfo.h"
#include "pallomir/grid/core/GridNotify.h"

#include <array>
#include <cstdarg>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

class CGridEditWnd;

// The grid control without its window: the table of cells with fixed rows at the top and fixed
// columns at the left, row heights and column widths, four default cells, the selection and
// the focus cell, virtual mode, geometry and scrolling, drawing and printing through a CDC,
// mouse and keyboard handling, sorting, clipboard text and delimited text files.
//
// A window derives from it and supplies the services at the end (client area, repainting,
// scroll bars, cursor, timers, the in-place editor, the title tip). All rectangles have
// exclusive right and bottom edges; positions are client pixels.
class CGridCore {
  public:
    enum MouseMode {
        MOUSE_NOTHING = 0,
        MOUSE_SELECT_ALL = 1,
        MOUSE_SELECT_COL = 2,
        MOUSE_SELECT_ROW = 3,
        MOUSE_SELECT_CELLS = 4,
        MOUSE_OVER_ROW_DIVIDE = 6,
        MOUSE_SIZING_ROW = 7,
        MOUSE_OVER_COL_DIVIDE = 8,
        MOUSE_SIZING_COL = 9,
        MOUSE_PREPARE_EDIT = 10,
        MOUSE_PREPARE_DRAG = 11,
        MOUSE_DRAGGING = 12,
    };
    // The auto-scroll timer.
    static constexpr UINT WM_LBUTTONDOWN_TIMER = 513;

    CGridCore(IGridTextMeasurer &measurer, int nRows = 0, int nCols = 0, int nFixedRows = 0,
              int nFixedCols = 0);
    virtual ~CGridCore();
    CGridCore(const CGridCore &) = delete;
    CGridCore &operator=(const CGridCore &) = delete;

    IGridTextMeasurer &GetMeasurer() const { return m_measurer; }

    // ---- Set-up

    void SetDlgCtrlID(UINT id) { m_nCtrlID = id; }
    UINT GetDlgCtrlID() const { return m_nCtrlID; }
    // Notifications go to the owner, or without one to the window's parent.
    void SetOwner(IGridNotifyTarget *owner) { m_pOwner = owner; }
    IGridNotifyTarget *GetOwner() const { return m_pOwner; }

    // Null is refused.
    BOOL SetDefaultCellType(const CGridCellClass *cellClass);
    // Replaces one cell by a new one of that class holding the old cell's attributes.
    BOOL SetCellType(int nRow, int nCol, const CGridCellClass *cellClass);
    virtual std::unique_ptr<CGridCellBase> CreateCell(int nRow, int nCol);
    virtual void DestroyCell(int nRow, int nCol);
    // Null out of range. In virtual mode the grid's one display cell, filled for that cell
    // and valid until the next call.
    CGridCellBase *GetCell(int nRow, int nCol) const;
    // Takes the cell; FALSE (and the cell deleted) in virtual mode or out of range.
    BOOL SetCell(int nRow, int nCol, std::unique_ptr<CGridCellBase> cell);
    CGridDefaultCell *GetDefaultCell(BOOL bFixedRow, BOOL bFixedCol) const;

    // ---- Rows and columns

    int GetRowCount() const { return m_nRows; }
    int GetColumnCount() const { return m_nCols; }
    int GetFixedRowCount() const { return m_nFixedRows; }
    int GetFixedColumnCount() const { return m_nFixedCols; }
    BOOL SetRowCount(int nRows = 10);
    BOOL SetColumnCount(int nCols = 10);
    BOOL SetFixedRowCount(int nFixedRows = 1);
    BOOL SetFixedColumnCount(int nFixedCols = 1);
    // -1 when the position is inside the fixed columns or beyond the end; the column count
    // appends.
    int InsertColumn(const char *strHeading, UINT nFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE,
                     int nColumn = -1);
    // -1 when the position is inside the fixed rows or not below the row count; -1 appends.
    int InsertRow(const char *strHeading, int nRow = -1);
    BOOL DeleteColumn(int nColumn);
    BOOL DeleteRow(int nRow);
    BOOL DeleteNonFixedRows();
    BOOL DeleteAllItems();

    // -1 out of range; 0 for a hidden row or column.
    int GetRowHeight(int nRow) const;
    int GetColumnWidth(int nCol) const;
    BOOL SetRowHeight(int row, int height);
    BOOL SetColumnWidth(int col, int width);
    int GetFixedRowHeight() const;
    int GetFixedColumnWidth() const;
    long GetVirtualWidth() const;
    long GetVirtualHeight() const;

    // ---- Cells by row and column (setters answer FALSE in virtual mode or without a cell)

    BOOL SetItemText(int nRow, int nCol, const char *str);
    BOOL SetItemTextFmt(int nRow, int nCol, const char *szFmt, ...)
        __attribute__((format(printf, 4, 5)));
    CString GetItemText(int nRow, int nCol) const;
    BOOL SetItemData(int nRow, int nCol, LPARAM lParam);
    LPARAM GetItemData(int nRow, int nCol) const;
    BOOL SetItemImage(int nRow, int nCol, int iImage);
    int GetItemImage(int nRow, int nCol) const;
    // Keeps the selection in step with the selected bit; FALSE in virtual mode.
    BOOL SetItemState(int nRow, int nCol, UINT state);
    UINT GetItemState(int nRow, int nCol) const;
    BOOL SetItemFormat(int nRow, int nCol, UINT nFormat);
    UINT GetItemFormat(int nRow, int nCol) const;
    BOOL SetItemBkColour(int nRow, int nCol, COLORREF cr = CLR_DEFAULT);
    COLORREF GetItemBkColour(int nRow, int nCol) const;
    BOOL SetItemFgColour(int nRow, int nCol, COLORREF cr = CLR_DEFAULT);
    COLORREF GetItemFgColour(int nRow, int nCol) const;
    BOOL SetItemFont(int nRow, int nCol, const LOGFONT *lf);
    const LOGFONT *GetItemFont(int nRow, int nCol) const;
    BOOL IsItemEditing(int nRow, int nCol) const;
    BOOL SetItem(const GV_ITEM *pItem);
    BOOL GetItem(GV_ITEM *pItem) const;
    CSize GetCellTextExtent(int nRow, int nCol);
    CSize GetTextExtent(int nRow, int nCol, const char *str);

    // ---- Appearance

    void SetBkColor(COLORREF clr) { m_crGridBkColour = clr; }
    COLORREF GetBkColor() const { return m_crGridBkColour; }
    void SetGridBkColor(COLORREF clr) { m_crGridBkColour = clr; }
    COLORREF GetGridBkColor() const { return m_crGridBkColour; }
    void SetGridColor(COLORREF clr) { m_crGridLineColour = clr; }
    COLORREF GetGridColor() const { return m_crGridLineColour; }
    void SetGridLineColor(COLORREF clr) { m_crGridLineColour = clr; }
    COLORREF GetGridLineColor() const { return m_crGridLineColour; }
    void SetTextColor(COLORREF clr) { m_cellDefault.SetTextClr(clr); }
    COLORREF GetTextColor() const { return m_cellDefault.GetTextClr(); }
    void SetTextBkColor(COLORREF clr) { m_cellDefault.SetBackClr(clr); }
    COLORREF GetTextBkColor() const { return m_cellDefault.GetBackClr(); }
    void SetFixedTextColor(COLORREF clr);
    COLORREF GetFixedTextColor() const { return m_cellFixedRowDef.GetTextClr(); }
    void SetFixedBkColor(COLORREF clr);
    COLORREF GetFixedBkColor() const { return m_cellFixedRowDef.GetBackClr(); }
    void SetTitleTipBackClr(COLORREF clr = CLR_DEFAULT) { m_crTTipBackClr = clr; }
    COLORREF GetTitleTipBackClr() const { return m_crTTipBackClr; }
    void SetTitleTipTextClr(COLORREF clr = CLR_DEFAULT) { m_crTTipTextClr = clr; }
    COLORREF GetTitleTipTextClr() const { return m_crTTipTextClr; }
    void SetDefCellMargin(int nMargin);
    int GetDefCellMargin() const { return static_cast<int>(m_cellDefault.GetMargin()); }
    void SetDefCellWidth(int nWidth);
    int GetDefCellWidth() const { return m_cellDefault.GetWidth(); }
    void SetDefCellHeight(int nHeight);
    int GetDefCellHeight() const { return m_cellDefault.GetHeight(); }
    void SetGridLines(int nWhichLines = GVL_BOTH);
    int GetGridLines() const { return m_nGridLines; }
    // The list is not owned.
    void SetImageList(CImageList *pList) { m_pImageList = pList; }
    CImageList *GetImageList() const { return m_pImageList; }
    // Copies the font into the four default cells (the window's font).
    void SetFont(const LOGFONT &font);
    const LOGFONT *GetFont() const { return m_cellDefault.GetFont(); }

    void SetRedraw(BOOL bAllowDraw, BOOL bResetScrollBars = FALSE);
    void Refresh();

    // ---- Options

    void SetEditable(BOOL bEditable = TRUE) { m_bEditable = bEditable; }
    BOOL IsEditable() const { return m_bEditable; }
    void SetListMode(BOOL bEnableListMode = TRUE);
    BOOL GetListMode() const { return m_bListMode; }
    void SetSingleRowSelection(BOOL bSing = TRUE) { m_bSingleRowSelection = bSing; }
    BOOL GetSingleRowSelection() const { return m_bSingleRowSelection && m_bListMode; }
    void SetSingleColSelection(BOOL bSing = TRUE) { m_bSingleColSelection = bSing; }
    BOOL GetSingleColSelection() const { return m_bSingleColSelection; }
    void EnableSelection(BOOL bEnable = TRUE);
    BOOL IsSelectable() const { return m_bEnableSelection; }
    void SetFixedRowSelection(BOOL bSelect) { m_bFixedRowSelection = bSelect; }
    BOOL GetFixedRowSelection() const { return m_bFixedRowSelection; }
    void SetFixedColumnSelection(BOOL bSelect) { m_bFixedColumnSelection = bSelect; }
    BOOL GetFixedColumnSelection() const { return m_bFixedColumnSelection; }
    void EnableDragAndDrop(BOOL bAllow = TRUE) { m_bAllowDragAndDrop = bAllow; }
    BOOL GetDragAndDrop() const { return m_bAllowDragAndDrop; }
    void SetRowResize(BOOL bResize = TRUE) { m_bAllowRowResize = bResize; }
    BOOL GetRowResize() const { return m_bAllowRowResize; }
    void SetColumnResize(BOOL bResize = TRUE) { m_bAllowColumnResize = bResize; }
    BOOL GetColumnResize() const { return m_bAllowColumnResize; }
    void SetHeaderSort(BOOL bSortOnClick = TRUE) { m_bSortOnClick = bSortOnClick; }
    BOOL GetHeaderSort() const { return m_bSortOnClick; }
    void SetHandleTabKey(BOOL bHandleTab = TRUE) { m_bHandleTabKey = bHandleTab; }
    BOOL GetHandleTabKey() const { return m_bHandleTabKey; }
    void SetDoubleBuffering(BOOL bBuffer = TRUE) { m_bDoubleBuffer = bBuffer; }
    BOOL GetDoubleBuffering() const { return m_bDoubleBuffer; }
    void EnableTitleTips(BOOL bEnable = TRUE) { m_bTitleTips = bEnable; }
    BOOL GetTitleTips() const { return m_bTitleTips; }
    void SetTrackFocusCell(BOOL bTrack) { m_bTrackFocusCell = bTrack; }
    BOOL GetTrackFocusCell() const { return m_bTrackFocusCell; }
    void SetFrameFocusCell(BOOL bFrame) { m_bFrameFocus = bFrame; }
    BOOL GetFrameFocusCell() const { return m_bFrameFocus; }
    void SetAutoSizeStyle(int nStyle = GVS_BOTH) { m_nAutoSizeColumnStyle = nStyle; }
    int GetAutoSizeStyle() const { return m_nAutoSizeColumnStyle; }
    void EnableHiddenColUnhide(BOOL bEnable = TRUE) { m_bHiddenColUnhide = bEnable; }
    BOOL GetHiddenColUnhide() const { return m_bHiddenColUnhide; }
    void EnableHiddenRowUnhide(BOOL bEnable = TRUE) { m_bHiddenRowUnhide = bEnable; }
    BOOL GetHiddenRowUnhide() const { return m_bHiddenRowUnhide; }
    void EnableColumnHide(BOOL bEnable = TRUE) { m_bAllowColHide = bEnable; }
    BOOL GetColumnHide() const { return m_bAllowColHide; }
    void EnableRowHide(BOOL bEnable = TRUE) { m_bAllowRowHide = bEnable; }
    BOOL GetRowHide() const { return m_bAllowRowHide; }
    void EnableWysiwygPrinting(BOOL bEnable = TRUE) { m_bWysiwygPrinting = bEnable; }
    BOOL GetWysiwygPrinting() const { return m_bWysiwygPrinting; }
    void SetShadedPrintOut(BOOL bEnable = TRUE) { m_bShadedPrintOut = bEnable; }
    BOOL GetShadedPrintOut() const { return m_bShadedPrintOut; }
    // Answers the previous mode.
    int SetMouseMode(int nMode);
    int GetMouseMode() const { return m_MouseMode; }
    BOOL IsVisibleVScroll() const { return (m_nBarState & 2) != 0; }
    BOOL IsVisibleHScroll() const { return (m_nBarState & 1) != 0; }
    void SetVirtualMode(BOOL bVirtual);
    BOOL GetVirtualMode() const { return m_bVirtualMode; }
    void SetCallbackFunc(GRIDCALLBACK pCallback, LPARAM lParam);
    GRIDCALLBACK GetCallbackFunc() const { return m_pfnCallback; }

    // ---- Queries

    BOOL IsValid(int nRow, int nCol) const;
    BOOL IsValid(const CCellID &cell) const { return IsValid(cell.row, cell.col); }
    BOOL IsValid(const CCellRange &range) const;
    BOOL IsCellFixed(int nRow, int nCol) const;
    BOOL IsCellEditable(int nRow, int nCol) const;
    BOOL IsCellEditable(const CCellID &cell) const { return IsCellEditable(cell.row, cell.col); }
    // A negative row or column asks for the grid's flag.
    BOOL GetModified(int nRow = -1, int nCol = -1) const;
    void SetModified(BOOL bModified = TRUE, int nRow = -1, int nCol = -1);
    CCellID GetNextItem(const CCellID &cell, int nFlags) const;
    CCellRange GetCellRange() const;

    // ---- Notifications (0 when the window does not exist or nobody hears)

    LRESULT SendMessageToParent(int nRow, int nCol, int nMessage) const;
    LRESULT SendDisplayRequestToParent(GV_DISPINFO *pDisplayInfo) const;
    LRESULT SendCacheHintToParent(const CCellRange &range) const;

    // ---- Geometry

    BOOL GetCellOrigin(int nRow, int nCol, CPoint *p);
    BOOL GetCellOrigin(const CCellID &cell, CPoint *p) {
        return GetCellOrigin(cell.row, cell.col, p);
    }
    BOOL GetCellRect(int nRow, int nCol, CRect *pRect);
    BOOL GetCellRect(const CCellID &cell, CRect *pRect) {
        return GetCellRect(cell.row, cell.col, pRect);
    }
    BOOL GetCellRangeRect(const CCellRange &cellRange, CRect *lpRect);
    BOOL GetTextRect(int nRow, int nCol, CRect *pRect);
    BOOL GetTextRect(const CCellID &cell, CRect *pRect) {
        return GetTextRect(cell.row, cell.col, pRect);
    }
    CCellID GetCellFromPt(CPoint point, BOOL bAllowFixedCellCheck = TRUE);
    CCellID GetTopleftNonFixedCell(BOOL bForceRecalculation = FALSE);
    CCellRange GetVisibleNonFixedCellRange(CRect *pRect = nullptr,
                                           BOOL bForceRecalculation = FALSE);
    CCellRange GetUnobstructedNonFixedCellRange(BOOL bForceRecalculation = FALSE);
    BOOL IsCellVisible(int nRow, int nCol);
    BOOL IsCellVisible(const CCellID &cell) { return IsCellVisible(cell.row, cell.col); }
    void EnsureVisible(int nRow, int nCol);
    void EnsureVisible(const CCellID &cell) { EnsureVisible(cell.row, cell.col); }
    // The point relative to the cell's origin; (0, 0) when the cell is not shown.
    CPoint GetPointClicked(int nRow, int nCol, const CPoint &point);

    // ---- Sizing

    BOOL AutoSizeColumn(int nCol, UINT nAutoSizeStyle = GVS_DEFAULT, BOOL bResetScroll = TRUE);
    BOOL AutoSizeRow(int nRow, BOOL bResetScroll = TRUE);
    void AutoSizeColumns(UINT nAutoSizeStyle = GVS_DEFAULT);
    void AutoSizeRows();
    void AutoSize(UINT nAutoSizeStyle = GVS_DEFAULT);
    void ExpandColumnsToFit(BOOL bExpandFixed = TRUE);
    void ExpandLastColumn();
    void ExpandRowsToFit(BOOL bExpandFixed = TRUE);
    void ExpandToFit(BOOL bExpandFixed = TRUE);
    void AutoFill();

    // ---- Scroll bars

    void ResetScrollBars();
    void EnableScrollBars(int nBar, BOOL bEnable = TRUE);
    int GetScrollPos32(int nBar, BOOL bGetTrackPos = FALSE) const;
    // Clamped to the bar's range; clears the cached top-left cell.
    BOOL SetScrollPos32(int nBar, int nPos, BOOL bRedraw = TRUE);
    // The largest position of a bar: its range less its page.
    int GetScrollLimit(int nBar) const;

    // ---- Painting

    virtual void OnDraw(CDC *pDC);
    void EraseBkgnd(CDC *pDC);
    BOOL RedrawCell(int nRow, int nCol, CDC *pDC = nullptr);
    BOOL RedrawCell(const CCellID &cell, CDC *pDC = nullptr) {
        return RedrawCell(cell.row, cell.col, pDC);
    }
    BOOL RedrawRow(int row);
    BOOL RedrawColumn(int col);
    BOOL InvalidateCellRect(int row, int col);
    BOOL InvalidateCellRect(const CCellID &cell) { return InvalidateCellRect(cell.row, cell.col); }
    BOOL InvalidateCellRect(const CCellRange &cellRange);

    // ---- Selection and focus

    CCellID SetFocusCell(CCellID cell);
    CCellID SetFocusCell(int nRow, int nCol) { return SetFocusCell(CCellID(nRow, nCol)); }
    CCellID GetFocusCell() const { return m_idCurrentCell; }
    void SetSelectedRange(const CCellRange &Range, BOOL bForceRepaint = FALSE,
                          BOOL bSelectCells = TRUE);
    void SetSelectedRange(int nMinRow, int nMinCol, int nMaxRow, int nMaxCol,
                          BOOL bForceRepaint = FALSE, BOOL bSelectCells = TRUE);
    // The bounding range of the selection; (rows, columns, -1, -1) when nothing is selected.
    CCellRange GetSelectedCellRange() const;
    int GetSelectedCount() const { return static_cast<int>(m_SelectedCellMap.size()); }
    BOOL IsCellSelected(int nRow, int nCol) const;
    BOOL IsCellSelected(const CCellID &cell) const { return IsCellSelected(cell.row, cell.col); }
    void SelectAllCells();
    void SelectColumns(CCellID currentCell, BOOL bForceRedraw = FALSE, BOOL bSelectCells = TRUE);
    void SelectRows(CCellID currentCell, BOOL bForceRedraw = FALSE, BOOL bSelectCells = TRUE);
    void SelectCells(CCellID currentCell, BOOL bForceRedraw = FALSE, BOOL bSelectCells = TRUE);
    void OnSelecting(const CCellID &currentCell);
    void ResetSelectedRange();

    // ---- Editing

    virtual void OnEditCell(int nRow, int nCol, CPoint point, UINT nChar);
    virtual void OnEndEditCell(int nRow, int nCol, CString str);
    virtual BOOL ValidateEdit(int nRow, int nCol, const char *str);
    virtual void EndEditing();
    BOOL ValidateAndModifyCellContents(int nRow, int nCol, const char *strText);
    // The in-place editor's end: tells the grid the text and the key that ended it, then
    // closes the editor. Guarded against re-entry per grid.
    void EndInPlaceEdit(CGridEditWnd *pEdit, int nRow, int nCol, UINT nLastChar);
    // True while an in-place editor's end is being handled.
    bool IsEndingInPlaceEdit() const { return m_bEndingInPlaceEdit; }
    // The grid's answer to the editor's end-of-edit record.
    LRESULT OnEndInPlaceEdit(GV_DISPINFO *pDispInfo);

    virtual void OnFixedRowClick(CCellID &cell);
    virtual void OnFixedColumnClick(CCellID &cell);

    // ---- Mouse, keyboard and window events (client pixels; MK_* flags)

    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnLButtonDblClk(UINT nFlags, CPoint point);
    void OnRButtonDown(UINT nFlags, CPoint point);
    void OnRButtonUp(UINT nFlags, CPoint point);
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnTimer(UINT nIDEvent);
    // The mouse capture went to another window.
    void OnCaptureChanged();
    // Shows the cursor for a point of the client area.
    void OnSetCursor(CPoint point);
    // Answers FALSE when the key is left to default handling.
    BOOL OnKeyDown(UINT nChar, UINT nRepCnt = 1, UINT nFlags = 0);
    void OnChar(UINT nChar, UINT nRepCnt = 1, UINT nFlags = 0);
    void OnImeChar(UINT nChar);
    void OnHScroll(UINT nSBCode, UINT nPos);
    void OnVScroll(UINT nSBCode, UINT nPos);
    BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
    void OnSize();
    // The system's settings changed: the colours and the wheel scroll lines are read again.
    void OnSettingChange();
    void OnSysColorChange();
    // Lines one wheel notch scrolls (-1 scrolls a page).
    void SetWheelScrollLines(int lines) { m_nRowsPerWheelNotch = lines; }
    int GetWheelScrollLines() const { return m_nRowsPerWheelNotch; }

    // ---- Printing

    void SetPrintMarginInfo(int nHeaderHeight, int nFooterHeight, int nLeftMargin, int nRightMargin,
                            int nTopMargin, int nBottomMargin, int nGap);
    void GetPrintMarginInfo(int &nHeaderHeight, int &nFooterHeight, int &nLeftMargin,
                            int &nRightMargin, int &nTopMargin, int &nBottomMargin,
                            int &nGap) const;
    virtual void OnBeginPrinting(CDC *pDC, CPrintInfo *pInfo);
    virtual void OnPrint(CDC *pDC, CPrintInfo *pInfo);
    virtual void OnEndPrinting(CDC *pDC, CPrintInfo *pInfo);
    virtual void PrintFixedRowCells(int nStartColumn, int nStopColumn, int &row, CRect &rect,
                                    CDC *pDC, BOOL &bFirst);
    virtual void PrintColumnHeadings(CDC *pDC, CPrintInfo *pInfo);
    virtual void PrintHeader(CDC *pDC, CPrintInfo *pInfo);
    virtual void PrintFooter(CDC *pDC, CPrintInfo *pInfo);
    virtual void PrintRowButtons(CDC *pDC, CPrintInfo *pInfo);

    // ---- Sorting

    void SetSortColumn(int nCol);
    int GetSortColumn() const { return m_nSortColumn; }
    void SetSortAscending(BOOL bAscending) { m_bAscending = bAscending; }
    BOOL GetSortAscending() const { return m_bAscending; }
    void SetCompareFunction(PFNLVCOMPARE pfnCompare) { m_pfnCompare = pfnCompare; }
    BOOL SortTextItems(int nCol, BOOL bAscending, LPARAM data = 0);
    BOOL SortItems(int nCol, BOOL bAscending, LPARAM data = 0);
    BOOL SortItems(PFNLVCOMPARE pfnCompare, int nCol, BOOL bAscending, LPARAM data = 0);
    BOOL SortItems(PFNLVCOMPARE pfnCompare, int nCol, BOOL bAscending, LPARAM data, int low,
                   int high);
    static int pfnCellTextCompare(LPARAM lParam1, LPARAM lParam2, LPARAM lParamSort);
    static int pfnCellNumericCompare(LPARAM lParam1, LPARAM lParam2, LPARAM lParamSort);

    // ---- Clipboard text and drag and drop

    // The selection as clipboard text: tabs between columns, line feeds between rows, visible
    // rows and columns of the bounding range only; empty without a valid selection.
    CString GetSelectedText();
    virtual void CutSelectedText();
    // Pastes clipboard text at the cell: lines into rows, fields into columns. FALSE unless the
    // cell is valid and editable.
    virtual BOOL PasteTextToGrid(CCellID cell, const CString &text, BOOL bSelectPastedCells = TRUE);
    void ClearCells(CCellRange Selection);
    // Where a paste goes: the selection's top-left, the focus cell or the top-left non-fixed
    // cell; invalid when none is.
    CCellID GetPasteTarget();
    virtual void OnEditSelectAll();
    // The clipboard commands, which need the window's clipboard.
    virtual void OnEditCopy() = 0;
    virtual void OnEditCut() = 0;
    virtual void OnEditPaste() = 0;
    // Drags the selected text (when drag and drop is on): -109, the drag, and the dragged
    // cells emptied when the text was moved.
    virtual void OnBeginDrag();
    // Drag and drop over the grid: textOffered says whether the data holds text. A drag of
    // text is taken in wherever it enters while drag and drop is on (else the window would
    // hear no more of it); each move then decides by the cell under the point, which is
    // highlighted when it would take the drop.
    DROPEFFECT OnDragEnter(bool textOffered, DWORD dwKeyState, CPoint point);
    DROPEFFECT OnDragOver(bool textOffered, DWORD dwKeyState, CPoint point);
    void OnDragLeave();
    BOOL OnDrop(const CString *text, DROPEFFECT dropEffect, CPoint point);
    // The drag effect by the keys held: copy with Ctrl, else move.
    static DROPEFFECT DragEffect(DWORD dwKeyState);

    // ---- Delimited text files

    // Every row on a line, cells separated by the delimiter; a field holding the delimiter or
    // starting with a quote is quoted. FALSE (and a message box) when the file cannot be
    // written, or when a cell holds a line break or a Ctrl-Z, which no line can carry (the
    // file is then not touched).
    BOOL Save(const char *filename, char chSeparator = ',');
    // Replaces the contents: the first line gives the column headings, each further line a
    // row whose first field is the row heading. FALSE in virtual mode or when the file cannot
    // be read.
    BOOL Load(const char *filename, char chSeparator = ',');
    // Splits one line of a saved file into its fields; a quoted field may hold the delimiter
    // and doubled quotes. A quote still open at the line's end ends the field there.
    static void SplitDelimitedLine(const CString &line, char chSeparator,
                                   std::vector<CString> &fields);
    // A cell's text as a field of a saved file.
    static CString QuoteField(const CString &text, char chSeparator);

  protected:
    // ---- Window services, supplied by the window

    virtual bool IsWindowCreated() const = 0;
    // The client area: without the scroll bars shown.
    virtual CRect GetClientRect() const = 0;
    // Thickness of the vertical (SB_VERT) or horizontal bar.
    virtual int GetScrollBarThickness(int nBar) const = 0;
    // Null invalidates the whole client area.
    virtual void InvalidateRect(const CRect *rect) = 0;
    // The scroll state (visibility, range, page, position) changed.
    virtual void UpdateScrollBars() = 0;
    virtual void SetGridCursor(GridCursor cursor) = 0;
    virtual void SetCapture() = 0;
    virtual void ReleaseCapture() = 0;
    // The pointer in client coordinates.
    virtual CPoint GetCursorPos() const = 0;
    virtual void SetTimer(UINT nIDEvent, UINT nElapse) = 0;
    virtual void KillTimer(UINT nIDEvent) = 0;
    // True while the key (VK_SHIFT, VK_CONTROL) is held.
    virtual bool IsKeyDown(UINT vk) const = 0;
    virtual void SetFocus() = 0;
    // The lines one wheel notch scrolls as the system sets it (-1 a page).
    virtual int GetSystemWheelScrollLines() const { return 3; }
    // The wait cursor while a long operation runs.
    virtual void BeginWaitCursor() {}
    virtual void EndWaitCursor() {}
    // Makes an in-place editor over the rectangle; null when none can be made.
    virtual CGridEditWnd *CreateInPlaceEdit(const CRect &rect, DWORD dwStyle, UINT nID, int nRow,
                                            int nCol, const CString &text, UINT nFirstChar) = 0;
    virtual void ShowTitleTip(const CRect &rectTitle, const CString &text, int xOffset,
                              const CRect &hoverRect, const LOGFONT *font, COLORREF textClr,
                              COLORREF backClr) = 0;
    virtual void HideTitleTip() = 0;
    // Posts the control's command (notification code 0) to the owner.
    virtual void PostCommandToOwner() = 0;
    // The parent window's notification target; null when it has none.
    virtual IGridNotifyTarget *GetParentTarget() const { return nullptr; }
    // Who hears the grid: the owner or, without one, the parent.
    IGridNotifyTarget *GetNotifyTarget() const;
    // The text of the nearest ancestor with a title, and the application's title.
    virtual CString GetDocumentTitle() const { return CString(); }
    virtual CString GetApplicationTitle() const { return CString(); }
    // Runs a drag of the text and answers what the drop did with it.
    virtual DROPEFFECT DoDragDrop(const CString &text) = 0;

    friend class CGridCellBase;
    friend class CGridCell;

    // ---- Helpers shared by the parts

    // The nearest shown row (column) from `from` on in steps of `step`; -1 when none is left
    // between the first non-fixed one and the last.
    int NextShownRow(int from, int step) const;
    int NextShownColumn(int from, int step) const;
    // The divider under the point: for columns only inside the fixed rows, for rows only
    // inside the fixed columns.
    BOOL MouseOverColumnResizeArea(CPoint point);
    BOOL MouseOverRowResizeArea(CPoint point);
    void SetSelectedBit(int nRow, int nCol, bool selected);
    static std::uint64_t SelectionKey(int nRow, int nCol);
    // The two-pixel line that follows the pointer while a column or row is sized.
    CRect TrackingLineRect() const;
    void DrawTrackingLine(CDC *pDC);
    void MoveTrackingLine(CPoint point);
    void StartSizing(CPoint point);
    void FinishSizing(CPoint point);
    void ScrollLines(int nBar, int lines);
    // The cells of the page's rows in the columns [firstCol, lastCol], the first one at x = left.
    void PrintCells(CDC *pDC, int firstCol, int lastCol, int left);
    void PrintGridLines(CDC *pDC);
    void SwapRows(int row1, int row2);
    void SetupDefaultCells();
    void RefreshSysColours(bool initial);
    // The four default cells: plain, fixed column, fixed row, fixed row and column.
    std::array<CGridDefaultCell *, 4> DefaultCells();

    // Colours.
    COLORREF m_crWindowText = 0;
    COLORREF m_crWindowColour = 0;
    COLORREF m_cr3DFace = 0;
    COLORREF m_crShadow = 0;
    COLORREF m_crGridBkColour = 0;
    COLORREF m_crGridLineColour = RGB(192, 192, 192);
    COLORREF m_crTTipBackClr = CLR_DEFAULT;
    COLORREF m_crTTipTextClr = CLR_DEFAULT;

    // Virtual mode.
    BOOL m_bVirtualMode = FALSE;
    LPARAM m_lParam = 0;
    GRIDCALLBACK m_pfnCallback = nullptr;

    int m_nGridLines = GVL_BOTH;
    BOOL m_bEditable = TRUE;
    BOOL m_bModified = FALSE;
    BOOL m_bAllowDragAndDrop = FALSE;
    BOOL m_bListMode = FALSE;
    BOOL m_bSingleRowSelection = FALSE;
    BOOL m_bSingleColSelection = FALSE;
    BOOL m_bAllowDraw = TRUE;
    BOOL m_bEnableSelection = TRUE;
    BOOL m_bFixedRowSelection = TRUE;
    BOOL m_bFixedColumnSelection = TRUE;
    BOOL m_bSortOnClick = FALSE;
    BOOL m_bHandleTabKey = TRUE;
    BOOL m_bDoubleBuffer = TRUE;
    BOOL m_bTitleTips = TRUE;
    int m_nBarState = 0;
    BOOL m_bWysiwygPrinting = FALSE;
    BOOL m_bHiddenColUnhide = TRUE;
    BOOL m_bHiddenRowUnhide = TRUE;
    BOOL m_bAllowColHide = TRUE;
    BOOL m_bAllowRowHide = TRUE;
    BOOL m_bTrackFocusCell = TRUE;
    BOOL m_bFrameFocus = TRUE;
    int m_nAutoSizeColumnStyle = GVS_BOTH;

    int m_nRows = 0;
    int m_nFixedRows = 0;
    int m_nCols = 0;
    int m_nFixedCols = 0;
    std::vector<int> m_arRowHeights;
    std::vector<int> m_arColWidths;

    // Scroll state: range maxima (size - 1), pages and positions, in pixels.
    int m_nVScrollMax = 0;
    int m_nHScrollMax = 0;
    int m_nVPage = 0;
    int m_nHPage = 0;
    int m_nVScrollPos = 0;
    int m_nHScrollPos = 0;

    const CGridCellClass *m_pRtcDefault;
    CGridDefaultCell m_cellDefault;
    CGridDefaultCell m_cellFixedColDef;
    CGridDefaultCell m_cellFixedRowDef;
    CGridDefaultCell m_cellFixedRowColDef;
    CImageList *m_pImageList = nullptr;
    // The cells, row by row (unused in virtual mode).
    std::vector<std::vector<std::unique_ptr<CGridCellBase>>> m_RowData;

    // Mouse state.
    int m_MouseMode = MOUSE_NOTHING;
    BOOL m_bLMouseButtonDown = FALSE;
    BOOL m_bRMouseButtonDown = FALSE;
    CPoint m_LeftClickDownPoint;
    CPoint m_LastMousePoint;
    CCellID m_LeftClickDownCell;
    CCellID m_SelectionStartCell;
    CCellID m_idCurrentCell;
    CCellID m_idTopLeftCell;
    bool m_bTimerRunning = false;
    int m_nTimerInterval = 25;
    int m_nResizeCaptureRange = 3;
    BOOL m_bAllowRowResize = TRUE;
    BOOL m_bAllowColumnResize = TRUE;
    int m_nRowsPerWheelNotch = 3;
    // The row or column being sized and where its tracking line is drawn (-1: none).
    int m_nSizingIndex = -1;
    int m_nTrackingPos = -1;
    int m_nTrackingMin = 0;
    int m_nTrackingMax = 0;

    // The selection and, for Ctrl-clicks, the selection when the button went down.
    std::unordered_map<std::uint64_t, CCellID> m_SelectedCellMap;
    std::unordered_map<std::uint64_t, CCellID> m_PrevSelectedCellMap;

    CCellID m_LastDragOverCell;

    BOOL m_bAscending = TRUE;
    int m_nSortColumn = -1;
    PFNLVCOMPARE m_pfnCompare = nullptr;
    BOOL m_bShadedPrintOut = TRUE;

    // Printing.
    std::unique_ptr<CFont> m_PrinterFont;
    CSize m_CharSize;
    CSize m_PaperSize;
    CSize m_LogicalPageSize;
    int m_nPageHeight = 0;
    int m_nPageWidth = 0;
    int m_nPagesDown = 1;
    int m_nPagesAcross = 1;
    // The rows and columns of the page being printed.
    int m_nCurrPrintRow = 0;
    int m_nCurrPrintLastRow = -1;
    int m_nCurrPrintCol = 0;
    int m_nCurrPrintLastCol = -1;
    // First row and column of each row page and column page.
    std::vector<int> m_arPageFirstRow;
    std::vector<int> m_arPageFirstCol;
    int m_nHeaderHeight = 2;
    int m_nFooterHeight = 2;
    int m_nLeftMargin = 4;
    int m_nRightMargin = 4;
    int m_nTopMargin = 1;
    int m_nBottomMargin = 1;
    int m_nGap = 1;

    // The window services may be called: not while the grid is built or torn down.
    bool HasWindow() const { return !m_bDetached && IsWindowCreated(); }
    // The window is going: no more window services. Its destructor calls this first.
    void DetachWindow() { m_bDetached = true; }

  private:
    // Marks the cells of rows [row0, row1) and columns [col0, col1) fixed on one side (side is
    // GVIS_FIXEDROW or GVIS_FIXEDCOL) or takes the mark off. A cell that stays fixed on the
    // other side keeps GVIS_FIXED and its colours; every other one gets the default colours.
    void SetCellsFixed(int row0, int row1, int col0, int col1, UINT side, bool fixed);
    // A scroll command of the bar (SB_VERT or SB_HORZ); the codes of the vertical bar stand for
    // their horizontal twins (SB_LINEDOWN for SB_LINERIGHT, SB_TOP for SB_LEFT, ...).
    void OnScrollBar(int nBar, UINT nSBCode, UINT nPos);
    // Fills in the record's header as the grid's and hands it to the notification target.
    LRESULT NotifyParent(NMHDR &hdr, int code) const;

    IGridTextMeasurer &m_measurer;
    bool m_bDetached = true;
    UINT m_nCtrlID = 0;
    IGridNotifyTarget *m_pOwner = nullptr;
    // Virtual mode: the record and the cell handed out, one of each per grid.
    mutable GV_DISPINFO m_VirtualDispInfo;
    mutable std::unique_ptr<CGridCell> m_pVirtualCell;
    // The in-place editor is ending (its end notification may make it lose the focus again).
    bool m_bEndingInPlaceEdit = false;
    bool m_bInOnSize = false;
};
