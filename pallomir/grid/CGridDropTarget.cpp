#include "pallomir/grid/CGridDropTarget.h"

#include "pallomir/grid/CGridCtrl.h"
#include "pallomir/grid/CQtDC.h"
#include "platform/ui/QtText.h"

#include <QDropEvent>
#include <QMimeData>

namespace {

DWORD KeyState(Qt::KeyboardModifiers modifiers) {
    DWORD state = 0;
    if (modifiers & Qt::ControlModifier)
        state |= MK_CONTROL;
    if (modifiers & Qt::ShiftModifier)
        state |= MK_SHIFT;
    return state;
}

Qt::DropAction ToDropAction(DROPEFFECT effect) {
    return (effect & DROPEFFECT_MOVE) ? Qt::MoveAction : Qt::CopyAction;
}

} // namespace

CGridDropTarget::CGridDropTarget() = default;

CGridDropTarget::~CGridDropTarget() { Revoke(); }

BOOL CGridDropTarget::Register(CGridCtrl *pGridCtrl) {
    if (m_bRegistered || pGridCtrl == nullptr)
        return FALSE;
    m_pGridCtrl = pGridCtrl;
    m_pGridCtrl->viewport()->setAcceptDrops(true);
    m_pGridCtrl->viewport()->installEventFilter(this);
    m_bRegistered = true;
    return TRUE;
}

void CGridDropTarget::Revoke() {
    if (!m_bRegistered)
        return;
    m_bRegistered = false;
    if (m_pGridCtrl != nullptr) {
        m_pGridCtrl->viewport()->removeEventFilter(this);
        m_pGridCtrl->viewport()->setAcceptDrops(false);
    }
}

bool CGridDropTarget::isGridWindow(QWidget *pWnd) const {
    return m_bRegistered && m_pGridCtrl != nullptr &&
           (pWnd == m_pGridCtrl || pWnd == m_pGridCtrl->viewport());
}

DROPEFFECT CGridDropTarget::OnDragEnter(QWidget *pWnd, const QMimeData *pDataObject,
                                        DWORD dwKeyState, CPoint point) {
    if (!isGridWindow(pWnd))
        return DROPEFFECT_NONE;
    return m_pGridCtrl->OnDragEnter(pDataObject != nullptr && pDataObject->hasText(), dwKeyState,
                                    point);
}

DROPEFFECT CGridDropTarget::OnDragOver(QWidget *pWnd, const QMimeData *pDataObject,
                                       DWORD dwKeyState, CPoint point) {
    if (!isGridWindow(pWnd))
        return DROPEFFECT_NONE;
    return m_pGridCtrl->OnDragOver(pDataObject != nullptr && pDataObject->hasText(), dwKeyState,
                                   point);
}

void CGridDropTarget::OnDragLeave(QWidget *pWnd) {
    if (isGridWindow(pWnd))
        m_pGridCtrl->OnDragLeave();
}

BOOL CGridDropTarget::OnDrop(QWidget *pWnd, const QMimeData *pDataObject, DROPEFFECT dropEffect,
                             CPoint point) {
    if (!isGridWindow(pWnd) || pDataObject == nullptr || !pDataObject->hasText())
        return FALSE;
    const CString text = ToCString(pDataObject->text());
    return m_pGridCtrl->OnDrop(&text, dropEffect, point);
}

DROPEFFECT CGridDropTarget::OnDragScroll(QWidget *pWnd, DWORD dwKeyState, CPoint) {
    if (!isGridWindow(pWnd))
        return DROPEFFECT_NONE;
    return CGridCore::DragEffect(dwKeyState);
}

bool CGridDropTarget::eventFilter(QObject *watched, QEvent *event) {
    auto *window = qobject_cast<QWidget *>(watched);
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto *drag = static_cast<QDragMoveEvent *>(event);
        const DWORD keys = KeyState(drag->modifiers());
        const CPoint point = ToCPoint(drag->position());
        const DROPEFFECT effect = event->type() == QEvent::DragEnter
                                      ? OnDragEnter(window, drag->mimeData(), keys, point)
                                      : OnDragOver(window, drag->mimeData(), keys, point);
        if (effect == DROPEFFECT_NONE) {
            drag->ignore();
        } else {
            drag->setDropAction(ToDropAction(effect));
            drag->accept();
        }
        return true;
    }
    case QEvent::DragLeave:
        OnDragLeave(window);
        return true;
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        const DROPEFFECT effect = CGridCore::DragEffect(KeyState(drop->modifiers()));
        if (effect != DROPEFFECT_NONE &&
            OnDrop(window, drop->mimeData(), effect, ToCPoint(drop->position()))) {
            drop->setDropAction(ToDropAction(effect));
            drop->accept();
        } else {
            drop->ignore();
        }
        return true;
    }
    default:
        return QObject::eventFilter(watched, event);
    }
}
