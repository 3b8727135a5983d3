#include "pallomir/ui/FileCopyOperation.h"

#include "platform/core/Path.h"
#include "platform/core/Prompt.h"

#include <filesystem>
#include <string>
#include <system_error>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

bool native(const CString &path, fs::path &out) {
    std::string text;
    if (!Path::ToNative(path, text))
        return false;
    out = text;
    return true;
}

// Copies source to destination through a temporary file beside it.
bool copyOne(const fs::path &source, const fs::path &destination) {
    std::error_code ec;
    if (fs::exists(destination, ec) && fs::equivalent(source, destination, ec))
        return true;
    if (!fs::is_regular_file(source, ec))
        return false;
    fs::path temporary = destination;
    temporary += ".copy" + std::to_string(::getpid());
    if (!fs::copy_file(source, temporary, fs::copy_options::overwrite_existing, ec)) {
        fs::remove(temporary, ec);
        return false;
    }
    fs::rename(temporary, destination, ec);
    if (ec) {
        fs::remove(temporary, ec);
        return false;
    }
    return true;
}

} // namespace

IFileCopyOperation::~IFileCopyOperation() = default;

bool FileCopyOperation::CopyInto(const std::vector<CString> &sources, const CString &folder,
                                 std::vector<FileCopyResult> &results) {
    results.assign(sources.size(), FileCopyResult::Failed);
    fs::path target;
    const bool folderOk = native(folder, target);

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
        fs::path source;
        const bool copied =
            native(sources[i], source) && copyOne(source, target / source.filename());
        results[i] = copied ? FileCopyResult::Copied : FileCopyResult::Failed;
    }
    return true;
}

FileCopyOperation &FileCopyOperation::Default() {
    static FileCopyOperation operation;
    return operation;
}
