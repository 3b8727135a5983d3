#include "tests/support/FolderSnapshot.h"

#include "tests/support/TempFolder.h"

namespace fs = std::filesystem;

namespace testsupport {

std::map<std::string, std::string> FolderSnapshot(const fs::path &folder) {
    std::map<std::string, std::string> entries;
    for (const auto &entry : fs::recursive_directory_iterator(folder)) {
        const std::string name = fs::relative(entry.path(), folder).string();
        entries[name] = entry.is_directory() ? "<folder>" : ReadFileBytes(entry.path());
    }
    return entries;
}

} // namespace testsupport
