#include "pallomir/grid/core/CDC.h"

#include <cstring>
#include <utility>

CDC::CDC(IGridTextMeasurer *measurer) : m_pMeasurer(measurer) {
    if (m_pMeasurer != nullptr)
        m_deviceFont = m_pMeasurer->GetMessageFont();
}

CDC::~CDC() = default;

int CDC::SaveDC() {
    m_saved.push_back(m_state);
    return static_cast<int>(m_saved.size());
}

bool CDC::RestoreDC(int saved) {
    if (saved < 0)
        saved = static_cast<int>(m_saved.size()) + 1 + saved;
    if (saved <= 0 || saved > static_cast<int>(m_saved.size()))
        return false;
    m_state = m_saved[static_cast<std::size_t>(saved - 1)];
    m_saved.resize(static_cast<std::size_t>(saved - 1));
    return true;
}

COLORREF CDC::SetTextColor(COLORREF colour) { return std::exchange(m_state.textColour, colour); }

COLORREF CDC::SetBkColor(COLORREF colour) { return std::exchange(m_state.bkColour, colour); }

int CDC::SetBkMode(int mode) { return std::exchange(m_state.bkMode, mode); }

CFont *CDC::SelectObject(CFont *font) { return std::exchange(m_state.font, font); }

const LOGFONT &CDC::GetCurrentLogFont() const {
    if (m_state.font != nullptr && m_state.font->IsCreated())
        return m_state.font->GetLogFont();
    return m_deviceFont;
}

int CDC::GetDeviceCaps(int index) const {
    switch (index) {
    case LOGPIXELSX:
    case LOGPIXELSY:
        return 96;
    case NUMCOLORS:
        return -1;
    case HORZRES:
        return 1920;
    case VERTRES:
        return 1080;
    default:
        return 0;
    }
}

int CDC::SetMapMode(int mode) { return std::exchange(m_state.mapMode, mode); }

CSize CDC::SetWindowExt(CSize extent) { return std::exchange(m_state.windowExt, extent); }

CSize CDC::SetViewportExt(CSize extent) { return std::exchange(m_state.viewportExt, extent); }

CPoint CDC::SetWindowOrg(CPoint origin) { return std::exchange(m_state.windowOrg, origin); }

CSize CDC::GetTextExtent(const char *text, int length) {
    if (m_pMeasurer == nullptr || text == nullptr)
        return CSize();
    return m_pMeasurer->GetTextExtent(GetCurrentLogFont(), text, length);
}

CSize CDC::GetTextExtent(const CString &text) {
    return GetTextExtent(text.GetString(), text.GetLength());
}

TEXTMETRIC CDC::GetTextMetrics() {
    if (m_pMeasurer == nullptr)
        return TEXTMETRIC();
    return m_pMeasurer->GetTextMetrics(GetCurrentLogFont());
}

int CDC::DrawText(const char *text, int length, CRect *rect, UINT format) {
    if (text == nullptr || rect == nullptr)
        return 0;
    if (length < 0)
        length = static_cast<int>(std::strlen(text));
    if (format & DT_CALCRECT) {
        CSize size;
        if (m_pMeasurer != nullptr) {
            if ((format & DT_WORDBREAK) && !(format & DT_SINGLELINE))
                size =
                    m_pMeasurer->GetWrappedExtent(GetCurrentLogFont(), text, length, rect->Width());
            else
                size = m_pMeasurer->GetTextExtent(GetCurrentLogFont(), text, length);
        }
        rect->right = rect->left + size.cx;
        rect->bottom = rect->top + size.cy;
        return size.cy;
    }
    DoDrawText(text, length, *rect, format);
    return GetTextMetrics().tmHeight;
}

int CDC::DrawText(const CString &text, CRect *rect, UINT format) {
    return DrawText(text.GetString(), text.GetLength(), rect, format);
}

void CDC::FillSolidRect(const CRect &, COLORREF) {}

void CDC::DrawLine(CPoint, CPoint, COLORREF) {}

void CDC::FrameRect(const CRect &rect, COLORREF colour) {
    if (rect.IsRectEmpty())
        return;
    const int r = rect.right - 1;
    const int b = rect.bottom - 1;
    DrawLine(CPoint(rect.left, rect.top), CPoint(r, rect.top), colour);
    DrawLine(CPoint(r, rect.top), CPoint(r, b), colour);
    DrawLine(CPoint(r, b), CPoint(rect.left, b), colour);
    DrawLine(CPoint(rect.left, b), CPoint(rect.left, rect.top), colour);
}

void CDC::DrawEdge(const CRect &rect, UINT edge, UINT flags) {
    if (rect.IsRectEmpty() || !(edge & BDR_SUNKENINNER) || (flags & BF_RECT) != BF_RECT)
        return;
    // Sunken: dark on the top and left, light on the bottom and right.
    const int r = rect.right - 1;
    const int b = rect.bottom - 1;
    DrawLine(CPoint(r, rect.top), CPoint(rect.left, rect.top), GetSysColor(COLOR_3DDKSHADOW));
    DrawLine(CPoint(rect.left, rect.top), CPoint(rect.left, b), GetSysColor(COLOR_3DDKSHADOW));
    DrawLine(CPoint(rect.left, b), CPoint(r, b), GetSysColor(COLOR_BTNHIGHLIGHT));
    DrawLine(CPoint(r, b), CPoint(r, rect.top), GetSysColor(COLOR_BTNHIGHLIGHT));
}

void CDC::DrawImage(const CImageList &, int, CPoint) {}

void CDC::InvertRect(const CRect &) {}

void CDC::DoDrawText(const char *, int, const CRect &, UINT) {}
