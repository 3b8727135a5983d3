#include "pallomir/ui/JGDWaitDlg.h"

#include "platform/ui/DialogUnits.h"
#include "platform/ui/QtText.h"
#include "platform/ui/UiFont.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include <algorithm>

namespace {

// Notices the application's quit request while events are handled.
class QuitWatcher : public QObject {
  public:
    bool seen = false;

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (event->type() == QEvent::Quit) {
            seen = true;
        }
        return QObject::eventFilter(watched, event);
    }
};

QLabel *AddStatic(QWidget *dialog, int id, const QRect &dlu, const DialogUnits &units) {
    auto *label = new QLabel(dialog);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    PlaceControl(label, id, dlu, units);
    return label;
}

QProgressBar *AddProgress(QWidget *dialog, int id, const QRect &dlu, const DialogUnits &units) {
    auto *bar = new QProgressBar(dialog);
    bar->setRange(0, 100);
    bar->setValue(0);
    bar->setTextVisible(false);
    PlaceControl(bar, id, dlu, units);
    return bar;
}

} // namespace

JGDWaitDlg::JGDWaitDlg(int *pContinue, const char *title, const char *message, QWidget *parent)
    : JGDWaitDlg(pContinue, title, message, IDD, parent) {}

JGDWaitDlg::JGDWaitDlg(int *pContinue, const char *title, const char *message, UINT templateId,
                       QWidget *parent)
    : JGDWaitWindow(parent), m_pContinue(pContinue) {
    setFont(UiFont(11));
    const DialogUnits units(font());
    const bool withElements = templateId == JGDWaitDlg2::IDD;
    setFixedSize(units.ToPixels(QSize(180, withElements ? 119 : 85)));

    int buttonTop = 60;
    if (withElements) {
        m_pElmMessage = AddStatic(this, IDC_ELM_MESSAGE, QRect(7, 8, 166, 10), units);
        m_pElmProgress = AddProgress(this, IDC_ELM_PROGRESS, QRect(7, 21, 166, 12), units);
        m_pProgress = AddProgress(this, IDC_PROGRESS, QRect(7, 42, 166, 12), units);
        m_pMessage = AddStatic(this, IDC_MESSAGE, QRect(7, 60, 166, 10), units);
        m_pMessage2 = AddStatic(this, IDC_MESSAGE2, QRect(7, 73, 166, 10), units);
        buttonTop = 96;
    } else {
        m_pMessage = AddStatic(this, IDC_MESSAGE, QRect(7, 10, 166, 10), units);
        m_pMessage2 = AddStatic(this, IDC_MESSAGE2, QRect(7, 24, 166, 10), units);
        m_pProgress = AddProgress(this, IDC_PROGRESS, QRect(7, 38, 166, 12), units);
    }
    m_pCancel = new QPushButton(ToQString("ｷｬﾝｾﾙ"), this);
    PlaceControl(m_pCancel, IDC_CANCEL, QRect(65, buttonTop, 50, 14), units);
    connect(m_pCancel, &QPushButton::clicked, this, &JGDWaitDlg::OnCancel);
    if (!withElements) {
        auto *ok = new QPushButton(QStringLiteral("OK"), this);
        PlaceControl(ok, IDC_OK, QRect(65, buttonTop, 50, 14), units);
        ok->setEnabled(false);
        ok->hide();
    }
    m_pCancel->setFocus();

    setWindowTitle(title != nullptr ? ToQString(title) : QStringLiteral("Working"));
    m_pMessage->setText(message != nullptr
                            ? ToQString(message)
                            : QStringLiteral("Click Cancel to cancel the operation"));
    ShowAboveOwner();
}

void JGDWaitDlg::SetMessageText(const char *text) {
    if (HasWindow()) {
        m_pMessage->setText(ToQString(text));
    }
}

void JGDWaitDlg::SetMessageText2(const char *text) {
    if (HasWindow()) {
        m_pMessage2->setText(ToQString(text));
    }
}

void JGDWaitDlg::SetPercentComplete(int percent) {
    if (HasWindow()) {
        m_pProgress->setValue(std::clamp(percent, 0, 100));
    }
}

void JGDWaitDlg::SetMessageOnly(bool on) {
    if (!HasWindow()) {
        return;
    }
    SetMessageOnlyClose(on);
    m_pProgress->setVisible(!on);
    m_pCancel->setVisible(!on);
}

int JGDWaitDlg::Pump() {
    QCoreApplication *app = QCoreApplication::instance();
    if (app == nullptr) {
        return 1;
    }
    QuitWatcher watcher;
    app->installEventFilter(&watcher);
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    app->removeEventFilter(&watcher);
    return watcher.seen ? 0 : 1;
}

void JGDWaitDlg::OnCancel() {
    if (m_pContinue != nullptr) {
        *m_pContinue = 0;
    }
    Close();
}

void JGDWaitDlg::reject() {
    if (!IsMessageOnly()) {
        OnCancel();
    }
}

void JGDWaitDlg::accept() {}

JGDWaitDlg2::JGDWaitDlg2(int *pContinue, const char *title, const char *message, UINT templateId,
                         QWidget *parent)
    : JGDWaitDlg(pContinue, title, message, templateId, parent) {}

void JGDWaitDlg2::SetElmMessageText(const char *text) {
    if (HasWindow() && m_pElmMessage != nullptr) {
        m_pElmMessage->setText(ToQString(text));
    }
}

void JGDWaitDlg2::SetElmPercentComplete(int percent) {
    if (HasWindow() && m_pElmProgress != nullptr) {
        m_pElmProgress->setValue(std::clamp(percent, 0, 100));
    }
}
