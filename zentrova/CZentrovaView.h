#pragma once

#include "platform/core/CString.h"
#include "zentrova/CDlgCanvas.h"

#include <QPrinter>
#include <QWidget>

class IFileChooser;
class JIProgMsgBase;
class QPainter;

// The frame's only view: it holds the main dialog, runs the menu commands on it and prints the
// comparison table of the converted targets.
class CZentrovaView : public QWidget {
    Q_OBJECT

  public:
    static constexpr int ID_FILE_IMPORT = 32775;
    static constexpr int ID_CONVERT = 32776;
    static constexpr int ID_APP_EXIT = 32778;
    static constexpr int ID_CSV_OUTPUT = 32784;
    static constexpr int ID_FILE_PRINT_SETUP = 57606;
    static constexpr int ID_FILE_PRINT = 57607;
    static constexpr int ID_FILE_PRINT_PREVIEW = 57609;

    // Targets on one printed page.
    static constexpr int kRowsPerPage = 33;

    explicit CZentrovaView(CanvasSources sources, QWidget *parent = nullptr);
    ~CZentrovaView() override;

    // Makes the main dialog and loads the project, once.
    void OnInitialUpdate();
    // Null before the first update.
    CDlgCanvas *GetDialog() const { return m_pDlg; }

    // Whether the menu command can run now.
    bool IsCommandEnabled(int id) const;
    // Replaces the file dialogs (not owned; null: the Qt dialogs).
    void SetFileChooser(IFileChooser *chooser) { m_chooser = chooser; }
    // The printer settings that printing, preview and printer set-up share.
    QPrinter &GetPrinter() { return m_printer; }

    void OnFileImport();
    void OnConvert();
    void OnFilePrintPreview();
    void OnFilePrint();
    void OnFilePrintSetup();
    void OnCsvOutput();

    // Writes the converted targets to the CSV file; a file that cannot be written is reported.
    bool ExportCsv(const CString &path);

    // 0 screen, 1 preview requested (landscape not yet applied), 2 printing.
    short GetPrintMode() const { return m_printMode; }
    // Pages of the comparison table: 0 without targets, else 33 targets a page.
    int GetMaxPage() const;
    // Prints the pages of the printer's range (all when it has none) in print mode 2, the
    // progress showing the page drawn and offering Cancel. A printer that cannot be drawn on, or
    // a file printed to that could not be written whole, is reported with the file and the
    // reason; a cancel is told. Either way a file at that name is left as it was.
    bool PrintComparisonTable(QPrinter &printer, JIProgMsgBase &progress);
    // Starts a print run (a preview's first run turns the printer to landscape) and draws the
    // pages, each reported to the progress (its wait dialog with Cancel, closed at the end; null:
    // none): every page for a preview, those of the printer's range for a print, whose job a
    // cancel aborts. False when the printer cannot be drawn on or the user cancelled (the
    // progress then tells which).
    enum class Run { Preview, Print };
    bool PrintDocument(QPrinter &printer, Run run, JIProgMsgBase *progress);
    void OnEndPrinting() { m_printMode = 0; }

    // Draws one page of the table; nothing on the screen or without converted targets. Sizes
    // are in units of 1/600 inch whatever the printer's resolution.
    void printComparisonPage(QPainter &painter, const QPrinter &printer, int pageIndex);
    // Draws the text in the rectangle less a tenth of its height above and below, in a smaller
    // font when it does not fit (down to 13 units at the least); the painter's font is kept.
    // The pixel size drawn with.
    static int drawFittedText(QPainter &painter, const QRect &rect, const CString &text,
                              Qt::Alignment alignment);

  private:
    void OnBeginPrinting(QPrinter &printer);
    // Prints to the printer's output file through a temporary file, put in place only whole;
    // why it was not goes to reason.
    bool printToFile(QPrinter &printer, const QString &target, JIProgMsgBase &progress,
                     CString &reason);
    IFileChooser &chooser() const;

    CanvasSources m_sources;
    CDlgCanvas *m_pDlg = nullptr;
    short m_printMode = 0;
    QPrinter m_printer;
    IFileChooser *m_chooser = nullptr;
};
