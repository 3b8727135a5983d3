#include "platform/core/Path.h"
#include "tests/support/TempFolder.h"
#include "tests/support/TextForms.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <string>
#include <unistd.h>

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

// Names as Japanese input on Linux types them: characters that cp932 holds under another code
// point, characters it lacks, and what it would read as a separator. Each comes back exactly, in
// the path chosen and in the paths made from it.
TEST(PathTest, ChosenPathsReachTheFileSystemAsSpelled) {
    using testsupport::Utf8Bytes;
    const std::string folder = Utf8Bytes(u8"/tmp/選択/現場〜A/\U00020BB7田");
    const std::string names[] = {Utf8Bytes(u8"測点〜1.csv"), Utf8Bytes(u8"差−‖—¢£¬.csv"),
                                 Utf8Bytes(u8"高\U00020BB7.csv"), Utf8Bytes(u8"円\u00A5a\\b.csv"),
                                 "\xFF\xFE.csv"};
    const CString cp932[] = {"測点～1.csv", "差－∥―￠￡￢.csv", "高?.csv", "円?a?b.csv", "??.csv"};
    for (std::size_t i = 0; i < std::size(names); ++i) {
        const CString chosen = Path::FromNative(folder + "/" + names[i]);
        EXPECT_EQ(chosen, "/tmp/選択/現場～A/?田/" + cp932[i]);
        std::string native;
        ASSERT_TRUE(Path::ToNative(chosen, native));
        EXPECT_EQ(native, folder + "/" + names[i]);
        // The folder, a name added to it, and a Windows-style spelling of the same path.
        ASSERT_TRUE(Path::ToNative(Path::Folder(chosen), native));
        EXPECT_EQ(native, folder);
        ASSERT_TRUE(Path::ToNative(Path::Join(Path::Folder(chosen), "出力～1.csv"), native));
        EXPECT_EQ(native, folder + Utf8Bytes(u8"/出力～1.csv"));
        CString windows = chosen;
        windows.Replace("/", "\\");
        ASSERT_TRUE(Path::ToNative(windows, native));
        EXPECT_EQ(native, folder + "/" + names[i]);
    }
    // A look-alike chosen later is carried as it is spelled, and so are the paths made from it.
    std::string native;
    const CString later = Path::FromNative(Utf8Bytes(u8"/tmp/選択/現場～A/x.csv"));
    ASSERT_TRUE(Path::ToNative(later, native));
    EXPECT_EQ(native, Utf8Bytes(u8"/tmp/選択/現場～A/x.csv"));
    ASSERT_TRUE(Path::ToNative("/tmp/選択/現場～A/?田/高?.csv", native));
    EXPECT_EQ(native, Utf8Bytes(u8"/tmp/選択/現場～A/?田/高?.csv"));
    // Never met: converted plainly; bytes that are not cp932 are refused, and named.
    ASSERT_TRUE(Path::ToNative("/tmp/他/現場～A", native));
    EXPECT_EQ(native, Utf8Bytes(u8"/tmp/他/現場～A"));
    EXPECT_FALSE(Path::ToNative("/tmp/a\x81 b/c.csv", native));
    EXPECT_EQ(Path::NativeFault("/tmp/a\x81 b/c.csv"),
              "/tmp/a\x81 b/c.csvには、シフトJISの文字でないバイト（81 20）があります。");
}

// A relative path is taken from the current folder: the same words from another folder are
// another path.
TEST(PathTest, RelativePathsAreSpelledInTheFolderTheyWereMetIn) {
    const std::filesystem::path start = std::filesystem::current_path();
    const std::filesystem::path base = std::filesystem::temp_directory_path() /
                                       ("zentrova-relative-" + std::to_string(::getpid()));
    std::filesystem::create_directories(base / "one");
    std::filesystem::create_directories(base / "two");
    std::filesystem::current_path(base / "one");
    const CString relative = Path::FromNative(testsupport::Utf8Bytes(u8"現場〜A/a.csv"));
    std::string native;
    EXPECT_TRUE(Path::ToNative(relative, native));
    EXPECT_EQ(native, testsupport::Utf8Bytes(u8"現場〜A/a.csv"));
    EXPECT_TRUE(Path::ToNative("./" + relative, native));
    EXPECT_EQ(native, testsupport::Utf8Bytes(u8"./現場〜A/a.csv"));
    std::filesystem::current_path(base / "two");
    EXPECT_TRUE(Path::ToNative(relative, native));
    EXPECT_EQ(native, testsupport::Utf8Bytes(u8"現場～A/a.csv"));
    // Met from the root, the same folder is known from inside it too.
    EXPECT_TRUE(Path::ToNative(FromUtf8((base / "one").string()) + "/" + relative, native));
    EXPECT_EQ(native, (base / "one").string() + testsupport::Utf8Bytes(u8"/現場〜A/a.csv"));
    std::filesystem::current_path(start);
    std::filesystem::remove_all(base);
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
