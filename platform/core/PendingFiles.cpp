#include "platform/core/PendingFiles.h"

#include "platform/core/CException.h"
#include "platform/core/FileReplacement.h"
#include "platform/core/Path.h"

#include <filesystem>
#include <system_error>
#include <unistd.h>

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

void PendingFiles::Commit() {
    for (std::size_t i = 0; i < m_files.size(); ++i) {
        const File &file = m_files[i];
        const int err = FileReplacement::PutInPlace(file.temporary, file.target, file.noReplace);
        if (err != 0) {
            const CString name = file.name;
            m_files.erase(m_files.begin(), m_files.begin() + static_cast<std::ptrdiff_t>(i));
            m_folders.clear(); // they hold the files put in place
            Discard();
            CFileException::ThrowOsError(err, name);
        }
    }
    m_files.clear();
    m_folders.clear();
}

void PendingFiles::Discard() {
    for (const File &file : m_files)
        ::unlink(file.temporary.c_str());
    m_files.clear();
    for (auto it = m_folders.rbegin(); it != m_folders.rend(); ++it)
        ::rmdir(it->c_str());
    m_folders.clear();
}
