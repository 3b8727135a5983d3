#include "platform/core/CFileFind.h"

#include "platform/core/CommitRecord.h"
#include "platform/core/Path.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <system_error>
#include <unordered_set>
#include <vector>

namespace {

// Length in bytes of the character at text[i].
int charLength(const CString &text, int i) {
    return (CString::IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.GetLength())
               ? 2
               : 1;
}

char upperAscii(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

// The characters at name[n] and pattern[p] are the same, ASCII letters without
// case; double-byte characters compare byte for byte.
bool sameChar(const CString &name, int n, const CString &pattern, int p) {
    const int length = charLength(name, n);
    if (length != charLength(pattern, p))
        return false;
    if (length == 1)
        return upperAscii(name[n]) == upperAscii(pattern[p]);
    return name[n] == pattern[p] && name[n + 1] == pattern[p + 1];
}

// Wildcard match by characters: '*' any run, '?' any one character.
bool matchesAsWritten(const CString &name, const CString &pattern) {
    int n = 0, p = 0;
    int starP = -1, starN = 0;
    const int nameLength = name.GetLength();
    const int patternLength = pattern.GetLength();
    while (n < nameLength) {
        if (p < patternLength && pattern[p] == '*') {
            starP = ++p;
            starN = n;
        } else if (p < patternLength && (pattern[p] == '?' || sameChar(name, n, pattern, p))) {
            n += charLength(name, n);
            p += pattern[p] == '?' ? 1 : charLength(pattern, p);
        } else if (starP >= 0) {
            // Let the last '*' take one more character.
            starN += charLength(name, starN);
            n = starN;
            p = starP;
        } else {
            return false;
        }
    }
    while (p < patternLength && pattern[p] == '*')
        ++p;
    return p == patternLength;
}

} // namespace

bool CFileFind::MatchesName(const CString &name, const CString &pattern) {
    if (pattern == "*.*" || pattern == "*")
        return true;
    if (matchesAsWritten(name, pattern))
        return true;
    // As the Windows search does, a name without a dot also matches as if it ended in one, so
    // that "edx*.*" finds edx2 and "*." finds names without an extension.
    return name.Find('.') < 0 && matchesAsWritten(name + ".", pattern);
}

CFileFind::CFileFind() = default;

CFileFind::~CFileFind() = default;

bool CFileFind::FindFile(const CString &pattern) {
    Close();
    const CString name = Path::FileName(pattern);
    if (name.IsEmpty())
        return false;
    m_folder = Path::Folder(pattern);
    std::string native(".");
    if (!m_folder.IsEmpty() && !Path::ToNative(m_folder, native))
        return false;

    // A commit that a writer which has ended left part way is finished before the folder is read.
    CommitRecord::RecoverFolder(native);
    std::error_code ec;
    std::filesystem::directory_iterator it(native, ec);
    if (ec)
        return false;
    for (const char *dots : {".", ".."}) {
        if (MatchesName(dots, name))
            m_entries.push_back({CString(dots), true});
    }
    std::vector<std::string> natives;
    std::vector<bool> directories;
    while (!ec && it != std::filesystem::directory_iterator()) {
        std::error_code dirEc;
        natives.push_back(it->path().filename().string());
        directories.push_back(it->is_directory(dirEc));
        it.increment(ec);
    }
    if (ec) {
        Close();
        return false;
    }
    // Every entry is listed, spelled as the folder spells it; look-alikes (names of one cp932
    // form) are listed once, and their path is refused.
    const std::vector<CString> names = Path::FromNativeEntries(native, natives);
    std::unordered_set<std::string> listed;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (MatchesName(names[i], name) && listed.insert(names[i].Bytes()).second)
            m_entries.push_back({names[i], directories[i]});
    }
    std::sort(m_entries.begin(), m_entries.end(), [](const Entry &a, const Entry &b) {
        const int order = a.name.CollateNoCase(b.name);
        return order != 0 ? order < 0 : a.name.Compare(b.name) < 0;
    });
    return !m_entries.empty();
}

bool CFileFind::FindNextFile() {
    if (m_next >= m_entries.size()) {
        m_hasCurrent = false;
        return false;
    }
    ++m_next;
    m_hasCurrent = true;
    return m_next < m_entries.size();
}

const CFileFind::Entry *CFileFind::current() const {
    return m_hasCurrent ? &m_entries[m_next - 1] : nullptr;
}

CString CFileFind::GetFileName() const {
    const Entry *entry = current();
    return entry ? entry->name : CString();
}

CString CFileFind::GetFilePath() const {
    const Entry *entry = current();
    return entry ? Path::Join(m_folder, entry->name) : CString();
}

CString CFileFind::GetFileTitle() const { return Path::FileTitle(GetFileName()); }

bool CFileFind::IsDirectory() const {
    const Entry *entry = current();
    return entry && entry->directory;
}

bool CFileFind::IsDots() const {
    const Entry *entry = current();
    return entry && entry->directory && (entry->name == "." || entry->name == "..");
}

void CFileFind::Close() {
    m_folder.Empty();
    m_entries.clear();
    m_next = 0;
    m_hasCurrent = false;
}

CString CFileFind::FindNameNoCase(const CString &folder, const CString &name) {
    // A wildcard in the name would match other entries.
    if (name.FindOneOf("*?") >= 0)
        return name;
    CFileFind find;
    if (!find.FindFile(Path::Join(folder, name)))
        return name;
    CString found;
    bool more = true;
    while (more) {
        more = find.FindNextFile();
        if (find.GetFileName() == name)
            return name;
        if (found.IsEmpty())
            found = find.GetFileName();
    }
    return found;
}
