#include "pallomir/ui/CEDXFileCopyDlg.h"

#include "pallomir/ui/FileCopyForm.h"
#include "pallomir/ui/JFileCopier.h"
#include "platform/ui/WaitCursor.h"

#include <memory>

namespace {

constexpr int kFromFloppy = 0;
constexpr int kFromFolder = 1;
constexpr int kFromFile = 2;

} // namespace

CEDXFileCopyDlg::CEDXFileCopyDlg(const CString &installFolder, QWidget *parent)
    : CFileCopyDlgBase(IDD, parent), m_installFolder(installFolder) {
    FileCopyForm::Layout layout;
    layout.title = "EDXデータファイルのインストール";
    layout.texts = {{-1, "ＥＤＸファイルを、Dolvaneの実行環境にコピーします。", 10},
                    {-1, "以下の選択肢より、コピー方法を選択して下さい。", 10}};
    layout.radios = {
        {IDC_RADIO_FD, "Trelvic/EDXのフロッピーディスクからコピー(推奨)(&1)", kFromFloppy},
        {FileCopyForm::IDC_RADIO_FOLDER, "指定フォルダからコピー(&2)", kFromFolder},
        {FileCopyForm::IDC_RADIO_FILE, "指定ファイルをコピー(&3)", kFromFile}};
    layout.defaultValue = kFromFloppy;
    layout.folderValue = kFromFolder;
    layout.fileValue = kFromFile;
    layout.fileExt = "edx";
    layout.fileFilter = "Trelvic/EDXファイル (*.edx)|*.edx||";
    layout.fileTitle = "Trelvic/EDXファイルの選択";
    m_form = new FileCopyForm(this, std::move(layout));
}

bool CEDXFileCopyDlg::OnInitDialog() {
    m_copiedFiles.clear();
    m_form->updateCtrls();
    return true;
}

JEdxFileCopier *CEDXFileCopyDlg::createCopier() { return new JEdxFileCopier(m_operation); }

void CEDXFileCopyDlg::OnOK() {
    m_copiedFiles.clear();
    const std::unique_ptr<JEdxFileCopier> copier(createCopier());
    if (m_form->GetKind() == kFromFloppy) {
        {
            DisableWhile disabled(this);
            CWaitCursor wait;
            copier->CopyFilesFromFD(m_installFolder, "edx", "edx");
        }
        FileCopyForm::ReportFailures(*copier);
    } else if (!m_form->CopyFromSource(
                   *copier, m_installFolder, "edx", "edx",
                   "指定されたフォルダにTrelvic/"
                   "EDXファイルが１つもなかったため、コピーされませんでした。")) {
        return;
    }
    m_copiedVersion = copier->getMaxCopiedVerStr();
    EndWithCopied(*copier, true);
}
