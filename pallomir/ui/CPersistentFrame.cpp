#include "pallomir/ui/CPersistentFrame.h"

#include "platform/core/Numbers.h"
#include "platform/ui/QtText.h"
#include "platform/ui/Window.h"

#include <QCloseEvent>
#include <QCoreApplication>

#include <sstream>
#include <string>

namespace {

// The value of the tool-bar state in the application's section.
constexpr const char *kBarState = "BarState";

} // namespace

const QRect CPersistentFrame::s_rectDefault(QPoint(0, 0), QSize(1024, 768));

CPersistentFrame::CPersistentFrame(QWidget *parent) : CPersistentFrame(CString(), parent) {}

CPersistentFrame::CPersistentFrame(const CString &keyPrefix, QWidget *parent)
    : QMainWindow(parent), m_keyPrefix(keyPrefix) {}

CPersistentFrame::~CPersistentFrame() {
    // A window destroyed without being closed keeps its placement too.
    if (!m_bFirstTime)
        OnDestroy();
}

SettingsStore CPersistentFrame::GetProfile() {
    return SettingsStore(SettingsStore::ConfigPath(GetProfileName(), "profile.ini"));
}

CString CPersistentFrame::GetProfileName() {
    const CString name = ToCString(QCoreApplication::applicationName());
    return name.IsEmpty() ? CString("zentrova") : name;
}

CString CPersistentFrame::getKey(const CString &name) const {
    return m_keyPrefix.IsEmpty() ? name : m_keyPrefix + "\\" + name;
}

bool CPersistentFrame::ParseRect(const CString &text, QRect &rect) {
    std::istringstream in(text.Bytes());
    std::string field;
    int values[4];
    int count = 0;
    while (in >> field) {
        int value = 0;
        if (count == 4 || !ParseInt(field, value))
            return false;
        values[count++] = value;
    }
    if (count != 4 || values[2] <= values[0] || values[3] <= values[1])
        return false;
    rect = QRect(QPoint(values[0], values[1]), QSize(values[2] - values[0], values[3] - values[1]));
    return true;
}

CString CPersistentFrame::FormatRect(const QRect &rect) {
    CString text;
    text.Format("%04d %04d %04d %04d", rect.left(), rect.top(), rect.left() + rect.width(),
                rect.top() + rect.height());
    return text;
}

void CPersistentFrame::ActivateFrame(int nCmdShow) {
    if (!m_bFirstTime) {
        ShowWindow(this, nCmdShow);
        return;
    }
    m_bFirstTime = false;
    const SettingsStore profile = GetProfile();
    const CString section = getKey(s_profileHeading);
    QRect normal = s_rectDefault;
    const CString stored = profile.GetString(section, s_profileRect);
    if (!stored.IsEmpty() && !ParseRect(stored, normal))
        normal = s_rectDefault;
    const bool icon = profile.GetInt(section, s_profileIcon, 0) != 0;
    const bool max = profile.GetInt(section, s_profileMax, 0) != 0;

    const QByteArray barState = QByteArray::fromBase64(
        QByteArray(profile.GetString(getKey(GetProfileName()), kBarState).GetString()));
    if (!barState.isEmpty())
        restoreState(barState);
    setGeometry(normal);
    if (icon) {
        // Shown minimized without activation; restored to maximized when it was so.
        setWindowState(max ? Qt::WindowMaximized : Qt::WindowNoState);
        ShowWindow(this, SW_SHOWMINNOACTIVE);
    } else {
        ShowWindow(this, max ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
    }
}

void CPersistentFrame::OnDestroy() {
    if (m_saved)
        return;
    m_saved = true;
    const Qt::WindowStates state = windowState();
    int icon = 0;
    int max = 0;
    if (state & Qt::WindowMinimized) {
        icon = 1;
        max = (state & Qt::WindowMaximized) ? 1 : 0;
    } else if (state & (Qt::WindowMaximized | Qt::WindowFullScreen)) {
        max = 1;
    }
    SettingsStore profile = GetProfile();
    const CString section = getKey(s_profileHeading);
    profile.WriteString(section, s_profileRect, FormatRect(normalGeometry()));
    profile.WriteInt(section, s_profileIcon, icon);
    profile.WriteInt(section, s_profileMax, max);
    profile.WriteString(getKey(GetProfileName()), kBarState,
                        CString(saveState().toBase64().constData()));
}

void CPersistentFrame::closeEvent(QCloseEvent *event) {
    QMainWindow::closeEvent(event);
    if (event->isAccepted())
        OnDestroy();
}
