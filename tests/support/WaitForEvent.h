#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QMetaObject>
#include <QObject>

#include <functional>

namespace testsupport {

// Runs the event loop until holds() is true, looking again once each event that Qt delivers
// has been handled, never by a clock: however slowly a loaded machine shows a window, activates
// it or moves the focus, the wait ends with the event that brings it. A wait whose event never
// comes is ended by the test runner's time limit.
inline void WaitUntil(const std::function<bool()> &holds) {
    if (holds())
        return;
    class Watcher : public QObject {
      public:
        Watcher(const std::function<bool()> &holds, QEventLoop &loop)
            : m_holds(holds), m_loop(loop) {}

      protected:
        bool eventFilter(QObject *target, QEvent *) override {
            // The look itself arrives as an event of the watcher; it is no news.
            if (target != this && !m_looking) {
                m_looking = true;
                QMetaObject::invokeMethod(
                    this,
                    [this] {
                        m_looking = false;
                        if (m_holds())
                            m_loop.quit();
                    },
                    Qt::QueuedConnection);
            }
            return false;
        }

      private:
        const std::function<bool()> &m_holds;
        QEventLoop &m_loop;
        bool m_looking = false;
    };
    QEventLoop loop;
    Watcher watcher(holds, loop);
    QCoreApplication::instance()->installEventFilter(&watcher);
    loop.exec();
    QCoreApplication::instance()->removeEventFilter(&watcher);
}

} // namespace testsupport
