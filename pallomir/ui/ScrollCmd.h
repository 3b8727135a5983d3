#pragma once

#include "pallomir/ui/JGDCmdCtrl.h"

#include <QCursor>

#include <cstdint>

// Drag scroll: the map follows the mouse while the left button is held; the wheel zooms when
// not dragging.
class ScrollCmd : public JGDCmdCtrl {
  public:
    ScrollCmd(JGDViewBase *view, UINT id);

    int MoveMouse(QPoint &point) override;
    int MouseWheel(UINT flags, int zDelta, QPoint point) override;
    // Ends the drag.
    int UpLButton(QPoint &point) override;
    // Cancels; 1.
    int DownRButton(QPoint &point) override;
    int CursorSet() override;
    CString getLabel() override;
    CString getCancelLabel() override;

    bool IsDragging() const { return m_bDragging != 0; }

  protected:
    // Starts the drag.
    void ope_Do(QPoint &point) override;
    void ope_CANCEL(QPoint &point) override;
    void ope_KEYIN(UINT nChar, UINT nRepCnt, UINT nFlags) override;
    // Scrolls by the last step, then updates the map area and redraws. 0 when not dragging.
    int ope_Done(QPoint &point) override;

  private:
    int m_bDragging = 0;
    int m_lastX = 0;
    int m_lastY = 0;
    QCursor m_hCursor;
    // Milliseconds of the monotonic clock at the last move.
    std::uint32_t m_lastMoveTime = 0;
};
