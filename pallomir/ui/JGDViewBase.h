#pragma once

#include "platform/core/WinTypes.h"

#include <QPoint>
#include <QRect>
#include <QSplitter>
#include <QWidget>

// The base of map views: the operations that the map commands (JGDCmdCtrl and its commands)
// call back. Points and rectangles are in client pixels. The view owns its current command
// and passes its mouse and keyboard input to it.
class JGDViewBase : public QWidget {
    Q_OBJECT

  public:
    // Makes the rectangle the visible map area.
    virtual void ZoomToRect(int left, int top, int right, int bottom) = 0;
    // Zooms about the point by the factor (2.0: twice as large).
    virtual void ZoomAtPoint(int x, int y, double factor) = 0;
    virtual void ZoomByFactor(double factor) = 0;
    // Rebuilds the drawing after a change of scale or position.
    virtual void RedrawMap() = 0;
    // Moves the visible map by dx, dy pixels.
    virtual void ScrollBy(int dx, int dy) = 0;
    // Takes the new map-area rectangle after a scroll.
    virtual void UpdateMapArea(const QRect &rect) = 0;
    // The client rectangle of the view.
    virtual QRect GetMapAreaRect() const;

  protected:
    explicit JGDViewBase(QWidget *parent = nullptr);
};

// A splitter that gives a mouse wheel turned over one of its panes to that pane: a scrolling
// pane (a scroll area) scrolls; any other pane gets the wheel unless it has the focus (the
// focus widget has had it already).
class JSplitterWnd : public QSplitter {
    Q_OBJECT

  public:
    explicit JSplitterWnd(QWidget *parent = nullptr);
    explicit JSplitterWnd(Qt::Orientation orientation, QWidget *parent = nullptr);

    // Passes the wheel at the screen position to the pane there; true.
    bool OnMouseWheel(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons, int zDelta,
                      const QPoint &globalPos);

  protected:
    void wheelEvent(QWheelEvent *event) override;

  private:
    // Set while a wheel is passed on: a pane that ignores it hands it back to the splitter.
    bool m_passing = false;
};
