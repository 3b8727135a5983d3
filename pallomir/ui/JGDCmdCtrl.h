#pragma once

#include "platform/core/CString.h"
#include "platform/core/WinTypes.h"

#include <QPoint>

class CDocument;
class JGDViewBase;
class QPainter;

// The virtual-key code of the Escape key.
inline constexpr UINT VK_ESCAPE = 0x1B;
// A wheel turned by one notch gives a delta of 120.
inline constexpr int WHEEL_DELTA = 120;

// An interactive command of a map view. The view passes its mouse and keyboard input to its
// current command; the command calls back the view's zoom and scroll operations. The input
// handlers answer 1 when they handled the input, 0 when not.
class JGDCmdCtrl {
  public:
    JGDCmdCtrl(JGDViewBase *view, UINT id, CDocument *doc);
    JGDCmdCtrl(const JGDCmdCtrl &other) = default;
    JGDCmdCtrl &operator=(const JGDCmdCtrl &other) = default;
    virtual ~JGDCmdCtrl();

    virtual int MoveMouse(QPoint &point);
    // flags as the framework gives them, zDelta positive when the wheel turns away from the user.
    virtual int MouseWheel(UINT flags, int zDelta, QPoint point);
    // Calls ope_Do.
    virtual int DownLButton(QPoint &point);
    virtual int UpLButton(QPoint &point);
    virtual int DblClkLButton(QPoint &point);
    // Calls ope_Done.
    virtual int DownRButton(QPoint &point);
    virtual int UpRButton(QPoint &point);
    virtual int DblClkRButton(QPoint &point);
    virtual int UpKey(UINT nChar, UINT nRepCnt, UINT nFlags);
    virtual int DownSyskey(UINT nChar, UINT nRepCnt, UINT nFlags);
    virtual int UpSyskey(UINT nChar, UINT nRepCnt, UINT nFlags);
    // Escape acts as the right button pressed at (0, 0).
    virtual int DownKey(UINT nChar, UINT nRepCnt, UINT nFlags);
    virtual int InChar(UINT nChar, UINT nRepCnt, UINT nFlags);
    virtual int InSyschar(UINT nChar, UINT nRepCnt, UINT nFlags);
    virtual void setGuideMessage(UINT id);
    virtual void setGuideMessage(CString text);
    virtual void Activate(int active);
    virtual void ChangedCondition(UINT condition);
    virtual void DoDraw(QPainter *painter);
    // Sets the command's cursor on the view; 1.
    virtual int CursorSet();
    virtual CString getLabel() = 0;
    virtual CString getCancelLabel() = 0;
    virtual UINT getId();

    // The zoom factor of a number of wheel notches: 1.1 per notch turned towards the user
    // (negative), 0.9 per notch away from the user; 1.0 for none.
    static double WheelZoomFactor(int notches);

  protected:
    virtual void ope_Do(QPoint &point) = 0;
    virtual void ope_CANCEL(QPoint &point) = 0;
    virtual void ope_KEYIN(UINT nChar, UINT nRepCnt, UINT nFlags) = 0;
    virtual int ope_Done(QPoint &point);
    virtual int ope_CancelAll();

    // Wheel zoom of the view. Deltas below a notch (touchpads, smooth wheels) add up until they
    // make whole notches; the view zooms and redraws once they do. A turn the other way drops
    // what was left of the last one. 1.
    int zoomByWheel(int zDelta);

    JGDViewBase *m_pView;
    CDocument *m_pDoc;
    int m_nReserved = 0;
    UINT m_nId;

  private:
    // The part of a notch turned and not yet used.
    int m_wheelRest = 0;
};
