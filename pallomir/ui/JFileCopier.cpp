#include "pallomir/ui/JFileCopier.h"

#include "pallomir/ui/JEdxPrmFile.h"
#include "pallomir/ui/VersionText.h"
#include "platform/core/CFileFind.h"
#include "platform/core/MountedMedia.h"
#include "platform/core/Path.h"
#include "platform/core/Prompt.h"

#include <string>

namespace {

// Two digits at index; -1 when they are not there or not digits.
int twoDigits(const CString &text, int index) {
    if (text.GetLength() < index + 2)
        return -1;
    const char a = text[index];
    const char b = text[index + 1];
    if (a < '0' || a > '9' || b < '0' || b > '9')
        return -1;
    return (a - '0') * 10 + (b - '0');
}

} // namespace

JFileCopier::JFileCopier(IFileCopyOperation *operation)
    : m_operation(operation != nullptr ? operation : &FileCopyOperation::Default()) {}

JFileCopier::~JFileCopier() = default;

bool JFileCopier::CopyFiles(const CString &srcFolder, const CString &dstBase, const CString &dstSub,
                            const CString &ext) {
    m_copyGroups.clear();
    m_cancelled = false;
    if (srcFolder.IsEmpty())
        return false;
    std::vector<CString> files;
    for (const CString &file : findFiles(srcFolder, ext)) {
        if (checkFileNameRule(Path::FileName(file)))
            files.push_back(file);
    }
    if (files.empty())
        return false;

    for (const CString &file : files) {
        const CString folder = getFileDstPath(file, dstBase, dstSub);
        if (folder.IsEmpty())
            continue;
        m_dstFolders.push_back(folder);
        auto group = m_copyGroups.begin();
        while (group != m_copyGroups.end() && group->first != folder)
            ++group;
        if (group == m_copyGroups.end())
            m_copyGroups.emplace_back(folder, std::vector<CString>{file});
        else
            group->second.push_back(file);
    }
    for (const auto &[folder, sources] : m_copyGroups) {
        if (m_cancelled)
            break;
        copyFile_sub(sources, folder);
    }
    return true;
}

bool JFileCopier::CopyFileA(const CString &srcPath, const CString &dstBase, const CString &dstSub) {
    m_cancelled = false;
    if (!checkFileNameRule(GetFileNamePart(srcPath))) {
        addFailure(srcPath, "ファイル名が規則に合いません");
        return false;
    }
    const CString folder = getFileDstPath(srcPath, dstBase, dstSub);
    if (folder.IsEmpty())
        return false;
    m_dstFolders.push_back(folder);
    return copyFile_sub({srcPath}, folder);
}

UINT JFileCopier::GetCopiedFileSize() const { return static_cast<UINT>(m_copiedFiles.size()); }

CString JFileCopier::GetCopiedFilePath(UINT i) const {
    return i < m_copiedFiles.size() ? m_copiedFiles[i] : CString();
}

CString JFileCopier::GetCopiedFileName(UINT i) const {
    return GetFileNamePart(GetCopiedFilePath(i));
}

void JFileCopier::ClearCopiedFileName() { m_copiedFiles.clear(); }

CString JFileCopier::GetFileNamePart(const CString &path) {
    // Path::FileName knows both separators and never splits a double-byte character.
    const CString name = Path::FileName(path);
    const int colon = name.ReverseFind(':');
    return colon < 0 ? name : name.Mid(colon + 1);
}

bool JFileCopier::checkFileNameRule(const CString &) const { return true; }

CString JFileCopier::getFileDstPath(const CString &srcPath, const CString &dstBase,
                                    const CString &dstSub) {
    return makeDstFolder(srcPath, joinFolder(dstBase, CFileFind::FindNameNoCase(dstBase, dstSub)));
}

bool JFileCopier::createFolder(const CString &folder) { return Path::CreateFolder(folder); }

std::vector<CString> JFileCopier::findFiles(const CString &folder, const CString &ext) {
    std::vector<CString> files;
    CFileFind find;
    bool more = find.FindFile(Path::Join(folder, CString("*.") + (ext.IsEmpty() ? "*" : ext)));
    while (more) {
        more = find.FindNextFile();
        if (!find.IsDots() && !find.IsDirectory())
            files.push_back(find.GetFilePath());
    }
    return files;
}

CString JFileCopier::joinFolder(const CString &folder, const CString &name) {
    return name.IsEmpty() ? folder : Path::Join(folder, name);
}

CString JFileCopier::makeDstFolder(const CString &srcPath, const CString &folder) {
    if (createFolder(folder))
        return folder;
    addFailure(srcPath, "コピー先のフォルダを作成できません");
    return CString();
}

void JFileCopier::addFailure(const CString &path, const CString &reason) {
    m_failures.push_back({path, reason});
}

bool JFileCopier::copyFile_sub(const std::vector<CString> &sources, const CString &folder) {
    std::vector<FileCopyResult> results;
    if (!m_operation->CopyInto(sources, folder, results))
        m_cancelled = true;
    bool all = true;
    for (std::size_t i = 0; i < sources.size(); ++i) {
        const FileCopyResult result = i < results.size() ? results[i] : FileCopyResult::Failed;
        if (result == FileCopyResult::Copied) {
            m_copiedFiles.push_back(sources[i]);
            continue;
        }
        all = false;
        if (result == FileCopyResult::Failed)
            addFailure(sources[i], "コピーに失敗しました");
    }
    return all;
}

bool JAdbFileCopier::IsFileNameValid(const CString &name) {
    return name.GetLength() > 6 && name.Left(4).CompareNoCase("N03-") == 0 && name[6] == 'A';
}

int JAdbFileCopier::GetFileYear(const CString &name) {
    if (!IsFileNameValid(name))
        return 0;
    const int year = twoDigits(name, 4);
    return year < 0 ? 0 : year;
}

int JAdbFileCopier::GetFilePrefCode(const CString &name, bool is2K) {
    if (!IsFileNameValid(name))
        return 0;
    const int code = twoDigits(name, is2K ? 11 : 8);
    return code < 0 ? 0 : code;
}

int JAdbFileCopier::GetFilePrefCode(const CString &name) {
    return GetFilePrefCode(name, Is2KFileName(name));
}

bool JAdbFileCopier::Is2KFileName(const CString &name) {
    return IsFileNameValid(name) && name.Mid(7, 4).CompareNoCase("-2K_") == 0;
}

CString JAdbFileCopier::GetFileName(int prefCode, int year, bool is2K) {
    CString name;
    if (prefCode <= 0 || prefCode >= 48 || year < 0 || year > 99)
        return name;
    name.Format(is2K ? "N03-%02dA-2K_%02d.txt" : "N03-%02dA-%02d.txt", year, prefCode);
    return name;
}

bool JAdbFileCopier::checkFileNameRule(const CString &fileName) const {
    return IsFileNameValid(fileName);
}

bool JEdxFileCopier::CopyFilesFromFD(const CString &dstBase, const CString &dstSub,
                                     const CString &ext) {
    const CString floppy = getFloppyFolder();
    CFileFind find;
    bool more = !floppy.IsEmpty() && find.FindFile(Path::Join(floppy, "*.*"));
    if (!more) {
        AfxMessageBox(
            "フロッピーディスクドライブにTrelvic/EDXのフロッピーディスクを準備してください。");
        return false;
    }
    const std::size_t failuresBefore = m_failures.size();
    bool cancelled = false;
    while (more && !cancelled) {
        more = find.FindNextFile();
        if (find.IsDirectory() && !find.IsDots() && is1stMeshFolderName(find.GetFileName())) {
            CopyFiles(find.GetFilePath(), dstBase, dstSub, ext);
            cancelled = IsCancelled();
        }
    }
    if (!m_copiedFiles.empty())
        return true;
    // Files that were found and could not be copied, or a stop by the user, are not a
    // missing disk.
    if (!cancelled && m_failures.size() == failuresBefore)
        AfxMessageBox("フロッピーディスクドライブにパラメータファイルが見つかりませんでした。\n"
                      "まだフロッピーディスクドライブの準備が出来ていないか、Trelvic/"
                      "EDXのでない可能性があります。");
    return false;
}

CString JEdxFileCopier::getMaxCopiedVerStr() const {
    CString newest;
    for (const CString &folder : m_dstFolders) {
        CString version;
        if (JEdxPrmFile::GetFolderVersion(Path::FileName(Path::Folder(folder)), &version) &&
            (newest.IsEmpty() || CompareVersionText(version, newest) > 0))
            newest = version;
    }
    return newest;
}

bool JEdxFileCopier::is1stMeshFolderName(const CString &name) {
    return JEdxPrmFile::Is1stMeshFolderName(name);
}

bool JEdxFileCopier::checkFileNameRule(const CString &fileName) const {
    return JEdxPrmFile::IsFileNameValid(fileName);
}

CString JEdxFileCopier::getFileDstPath(const CString &srcPath, const CString &dstBase,
                                       const CString &dstSub) {
    CString version;
    JMeshCode code;
    if (!JEdxPrmFile::CheckFileVer(srcPath, nullptr, &version)) {
        addFailure(srcPath, "パラメータのバージョンを読み取れません");
        return CString();
    }
    if (!JEdxPrmFile::GetFileMeshCode(GetFileNamePart(srcPath), &code)) {
        addFailure(srcPath, "ファイル名が規則に合いません");
        return CString();
    }
    CString mesh;
    mesh.Format("%04d", code.GetCode1());
    const CString versionFolder =
        joinFolder(dstBase, CFileFind::FindNameNoCase(dstBase, dstSub + version));
    return makeDstFolder(srcPath, Path::Join(versionFolder, mesh));
}

CString JEdxFileCopier::getFloppyFolder() const {
    const std::vector<CString> floppies = MountedMedia::FloppyFolders(MountedMedia::Read());
    return floppies.empty() ? CString() : floppies.front();
}
