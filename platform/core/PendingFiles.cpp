#include "platform/core/PendingFiles.h"

#include "platform/core/CException.h"
#include "platform/core/Path.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>

namespace {

using FileReplacement::AsideFile;

// What stood at a target before its file was put in place.
struct Backup {
    bool oldFile = false; // something stood there
    std::string path;     // a hidden link to it; empty when none could be made
};

// Links what stands at target to a hidden name in its folder.
Backup keepAside(const std::string &target) {
    Backup backup;
    struct stat st {};
    if (::lstat(target.c_str(), &st) != 0 && (errno == ENOENT || errno == ENOTDIR))
        return backup;
    backup.oldFile = true;
    const std::string folder = FileReplacement::FolderOf(target);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string path =
            (folder == "/" ? folder : folder + "/") + FileReplacement::HiddenName();
        if (::link(target.c_str(), path.c_str()) == 0) {
            backup.path = path;
            break;
        }
        if (errno == ENOENT)
            backup.oldFile = false; // gone meanwhile
        if (errno != EEXIST)
            break;
    }
    return backup;
}

// Undoes the renames of the first count files, the last first: an old file comes back from its
// backup, a name that was free is freed again, and a file replaced without a backup stays. A
// backup that cannot be put back is kept.
void putBack(const std::vector<AsideFile> &files, std::vector<Backup> &backups, std::size_t count) {
    for (std::size_t i = count; i-- > 0;) {
        Backup &backup = backups[i];
        if (!backup.path.empty()) {
            if (::rename(backup.path.c_str(), files[i].target.c_str()) == 0) {
                // Still there when the target was another link to the same file.
                ::unlink(backup.path.c_str());
                backup.path.clear();
            }
        } else if (!backup.oldFile) {
            ::unlink(files[i].target.c_str());
        }
    }
}

// Writes the entries of each folder to the device; the first error and its folder. A folder
// that cannot be opened, or a file system that cannot do it, is passed over.
int syncFolders(const std::set<std::string> &folders, std::string &failed) {
    int first = 0;
    for (const std::string &folder : folders) {
        const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0)
            continue;
        if (::fsync(fd) != 0 && errno != EINVAL && errno != EROFS && errno != ENOTSUP &&
            first == 0) {
            first = errno;
            failed = folder;
        }
        ::close(fd);
    }
    return first;
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
        if (!fs::create_directory(*it, ec))
            break;
        m_folders.push_back(it->string());
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

std::set<std::string> PendingFiles::changedFolders() const {
    std::set<std::string> folders;
    for (const AsideFile &file : m_files)
        folders.insert(FileReplacement::FolderOf(file.target));
    for (const std::string &folder : m_folders)
        folders.insert(FileReplacement::FolderOf(folder));
    return folders;
}

void PendingFiles::Commit() {
    const std::size_t count = m_files.size();
    std::vector<Backup> backups(count);
    // The last file needs none: once its rename succeeded, nothing calls it back.
    for (std::size_t i = 0; i + 1 < count; ++i)
        if (!m_files[i].noReplace)
            backups[i] = keepAside(m_files[i].target);

    for (std::size_t i = 0; i < count; ++i) {
        const int err = m_files[i].PutInPlace();
        if (err == 0)
            continue;
        putBack(m_files, backups, i);
        for (std::size_t j = i; j < count; ++j)
            if (!backups[j].path.empty())
                ::unlink(backups[j].path.c_str());
        const CString name = m_files[i].name;
        const std::set<std::string> folders = changedFolders();
        Discard();
        std::string ignored;
        syncFolders(folders, ignored);
        CFileException::ThrowOsError(err, name);
    }

    const std::set<std::string> folders = changedFolders();
    for (const Backup &backup : backups)
        if (!backup.path.empty())
            ::unlink(backup.path.c_str());
    m_files.clear();
    m_held.clear();
    m_folders.clear();
    std::string failed;
    if (const int err = syncFolders(folders, failed); err != 0)
        CFileException::ThrowOsError(err, Path::FromNative(failed));
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
