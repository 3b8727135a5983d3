#include "zentrova/CMainFrame.h"

#include "platform/ui/QtText.h"
#include "zentrova/CZentrovaView.h"

#include <QAction>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>
#include <QWindow>

#include <algorithm>

CMainFrame::CMainFrame(CanvasSources sources, QWidget *parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    m_view = new CZentrovaView(std::move(sources), this);
    m_scroll = new QScrollArea(this);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setWidget(m_view);
    setCentralWidget(m_scroll);
    resize(640, 420);

    QMenu *menu = menuBar()->addMenu(ToQString("ファイル(&F)"));
    struct Command {
        int id; // 0: a separator
        const char *text;
        void (CZentrovaView::*handler)();
    };
    const Command commands[] = {
        {CZentrovaView::ID_FILE_IMPORT, "座標取込(&I)", &CZentrovaView::OnFileImport},
        {CZentrovaView::ID_CONVERT, "座標変換(&E)", &CZentrovaView::OnConvert},
        {0, nullptr, nullptr},
        {CZentrovaView::ID_FILE_PRINT_PREVIEW, "比較表の出力(印刷プレビュー)(&P)",
         &CZentrovaView::OnFilePrintPreview},
        {CZentrovaView::ID_FILE_PRINT, "比較表の出力(&V)", &CZentrovaView::OnFilePrint},
        {0, nullptr, nullptr},
        {CZentrovaView::ID_CSV_OUTPUT, "変換後の座標値をCSV出力(&C)", &CZentrovaView::OnCsvOutput},
        {0, nullptr, nullptr},
        {CZentrovaView::ID_FILE_PRINT_SETUP, "プリンタの設定(&R)",
         &CZentrovaView::OnFilePrintSetup},
        {0, nullptr, nullptr},
        {CZentrovaView::ID_APP_EXIT, "終了(&X)", nullptr},
    };
    for (const Command &command : commands) {
        if (command.id == 0) {
            menu->addSeparator();
            continue;
        }
        QAction *action = menu->addAction(ToQString(command.text));
        m_commands[command.id] = action;
        if (command.handler != nullptr)
            connect(action, &QAction::triggered, m_view, command.handler);
        else
            connect(action, &QAction::triggered, this, &QWidget::close);
    }
    connect(menu, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandUI);
}

QAction *CMainFrame::GetCommand(int id) const {
    const auto found = m_commands.find(id);
    return found != m_commands.end() ? found->second : nullptr;
}

void CMainFrame::OnInitialUpdate() {
    m_view->OnInitialUpdate();
    connect(m_view->GetDialog(), &CDlgCanvas::listsChanged, this, &CMainFrame::UpdateCommandUI);
    UpdateCommandUI();
    fitToScreen();
    setWindowTitle(ToQString("座標変換プログラム"));
}

void CMainFrame::fitToScreen() {
    if (const QScreen *screen = this->screen())
        FitToArea(screen->availableGeometry());
}

void CMainFrame::FitToArea(const QRect &area) {
    const QMargins frame = windowHandle() != nullptr ? windowHandle()->frameMargins() : QMargins();
    const QSize room = area.size().shrunkBy(frame);
    const QSize view = m_view->size();
    const int menu = menuBar()->sizeHint().height();
    bool cutWidth = view.width() > room.width();
    bool cutHeight = view.height() + menu > room.height();
    // A scroll bar takes room from the other direction.
    const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_scroll);
    if (cutHeight && !cutWidth)
        cutWidth = view.width() + bar > room.width();
    if (cutWidth && !cutHeight)
        cutHeight = view.height() + menu + bar > room.height();
    const QSize size(std::min(view.width() + (cutHeight ? bar : 0), room.width()),
                     std::min(view.height() + menu + (cutWidth ? bar : 0), room.height()));
    setFixedSize(size);
    QRect placed(QPoint(), size.grownBy(frame));
    placed.moveCenter(area.center());
    placed.moveTopLeft(
        QPoint(std::max(placed.left(), area.left()), std::max(placed.top(), area.top())));
    move(placed.topLeft());
    m_fittedMargins = frame;
    m_fitted = true;
}

void CMainFrame::moveEvent(QMoveEvent *event) {
    QMainWindow::moveEvent(event);
    // Only the decorations, once known, make it fit again: a window the user moves stays where
    // it is put.
    if (m_fitted && windowHandle() != nullptr && windowHandle()->frameMargins() != m_fittedMargins)
        fitToScreen();
}

void CMainFrame::UpdateCommandUI() {
    for (const auto &[id, action] : m_commands)
        action->setEnabled(m_view->IsCommandEnabled(id));
}
