#include "zentrova/CZentrovaView.h"

#include "pallomir/ui/FileChooser.h"
#include "pallomir/ui/JGDProgress.h"
#include "platform/core/CException.h"
#include "platform/ui/QtText.h"
#include "zentrova/CPreviewViewEx.h"
#include "zentrova/PointCsv.h"
#include "zentrova/PointListCtrl.h"
#include "zentrova/UserMessages.h"

#include <QFileInfo>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QStandardPaths>

namespace {

constexpr const char *kCsvFilter = "CSVファイル(*.csv)|*.csv||";
constexpr const char *kImportFilter =
    "CSVファイル(*.csv)|*.csv|SIM共通フォーマットファイル(*.sim)|*.sim||";

// The user's documents folder; false when there is none (a file dialog given a missing folder
// would take its last part for the file name).
bool getPersonalFolder(CString &path) {
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return false;
    path = FromQPath(folder);
    return true;
}

} // namespace

CZentrovaView::CZentrovaView(CanvasSources sources, QWidget *parent)
    : QWidget(parent), m_sources(std::move(sources)), m_printer(QPrinter::HighResolution) {}

CZentrovaView::~CZentrovaView() = default;

void CZentrovaView::OnInitialUpdate() {
    if (m_pDlg != nullptr)
        return;
    m_pDlg = new CDlgCanvas(m_sources, this);
    m_pDlg->move(0, 0);
    m_pDlg->show();
    setFixedSize(m_pDlg->size());
    m_pDlg->OnInitDialog();
}

IFileChooser &CZentrovaView::chooser() const {
    return m_chooser != nullptr ? *m_chooser : QtFileChooser::Default();
}

bool CZentrovaView::IsCommandEnabled(int id) const {
    const bool before = m_pDlg != nullptr && m_pDlg->GetBeforeList()->GetItemCount() > 0;
    const bool after = m_pDlg != nullptr && m_pDlg->GetAfterList()->GetItemCount() > 0;
    switch (id) {
    case ID_FILE_IMPORT:
        return m_pDlg != nullptr && m_pDlg->IsLoaded();
    case ID_CONVERT:
        return before;
    case ID_FILE_PRINT_PREVIEW:
    case ID_FILE_PRINT:
    case ID_CSV_OUTPUT:
        return before && after;
    default:
        return true;
    }
}

void CZentrovaView::OnFileImport() {
    if (!IsCommandEnabled(ID_FILE_IMPORT))
        return;
    CString path;
    getPersonalFolder(path);
    if (!chooser().ChooseFile(this, CString(), kImportFilter, "csv", path))
        return;
    JGDProgress progress;
    m_pDlg->ImportFile(path, progress);
}

void CZentrovaView::OnConvert() {
    if (!IsCommandEnabled(ID_CONVERT))
        return;
    JGDProgress progress;
    m_pDlg->ConvertTargets(progress);
}

void CZentrovaView::OnCsvOutput() {
    if (!IsCommandEnabled(ID_CSV_OUTPUT))
        return;
    CString path;
    getPersonalFolder(path);
    if (!chooser().ChooseSaveFile(this, CString(), kCsvFilter, "csv", path))
        return;
    ExportCsv(path);
}

bool CZentrovaView::ExportCsv(const CString &path) {
    if (m_pDlg == nullptr)
        return false;
    try {
        WriteConvertedCsv(path, m_pDlg->GetTargets());
    } catch (const CFileException &e) {
        // Written, only not confirmed by the disk: said so, and the file is out.
        if (e.m_bInPlace) {
            ReportNotTaken(e.GetErrorMessage());
            return true;
        }
        ReportFailure("変換後の座標値を書き込めませんでした。\n" + e.GetErrorMessage());
        return false;
    }
    return true;
}

void CZentrovaView::OnFilePrintSetup() {
    QPageSetupDialog dialog(&m_printer, this);
    dialog.exec();
}

void CZentrovaView::OnFilePrint() {
    if (!IsCommandEnabled(ID_FILE_PRINT))
        return;
    bool accepted = false;
    {
        QPrintDialog dialog(&m_printer, this);
        dialog.setMinMax(1, GetMaxPage());
        accepted = dialog.exec() == QDialog::Accepted;
    }
    // The print dialog is gone before the first page is drawn; the wait dialog shows the pages.
    if (!accepted)
        return;
    JGDProgress progress;
    PrintComparisonTable(m_printer, progress);
}

void CZentrovaView::OnFilePrintPreview() {
    if (!IsCommandEnabled(ID_FILE_PRINT_PREVIEW))
        return;
    m_printMode = 1;
    CPreviewViewEx preview(*this, m_printer, window());
    // A cancel while the pages are drawn closes the preview.
    const int result = preview.IsCancelled() ? QDialog::Rejected : preview.exec();
    OnEndPrinting();
    if (preview.IsCancelled())
        ReportChoice("比較表の出力を中止しました。");
    else if (result == CPreviewViewEx::PrintRequested)
        OnFilePrint();
}
