// Replacing files when the file system, the disk or the memory fails at one step, made so by
// taking the place of the C library's calls.
#include "platform/core/CFile.h"
#include "platform/core/CStdioFile.h"
#include "platform/core/PendingFiles.h"
#include "tests/support/FailingAllocation.h"
#include "tests/support/FolderSnapshot.h"
#include "tests/support/SystemCallFaults.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <map>
#include <new>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Faults = testsupport::SystemCallFaults;
using Snapshot = std::map<std::string, std::string>;

class WriteFaultTest : public testsupport::TempFolderTest {
  protected:
    void write(PendingFiles &pending, const std::string &name, const std::string &text) const {
        CStdioFile file(path(name.c_str()),
                        CFile::modeCreate | CFile::modeWrite | CFile::modeNoReplace);
        file.WriteString(text.c_str());
        file.Close(pending);
    }
    // The snapshot of files n1..nN holding prefix and their number.
    Snapshot numbered(int count, const std::string &prefix) const {
        Snapshot files;
        for (int i = 1; i <= count; ++i)
            files[std::string("f").append(std::to_string(i))] = prefix + std::to_string(i);
        return files;
    }
};

TEST_F(WriteFaultTest, ANewNameIsTakenWhereTheFileSystemHasNeitherNoReplaceRenameNorLinks) {
    put("old", "old.txt");
    {
        Faults faults;
        faults.LikeFuseFat();
        // One file alone, and a set of a new name and an existing one.
        CFile one(path("one.txt"), CFile::modeCreate | CFile::modeWrite | CFile::modeNoReplace);
        one.Write("one", 3);
        one.Close();
        PendingFiles pending;
        write(pending, "new.txt", "new");
        write(pending, "old.txt", "replaced");
        pending.Commit();

        // A file that takes the free name meanwhile is still never replaced.
        CFile late(path("late.txt"), CFile::modeCreate | CFile::modeWrite | CFile::modeNoReplace);
        late.Write("converted", 9);
        put("appeared", "late.txt");
        try {
            late.Close();
            FAIL() << "no exception";
        } catch (const CFileException &e) {
            EXPECT_EQ(e.GetErrorMessage(), path("late.txt") + "は既にあるため書き込めません。");
        }
        EXPECT_GT(faults.Count(Faults::Link), 0);
    }
    EXPECT_EQ(testsupport::FolderSnapshot(m_dir), (Snapshot{{"one.txt", "one"},
                                                            {"new.txt", "new"},
                                                            {"old.txt", "replaced"},
                                                            {"late.txt", "appeared"}}));
}

TEST_F(WriteFaultTest, ARollbackLeavesASaveOfAnotherProgramInPlaceAndSaysSo) {
    put("old 1", "f1");
    put("old 2", "f2");
    PendingFiles pending;
    write(pending, "f1", "new 1");
    write(pending, "f2", "new 2");
    Faults faults;
    // Between the two renames another program saves f1 (as editors do, by a rename).
    faults.FailAt(Faults::Rename, 2, EIO, [this] {
        put("another program's save", "other.tmp");
        fs::rename(m_dir / "other.tmp", m_dir / "f1");
    });
    try {
        pending.Commit();
        FAIL() << "no exception";
    } catch (const CFileException &e) {
        EXPECT_EQ(e.m_strFileName, path("f2"));
        EXPECT_GE(e.GetErrorMessage().Find(path("f1") + "はこの間に他で保存されたため"), 0)
            << e.GetErrorMessage().Bytes();
    }
    EXPECT_EQ(testsupport::FolderSnapshot(m_dir),
              (Snapshot{{"f1", "another program's save"}, {"f2", "old 2"}}));
}

TEST_F(WriteFaultTest, ABackupThatCannotBeLinkedStopsTheCommitBeforeAnyRename) {
    for (int i = 1; i <= 10; ++i)
        put("old " + std::to_string(i), std::string("f").append(std::to_string(i)).c_str());
    PendingFiles pending;
    for (int i = 1; i <= 10; ++i)
        write(pending, std::string("f").append(std::to_string(i)), "new " + std::to_string(i));
    Faults faults;
    faults.FailAt(Faults::Link, 5, EMLINK);
    faults.FailAt(Faults::Rename, 10, EIO);
    try {
        pending.Commit();
        FAIL() << "no exception";
    } catch (const CFileException &e) {
        EXPECT_EQ(e.m_strFileName, path("f5"));
        EXPECT_EQ(e.m_lOsError, EMLINK);
    }
    EXPECT_EQ(faults.Count(Faults::Rename), 0);
    EXPECT_EQ(testsupport::FolderSnapshot(m_dir), numbered(10, "old "));
}

TEST_F(WriteFaultTest, AFailedRenamePutsTheEarlierFilesBackAndRemovesEveryBackup) {
    for (int i = 1; i <= 4; ++i)
        put("old " + std::to_string(i), ("f" + std::to_string(i)).c_str());
    PendingFiles pending;
    for (int i = 1; i <= 4; ++i)
        write(pending, "f" + std::to_string(i), "new " + std::to_string(i));
    Faults faults;
    faults.FailAt(Faults::Rename, 3, EIO);
    EXPECT_THROW(pending.Commit(), CFileException);
    EXPECT_EQ(testsupport::FolderSnapshot(m_dir), numbered(4, "old "));
}

TEST_F(WriteFaultTest, TheDiskRefusingTheDataOrTheFolderIsToldTruly) {
    put("old", "t.txt");
    {
        // The data itself: nothing is put in place.
        Faults faults;
        faults.FailAt(Faults::Fsync, 1, EIO);
        CFile file(path("t.txt"), CFile::modeCreate | CFile::modeWrite);
        file.Write("new", 3);
        EXPECT_THROW(file.Close(), CFileException);
    }
    EXPECT_EQ(testsupport::FolderSnapshot(m_dir), (Snapshot{{"t.txt", "old"}}));
    {
        // The folder, once the file is in place: it was written, and the disk did not say so.
        Faults faults;
        faults.FailAt(Faults::Fsync, 2, EIO);
        CFile file(path("t.txt"), CFile::modeCreate | CFile::modeWrite);
        file.Write("new", 3);
        try {
            file.Close();
            FAIL() << "no exception";
        } catch (const CFileException &e) {
            EXPECT_TRUE(e.m_bInPlace);
            EXPECT_EQ(e.GetErrorMessage(),
                      path("t.txt") +
                          "は書き込みましたが、ディスクが書き込みを確認しませんでした。");
        }
        EXPECT_EQ(faults.Count(Faults::Fsync), 2);
    }
    EXPECT_EQ(testsupport::FolderSnapshot(m_dir), (Snapshot{{"t.txt", "new"}}));
}

TEST_F(WriteFaultTest, TheNewContentsOfAPrivateFileAreNeverReadableByOthers) {
    put("secret", "private.txt");
    fs::permissions(m_dir / "private.txt", fs::perms::owner_read | fs::perms::owner_write);
    const mode_t saved = ::umask(022);
    std::vector<mode_t> modes;
    {
        Faults faults;
        // The first step after the temporary is made: giving it the old file's owner.
        faults.FailAt(Faults::Chown, 1, 0, [&] {
            for (const auto &entry : fs::directory_iterator(m_dir)) {
                struct stat st {};
                if (entry.path().filename().string().rfind(".~z", 0) == 0 &&
                    ::stat(entry.path().c_str(), &st) == 0)
                    modes.push_back(st.st_mode & 0777);
            }
        });
        CFile file(path("private.txt"), CFile::modeCreate | CFile::modeWrite);
        file.Write("new secret", 10);
        file.Close();
    }
    ::umask(saved);
    ASSERT_EQ(modes.size(), 1u);
    EXPECT_EQ(modes[0] & 077, 0u);
    struct stat st {};
    ASSERT_EQ(::stat((m_dir / "private.txt").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(WriteFaultTest, MemoryRunningOutAnywhereLeavesTheFilesOldOrNewAndNoHiddenFile) {
    const auto writeAll = [this] {
        PendingFiles pending;
        for (const char *name : {"a", "b", "c", "d", "e"}) {
            CStdioFile file(path(name), CFile::modeCreate | CFile::modeWrite);
            file.WriteString((std::string("new ") + name).c_str());
            file.Close(pending);
        }
        pending.Commit();
    };
    const Snapshot old{{"a", "old a"}, {"b", "old b"}, {"c", "old c"}};
    const Snapshot fresh{
        {"a", "new a"}, {"b", "new b"}, {"c", "new c"}, {"d", "new d"}, {"e", "new e"}};
    for (long allowed = 0;; ++allowed) {
        SCOPED_TRACE(allowed);
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
        for (const auto &[name, bytes] : old)
            put(bytes, name.c_str());
        bool ran = false;
        try {
            testsupport::FailingAllocation failing(allowed);
            writeAll();
            ran = true;
        } catch (const std::bad_alloc &) {
        } catch (const CFileException &e) {
            EXPECT_EQ(e.m_lOsError, ENOMEM) << e.GetErrorMessage().Bytes();
        }
        const Snapshot now = testsupport::FolderSnapshot(m_dir);
        if (ran) {
            EXPECT_EQ(now, fresh);
            EXPECT_GT(allowed, 20);
            break;
        }
        ASSERT_EQ(now, old);
    }
}

} // namespace
