#include "platform/core/PendingFiles.h"

#include "platform/core/CFile.h"
#include "platform/core/CStdioFile.h"
#include "tests/support/FolderSnapshot.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <map>
#include <string>

namespace fs = std::filesystem;

namespace {

class PendingFilesTest : public testsupport::TempFolderTest {
  protected:
    void write(PendingFiles &pending, const char *name, const char *text) const {
        CStdioFile file(path(name), CFile::modeCreate | CFile::modeWrite);
        file.WriteString(text);
        file.Close(pending);
    }
    using Snapshot = std::map<std::string, std::string>;
};

TEST_F(PendingFilesTest, PutInPlaceTogetherOrNotAtAll) {
    put("old a", "a.edx");
    const auto writeBoth = [this](PendingFiles &pending) {
        EXPECT_TRUE(pending.CreateFolder(path("sub/deeper")));
        write(pending, "a.edx", "a.edx");
        write(pending, "sub/deeper/b.edx", "sub/deeper/b.edx");
        EXPECT_EQ(get("a.edx"), "old a"); // nothing in place yet
    };
    {
        PendingFiles discarded;
        writeBoth(discarded);
    } // the folders it made go too
    EXPECT_EQ(testsupport::FolderSnapshot(m_dir), (Snapshot{{"a.edx", "old a"}}));

    PendingFiles pending;
    writeBoth(pending);
    pending.Commit();
    // The old file's backup and the commit's records are gone with it.
    EXPECT_EQ(testsupport::FolderSnapshot(m_dir),
              (Snapshot{{"a.edx", "a.edx"},
                        {"sub", "<folder>"},
                        {"sub/deeper", "<folder>"},
                        {"sub/deeper/b.edx", "sub/deeper/b.edx"}}));
}

TEST_F(PendingFilesTest, AFailedRenamePutsEveryTargetBackAndLeavesNothingBehind) {
    put("old 1", "one.txt");
    fs::create_directory(m_dir / "third");
    put("old 3", "third/three.txt");
    PendingFiles pending;
    ASSERT_TRUE(pending.CreateFolder(path("made/inner")));
    write(pending, "one.txt", "new 1");
    write(pending, "made/inner/two.txt", "new 2");
    write(pending, "third/three.txt", "new 3");
    write(pending, "four.txt", "new 4");
    // Another program moves the third file's folder away before the files are put in place.
    fs::rename(m_dir / "third", m_dir / "moved");

    try {
        pending.Commit();
        FAIL() << "no exception";
    } catch (const CFileException &e) {
        EXPECT_EQ(e.m_strFileName, path("third/three.txt"));
        EXPECT_EQ(e.m_lOsError, ENOENT);
    }
    EXPECT_TRUE(pending.IsEmpty());
    // The first file has its old bytes again, the folders made are gone, and no temporary or
    // backup file is left, also in the folder that moved.
    EXPECT_EQ(
        testsupport::FolderSnapshot(m_dir),
        (Snapshot{{"one.txt", "old 1"}, {"moved", "<folder>"}, {"moved/three.txt", "old 3"}}));
}

} // namespace
