#include "pallomir/grid/CQtDC.h"

#include "pallomir/grid/CQtTextMeasurer.h"
#include "pallomir/grid/core/CImageList.h"
#include "platform/ui/QtText.h"

#include <QImage>
#include <QPaintDevice>
#include <QPainter>

CQtDC::CQtDC(QPainter *painter, bool printing, int numColours)
    : CDC(&CQtTextMeasurer::Instance()), m_painter(painter), m_bPrinting(printing),
      m_nNumColours(numColours) {}

int CQtDC::GetDeviceCaps(int index) const {
    const QPaintDevice *device = m_painter != nullptr ? m_painter->device() : nullptr;
    if (device == nullptr)
        return CDC::GetDeviceCaps(index);
    switch (index) {
    case HORZRES:
        return device->width();
    case VERTRES:
        return device->height();
    case LOGPIXELSX:
        return device->logicalDpiX();
    case LOGPIXELSY:
        return device->logicalDpiY();
    case NUMCOLORS:
        return m_nNumColours;
    default:
        return CDC::GetDeviceCaps(index);
    }
}

void CQtDC::applyMapping() {
    if (GetMapMode() == MM_ANISOTROPIC) {
        m_painter->setWindow(GetWindowOrg().x, GetWindowOrg().y, GetWindowExt().cx,
                             GetWindowExt().cy);
        m_painter->setViewport(0, 0, GetViewportExt().cx, GetViewportExt().cy);
        m_painter->setViewTransformEnabled(true);
    } else {
        m_painter->setViewTransformEnabled(false);
    }
}

void CQtDC::FillSolidRect(const CRect &rect, COLORREF colour) {
    if (rect.IsRectEmpty())
        return;
    applyMapping();
    m_painter->fillRect(ToQRect(rect), ToQColor(colour));
}

void CQtDC::DrawLine(CPoint from, CPoint to, COLORREF colour) {
    applyMapping();
    QPen pen(ToQColor(colour));
    pen.setWidth(1);
    pen.setCapStyle(Qt::SquareCap);
    m_painter->setPen(pen);
    m_painter->drawLine(from.x, from.y, to.x, to.y);
}

void CQtDC::DrawImage(const CImageList &images, int index, CPoint at) {
    const CBitmapData *image = images.GetImage(index);
    if (image == nullptr)
        return;
    applyMapping();
    const QImage qimage(reinterpret_cast<const uchar *>(image->pixels.data()), image->width,
                        image->height, image->width * 4, QImage::Format_ARGB32);
    m_painter->drawImage(QPoint(at.x, at.y), qimage);
}

void CQtDC::InvertRect(const CRect &rect) {
    if (rect.IsRectEmpty())
        return;
    applyMapping();
    const QPainter::CompositionMode mode = m_painter->compositionMode();
    m_painter->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    m_painter->fillRect(ToQRect(rect), Qt::white);
    m_painter->setCompositionMode(mode);
}

void CQtDC::DoDrawText(const char *text, int length, const CRect &rect, UINT format) {
    if (rect.IsRectEmpty() && !(format & DT_NOCLIP))
        return;
    applyMapping();
    const QFont font = ToQFont(GetCurrentLogFont());
    m_painter->setFont(font);
    m_painter->setPen(ToQColor(GetTextColor()));

    int flags = 0;
    if (format & DT_CENTER)
        flags |= Qt::AlignHCenter;
    else if (format & DT_RIGHT)
        flags |= Qt::AlignRight;
    else
        flags |= Qt::AlignLeft;
    QString s = ToQString(CString(text, length));
    if (format & DT_SINGLELINE) {
        flags |= Qt::TextSingleLine;
        if (format & DT_VCENTER)
            flags |= Qt::AlignVCenter;
        else if (format & DT_BOTTOM)
            flags |= Qt::AlignBottom;
        else
            flags |= Qt::AlignTop;
        if (format & DT_END_ELLIPSIS)
            s = QFontMetrics(font).elidedText(s, Qt::ElideRight, rect.Width());
    } else {
        flags |= Qt::AlignTop;
        if (format & DT_WORDBREAK)
            flags |= Qt::TextWordWrap;
    }
    if (!(format & DT_EXPANDTABS))
        s.replace(QLatin1Char('\t'), QLatin1Char(' '));

    const QRect target = ToQRect(rect);
    if (GetBkMode() == OPAQUE)
        m_painter->fillRect(m_painter->boundingRect(target, flags, s), ToQColor(GetBkColor()));
    if (format & DT_NOCLIP) {
        m_painter->drawText(target, flags | Qt::TextDontClip, s);
    } else {
        m_painter->save();
        m_painter->setClipRect(target, Qt::IntersectClip);
        m_painter->drawText(target, flags, s);
        m_painter->restore();
    }
}
