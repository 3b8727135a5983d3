#include "zentrova/CMainFrame.h"

#include "platform/ui/QtText.h"
#include "zentrova/CZentrovaView.h"

#include <QAction>
#include <QGuiApplication>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>

CMainFrame::CMainFrame(CanvasSources sources, QWidget *parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    m_view = new CZentrovaView(std::move(sources), this);
    setCentralWidget(m_view);
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
    setFixedSize(m_view->width(), m_view->height() + menuBar()->sizeHint().height());
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    setWindowTitle(ToQString("座標変換プログラム"));
}

void CMainFrame::UpdateCommandUI() {
    for (const auto &[id, action] : m_commands)
        action->setEnabled(m_view->IsCommandEnabled(id));
}
