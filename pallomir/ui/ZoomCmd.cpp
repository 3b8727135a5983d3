#include "pallomir/ui/ZoomCmd.h"

#include "pallomir/ui/JGDViewBase.h"
#include "pallomir/ui/MapCursors.h"
#include "platform/ui/WaitCursor.h"

#include <QRubberBand>

#include <algorithm>
#include <cstdlib>

namespace {

// The band's two corners as a rectangle of positive size.
QRect normalised(const QRect &band) {
    return QRect(QPoint(std::min(band.left(), band.right()), std::min(band.top(), band.bottom())),
                 QPoint(std::max(band.left(), band.right()), std::max(band.top(), band.bottom())));
}

// Rebuilds the map after a zoom under the wait cursor.
void redraw(JGDViewBase *view) {
    CWaitCursor wait;
    view->RedrawMap();
    view->update();
}

} // namespace

ZoomCmdDown::ZoomCmdDown(JGDViewBase *view, UINT id)
    : JGDCmdCtrl(view, id, nullptr), m_hCursor(LoadMapCursor(IDC_CURSOR_ZOOMOUT)) {}

int ZoomCmdDown::MouseWheel(UINT, int zDelta, QPoint) { return zoomByWheel(zDelta); }

int ZoomCmdDown::DownLButton(QPoint &) { return 0; }

int ZoomCmdDown::UpLButton(QPoint &point) {
    ope_Do(point);
    return 1;
}

int ZoomCmdDown::DownRButton(QPoint &point) {
    ope_CANCEL(point);
    return 1;
}

int ZoomCmdDown::CursorSet() {
    m_pView->setCursor(m_hCursor);
    return 1;
}

CString ZoomCmdDown::getLabel() { return "縮小"; }

CString ZoomCmdDown::getCancelLabel() { return "キャンセル：縮小"; }

void ZoomCmdDown::ope_Do(QPoint &point) {
    m_pView->ZoomAtPoint(point.x(), point.y(), 0.5);
    redraw(m_pView);
}

void ZoomCmdDown::ope_CANCEL(QPoint &) {}

void ZoomCmdDown::ope_KEYIN(UINT, UINT, UINT) {}

ZoomCmdUp::ZoomCmdUp(JGDViewBase *view, UINT id)
    : JGDCmdCtrl(view, id, nullptr), m_hCursor(LoadMapCursor(IDC_CURSOR_ZOOMIN)) {}

int ZoomCmdUp::MoveMouse(QPoint &point) {
    if (!m_bBand)
        return 0;
    m_band.setRight(point.x());
    m_band.setBottom(point.y());
    drawBand(true);
    return 1;
}

int ZoomCmdUp::MouseWheel(UINT, int zDelta, QPoint) {
    if (m_bBand)
        return 0;
    return zoomByWheel(zDelta);
}

int ZoomCmdUp::UpLButton(QPoint &point) { return ope_Done(point); }

int ZoomCmdUp::DownRButton(QPoint &) { return ope_CancelAll(); }

int ZoomCmdUp::CursorSet() {
    m_pView->setCursor(m_bBand ? QCursor(Qt::CrossCursor) : m_hCursor);
    return 1;
}

CString ZoomCmdUp::getLabel() { return "拡大"; }

CString ZoomCmdUp::getCancelLabel() { return "キャンセル：拡大"; }

bool ZoomCmdUp::IsZoomRect(const QRect &band) {
    return std::max(std::abs(band.right() - band.left()), std::abs(band.bottom() - band.top())) > 3;
}

void ZoomCmdUp::ope_Do(QPoint &point) {
    m_pView->grabMouse();
    m_bBand = 1;
    m_band = QRect(point, point);
    m_pView->setCursor(Qt::CrossCursor);
}

void ZoomCmdUp::ope_CANCEL(QPoint &) {}

void ZoomCmdUp::ope_KEYIN(UINT, UINT, UINT) {}

int ZoomCmdUp::ope_Done(QPoint &) {
    // A release without a band (after a cancel, or the second release of a double click)
    // has nothing to zoom to.
    if (!m_bBand)
        return 0;
    m_bBand = 0;
    m_pView->releaseMouse();
    m_pView->setCursor(m_hCursor);
    drawBand(false);
    if (IsZoomRect(m_band)) {
        const QRect area = normalised(m_band);
        m_pView->ZoomToRect(area.left(), area.top(), area.right(), area.bottom());
    } else {
        m_pView->ZoomAtPoint(m_band.left(), m_band.top(), 2.0);
    }
    redraw(m_pView);
    return 1;
}

int ZoomCmdUp::ope_CancelAll() {
    if (m_bBand) {
        m_bBand = 0;
        m_pView->releaseMouse();
        m_pView->setCursor(m_hCursor);
        drawBand(false);
    }
    return 1;
}

void ZoomCmdUp::drawBand(bool visible) {
    if (!visible) {
        if (m_pRubberBand != nullptr)
            m_pRubberBand->hide();
        return;
    }
    if (m_pRubberBand == nullptr)
        m_pRubberBand = new QRubberBand(QRubberBand::Rectangle, m_pView);
    m_pRubberBand->setGeometry(normalised(m_band));
    m_pRubberBand->show();
}
