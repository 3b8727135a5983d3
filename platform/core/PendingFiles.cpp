#include "platform/core/PendingFiles.h"

#include "platform/core/CException.h"
#include "platform/core/CommitRecord.h"
#include "platform/core/Path.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace {

using FileReplacement::AsideFile;

std::string absolute(const std::string &path) {
    if (!path.empty() && path[0] == '/')
        return path;
    const std::string current = std::filesystem::current_path().string();
    return path == "." ? current : (current == "/" ? current : current + "/") + path;
}

// Whether a failed link says the file system has no hard links (FAT, some shares).
bool noLinks(int err) { return err == EPERM || err == EOPNOTSUPP || err == ENOSYS; }

// Everything a commit needs, made before its first change, so that it allocates nothing from
// the first link on.
struct Plan {
    CommitRecord record;
    std::vector<std::string> backups; // per file: the hidden link to make, or empty
    std::vector<bool> backupMade;
    std::vector<bool> oldFile;
    std::vector<bool> otherSave;      // per file: another program's save found at the rollback
    std::vector<CString> names;       // per file, taken out of the files when they are dropped
    std::vector<std::string> synced;  // the folders whose entries change
    std::vector<std::size_t> namedBy; // per synced folder: a file in it, or count

    Plan() = default;
    Plan(const Plan &) = delete;
    Plan &operator=(const Plan &) = delete;
    ~Plan() {
        if (!record.name.empty())
            FileReplacement::Release(record.name);
        for (const CommitRecord::Entry &entry : record.entries)
            if (!entry.backup.empty())
                FileReplacement::Release(entry.backup);
    }

    void removeBackups() {
        for (std::size_t i = 0; i < backups.size(); ++i)
            if (backupMade[i] && ::unlink(backups[i].c_str()) == 0)
                backupMade[i] = false;
    }
};

void addOnce(std::vector<std::string> &list, const std::string &item) {
    if (std::find(list.begin(), list.end(), item) == list.end())
        list.push_back(item);
}

} // namespace

PendingFiles::~PendingFiles() { Discard(); }

bool PendingFiles::CreateFolder(const CString &path) {
    namespace fs = std::filesystem;
    std::string native;
    if (path.IsEmpty() || !Path::ToNative(path, native))
        return false;
    // The missing folders on the way, innermost first.
    std::vector<fs::path> missing;
    std::error_code ec;
    for (fs::path p = native; !p.empty() && !fs::exists(fs::symlink_status(p, ec));
         p = p.parent_path()) {
        missing.push_back(p);
        if (p == p.parent_path())
            break;
    }
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
        std::string made = absolute(it->string());
        m_folders.reserve(m_folders.size() + 1);
        if (!fs::create_directory(*it, ec))
            break;
        m_folders.push_back(std::move(made));
    }
    return fs::is_directory(native, ec);
}

void PendingFiles::add(AsideFile file) {
    try {
        bool held = false;
        for (const auto &folder : m_held)
            if (folder->SameAs(*file.folder)) {
                file.folder = folder;
                held = true;
                break;
            }
        if (!held)
            m_held.push_back(file.folder);
        m_files.push_back(file); // a copy: file stays whole when this throws
    } catch (...) {
        file.Remove();
        throw;
    }
}

void PendingFiles::RecoverFolder(const CString &folder) {
    std::string native;
    if (Path::ToNative(folder.IsEmpty() ? CString(".") : folder, native))
        CommitRecord::RecoverFolder(native);
}

void PendingFiles::Commit() {
    const std::size_t count = m_files.size();
    Plan plan;
    try {
        CommitRecord &record = plan.record;
        record.name = FileReplacement::HiddenName('c');
        plan.backups.resize(count);
        plan.backupMade.resize(count);
        plan.oldFile.resize(count);
        plan.otherSave.resize(count);
        plan.names.resize(count);
        for (std::size_t i = 0; i < count; ++i) {
            const AsideFile &file = m_files[i];
            const std::string folder = absolute(FileReplacement::FolderOf(file.target));
            addOnce(record.folders, folder);
            CommitRecord::Entry entry;
            entry.folder = static_cast<std::size_t>(
                std::find(record.folders.begin(), record.folders.end(), folder) -
                record.folders.begin());
            entry.target = FileReplacement::NameOf(file.target);
            entry.temporary = file.temporary;
            entry.noReplace = file.noReplace;
            entry.identity = file.identity;
            struct stat st {};
            entry.oldFile = ::lstat(file.target.c_str(), &st) == 0;
            plan.oldFile[i] = entry.oldFile;
            // The last file needs no backup: once its rename succeeded, nothing calls it back.
            // A name that was free has nothing to keep.
            if (i + 1 < count && !file.noReplace) {
                entry.backup = FileReplacement::HiddenName('t');
                plan.backups[i] = FileReplacement::Within(folder, entry.backup);
            }
            record.entries.push_back(std::move(entry));
        }
        record.madeFolders = m_folders;
        plan.synced = record.folders;
        for (const std::string &made : m_folders)
            addOnce(plan.synced, FileReplacement::FolderOf(made));
        plan.namedBy.assign(plan.synced.size(), count);
        for (std::size_t i = 0; i < count; ++i) {
            const std::size_t k = record.entries[i].folder;
            if (plan.namedBy[k] == count)
                plan.namedBy[k] = i;
        }
        record.Prepare();
    } catch (...) {
        Discard();
        throw;
    }

    // The old files are kept aside before anything is put in place.
    for (std::size_t i = 0; i < count; ++i) {
        if (plan.backups[i].empty())
            continue;
        if (::link(m_files[i].target.c_str(), plan.backups[i].c_str()) == 0) {
            plan.backupMade[i] = true;
            plan.oldFile[i] = true;
        } else if (errno == ENOENT || errno == ENOTDIR) {
            plan.oldFile[i] = false; // gone meanwhile
        } else if (!noLinks(errno)) {
            const int err = errno;
            plan.removeBackups();
            CString name = std::move(m_files[i].name);
            Discard();
            CFileException::ThrowOsError(err, name);
        }
        plan.record.SetOld(i, plan.oldFile[i], plan.backupMade[i]);
    }

    // A commit of several files is recorded in their folders, so that a kill cannot split it.
    bool recorded = false;
    bool recordFailed = false;
    std::size_t failed = 0;
    int err = 0;
    if (count >= 2) {
        err = plan.record.Write(failed);
        recorded = err == 0;
        recordFailed = !recorded;
    }
    std::size_t at = 0;
    for (; err == 0 && at < count; ++at) {
        err = m_files[at].PutInPlace(recorded);
        if (err == FileReplacement::NEEDS_CLAIM) {
            // A claim of the name can be undone only with a record.
            err = plan.record.Write(failed);
            recorded = err == 0;
            recordFailed = !recorded;
            if (recorded)
                err = m_files[at].PutInPlace(true);
        }
        if (err != 0)
            break;
    }

    if (err != 0) {
        // The files put in place go back, the last first, while each is still this commit's.
        for (std::size_t j = std::min(at, count); j-- > 0;) {
            const AsideFile &file = m_files[j];
            struct stat st {};
            const bool there = ::lstat(file.target.c_str(), &st) == 0;
            if (!there || !file.identity.Matches(st, file.folder->StableInodes())) {
                plan.otherSave[j] = there;
                continue;
            }
            if (plan.backupMade[j]) {
                if (::rename(plan.backups[j].c_str(), file.target.c_str()) == 0)
                    plan.backupMade[j] = false;
            } else if (!plan.oldFile[j]) {
                ::unlink(file.target.c_str());
            }
        }
        if (recorded)
            plan.record.Remove();
        plan.removeBackups();
        for (std::size_t j = 0; j < count; ++j)
            plan.names[j] = std::move(m_files[j].name);
        Discard();
        std::size_t ignored = 0;
        FileReplacement::SyncFolders(plan.synced, ignored);

        CFileException error(CFileException::OsErrorToException(err), err);
        // A record that cannot be made names the first file of its folder.
        error.m_strFileName = plan.names[recordFailed ? plan.namedBy[failed] : at];
        for (std::size_t j = 0; j < count; ++j) {
            if (!plan.otherSave[j])
                continue;
            CString note;
            note.Format("%sはこの間に他で保存されたため、元に戻していません。",
                        plan.names[j].GetString());
            error.m_strDetail += (error.m_strDetail.IsEmpty() ? "" : "\n") + note;
        }
        throw error;
    }

    // Every file is in place: the names go to the disk, then the record and the backups go.
    const int syncError = FileReplacement::SyncFolders(plan.synced, failed);
    if (recorded)
        plan.record.Remove();
    plan.removeBackups();
    CString named;
    if (syncError != 0 && plan.namedBy[failed] < count)
        named = std::move(m_files[plan.namedBy[failed]].name);
    m_files.clear();
    m_held.clear();
    m_folders.clear();
    if (syncError != 0) {
        CFileException error(CFileException::OsErrorToException(syncError), syncError,
                             named.IsEmpty() ? Path::FromNative(plan.synced[failed]) : named);
        error.m_bInPlace = true;
        throw error;
    }
}

void PendingFiles::Discard() {
    for (const AsideFile &file : m_files)
        file.Remove();
    m_files.clear();
    m_held.clear();
    for (auto it = m_folders.rbegin(); it != m_folders.rend(); ++it)
        ::rmdir(it->c_str());
    m_folders.clear();
}
