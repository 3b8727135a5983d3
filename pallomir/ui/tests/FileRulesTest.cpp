#include "pallomir/ui/JEdxPrmFile.h"
#include "pallomir/ui/JFileCopier.h"
#include "pallomir/ui/VersionText.h"
#include "pallomir/ui/tests/DataFolders.h"
#include "tests/support/TextForms.h"

#include <gtest/gtest.h>

namespace {

class FileRulesTest : public testsupport::TempFolderTest {};

TEST(VersionTextTest, VersionsCompareByNumber) {
    EXPECT_TRUE(IsVersionText("1.00"));
    EXPECT_TRUE(IsVersionText("2"));
    EXPECT_FALSE(IsVersionText(""));
    EXPECT_FALSE(IsVersionText("1.0a"));
    EXPECT_FALSE(IsVersionText("A"));

    EXPECT_LT(CompareVersionText("1.9", "1.10"), 0);
    EXPECT_GT(CompareVersionText("1.10", "1.9"), 0);
    EXPECT_LT(CompareVersionText("1.99", "2.0"), 0);
    EXPECT_LT(CompareVersionText("1", "1.0"), 0);
    EXPECT_LT(CompareVersionText("1.0", "1.0.10"), 0);
    EXPECT_LT(CompareVersionText("9.9", "10.0"), 0);
    EXPECT_GT(CompareVersionText("100000000000000000000.1", "99999999999999999999.9"), 0);
    EXPECT_EQ(CompareVersionText("2.1.2", "2.1.2"), 0);
    // Equal numbers are still told apart, as text.
    EXPECT_NE(CompareVersionText("1.01", "1.1"), 0);
    EXPECT_EQ(CompareVersionText("1.01", "1.1"), -CompareVersionText("1.1", "1.01"));
}

TEST(JAdbFileCopierTest, BoundaryFileNames) {
    EXPECT_TRUE(JAdbFileCopier::IsFileNameValid("N03-13A-01.txt"));
    EXPECT_TRUE(JAdbFileCopier::IsFileNameValid("n03-13A-01.txt"));
    EXPECT_FALSE(JAdbFileCopier::IsFileNameValid("N03-13a-01.txt"));
    EXPECT_FALSE(JAdbFileCopier::IsFileNameValid("N03-13"));
    EXPECT_FALSE(JAdbFileCopier::IsFileNameValid("readme.txt"));

    EXPECT_EQ(JAdbFileCopier::GetFileYear("N03-13A-01.txt"), 13);
    EXPECT_EQ(JAdbFileCopier::GetFilePrefCode("N03-13A-01.txt", false), 1);
    EXPECT_EQ(JAdbFileCopier::GetFileYear("readme.txt"), 0);
    EXPECT_EQ(JAdbFileCopier::GetFileYear("N03-1xA-01.txt"), 0);

    // The 2K form: its prefecture stands after "2K_", not where the plain form has it.
    EXPECT_EQ(JAdbFileCopier::GetFileName(47, 12, true), "N03-12A-2K_47.txt");
    EXPECT_EQ(JAdbFileCopier::GetFileName(1, 5, false), "N03-05A-01.txt");
    EXPECT_TRUE(JAdbFileCopier::Is2KFileName("N03-12A-2K_47.txt"));
    EXPECT_FALSE(JAdbFileCopier::Is2KFileName("N03-12A-47.txt"));
    EXPECT_EQ(JAdbFileCopier::GetFilePrefCode("N03-12A-2K_47.txt", true), 47);
    EXPECT_EQ(JAdbFileCopier::GetFilePrefCode("N03-12A-2K_47.txt"), 47);
    EXPECT_EQ(JAdbFileCopier::GetFilePrefCode("N03-12A-2K_47.txt", false), 0); // "2K" is no code
    EXPECT_EQ(JAdbFileCopier::GetFilePrefCode("N03-12A-47.txt"), 47);

    EXPECT_EQ(JAdbFileCopier::GetFileName(48, 12, false), "");
    EXPECT_EQ(JAdbFileCopier::GetFileName(0, 12, false), "");
    EXPECT_EQ(JAdbFileCopier::GetFileName(1, 100, false), "");
    EXPECT_EQ(JAdbFileCopier::GetFileName(1, -1, false), "");
}

TEST(JEdxPrmFileTest, EdxFileNamesAndMeshCodes) {
    JMeshCode code;
    EXPECT_TRUE(JEdxPrmFile::IsFileNameValid("5339.edx"));
    ASSERT_TRUE(JEdxPrmFile::GetFileMeshCode("5339.edx", &code));
    EXPECT_EQ(code.GetCode1(), 5339);
    EXPECT_EQ(code.GetLevel(), 0);

    EXPECT_TRUE(JEdxPrmFile::IsFileNameValid("5339-01.EDX"));
    ASSERT_TRUE(JEdxPrmFile::GetFileMeshCode("5339-01.EDX", &code));
    EXPECT_EQ(code.GetCode1(), 5339);
    EXPECT_EQ(code.GetCode2(), 1);

    // The error-index generation names the south-west square of a first-level mesh -00.
    EXPECT_TRUE(JEdxPrmFile::IsFileNameValid("5339-00.edx"));
    ASSERT_TRUE(JEdxPrmFile::GetFileMeshCode("5339-00.edx", &code));
    EXPECT_EQ(code.GetCode2(), 0);
    EXPECT_EQ(JEdxPrmFile::GetFileName(code), "5339-00.edx");

    for (const char *bad : {"0000.edx", "0000-01.edx", "5339.txt", "53a9.edx", "5339-0x.edx",
                            "533.edx", "5339-1.edx", "edx", "dir.edx/5339", "5339"})
        EXPECT_FALSE(JEdxPrmFile::IsFileNameValid(bad)) << bad;

    code.SetMeshCode1(5339);
    EXPECT_EQ(JEdxPrmFile::GetFileName(code), "5339.edx");
    code.SetMeshCode2(684107);
    EXPECT_EQ(JEdxPrmFile::GetFileName(code), "6841-07.edx");
}

TEST_F(FileRulesTest, EdxVersionFromTheSecondLine) {
    CString field, version;
    EXPECT_TRUE(JEdxPrmFile::CheckFileVer(put(EdxBytes("Ver.2.1.2"), "a.edx"), &field, &version));
    EXPECT_EQ(field, "Ver.2.1.2");
    EXPECT_EQ(version, "2.1.2");
    // Only 9 characters count, and what is not a digit or dot is skipped.
    EXPECT_TRUE(
        JEdxPrmFile::CheckFileVer(put(EdxBytes("V.1.0a0 extra"), "b.edx"), &field, &version));
    EXPECT_EQ(field, "V.1.0a0 e");
    EXPECT_EQ(version, "1.00");
    // No '.' within the 9 characters from column 18, nothing after it, one line, no file.
    EXPECT_FALSE(
        JEdxPrmFile::CheckFileVer(put(EdxBytes("Version2 .1"), "c.edx"), &field, &version));
    EXPECT_FALSE(JEdxPrmFile::CheckFileVer(put(EdxBytes("Ver."), "d.edx"), &field, &version));
    EXPECT_FALSE(
        JEdxPrmFile::CheckFileVer(put("Trelvic/EDX File 1.00\r\n", "e.edx"), &field, &version));
    EXPECT_FALSE(JEdxPrmFile::CheckFileVer(path("missing.edx"), &field, &version));
    // A version line of bytes that are no cp932, and a UTF-16 file, give no version.
    EXPECT_FALSE(JEdxPrmFile::CheckFileVer(put(EdxBytes("Ver.2\x81"), "f.edx"), &field, &version));
    const std::string utf16 =
        testsupport::WrittenAsUtf16({"h", "TKY2JGD parameter Ver.2.1.2"}, true);
    EXPECT_FALSE(JEdxPrmFile::CheckFileVer(put(utf16, "g.edx"), &field, &version));
    // A NUL in the version line, as every reader refuses it, and a UTF-8 line of a cp932 file.
    EXPECT_FALSE(JEdxPrmFile::CheckFileVer(
        put(std::string("h\r\nTKY2JGD parameter Ver.2\0.1\r\n", 31), "h.edx"), &field, &version));
    EXPECT_FALSE(JEdxPrmFile::CheckFileVer(
        put("\x91\xAA\r\nTKY2JGD parameter Ver.2.1 \xE6\x9D\xAD\r\n", "i.edx"), &field, &version));
}

// Commas and blanks that end the version line are no part of its field.
TEST_F(FileRulesTest, EdxVersionLineEndingWithACommaGivesItsFieldWithout) {
    CString field, version;
    EXPECT_TRUE(JEdxPrmFile::CheckFileVer(put(EdxBytes("Ver.2.1,"), "a.edx"), &field, &version));
    EXPECT_EQ(field, "Ver.2.1");
    EXPECT_EQ(version, "2.1");
    EXPECT_TRUE(JEdxPrmFile::CheckFileVer(put(EdxBytes("V.3 , \t,"), "b.edx"), &field, &version));
    EXPECT_EQ(field, "V.3");
    EXPECT_EQ(version, "3");
}

TEST_F(FileRulesTest, EdxPathsTakeTheNamesFoundOnDisk) {
    JMeshCode code;
    code.SetMeshCode2(533901);
    EXPECT_EQ(JEdxPrmFile::GetFilePath(folder(), "1.00", code),
              folder() + "/edx1.00/5339/5339-01.edx");
    PutFile(m_dir, "EDX1.00/5339/5339-01.EDX", EdxBytes());
    EXPECT_EQ(JEdxPrmFile::GetFilePath(folder(), "1.00", code),
              folder() + "/EDX1.00/5339/5339-01.EDX");
}

} // namespace
