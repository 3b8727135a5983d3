#include "platform/ui/MessageBox.h"

#include "platform/ui/QtText.h"
#include "platform/ui/Window.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QMetaObject>
#include <QPushButton>
#include <QScreen>
#include <QThread>

#include <algorithm>
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

// Where a line of the box may break without cutting a word: after Japanese punctuation, a
// closing bracket, a blank or a path separator, and before an opening bracket.
bool BreaksAfter(QChar c) {
    static const QString after = ToQString("、。，．,：；）」』】！？ /\\");
    return after.contains(c);
}
bool BreaksBefore(QChar c) {
    static const QString before = ToQString("（「『【");
    return before.contains(c);
}

// The widest a line of the box may be: Qt's message box wraps past its own limit (the screen's
// width, or that less 480 pixels, at most 1000), less room for the icon and the margins.
int WidestLine(const QWidget *box) {
    const QScreen *screen = box->screen();
    const int width = screen != nullptr ? screen->availableGeometry().width() : 1024;
    const int limit = width <= 1024 ? width : std::min(width - 480, 1000);
    return std::max(limit - 150, 200);
}

// The text with each line kept whole where it fits; a longer line broken at the last place
// that cuts no word before the width, or at the width when there is none.
QString LaidOut(const QString &text, const QFontMetrics &metrics, int widest) {
    QStringList lines;
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        QString rest = line;
        while (metrics.horizontalAdvance(rest) > widest) {
            int fits = 1;
            while (fits < rest.size() && metrics.horizontalAdvance(rest.left(fits + 1)) <= widest)
                ++fits;
            int at = fits;
            for (int i = fits; i > 0; --i) {
                if (BreaksAfter(rest[i - 1]) || (i < rest.size() && BreaksBefore(rest[i]))) {
                    at = i;
                    break;
                }
            }
            lines << rest.left(at);
            rest = rest.mid(at);
        }
        lines << rest;
    }
    return lines.join(QLatin1Char('\n'));
}

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
    box.setIcon(IconOf(type));
    // The box is as wide as its longest line, so that Qt does not wrap a line inside a word
    // (Japanese has no blanks between words); only a line too long for the screen is broken, at
    // a place that cuts no word.
    QLabel *label = box.findChild<QLabel *>(QStringLiteral("qt_msgbox_label"));
    const QFontMetrics metrics = label != nullptr ? label->fontMetrics() : box.fontMetrics();
    const QString laidOut = LaidOut(ToQString(text), metrics, WidestLine(&box));
    box.setText(laidOut);
    if (label != nullptr) {
        int longest = 0;
        for (const QString &line : laidOut.split(QLatin1Char('\n')))
            longest = std::max(longest, metrics.horizontalAdvance(line));
        label->setMinimumWidth(longest + 2 * label->margin() + 2);
    }

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
