#include "pallomir/grid/CGridCtrl.h"

#include "pallomir/grid/CInPlaceEdit.h"
#include "pallomir/grid/CMemDC.h"
#include "pallomir/grid/CQtDC.h"
#include "pallomir/grid/CQtTextMeasurer.h"
#include "platform/core/Prompt.h"
#include "platform/ui/QtText.h"

#include <QApplication>
#include <QClipboard>
#include <QDrag>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QScrollBar>
#include <QStyle>
#include <QStyleHints>
#include <QTimerEvent>
#include <QWheelEvent>

#include <new>

namespace {

// The framework's key code for a Qt key; 0 for keys the grid does not know.
UINT VirtualKey(int key) {
    switch (key) {
    case Qt::Key_Left:
        return VK_LEFT;
    case Qt::Key_Right:
        return VK_RIGHT;
    case Qt::Key_Up:
        return VK_UP;
    case Qt::Key_Down:
        return VK_DOWN;
    case Qt::Key_PageUp:
        return VK_PRIOR;
    case Qt::Key_PageDown:
        return VK_NEXT;
    case Qt::Key_Home:
        return VK_HOME;
    case Qt::Key_End:
        return VK_END;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return VK_TAB;
    case Qt::Key_Insert:
        return VK_INSERT;
    case Qt::Key_Delete:
        return VK_DELETE;
    case Qt::Key_F2:
        return VK_F2;
    case Qt::Key_Escape:
        return VK_ESCAPE;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return VK_RETURN;
    case Qt::Key_Backspace:
        return VK_BACK;
    default:
        if ((key >= Qt::Key_A && key <= Qt::Key_Z) || (key >= Qt::Key_0 && key <= Qt::Key_9))
            return static_cast<UINT>(key);
        return 0;
    }
}

// The characters of a text as the grid takes them: one byte each, a double-byte character as
// lead << 8 | trail.
std::vector<UINT> Characters(const QString &text) {
    const CString bytes = ToCString(text);
    std::vector<UINT> chars;
    for (int i = 0; i < bytes.GetLength(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (CString::IsLeadByte(c) && i + 1 < bytes.GetLength())
            chars.push_back((static_cast<UINT>(c) << 8) | static_cast<unsigned char>(bytes[++i]));
        else
            chars.push_back(c);
    }
    return chars;
}

} // namespace

CGridCtrl::CGridCtrl(int nRows, int nCols, int nFixedRows, int nFixedCols, QWidget *parent)
    : QAbstractScrollArea(parent),
      CGridCore(CQtTextMeasurer::Instance(), nRows, nCols, nFixedRows, nFixedCols) {
    setObjectName(QStringLiteral("MFCGridCtrl"));
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    connect(verticalScrollBar(), &QAbstractSlider::actionTriggered, this,
            [this](int action) { onScrollAction(SB_VERT, action); });
    connect(horizontalScrollBar(), &QAbstractSlider::actionTriggered, this,
            [this](int action) { onScrollAction(SB_HORZ, action); });
    m_TitleTip.Create(viewport());
    SetWheelScrollLines(GetSystemWheelScrollLines());
    // Qt tells of a new wheel setting by this signal alone (no event reaches the widgets).
    connect(QGuiApplication::styleHints(), &QStyleHints::wheelScrollLinesChanged, this,
            [this] { OnSettingChange(); });
    m_bReady = true;
    ResetScrollBars();
}

CGridCtrl::~CGridCtrl() {
    m_bReady = false;
    DetachWindow();
    m_DropTarget.Revoke();
    m_TitleTip.Hide();
    for (CInPlaceEdit *editor : viewport()->findChildren<CInPlaceEdit *>()) {
        editor->Abandon();
        delete editor;
    }
}

BOOL CGridCtrl::Create(const CRect &rect, QWidget *pParentWnd, UINT nID, DWORD dwStyle) {
    setParent(pParentWnd);
    setGeometry(ToQRect(rect));
    SetDlgCtrlID(nID);
    try {
        m_arRowHeights.assign(static_cast<std::size_t>(m_nRows), m_cellDefault.GetHeight());
        m_arColWidths.assign(static_cast<std::size_t>(m_nCols), m_cellDefault.GetWidth());
    } catch (const std::bad_alloc &) {
        AfxMessageBox("Out of memory.", MB_ICONEXCLAMATION);
        return FALSE;
    }
    ResetScrollBars();
    if (dwStyle & WS_VISIBLE)
        show();
    return TRUE;
}

// ---- Painting and events

void CGridCtrl::paintEvent(QPaintEvent *event) {
    QPainter painter(viewport());
    if (GetDoubleBuffering()) {
        CMemDC dc(&painter, event->rect(), GetGridBkColor());
        OnDraw(&dc);
    } else {
        CQtDC dc(&painter);
        dc.SetClipBox(ToCRect(event->rect()));
        OnDraw(&dc);
    }
}

void CGridCtrl::resizeEvent(QResizeEvent *event) {
    QAbstractScrollArea::resizeEvent(event);
    m_DropTarget.Register(this);
    OnSize();
}

UINT CGridCtrl::mouseFlags(const QMouseEvent *event) {
    m_modifiers = event->modifiers();
    m_ptCursor = ToCPoint(event->position());
    UINT flags = 0;
    if (event->buttons() & Qt::LeftButton)
        flags |= MK_LBUTTON;
    if (event->buttons() & Qt::RightButton)
        flags |= MK_RBUTTON;
    if (event->modifiers() & Qt::ShiftModifier)
        flags |= MK_SHIFT;
    if (event->modifiers() & Qt::ControlModifier)
        flags |= MK_CONTROL;
    return flags;
}

void CGridCtrl::mousePressEvent(QMouseEvent *event) {
    const UINT flags = mouseFlags(event);
    m_TitleTip.Hide();
    if (event->button() == Qt::LeftButton)
        OnLButtonDown(flags, m_ptCursor);
    else if (event->button() == Qt::RightButton)
        OnRButtonDown(flags, m_ptCursor);
}

void CGridCtrl::mouseReleaseEvent(QMouseEvent *event) {
    const UINT flags = mouseFlags(event);
    if (event->button() == Qt::LeftButton)
        OnLButtonUp(flags, m_ptCursor);
    else if (event->button() == Qt::RightButton)
        OnRButtonUp(flags, m_ptCursor);
}

void CGridCtrl::mouseDoubleClickEvent(QMouseEvent *event) {
    const UINT flags = mouseFlags(event);
    if (event->button() == Qt::LeftButton)
        OnLButtonDblClk(flags, m_ptCursor);
    else if (event->button() == Qt::RightButton)
        OnRButtonDown(flags, m_ptCursor);
}

void CGridCtrl::mouseMoveEvent(QMouseEvent *event) {
    const UINT flags = mouseFlags(event);
    // A release that never came (the title tip that took the press passed it on and went away
    // before the release, which the window system then drops): the button is up once the
    // pointer moves without it.
    if (m_bLMouseButtonDown && !(event->buttons() & Qt::LeftButton))
        OnLButtonUp(flags, m_ptCursor);
    if (m_TitleTip.isVisible() && !m_TitleTip.GetHoverRect().PtInRect(m_ptCursor))
        m_TitleTip.Hide();
    OnMouseMove(flags, m_ptCursor);
    OnSetCursor(m_ptCursor);
}

void CGridCtrl::wheelEvent(QWheelEvent *event) {
    m_modifiers = event->modifiers();
    const int delta = event->angleDelta().y();
    if (delta == 0) {
        event->ignore();
        return;
    }
    OnMouseWheel(0, static_cast<short>(std::clamp(delta, -32768, 32767)),
                 ToCPoint(event->position()));
    event->accept();
}

void CGridCtrl::keyPressEvent(QKeyEvent *event) {
    m_modifiers = event->modifiers();
    m_TitleTip.Hide();
    const UINT vk = VirtualKey(event->key());
    const BOOL handled = vk != 0 && OnKeyDown(vk);
    if (vk == VK_TAB && !handled) {
        // Past the end of the table Tab goes on to the next control.
        QAbstractScrollArea::focusNextPrevChild(event->key() == Qt::Key_Tab &&
                                                !(event->modifiers() & Qt::ShiftModifier));
        return;
    }
    bool typed = false;
    if (vk != VK_DELETE) {
        for (const UINT ch : Characters(event->text())) {
            // Escape is the window's (a dialog closes), never the grid's.
            if (ch == 0x7F || ch == VK_ESCAPE ||
                (ch < 0x20 && ch != VK_BACK && ch != VK_TAB && ch != VK_RETURN))
                continue;
            if (ch > 0x7F)
                OnImeChar(ch);
            else
                OnChar(ch);
            typed = true;
        }
    }
    if (!handled && !typed)
        event->ignore();
}

void CGridCtrl::inputMethodEvent(QInputMethodEvent *event) {
    for (const UINT ch : Characters(event->commitString()))
        OnImeChar(ch);
    event->accept();
}

void CGridCtrl::timerEvent(QTimerEvent *event) {
    for (const auto &[id, qtId] : m_timers)
        if (qtId == event->timerId()) {
            OnTimer(id);
            return;
        }
    QAbstractScrollArea::timerEvent(event);
}

void CGridCtrl::changeEvent(QEvent *event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        SetFont(ToLogFont(font()));
    else if (event->type() == QEvent::PaletteChange)
        OnSysColorChange();
}

void CGridCtrl::focusOutEvent(QFocusEvent *event) {
    QAbstractScrollArea::focusOutEvent(event);
    if (m_bLMouseButtonDown)
        OnCaptureChanged();
}

bool CGridCtrl::focusNextPrevChild(bool next) {
    // With a focus cell, Tab moves within the grid (keyPressEvent).
    if (GetHandleTabKey() && IsValid(GetFocusCell()))
        return false;
    return QAbstractScrollArea::focusNextPrevChild(next);
}

void CGridCtrl::scrollContentsBy(int, int) {}

void CGridCtrl::onScrollAction(int bar, int action) {
    QScrollBar *scrollBar = bar == SB_VERT ? verticalScrollBar() : horizontalScrollBar();
    UINT code = 0;
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd:
        code = SB_LINEDOWN;
        break;
    case QAbstractSlider::SliderSingleStepSub:
        code = SB_LINEUP;
        break;
    case QAbstractSlider::SliderPageStepAdd:
        code = SB_PAGEDOWN;
        break;
    case QAbstractSlider::SliderPageStepSub:
        code = SB_PAGEUP;
        break;
    case QAbstractSlider::SliderToMinimum:
        code = SB_TOP;
        break;
    case QAbstractSlider::SliderToMaximum:
        code = SB_BOTTOM;
        break;
    case QAbstractSlider::SliderMove:
        code = SB_THUMBTRACK;
        break;
    default:
        return;
    }
    if (m_bUpdatingBars)
        return;
    const auto position = static_cast<UINT>(scrollBar->sliderPosition());
    if (bar == SB_VERT)
        OnVScroll(code, position);
    else
        OnHScroll(code, position);
    // The slider goes where the grid went.
    m_bUpdatingBars = true;
    scrollBar->setSliderPosition(GetScrollPos32(bar));
    m_bUpdatingBars = false;
}

// ---- Window services

CRect CGridCtrl::GetClientRect() const { return ToCRect(viewport()->rect()); }

int CGridCtrl::GetScrollBarThickness(int) const {
    return style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
}

void CGridCtrl::InvalidateRect(const CRect *rect) {
    if (rect != nullptr)
        viewport()->update(ToQRect(*rect));
    else
        viewport()->update();
}

void CGridCtrl::UpdateScrollBars() {
    if (m_bUpdatingBars)
        return;
    m_bUpdatingBars = true;
    setVerticalScrollBarPolicy(IsVisibleVScroll() ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(IsVisibleHScroll() ? Qt::ScrollBarAlwaysOn
                                                    : Qt::ScrollBarAlwaysOff);
    QScrollBar *vertical = verticalScrollBar();
    vertical->setRange(0, GetScrollLimit(SB_VERT));
    vertical->setPageStep(std::max(1, m_nVPage));
    vertical->setSingleStep(std::max(1, GetDefCellHeight()));
    vertical->setValue(GetScrollPos32(SB_VERT));
    QScrollBar *horizontal = horizontalScrollBar();
    horizontal->setRange(0, GetScrollLimit(SB_HORZ));
    horizontal->setPageStep(std::max(1, m_nHPage));
    horizontal->setSingleStep(std::max(1, GetDefCellWidth()));
    horizontal->setValue(GetScrollPos32(SB_HORZ));
    m_bUpdatingBars = false;
}

void CGridCtrl::SetGridCursor(GridCursor cursor) {
    switch (cursor) {
    case GridCursor::SizeWE:
        viewport()->setCursor(Qt::SizeHorCursor);
        break;
    case GridCursor::SizeNS:
        viewport()->setCursor(Qt::SizeVerCursor);
        break;
    case GridCursor::Wait:
        viewport()->setCursor(Qt::WaitCursor);
        break;
    case GridCursor::Drag:
        viewport()->setCursor(Qt::DragMoveCursor);
        break;
    case GridCursor::Arrow:
        viewport()->setCursor(Qt::ArrowCursor);
        break;
    }
}

// Qt keeps the mouse with the widget while a button is held, which is all the grid needs.
void CGridCtrl::SetCapture() {}
void CGridCtrl::ReleaseCapture() {}

CPoint CGridCtrl::GetCursorPos() const { return m_ptCursor; }

void CGridCtrl::SetTimer(UINT nIDEvent, UINT nElapse) {
    KillTimer(nIDEvent);
    m_timers[nIDEvent] = startTimer(static_cast<int>(nElapse));
}

void CGridCtrl::KillTimer(UINT nIDEvent) {
    const auto it = m_timers.find(nIDEvent);
    if (it == m_timers.end())
        return;
    killTimer(it->second);
    m_timers.erase(it);
}

bool CGridCtrl::IsKeyDown(UINT vk) const {
    if (vk == VK_SHIFT)
        return (m_modifiers & Qt::ShiftModifier) != 0;
    if (vk == VK_CONTROL)
        return (m_modifiers & Qt::ControlModifier) != 0;
    return false;
}

void CGridCtrl::SetFocus() { setFocus(Qt::OtherFocusReason); }

int CGridCtrl::GetSystemWheelScrollLines() const { return QApplication::wheelScrollLines(); }

void CGridCtrl::BeginWaitCursor() {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    ++m_nWaitCursors;
}

void CGridCtrl::EndWaitCursor() {
    if (m_nWaitCursors == 0)
        return;
    --m_nWaitCursors;
    QGuiApplication::restoreOverrideCursor();
}

CGridEditWnd *CGridCtrl::CreateInPlaceEdit(const CRect &rect, DWORD dwStyle, UINT nID, int nRow,
                                           int nCol, const CString &text, UINT nFirstChar) {
    return new CInPlaceEdit(this, rect, dwStyle, nID, nRow, nCol, text, nFirstChar);
}

void CGridCtrl::ShowTitleTip(const CRect &rectTitle, const CString &text, int xOffset,
                             const CRect &hoverRect, const LOGFONT *font, COLORREF textClr,
                             COLORREF backClr) {
    m_TitleTip.Show(rectTitle, text, xOffset, hoverRect, font, textClr, backClr);
}

void CGridCtrl::HideTitleTip() { m_TitleTip.Hide(); }

void CGridCtrl::PostCommandToOwner() {
    const UINT id = GetDlgCtrlID();
    QMetaObject::invokeMethod(
        this,
        [this, id] {
            if (IGridNotifyTarget *target = GetNotifyTarget())
                target->OnGridCommand(this, id);
        },
        Qt::QueuedConnection);
}

IGridNotifyTarget *CGridCtrl::GetParentTarget() const {
    for (QWidget *widget = parentWidget(); widget != nullptr; widget = widget->parentWidget())
        if (auto *target = dynamic_cast<IGridNotifyTarget *>(widget))
            return target;
    return nullptr;
}

CString CGridCtrl::GetDocumentTitle() const {
    for (QWidget *widget = parentWidget(); widget != nullptr; widget = widget->parentWidget())
        if (!widget->windowTitle().isEmpty())
            return ToCString(widget->windowTitle());
    return CString();
}

CString CGridCtrl::GetApplicationTitle() const {
    return ToCString(QGuiApplication::applicationDisplayName());
}

// ---- Clipboard and drag and drop

QMimeData *CGridCtrl::CopyTextFromGrid() {
    if (!IsValid(GetSelectedCellRange()))
        return nullptr;
    auto *data = new QMimeData;
    data->setText(ToQString(GetSelectedText()));
    return data;
}

BOOL CGridCtrl::PasteTextToGrid(CCellID cell, const QMimeData *pDataObject,
                                BOOL bSelectPastedCells) {
    if (pDataObject == nullptr || !pDataObject->hasText())
        return FALSE;
    return CGridCore::PasteTextToGrid(cell, ToCString(pDataObject->text()), bSelectPastedCells);
}

void CGridCtrl::OnEditCopy() {
    if (QMimeData *data = CopyTextFromGrid())
        QGuiApplication::clipboard()->setMimeData(data);
}

void CGridCtrl::OnEditCut() {
    if (!IsEditable())
        return;
    OnEditCopy();
    CutSelectedText();
}

void CGridCtrl::OnEditPaste() {
    if (!IsEditable())
        return;
    const CCellID cell = GetPasteTarget();
    if (!IsValid(cell))
        return;
    CGridCellBase *pCell = GetCell(cell.row, cell.col);
    if (pCell != nullptr && pCell->IsEditing() && pCell->GetEditWnd() != nullptr &&
        pCell->GetEditWnd()->IsEditControl()) {
        pCell->GetEditWnd()->Paste();
        return;
    }
    PasteTextToGrid(cell, QGuiApplication::clipboard()->mimeData(), TRUE);
}

BOOL CGridCtrl::OnUpdateEditSelectAll() const { return IsSelectable(); }

BOOL CGridCtrl::OnUpdateEditCopy() const { return GetSelectedCount() > 0; }

BOOL CGridCtrl::OnUpdateEditCut() const { return IsEditable() && GetSelectedCount() > 0; }

BOOL CGridCtrl::OnUpdateEditPaste() const {
    const CCellID cell = GetFocusCell();
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    return IsValid(cell) && IsCellEditable(cell) && data != nullptr && data->hasText();
}

std::unique_ptr<CImageList> CGridCtrl::CreateDragImage(CPoint *pHotSpot) {
    const CCellID cell = GetFocusCell();
    CRect rect;
    CGridCellBase *pCell = GetCell(cell.row, cell.col);
    if (pCell == nullptr || !GetCellRect(cell, &rect) || rect.IsRectEmpty())
        return nullptr;
    if (pHotSpot != nullptr)
        *pHotSpot = CPoint(rect.Width(), rect.Height());

    QImage image(rect.Width(), rect.Height(), QImage::Format_ARGB32);
    image.fill(ToQColor(m_cellDefault.GetBackClr()));
    {
        QPainter painter(&image);
        CQtDC dc(&painter);
        pCell->Draw(&dc, cell.row, cell.col, CRect(0, 0, rect.Width(), rect.Height()), FALSE);
    }
    CBitmapData bitmap;
    bitmap.width = image.width();
    bitmap.height = image.height();
    bitmap.pixels.resize(static_cast<std::size_t>(bitmap.width) *
                         static_cast<std::size_t>(bitmap.height));
    for (int y = 0; y < bitmap.height; ++y) {
        const auto *line = reinterpret_cast<const std::uint32_t *>(image.constScanLine(y));
        std::copy(line, line + bitmap.width,
                  bitmap.pixels.begin() + static_cast<std::ptrdiff_t>(y) * bitmap.width);
    }
    auto images = std::make_unique<CImageList>();
    images->Create(rect.Width(), rect.Height(), 0, 1, 1);
    images->Add(bitmap, m_cellDefault.GetBackClr());
    return images;
}

DROPEFFECT CGridCtrl::DoDragDrop(const CString &text) {
    auto *drag = new QDrag(this);
    auto *data = new QMimeData;
    data->setText(ToQString(text));
    drag->setMimeData(data);
    CPoint hotSpot;
    if (const std::unique_ptr<CImageList> image = CreateDragImage(&hotSpot)) {
        const CBitmapData *bitmap = image->GetImage(0);
        const QImage picture(reinterpret_cast<const uchar *>(bitmap->pixels.data()), bitmap->width,
                             bitmap->height, bitmap->width * 4, QImage::Format_ARGB32);
        drag->setPixmap(QPixmap::fromImage(picture.copy()));
    }
    const Qt::DropAction action = drag->exec(Qt::CopyAction | Qt::MoveAction, Qt::MoveAction);
    return action == Qt::MoveAction   ? DROPEFFECT_MOVE
           : action == Qt::CopyAction ? DROPEFFECT_COPY
                                      : DROPEFFECT_NONE;
}

// ---- Printing

void CGridCtrl::Print(QPrinter *printer) {
    std::unique_ptr<QPrinter> ownPrinter;
    if (printer == nullptr) {
        ownPrinter = std::make_unique<QPrinter>();
        QPrintDialog dialog(ownPrinter.get(), this);
        dialog.setOptions(QAbstractPrintDialog::PrintShowPageSize |
                          QAbstractPrintDialog::PrintCollateCopies);
        if (dialog.exec() != QDialog::Accepted)
            return;
        printer = ownPrinter.get();
    }
    printer->setDocName(ToQString(GetDocumentTitle()));

    QPainter painter;
    if (!painter.begin(printer))
        return;
    CQtDC dc(&painter, true, printer->colorMode() == QPrinter::GrayScale ? 2 : -1);
    CPrintInfo info;
    info.m_rectDraw = CRect(0, 0, dc.GetDeviceCaps(HORZRES), dc.GetDeviceCaps(VERTRES));
    OnBeginPrinting(&dc, &info);
    bool completed = true;
    for (UINT page = info.GetMinPage(); page <= info.GetMaxPage(); ++page) {
        if (page > info.GetMinPage() && !printer->newPage()) {
            completed = false;
            break;
        }
        info.m_nCurPage = page;
        OnPrint(&dc, &info);
    }
    OnEndPrinting(&dc, &info);
    if (!completed)
        printer->abort();
    painter.end();
}
