#include "pallomir/grid/CTitleTip.h"

#include "pallomir/grid/CQtDC.h"
#include "pallomir/grid/CQtTextMeasurer.h"
#include "platform/ui/QtText.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleHints>
#include <QWheelEvent>
#include <QWindow>

CTitleTip::CTitleTip() : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setMouseTracking(true);
    setObjectName(QStringLiteral("ZTitleTip"));
}

CTitleTip::~CTitleTip() = default;

bool CTitleTip::Create(QWidget *pParentWnd) {
    if (m_bCreated)
        return true;
    m_pParentWnd = pParentWnd;
    m_bCreated = true;
    return true;
}

void CTitleTip::Show(const CRect &rectTitle, const CString &text, int xOffset,
                     const CRect &hoverRect, const LOGFONT *font, COLORREF textClr,
                     COLORREF backClr) {
    if (!m_bCreated || m_pParentWnd == nullptr || rectTitle.IsRectEmpty() || isVisible())
        return;
    m_rectHover = hoverRect.IsRectEmpty() ? rectTitle : hoverRect;
    m_rectHover.right++;
    m_rectHover.bottom++;
    if (QApplication::focusWidget() == nullptr)
        return;

    m_text = ToQString(" " + text + " ");
    m_font = font != nullptr ? ToQFont(*font) : m_pParentWnd->font();
    const QFontMetrics metrics(m_font);
    const int width = metrics.horizontalAdvance(m_text);
    // Only a text that does not fit.
    if (width + 2 * xOffset <= rectTitle.Width() - xOffset)
        return;

    m_crText = textClr;
    m_crBack = backClr;
    m_pClickTarget = nullptr;
    const QPoint origin =
        m_pParentWnd->mapToGlobal(QPoint(rectTitle.left + xOffset, rectTitle.top));
    setGeometry(origin.x(), origin.y(), width + xOffset, rectTitle.Height());
    show();
    if (QWindow *window = windowHandle())
        window->installEventFilter(this);
    raise();
}

void CTitleTip::Hide() {
    if (isVisible())
        hide();
}

void CTitleTip::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    painter.fillRect(rect(),
                     ToQColor(m_crBack != CLR_DEFAULT ? m_crBack : GetSysColor(COLOR_INFOBK)));
    painter.setPen(ToQColor(m_crText != CLR_DEFAULT ? m_crText : GetSysColor(COLOR_INFOTEXT)));
    painter.setFont(m_font);
    painter.drawText(rect(), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, m_text);
}

QWidget *CTitleTip::windowAt(const QPointF &global) const {
    QWidget *window = QApplication::widgetAt(global.toPoint());
    return window == nullptr || window == this ? m_pParentWnd : window;
}

void CTitleTip::passOn(QWidget *target, QEvent::Type type, const QMouseEvent *event) {
    if (target == nullptr)
        return;
    const QPointF global = event->globalPosition();
    QMouseEvent passed(type, target->mapFromGlobal(global), global, event->button(),
                       event->buttons(), event->modifiers());
    QApplication::sendEvent(target, &passed);
}

void CTitleTip::mouseMoveEvent(QMouseEvent *event) {
    if (isVisible() && m_pParentWnd != nullptr &&
        m_rectHover.PtInRect(ToCPoint(m_pParentWnd->mapFromGlobal(event->globalPosition()))))
        return;
    Hide();
    passOn(windowAt(event->globalPosition()), QEvent::MouseMove, event);
}

void CTitleTip::mousePressEvent(QMouseEvent *event) {
    Hide();
    QEvent::Type type = QEvent::MouseButtonPress;
    if (event->button() == Qt::LeftButton) {
        const auto now = static_cast<qint64>(event->timestamp());
        if (m_lastLeftClick >= 0 &&
            now - m_lastLeftClick < QGuiApplication::styleHints()->mouseDoubleClickInterval())
            type = QEvent::MouseButtonDblClick;
        // A third click in time starts a new pair.
        m_lastLeftClick = type == QEvent::MouseButtonDblClick ? -1 : now;
    }
    m_pClickTarget = windowAt(event->globalPosition());
    passOn(m_pClickTarget, type, event);
}

// Qt's own double click of two presses on the tip: passed on as a press is, unless its press
// has been already.
void CTitleTip::mouseDoubleClickEvent(QMouseEvent *event) {
    if (m_pClickTarget == nullptr)
        mousePressEvent(event);
}

// The wheel scrolls the window under the tip (the grid, which hides the tip as it scrolls).
void CTitleTip::wheelEvent(QWheelEvent *event) {
    QWidget *target = windowAt(event->globalPosition());
    if (target == nullptr) {
        event->ignore();
        return;
    }
    const QPointF global = event->globalPosition();
    QWheelEvent passed(target->mapFromGlobal(global), global, event->pixelDelta(),
                       event->angleDelta(), event->buttons(), event->modifiers(), event->phase(),
                       event->inverted(), event->source(), event->pointingDevice());
    QApplication::sendEvent(target, &passed);
    event->setAccepted(passed.isAccepted());
}

void CTitleTip::leaveEvent(QEvent *) {
    if (m_pClickTarget == nullptr)
        Hide();
}

bool CTitleTip::eventFilter(QObject *watched, QEvent *event) {
    // The rest of a click passed on comes to the tip's window, hidden by now, which would drop
    // it: it follows the press.
    const QEvent::Type type = event->type();
    if (watched != windowHandle() || m_pClickTarget == nullptr ||
        (type != QEvent::MouseMove && type != QEvent::MouseButtonRelease))
        return QWidget::eventFilter(watched, event);
    const auto *mouse = static_cast<const QMouseEvent *>(event);
    QPointer<QWidget> target = m_pClickTarget;
    if (mouse->buttons() == Qt::NoButton)
        m_pClickTarget = nullptr;
    passOn(target, type, mouse);
    return true;
}
