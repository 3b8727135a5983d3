#include "pallomir/ui/JGDCmdCtrl.h"

#include "pallomir/ui/JGDViewBase.h"

#include <cmath>
#include <cstdlib>

JGDCmdCtrl::JGDCmdCtrl(JGDViewBase *view, UINT id, CDocument *doc)
    : m_pView(view), m_pDoc(doc), m_nId(id) {}

JGDCmdCtrl::~JGDCmdCtrl() = default;

int JGDCmdCtrl::MoveMouse(QPoint &) { return 0; }

int JGDCmdCtrl::MouseWheel(UINT, int, QPoint) { return 0; }

int JGDCmdCtrl::DownLButton(QPoint &point) {
    ope_Do(point);
    return 1;
}

int JGDCmdCtrl::UpLButton(QPoint &) { return 0; }

int JGDCmdCtrl::DblClkLButton(QPoint &) { return 0; }

int JGDCmdCtrl::DownRButton(QPoint &point) { return ope_Done(point); }

int JGDCmdCtrl::UpRButton(QPoint &) { return 0; }

int JGDCmdCtrl::DblClkRButton(QPoint &) { return 0; }

int JGDCmdCtrl::UpKey(UINT, UINT, UINT) { return 0; }

int JGDCmdCtrl::DownSyskey(UINT, UINT, UINT) { return 0; }

int JGDCmdCtrl::UpSyskey(UINT, UINT, UINT) { return 0; }

int JGDCmdCtrl::DownKey(UINT nChar, UINT, UINT) {
    if (nChar != VK_ESCAPE)
        return 0;
    QPoint origin(0, 0);
    return DownRButton(origin);
}

int JGDCmdCtrl::InChar(UINT, UINT, UINT) { return 0; }

int JGDCmdCtrl::InSyschar(UINT, UINT, UINT) { return 0; }

void JGDCmdCtrl::setGuideMessage(UINT) {}

void JGDCmdCtrl::setGuideMessage(CString) {}

void JGDCmdCtrl::Activate(int) {}

void JGDCmdCtrl::ChangedCondition(UINT) {}

void JGDCmdCtrl::DoDraw(QPainter *) {}

int JGDCmdCtrl::CursorSet() {
    if (m_pView != nullptr)
        m_pView->setCursor(Qt::ArrowCursor);
    return 1;
}

UINT JGDCmdCtrl::getId() { return m_nId; }

int JGDCmdCtrl::ope_Done(QPoint &) { return 0; }

int JGDCmdCtrl::ope_CancelAll() { return 0; }

double JGDCmdCtrl::WheelZoomFactor(int notches) {
    return std::pow(notches < 0 ? 1.1 : 0.9, std::abs(notches));
}

int JGDCmdCtrl::zoomByWheel(int zDelta) {
    // A turn the other way starts afresh: the rest belongs to the other direction.
    if ((zDelta < 0 && m_wheelRest > 0) || (zDelta > 0 && m_wheelRest < 0))
        m_wheelRest = 0;
    m_wheelRest += zDelta;
    const int notches = m_wheelRest / WHEEL_DELTA;
    m_wheelRest -= notches * WHEEL_DELTA;
    if (notches == 0 || m_pView == nullptr)
        return 1;
    m_pView->ZoomByFactor(WheelZoomFactor(notches));
    m_pView->RedrawMap();
    m_pView->update();
    return 1;
}
