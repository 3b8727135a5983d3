#include "pallomir/grid/CQtTextMeasurer.h"

#include "platform/ui/QtText.h"
#include "platform/ui/UiFont.h"

#include <QFontInfo>

#include <climits>

QFont ToQFont(const LOGFONT &lf) {
    char face[sizeof lf.lfFaceName + 1] = {};
    std::memcpy(face, lf.lfFaceName, sizeof lf.lfFaceName);
    QFont font(face[0] != '\0' ? ToQString(face) : QStringLiteral("IPAPGothic"));
    font.setStyleHint(QFont::SansSerif);
    // A negative height is the character height; a positive one the cell height, of which
    // the character takes about five sixths.
    int pixels = 12;
    if (lf.lfHeight < 0)
        pixels = -lf.lfHeight;
    else if (lf.lfHeight > 0)
        pixels = std::max(1, lf.lfHeight * 5 / 6);
    font.setPixelSize(pixels);
    if (lf.lfWeight >= 100 && lf.lfWeight <= 900)
        font.setWeight(static_cast<QFont::Weight>(lf.lfWeight));
    font.setItalic(lf.lfItalic != 0);
    font.setUnderline(lf.lfUnderline != 0);
    font.setStrikeOut(lf.lfStrikeOut != 0);
    return font;
}

CQtTextMeasurer &CQtTextMeasurer::Instance() {
    static CQtTextMeasurer measurer;
    return measurer;
}

const QFontMetrics &CQtTextMeasurer::metrics(const LOGFONT &font) {
    if (!m_lastMetrics || !(m_lastFont == font)) {
        m_lastMetrics.emplace(ToQFont(font));
        m_lastFont = font;
    }
    return *m_lastMetrics;
}

CSize CQtTextMeasurer::GetTextExtent(const LOGFONT &font, const char *text, int length) {
    const QFontMetrics &fm = metrics(font);
    const QString s = ToQString(CString(text, length));
    return CSize(fm.horizontalAdvance(s), fm.height());
}

TEXTMETRIC CQtTextMeasurer::GetTextMetrics(const LOGFONT &font) {
    const QFontMetrics &fm = metrics(font);
    TEXTMETRIC tm;
    tm.tmHeight = fm.height();
    tm.tmAscent = fm.ascent();
    tm.tmAveCharWidth = fm.averageCharWidth();
    tm.tmOverhang = 0;
    return tm;
}

CSize CQtTextMeasurer::GetWrappedExtent(const LOGFONT &font, const char *text, int length,
                                        int width) {
    const QFontMetrics &fm = metrics(font);
    const QRect bounds = fm.boundingRect(QRect(0, 0, std::max(1, width), INT_MAX / 2),
                                         Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                                         ToQString(CString(text, length)));
    return CSize(bounds.width(), bounds.height());
}

LOGFONT ToLogFont(const QFont &qfont) {
    LOGFONT font;
    font.lfHeight = -QFontInfo(qfont).pixelSize();
    font.lfWeight = qfont.weight();
    font.lfItalic = qfont.italic() ? 1 : 0;
    font.lfUnderline = qfont.underline() ? 1 : 0;
    font.lfStrikeOut = qfont.strikeOut() ? 1 : 0;
    font.lfCharSet = 128; // Shift_JIS
    SetFaceName(font, ToCString(qfont.family()));
    return font;
}

LOGFONT CQtTextMeasurer::GetMessageFont() { return ToLogFont(UiFont(9)); }
