#include "pallomir/ui/CPrmFileCopyDlg.h"

#include "pallomir/ui/FileCopyForm.h"
#include "pallomir/ui/JCnvPrmFileCopier.h"
#include "platform/ui/WaitCursor.h"

#include <memory>

namespace {

constexpr int kFromCdRom = 0;
constexpr int kFromFolder = 1;
constexpr int kFromFile = 2;

} // namespace

CPrmFileCopyDlg::CPrmFileCopyDlg(const CString &installFolder, QWidget *parent)
    : JGDDlgBase(IDD, parent, 0), m_installFolder(installFolder) {
    FileCopyForm::Layout layout;
    layout.title = "TKY2JGDパラメータファイルのコピー";
    layout.texts = {{-1,
                     "TKY2JGDのパラメータファイルを、Dolvaneの実行環境にコピーします。\n"
                     "以下の選択肢より、コピー方法を選択して下さい。",
                     20}};
    layout.radios = {{IDC_RADIO_CDROM, "TKY2JGDのCD-ROMからコピー(&1)", kFromCdRom},
                     {FileCopyForm::IDC_RADIO_FOLDER, "指定フォルダからコピー(&2)", kFromFolder},
                     {FileCopyForm::IDC_RADIO_FILE, "指定ファイルをコピー(&3)", kFromFile}};
    layout.defaultValue = kFromFolder;
    layout.folderValue = kFromFolder;
    layout.fileValue = kFromFile;
    layout.checkId = IDC_CHECK_VERSIONED;
    layout.checkText = "バージョン別に管理された場所にコピー(推奨)(&V)";
    layout.browseFollowsRadio = false;
    layout.fileExt = "par";
    layout.fileFilter = "TKY2JGDパラメータファイル (*.par)|*.par||";
    layout.fileTitle = "TKY2JGDパラメータファイルの選択";
    m_form = new FileCopyForm(this, std::move(layout));
    m_form->SetChecked(true);
}

int CPrmFileCopyDlg::GetCopyKind() const { return m_form->GetKind(); }

void CPrmFileCopyDlg::SetFileChooser(IFileChooser *chooser) { m_form->SetFileChooser(chooser); }

JCnvPrmFileCopier *CPrmFileCopyDlg::createCopier() { return new JCnvPrmFileCopier(m_operation); }

void CPrmFileCopyDlg::OnOK() {
    const std::unique_ptr<JCnvPrmFileCopier> copier(createCopier());
    const bool versioned = m_form->IsChecked();
    if (GetCopyKind() == kFromCdRom) {
        if (!copier->CopyPrmFilesPrompt(this))
            return;
        {
            DisableWhile disabled(this);
            CWaitCursor wait;
            copier->CopyPrmFiles(m_installFolder, versioned);
        }
        FileCopyForm::ReportFailures(*copier);
    } else {
        copier->SetVersioned(versioned);
        // An empty edit ends the handler; the dialog is never left disabled.
        if (!m_form->CopyFromSource(
                *copier, m_installFolder, CString(), "par",
                "指定されたフォルダに変換パラメータファイルが１つもなかったため、"
                "コピーされませんでした。"))
            return;
    }
    // Nothing copied is no success: the dialog stays open.
    if (copier->GetCopiedFileSize() > 0)
        JGDDlgBase::OnOK();
}
