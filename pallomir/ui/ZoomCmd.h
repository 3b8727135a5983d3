#pragma once

#include "pallomir/ui/JGDCmdCtrl.h"

#include <QCursor>
#include <QPointer>
#include <QRect>

class QRubberBand;

// Zoom out: a click (on release of the left button) halves the scale about the point.
class ZoomCmdDown : public JGDCmdCtrl {
  public:
    ZoomCmdDown(JGDViewBase *view, UINT id);

    int MouseWheel(UINT flags, int zDelta, QPoint point) override;
    // 0: the zoom happens on release.
    int DownLButton(QPoint &point) override;
    // Zooms out; 1.
    int UpLButton(QPoint &point) override;
    // Cancels; 1.
    int DownRButton(QPoint &point) override;
    int CursorSet() override;
    CString getLabel() override;
    CString getCancelLabel() override;

  protected:
    void ope_Do(QPoint &point) override;
    void ope_CANCEL(QPoint &point) override;
    void ope_KEYIN(UINT nChar, UINT nRepCnt, UINT nFlags) override;

  private:
    QCursor m_hCursor;
};

// Zoom in: a band dragged with the left button becomes the visible area; a click (a band of at
// most 3 pixels either way) doubles the scale about the point. The right button or Escape
// drops the band.
class ZoomCmdUp : public JGDCmdCtrl {
  public:
    ZoomCmdUp(JGDViewBase *view, UINT id);

    int MoveMouse(QPoint &point) override;
    int MouseWheel(UINT flags, int zDelta, QPoint point) override;
    // Ends the band and zooms.
    int UpLButton(QPoint &point) override;
    // Drops the band.
    int DownRButton(QPoint &point) override;
    int CursorSet() override;
    CString getLabel() override;
    CString getCancelLabel() override;

    bool IsBandActive() const { return m_bBand != 0; }
    // The band as drawn: left and top at the press point, right and bottom at the mouse.
    QRect GetBand() const { return m_band; }
    // True when the band, whichever way it was dragged, is more than 3 pixels wide or high.
    static bool IsZoomRect(const QRect &band);

  protected:
    // Starts the band.
    void ope_Do(QPoint &point) override;
    void ope_CANCEL(QPoint &point) override;
    void ope_KEYIN(UINT nChar, UINT nRepCnt, UINT nFlags) override;
    // Ends the band and zooms; 0 without a band.
    int ope_Done(QPoint &point) override;
    // Drops the band without zooming; 1.
    int ope_CancelAll() override;

  private:
    // Shows the band on the view, or hides it.
    void drawBand(bool visible);

    int m_bBand = 0;
    // left, top: the press point; right, bottom: the current point (x2 = right, y2 = bottom).
    QRect m_band;
    QCursor m_hCursor;
    QPointer<QRubberBand> m_pRubberBand;
};
