#include "platform/core/Path.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace {

TEST(PathTest, SplitsAtEitherSeparatorButNeverAtATrailByte) {
    // "表" is 0x95 0x5C and "ソ" 0x83 0x5C: both end in a backslash byte.
    EXPECT_EQ(Path::FileName("dir\\表.txt"), "表.txt");
    EXPECT_EQ(Path::Folder("dir\\表.txt"), "dir");
    EXPECT_EQ(Path::FileName("表"), "表");
    EXPECT_EQ(Path::Folder("表"), "");
    EXPECT_EQ(Path::FileName("ソ\\表\\ソ"), "ソ");
    EXPECT_EQ(Path::Folder("ソ\\表\\ソ"), "ソ\\表");
    EXPECT_EQ(Path::FileName("/data/grid/a.par"), "a.par");
    EXPECT_EQ(Path::Folder("/data/grid/a.par"), "/data/grid");
    EXPECT_EQ(Path::Folder("C:\\data/mixed\\a.par"), "C:\\data/mixed");
    EXPECT_EQ(Path::FileName("folder/"), "");
    EXPECT_EQ(Path::Folder("/a.txt"), "/");

    EXPECT_EQ(Path::FileTitle("a.b.txt"), "a.b");
    EXPECT_EQ(Path::FileTitle("表.txt"), "表");
    EXPECT_EQ(Path::FileTitle("noext"), "noext");
}

TEST(PathTest, JoinsWithOneSeparator) {
    EXPECT_EQ(Path::Join("/opt/app", "config"), "/opt/app/config");
    EXPECT_EQ(Path::Join("/opt/app/", "config"), "/opt/app/config");
    EXPECT_EQ(Path::Join("C:\\app\\", "\\config"), "C:\\app\\config");
    EXPECT_EQ(Path::Join("/", "config"), "/config");
    EXPECT_EQ(Path::Join("", "config"), "config");
    // A folder ending in "表" does not end in a separator.
    EXPECT_EQ(Path::Join("表", "a.txt"), "表/a.txt");
}

TEST(PathTest, NativePathsAreUtf8WithSlashes) {
    std::string native;
    // Converted before the separators are turned: the trail byte of "表"
    // must stay part of the character.
    ASSERT_TRUE(Path::ToNative("dir\\表\\a.txt", native));
    EXPECT_EQ(native, reinterpret_cast<const char *>(u8"dir/表/a.txt"));
    ASSERT_TRUE(Path::ToNative("/tmp/x", native));
    EXPECT_EQ(native, "/tmp/x");
    native = "untouched";
    EXPECT_FALSE(Path::ToNative(CString("\x81\x20"), native)); // not cp932
    EXPECT_EQ(native, "untouched");
}

TEST(PathTest, ProgramFolderHoldsThisProgram) {
    const CString folder = Path::ProgramFolder();
    ASSERT_FALSE(folder.IsEmpty());
    EXPECT_FALSE(folder.GetLength() > 1 && Path::IsSeparator(folder[folder.GetLength() - 1]));
    std::string native;
    ASSERT_TRUE(Path::ToNative(Path::Join(folder, "PlatformFileTests"), native));
    EXPECT_TRUE(std::filesystem::is_regular_file(native)) << native;
}

class PathRemoveTest : public testsupport::TempFolderTest {};

TEST_F(PathRemoveTest, RemovesOnlyARegularFile) {
    const CString file = put("x", "a.txt");
    std::filesystem::create_directory(m_dir / "sub");
    std::filesystem::create_symlink(m_dir / "a.txt", m_dir / "link");
    EXPECT_FALSE(Path::RemoveFile(path("sub")));
    EXPECT_FALSE(Path::RemoveFile(path("link"))); // the link is left, and so is its target
    EXPECT_TRUE(std::filesystem::is_symlink(m_dir / "link"));
    EXPECT_TRUE(Path::RemoveFile(file));
    EXPECT_FALSE(exists("a.txt"));
    EXPECT_FALSE(Path::RemoveFile(file));
    EXPECT_TRUE(std::filesystem::is_directory(m_dir / "sub"));
}

TEST_F(PathRemoveTest, ANameIsTakenByAnythingOfThatName) {
    put("", "表.txt");
    std::filesystem::create_symlink(m_dir / "nowhere", m_dir / "broken");
    EXPECT_TRUE(Path::Exists(path("表.txt")));
    EXPECT_TRUE(Path::Exists(path("broken")));
    EXPECT_TRUE(Path::Exists(folder()));
    EXPECT_TRUE(Path::Exists(CString("\x81\x20"))); // cannot be looked at
    EXPECT_FALSE(Path::Exists(path("missing")));
    EXPECT_FALSE(Path::Exists(path("missing/a.txt")));

    EXPECT_TRUE(Path::CreateFolder(path("a\\表")));
    EXPECT_TRUE(std::filesystem::is_directory(m_dir / "a" / u8"表"));
    EXPECT_TRUE(Path::CreateFolder(path("a"))); // already there
    EXPECT_FALSE(Path::CreateFolder(path("表.txt/sub")));
    EXPECT_FALSE(Path::CreateFolder(path("表.txt")));
    EXPECT_FALSE(Path::CreateFolder(CString()));
}

} // namespace
