#pragma once

#include "pallomir/grid/core/GridDefs.h"

#include <QEvent>
#include <QFont>
#include <QPointer>
#include <QWidget>

// A small window over a cell that shows the cell's whole text when the cell is too narrow for
// it. It is a window of its own, so the pointer over it is its own: it hides as the pointer
// leaves the cell and passes a click (a double click when it comes in time after the last)
// and the wheel on to the window under the pointer. The grid hides it when a key is pressed.
class CTitleTip : public QWidget {
  public:
    CTitleTip();
    ~CTitleTip() override;

    // Serves the parent window (the grid's drawing area); once.
    bool Create(QWidget *pParentWnd);
    void SetParentWnd(QWidget *pParentWnd) { m_pParentWnd = pParentWnd; }
    QWidget *GetParentWnd() const { return m_pParentWnd; }

    // rectTitle and hoverRect in the parent's coordinates. Shown only when " text " does not
    // fit into rectTitle; a null font takes the parent's. CLR_DEFAULT colours are the
    // tooltip colours.
    void Show(const CRect &rectTitle, const CString &text, int xOffset, const CRect &hoverRect,
              const LOGFONT *font, COLORREF textClr, COLORREF backClr);
    void Hide();
    // The cell the tip belongs to, in the parent's coordinates (one pixel larger right and
    // bottom).
    const CRect &GetHoverRect() const { return m_rectHover; }

  protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void leaveEvent(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    // The window under a point of the screen; the parent when that is the tip itself.
    QWidget *windowAt(const QPointF &global) const;
    // Sends the event to the target as type, at the same place on the screen.
    void passOn(QWidget *target, QEvent::Type type, const QMouseEvent *event);

    QWidget *m_pParentWnd = nullptr;
    // The window that took the click passed on, until its buttons are released.
    QPointer<QWidget> m_pClickTarget;
    // When the last left click came (ms of the event clock); -1 before the first.
    qint64 m_lastLeftClick = -1;
    bool m_bCreated = false;
    CRect m_rectHover;
    QString m_text;
    QFont m_font;
    COLORREF m_crText = CLR_DEFAULT;
    COLORREF m_crBack = CLR_DEFAULT;
};
