#include "platform/core/CFile.h"

#include "platform/core/CStdioFile.h"
#include "platform/core/PendingFiles.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class CFileTest : public testsupport::TempFolderTest {
  protected:
    // A cp932 path inside the test folder.
    void writeBytes(const fs::path &file, const std::string &bytes) const {
        std::ofstream(file, std::ios::binary) << bytes;
    }
    std::string readBytes(const fs::path &file) const {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
};

TEST_F(CFileTest, OpenFailuresNameTheCauseAndTheFile) {
    CFile file;
    CFileException error;
    const CString missing = path("missing.dat");
    EXPECT_FALSE(file.Open(missing, CFile::modeRead, &error));
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(error.m_cause, CFileException::fileNotFound);
    EXPECT_EQ(error.m_lOsError, ENOENT);
    EXPECT_EQ(error.m_strFileName, missing);
    EXPECT_GE(error.GetErrorMessage().Find(missing), 0);

    // Creating in a folder that does not exist is a bad path.
    EXPECT_FALSE(file.Open(path("nofolder/new.dat"), CFile::modeCreate | CFile::modeWrite, &error));
    EXPECT_EQ(error.m_cause, CFileException::badPath);

    // A folder is not a file, for reading or writing.
    EXPECT_FALSE(file.Open(FromUtf8(m_dir.string()), CFile::modeRead, &error));
    EXPECT_EQ(error.m_cause, CFileException::accessDenied);
    EXPECT_FALSE(file.IsOpen());
    EXPECT_FALSE(file.Open(FromUtf8(m_dir.string()), CFile::modeWrite, &error));
    EXPECT_EQ(error.m_cause, CFileException::accessDenied);

    // Bytes that are not cp932 cannot name a file.
    EXPECT_FALSE(file.Open(CString("\x81"), CFile::modeRead, &error));
    EXPECT_EQ(error.m_cause, CFileException::badPath);

    // The throwing constructor carries the same information.
    try {
        CFile thrown(missing, CFile::modeRead);
        FAIL() << "no exception";
    } catch (const CFileException &e) {
        EXPECT_EQ(e.m_cause, CFileException::fileNotFound);
        EXPECT_EQ(e.m_strFileName, missing);
    }
}

TEST_F(CFileTest, ReadWriteSeekAndSizes) {
    const CString name = path("data.bin");
    {
        CFile file(name, CFile::modeCreate | CFile::modeReadWrite);
        file.Write("0123456789", 10);
        EXPECT_EQ(file.GetLength(), 10u);
        EXPECT_EQ(file.GetPosition(), 10u);
        EXPECT_EQ(file.Seek(-4, CFile::end), 6u);
        char buf[8] = {};
        EXPECT_EQ(file.Read(buf, 8), 4u); // short only at the end
        EXPECT_EQ(std::string(buf, 4), "6789");
        EXPECT_EQ(file.Read(buf, 8), 0u);
        file.SeekToBegin();
        EXPECT_EQ(file.Seek(2, CFile::current), 2u);
        EXPECT_EQ(file.Read(buf, 3), 3u);
        EXPECT_EQ(std::string(buf, 3), "234");
        EXPECT_EQ(file.SeekToEnd(), 10u);

        // Positions and sizes beyond 4 GiB (a sparse file).
        const std::uint64_t far = 5ull * 1024 * 1024 * 1024;
        EXPECT_EQ(file.Seek(static_cast<std::int64_t>(far), CFile::begin), far);
        file.Write("x", 1);
        EXPECT_EQ(file.GetLength(), far + 1);
        EXPECT_EQ(file.GetPosition(), far + 1);

        try {
            file.Seek(-1, CFile::begin);
            FAIL() << "no exception";
        } catch (const CFileException &e) {
            EXPECT_EQ(e.m_cause, CFileException::badSeek);
            EXPECT_EQ(e.m_strFileName, name);
        }
        file.Close();
        EXPECT_FALSE(file.IsOpen());
        // A closed file reports its state instead of touching a stale descriptor.
        char c;
        EXPECT_THROW(file.Read(&c, 1), CFileException);
        file.Abort(); // harmless on a closed file
    }
    EXPECT_EQ(fs::file_size(m_dir / "data.bin"), 5ull * 1024 * 1024 * 1024 + 1);
}

TEST_F(CFileTest, CreateTruncatesUnlessAskedNotTo) {
    writeBytes(m_dir / "keep.txt", "old contents");
    {
        CFile file(path("keep.txt"), CFile::modeCreate | CFile::modeNoTruncate | CFile::modeWrite);
        EXPECT_EQ(file.GetLength(), 12u);
        file.Write("OLD", 3);
        file.Close();
    }
    EXPECT_EQ(readBytes(m_dir / "keep.txt"), "OLD contents");
    {
        CFile file(path("keep.txt"), CFile::modeCreate | CFile::modeWrite);
        EXPECT_EQ(file.GetLength(), 0u);
        file.Write("new", 3);
        file.Close();
    }
    EXPECT_EQ(readBytes(m_dir / "keep.txt"), "new");
    // Without modeCreate the file must exist.
    CFile file;
    CFileException error;
    EXPECT_FALSE(file.Open(path("absent.txt"), CFile::modeWrite, &error));
    EXPECT_EQ(error.m_cause, CFileException::fileNotFound);
    EXPECT_FALSE(fs::exists(m_dir / "absent.txt"));
}

TEST_F(CFileTest, WritingOverAFileOpenForReadingIsRefused) {
    writeBytes(m_dir / "source.txt", "source data");
    fs::create_hard_link(m_dir / "source.txt", m_dir / "link.txt");
    CFile reader(path("source.txt"), CFile::modeRead | CFile::shareDenyWrite);

    CFileException error;
    // The same file reached by another spelling and through a hard link.
    for (const char *name : {"source.txt", "./source.txt", "link.txt"}) {
        CFile writer;
        EXPECT_FALSE(writer.Open(path(name), CFile::modeCreate | CFile::modeWrite, &error)) << name;
        EXPECT_EQ(error.m_cause, CFileException::sharingViolation) << name;
        EXPECT_FALSE(writer.Open(path(name), CFile::modeReadWrite, &error)) << name;
        EXPECT_EQ(error.m_cause, CFileException::sharingViolation) << name;
    }
    // Nothing was truncated, and the source still reads.
    EXPECT_EQ(readBytes(m_dir / "source.txt"), "source data");
    char buf[6];
    EXPECT_EQ(reader.Read(buf, 6), 6u);
    EXPECT_EQ(std::string(buf, 6), "source");

    // A second reader is fine; once every reader is closed, writing is allowed.
    {
        CFile second(path("link.txt"), CFile::modeRead);
        EXPECT_TRUE(second.IsOpen());
    }
    CFile writer;
    EXPECT_FALSE(writer.Open(path("source.txt"), CFile::modeWrite, &error));
    reader.Close();
    EXPECT_TRUE(writer.Open(path("source.txt"), CFile::modeCreate | CFile::modeWrite, &error));
}

TEST_F(CFileTest, WriteToAFullDeviceFails) {
    CFile full;
    CFileException error;
    ASSERT_TRUE(full.Open("/dev/full", CFile::modeWrite, &error));
    try {
        full.Write("data", 4);
        FAIL() << "no exception";
    } catch (const CFileException &e) {
        EXPECT_EQ(e.m_cause, CFileException::diskFull);
        EXPECT_EQ(e.m_lOsError, ENOSPC);
        EXPECT_EQ(e.m_strFileName, "/dev/full");
    }
    full.Close();
}

TEST_F(CFileTest, NamesOfAFileWithDoubleByteCharacters) {
    // "表" is 0x95 0x5C in cp932: its trail byte is a backslash.
    fs::create_directories(m_dir / u8"フォルダ");
    const CString name = FromUtf8(m_dir.string()) + "\\フォルダ\\表.txt";
    CFile file(name, CFile::modeCreate | CFile::modeWrite);
    file.Write("x", 1);
    EXPECT_EQ(file.GetFilePath(), name);
    EXPECT_EQ(file.GetFileName(), "表.txt");
    EXPECT_EQ(file.GetFileTitle(), "表");
    file.Close();
    EXPECT_TRUE(fs::exists(m_dir / u8"フォルダ" / u8"表.txt"));
}

// ---- replacing a file whole or not at all

// The names in the test folder, hidden ones included.
std::set<std::string> names(const fs::path &dir) {
    std::set<std::string> found;
    for (const auto &e : fs::directory_iterator(dir))
        found.insert(e.path().filename().string());
    return found;
}

TEST_F(CFileTest, OnlyACleanCloseReplacesTheTarget) {
    writeBytes(m_dir / "t.bin", "old bytes");
    ::chmod((m_dir / "t.bin").c_str(), 0640);
    CFile file(path("t.bin"), CFile::modeCreate | CFile::modeWrite);
    file.Write("new", 3);
    EXPECT_EQ(readBytes(m_dir / "t.bin"), "old bytes"); // written aside until Close
    file.Close();
    EXPECT_EQ(readBytes(m_dir / "t.bin"), "new");
    struct stat st {};
    ASSERT_EQ(::stat((m_dir / "t.bin").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u); // a replaced file keeps its permissions

    // Abort, and files destroyed without Close, change nothing and leave nothing.
    {
        CFile aborted(path("t.bin"), CFile::modeCreate | CFile::modeWrite);
        aborted.Write("aborted", 7);
        aborted.Abort();
        CStdioFile text(path("t.bin"), CFile::modeCreate | CFile::modeWrite);
        text.WriteString("text\n");
        CFile fresh(path("fresh.bin"), CFile::modeCreate | CFile::modeWrite);
    }
    EXPECT_EQ(readBytes(m_dir / "t.bin"), "new");
    EXPECT_EQ(names(m_dir), std::set<std::string>{"t.bin"});

    // Through a link the file it names is replaced, and the link stays.
    fs::create_symlink(m_dir / "t.bin", m_dir / "link.bin");
    CFile linked(path("link.bin"), CFile::modeCreate | CFile::modeWrite);
    linked.Write("linked", 6);
    linked.Close();
    EXPECT_TRUE(fs::is_symlink(m_dir / "link.bin"));
    EXPECT_EQ(readBytes(m_dir / "t.bin"), "linked");
}

TEST_F(CFileTest, AFailedWriteOrANameTakenMeanwhileLeavesTheTargetAsItWas) {
    writeBytes(m_dir / "t.txt", "previous");
    {
        testsupport::FileSizeLimit limit(2000);
        CStdioFile file(path("t.txt"), CFile::modeCreate | CFile::modeWrite);
        file.WriteString(std::string(3000, 'h').c_str()); // buffered: it fails at Close
        try {
            file.Close();
            FAIL() << "no exception";
        } catch (const CFileException &e) {
            EXPECT_EQ(e.m_cause, CFileException::diskFull);
            EXPECT_EQ(e.m_lOsError, EFBIG);
            EXPECT_EQ(e.m_strFileName, path("t.txt"));
        }
    }
    EXPECT_EQ(readBytes(m_dir / "t.txt"), "previous");
    EXPECT_EQ(names(m_dir), std::set<std::string>{"t.txt"});

    // A name that was free is not replaced when another file takes it meanwhile.
    CFile file(path("out.txt"), CFile::modeCreate | CFile::modeWrite | CFile::modeNoReplace);
    file.Write("converted", 9);
    writeBytes(m_dir / "out.txt", "appeared");
    try {
        file.Close();
        FAIL() << "no exception";
    } catch (const CFileException &e) {
        EXPECT_EQ(e.GetErrorMessage(), path("out.txt") + "は既にあるため書き込めません。");
    }
    EXPECT_EQ(readBytes(m_dir / "out.txt"), "appeared");
    EXPECT_EQ(names(m_dir), (std::set<std::string>{"out.txt", "t.txt"}));
}

TEST_F(CFileTest, PendingFilesArePutInPlaceTogetherOrNotAtAll) {
    writeBytes(m_dir / "a.edx", "old a");
    const auto writeBoth = [this](PendingFiles &pending) {
        EXPECT_TRUE(pending.CreateFolder(path("sub/deeper")));
        for (const char *name : {"a.edx", "sub/deeper/b.edx"}) {
            CStdioFile file(path(name), CFile::modeCreate | CFile::modeWrite);
            file.WriteString(name);
            file.Close(pending);
        }
        EXPECT_EQ(readBytes(m_dir / "a.edx"), "old a"); // nothing in place yet
    };
    {
        PendingFiles discarded;
        writeBoth(discarded);
    } // the folders it made go too
    EXPECT_EQ(names(m_dir), std::set<std::string>{"a.edx"});
    EXPECT_EQ(readBytes(m_dir / "a.edx"), "old a");

    PendingFiles pending;
    writeBoth(pending);
    pending.Commit();
    EXPECT_EQ(readBytes(m_dir / "a.edx"), "a.edx");
    EXPECT_EQ(readBytes(m_dir / "sub" / "deeper" / "b.edx"), "sub/deeper/b.edx");
}

} // namespace
