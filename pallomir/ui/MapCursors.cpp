#include "pallomir/ui/MapCursors.h"

#include <QPainter>
#include <QPixmap>

namespace {

// A lens of radius 9 about (12, 12) with a handle towards the lower right; the hot spot is the
// lens's centre.
QCursor magnifier(bool plus) {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::white, 5, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(19, 19, 28, 28);
    painter.drawEllipse(QPoint(12, 12), 9, 9);
    painter.setPen(QPen(Qt::black, 3, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(19, 19, 28, 28);
    painter.setPen(QPen(Qt::black, 2));
    painter.setBrush(Qt::white);
    painter.drawEllipse(QPoint(12, 12), 9, 9);
    painter.drawLine(8, 12, 16, 12);
    if (plus)
        painter.drawLine(12, 8, 12, 16);
    painter.end();
    return QCursor(pixmap, 12, 12);
}

} // namespace

QCursor LoadMapCursor(int id) {
    switch (id) {
    case IDC_CURSOR_ZOOMIN:
        return magnifier(true);
    case IDC_CURSOR_ZOOMOUT:
        return magnifier(false);
    case IDC_CURSOR_HAND:
        return QCursor(Qt::OpenHandCursor);
    case IDC_CURSOR_GRAB:
        return QCursor(Qt::ClosedHandCursor);
    default:
        return QCursor(Qt::ArrowCursor);
    }
}
