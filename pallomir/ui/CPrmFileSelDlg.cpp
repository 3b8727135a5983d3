#include "pallomir/ui/CPrmFileSelDlg.h"

#include "pallomir/ui/CPrmFileCopyDlg.h"
#include "pallomir/ui/PrmFileCmbBox.h"
#include "platform/core/Path.h"
#include "platform/core/Prompt.h"
#include "platform/ui/DialogUnits.h"
#include "platform/ui/QtText.h"
#include "platform/ui/UiFont.h"

#include <QLabel>
#include <QPushButton>

namespace {

QLabel *addText(QWidget *dialog, const char *text, const QRect &dlu, const DialogUnits &units) {
    auto *label = new QLabel(ToQString(text), dialog);
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    PlaceControl(label, -1, dlu, units);
    return label;
}

} // namespace

CPrmFileSelDlg::CPrmFileSelDlg(const CString &file, const CString &folderName,
                               const CString &installFolder, QWidget *parent)
    : JGDDlgBase(IDD, parent, 0), m_installFolder(installFolder), m_initFile(file),
      m_initDir(folderName), m_selectedFile(file), m_selectedDir(folderName) {
    setFont(UiFont(9));
    setWindowTitle(ToQString("変換パラメータファイルの選択"));
    const DialogUnits units(font());
    addText(this, "TKY2JGD方式の座標変換計算に使用する変換パラメータファイルを選択してください。\n",
            QRect(7, 7, 236, 26), units);
    m_pVerCombo = new PrmVerCmbBox(installFolder, this);
    PlaceControl(m_pVerCombo, IDC_CMB_PRMVERSION, QRect(7, 34, 236, 12), units);
    m_pFileCombo = new PrmFileCmbBox(installFolder, this);
    PlaceControl(m_pFileCombo, IDC_CMB_PRMFILE, QRect(7, 51, 236, 12), units);
    addText(this, "一覧に１つも候補が表示されない場合は下のボタンを押してコピーを行って下さい。",
            QRect(7, 72, 236, 18), units);
    auto *copy = new QPushButton(ToQString("変換パラメータファイルのコピー(&C)..."), this);
    PlaceControl(copy, IDC_BTN_PRMFILE_COPY, QRect(7, 93, 150, 14), units);
    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    PlaceControl(ok, IDOK, QRect(135, 117, 52, 14), units);
    auto *cancel = new QPushButton(ToQString("ｷｬﾝｾﾙ"), this);
    PlaceControl(cancel, IDCANCEL, QRect(191, 117, 52, 14), units);
    copy->setAutoDefault(false);
    cancel->setAutoDefault(false);
    ok->setDefault(true);
    setFixedSize(units.ToPixels(QSize(250, 138)));

    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(copy, &QPushButton::clicked, this, &CPrmFileSelDlg::OnBtnPrmfileCopy);
    connect(m_pVerCombo, &QComboBox::activated, this, &CPrmFileSelDlg::OnSelchangeCmbPrmversion);
    connect(m_pFileCombo, &QComboBox::activated, this, &CPrmFileSelDlg::OnSelchangeCmbPrmfile);
}

bool CPrmFileSelDlg::IsChanged() const {
    return m_selectedFile != m_initFile || m_selectedDir != m_initDir;
}

CString CPrmFileSelDlg::getPrmFileDir() const {
    return m_selectedDir.IsEmpty() ? m_installFolder : Path::Join(m_installFolder, m_selectedDir);
}

bool CPrmFileSelDlg::OnInitDialog() {
    m_pFileCombo->SetBaseDir(getPrmFileDir());
    setComboBox();
    return true;
}

void CPrmFileSelDlg::setComboBox() {
    m_pFileCombo->SetData();
    m_pVerCombo->SetData();
    m_pFileCombo->setCurrentIndex(
        m_pFileCombo->findText(ToQString(m_selectedFile), Qt::MatchStartsWith));
    m_pVerCombo->SelectItem(m_selectedDir);
}

void CPrmFileSelDlg::OnSelchangeCmbPrmfile() { m_selectedFile = m_pFileCombo->GetSelectedFile(); }

void CPrmFileSelDlg::OnSelchangeCmbPrmversion() {
    const CString folder = m_pVerCombo->GetSelectedDir();
    if (folder.IsEmpty())
        return;
    m_selectedDir = m_pVerCombo->GetSelectedDirName();
    m_pFileCombo->SetBaseDir(folder);
    setComboBox();
}

void CPrmFileSelDlg::OnBtnPrmfileCopy() {
    CPrmFileCopyDlg dialog(m_installFolder, this);
    dialog.SetFileChooser(m_chooser);
    dialog.SetFileCopyOperation(m_operation);
    dialog.DoModal();
    setComboBox();
}

void CPrmFileSelDlg::OnOK() {
    m_selectedFile = m_pFileCombo->GetSelectedFile();
    m_selectedDir = m_pVerCombo->GetSelectedDirName();
    JGDDlgBase::OnOK();
}
