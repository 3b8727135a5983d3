#pragma once

#include "zentrova/CDlgCanvas.h"

#include <memory>

class CMainFrame;
class QTranslator;

// The program: its one window over the project of the config folder.
class CZentrovaApp {
  public:
    explicit CZentrovaApp(CanvasSources sources = CanvasSources());
    ~CZentrovaApp();
    CZentrovaApp(const CZentrovaApp &) = delete;
    CZentrovaApp &operator=(const CZentrovaApp &) = delete;

    // Names the application, speaks the user's language in Qt's dialogs, answers the libraries'
    // questions with dialogs, makes the window (which loads the project) and shows it.
    bool InitInstance();
    CMainFrame *GetMainFrame() const { return m_frame.get(); }

  private:
    CanvasSources m_sources;
    std::unique_ptr<QTranslator> m_qtTranslator;  // outlives the window
    std::unique_ptr<QTranslator> m_ownTranslator; // what Qt's lacks, likewise
    std::unique_ptr<CMainFrame> m_frame;
};
