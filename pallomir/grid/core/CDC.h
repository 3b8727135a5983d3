#pragma once

#include "pallomir/grid/core/GridDefs.h"

#include <vector>

class CImageList;

// Measures text for the grid: the one place where fonts meet pixels. The grid is given one at
// construction; the widget supplies a real one, tests a fake one.
class IGridTextMeasurer {
  public:
    virtual ~IGridTextMeasurer() = default;

    // Width and height of one line of cp932 text in the font.
    virtual CSize GetTextExtent(const LOGFONT &font, const char *text, int length) = 0;
    virtual TEXTMETRIC GetTextMetrics(const LOGFONT &font) = 0;
    // Width and height of the text broken into lines at line feeds and between words so that
    // no line is wider than width (as far as single words allow).
    virtual CSize GetWrappedExtent(const LOGFONT &font, const char *text, int length,
                                   int width) = 0;
    // The font of message boxes, which the default cells start with.
    virtual LOGFONT GetMessageFont() = 0;
};

// Edge styles for DrawEdge.
inline constexpr UINT BDR_SUNKENINNER = 0x0008;
inline constexpr UINT BF_RECT = 0x000F;

// A device context: measures through a text measurer and keeps the drawing state (colours,
// background mode, font, mapping, clip box). This class draws nothing; the devices derived
// from it paint on a screen, a printer or a recording. Rectangles have exclusive right and
// bottom edges.
class CDC {
  public:
    explicit CDC(IGridTextMeasurer *measurer);
    virtual ~CDC();
    CDC(const CDC &) = delete;
    CDC &operator=(const CDC &) = delete;

    IGridTextMeasurer *GetMeasurer() const { return m_pMeasurer; }

    // A number for RestoreDC; RestoreDC(-1) goes back to the last one saved.
    int SaveDC();
    bool RestoreDC(int saved);

    COLORREF SetTextColor(COLORREF colour);
    COLORREF GetTextColor() const { return m_state.textColour; }
    COLORREF SetBkColor(COLORREF colour);
    COLORREF GetBkColor() const { return m_state.bkColour; }
    int SetBkMode(int mode);
    int GetBkMode() const { return m_state.bkMode; }
    // Selects a font; answers the font selected before (null for the device's own).
    CFont *SelectObject(CFont *font);
    CFont *GetCurrentFont() const { return m_state.font; }
    // The logical font in use: the selected one, else the device's own font.
    const LOGFONT &GetCurrentLogFont() const;
    void SetDeviceFont(const LOGFONT &font) { m_deviceFont = font; }

    virtual bool IsPrinting() const { return false; }
    // Screen values unless a device says otherwise: 96 pixels an inch, more than 2 colours.
    virtual int GetDeviceCaps(int index) const;

    int SetMapMode(int mode);
    int GetMapMode() const { return m_state.mapMode; }
    CSize SetWindowExt(CSize extent);
    CSize SetViewportExt(CSize extent);
    CPoint SetWindowOrg(CPoint origin);
    CSize GetWindowExt() const { return m_state.windowExt; }
    CSize GetViewportExt() const { return m_state.viewportExt; }
    CPoint GetWindowOrg() const { return m_state.windowOrg; }

    void SetClipBox(const CRect &clip) { m_clip = clip; }
    CRect GetClipBox() const { return m_clip; }

    CSize GetTextExtent(const char *text, int length);
    CSize GetTextExtent(const CString &text);
    TEXTMETRIC GetTextMetrics();
    // Draws the text in the rectangle; with DT_CALCRECT draws nothing and sets the
    // rectangle's width and height (a single line, or the text wrapped into its width with
    // DT_WORDBREAK). Answers the text height. A negative length means up to the NUL.
    int DrawText(const char *text, int length, CRect *rect, UINT format);
    int DrawText(const CString &text, CRect *rect, UINT format);

    virtual void FillSolidRect(const CRect &rect, COLORREF colour);
    // A one-pixel line in the colour; both end points are drawn.
    virtual void DrawLine(CPoint from, CPoint to, COLORREF colour);
    // A frame of one-pixel lines just inside the rectangle.
    void FrameRect(const CRect &rect, COLORREF colour);
    // A sunken inner edge (BDR_SUNKENINNER, BF_RECT) just inside the rectangle.
    void DrawEdge(const CRect &rect, UINT edge, UINT flags);
    virtual void DrawImage(const CImageList &images, int index, CPoint at);
    virtual void InvertRect(const CRect &rect);

  protected:
    // Draws text that DrawText has placed; format holds DrawText's flags.
    virtual void DoDrawText(const char *text, int length, const CRect &rect, UINT format);

  private:
    struct State {
        COLORREF textColour = RGB(0, 0, 0);
        COLORREF bkColour = RGB(255, 255, 255);
        int bkMode = OPAQUE;
        CFont *font = nullptr;
        int mapMode = MM_TEXT;
        CSize windowExt{1, 1};
        CSize viewportExt{1, 1};
        CPoint windowOrg;
    };

    IGridTextMeasurer *m_pMeasurer;
    State m_state;
    std::vector<State> m_saved;
    LOGFONT m_deviceFont;
    CRect m_clip{-(1 << 29), -(1 << 29), 1 << 29, 1 << 29};
};
