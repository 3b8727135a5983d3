#pragma once

#include "pallomir/grid/core/GridDefs.h"

class CGridCore;

// The header of every notification: the grid, its control id and the code.
struct NMHDR {
    CGridCore *hwndFrom = nullptr;
    UINT idFrom = 0;
    int code = 0;
};

// A notification about a cell.
struct GridNotifyRecord {
    NMHDR hdr;
    int iRow = -1;
    int iColumn = -1;
};

// One cell's contents; the mask says which fields count.
struct GV_ITEM {
    int row = 0;
    int col = 0;
    UINT mask = 0;
    UINT nState = 0;
    UINT nFormat = 0;
    int iImage = -1;
    COLORREF crBkClr = CLR_DEFAULT;
    COLORREF crFgClr = CLR_DEFAULT;
    LPARAM lParam = 0;
    LOGFONT lfFont;
    UINT nMargin = 0;
    CString strText;
};

// A request for a cell's contents in virtual mode, and the end of an in-place edit.
struct tagGV_DISPINFO {
    NMHDR hdr;
    GV_ITEM item;
};
using GV_DISPINFO = tagGV_DISPINFO;

// A cache hint in virtual mode: the range about to be used.
struct GV_CACHEHINT {
    NMHDR hdr;
    int minRow = -1;
    int minCol = -1;
    int maxRow = -1;
    int maxCol = -1;
};

// Fills a cell's contents in virtual mode; answers FALSE when it has none.
using GRIDCALLBACK = BOOL (*)(GV_DISPINFO *, LPARAM);

// Compares two cells (CGridCellBase* as LPARAM) for sorting: <0, 0 or >0.
using PFNLVCOMPARE = int (*)(LPARAM, LPARAM, LPARAM);

// The window that hears a grid: its owner or, without one, its parent.
class IGridNotifyTarget {
  public:
    virtual ~IGridNotifyTarget() = default;
    // A notification; record->code tells which record it heads (GridNotifyRecord,
    // GV_DISPINFO or GV_CACHEHINT). Vetoes answer a negative value.
    virtual LRESULT OnGridNotify(NMHDR *record) = 0;
    // A click on a cell ended (the control's command, notification code 0).
    virtual void OnGridCommand(CGridCore *, UINT) {}
};
