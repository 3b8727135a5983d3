#pragma once

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QEvent>
#include <QMetaObject>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <QWindow>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <utility>

// The visible top-level window of type T, or null.
template <class T> T *Shown() {
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        T *found = qobject_cast<T *>(widget);
        if (found != nullptr && found->isVisible())
            return found;
    }
    return nullptr;
}

namespace testsupport {

// The answer a test gives to a dialog it opens and waits for (a modal exec(), a message box).
// It is given from the event loop once a visible top-level widget of the kind is shown, exposed
// and the active window, and given again every tenth of a second for as long as that dialog
// stays up, since a loaded machine may not have taken the first (a file list still loading, a
// key press lost). A dialog still up at the time limit is closed, with every modal window
// above it, and the test fails there; so it does when no such dialog has shown by then or by
// the time the answer is dropped. After the dialog closed the answer does nothing more, also to
// a dialog of the kind that the test opens next before this answer has seen the first close.
class DialogAnswer : public QObject {
  public:
    // Seconds the dialog has to show and to close, however loaded the machine.
    static constexpr int kLimitMs = 20000;

    DialogAnswer(std::function<QWidget *()> find, std::function<void(QWidget *)> answer,
                 std::string kind, int limitMs)
        : m_find(std::move(find)), m_answer(std::move(answer)), m_kind(std::move(kind)),
          m_limitMs(limitMs) {
        m_clock.start();
        m_retry.setInterval(kRetryMs);
        QObject::connect(&m_retry, &QTimer::timeout, this, [this] { look(); });
        m_retry.start();
        QCoreApplication::instance()->installEventFilter(this);
    }
    DialogAnswer(const DialogAnswer &) = delete;
    DialogAnswer &operator=(const DialogAnswer &) = delete;
    ~DialogAnswer() override {
        if (!m_done && m_answers == 0)
            giveUp("no " + m_kind + " was shown");
        else if (!m_done && current() != nullptr)
            giveUp("the " + m_kind + " is still up");
        finish();
    }

    // How often the answer was given.
    int Answers() const { return m_answers; }

  protected:
    // Looks again once the event has been handled, as WaitUntil does.
    bool eventFilter(QObject *target, QEvent *) override {
        if (target != this && !m_done && !m_looking) {
            m_looking = true;
            QMetaObject::invokeMethod(
                this,
                [this] {
                    m_looking = false;
                    look();
                },
                Qt::QueuedConnection);
        }
        return false;
    }

  private:
    static constexpr int kRetryMs = 100;

    void look() {
        if (m_done)
            return;
        // An answer that waits for events itself (a message box it brought up) is not given
        // again meanwhile, but held to the time limit too.
        if (m_answering) {
            if (m_clock.elapsed() >= m_limitMs)
                giveUp("the answer to the " + m_kind + " did not end");
            return;
        }
        QWidget *dialog = current();
        if (dialog == nullptr && m_answers > 0) {
            finish(); // answered and closed
            return;
        }
        if (dialog != nullptr && ready(dialog) &&
            (m_answers == 0 || m_sinceAnswer.elapsed() >= kRetryMs)) {
            ++m_answers;
            m_dialog = dialog;
            m_answering = true;
            m_answer(dialog);
            m_answering = false;
            m_sinceAnswer.start();
            return;
        }
        if (m_clock.elapsed() >= m_limitMs) {
            giveUp(dialog == nullptr ? "no " + m_kind + " was shown"
                                     : "the " + m_kind + " could not be answered");
        }
    }

    // The dialog to answer: the one found, until it has been answered; then that one while it
    // is up.
    QWidget *current() const {
        if (m_answers == 0)
            return m_find();
        return !m_dialog.isNull() && m_dialog->isVisible() ? m_dialog.data() : nullptr;
    }

    static bool ready(QWidget *dialog) {
        const QWindow *window = dialog->windowHandle();
        return window != nullptr && window->isExposed() && dialog->isActiveWindow();
    }

    // Fails the test and closes the dialog and whatever modal window is above it.
    void giveUp(const std::string &why) {
        finish();
        ADD_FAILURE() << why << " within " << m_limitMs / 1000 << " s";
        for (int i = 0; i < 20; ++i) {
            QWidget *top = QApplication::activeModalWidget();
            if (top == nullptr)
                top = current();
            if (top == nullptr)
                break;
            if (auto *modal = qobject_cast<QDialog *>(top))
                modal->reject();
            if (top->isVisible())
                top->close();
            if (top->isVisible())
                top->hide();
        }
    }

    void finish() {
        m_done = true;
        m_retry.stop();
        QCoreApplication::instance()->removeEventFilter(this);
    }

    std::function<QWidget *()> m_find;
    std::function<void(QWidget *)> m_answer;
    QPointer<QWidget> m_dialog; // the dialog answered
    std::string m_kind;
    int m_limitMs;
    QElapsedTimer m_clock;
    QElapsedTimer m_sinceAnswer;
    QTimer m_retry;
    int m_answers = 0;
    bool m_looking = false;
    bool m_answering = false;
    bool m_done = false;
};

// Answers the next dialog of type T with answer (see DialogAnswer), as long as the object
// lives: keep it until the dialog has been answered.
template <class T>
[[nodiscard]] std::unique_ptr<DialogAnswer> WhenShown(std::function<void(T *)> answer,
                                                      int limitMs = DialogAnswer::kLimitMs) {
    return std::make_unique<DialogAnswer>(
        [] { return static_cast<QWidget *>(Shown<T>()); },
        [answer = std::move(answer)](QWidget *dialog) { answer(static_cast<T *>(dialog)); },
        T::staticMetaObject.className(), limitMs);
}

} // namespace testsupport
