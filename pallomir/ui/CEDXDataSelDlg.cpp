#include "pallomir/ui/CEDXDataSelDlg.h"

#include "pallomir/ui/JEdxPrmFile.h"
#include "platform/core/CFileFind.h"
#include "platform/core/Numbers.h"
#include "platform/core/Path.h"
#include "platform/core/Prompt.h"
#include "platform/ui/DialogUnits.h"
#include "platform/ui/QtText.h"
#include "platform/ui/UiFont.h"

#include <QComboBox>
#include <QListWidget>
#include <QPushButton>

CEDXDataSelDlg::CEDXDataSelDlg(const CString &installFolder, const CString &displayVersion,
                               bool selectNewest, const std::vector<JMeshCode> &codes,
                               QWidget *parent)
    : JGDDlgBase(IDD, parent, 0), m_bSelectNewest(selectNewest), m_installFolder(installFolder),
      m_displayVersion(displayVersion), m_codes(codes) {
    setFont(UiFont(9));
    setWindowTitle(ToQString("EDXデータの表示設定"));
    const DialogUnits units(font());
    m_pVersion = new QComboBox(this);
    PlaceControl(m_pVersion, IDC_CMB_VERSION, QRect(7, 7, 120, 12), units);
    m_p1stList = new QListWidget(this);
    PlaceControl(m_p1stList, IDC_LIST_1ST_MESH, QRect(7, 24, 50, 150), units);
    m_pEdxList = new QListWidget(this);
    PlaceControl(m_pEdxList, IDC_LIST_EDX, QRect(62, 24, 121, 150), units);
    auto *selectAll = new QPushButton(ToQString("全選択..."), this);
    PlaceControl(selectAll, IDC_BTN_ALL_SELECT, QRect(7, 180, 52, 14), units);
    auto *resetAll = new QPushButton(ToQString("全解除..."), this);
    PlaceControl(resetAll, IDC_BTN_ALL_RESET, QRect(63, 180, 52, 14), units);
    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    PlaceControl(ok, IDOK, QRect(73, 204, 52, 14), units);
    auto *cancel = new QPushButton(ToQString("キャンセル"), this);
    PlaceControl(cancel, IDCANCEL, QRect(131, 204, 52, 14), units);
    for (QPushButton *button : {selectAll, resetAll, cancel})
        button->setAutoDefault(false);
    ok->setDefault(true);
    setFixedSize(units.ToPixels(QSize(190, 225)));

    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(selectAll, &QPushButton::clicked, this, &CEDXDataSelDlg::OnBtnAllSelect1st);
    connect(resetAll, &QPushButton::clicked, this, &CEDXDataSelDlg::OnBtnAllReset1st);
    connect(m_pVersion, &QComboBox::activated, this, &CEDXDataSelDlg::OnSelchangeCmbPrmversion);
    connect(m_p1stList, &QListWidget::currentRowChanged, this,
            &CEDXDataSelDlg::OnSelchangeList1stMesh);
}

JMeshCode CEDXDataSelDlg::GetCode(UINT i) const {
    return i < m_codes.size() ? m_codes[i] : JMeshCode();
}

bool CEDXDataSelDlg::getVersionString(const CString &folderName, CString *version) {
    return JEdxPrmFile::GetFolderVersion(folderName, version);
}

bool CEDXDataSelDlg::is1stMeshCodeFolder(const CString &name) {
    return JEdxPrmFile::Is1stMeshFolderName(name);
}

EDXDataVerTbls CEDXDataSelDlg::setData(const CString &installFolder,
                                       const std::vector<JMeshCode> &codes) {
    EDXDataVerTbls tables;
    CFileFind versions;
    bool more = !installFolder.IsEmpty() && versions.FindFile(Path::Join(installFolder, "edx*.*"));
    while (more) {
        more = versions.FindNextFile();
        CString version;
        if (!versions.IsDirectory() || versions.IsDots() ||
            !getVersionString(versions.GetFileName(), &version) || tables.count(version) != 0)
            continue;
        EDXDataVerTbl &table = tables[version];
        table.version = version;
        CFileFind meshes;
        bool moreMeshes = meshes.FindFile(Path::Join(versions.GetFilePath(), "*.*"));
        while (moreMeshes) {
            moreMeshes = meshes.FindNextFile();
            if (!meshes.IsDirectory() || !is1stMeshCodeFolder(meshes.GetFileName()))
                continue;
            EDXDataElm1stTbl &first = table.firstTables[AtoiC(meshes.GetFileName())];
            first.code = AtoiC(meshes.GetFileName());
            CFileFind files;
            bool moreFiles = files.FindFile(Path::Join(meshes.GetFilePath(), "*.edx"));
            while (moreFiles) {
                moreFiles = files.FindNextFile();
                JMeshCode code;
                if (files.IsDirectory() || !JEdxPrmFile::IsFileNameValid(files.GetFileName()) ||
                    !JEdxPrmFile::GetFileMeshCode(files.GetFileName(), &code))
                    continue;
                first.elements[code] = {code, true, false};
            }
        }
    }
    for (auto &[version, table] : tables) {
        for (const JMeshCode &code : codes) {
            EDXDataElm1stTbl &first = table.firstTables[code.GetCode1()];
            first.code = code.GetCode1();
            auto found = first.elements.find(code);
            if (found == first.elements.end())
                first.elements[code] = {code, false, true};
            else
                found->second.selected = true;
        }
    }
    return tables;
}

std::vector<JMeshCode> CEDXDataSelDlg::selectedCodes(const EDXDataVerTbl &table) {
    std::vector<JMeshCode> codes;
    for (const auto &[number, first] : table.firstTables) {
        for (const auto &[code, element] : first.elements) {
            if (element.selected)
                codes.push_back(code);
        }
    }
    return codes;
}

bool CEDXDataSelDlg::OnInitDialog() {
    m_verTbls = setData(m_installFolder, m_codes);
    m_pVersion->clear();
    for (const auto &[version, table] : m_verTbls) {
        CString text;
        text.Format("バージョン %s", version.GetString());
        m_pVersion->addItem(ToQString(text), ToQString(version));
    }
    int index = m_pVersion->findData(ToQString(m_displayVersion));
    if (m_displayVersion.IsEmpty() && m_bSelectNewest && !m_verTbls.empty()) {
        index = m_pVersion->count() - 1;
        m_displayVersion = m_verTbls.rbegin()->first;
    }
    m_pVersion->setCurrentIndex(index);
    createListBox();
    return true;
}

EDXDataVerTbl *CEDXDataSelDlg::displayTable() {
    const auto found = m_verTbls.find(m_displayVersion);
    return found == m_verTbls.end() ? nullptr : &found->second;
}

EDXDataElm1stTbl *CEDXDataSelDlg::shownFirstTable() {
    EDXDataVerTbl *table = displayTable();
    if (table == nullptr)
        return nullptr;
    const auto found = table->firstTables.find(m_shownFirst);
    return found == table->firstTables.end() ? nullptr : &found->second;
}

void CEDXDataSelDlg::createListBox() {
    const QSignalBlocker blocker(m_p1stList);
    m_p1stList->clear();
    m_shownFirst = -1;
    EDXDataVerTbl *table = displayTable();
    if (table != nullptr) {
        for (const auto &[number, first] : table->firstTables) {
            CString text;
            text.Format("%04d", number);
            m_p1stList->addItem(ToQString(text));
        }
    }
    if (m_p1stList->count() > 0) {
        m_shownFirst = table->firstTables.begin()->first;
        m_p1stList->setCurrentRow(0);
    }
    createEdxDataListBox(shownFirstTable());
}

void CEDXDataSelDlg::createEdxDataListBox(const EDXDataElm1stTbl *table) {
    m_pEdxList->clear();
    if (table == nullptr)
        return;
    for (const auto &[code, element] : table->elements) {
        auto *item = new QListWidgetItem(ToQString(JEdxPrmFile::GetFileName(code)), m_pEdxList);
        Qt::ItemFlags flags = Qt::ItemIsUserCheckable;
        if (element.present)
            flags |= Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        item->setFlags(flags);
        item->setCheckState(element.selected ? Qt::Checked : Qt::Unchecked);
    }
}

void CEDXDataSelDlg::updateDispTbl() {
    EDXDataElm1stTbl *table = shownFirstTable();
    if (table == nullptr)
        return;
    int row = 0;
    for (auto &[code, element] : table->elements) {
        if (row >= m_pEdxList->count())
            break;
        element.selected = m_pEdxList->item(row++)->checkState() == Qt::Checked;
    }
}

void CEDXDataSelDlg::OnSelchangeList1stMesh() {
    updateDispTbl();
    const EDXDataVerTbl *table = displayTable();
    const int row = m_p1stList->currentRow();
    m_shownFirst = -1;
    if (table != nullptr && row >= 0 && row < static_cast<int>(table->firstTables.size()))
        m_shownFirst = std::next(table->firstTables.begin(), row)->first;
    createEdxDataListBox(shownFirstTable());
}

void CEDXDataSelDlg::OnSelchangeCmbPrmversion(int index) {
    updateDispTbl();
    m_displayVersion = ToCString(m_pVersion->itemData(index).toString());
    createListBox();
}

void CEDXDataSelDlg::OnBtnAllSelect1st() {
    if (AfxMessageBox("インストールされているすべての１次地域区画を選択します。\n"
                      "よろしければ[OK]ボタンを押してください。",
                      MB_OKCANCEL) == IDOK)
        selectAll(true);
}

void CEDXDataSelDlg::OnBtnAllReset1st() {
    if (AfxMessageBox("現在選択されている項目の選択状態をすべて解除します。\n"
                      "よろしければ[OK]ボタンを押してください。",
                      MB_OKCANCEL) == IDOK)
        selectAll(false);
}

void CEDXDataSelDlg::selectAll(bool firstLevel) {
    if (EDXDataVerTbl *table = displayTable()) {
        for (auto &[number, first] : table->firstTables) {
            for (auto &[code, element] : first.elements)
                element.selected = firstLevel && code.GetCode2() == JMeshCode::kAbsent;
        }
    }
    createEdxDataListBox(shownFirstTable());
}

void CEDXDataSelDlg::OnOK() {
    updateDispTbl();
    const EDXDataVerTbl *table = displayTable();
    m_codes = table != nullptr ? selectedCodes(*table) : std::vector<JMeshCode>();
    JGDDlgBase::OnOK();
}
