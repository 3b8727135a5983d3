// A commit of several files killed at any step is finished or undone by the next write into its
// folders, and leaves no hidden file.
#include "platform/core/CFile.h"
#include "platform/core/CStdioFile.h"
#include "platform/core/FileReplacement.h"
#include "platform/core/PendingFiles.h"
#include "tests/support/FolderSnapshot.h"
#include "tests/support/SystemCallFaults.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <map>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

using Faults = testsupport::SystemCallFaults;
using Snapshot = std::map<std::string, std::string>;

class InterruptedCommitTest : public testsupport::TempFolderTest {
  protected:
    // Two old files in two folders and two new names, one in a folder the commit makes.
    void oldSet() const {
        fs::remove_all(m_dir);
        fs::create_directories(m_dir / "sub");
        put("old a", "a");
        put("old b", "sub/b");
    }
    void commitSet() const {
        PendingFiles pending;
        pending.CreateFolder(path("made"));
        for (const char *name : {"a", "sub/b", "c", "made/d"}) {
            const bool fresh = name[0] == 'c' || name[0] == 'm';
            CStdioFile file(path(name), CFile::modeCreate | CFile::modeWrite |
                                            (fresh ? UINT(CFile::modeNoReplace) : 0u));
            file.WriteString((std::string("new ") + name).c_str());
            file.Close(pending);
        }
        pending.Commit();
    }
    // Runs the commit in a child killed at its nth counted call; whether it was killed.
    bool killedAt(long nth, bool likeFuseFat) const {
        const pid_t child = ::fork();
        if (child == 0) {
            {
                Faults faults;
                if (likeFuseFat)
                    faults.LikeFuseFat();
                faults.KillAt(nth);
                commitSet();
            }
            ::_exit(0);
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status) || (WIFEXITED(status) && WEXITSTATUS(status) == 0));
        return WIFSIGNALED(status);
    }
    // The files of the set, the folders left out.
    Snapshot files() const {
        Snapshot found;
        for (const auto &[name, bytes] : testsupport::FolderSnapshot(m_dir))
            if (bytes != "<folder>")
                found[name] = bytes;
        return found;
    }
    // The next write into each folder, as the next run would make.
    void writeInto(const char *folder) const {
        if (!fs::is_directory(m_dir / folder))
            return;
        CFile next(path((std::string(folder) + "/next").c_str()),
                   CFile::modeCreate | CFile::modeWrite);
        next.Close();
        fs::remove(m_dir / folder / "next");
    }

    void killEverywhere(bool likeFuseFat) {
        const Snapshot old{{"a", "old a"}, {"sub/b", "old b"}};
        const Snapshot fresh{
            {"a", "new a"}, {"sub/b", "new sub/b"}, {"c", "new c"}, {"made/d", "new made/d"}};
        long nth = 1;
        for (;; ++nth) {
            SCOPED_TRACE(nth);
            oldSet();
            const bool killed = killedAt(nth, likeFuseFat);
            for (const char *folder : {".", "sub", "made"})
                writeInto(folder);
            const Snapshot now = files();
            if (!killed) {
                EXPECT_EQ(now, fresh);
                break;
            }
            ASSERT_TRUE(now == old || now == fresh) << ::testing::PrintToString(now);
        }
        // Every step was tried: the writing, the backups, the records, the renames.
        EXPECT_GT(nth, 40);
    }
};

TEST_F(InterruptedCommitTest, AKillAtAnyCallLeavesEverySetOldOrNewAfterTheNextWrite) {
    killEverywhere(false);
}

TEST_F(InterruptedCommitTest, AKillAtAnyCallOnAStickWithoutLinksLeavesTheSetWholeToo) {
    killEverywhere(true);
}

TEST_F(InterruptedCommitTest, ASetWhoseTemporaryIsLostIsUndoneFromItsBackups) {
    oldSet();
    // Killed with the first file in place; then the second file's temporary goes astray.
    const pid_t child = ::fork();
    if (child == 0) {
        Faults faults;
        faults.FailAt(Faults::Rename, 2, 0, [] { ::kill(::getpid(), SIGKILL); });
        commitSet();
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));
    ASSERT_EQ(get("a"), "new a");
    int lost = 0;
    for (const auto &entry : fs::directory_iterator(m_dir / "sub"))
        if (testsupport::ReadFileBytes(entry.path()) == "new sub/b" && fs::remove(entry.path()))
            ++lost;
    ASSERT_EQ(lost, 1);

    for (const char *folder : {".", "sub", "made"})
        writeInto(folder);
    EXPECT_EQ(files(), (Snapshot{{"a", "old a"}, {"sub/b", "old b"}}));
    EXPECT_FALSE(fs::exists(m_dir / "made"));
}

TEST_F(InterruptedCommitTest, TheHiddenFilesOfARunningWriterStay) {
    // A writer that still writes, and one that has ended.
    CFile running(path("running.txt"), CFile::modeCreate | CFile::modeWrite);
    running.Write("running", 7);
    const pid_t child = ::fork();
    if (child == 0) {
        const std::string name = FileReplacement::HiddenName('t');
        testsupport::WriteFileBytes(m_dir / name, "left by a crash");
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    ASSERT_EQ(files().size(), 2u);

    CFile other(path("other.txt"), CFile::modeCreate | CFile::modeWrite);
    other.Close();
    running.Close();
    EXPECT_EQ(files(), (Snapshot{{"other.txt", ""}, {"running.txt", "running"}}));
}

} // namespace
