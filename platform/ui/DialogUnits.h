#pragma once

#include <QFont>
#include <QRect>

class QWidget;

// Dialog units of a dialog font: horizontally a quarter of the font's average character width,
// vertically an eighth of its height, each conversion rounded to the nearest pixel.
class DialogUnits {
  public:
    explicit DialogUnits(const QFont &font);
    DialogUnits(int baseX, int baseY);

    int BaseX() const { return m_baseX; }
    int BaseY() const { return m_baseY; }

    int ToPixelsX(int dlu) const;
    int ToPixelsY(int dlu) const;
    QRect ToPixels(const QRect &dlu) const;
    QSize ToPixels(const QSize &dlu) const;

  private:
    int m_baseX;
    int m_baseY;
};

// Places a control at a rectangle in dialog units and gives it its control id.
void PlaceControl(QWidget *control, int id, const QRect &dlu, const DialogUnits &units);
// The child control with that id, or null.
QWidget *GetDlgItem(const QWidget *dialog, int id);
// The control id given by PlaceControl or SetDlgCtrlID; 0 for a widget without one.
int GetDlgCtrlID(const QWidget *control);
void SetDlgCtrlID(QWidget *control, int id);
