#pragma once

#include "platform/core/CString.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace testsupport {

// The whole content of a file, as bytes ("" when it cannot be read).
std::string ReadFileBytes(const std::filesystem::path &file);
// Replaces a file's content with the bytes.
void WriteFileBytes(const std::filesystem::path &file, const std::string &bytes);

// A fixture with a fresh folder of its own under the temporary folder, removed after the test.
// Names given to its helpers are cp932, like every name inside the system.
class TempFolderTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // The cp932 path of a file in the folder.
    CString path(const char *name) const;
    // Writes the bytes to a file in the folder and gives its path.
    CString put(const std::string &bytes, const char *name) const;
    std::string get(const char *name) const;
    bool exists(const char *name) const;
    // The folder itself, in cp932.
    CString folder() const;

    std::filesystem::path m_dir;
};

} // namespace testsupport
