#include "zentrova/CZentrovaApp.h"

#include "platform/ui/QtText.h"
#include "platform/ui/Window.h"
#include "zentrova/CMainFrame.h"
#include "zentrova/PromptHandlers.h"

#include <QApplication>

CZentrovaApp::CZentrovaApp(CanvasSources sources) : m_sources(std::move(sources)) {}

CZentrovaApp::~CZentrovaApp() = default;

bool CZentrovaApp::InitInstance() {
    QApplication::setApplicationName(QStringLiteral("Zentrova"));
    // Message boxes carry the program's title.
    QApplication::setApplicationDisplayName(ToQString("座標変換プログラム"));
    InstallPromptHandlers();
    m_frame = std::make_unique<CMainFrame>(m_sources);
    m_frame->OnInitialUpdate();
    ShowWindow(m_frame.get(), SW_SHOW);
    return true;
}
