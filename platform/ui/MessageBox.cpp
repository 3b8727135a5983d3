#include "platform/ui/MessageBox.h"

#include "platform/ui/QtText.h"
#include "platform/ui/Window.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMetaObject>
#include <QPushButton>
#include <QThread>

#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Button {
    int id;
    QMessageBox::StandardButton standard;
    const char *text;
};

const Button kOk{IDOK, QMessageBox::Ok, "OK"};
const Button kCancel{IDCANCEL, QMessageBox::Cancel, "キャンセル"};
const Button kAbort{IDABORT, QMessageBox::Abort, "中止(&A)"};
const Button kRetry{IDRETRY, QMessageBox::Retry, "再試行(&R)"};
const Button kIgnore{IDIGNORE, QMessageBox::Ignore, "無視(&I)"};
const Button kYes{IDYES, QMessageBox::Yes, "はい(&Y)"};
const Button kNo{IDNO, QMessageBox::No, "いいえ(&N)"};

std::vector<Button> ButtonsOf(UINT type) {
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
        return {kOk, kCancel};
    case MB_ABORTRETRYIGNORE:
        return {kAbort, kRetry, kIgnore};
    case MB_YESNOCANCEL:
        return {kYes, kNo, kCancel};
    case MB_YESNO:
        return {kYes, kNo};
    case MB_RETRYCANCEL:
        return {kRetry, kCancel};
    default:
        return {kOk};
    }
}

QMessageBox::Icon IconOf(UINT type) {
    switch (type & MB_ICONMASK) {
    case MB_ICONHAND:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONEXCLAMATION:
        return QMessageBox::Warning;
    case MB_ICONASTERISK:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

// A message box that can refuse Escape and the window's close button.
class PromptBox : public QMessageBox {
  public:
    PromptBox(QWidget *owner, bool escapable) : QMessageBox(owner), m_escapable(escapable) {}

  protected:
    void keyPressEvent(QKeyEvent *event) override {
        if (!m_escapable && event->matches(QKeySequence::Cancel)) {
            event->accept();
            return;
        }
        QMessageBox::keyPressEvent(event);
    }
    void closeEvent(QCloseEvent *event) override {
        if (!m_escapable && clickedButton() == nullptr) {
            event->ignore();
            return;
        }
        QMessageBox::closeEvent(event);
    }

  private:
    bool m_escapable;
};

QWidget *DefaultOwner() {
    QWidget *active = QApplication::activeWindow();
    if (active != nullptr && active->isEnabled()) {
        return active;
    }
    QWidget *main = AfxGetMainWnd();
    return (main != nullptr && main->isEnabled()) ? main : nullptr;
}

int ShowBox(const CString &text, UINT type, QWidget *owner, const CString &caption) {
    const std::vector<Button> buttons = ButtonsOf(type);
    int escapeId = 0;
    for (const Button &button : buttons) {
        if (button.id == IDCANCEL) {
            escapeId = IDCANCEL;
        }
    }
    if (buttons.size() == 1) {
        escapeId = IDOK;
    }

    // A box owned by a disabled window would be disabled too.
    PromptBox box(owner != nullptr && owner->isEnabled() ? owner : DefaultOwner(), escapeId != 0);
    box.setWindowTitle(caption.IsEmpty() ? QGuiApplication::applicationDisplayName()
                                         : ToQString(caption));
    box.setTextFormat(Qt::PlainText);
    box.setText(ToQString(text));
    box.setIcon(IconOf(type));

    const int defaultId = PromptDefaultAnswer(type);
    std::vector<std::pair<QAbstractButton *, int>> added;
    for (const Button &button : buttons) {
        QPushButton *pushButton = box.addButton(button.standard);
        pushButton->setText(ToQString(button.text));
        added.emplace_back(pushButton, button.id);
        if (button.id == defaultId) {
            box.setDefaultButton(pushButton);
        }
        if (button.id == escapeId) {
            box.setEscapeButton(pushButton);
        }
    }

    box.exec();
    const QAbstractButton *clicked = box.clickedButton();
    for (const auto &[pushButton, id] : added) {
        if (pushButton == clicked) {
            return id;
        }
    }
    return escapeId != 0 ? escapeId : defaultId;
}

} // namespace

int QtMessageBox(const CString &text, UINT type, QWidget *owner, const CString &caption) {
    QCoreApplication *app = QCoreApplication::instance();
    if (qobject_cast<QApplication *>(app) == nullptr) {
        const std::string line = "[message] " + ToUtf8(text) + "\n";
        std::fputs(line.c_str(), stderr);
        return PromptDefaultAnswer(type);
    }
    if (QThread::currentThread() == app->thread()) {
        return ShowBox(text, type, owner, caption);
    }
    int answer = PromptDefaultAnswer(type);
    QMetaObject::invokeMethod(
        app, [&] { answer = ShowBox(text, type, owner, caption); }, Qt::BlockingQueuedConnection);
    return answer;
}

PromptHandler InstallPromptHandler() {
    return SetPromptHandler(
        [](const CString &text, UINT type) { return QtMessageBox(text, type, nullptr); });
}
