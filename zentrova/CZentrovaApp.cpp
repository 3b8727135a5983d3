#include "zentrova/CZentrovaApp.h"

#include "platform/ui/QtText.h"
#include "platform/ui/Window.h"
#include "zentrova/CMainFrame.h"
#include "zentrova/PromptHandlers.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

CZentrovaApp::CZentrovaApp(CanvasSources sources) : m_sources(std::move(sources)) {}

CZentrovaApp::~CZentrovaApp() = default;

bool CZentrovaApp::InitInstance() {
    // Message boxes carry the program's name, its title. It is not made the display name,
    // which Qt would append to the caption of every other window.
    QApplication::setApplicationName(ToQString("座標変換プログラム"));
    // Qt's own dialogs and questions in the user's language. The program's own translation is
    // installed after Qt's, so Qt asks it first and every text it holds overrides Qt's; it holds
    // only the texts Qt's translation leaves in English.
    m_qtTranslator = std::make_unique<QTranslator>();
    if (m_qtTranslator->load(QLocale(), QStringLiteral("qtbase"), QStringLiteral("_"),
                             QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(m_qtTranslator.get());
    m_ownTranslator = std::make_unique<QTranslator>();
    if (m_ownTranslator->load(QLocale(), QStringLiteral("zentrova"), QStringLiteral("_"),
                              QStringLiteral(":/translations")))
        QCoreApplication::installTranslator(m_ownTranslator.get());
    InstallPromptHandlers();
    m_frame = std::make_unique<CMainFrame>(m_sources);
    m_frame->OnInitialUpdate();
    ShowWindow(m_frame.get(), SW_SHOW);
    return true;
}
