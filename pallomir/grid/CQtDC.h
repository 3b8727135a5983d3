#pragma once

#include "pallomir/grid/core/CDC.h"

#include <QColor>
#include <QPointF>
#include <QRect>

class QPainter;

// Rectangles with exclusive right and bottom edges become Qt rectangles here, and only here.
inline QRect ToQRect(const CRect &rect) {
    return QRect(rect.left, rect.top, rect.Width(), rect.Height());
}
inline CRect ToCRect(const QRect &rect) {
    return CRect(rect.x(), rect.y(), rect.x() + rect.width(), rect.y() + rect.height());
}
// A pointer position in whole pixels.
inline CPoint ToCPoint(const QPointF &point) {
    return CPoint(static_cast<int>(point.x()), static_cast<int>(point.y()));
}
// The colour's red, green and blue; the high byte (the default-colour mark) is ignored.
inline QColor ToQColor(COLORREF colour) {
    return QColor(GetRValue(colour), GetGValue(colour), GetBValue(colour));
}

// A device context that paints through a QPainter, on a widget, an image or a printer.
class CQtDC : public CDC {
  public:
    // numColours: 2 for a black-and-white printer, -1 for anything with more colours.
    explicit CQtDC(QPainter *painter, bool printing = false, int numColours = -1);

    bool IsPrinting() const override { return m_bPrinting; }
    // HORZRES and VERTRES from the painter's device, LOGPIXELSX/Y from its resolution.
    int GetDeviceCaps(int index) const override;

    void FillSolidRect(const CRect &rect, COLORREF colour) override;
    void DrawLine(CPoint from, CPoint to, COLORREF colour) override;
    void DrawImage(const CImageList &images, int index, CPoint at) override;
    void InvertRect(const CRect &rect) override;

  protected:
    void DoDrawText(const char *text, int length, const CRect &rect, UINT format) override;
    QPainter *painter() const { return m_painter; }

  private:
    // Brings the painter's mapping in step with this context's.
    void applyMapping();

    QPainter *m_painter;
    bool m_bPrinting;
    int m_nNumColours;
};
