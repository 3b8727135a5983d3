#include "pallomir/grid/CTitleTip.h"

#include "pallomir/grid/CQtDC.h"
#include "pallomir/grid/CQtTextMeasurer.h"
#include "platform/ui/QtText.h"

#include <QApplication>
#include <QPainter>

CTitleTip::CTitleTip() : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_ShowWithoutActivating);
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
    const QPoint origin =
        m_pParentWnd->mapToGlobal(QPoint(rectTitle.left + xOffset, rectTitle.top));
    setGeometry(origin.x(), origin.y(), width + xOffset, rectTitle.Height());
    show();
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
