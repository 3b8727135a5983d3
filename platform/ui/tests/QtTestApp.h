#pragma once

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

// Once a visible top-level widget of type T shows, calls action with it (from the event loop,
// so a modal exec() in the test is answered). Gives up after timeoutMs.
template <class T> void WhenShown(std::function<void(T *)> action, int timeoutMs = 5000) {
    auto *timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, timer,
                     [timer, action, timeoutMs, waited = 0]() mutable {
                         for (QWidget *widget : QApplication::topLevelWidgets()) {
                             T *found = qobject_cast<T *>(widget);
                             if (found != nullptr && found->isVisible()) {
                                 timer->stop();
                                 timer->deleteLater();
                                 action(found);
                                 return;
                             }
                         }
                         waited += 10;
                         if (waited >= timeoutMs) {
                             timer->stop();
                             timer->deleteLater();
                         }
                     });
    timer->start(10);
}
