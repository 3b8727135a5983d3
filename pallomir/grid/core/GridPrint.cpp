// Printing the grid over pages with a header and a footer.
#include "pallomir/grid/core/CGridCore.h"

#include <clocale>
#include <ctime>
#include <locale.h>

void CGridCore::SetPrintMarginInfo(int nHeaderHeight, int nFooterHeight, int nLeftMargin,
                                   int nRightMargin, int nTopMargin, int nBottomMargin, int nGap) {
    // A negative value leaves its margin as it is.
    if (nHeaderHeight >= 0)
        m_nHeaderHeight = nHeaderHeight;
    if (nFooterHeight >= 0)
        m_nFooterHeight = nFooterHeight;
    if (nLeftMargin >= 0)
        m_nLeftMargin = nLeftMargin;
    if (nRightMargin >= 0)
        m_nRightMargin = nRightMargin;
    if (nTopMargin >= 0)
        m_nTopMargin = nTopMargin;
    if (nBottomMargin >= 0)
        m_nBottomMargin = nBottomMargin;
    if (nGap >= 0)
        m_nGap = nGap;
}

void CGridCore::GetPrintMarginInfo(int &nHeaderHeight, int &nFooterHeight, int &nLeftMargin,
                                   int &nRightMargin, int &nTopMargin, int &nBottomMargin,
                                   int &nGap) const {
    nHeaderHeight = m_nHeaderHeight;
    nFooterHeight = m_nFooterHeight;
    nLeftMargin = m_nLeftMargin;
    nRightMargin = m_nRightMargin;
    nTopMargin = m_nTopMargin;
    nBottomMargin = m_nBottomMargin;
    nGap = m_nGap;
}

namespace {

long MulDiv(long a, long b, long c) { return c == 0 ? -1 : a * b / c; }

// The last of the rows (columns) from first that fit in room, given their heights (widths);
// always at least first itself, so that a row taller than the page gets a page of its own.
int LastOnPage(int first, int room, const std::vector<int> &sizes) {
    std::size_t last = static_cast<std::size_t>(first);
    long used = sizes[last];
    while (last + 1 < sizes.size() && used + sizes[last + 1] <= room)
        used += sizes[++last];
    return static_cast<int>(last);
}

// The rows (columns) [first, last] of one page of the side whose pages begin at firsts; past
// the last page none (count, count - 1).
void PageSpan(const std::vector<int> &firsts, std::size_t page, int count, int &first, int &last) {
    if (page < firsts.size()) {
        first = firsts[page];
        last = page + 1 < firsts.size() ? firsts[page + 1] - 1 : count - 1;
    } else {
        first = count;
        last = count - 1;
    }
}

} // namespace

void CGridCore::OnBeginPrinting(CDC *pDC, CPrintInfo *pInfo) {
    if (pDC == nullptr || pInfo == nullptr)
        return;
    LOGFONT font;
    font.lfHeight = -10;
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfOutPrecision = OUT_CHARACTER_PRECIS;
    font.lfClipPrecision = CLIP_CHARACTER_PRECIS;
    SetFaceName(font, "Arial");
    m_PrinterFont = std::make_unique<CFont>(font);

    CFont *oldFont = pDC->SelectObject(m_PrinterFont.get());
    const CSize letters =
        pDC->GetTextExtent("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSATUVWXYZ", 52);
    m_CharSize = CSize(letters.cx / 52, letters.cy);
    pDC->SelectObject(oldFont);

    m_LogicalPageSize = CSize(pDC->GetDeviceCaps(HORZRES), pDC->GetDeviceCaps(VERTRES));
    if (m_bWysiwygPrinting) {
        const CDC screen(&m_measurer);
        m_PaperSize.cx =
            static_cast<int>(MulDiv(m_LogicalPageSize.cx, screen.GetDeviceCaps(LOGPIXELSX),
                                    pDC->GetDeviceCaps(LOGPIXELSX)) *
                             3 / 4);
        m_PaperSize.cy =
            static_cast<int>(MulDiv(m_LogicalPageSize.cy, screen.GetDeviceCaps(LOGPIXELSY),
                                    pDC->GetDeviceCaps(LOGPIXELSY)) *
                             3 / 4);
    } else {
        m_PaperSize.cx =
            static_cast<int>(GetVirtualWidth()) + (m_nLeftMargin + m_nRightMargin) * m_CharSize.cx;
        m_PaperSize.cy =
            static_cast<int>(MulDiv(m_PaperSize.cx, m_LogicalPageSize.cy, m_LogicalPageSize.cx));
    }

    m_nPageHeight = m_PaperSize.cy -
                    (m_nHeaderHeight + m_nFooterHeight + 2 * m_nGap) * m_CharSize.cy -
                    GetFixedRowHeight();
    m_arPageFirstRow.clear();
    for (int row = m_nFixedRows; row < m_nRows;
         row = LastOnPage(row, m_nPageHeight, m_arRowHeights) + 1)
        m_arPageFirstRow.push_back(row);
    m_nPagesDown = std::max<int>(1, static_cast<int>(m_arPageFirstRow.size()));

    m_nPageWidth =
        m_PaperSize.cx - GetFixedColumnWidth() - (m_nLeftMargin + m_nRightMargin) * m_CharSize.cx;
    m_arPageFirstCol.clear();
    if (m_bWysiwygPrinting) {
        for (int col = m_nFixedCols; col < m_nCols;
             col = LastOnPage(col, m_nPageWidth, m_arColWidths) + 1)
            m_arPageFirstCol.push_back(col);
    } else if (m_nFixedCols < m_nCols) {
        m_arPageFirstCol.push_back(m_nFixedCols);
    }
    m_nPagesAcross = std::max<int>(1, static_cast<int>(m_arPageFirstCol.size()));
    pInfo->SetMaxPage(static_cast<UINT>(m_nPagesDown * m_nPagesAcross));
}

void CGridCore::OnPrint(CDC *pDC, CPrintInfo *pInfo) {
    if (pDC == nullptr || pInfo == nullptr || m_PrinterFont == nullptr)
        return;
    CFont *oldFont = pDC->SelectObject(m_PrinterFont.get());
    pDC->SetMapMode(MM_ANISOTROPIC);
    pDC->SetWindowExt(m_PaperSize);
    pDC->SetViewportExt(m_LogicalPageSize);
    const CPoint origin(-m_nLeftMargin * m_CharSize.cx, 0);
    pDC->SetWindowOrg(origin);
    const int contentWidth = m_PaperSize.cx - (m_nLeftMargin + m_nRightMargin) * m_CharSize.cx;

    pInfo->m_rectDraw = CRect(0, 0, contentWidth, m_nHeaderHeight * m_CharSize.cy);
    PrintHeader(pDC, pInfo);

    // Pages run across first.
    const int page = static_cast<int>(std::max(1U, pInfo->m_nCurPage)) - 1;
    PageSpan(m_arPageFirstRow, static_cast<std::size_t>(page / m_nPagesAcross), m_nRows,
             m_nCurrPrintRow, m_nCurrPrintLastRow);
    PageSpan(m_arPageFirstCol, static_cast<std::size_t>(page % m_nPagesAcross), m_nCols,
             m_nCurrPrintCol, m_nCurrPrintLastCol);

    pDC->SetWindowOrg(CPoint(origin.x, -(m_nHeaderHeight + m_nGap) * m_CharSize.cy));
    PrintRowButtons(pDC, pInfo);
    PrintColumnHeadings(pDC, pInfo);
    PrintCells(pDC, m_nCurrPrintCol, m_nCurrPrintLastCol, GetFixedColumnWidth());
    PrintGridLines(pDC);

    pDC->SetWindowOrg(origin);
    pInfo->m_rectDraw =
        CRect(0, m_PaperSize.cy - m_nFooterHeight * m_CharSize.cy, contentWidth, m_PaperSize.cy);
    PrintFooter(pDC, pInfo);
    pDC->SetWindowOrg(CPoint(0, 0));
    pDC->SelectObject(oldFont);
}

void CGridCore::OnEndPrinting(CDC *, CPrintInfo *) { m_PrinterFont.reset(); }

void CGridCore::PrintFixedRowCells(int nStartColumn, int nStopColumn, int &row, CRect &rect,
                                   CDC *pDC, BOOL &bFirst) {
    if (bFirst) {
        // The row starts at the left edge.
        rect.left = rect.right = 0;
        bFirst = FALSE;
    }
    for (int col = nStartColumn; col <= nStopColumn; ++col) {
        const int width = GetColumnWidth(col);
        if (width <= 0)
            continue;
        rect.left = rect.right;
        rect.right = rect.left + width;
        if (CGridCellBase *cell = GetCell(row, col))
            cell->PrintCell(pDC, row, col, rect);
    }
}

void CGridCore::PrintColumnHeadings(CDC *pDC, CPrintInfo *) {
    int y = 0;
    for (int row = 0; row < m_nFixedRows; ++row) {
        const int height = GetRowHeight(row);
        if (height <= 0)
            continue;
        CRect rect(0, y, 0, y + height);
        BOOL first = TRUE;
        PrintFixedRowCells(0, m_nFixedCols - 1, row, rect, pDC, first);
        PrintFixedRowCells(m_nCurrPrintCol, m_nCurrPrintLastCol, row, rect, pDC, first);
        y += height;
    }
}

void CGridCore::PrintRowButtons(CDC *pDC, CPrintInfo *) { PrintCells(pDC, 0, m_nFixedCols - 1, 0); }

void CGridCore::PrintCells(CDC *pDC, int firstCol, int lastCol, int left) {
    int y = GetFixedRowHeight();
    for (int row = m_nCurrPrintRow; row <= m_nCurrPrintLastRow; ++row) {
        const int height = GetRowHeight(row);
        if (height <= 0)
            continue;
        int x = left;
        for (int col = firstCol; col <= lastCol; ++col) {
            const int width = GetColumnWidth(col);
            if (width <= 0)
                continue;
            if (CGridCellBase *cell = GetCell(row, col))
                cell->PrintCell(pDC, row, col, CRect(x, y, x + width, y + height));
            x += width;
        }
        y += height;
    }
}

void CGridCore::PrintGridLines(CDC *pDC) {
    const COLORREF black = RGB(0, 0, 0);
    std::vector<int> columns;
    for (int col = 0; col < m_nFixedCols; ++col)
        columns.push_back(col);
    for (int col = m_nCurrPrintCol; col <= m_nCurrPrintLastCol; ++col)
        columns.push_back(col);
    std::vector<int> rows;
    for (int row = 0; row < m_nFixedRows; ++row)
        rows.push_back(row);
    for (int row = m_nCurrPrintRow; row <= m_nCurrPrintLastRow; ++row)
        rows.push_back(row);
    int right = 0;
    for (int col : columns)
        right += GetColumnWidth(col);
    int bottom = 0;
    for (int row : rows)
        bottom += GetRowHeight(row);
    if (right <= 0 || bottom <= 0)
        return;

    if (m_nGridLines == GVL_HORZ || m_nGridLines == GVL_BOTH) {
        pDC->DrawLine(CPoint(0, 0), CPoint(right - 1, 0), black);
        int y = 0;
        for (int row : rows) {
            if (GetRowHeight(row) <= 0)
                continue;
            y += GetRowHeight(row);
            pDC->DrawLine(CPoint(0, y - 1), CPoint(right - 1, y - 1), black);
        }
    }
    if (m_nGridLines == GVL_VERT || m_nGridLines == GVL_BOTH) {
        pDC->DrawLine(CPoint(0, 0), CPoint(0, bottom - 1), black);
        int x = 0;
        for (int col : columns) {
            if (GetColumnWidth(col) <= 0)
                continue;
            x += GetColumnWidth(col);
            pDC->DrawLine(CPoint(x - 1, 0), CPoint(x - 1, bottom - 1), black);
        }
    }
}

namespace {

// Draws the header or the footer: black text in the print font made bold, on a transparent
// background; the font and the background mode go back afterwards.
template <class Draw> void DrawPrintBand(CDC *pDC, const CFont *printerFont, Draw draw) {
    LOGFONT boldFont = printerFont != nullptr ? printerFont->GetLogFont() : LOGFONT();
    boldFont.lfWeight = FW_BOLD;
    CFont bold(boldFont);
    CFont *oldFont = pDC->SelectObject(&bold);
    const int oldMode = pDC->SetBkMode(TRANSPARENT);
    pDC->SetTextColor(RGB(0, 0, 0));
    draw();
    pDC->SetBkMode(oldMode);
    pDC->SelectObject(oldFont);
}

// "%c" in the C locale, whatever the process locale is.
CString CurrentDateTime() {
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[64] = {};
    if (cLocale != static_cast<locale_t>(nullptr))
        strftime_l(text, sizeof text, "%c", &local, cLocale);
    return CString(text);
}

} // namespace

void CGridCore::PrintHeader(CDC *pDC, CPrintInfo *pInfo) {
    DrawPrintBand(pDC, m_PrinterFont.get(), [&] {
        CRect rect = pInfo->m_rectDraw;
        const CString title = GetDocumentTitle();
        if (!title.IsEmpty())
            pDC->DrawText(title, &rect, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER);
        const CString application = GetApplicationTitle();
        if (!application.IsEmpty())
            pDC->DrawText(application, &rect, DT_RIGHT | DT_SINGLELINE | DT_NOPREFIX | DT_VCENTER);
        pDC->DrawLine(CPoint(rect.left, rect.bottom), CPoint(rect.right - 1, rect.bottom),
                      RGB(0, 0, 0));
    });
}

void CGridCore::PrintFooter(CDC *pDC, CPrintInfo *pInfo) {
    DrawPrintBand(pDC, m_PrinterFont.get(), [&] {
        CRect rect = pInfo->m_rectDraw;
        CString page;
        page.Format("Page %d of %d", static_cast<int>(pInfo->m_nCurPage),
                    static_cast<int>(pInfo->GetMaxPage()));
        pDC->DrawText(page, &rect, DT_LEFT | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP | DT_VCENTER);
        pDC->DrawText(CurrentDateTime(), &rect,
                      DT_RIGHT | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP | DT_VCENTER);
        pDC->DrawLine(CPoint(rect.left, rect.top), CPoint(rect.right - 1, rect.top), RGB(0, 0, 0));
    });
}
