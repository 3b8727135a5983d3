#include "pallomir/ui/CADBFileCopyDlg.h"

#include "pallomir/ui/FileCopyForm.h"
#include "pallomir/ui/JFileCopier.h"

namespace {

constexpr int kFromFolder = 0;
constexpr int kFromFile = 1;

} // namespace

CADBFileCopyDlg::CADBFileCopyDlg(const CString &installFolder, QWidget *parent)
    : CFileCopyDlgBase(IDD, parent), m_installFolder(installFolder) {
    FileCopyForm::Layout layout;
    layout.title = "行政界・海岸線(面)ファイルのインストール";
    layout.texts = {{IDC_STATIC_TEXT,
                     "国土交通省の国土数値情報-国土骨格-行政界・海岸線(面)のファイルをDolvaneの実行"
                     "環境にインストールします。",
                     20},
                    {-1, "以下の選択肢より、コピー方法を選択して下さい。", 10}};
    layout.radios = {{FileCopyForm::IDC_RADIO_FOLDER, "指定フォルダからコピー(&1)", kFromFolder},
                     {FileCopyForm::IDC_RADIO_FILE, "指定ファイルをコピー(&2)", kFromFile}};
    layout.defaultValue = kFromFolder;
    layout.folderValue = kFromFolder;
    layout.fileValue = kFromFile;
    layout.fileExt = "txt";
    layout.fileFilter = "国土数値情報 行政界・海岸線(面)ファイル (*.txt)|*.txt||";
    layout.fileTitle = "行政界ファイルの選択";
    m_form = new FileCopyForm(this, std::move(layout));
}

bool CADBFileCopyDlg::OnInitDialog() {
    m_form->updateCtrls();
    return true;
}

void CADBFileCopyDlg::OnOK() {
    m_copiedFiles.clear();
    JAdbFileCopier copier(m_operation);
    if (!m_form->CopyFromSource(
            copier, m_installFolder, "mlitksj", "txt",
            "指定されたフォルダに行政界・海岸線(面)ファイルが１つもなかったため、"
            "コピーされませんでした。"))
        return;
    EndWithCopied(copier, false);
}
