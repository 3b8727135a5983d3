#include "pallomir/ui/PrmFileCmbBox.h"

#include "platform/core/CFileFind.h"
#include "platform/core/Path.h"
#include "platform/ui/QtText.h"

const char *const PrmFileCmbBox::s_knownFiles[9] = {
    "TKY2JGD.par", "北海道.par", "東北.par",     "北陸.par",     "関東.par",
    "中部.par",    "近畿.par",   "中国四国.par", "九州沖縄.par",
};

PrmFileCmbBox::PrmFileCmbBox(const CString &baseDir, QWidget *parent)
    : QComboBox(parent), m_baseDir(baseDir) {}

void PrmFileCmbBox::SetBaseDir(const CString &baseDir) { m_baseDir = baseDir; }

bool PrmFileCmbBox::SetData() {
    clear();
    m_files = CollectFileNames(m_baseDir);
    for (const CString &name : m_files)
        addItem(ToQString(name));
    // Filling selects nothing; the caller chooses.
    setCurrentIndex(-1);
    return true;
}

CString PrmFileCmbBox::GetSelectedFile() const {
    const int index = currentIndex();
    return index >= 0 && index < static_cast<int>(m_files.size()) ? m_files[index] : CString();
}

std::vector<CString> PrmFileCmbBox::CollectFileNames(const CString &folder) {
    std::vector<CString> found;
    CFileFind find;
    bool more = !folder.IsEmpty() && find.FindFile(Path::Join(folder, "*.par"));
    while (more) {
        more = find.FindNextFile();
        if (!find.IsDots() && !find.IsDirectory())
            found.push_back(find.GetFileName());
    }
    std::vector<CString> names;
    std::vector<bool> taken(found.size(), false);
    for (const char *known : s_knownFiles) {
        for (std::size_t i = 0; i < found.size(); ++i) {
            if (!taken[i] && found[i].CompareNoCase(known) == 0) {
                names.push_back(found[i]);
                taken[i] = true;
                break;
            }
        }
    }
    for (std::size_t i = 0; i < found.size(); ++i) {
        if (!taken[i])
            names.push_back(found[i]);
    }
    return names;
}

PrmVerCmbBox::PrmVerCmbBox(const CString &baseDir, QWidget *parent)
    : QComboBox(parent), m_baseDir(baseDir) {}

void PrmVerCmbBox::SetBaseDir(const CString &baseDir) { m_baseDir = baseDir; }

bool PrmVerCmbBox::SetData() {
    clear();
    m_entries = CollectDirs(m_baseDir);
    for (const Entry &entry : m_entries) {
        CString text;
        text.Format("バージョン %s", entry.second.GetString());
        addItem(ToQString(text));
    }
    m_entries.emplace_back(CString(), CString("不明"));
    addItem(ToQString("バージョン不明(実行ファイルと同じ位置)"));
    setCurrentIndex(-1);
    return true;
}

CString PrmVerCmbBox::GetSelectedDirName() const {
    const int index = currentIndex();
    return index >= 0 && index < static_cast<int>(m_entries.size()) ? m_entries[index].first
                                                                    : CString();
}

CString PrmVerCmbBox::GetSelectedDir() const {
    if (currentIndex() < 0 || currentIndex() >= static_cast<int>(m_entries.size()))
        return CString();
    const CString name = GetSelectedDirName();
    return name.IsEmpty() ? m_baseDir : Path::Join(m_baseDir, name);
}

void PrmVerCmbBox::SelectItem(const CString &folderName) {
    for (std::size_t i = 0; i < m_entries.size(); ++i) {
        if (m_entries[i].first == folderName) {
            setCurrentIndex(static_cast<int>(i));
            return;
        }
    }
    setCurrentIndex(-1);
}

std::vector<PrmVerCmbBox::Entry> PrmVerCmbBox::CollectDirs(const CString &folder) {
    std::vector<Entry> entries;
    CFileFind find;
    bool more = !folder.IsEmpty() && find.FindFile(Path::Join(folder, "par*"));
    while (more) {
        more = find.FindNextFile();
        if (find.IsDirectory() && !find.IsDots())
            entries.emplace_back(find.GetFileName(), find.GetFileName().Mid(3));
    }
    return entries;
}
