#include "platform/core/Path.h"
#include "platform/core/NativeText.h"
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

// Names as Linux input methods, file managers and other programs write them: characters that
// cp932 holds under another code, characters it lacks, decomposed kana, bytes that are not UTF-8,
// what cp932 would read as a separator, and the user-defined characters of a name the Windows
// program wrote. Each path comes back exactly, and so do the paths made from it, with no memory
// of the path chosen: as a text stored and read again.
TEST(PathTest, ChosenPathsCarryTheirNativeBytes) {
    using testsupport::Utf8Bytes;
    const std::string folder = Utf8Bytes(u8"/tmp/選択/現場〜A/\U00020BB7田");
    const std::string names[] = {Utf8Bytes(u8"測点〜1.csv"),
                                 Utf8Bytes(u8"差−‖—¢£¬.csv"),
                                 Utf8Bytes(u8"高\U00020BB7\U0001F600.csv"),
                                 Utf8Bytes(u8"\u30CF\u309A\u30B9.csv"), // NFD パス
                                 Utf8Bytes(u8"円\u00A5a\\b.csv"),
                                 "\xFF\xFE\x91\xAA.csv",
                                 Utf8Bytes(u8"外\uE69C\uE757字\uE000.csv"),
                                 "a\nb.csv"};
    // As a cp932 file shows them: the look-alike, "?" for what cp932 lacks.
    const CString shown[] = {"測点～1.csv",
                             "差－∥―￠￡￢.csv",
                             "高??.csv",
                             "ハ?ス.csv",
                             "円\\a\\b.csv",
                             "",
                             "外\xF9\x40\xF9\xFC字\xF0\x40.csv",
                             "a\nb.csv"};
    for (std::size_t i = 0; i < std::size(names); ++i) {
        const CString chosen = Path::FromNative(folder + "/" + names[i]);
        std::string native;
        ASSERT_TRUE(Path::ToNative(chosen, native)) << names[i];
        EXPECT_EQ(native, folder + "/" + names[i]);
        const CString stored(chosen.Bytes());
        ASSERT_TRUE(Path::ToNative(stored, native));
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
        // Shown to people as spelled.
        if (i != 5) {
            EXPECT_EQ(ToUtf8(chosen), folder + "/" + names[i]);
            EXPECT_EQ(NativeText::ShownInCp932(Path::FileName(chosen)), shown[i]);
        }
    }
    EXPECT_EQ(NativeText::ShownInCp932(Path::Folder(Path::FromNative(folder + "/a"))),
              "/tmp/選択/現場～A/?田");
    // How the characters are carried is part of every stored path: "〜" is E3 80 9C.
    EXPECT_EQ(Path::FromNative(Utf8Bytes(u8"〜")).Bytes(), "\xF9\xA4\xF9\x40\xF9\x5C");
    EXPECT_EQ(Path::FromNative("\\\xFF").Bytes(), "\xF9\xC1\xF9\xC0");
    // Look-alikes are two texts; a name cp932 spells as it is stays plain cp932.
    EXPECT_NE(Path::FromNative(Utf8Bytes(u8"現場〜A")), Path::FromNative(Utf8Bytes(u8"現場～A")));
    EXPECT_EQ(Path::FromNative(Utf8Bytes(u8"/tmp/現場～A/ﾎｼ1.csv")), "/tmp/現場～A/ﾎｼ1.csv");
    // Bytes that are not cp932 are refused, and named.
    std::string native;
    EXPECT_FALSE(Path::ToNative("/tmp/a\x81 b/c.csv", native));
    EXPECT_EQ(Path::NativeFault("/tmp/a\x81 b/c.csv"),
              "/tmp/a\x81 b/c.csvには、シフトJISの文字でないバイト（81 20）があります。");
}

// A relative path stays relative: the same words from another folder are another path.
TEST(PathTest, RelativePathsStayRelative) {
    const CString relative = Path::FromNative(testsupport::Utf8Bytes(u8"現場〜A/a.csv"));
    std::string native;
    EXPECT_TRUE(Path::ToNative(relative, native));
    EXPECT_EQ(native, testsupport::Utf8Bytes(u8"現場〜A/a.csv"));
    EXPECT_TRUE(Path::ToNative("./" + relative, native));
    EXPECT_EQ(native, testsupport::Utf8Bytes(u8"./現場〜A/a.csv"));
}

class PathFolderTest : public testsupport::TempFolderTest {};

// A ".." leads out of a folder spelled with "〜" into that very folder, not its look-alike.
TEST_F(PathFolderTest, DotDotKeepsTheSpellingOfTheFoldersOnTheWay) {
    using testsupport::Utf8Bytes;
    std::filesystem::create_directories(m_dir / Utf8Bytes(u8"現場〜A/sub"));
    std::filesystem::create_directories(m_dir / Utf8Bytes(u8"現場～A/sub"));
    testsupport::WriteFileBytes(m_dir / Utf8Bytes(u8"現場〜A/in.csv"), "site");
    testsupport::WriteFileBytes(m_dir / Utf8Bytes(u8"現場～A/in.csv"), "look-alike");
    const CString sub = Path::FromNative((m_dir / Utf8Bytes(u8"現場〜A/sub")).string());
    Path::FromNative((m_dir / Utf8Bytes(u8"現場～A/sub")).string()); // chosen later
    std::string native;
    ASSERT_TRUE(Path::ToNative(Path::Join(sub, "../in.csv"), native));
    EXPECT_EQ(testsupport::ReadFileBytes(native), "site");
    ASSERT_TRUE(Path::ToNative(Path::Join(sub, "..\\in.csv"), native));
    EXPECT_EQ(testsupport::ReadFileBytes(native), "site");
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
