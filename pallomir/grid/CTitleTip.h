#pragma once

#include "pallomir/grid/core/GridDefs.h"

#include <QFont>
#include <QWidget>

// A small window over a cell that shows the cell's whole text when the cell is too narrow for
// it. It passes the mouse through to the grid below, which hides it when the pointer leaves the
// cell or a key is pressed.
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

  private:
    QWidget *m_pParentWnd = nullptr;
    bool m_bCreated = false;
    CRect m_rectHover;
    QString m_text;
    QFont m_font;
    COLORREF m_crText = CLR_DEFAULT;
    COLORREF m_crBack = CLR_DEFAULT;
};
