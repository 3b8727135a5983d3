#pragma once

#include "pallomir/grid/core/GridDefs.h"

#include <QObject>

class CGridCtrl;
class QMimeData;
class QWidget;

// Takes text dropped on a grid (from itself or another grid or program) and hands it to the
// grid: a cell under the pointer is highlighted while it would take the drop; Ctrl copies,
// otherwise the text moves.
class CGridDropTarget : public QObject {
  public:
    CGridDropTarget();
    ~CGridDropTarget() override;

    // Registers once; FALSE when already registered or without a grid.
    BOOL Register(CGridCtrl *pGridCtrl);
    void Revoke();
    bool IsRegistered() const { return m_bRegistered; }

    // Forwarded to the grid when the window is the registered grid's; else no effect.
    DROPEFFECT OnDragEnter(QWidget *pWnd, const QMimeData *pDataObject, DWORD dwKeyState,
                           CPoint point);
    DROPEFFECT OnDragOver(QWidget *pWnd, const QMimeData *pDataObject, DWORD dwKeyState,
                          CPoint point);
    void OnDragLeave(QWidget *pWnd);
    BOOL OnDrop(QWidget *pWnd, const QMimeData *pDataObject, DROPEFFECT dropEffect, CPoint point);
    DROPEFFECT OnDragScroll(QWidget *pWnd, DWORD dwKeyState, CPoint point);

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    bool isGridWindow(QWidget *pWnd) const;

    CGridCtrl *m_pGridCtrl = nullptr;
    bool m_bRegistered = false;
};
