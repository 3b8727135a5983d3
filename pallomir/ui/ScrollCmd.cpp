#include "pallomir/ui/ScrollCmd.h"

#include "pallomir/ui/JGDViewBase.h"
#include "pallomir/ui/MapCursors.h"
#include "platform/ui/WaitCursor.h"

#include <QDeadlineTimer>

namespace {

std::uint32_t tickCount() {
    return static_cast<std::uint32_t>(QDeadlineTimer::current().deadline());
}

} // namespace

ScrollCmd::ScrollCmd(JGDViewBase *view, UINT id)
    : JGDCmdCtrl(view, id, nullptr), m_hCursor(LoadMapCursor(IDC_CURSOR_HAND)) {}

int ScrollCmd::MoveMouse(QPoint &point) {
    if (!m_bDragging)
        return 0;
    m_lastMoveTime = tickCount();
    m_pView->ScrollBy(m_lastX - point.x(), m_lastY - point.y());
    m_lastX = point.x();
    m_lastY = point.y();
    m_pView->update();
    return 1;
}

int ScrollCmd::MouseWheel(UINT, int zDelta, QPoint) {
    if (m_bDragging)
        return 0;
    return zoomByWheel(zDelta);
}

int ScrollCmd::UpLButton(QPoint &point) { return ope_Done(point); }

int ScrollCmd::DownRButton(QPoint &point) {
    ope_CANCEL(point);
    return 1;
}

int ScrollCmd::CursorSet() {
    m_pView->setCursor(m_bDragging ? LoadMapCursor(IDC_CURSOR_GRAB) : m_hCursor);
    return 1;
}

CString ScrollCmd::getLabel() { return "移動"; }

CString ScrollCmd::getCancelLabel() { return "キャンセル：移動"; }

void ScrollCmd::ope_Do(QPoint &point) {
    m_pView->grabMouse();
    m_bDragging = 1;
    m_lastMoveTime = tickCount();
    m_lastX = point.x();
    m_lastY = point.y();
    m_pView->setCursor(LoadMapCursor(IDC_CURSOR_GRAB));
}

void ScrollCmd::ope_CANCEL(QPoint &) {}

void ScrollCmd::ope_KEYIN(UINT, UINT, UINT) {}

int ScrollCmd::ope_Done(QPoint &point) {
    if (!m_bDragging)
        return 0;
    m_bDragging = 0;
    m_pView->releaseMouse();
    m_pView->setCursor(m_hCursor);
    CWaitCursor wait;
    m_pView->ScrollBy(m_lastX - point.x(), m_lastY - point.y());
    m_pView->UpdateMapArea(m_pView->GetMapAreaRect());
    m_pView->RedrawMap();
    m_pView->update();
    return 1;
}
