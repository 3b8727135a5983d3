#include "tests/support/TempFolder.h"

#include <fstream>
#include <iterator>
#include <unistd.h>

namespace fs = std::filesystem;

namespace testsupport {

std::string ReadFileBytes(const fs::path &file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFileBytes(const fs::path &file, const std::string &bytes) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out.flush())
        ADD_FAILURE() << "cannot write " << file;
}

void TempFolderTest::SetUp() {
    const auto *info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string("zentrova-") + info->test_suite_name() + "-" + info->name() +
                       "-" + std::to_string(::getpid());
    for (char &c : name)
        if (c == '/')
            c = '_'; // parameterised tests carry a slash
    m_dir = fs::temp_directory_path() / name;
    fs::remove_all(m_dir);
    fs::create_directories(m_dir);
}

void TempFolderTest::TearDown() { fs::remove_all(m_dir); }

CString TempFolderTest::folder() const { return FromUtf8(m_dir.string()); }

CString TempFolderTest::path(const char *name) const { return folder() + "/" + name; }

CString TempFolderTest::put(const std::string &bytes, const char *name) const {
    const CString file = path(name);
    WriteFileBytes(ToUtf8(file), bytes);
    return file;
}

std::string TempFolderTest::get(const char *name) const {
    return ReadFileBytes(ToUtf8(path(name)));
}

bool TempFolderTest::exists(const char *name) const { return fs::exists(ToUtf8(path(name))); }

} // namespace testsupport
