#pragma once

#include "platform/core/WinTypes.h"

#include <QComboBox>

#include <vector>

class QPainter;

// Picks a colour: each item is drawn as a swatch of its colour (its data), 16 pixels high.
class JColorCmbBox : public QComboBox {
    Q_OBJECT

  public:
    static constexpr int kItemHeight = 16;

    explicit JColorCmbBox(QWidget *parent = nullptr);

    // Replaces the items: item i shows colours[i] (its text is the index). True.
    bool MakeContent(const std::vector<COLORREF> &colours);
    // The item's colour; 0 for an index out of range.
    COLORREF GetItemColor(int index) const;
    // The first item of the colour, -1 when none.
    int Find(COLORREF colour) const;
    bool HasFocus() const { return m_bFocus; }

    // Draws item index into rect: the background (the highlight when selected and the box has
    // the focus, the button face when selected without it), the swatch 5 pixels in from the
    // left and right and 2 from the top and bottom with a black frame, and the focus frame when
    // focused and the box has the focus.
    void DrawItem(QPainter *painter, const QRect &rect, int index, bool selected,
                  bool focused) const;

  protected:
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

  private:
    bool m_bFocus = false;
};
