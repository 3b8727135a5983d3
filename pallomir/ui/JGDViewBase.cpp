#include "pallomir/ui/JGDViewBase.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QWheelEvent>

JGDViewBase::JGDViewBase(QWidget *parent) : QWidget(parent) {}

QRect JGDViewBase::GetMapAreaRect() const { return rect(); }

JSplitterWnd::JSplitterWnd(QWidget *parent) : QSplitter(parent) {}

JSplitterWnd::JSplitterWnd(Qt::Orientation orientation, QWidget *parent)
    : QSplitter(orientation, parent) {}

bool JSplitterWnd::OnMouseWheel(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons,
                                int zDelta, const QPoint &globalPos) {
    if (m_passing)
        return true;
    m_passing = true;
    for (int i = 0; i < count(); ++i) {
        QWidget *pane = widget(i);
        if (!pane->isVisible() ||
            !QRect(pane->mapToGlobal(QPoint(0, 0)), pane->size()).contains(globalPos))
            continue;
        QWidget *target = pane;
        if (auto *scroll = qobject_cast<QAbstractScrollArea *>(pane))
            target = scroll->viewport();
        else if (pane == QApplication::focusWidget())
            continue;
        const QPointF local = target->mapFromGlobal(QPointF(globalPos));
        QWheelEvent wheel(local, QPointF(globalPos), QPoint(), QPoint(0, zDelta), buttons,
                          modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &wheel);
    }
    m_passing = false;
    return true;
}

void JSplitterWnd::wheelEvent(QWheelEvent *event) {
    OnMouseWheel(event->modifiers(), event->buttons(), event->angleDelta().y(),
                 event->globalPosition().toPoint());
    event->accept();
}
