#include "pallomir/ui/FileCopyForm.h"

#include "pallomir/ui/FileChooser.h"
#include "pallomir/ui/JFileCopier.h"
#include "platform/core/Prompt.h"
#include "platform/ui/DialogUnits.h"
#include "platform/ui/QtText.h"
#include "platform/ui/UiFont.h"
#include "platform/ui/WaitCursor.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

constexpr int kWidth = 270;
constexpr int kMargin = 7;
constexpr int kBrowseWidth = 56;
constexpr int kButtonWidth = 62;
// Failures listed by name before the rest are only counted.
constexpr std::size_t kListedFailures = 10;

CString trimmed(const QLineEdit *edit) {
    CString text = ToCString(edit->text());
    text.Trim();
    return text;
}

} // namespace

FileCopyForm::FileCopyForm(QDialog *dialog, Layout layout)
    : QObject(dialog), m_dialog(dialog), m_layout(std::move(layout)),
      m_chooser(&QtFileChooser::Default()) {
    dialog->setFont(UiFont(11));
    dialog->setWindowTitle(ToQString(m_layout.title));
    const DialogUnits units(dialog->font());

    int y = kMargin;
    for (const Text &text : m_layout.texts) {
        auto *label = new QLabel(ToQString(text.text), dialog);
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        PlaceControl(label, text.id, QRect(kMargin, y, kWidth - 2 * kMargin, text.height), units);
        y += text.height + 3;
    }
    y += 3;

    m_radios = new QButtonGroup(this);
    const int editWidth = kWidth - 20 - kMargin - kBrowseWidth - 4;
    for (const Radio &radio : m_layout.radios) {
        auto *button = new QRadioButton(ToQString(radio.text), dialog);
        PlaceControl(button, radio.id, QRect(10, y, kWidth - 10 - kMargin, 10), units);
        m_radios->addButton(button, radio.value);
        y += 12;
        if (radio.value != m_layout.folderValue && radio.value != m_layout.fileValue)
            continue;
        const bool folder = radio.value == m_layout.folderValue;
        auto *edit = new QLineEdit(dialog);
        PlaceControl(edit, folder ? IDC_EDIT_FOLDER : IDC_EDIT_FILE, QRect(20, y, editWidth, 13),
                     units);
        auto *browse = new QPushButton(ToQString(folder ? "参照(&R)..." : "参照(&N)..."), dialog);
        PlaceControl(browse, folder ? IDC_BTN_REF_FOLDER : IDC_BTN_REF_FILE,
                     QRect(kWidth - kMargin - kBrowseWidth, y, kBrowseWidth, 14), units);
        browse->setAutoDefault(false);
        connect(edit, &QLineEdit::textChanged, this, &FileCopyForm::updateCtrls);
        if (folder) {
            m_folder = edit;
            m_refFolder = browse;
            connect(browse, &QPushButton::clicked, this, &FileCopyForm::OnBtnRefFolder);
        } else {
            m_file = edit;
            m_refFile = browse;
            connect(browse, &QPushButton::clicked, this, &FileCopyForm::OnBtnRefFile);
        }
        y += 19;
    }
    if (m_layout.checkId != 0) {
        m_check = new QCheckBox(ToQString(m_layout.checkText), dialog);
        PlaceControl(m_check, m_layout.checkId, QRect(10, y + 2, kWidth - 10 - kMargin, 10), units);
        y += 16;
    }
    y += 6;

    m_ok = new QPushButton(ToQString("コピー実行(&E)"), dialog);
    PlaceControl(m_ok, IDOK, QRect(kWidth - kMargin - 2 * kButtonWidth - 4, y, kButtonWidth, 14),
                 units);
    m_ok->setDefault(true);
    auto *back = new QPushButton(ToQString("< 戻る(&B)"), dialog);
    PlaceControl(back, IDCANCEL, QRect(kWidth - kMargin - kButtonWidth, y, kButtonWidth, 14),
                 units);
    back->setAutoDefault(false);
    connect(m_ok, &QPushButton::clicked, dialog, &QDialog::accept);
    connect(back, &QPushButton::clicked, dialog, &QDialog::reject);
    dialog->setFixedSize(units.ToPixels(QSize(kWidth, y + 14 + kMargin)));

    if (QAbstractButton *chosen = m_radios->button(m_layout.defaultValue))
        chosen->setChecked(true);
    connect(m_radios, &QButtonGroup::idToggled, this, &FileCopyForm::updateCtrls);
    updateCtrls();
}

int FileCopyForm::GetKind() const { return m_radios->checkedId(); }

CString FileCopyForm::GetFolder() const { return m_folder ? trimmed(m_folder) : CString(); }

CString FileCopyForm::GetFile() const { return m_file ? trimmed(m_file) : CString(); }

bool FileCopyForm::IsChecked() const { return m_check != nullptr && m_check->isChecked(); }

void FileCopyForm::SetChecked(bool checked) {
    if (m_check != nullptr)
        m_check->setChecked(checked);
}

void FileCopyForm::SetFileChooser(IFileChooser *chooser) {
    m_chooser = chooser != nullptr ? chooser : &QtFileChooser::Default();
}

void FileCopyForm::updateCtrls() {
    const int kind = GetKind();
    const bool folder = kind == m_layout.folderValue;
    const bool file = kind == m_layout.fileValue;
    m_ok->setEnabled((folder && !GetFolder().IsEmpty()) || (file && !GetFile().IsEmpty()) ||
                     (kind >= 0 && !folder && !file));
    if (m_layout.browseFollowsRadio) {
        m_refFolder->setEnabled(folder);
        m_refFile->setEnabled(file);
    }
}

void FileCopyForm::OnBtnRefFolder() {
    CString folder;
    if (!m_chooser->ChooseFolder(m_dialog, "フォルダの参照", folder))
        return;
    m_folder->setText(ToQString(folder));
    updateCtrls();
}

void FileCopyForm::OnBtnRefFile() {
    CString path;
    if (!m_chooser->ChooseFile(m_dialog, m_layout.fileTitle, m_layout.fileFilter, m_layout.fileExt,
                               path))
        return;
    m_file->setText(ToQString(path));
    updateCtrls();
}

bool FileCopyForm::CopyFromSource(JFileCopier &copier, const CString &installFolder,
                                  const CString &dstSub, const CString &ext,
                                  const char *noFileMessage) {
    const bool fromFolder = GetKind() == m_layout.folderValue;
    const CString source = fromFolder ? GetFolder() : GetFile();
    if (source.IsEmpty())
        return false;
    {
        DisableWhile disabled(m_dialog);
        CWaitCursor wait;
        const bool found = fromFolder ? copier.CopyFiles(source, installFolder, dstSub, ext)
                                      : (copier.CopyFileA(source, installFolder, dstSub), true);
        wait.Restore();
        if (!found)
            AfxMessageBox(noFileMessage, MB_ICONINFORMATION);
    }
    ReportFailures(copier);
    return true;
}

void FileCopyForm::ReportFailures(const JFileCopier &copier) {
    const auto &failures = copier.GetFailures();
    if (failures.empty())
        return;
    CString text("次のファイルはコピーされませんでした。\n");
    for (std::size_t i = 0; i < failures.size() && i < kListedFailures; ++i)
        text.AppendFormat("\n%s\n    %s", failures[i].path.GetString(),
                          failures[i].reason.GetString());
    if (failures.size() > kListedFailures)
        text.AppendFormat("\n\nほか %d 件", static_cast<int>(failures.size() - kListedFailures));
    AfxMessageBox(text, MB_ICONEXCLAMATION);
}

DisableWhile::DisableWhile(QDialog *dialog) : m_dialog(dialog) { m_dialog->setEnabled(false); }

DisableWhile::~DisableWhile() { m_dialog->setEnabled(true); }
