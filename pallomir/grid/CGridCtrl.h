#pragma once

#include "pallomir/grid/CGridDropTarget.h"
#include "pallomir/grid/CTitleTip.h"
#include "pallomir/grid/core/CGridCore.h"

#include <QAbstractScrollArea>
#include <QPointer>

#include <map>
#include <memory>

class CInPlaceEdit;
class QMimeData;
class QPrinter;

// The grid control as a widget: the grid of CGridCore drawn in a scroll area, with the mouse,
// keyboard and input method, the clipboard, drag and drop, title tips and printing. Hosts hear
// it through an IGridNotifyTarget: SetOwner, or a parent widget that implements it.
// The grid's widgets need no signals of their own and carry no Q_OBJECT: moc cannot read
// <compare>, which CString.h includes.
class CGridCtrl : public QAbstractScrollArea, public CGridCore {
  public:
    explicit CGridCtrl(int nRows = 0, int nCols = 0, int nFixedRows = 0, int nFixedCols = 0,
                       QWidget *parent = nullptr);
    ~CGridCtrl() override;

    // Places the grid in the parent at the rectangle with the control id, and gives every row
    // and column the default cell's size.
    BOOL Create(const CRect &rect, QWidget *pParentWnd, UINT nID, DWORD dwStyle = 0);

    // Prints the whole grid on the printer; without one, asks for a printer first and stops
    // when the user cancels.
    void Print(QPrinter *printer = nullptr);

    // The selection as text (tabs and line feeds, in UTF-8 for other programs); null without a
    // selection. The caller owns it.
    virtual QMimeData *CopyTextFromGrid();
    using CGridCore::PasteTextToGrid;
    // FALSE unless the data holds text and the cell can take it.
    virtual BOOL PasteTextToGrid(CCellID cell, const QMimeData *pDataObject,
                                 BOOL bSelectPastedCells = TRUE);
    void OnEditCopy() override;
    void OnEditCut() override;
    void OnEditPaste() override;
    // Whether the edit commands are enabled now (for the host's menus and tool bars): select
    // all while the grid is selectable, copy with cells selected, cut when also editable,
    // paste with an editable focus cell and text on the clipboard.
    BOOL OnUpdateEditSelectAll() const;
    BOOL OnUpdateEditCopy() const;
    BOOL OnUpdateEditCut() const;
    BOOL OnUpdateEditPaste() const;

    // The focus cell drawn as an image the size of the cell; null when the cell is not shown.
    // The caller owns it.
    std::unique_ptr<CImageList> CreateDragImage(CPoint *pHotSpot);

    CTitleTip &GetTitleTip() { return m_TitleTip; }
    CGridDropTarget &GetDropTarget() { return m_DropTarget; }
    // The modifier keys of the latest input (the in-place editor passes its own on).
    void NoteKeyboardModifiers(Qt::KeyboardModifiers modifiers) { m_modifiers = modifiers; }

  protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;
    void timerEvent(QTimerEvent *event) override;
    void changeEvent(QEvent *event) override;
    // Losing the focus with the button held ends auto-scrolling, as losing the mouse did.
    void focusOutEvent(QFocusEvent *event) override;
    bool focusNextPrevChild(bool next) override;
    // The grid repaints what moved itself; the area does not shift pixels.
    void scrollContentsBy(int dx, int dy) override;

    // Window services.
    bool IsWindowCreated() const override { return m_bReady; }
    CRect GetClientRect() const override;
    int GetScrollBarThickness(int nBar) const override;
    void InvalidateRect(const CRect *rect) override;
    void UpdateScrollBars() override;
    void SetGridCursor(GridCursor cursor) override;
    void SetCapture() override;
    void ReleaseCapture() override;
    CPoint GetCursorPos() const override;
    void SetTimer(UINT nIDEvent, UINT nElapse) override;
    void KillTimer(UINT nIDEvent) override;
    bool IsKeyDown(UINT vk) const override;
    void SetFocus() override;
    int GetSystemWheelScrollLines() const override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;
    CGridEditWnd *CreateInPlaceEdit(const CRect &rect, DWORD dwStyle, UINT nID, int nRow, int nCol,
                                    const CString &text, UINT nFirstChar) override;
    void ShowTitleTip(const CRect &rectTitle, const CString &text, int xOffset,
                      const CRect &hoverRect, const LOGFONT *font, COLORREF textClr,
                      COLORREF backClr) override;
    void HideTitleTip() override;
    void PostCommandToOwner() override;
    IGridNotifyTarget *GetParentTarget() const override;
    CString GetDocumentTitle() const override;
    CString GetApplicationTitle() const override;
    DROPEFFECT DoDragDrop(const CString &text) override;

  private:
    void onScrollAction(int bar, int action);
    UINT mouseFlags(const QMouseEvent *event);

    bool m_bReady = false;
    bool m_bUpdatingBars = false;
    Qt::KeyboardModifiers m_modifiers;
    CPoint m_ptCursor;
    std::map<UINT, int> m_timers;
    CTitleTip m_TitleTip;
    CGridDropTarget m_DropTarget;
    int m_nWaitCursors = 0;
};
