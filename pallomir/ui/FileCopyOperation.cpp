#include "pallomir/ui/FileCopyOperation.h"

#include "platform/core/CFile.h"
#include "platform/core/Path.h"
#include "platform/core/Prompt.h"

#include <filesystem>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

bool native(const CString &path, fs::path &out) {
    std::string text;
    if (!Path::ToNative(path, text))
        return false;
    out = text;
    return true;
}

// A file about to be replaced that its owner may not write (a copy of read-only media made
// before) is made writable for the owner first, as a file manager's copy would be; its mode
// before, when it was changed.
std::optional<mode_t> letOwnerWrite(const fs::path &file) {
    struct stat st {};
    if (::stat(file.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid() ||
        (st.st_mode & S_IWUSR))
        return std::nullopt;
    const mode_t mode = st.st_mode & 07777;
    if (::chmod(file.c_str(), mode | S_IWUSR) != 0)
        return std::nullopt;
    return mode;
}

// Copies source over destination through CFile, so that a failed copy leaves no file and keeps
// the one it would have replaced. A new copy gets the permissions of a file the user makes.
bool copyOne(const CString &source, const CString &destination) {
    fs::path from, to;
    if (!native(source, from) || !native(destination, to))
        return false;
    std::error_code ec;
    if (fs::exists(to, ec) && fs::equivalent(from, to, ec))
        return true;
    if (!fs::is_regular_file(from, ec))
        return false;
    const std::optional<mode_t> before = letOwnerWrite(to);
    try {
        CFile in(source, CFile::modeRead | CFile::shareDenyWrite);
        CFile out(destination, CFile::modeCreate | CFile::modeWrite);
        std::vector<char> buffer(64 * 1024);
        while (const UINT count = in.Read(buffer.data(), static_cast<UINT>(buffer.size())))
            out.Write(buffer.data(), count);
        out.Close();
    } catch (const CFileException &e) {
        // The copy is in place when only the disk did not confirm it; else the old copy stays
        // as it was, its mode too.
        if (e.m_bInPlace)
            return true;
        if (before)
            ::chmod(to.c_str(), *before);
        return false;
    }
    return true;
}

} // namespace

IFileCopyOperation::~IFileCopyOperation() = default;

bool FileCopyOperation::CopyInto(const std::vector<CString> &sources, const CString &folder,
                                 std::vector<FileCopyResult> &results) {
    results.assign(sources.size(), FileCopyResult::Failed);
    fs::path folderPath;
    const bool folderOk = native(folder, folderPath);

    // Files that would be replaced.
    std::vector<bool> exists(sources.size(), false);
    int existing = 0;
    CString firstExisting;
    for (std::size_t i = 0; folderOk && i < sources.size(); ++i) {
        std::error_code ec;
        const CString destination = Path::Join(folder, Path::FileName(sources[i]));
        fs::path path;
        if (native(destination, path) && fs::exists(path, ec)) {
            exists[i] = true;
            if (existing++ == 0)
                firstExisting = destination;
        }
    }
    bool replace = true;
    if (existing > 0) {
        CString question;
        if (existing == 1)
            question.Format("%s\nは既に存在します。上書きしますか？", firstExisting.GetString());
        else
            question.Format("%s\nには同じ名前のファイルが %d 個あります。上書きしますか？",
                            folder.GetString(), existing);
        const int answer = AfxMessageBox(question, MB_YESNOCANCEL | MB_ICONQUESTION);
        if (answer == IDCANCEL) {
            results.assign(sources.size(), FileCopyResult::Skipped);
            return false;
        }
        replace = answer == IDYES;
    }

    for (std::size_t i = 0; folderOk && i < sources.size(); ++i) {
        if (exists[i] && !replace) {
            results[i] = FileCopyResult::Skipped;
            continue;
        }
        const bool copied = copyOne(sources[i], Path::Join(folder, Path::FileName(sources[i])));
        results[i] = copied ? FileCopyResult::Copied : FileCopyResult::Failed;
    }
    return true;
}

FileCopyOperation &FileCopyOperation::Default() {
    static FileCopyOperation operation;
    return operation;
}
