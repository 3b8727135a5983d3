#pragma once

#include "pallomir/grid/core/CDC.h"

#include <QFont>
#include <QFontMetrics>

#include <optional>

// The Qt font for a logical font: its face (IPAPGothic when none is named), a negative height
// as the character height in pixels, weight, italic, underline and strike-out.
QFont ToQFont(const LOGFONT &font);
// The logical font of a Qt font: the character height in pixels as a negative height.
LOGFONT ToLogFont(const QFont &font);

// Measures cp932 text with Qt's font metrics. One instance serves the process (GUI thread).
class CQtTextMeasurer : public IGridTextMeasurer {
  public:
    static CQtTextMeasurer &Instance();

    CSize GetTextExtent(const LOGFONT &font, const char *text, int length) override;
    TEXTMETRIC GetTextMetrics(const LOGFONT &font) override;
    CSize GetWrappedExtent(const LOGFONT &font, const char *text, int length, int width) override;
    // The 9-point UI font (IPAPGothic).
    LOGFONT GetMessageFont() override;

  private:
    const QFontMetrics &metrics(const LOGFONT &font);

    LOGFONT m_lastFont;
    std::optional<QFontMetrics> m_lastMetrics;
};
