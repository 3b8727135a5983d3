#include "pallomir/ui/CADBDataSelDlg.h"

#include "pallomir/ui/JFileCopier.h"
#include "platform/core/CFileFind.h"
#include "platform/core/Path.h"
#include "platform/core/Prompt.h"
#include "platform/ui/DialogUnits.h"
#include "platform/ui/QtText.h"
#include "platform/ui/UiFont.h"

#include <QComboBox>
#include <QListWidget>
#include <QPushButton>

#include <algorithm>

const char *const CADBDataSelDlg::s_prefNames[47] = {
    "北海道", "青森県", "岩手県", "宮城県", "秋田県", "山形県",   "福島県", "茨城県",
    "栃木県", "群馬県", "埼玉県", "千葉県", "東京都", "神奈川県", "新潟県", "富山県",
    "石川県", "福井県", "山梨県", "長野県", "岐阜県", "静岡県",   "愛知県", "三重県",
    "滋賀県", "京都府", "大阪府", "兵庫県", "奈良県", "和歌山県", "鳥取県", "島根県",
    "岡山県", "広島県", "山口県", "徳島県", "香川県", "愛媛県",   "高知県", "福岡県",
    "佐賀県", "長崎県", "熊本県", "大分県", "宮崎県", "鹿児島県", "沖繩県",
};

CADBDataSelDlg::CADBDataSelDlg(const CString &installFolder, int displayYear, bool, bool,
                               std::vector<int> prefCodes, QWidget *parent)
    : JGDDlgBase(IDD, parent, 0), m_installFolder(installFolder), m_displayYear(displayYear),
      m_prefCodes(std::move(prefCodes)) {
    setFont(UiFont(9));
    setWindowTitle(ToQString("行政界・海岸線の表示設定"));
    const DialogUnits units(font());
    m_pYear = new QComboBox(this);
    PlaceControl(m_pYear, IDC_CMB_ADB_YEAR, QRect(7, 7, 110, 12), units);
    m_pList = new QListWidget(this);
    PlaceControl(m_pList, IDC_LIST_PREF, QRect(7, 24, 176, 156), units);
    auto *ok = new QPushButton(QStringLiteral("OK"), this);
    PlaceControl(ok, IDOK, QRect(73, 186, 52, 14), units);
    ok->setDefault(true);
    auto *cancel = new QPushButton(ToQString("キャンセル"), this);
    PlaceControl(cancel, IDCANCEL, QRect(131, 186, 52, 14), units);
    cancel->setAutoDefault(false);
    setFixedSize(units.ToPixels(QSize(190, 207)));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_pYear, &QComboBox::activated, this, &CADBDataSelDlg::OnSelchangeCmbAdbYear);
}

int CADBDataSelDlg::GetDisplayPrefCode(UINT i) const {
    return i < m_prefCodes.size() ? m_prefCodes[i] : 0;
}

void CADBDataSelDlg::setData(const CString &installFolder, std::set<int> &years,
                             std::vector<CString> &names) {
    years.clear();
    names.clear();
    if (installFolder.IsEmpty())
        return;
    const CString folder =
        Path::Join(installFolder, CFileFind::FindNameNoCase(installFolder, "mlitksj"));
    CFileFind find;
    bool more = find.FindFile(Path::Join(folder, "*.txt"));
    while (more) {
        more = find.FindNextFile();
        if (find.IsDirectory())
            continue;
        // Another file in the folder is no reason to show nothing.
        const int year = JAdbFileCopier::GetFileYear(find.GetFileName());
        if (year == 0)
            continue;
        years.insert(year);
        names.push_back(find.GetFileName());
    }
}

std::vector<ADBDataYearTbl> CADBDataSelDlg::createYearTbl(const std::set<int> &years,
                                                          const std::vector<CString> &names) {
    std::vector<ADBDataYearTbl> tables;
    for (const int year : years) {
        ADBDataYearTbl table;
        table.year = year;
        for (int code = 1; code <= 47; ++code)
            table.prefs.push_back({code, s_prefNames[code - 1],
                                   JAdbFileCopier::GetFileName(code, year, false), false});
        tables.push_back(std::move(table));
    }
    for (const CString &name : names) {
        const int year = JAdbFileCopier::GetFileYear(name);
        const int code = JAdbFileCopier::GetFilePrefCode(name);
        for (ADBDataYearTbl &table : tables) {
            if (table.year != year)
                continue;
            for (ADBDataPrefEntry &entry : table.prefs) {
                if (entry.code == code)
                    entry.present = true;
            }
        }
    }
    return tables;
}

bool CADBDataSelDlg::OnInitDialog() {
    std::set<int> years;
    std::vector<CString> names;
    setData(m_installFolder, years, names);
    m_yearTbls = createYearTbl(years, names);

    m_pYear->clear();
    for (const ADBDataYearTbl &table : m_yearTbls) {
        CString text;
        text.Format("平成 %d 年度", table.year);
        m_pYear->addItem(ToQString(text), table.year);
    }
    if (m_displayYear == -1 && !m_yearTbls.empty())
        m_displayYear = m_yearTbls.back().year;
    m_pYear->setCurrentIndex(m_pYear->findData(m_displayYear));
    createListBox();
    return true;
}

const ADBDataYearTbl *CADBDataSelDlg::displayTable() const {
    for (const ADBDataYearTbl &table : m_yearTbls) {
        if (table.year == m_displayYear)
            return &table;
    }
    return nullptr;
}

void CADBDataSelDlg::createListBox() {
    m_pList->clear();
    const ADBDataYearTbl *table = displayTable();
    if (table == nullptr)
        return;
    for (const ADBDataPrefEntry &entry : table->prefs) {
        CString text = entry.name;
        if (!entry.present)
            text += " (ファイルが存在しません)";
        auto *item = new QListWidgetItem(ToQString(text), m_pList);
        item->setData(Qt::UserRole, entry.code);
        Qt::ItemFlags flags = Qt::ItemIsUserCheckable;
        if (entry.present)
            flags |= Qt::ItemIsEnabled | Qt::ItemIsSelectable;
        item->setFlags(flags);
        const bool ticked =
            std::find(m_prefCodes.begin(), m_prefCodes.end(), entry.code) != m_prefCodes.end();
        item->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
    }
}

void CADBDataSelDlg::updateSelectedPrefectures() {
    if (displayTable() == nullptr)
        return;
    m_prefCodes.clear();
    for (int i = 0; i < m_pList->count(); ++i) {
        const QListWidgetItem *item = m_pList->item(i);
        if (item->checkState() == Qt::Checked)
            m_prefCodes.push_back(item->data(Qt::UserRole).toInt());
    }
}

void CADBDataSelDlg::OnSelchangeCmbAdbYear(int index) {
    updateSelectedPrefectures();
    m_displayYear = m_pYear->itemData(index).toInt();
    createListBox();
}

void CADBDataSelDlg::OnOK() {
    updateSelectedPrefectures();
    JGDDlgBase::OnOK();
}
