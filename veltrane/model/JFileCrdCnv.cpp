#include "veltrane/model/JFileCrdCnv.h"

#include "platform/core/CArchive.h"
#include "platform/core/Path.h"
#include "platform/core/PendingFiles.h"
#include "veltrane/model/ArchiveFields.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <string>
#include <unistd.h>

namespace {

// The shortest job record: seven int32 values and four empty texts of one length byte each.
constexpr std::uint64_t kMinJobRecord = 7 * 4 + 4 * 1;

struct DisplayText {
    const char *longForm;
    const char *shortForm;
};

const DisplayText kModeTexts[] = {
    {"日本測地系→世界測地系", "旧→新"},
    {"世界測地系→日本測地系", "新→旧"},
    {"ファイルの内容に依存", "ファイル依存"},
};

const DisplayText kKindTexts[] = {
    {"世界座標づけ計算", "世界座標づけ"},
    {"TKY2JGD互換変換(T2J)方式", "TKY2JGD"},
    {"ブロックごとの変換", "ブロック"},
};

CString displayText(const DisplayText (&texts)[3], int value, bool shortForm) {
    if (value < 0 || value > 2)
        return CString();
    return shortForm ? texts[value].shortForm : texts[value].longForm;
}

// <0, 0, >0 as a sort key of a compares to b's.
int compareKey(const JFileCrdCnvElm &a, const JFileCrdCnvElm &b, JFileCrdCnvTbl::SortMode mode) {
    switch (mode) {
    case JFileCrdCnvTbl::SortSrcFileName:
        return a.GetSrcFileName().Compare(b.GetSrcFileName());
    case JFileCrdCnvTbl::SortFlag:
        return int(a.GetFlag()) - int(b.GetFlag());
    case JFileCrdCnvTbl::SortKind:
        return (a.GetConvertKind() > b.GetConvertKind()) -
               (a.GetConvertKind() < b.GetConvertKind());
    case JFileCrdCnvTbl::SortConvertMode:
        return (a.GetConvertMode() > b.GetConvertMode()) -
               (a.GetConvertMode() < b.GetConvertMode());
    case JFileCrdCnvTbl::SortDstFolder:
        return a.GetDstFolderPath().Compare(b.GetDstFolderPath());
    }
    return 0;
}

} // namespace

const char JFileCrdCnvElm::kDstSuffix[] = "～変換後";

CString JFileCrdCnvElm::GetSrcFolderPath() const { return Path::Folder(m_strSrcFilePath); }

CString JFileCrdCnvElm::GetSrcFileName() const { return Path::FileName(m_strSrcFilePath); }

CString JFileCrdCnvElm::GetDstFolderPath() const {
    return m_fOwnDst ? m_strDstFolder : GetSrcFolderPath();
}

bool JFileCrdCnvElm::MakeDstFilePath(unsigned flags) {
    const CString folder = GetDstFolderPath();
    CString made;
    CString reason;
    bool found = false;
    switch (m_nNaming) {
    case 0:
        found = makeDstFilePath(folder, GetSrcFileName(), false, &made, (flags & kInToOut) != 0,
                                &reason);
        break;
    case 1:
        found = makeDstFilePath(folder, GetSrcFileName(), true, &made, false, &reason);
        break;
    case 2:
        found = makeDstFilePath(folder, m_strDstName, true, &made, false, &reason);
        break;
    default:
        reason = "変換先のファイル名の付け方が正しくありません。";
        break;
    }
    if (found)
        m_strDstFilePath = made;
    else
        m_errTbl.push_back(reason);
    return found;
}

namespace {

// Why the name cannot be a file of the folder (a name the file system cannot hold), or empty.
CString unusableName(const std::string &nativeFolder, const CString &name) {
    std::string native;
    if (!Path::ToNative(name, native)) {
        CString reason;
        reason.Format("変換先のファイル名[%s]に使えない文字があります。", name.GetString());
        return reason;
    }
    // The limit counts the bytes of the name as the file system stores it (UTF-8).
    long limit = ::pathconf(nativeFolder.c_str(), _PC_NAME_MAX);
    if (limit <= 0)
        limit = NAME_MAX;
    if (native.size() > static_cast<std::size_t>(limit)) {
        CString reason;
        reason.Format("変換先のファイル名[%s]が長すぎます。", name.GetString());
        return reason;
    }
    return CString();
}

} // namespace

bool JFileCrdCnvElm::makeDstFilePath(const CString &folder, const CString &name, bool tryPlain,
                                     CString *out, bool inToOut, CString *reason) {
    CString why;
    if (reason == nullptr)
        reason = &why;
    if (folder.IsEmpty() || name.IsEmpty()) {
        *reason = folder.IsEmpty() ? "変換先のフォルダが決まっていません。"
                                   : "変換先のファイル名が決まっていません。";
        return false;
    }
    std::string nativeFolder;
    if (!Path::ToNative(folder, nativeFolder) || !Path::IsFolder(folder)) {
        reason->Format("変換先のフォルダ[%s]がありません。", folder.GetString());
        return false;
    }
    // A commit an ended writer left part way there is finished before the names are tried.
    PendingFiles::RecoverFolder(folder);
    // A name is free only when nothing of that name exists: a file we cannot read is still a
    // file we must not overwrite.
    if (tryPlain) {
        const CString plain = Path::Join(folder, name);
        if (unusableName(nativeFolder, name).IsEmpty() && !Path::Exists(plain)) {
            *out = plain;
            return true;
        }
    }
    const CString base = Path::FileTitle(name);
    CString ext = name.Mid(base.GetLength());
    const bool toOut = inToOut && ext == ".in";
    if (toOut)
        ext = ".out";
    for (int i = 1; i <= kMaxDstCandidates; ++i) {
        CString suffix;
        if (toOut) {
            if (i > 1)
                suffix.Format("(%d)", i);
        } else if (i == 1) {
            suffix = kDstSuffix;
        } else {
            suffix.Format("%s(%d)", kDstSuffix, i);
        }
        const CString candidate = base + suffix + ext;
        // Longer candidates follow: none of them can be made either.
        const CString unusable = unusableName(nativeFolder, candidate);
        if (!unusable.IsEmpty()) {
            *reason = unusable;
            return false;
        }
        const CString path = Path::Join(folder, candidate);
        if (!Path::Exists(path)) {
            *out = path;
            return true;
        }
    }
    reason->Format("変換先のファイル名の候補(%d個)がすべて使われています。", kMaxDstCandidates);
    return false;
}

CString JFileCrdCnvElm::GetConvertModeStr(int mode, bool shortForm) {
    return displayText(kModeTexts, mode, shortForm);
}

CString JFileCrdCnvElm::GetConvertKindStr(int kind, bool shortForm) {
    return displayText(kKindTexts, kind, shortForm);
}

bool JFileCrdCnvElm::Write(CArchive &ar) const {
    WriteInt(ar, m_nNo);
    ar << m_strSrcFilePath;
    WriteInt(ar, m_mode);
    WriteInt(ar, m_kind);
    WriteInt(ar, m_nValue3);
    WriteFlag(ar, m_fFlag);
    WriteFlag(ar, m_fOwnDst);
    ar << m_strDstFolder;
    WriteInt(ar, m_nNaming);
    ar << m_strDstName;
    ar << m_strDstFilePath;
    return true;
}

bool JFileCrdCnvElm::Read(CArchive &ar, unsigned long) {
    JFileCrdCnvElm read(*this);
    read.m_nNo = ReadInt(ar);
    ar >> read.m_strSrcFilePath;
    read.m_mode = static_cast<ConvertMode>(ReadInt(ar));
    read.m_kind = static_cast<JFileCnvKind>(ReadInt(ar));
    read.m_nValue3 = ReadInt(ar);
    read.m_fFlag = ReadFlag(ar);
    read.m_fOwnDst = ReadFlag(ar);
    ar >> read.m_strDstFolder;
    read.m_nNaming = ReadInt(ar);
    ar >> read.m_strDstName;
    ar >> read.m_strDstFilePath;
    *this = std::move(read);
    return true;
}

JFileCrdCnvTbl::JFileCrdCnvTbl(const JFileCrdCnvTbl &other) {
    m_jobs.reserve(other.m_jobs.size());
    for (const auto &job : other.m_jobs)
        m_jobs.push_back(std::make_unique<JFileCrdCnvElm>(*job));
    m_fIndexValid = false;
    makeIndex();
}

JFileCrdCnvTbl &JFileCrdCnvTbl::operator=(const JFileCrdCnvTbl &other) {
    if (this != &other) {
        JFileCrdCnvTbl copy(other);
        m_jobs.swap(copy.m_jobs);
        m_index.swap(copy.m_index);
        m_fIndexValid = copy.m_fIndexValid;
    }
    return *this;
}

JFileCrdCnvTbl::~JFileCrdCnvTbl() = default;

void JFileCrdCnvTbl::makeIndex() const {
    if (m_fIndexValid)
        return;
    m_index.clear();
    for (const auto &job : m_jobs)
        m_index.emplace(job->GetSrcFilePath(), job.get());
    m_fIndexValid = true;
}

bool JFileCrdCnvTbl::Append(JFileCrdCnvElm *job, bool allowDuplicate) {
    if (job == nullptr || std::any_of(m_jobs.begin(), m_jobs.end(),
                                      [job](const auto &held) { return held.get() == job; }))
        return false;
    makeIndex();
    if (!allowDuplicate && m_index.count(job->GetSrcFilePath()) != 0)
        return false;
    m_index.emplace(job->GetSrcFilePath(), job);
    m_jobs.emplace_back(job);
    return true;
}

bool JFileCrdCnvTbl::RemoveElm(unsigned i) {
    if (i >= m_jobs.size())
        return false;
    const JFileCrdCnvElm *job = m_jobs[i].get();
    for (auto it = m_index.begin(); it != m_index.end(); ++it) {
        if (it->second == job) {
            m_index.erase(it);
            break;
        }
    }
    m_jobs.erase(m_jobs.begin() + i);
    return true;
}

void JFileCrdCnvTbl::AllRemove() {
    m_index.clear();
    m_jobs.clear();
    m_fIndexValid = true;
}

bool JFileCrdCnvTbl::GetElm(unsigned i, JFileCrdCnvElm *job) const {
    if (i >= m_jobs.size() || job == nullptr)
        return false;
    *job = *m_jobs[i];
    return true;
}

bool JFileCrdCnvTbl::SetElm(unsigned i, const JFileCrdCnvElm &job) {
    if (i >= m_jobs.size())
        return false;
    *m_jobs[i] = job;
    m_fIndexValid = false; // the source path may have changed
    return true;
}

JFileCrdCnvElm *JFileCrdCnvTbl::GetElmPtr(unsigned i) {
    return i < m_jobs.size() ? m_jobs[i].get() : nullptr;
}

const JFileCrdCnvElm *JFileCrdCnvTbl::GetElmPtr(unsigned i) const {
    return i < m_jobs.size() ? m_jobs[i].get() : nullptr;
}

bool JFileCrdCnvTbl::IsDuplicated(const std::vector<CString> &paths) const {
    makeIndex();
    return std::any_of(paths.begin(), paths.end(),
                       [this](const CString &path) { return m_index.count(path) != 0; });
}

void JFileCrdCnvTbl::Sort(SortMode mode, bool ascending) {
    std::stable_sort(m_jobs.begin(), m_jobs.end(), [mode, ascending](const auto &a, const auto &b) {
        const int order = compareKey(*a, *b, mode);
        return ascending ? order < 0 : order > 0;
    });
}

bool JFileCrdCnvTbl::Write(CArchive &ar) const {
    WriteInt(ar, static_cast<int>(m_jobs.size()));
    for (const auto &job : m_jobs)
        job->Write(ar);
    return true;
}

bool JFileCrdCnvTbl::Read(CArchive &ar, unsigned long version) {
    const int count = ReadInt(ar);
    if (count < 0)
        return false;
    ar.CheckRemaining(static_cast<std::uint64_t>(count), kMinJobRecord);
    std::vector<std::unique_ptr<JFileCrdCnvElm>> jobs;
    jobs.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        auto job = std::make_unique<JFileCrdCnvElm>();
        if (!job->Read(ar, version))
            return false;
        jobs.push_back(std::move(job));
    }
    m_jobs.swap(jobs);
    m_fIndexValid = false;
    makeIndex();
    return true;
}
