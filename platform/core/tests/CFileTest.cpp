#include "platform/core/CFile.h"

#include "platform/core/CStdioFile.h"
#include "tests/support/FileSizeLimit.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <grp.h>
#include <iterator>
#include <linux/fs.h>
#include <set>
#include <string>
#include <sys/ioctl.h>
#include <sys/mman.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <vector>

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

    // A descriptor's name (here of a file that has no name) is written in place.
    const int fd = ::memfd_create("zentrova", MFD_CLOEXEC);
    ASSERT_GE(fd, 0);
    CFile described(FromUtf8("/proc/self/fd/" + std::to_string(fd)),
                    CFile::modeCreate | CFile::modeWrite);
    described.Write("in place", 8);
    described.Close();
    char bytes[8] = {};
    EXPECT_EQ(::pread(fd, bytes, sizeof bytes, 0), 8);
    EXPECT_EQ(std::string(bytes, sizeof bytes), "in place");
    ::close(fd);
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
        // Asked again, Close does not pretend the file was saved.
        try {
            file.Close();
            FAIL() << "no exception at the second Close";
        } catch (const CFileException &e) {
            EXPECT_EQ(e.m_lOsError, EFBIG);
        }

        // A link to a file that is not there yet is cut the same way: no half file appears.
        fs::create_symlink("absent.txt", m_dir / "link.txt");
        CStdioFile linked(path("link.txt"), CFile::modeCreate | CFile::modeWrite);
        linked.WriteString(std::string(3000, 'l').c_str());
        EXPECT_THROW(linked.Close(), CFileException);
    }
    EXPECT_EQ(readBytes(m_dir / "t.txt"), "previous");
    EXPECT_EQ(names(m_dir), (std::set<std::string>{"link.txt", "t.txt"}));
    {
        CStdioFile linked(path("link.txt"), CFile::modeCreate | CFile::modeWrite);
        linked.WriteString("whole");
        linked.Close();
    }
    EXPECT_TRUE(fs::is_symlink(m_dir / "link.txt"));
    EXPECT_EQ(readBytes(m_dir / "absent.txt"), "whole");
    fs::remove(m_dir / "link.txt");
    fs::remove(m_dir / "absent.txt");

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

// ---- what a replacement keeps, and failures found late

// An ACL as the kernel keeps it in system.posix_acl_access (version, then tag, permissions and
// id of each entry, little-endian): owner rw, user 2005 r, group r, mask rw, others nothing.
const std::string kAcl("\x02\0\0\0"
                       "\x01\0\x06\0\xff\xff\xff\xff"
                       "\x02\0\x04\0\xd5\x07\0\0"
                       "\x04\0\x04\0\xff\xff\xff\xff"
                       "\x10\0\x06\0\xff\xff\xff\xff"
                       "\x20\0\0\0\xff\xff\xff\xff",
                       44);

std::string xattr(const fs::path &file, const char *name) {
    char buffer[256];
    const ssize_t n = ::getxattr(file.c_str(), name, buffer, sizeof buffer);
    return n < 0 ? std::string("<none>") : std::string(buffer, static_cast<std::size_t>(n));
}

// Sets or clears a folder's immutable flag: while it is set, not even root can make a file in
// it. False where the file system or the process cannot.
bool setImmutable(const fs::path &folder, bool on) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    int flags = 0;
    bool done = fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (done) {
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    if (fd >= 0)
        ::close(fd);
    return done;
}

TEST_F(CFileTest, AReplacedFileKeepsItsOwnerGroupAttributesAndACL) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "giving a file another owner takes root";
    const fs::path file = m_dir / "shared.txt";
    writeBytes(file, "old");
    ASSERT_EQ(::chown(file.c_str(), 2001, 3000), 0);
    if (::setxattr(file.c_str(), "user.zentrova", "kept", 4, 0) != 0)
        GTEST_SKIP() << "no extended attributes here: " << std::strerror(errno);
    if (::setxattr(file.c_str(), "system.posix_acl_access", kAcl.data(), kAcl.size(), 0) != 0)
        GTEST_SKIP() << "no ACLs here: " << std::strerror(errno);
    struct stat before {};
    ASSERT_EQ(::stat(file.c_str(), &before), 0);
    const std::string aclBefore = xattr(file, "system.posix_acl_access");

    CFile replaced(path("shared.txt"), CFile::modeCreate | CFile::modeWrite);
    replaced.Write("new", 3);
    replaced.Close();
    struct stat after {};
    ASSERT_EQ(::stat(file.c_str(), &after), 0);
    EXPECT_NE(after.st_ino, before.st_ino); // replaced, not written in place
    EXPECT_EQ(after.st_uid, 2001u);
    EXPECT_EQ(after.st_gid, 3000u);
    EXPECT_EQ(after.st_mode, before.st_mode);
    EXPECT_EQ(xattr(file, "user.zentrova"), "kept");
    EXPECT_EQ(xattr(file, "system.posix_acl_access"), aclBefore);
    EXPECT_EQ(readBytes(file), "new");

    // A writable file in a folder where no file can be made cannot be replaced; the error
    // names the folder, not the file.
    fs::create_directory(m_dir / "locked");
    writeBytes(m_dir / "locked" / "f.txt", "kept");
    if (!setImmutable(m_dir / "locked", true))
        GTEST_SKIP() << "no immutable folders here";
    CFile locked;
    CFileException error;
    const bool opened =
        locked.Open(path("locked/f.txt"), CFile::modeCreate | CFile::modeWrite, &error);
    setImmutable(m_dir / "locked", false);
    EXPECT_FALSE(opened);
    EXPECT_EQ(error.m_cause, CFileException::accessDenied);
    EXPECT_EQ(error.m_strFileName, path("locked"));
    EXPECT_EQ(readBytes(m_dir / "locked" / "f.txt"), "kept");
}

// An ACL value: each entry a tag, rights and id (0xFFFFFFFF for the unnamed ones).
std::string aclOf(std::initializer_list<std::array<std::uint32_t, 3>> entries) {
    std::string value("\x02\0\0\0", 4);
    for (const auto &[tag, rights, id] : entries) {
        for (int i = 0; i < 2; ++i)
            value += static_cast<char>((tag >> (8 * i)) & 0xFF);
        for (int i = 0; i < 2; ++i)
            value += static_cast<char>((rights >> (8 * i)) & 0xFF);
        for (int i = 0; i < 4; ++i)
            value += static_cast<char>((id >> (8 * i)) & 0xFF);
    }
    return value;
}
constexpr std::uint32_t kNoId = 0xFFFFFFFF;

// Runs action in a child process of that user, group and supplementary groups; its answer.
bool asUser(uid_t uid, gid_t gid, std::vector<gid_t> groups, const std::function<bool()> &action) {
    const pid_t child = ::fork();
    if (child == 0) {
        const bool done = ::setgroups(groups.size(), groups.data()) == 0 && ::setgid(gid) == 0 &&
                          ::setuid(uid) == 0 && action();
        ::_exit(done ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool save(const CString &path, const char *text) {
    try {
        CFile file(path, CFile::modeCreate | CFile::modeWrite);
        file.Write(text, static_cast<UINT>(std::strlen(text)));
        file.Close();
        return true;
    } catch (const CFileException &) {
        return false;
    }
}

bool opens(const fs::path &file, int flags) {
    const int fd = ::open(file.c_str(), flags);
    if (fd >= 0)
        ::close(fd);
    return fd >= 0;
}

TEST_F(CFileTest, AColleaguesSaveLeavesEveryoneTheRightsTheyHad) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "saving as other users takes root";
    // A shared folder of group 3000; the file is 2001's, 2002 may write it by a named entry.
    const fs::path folder = m_dir / "shared";
    fs::create_directory(folder);
    ASSERT_EQ(::chown(folder.c_str(), 2001, 3000), 0);
    ASSERT_EQ(::chmod(folder.c_str(), 02775), 0);
    const fs::path file = folder / "f.txt";
    writeBytes(file, "old");
    ASSERT_EQ(::chown(file.c_str(), 2001, 3000), 0);
    const std::string acl = aclOf(
        {{0x01, 6, kNoId}, {0x02, 6, 2002}, {0x04, 4, kNoId}, {0x10, 6, kNoId}, {0x20, 0, kNoId}});
    if (::setxattr(file.c_str(), "system.posix_acl_access", acl.data(), acl.size(), 0) != 0)
        GTEST_SKIP() << "no ACLs here: " << std::strerror(errno);
    const CString name = FromUtf8(file.string());

    EXPECT_TRUE(asUser(2002, 3000, {3000}, [&] { return save(name, "by 2002"); }));
    EXPECT_EQ(readBytes(file), "by 2002");
    // The owner still saves it; a member of the group still reads it and may not write it; others
    // still may not read it.
    EXPECT_TRUE(asUser(2001, 2001, {}, [&] { return save(name, "by 2001"); }));
    EXPECT_EQ(readBytes(file), "by 2001");
    EXPECT_TRUE(asUser(2003, 3000, {3000}, [&] { return opens(file, O_RDONLY); }));
    EXPECT_FALSE(asUser(2003, 3000, {3000}, [&] { return opens(file, O_WRONLY); }));
    EXPECT_FALSE(asUser(2004, 2004, {}, [&] { return opens(file, O_RDONLY); }));
    EXPECT_TRUE(asUser(2002, 3000, {3000}, [&] { return opens(file, O_RDWR); }));
    EXPECT_FALSE(asUser(2002, 3000, {3000}, [&] { return ::access(file.c_str(), X_OK) == 0; }));
}

TEST_F(CFileTest, ASavedFileGainsNoACLFromItsFolder) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "trying another user's access takes root";
    const fs::path folder = m_dir / "acl";
    fs::create_directory(folder);
    const fs::path file = folder / "f.txt";
    writeBytes(file, "old");
    ASSERT_EQ(::chmod(file.c_str(), 0644), 0);
    // New files of the folder give 2005 everything.
    const std::string defaults = aclOf(
        {{0x01, 7, kNoId}, {0x02, 7, 2005}, {0x04, 5, kNoId}, {0x10, 7, kNoId}, {0x20, 5, kNoId}});
    if (::setxattr(folder.c_str(), "system.posix_acl_default", defaults.data(), defaults.size(),
                   0) != 0)
        GTEST_SKIP() << "no ACLs here: " << std::strerror(errno);

    CFile saved(FromUtf8(file.string()), CFile::modeCreate | CFile::modeWrite);
    saved.Write("new", 3);
    saved.Close();
    EXPECT_EQ(xattr(file, "system.posix_acl_access"), "<none>");
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0644u);
    // Group write, given later, is the group's alone.
    ASSERT_EQ(::chmod(file.c_str(), 0664), 0);
    EXPECT_FALSE(asUser(2005, 2005, {}, [&] { return opens(file, O_WRONLY); }));
}

TEST_F(CFileTest, ANameTooLongIsSaidToBeSo) {
    // 90 kanji: 270 bytes of UTF-8, where a name may have 255.
    std::string name;
    for (int i = 0; i < 90; ++i)
        name += "測";
    const CString file = path((name + ".csv").c_str());
    CFile out;
    CFileException error;
    EXPECT_FALSE(out.Open(file, CFile::modeCreate | CFile::modeWrite, &error));
    EXPECT_EQ(error.GetErrorMessage(), file + "の名前が長すぎます。");
}

// An ext4 volume of 16 MiB on a backing store of 512 KiB: writes land in the page cache and fail
// only when they are written back, as on a thin-provisioned disk that has run full.
class OvercommittedVolume {
  public:
    explicit OvercommittedVolume(const fs::path &dir) : m_back(dir / "back"), m_root(dir / "v") {
        fs::create_directory(m_back);
        fs::create_directory(m_root);
        const std::string image = m_back.string() + "/disk.img";
        ready = std::system(("{ mount -t tmpfs -o size=512k none " + m_back.string() +
                             " && truncate -s 16M " + image +
                             " && mkfs.ext4 -q -F -O ^has_journal " + image + " && mount -o loop " +
                             image + " " + m_root.string() + "; } >/dev/null 2>&1")
                                .c_str()) == 0;
    }
    ~OvercommittedVolume() {
        ::umount2(m_root.c_str(), MNT_DETACH);
        ::umount2(m_back.c_str(), MNT_DETACH);
    }
    OvercommittedVolume(const OvercommittedVolume &) = delete;
    OvercommittedVolume &operator=(const OvercommittedVolume &) = delete;

    const fs::path &root() const { return m_root; }
    bool ready; // whether the volume is mounted

  private:
    fs::path m_back;
    fs::path m_root;
};

TEST_F(CFileTest, AFailedFlushIsKeptAndTheFileIsNotPutInPlace) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "mounting a volume takes root";
    OvercommittedVolume volume(m_dir);
    if (!volume.ready)
        GTEST_SKIP() << "no loop volume could be made (tmpfs, mkfs.ext4, a loop device)";
    const CString target = FromUtf8((volume.root() / "t.bin").string());
    {
        CFile old(target, CFile::modeCreate | CFile::modeWrite);
        old.Write("old", 3);
        old.Close();
    }
    CFile file(target, CFile::modeCreate | CFile::modeWrite);
    const std::string block(1 << 20, 'x');
    file.Write(block.data(), static_cast<UINT>(block.size()));
    file.Write(block.data(), static_cast<UINT>(block.size()));
    // The write-back fails once; a second fsync would answer success over the lost data.
    ASSERT_THROW(file.Flush(), CFileException);
    EXPECT_THROW(file.Close(), CFileException);
    EXPECT_EQ(readBytes(volume.root() / "t.bin"), "old");
    EXPECT_EQ(names(volume.root()), (std::set<std::string>{"lost+found", "t.bin"}));
}

} // namespace
