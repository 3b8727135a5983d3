#include "platform/core/CommitRecord.h"

#include <cerrno>
#include <charconv>
#include <dirent.h>
#include <fcntl.h>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char kHeading[] = "zentrova commit 1";
constexpr char kEnd[] = "end";
// A record is a few lines a file; anything larger is no record of ours.
constexpr off_t kLargestRecord = 16 * 1024 * 1024;

void addField(std::string &bytes, const std::string &field) {
    bytes += field;
    bytes += '\0';
}

void addNumber(std::string &bytes, std::uint64_t value) { addField(bytes, std::to_string(value)); }

// The fields of a record, each ended by a NUL.
class Fields {
  public:
    explicit Fields(const std::string &bytes) : m_bytes(bytes) {}
    bool text(std::string &out) {
        const std::size_t end = m_bytes.find('\0', m_at);
        if (end == std::string::npos)
            return false;
        out.assign(m_bytes, m_at, end - m_at);
        m_at = end + 1;
        return true;
    }
    template <typename T> bool number(T &out) {
        std::string field;
        if (!text(field) || field.empty())
            return false;
        const auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), out);
        return ec == std::errc() && end == field.data() + field.size();
    }
    bool flag(bool &out) {
        std::string field;
        if (!text(field) || (field != "0" && field != "1"))
            return false;
        out = field == "1";
        return true;
    }
    bool atEnd() const { return m_at == m_bytes.size(); }

  private:
    const std::string &m_bytes;
    std::size_t m_at = 0;
};

// A name of the folder that is no folder or link: a file we may remove.
bool isFile(int dir, const char *name) {
    struct stat st {};
    return ::fstatat(dir, name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode);
}

// The bytes of a record, and when it was written.
bool readWhole(int dir, const std::string &name, std::string &bytes, std::int64_t &written) {
    const int fd = ::openat(dir, name.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {};
    bool whole = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size <= kLargestRecord;
    if (whole) {
        written = FileReplacement::FileIdentity::Of(st).modified;
        bytes.resize(static_cast<std::size_t>(st.st_size));
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::read(fd, bytes.data() + done, bytes.size() - done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            done += static_cast<std::size_t>(n);
        }
        whole = done == bytes.size();
    }
    ::close(fd);
    return whole;
}

} // namespace

void CommitRecord::Prepare() {
    m_bytes.clear();
    m_flagOffsets.clear();
    addField(m_bytes, kHeading);
    addField(m_bytes, name);
    addNumber(m_bytes, folders.size());
    for (const std::string &folder : folders)
        addField(m_bytes, folder);
    addNumber(m_bytes, madeFolders.size());
    for (const std::string &folder : madeFolders)
        addField(m_bytes, folder);
    addNumber(m_bytes, entries.size());
    for (const Entry &entry : entries) {
        addNumber(m_bytes, entry.folder);
        addField(m_bytes, entry.target);
        addField(m_bytes, entry.temporary);
        addField(m_bytes, entry.backup);
        m_flagOffsets.push_back(m_bytes.size());
        addField(m_bytes, entry.backupMade ? "1" : "0");
        addField(m_bytes, entry.oldFile ? "1" : "0");
        addField(m_bytes, entry.noReplace ? "1" : "0");
        addNumber(m_bytes, entry.identity.inode);
        addNumber(m_bytes, entry.identity.size);
        addField(m_bytes, std::to_string(entry.identity.modified));
    }
    addField(m_bytes, kEnd);
    m_copies.clear();
    for (const std::string &folder : folders)
        m_copies.push_back(FileReplacement::Within(folder, name));
}

void CommitRecord::SetOld(std::size_t entry, bool oldFile, bool backupMade) {
    entries[entry].oldFile = oldFile;
    entries[entry].backupMade = backupMade;
    m_bytes[m_flagOffsets[entry]] = backupMade ? '1' : '0';
    m_bytes[m_flagOffsets[entry] + 2] = oldFile ? '1' : '0';
}

int CommitRecord::Write(std::size_t &failedFolder) const {
    for (std::size_t i = 0; i < m_copies.size(); ++i) {
        int err = 0;
        const int fd = ::open(m_copies[i].c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            err = errno;
        } else {
            std::size_t done = 0;
            while (err == 0 && done < m_bytes.size()) {
                const ssize_t n = ::write(fd, m_bytes.data() + done, m_bytes.size() - done);
                if (n < 0 && errno == EINTR)
                    continue;
                if (n <= 0)
                    err = n < 0 ? errno : ENOSPC;
                else
                    done += static_cast<std::size_t>(n);
            }
            if (err == 0 && ::fsync(fd) != 0)
                err = errno;
            if (::close(fd) != 0 && err == 0 && errno != EINTR)
                err = errno;
        }
        if (err != 0) {
            // The copies before this one go; this one too, when it was made.
            for (std::size_t j = 0; j < i + (fd >= 0 ? 1 : 0); ++j)
                ::unlink(m_copies[j].c_str());
            failedFolder = i;
            return err;
        }
    }
    // The names of the copies, and of the temporaries beside them, on the disk too.
    const int err = FileReplacement::SyncFolders(folders, failedFolder);
    if (err != 0)
        Remove();
    return err;
}

void CommitRecord::Remove() const noexcept {
    for (const std::string &copy : m_copies)
        ::unlink(copy.c_str());
}

bool CommitRecord::parse(const std::string &bytes, CommitRecord &record) {
    Fields fields(bytes);
    // A count, then that many absolute paths.
    const auto folders = [&](std::vector<std::string> &list) {
        std::size_t count = 0;
        if (!fields.number(count) || count > bytes.size())
            return false;
        list.resize(count);
        for (std::string &folder : list)
            if (!fields.text(folder) || folder.empty() || folder[0] != '/')
                return false;
        return true;
    };
    std::string heading;
    std::size_t count = 0;
    if (!fields.text(heading) || heading != kHeading || !fields.text(record.name) ||
        !folders(record.folders) || !folders(record.madeFolders) || !fields.number(count) ||
        count > bytes.size())
        return false;
    record.entries.resize(count);
    for (Entry &entry : record.entries) {
        if (!fields.number(entry.folder) || entry.folder >= record.folders.size() ||
            !fields.text(entry.target) || !fields.text(entry.temporary) ||
            !fields.text(entry.backup) || !fields.flag(entry.backupMade) ||
            !fields.flag(entry.oldFile) || !fields.flag(entry.noReplace) ||
            !fields.number(entry.identity.inode) || !fields.number(entry.identity.size) ||
            !fields.number(entry.identity.modified))
            return false;
        // Only names of the folder itself, and hidden names of ours beside them.
        if (entry.target.empty() || entry.target.find('/') != std::string::npos ||
            FileReplacement::HiddenKind(entry.temporary) != 't' ||
            (!entry.backup.empty() && FileReplacement::HiddenKind(entry.backup) != 't'))
            return false;
    }
    std::string end;
    return fields.text(end) && end == kEnd && fields.atEnd();
}

void CommitRecord::recover(std::int64_t written) const {
    std::vector<std::shared_ptr<FileReplacement::HeldFolder>> held(folders.size());
    for (std::size_t i = 0; i < folders.size(); ++i) {
        int err = 0;
        held[i] = FileReplacement::HeldFolder::Open(folders[i], err);
    }
    struct State {
        FileReplacement::AsideFile file;
        std::string backup;
        bool temporaryThere = false;
        bool targetNew = false;
    };
    std::vector<State> states(entries.size());
    bool lost = false;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const Entry &entry = entries[i];
        State &state = states[i];
        state.file.folder = held[entry.folder];
        state.file.temporary = entry.temporary;
        state.file.target = FileReplacement::Within(folders[entry.folder], entry.target);
        state.file.noReplace = entry.noReplace;
        state.file.identity = entry.identity;
        state.backup = FileReplacement::Within(folders[entry.folder], entry.backup);
        if (!state.file.folder) {
            lost = true;
            continue;
        }
        struct stat st {};
        state.temporaryThere = ::fstatat(state.file.folder->Descriptor(), entry.temporary.c_str(),
                                         &st, AT_SYMLINK_NOFOLLOW) == 0;
        state.targetNew = ::lstat(state.file.target.c_str(), &st) == 0 &&
                          entry.identity.Matches(st, state.file.folder->StableInodes());
        // A temporary that is neither there nor in place: the set cannot be finished.
        lost = lost || (!state.temporaryThere && !state.targetNew);
    }

    // Every temporary is complete: the commit is finished.
    for (std::size_t i = 0; !lost && i < states.size(); ++i) {
        State &state = states[i];
        if (!state.temporaryThere)
            continue;
        if (state.targetNew) {
            state.file.Remove(); // put in place by a link
            continue;
        }
        FileReplacement::AsideFile put = state.file;
        if (put.noReplace && put.TargetIsClaim(written))
            put.noReplace = false; // the writer had claimed the name
        if (put.PutInPlace(true) != 0) {
            lost = true;
            break;
        }
        state.temporaryThere = false;
        state.targetNew = true;
    }

    if (lost) {
        // Undone, the last first: an old file comes back from its link, a name that was free is
        // freed, while the file at the target is still the one this commit put there.
        for (std::size_t i = states.size(); i-- > 0;) {
            const Entry &entry = entries[i];
            State &state = states[i];
            if (!state.file.folder)
                continue;
            struct stat st {};
            const bool targetNew = ::lstat(state.file.target.c_str(), &st) == 0 &&
                                   entry.identity.Matches(st, state.file.folder->StableInodes());
            if (targetNew) {
                if (entry.backupMade)
                    ::rename(state.backup.c_str(), state.file.target.c_str());
                else if (!entry.oldFile)
                    ::unlink(state.file.target.c_str());
            } else if (entry.noReplace && state.file.TargetIsClaim(written)) {
                ::unlink(state.file.target.c_str());
            }
        }
    }
    for (std::size_t i = 0; i < states.size(); ++i) {
        if (!states[i].file.folder)
            continue;
        if (states[i].temporaryThere)
            states[i].file.Remove();
        if (entries[i].backupMade)
            ::unlink(states[i].backup.c_str());
    }
    for (const std::string &folder : folders)
        ::unlink(FileReplacement::Within(folder, name).c_str());
    if (lost)
        for (auto it = madeFolders.rbegin(); it != madeFolders.rend(); ++it)
            ::rmdir(it->c_str());
    std::size_t ignored = 0;
    FileReplacement::SyncFolders(folders, ignored);
}

void CommitRecord::RecoverFolder(const std::string &folder) noexcept {
    const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0)
        return;
    try {
        std::vector<std::string> hidden;
        const int copy = ::dup(dir);
        const std::unique_ptr<DIR, int (*)(DIR *)> listing(copy >= 0 ? ::fdopendir(copy) : nullptr,
                                                           ::closedir);
        if (copy >= 0 && !listing)
            ::close(copy);
        while (const dirent *entry = listing ? ::readdir(listing.get()) : nullptr) {
            const std::string entryName = entry->d_name;
            if (FileReplacement::HiddenKind(entryName) != 0)
                hidden.push_back(entryName);
        }
        bool running = false;
        for (const std::string &entryName : hidden) {
            if (FileReplacement::HiddenKind(entryName) != 'c')
                continue;
            if (!FileReplacement::WriterEnded(entryName)) {
                running = true;
                continue;
            }
            // Taken under a name of this process first, so that no other process recovers it
            // at the same time.
            const std::string claimed = FileReplacement::HiddenName('c');
            if (::renameat(dir, entryName.c_str(), dir, claimed.c_str()) != 0) {
                FileReplacement::Release(claimed);
                continue;
            }
            std::string bytes;
            std::int64_t written = 0;
            CommitRecord record;
            // A record cut short was being written: nothing had been put in place yet.
            if (readWhole(dir, claimed, bytes, written) && parse(bytes, record))
                record.recover(written);
            ::unlinkat(dir, claimed.c_str(), 0);
            FileReplacement::Release(claimed);
        }
        // Hidden files of writers that have ended, unless a running one is committing here.
        for (const std::string &entryName : hidden)
            if (!running && FileReplacement::HiddenKind(entryName) == 't' &&
                FileReplacement::WriterEnded(entryName) && isFile(dir, entryName.c_str()))
                ::unlinkat(dir, entryName.c_str(), 0);
    } catch (...) {
        // Out of memory: left for another time.
    }
    ::close(dir);
}
