#pragma once

#include "platform/core/CString.h"
#include "platform/core/WinTypes.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

// The framework's names that the grid control is written in: colours, fonts, points, sizes and
// rectangles, text-drawing flags, key codes and the grid's own codes. Free of any GUI toolkit.

using LONG = std::int32_t;
using COLORREF = DWORD;
using LPARAM = std::intptr_t;
using WPARAM = std::uintptr_t;
using LRESULT = std::intptr_t;

constexpr COLORREF RGB(int r, int g, int b) {
    return static_cast<COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}

// Stands for "the default cell's colour" wherever a cell holds a colour.
inline constexpr COLORREF CLR_DEFAULT = 0xFF000000;

// The system colours the grid uses, by their framework indexes.
inline constexpr int COLOR_WINDOW = 5;
inline constexpr int COLOR_WINDOWTEXT = 8;
inline constexpr int COLOR_HIGHLIGHT = 13;
inline constexpr int COLOR_HIGHLIGHTTEXT = 14;
inline constexpr int COLOR_BTNFACE = 15;
inline constexpr int COLOR_3DFACE = 15;
inline constexpr int COLOR_BTNSHADOW = 16;
inline constexpr int COLOR_BTNHIGHLIGHT = 20;
inline constexpr int COLOR_3DDKSHADOW = 21;
inline constexpr int COLOR_INFOTEXT = 23;
inline constexpr int COLOR_INFOBK = 24;
// The classic desktop colours; unknown indexes give black.
COLORREF GetSysColor(int index);

// A logical font, byte for byte the framework's 60-byte record.
struct LOGFONT {
    LONG lfHeight = 0;
    LONG lfWidth = 0;
    LONG lfEscapement = 0;
    LONG lfOrientation = 0;
    LONG lfWeight = 0;
    BYTE lfItalic = 0;
    BYTE lfUnderline = 0;
    BYTE lfStrikeOut = 0;
    BYTE lfCharSet = 0;
    BYTE lfOutPrecision = 0;
    BYTE lfClipPrecision = 0;
    BYTE lfQuality = 0;
    BYTE lfPitchAndFamily = 0;
    char lfFaceName[32] = {};
};
static_assert(sizeof(LOGFONT) == 60);

inline bool operator==(const LOGFONT &a, const LOGFONT &b) {
    return std::memcmp(&a, &b, sizeof(LOGFONT)) == 0;
}

inline constexpr LONG FW_NORMAL = 400;
inline constexpr LONG FW_BOLD = 700;
inline constexpr BYTE DEFAULT_CHARSET = 1;
inline constexpr BYTE OUT_CHARACTER_PRECIS = 2;
inline constexpr BYTE CLIP_CHARACTER_PRECIS = 1;

// Copies a face name into a LOGFONT, cut to 31 bytes.
void SetFaceName(LOGFONT &font, const char *face);

// A font object made from a logical font: what a device context selects.
class CFont {
  public:
    CFont() = default;
    explicit CFont(const LOGFONT &font) { CreateFontIndirect(&font); }

    // Replaces the font; false for a null record.
    bool CreateFontIndirect(const LOGFONT *font);
    bool DeleteObject();
    bool IsCreated() const { return m_created; }
    // Copies the logical font out; false when no font was created.
    bool GetLogFont(LOGFONT *font) const;
    const LOGFONT &GetLogFont() const { return m_font; }

  private:
    LOGFONT m_font;
    bool m_created = false;
};

struct CPoint {
    int x = 0;
    int y = 0;
    constexpr CPoint() = default;
    constexpr CPoint(int px, int py) : x(px), y(py) {}
    friend constexpr bool operator==(const CPoint &, const CPoint &) = default;
};

struct CSize {
    int cx = 0;
    int cy = 0;
    constexpr CSize() = default;
    constexpr CSize(int w, int h) : cx(w), cy(h) {}
    friend constexpr bool operator==(const CSize &, const CSize &) = default;
};

// A rectangle whose right and bottom edges lie just outside it: it covers the pixels from left
// to right - 1 and from top to bottom - 1.
struct CRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    constexpr CRect() = default;
    constexpr CRect(int l, int t, int r, int b) : left(l), top(t), right(r), bottom(b) {}
    constexpr CRect(CPoint origin, CSize size)
        : left(origin.x), top(origin.y), right(origin.x + size.cx), bottom(origin.y + size.cy) {}

    constexpr int Width() const { return right - left; }
    constexpr int Height() const { return bottom - top; }
    constexpr CSize Size() const { return CSize(Width(), Height()); }
    constexpr CPoint TopLeft() const { return CPoint(left, top); }
    constexpr bool IsRectEmpty() const { return right <= left || bottom <= top; }
    constexpr bool PtInRect(CPoint p) const {
        return p.x >= left && p.x < right && p.y >= top && p.y < bottom;
    }
    void SetRect(int l, int t, int r, int b) { *this = CRect(l, t, r, b); }
    void SetRectEmpty() { *this = CRect(); }
    void OffsetRect(int dx, int dy) {
        left += dx;
        right += dx;
        top += dy;
        bottom += dy;
    }
    void InflateRect(int dx, int dy) {
        left -= dx;
        right += dx;
        top -= dy;
        bottom += dy;
    }
    void DeflateRect(int dx, int dy) { InflateRect(-dx, -dy); }
    // The common part; false (and an empty rectangle) when there is none.
    bool IntersectRect(const CRect &a, const CRect &b) {
        *this = CRect(std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                      std::min(a.bottom, b.bottom));
        if (IsRectEmpty()) {
            SetRectEmpty();
            return false;
        }
        return true;
    }
    friend constexpr bool operator==(const CRect &, const CRect &) = default;
};

struct TEXTMETRIC {
    int tmHeight = 0;
    int tmAscent = 0;
    int tmAveCharWidth = 0;
    int tmOverhang = 0;
};

// Text drawing (DrawText) flags.
inline constexpr UINT DT_LEFT = 0x0;
inline constexpr UINT DT_TOP = 0x0;
inline constexpr UINT DT_CENTER = 0x1;
inline constexpr UINT DT_RIGHT = 0x2;
inline constexpr UINT DT_VCENTER = 0x4;
inline constexpr UINT DT_BOTTOM = 0x8;
inline constexpr UINT DT_WORDBREAK = 0x10;
inline constexpr UINT DT_SINGLELINE = 0x20;
inline constexpr UINT DT_EXPANDTABS = 0x40;
inline constexpr UINT DT_NOCLIP = 0x100;
inline constexpr UINT DT_CALCRECT = 0x400;
inline constexpr UINT DT_NOPREFIX = 0x800;
inline constexpr UINT DT_END_ELLIPSIS = 0x8000;

// Device capabilities asked of a device context.
inline constexpr int HORZRES = 8;
inline constexpr int VERTRES = 10;
inline constexpr int NUMCOLORS = 24;
inline constexpr int LOGPIXELSX = 88;
inline constexpr int LOGPIXELSY = 90;

inline constexpr int TRANSPARENT = 1;
inline constexpr int OPAQUE = 2;
inline constexpr int MM_TEXT = 1;
inline constexpr int MM_ANISOTROPIC = 8;

// Virtual key codes.
inline constexpr UINT VK_LBUTTON = 0x01;
inline constexpr UINT VK_BACK = 0x08;
inline constexpr UINT VK_TAB = 0x09;
inline constexpr UINT VK_RETURN = 0x0D;
inline constexpr UINT VK_SHIFT = 0x10;
inline constexpr UINT VK_CONTROL = 0x11;
inline constexpr UINT VK_ESCAPE = 0x1B;
inline constexpr UINT VK_SPACE = 0x20;
inline constexpr UINT VK_PRIOR = 0x21;
inline constexpr UINT VK_NEXT = 0x22;
inline constexpr UINT VK_END = 0x23;
inline constexpr UINT VK_HOME = 0x24;
inline constexpr UINT VK_LEFT = 0x25;
inline constexpr UINT VK_UP = 0x26;
inline constexpr UINT VK_RIGHT = 0x27;
inline constexpr UINT VK_DOWN = 0x28;
inline constexpr UINT VK_INSERT = 0x2D;
inline constexpr UINT VK_DELETE = 0x2E;
inline constexpr UINT VK_F2 = 0x71;

// Mouse-message key flags.
inline constexpr UINT MK_LBUTTON = 0x01;
inline constexpr UINT MK_RBUTTON = 0x02;
inline constexpr UINT MK_SHIFT = 0x04;
inline constexpr UINT MK_CONTROL = 0x08;

// Scroll bars and scroll codes.
inline constexpr int SB_HORZ = 0;
inline constexpr int SB_VERT = 1;
inline constexpr int SB_BOTH = 3;
inline constexpr UINT SB_LINEUP = 0;
inline constexpr UINT SB_LINEDOWN = 1;
inline constexpr UINT SB_PAGEUP = 2;
inline constexpr UINT SB_PAGEDOWN = 3;
inline constexpr UINT SB_THUMBPOSITION = 4;
inline constexpr UINT SB_THUMBTRACK = 5;
inline constexpr UINT SB_TOP = 6;
inline constexpr UINT SB_BOTTOM = 7;
inline constexpr UINT SB_LEFT = SB_TOP;
inline constexpr UINT SB_RIGHT = SB_BOTTOM;
inline constexpr UINT SB_LINELEFT = SB_LINEUP;
inline constexpr UINT SB_LINERIGHT = SB_LINEDOWN;
inline constexpr UINT SB_PAGELEFT = SB_PAGEUP;
inline constexpr UINT SB_PAGERIGHT = SB_PAGEDOWN;
inline constexpr int WHEEL_DELTA = 120;

// Drop effects.
using DROPEFFECT = DWORD;
inline constexpr DROPEFFECT DROPEFFECT_NONE = 0;
inline constexpr DROPEFFECT DROPEFFECT_COPY = 1;
inline constexpr DROPEFFECT DROPEFFECT_MOVE = 2;

// Cell state bits.
inline constexpr UINT GVIS_FOCUSED = 0x01;
inline constexpr UINT GVIS_SELECTED = 0x02;
inline constexpr UINT GVIS_DROPHILITED = 0x04;
inline constexpr UINT GVIS_READONLY = 0x08;
inline constexpr UINT GVIS_FIXED = 0x10;
inline constexpr UINT GVIS_FIXEDROW = 0x20;
inline constexpr UINT GVIS_FIXEDCOL = 0x40;
inline constexpr UINT GVIS_MODIFIED = 0x80;

// Item fields named by a GV_ITEM mask.
inline constexpr UINT GVIF_TEXT = 0x01;
inline constexpr UINT GVIF_IMAGE = 0x02;
inline constexpr UINT GVIF_PARAM = 0x04;
inline constexpr UINT GVIF_STATE = 0x08;
inline constexpr UINT GVIF_BKCLR = 0x10;
inline constexpr UINT GVIF_FGCLR = 0x20;
inline constexpr UINT GVIF_FORMAT = 0x40;
inline constexpr UINT GVIF_FONT = 0x80;
inline constexpr UINT GVIF_MARGIN = 0x100;
inline constexpr UINT GVIF_ALL = 0x1FF;

// GetNextItem: state filter and direction.
inline constexpr int GVNI_FOCUSED = 0x01;
inline constexpr int GVNI_SELECTED = 0x02;
inline constexpr int GVNI_DROPHILITED = 0x04;
inline constexpr int GVNI_READONLY = 0x08;
inline constexpr int GVNI_FIXED = 0x10;
inline constexpr int GVNI_MODIFIED = 0x20;
inline constexpr int GVNI_ABOVE = 0x100;
inline constexpr int GVNI_BELOW = 0x200;
inline constexpr int GVNI_TOLEFT = 0x400;
inline constexpr int GVNI_TORIGHT = 0x800;
inline constexpr int GVNI_ALL = GVNI_BELOW | GVNI_TORIGHT | GVNI_TOLEFT;
inline constexpr int GVNI_AREA = GVNI_BELOW | GVNI_TORIGHT;

// Grid lines.
inline constexpr int GVL_NONE = 0;
inline constexpr int GVL_HORZ = 1;
inline constexpr int GVL_VERT = 2;
inline constexpr int GVL_BOTH = 3;

// Auto-size styles: which rows count.
inline constexpr int GVS_DEFAULT = 0;
inline constexpr int GVS_HEADER = 1;
inline constexpr int GVS_DATA = 2;
inline constexpr int GVS_BOTH = 3;

// Notification codes.
inline constexpr int NM_DBLCLK = -3;
inline constexpr int NM_RCLICK = -5;
inline constexpr int GVN_SELCHANGING = -100;
inline constexpr int GVN_SELCHANGED = -101;
inline constexpr int GVN_BEGINLABELEDIT = -105;
inline constexpr int GVN_ENDLABELEDIT = -106;
inline constexpr int GVN_BEGINDRAG = -109;
inline constexpr int GVN_ODCACHEHINT = -113;
inline constexpr int GVN_GETDISPINFO = -150;

// The window style bit that shows a window as it is created.
inline constexpr DWORD WS_VISIBLE = 0x10000000;

// The in-place editor's control id.
inline constexpr UINT IDC_INPLACE_CONTROL = 8;

// Cursors the grid shows.
enum class GridCursor { Arrow, SizeWE, SizeNS, Wait, Drag };
