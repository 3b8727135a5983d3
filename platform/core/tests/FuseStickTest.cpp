// Files written onto USB sticks as a Linux desktop mounts them: FAT and exFAT through FUSE.
#include "platform/core/CFile.h"
#include "platform/core/CStdioFile.h"
#include "platform/core/PendingFiles.h"
#include "tests/support/FolderSnapshot.h"
#include "tests/support/FuseVolume.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

using testsupport::FuseVolume;
using Snapshot = std::map<std::string, std::string>;

class FuseStickTest : public testsupport::TempFolderTest,
                      public ::testing::WithParamInterface<FuseVolume::Kind> {};

TEST_P(FuseStickTest, NewNamesAndExistingOnesAreWrittenWholeAndLeaveNothingHidden) {
    FuseVolume stick(m_dir, GetParam());
    if (!stick.ready)
        GTEST_SKIP() << stick.reason;
    const CString root = FromUtf8(stick.root().string());
    const auto save = [&](const char *name, const char *text, UINT more, PendingFiles *pending) {
        CStdioFile file(root + "/" + name, CFile::modeCreate | CFile::modeWrite | more);
        file.WriteString(text);
        if (pending)
            file.Close(*pending);
        else
            file.Close();
    };
    // A conversion's new name, and a file written over.
    save("converted.sim", "converted\n", CFile::modeNoReplace, nullptr);
    save("converted.sim", "again\n", 0, nullptr);
    // A set of a new name, an existing file and a new folder's file, all at once.
    PendingFiles pending;
    ASSERT_TRUE(pending.CreateFolder(root + "/5339"));
    save("log.txt", "log\n", CFile::modeNoReplace, &pending);
    save("converted.sim", "third\n", 0, &pending);
    save("5339/5339.edx", "edx\n", 0, &pending);
    pending.Commit();
    EXPECT_EQ(testsupport::FolderSnapshot(stick.root()), (Snapshot{{"converted.sim", "third\r\n"},
                                                                   {"log.txt", "log\r\n"},
                                                                   {"5339", "<folder>"},
                                                                   {"5339/5339.edx", "edx\r\n"}}));
    // A free name that another file takes meanwhile stays that file's.
    CStdioFile late(root + "/late.txt",
                    CFile::modeCreate | CFile::modeWrite | CFile::modeNoReplace);
    late.WriteString("late\n");
    testsupport::WriteFileBytes(stick.root() / "late.txt", "appeared");
    EXPECT_THROW(late.Close(), CFileException);
    EXPECT_EQ(testsupport::ReadFileBytes(stick.root() / "late.txt"), "appeared");
    EXPECT_EQ(testsupport::FolderSnapshot(stick.root()).size(), 5u);
}

INSTANTIATE_TEST_SUITE_P(Sticks, FuseStickTest,
                         ::testing::Values(FuseVolume::Fat, FuseVolume::ExFat),
                         [](const auto &info) {
                             return info.param == FuseVolume::Fat ? "Fat" : "ExFat";
                         });

} // namespace
