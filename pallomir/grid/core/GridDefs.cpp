#include "pallomir/grid/core/GridDefs.h"

COLORREF GetSysColor(int index) {
    switch (index) {
    case COLOR_WINDOW:
        return RGB(255, 255, 255);
    case COLOR_WINDOWTEXT:
        return RGB(0, 0, 0);
    case COLOR_HIGHLIGHT:
        return RGB(0, 120, 215);
    case COLOR_HIGHLIGHTTEXT:
        return RGB(255, 255, 255);
    case COLOR_BTNFACE:
        return RGB(240, 240, 240);
    case COLOR_BTNSHADOW:
        return RGB(160, 160, 160);
    case COLOR_BTNHIGHLIGHT:
        return RGB(255, 255, 255);
    case COLOR_3DDKSHADOW:
        return RGB(105, 105, 105);
    case COLOR_INFOTEXT:
        return RGB(0, 0, 0);
    case COLOR_INFOBK:
        return RGB(255, 255, 225);
    default:
        return RGB(0, 0, 0);
    }
}

void SetFaceName(LOGFONT &font, const char *face) {
    std::memset(font.lfFaceName, 0, sizeof font.lfFaceName);
    if (face != nullptr)
        std::strncpy(font.lfFaceName, face, sizeof font.lfFaceName - 1);
}

bool CFont::CreateFontIndirect(const LOGFONT *font) {
    if (font == nullptr)
        return false;
    m_font = *font;
    m_created = true;
    return true;
}

bool CFont::DeleteObject() {
    const bool was = m_created;
    m_font = LOGFONT();
    m_created = false;
    return was;
}

bool CFont::GetLogFont(LOGFONT *font) const {
    if (!m_created || font == nullptr)
        return false;
    *font = m_font;
    return true;
}
