#include "ombresk/JCnvPrmFile.h"
#include "ombresk/JCnvPrmData.h"

#include "platform/core/Numbers.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

const std::string kType1Header = "JGD2000-TokyoDatum Ver.2.1.1\r\nMeshCode dB(sec) dL(sec)\r\n";

// The first line of a type-2 or type-3 file and its 15 further header lines.
std::string header15(const std::string &first, int further = 15) {
    std::string text = first + "\r\n";
    for (int i = 0; i < further; ++i)
        text += "header line " + std::to_string(i) + "\r\n";
    return text;
}

class JCnvPrmFileTest : public testsupport::TempFolderTest {
  protected:
    CString path(const char *name = "grid.par") const { return TempFolderTest::path(name); }
    CString put(const std::string &content, const char *name = "grid.par") const {
        std::ofstream(m_dir / name, std::ios::binary) << content;
        return path(name);
    }

    // Reads content as a file of the type asked for; the data is left in m_data.
    JCnvPrmReadRetCode read(const std::string &content, JCnvPrmFileType type) {
        m_data.SetFileType(type);
        return m_data.Read(put(content), false, nullptr);
    }

    const JCnvPrmElm *find(UINT code) const {
        JMeshCode mesh;
        mesh.SetMeshCode3(code);
        return m_data.Find(mesh);
    }

    // A failed read leaves nothing behind.
    void expectEmpty() const {
        EXPECT_FALSE(m_data.IsDataReady());
        EXPECT_EQ(m_data.GetTableCount(), 0u);
        EXPECT_TRUE(m_data.GetFileVerStr1().IsEmpty());
        EXPECT_TRUE(m_data.GetFileVerStr2().IsEmpty());
        EXPECT_TRUE(m_data.GetFilePath().IsEmpty());
    }

    JCnvPrmData m_data;
};

} // namespace

TEST_F(JCnvPrmFileTest, ReadsTheThreePublishedFormats) {
    // Type 1, CR LF, nodes of two first-level meshes out of order.
    ASSERT_EQ(read(kType1Header + "53404600  -3.5  2.25\r\n"
                                  "53394601  12.79799  -8.13354\r\n"
                                  "53394600   12.5  -8.0\r\n",
                   CNVPRM_TYPE_DETECT),
              CNVPRM_READ_SUCCESS);
    EXPECT_TRUE(m_data.IsDataReady());
    EXPECT_EQ(m_data.GetFileType(), CNVPRM_TYPE_TKY2JGD);
    EXPECT_STREQ(m_data.GetFileVerStr1(), "Ver.2.1.1");
    EXPECT_STREQ(m_data.GetFileVerStr2(), "2.1.1");
    EXPECT_EQ(m_data.GetFilePath(), path());
    EXPECT_STREQ(m_data.GetFileName(), "grid.par");
    ASSERT_EQ(m_data.GetTableCount(), 2u);
    EXPECT_EQ(m_data.GetTable(0)->GetCode1(), 5339);
    EXPECT_EQ(m_data.GetTable(1)->GetCode1(), 5340);
    ASSERT_NE(find(53394601), nullptr);
    EXPECT_FLOAT_EQ(find(53394601)->GetdB(), 12.79799f);
    EXPECT_FLOAT_EQ(find(53394601)->GetdL(), -8.13354f);
    EXPECT_EQ(find(53394600)->GetdB(), 12.5f);
    EXPECT_EQ(find(53404600)->GetdL(), 2.25f);
    EXPECT_EQ(find(53394602), nullptr);
    EXPECT_EQ(find(53414600), nullptr);
    JMeshCode mesh;
    mesh.SetMeshCode3(53394600);
    EXPECT_EQ(m_data.FindSemiDynPrm(mesh), nullptr);

    // Type 2: a height shift, 15 further header lines, version from column 15.
    ASSERT_EQ(read(header15("for SemiDynaEXE Ver.1.0.0") + "53394600 0.25 -0.5 0.125\r\n",
                   CNVPRM_TYPE_DETECT),
              CNVPRM_READ_SUCCESS);
    EXPECT_EQ(m_data.GetFileType(), CNVPRM_TYPE_SEMIDYNA);
    EXPECT_STREQ(m_data.GetFileVerStr1(), "Ver.1.0.0");
    const JSemiDynPrmElm *semi = m_data.FindSemiDynPrm(mesh);
    ASSERT_NE(semi, nullptr);
    EXPECT_EQ(semi->GetdB(), 0.25f);
    EXPECT_EQ(semi->GetdL(), -0.5f);
    EXPECT_EQ(semi->GetdH(), 0.125f);

    // Type 3: the version column is 15, three past the end of the 12-character prefix.
    ASSERT_EQ(read(header15("for PatchJGD(H)Ver.3.0.1") + "53394600 1 2\r\n", CNVPRM_TYPE_DETECT),
              CNVPRM_READ_SUCCESS);
    EXPECT_EQ(m_data.GetFileType(), CNVPRM_TYPE_PATCHJGD);
    EXPECT_STREQ(m_data.GetFileVerStr1(), "Ver.3.0.1");
    EXPECT_STREQ(m_data.GetFileVerStr2(), "3.0.1");
    ASSERT_NE(find(53394600), nullptr);
    EXPECT_EQ(find(53394600)->GetdL(), 2.0f);
    EXPECT_EQ(m_data.FindSemiDynPrm(mesh), nullptr);
}

TEST_F(JCnvPrmFileTest, TheFirstLineDecidesTheType) {
    const std::string semi = header15("for SemiDynaEXE Ver.1.0.0") + "53394600 0.25 -0.5 0.125\r\n";
    // A fresh data object asks for type 1, yet a semi-dynamic file is read as one.
    JCnvPrmData fresh;
    EXPECT_EQ(fresh.GetFileType(), CNVPRM_TYPE_TKY2JGD);
    ASSERT_EQ(fresh.Read(put(semi), false, nullptr), CNVPRM_READ_SUCCESS);
    EXPECT_EQ(fresh.GetFileType(), CNVPRM_TYPE_SEMIDYNA);
    EXPECT_EQ(fresh.GetElmCount(), 1u);

    // Asked for type 2, a type-1 file stays type 1.
    ASSERT_EQ(read(kType1Header + "53394600 1 2\r\n", CNVPRM_TYPE_SEMIDYNA), CNVPRM_READ_SUCCESS);
    EXPECT_EQ(m_data.GetFileType(), CNVPRM_TYPE_TKY2JGD);

    // A first line with no known prefix is read as the type asked for, and is bad
    // when the type is to be detected.
    const std::string odd = "TKY2JGD parameters Ver.9.9\r\nMeshCode dB dL\r\n53394600 1 2\r\n";
    ASSERT_EQ(read(odd, CNVPRM_TYPE_TKY2JGD), CNVPRM_READ_SUCCESS);
    EXPECT_STREQ(m_data.GetFileVerStr1(), "Ver.9.9");
    EXPECT_EQ(read(odd, CNVPRM_TYPE_DETECT), CNVPRM_READ_HEADER_ERROR);
    // The grid read before stays, with the type asked for at the call.
    EXPECT_TRUE(m_data.IsDataReady());
    EXPECT_STREQ(m_data.GetFileVerStr1(), "Ver.9.9");
    EXPECT_EQ(m_data.GetFileType(), CNVPRM_TYPE_DETECT);
}

TEST_F(JCnvPrmFileTest, BadHeadersAreCode3) {
    const std::string line = "53394600 1 2\r\n";
    // No "." after column 18.
    EXPECT_EQ(read("JGD2000-TokyoDatum Ver2\r\nx\r\n" + line, CNVPRM_TYPE_DETECT),
              CNVPRM_READ_HEADER_ERROR);
    expectEmpty();
    // A "." before column 18 only does not count.
    EXPECT_EQ(read("JGD2000.TokyoDatum Ver2\r\nx\r\n" + line, CNVPRM_TYPE_TKY2JGD),
              CNVPRM_READ_HEADER_ERROR);
    // Nothing but letters after the ".".
    EXPECT_EQ(read("JGD2000-TokyoDatum Ver.beta\r\nx\r\n" + line, CNVPRM_TYPE_DETECT),
              CNVPRM_READ_HEADER_ERROR);
    // The first line ends before the version column.
    EXPECT_EQ(read("for PatchJGD.\r\n" + header15("x", 14) + line, CNVPRM_TYPE_DETECT),
              CNVPRM_READ_HEADER_ERROR);
    // Empty file; a missing further header line.
    EXPECT_EQ(read("", CNVPRM_TYPE_DETECT), CNVPRM_READ_HEADER_ERROR);
    EXPECT_EQ(read("JGD2000-TokyoDatum Ver.2.1.1\r\n", CNVPRM_TYPE_DETECT),
              CNVPRM_READ_HEADER_ERROR);
    EXPECT_EQ(read(header15("for SemiDynaEXE Ver.1.0.0", 14), CNVPRM_TYPE_DETECT),
              CNVPRM_READ_HEADER_ERROR);
    expectEmpty();

    m_data.SetFileType(CNVPRM_TYPE_DETECT);
    EXPECT_EQ(m_data.Read(path("missing.par"), false, nullptr), CNVPRM_READ_OPEN_ERROR);
    expectEmpty();
}

TEST_F(JCnvPrmFileTest, ShortOrBadDataLinesAreCode4AndLeaveNothing) {
    const std::string semi = header15("for SemiDynaEXE Ver.1.0.0");
    // Only two numbers in a type-2 file, after a good line.
    EXPECT_EQ(read(semi + "53394600 0.1 0.2 0.3\r\n53394601 0.1 0.2\r\n", CNVPRM_TYPE_DETECT),
              CNVPRM_READ_DATA_ERROR);
    expectEmpty();
    EXPECT_EQ(read(kType1Header + "53394600 1 2\r\n53394601\r\n", CNVPRM_TYPE_DETECT),
              CNVPRM_READ_DATA_ERROR);
    expectEmpty();
    // A number that is not one, and digits outside the mesh system (8 east of 7).
    EXPECT_EQ(read(kType1Header + "53394600 1.2x 2\r\n", CNVPRM_TYPE_DETECT),
              CNVPRM_READ_DATA_ERROR);
    EXPECT_EQ(read(kType1Header + "53394800 1 2\r\n", CNVPRM_TYPE_DETECT), CNVPRM_READ_DATA_ERROR);
    EXPECT_EQ(read(kType1Header + "-5339460 1 2\r\n", CNVPRM_TYPE_DETECT), CNVPRM_READ_DATA_ERROR);
    EXPECT_EQ(read(kType1Header + "53394600 1e39 2\r\n", CNVPRM_TYPE_DETECT),
              CNVPRM_READ_DATA_ERROR);
    expectEmpty();
}

TEST_F(JCnvPrmFileTest, LineEndsEndOfFileMarkAndBlankLines) {
    // LF only, tabs between fields, an extra field, a blank line and no final line end.
    ASSERT_EQ(read("JGD2000-TokyoDatum Ver.2.1.1\nhead\n53394600\t1.5\t-2.5\textra\n\n"
                   "53394601 3 4",
                   CNVPRM_TYPE_DETECT),
              CNVPRM_READ_SUCCESS);
    EXPECT_EQ(m_data.GetElmCount(), 2u);
    EXPECT_EQ(find(53394600)->GetdL(), -2.5f);
    EXPECT_EQ(find(53394601)->GetdL(), 4.0f);

    // 0x1A ends the file; what follows it is never read.
    ASSERT_EQ(read(kType1Header + "53394600 1 2\r\n\x1A"
                                  "garbage that is no node\r\n",
                   CNVPRM_TYPE_DETECT),
              CNVPRM_READ_SUCCESS);
    EXPECT_EQ(m_data.GetElmCount(), 1u);
    ASSERT_EQ(read(kType1Header + "53394600 1 2\x1A", CNVPRM_TYPE_DETECT), CNVPRM_READ_SUCCESS);
    EXPECT_EQ(find(53394600)->GetdL(), 2.0f);

    // A header-only file is an empty grid.
    ASSERT_EQ(read(kType1Header, CNVPRM_TYPE_DETECT), CNVPRM_READ_SUCCESS);
    EXPECT_EQ(m_data.GetTableCount(), 0u);
}

// Every form of number that ParseDouble and ParseInt take is read to the same value, whether
// the reader takes it directly (plain digits, short decimals) or hands it on.
TEST_F(JCnvPrmFileTest, NumbersAreReadAsTheStrictParsersReadThem) {
    const char *shifts[] = {"1.",
                            ".5",
                            "+1.25",
                            "-0.0",
                            "-0",
                            "0.30000000000000004",
                            "1e1",
                            "-2.5E-1",
                            "123456789012345",
                            "1234567890123456",
                            "-11.12345",
                            "12.797990000000001",
                            "007.125",
                            "-.75"};
    std::string text = kType1Header;
    int code3 = 0;
    for (const char *shift : shifts)
        text += "533946" + std::to_string(10 + code3++) + " " + shift + " " + shift + "\r\n";
    // Random five-decimal shifts like the published files'.
    std::mt19937 rng(5);
    std::uniform_int_distribution<int> whole(0, 30), fraction(0, 99999);
    std::vector<std::string> random;
    for (int i = 0; i < 60; ++i) {
        char value[32];
        std::snprintf(value, sizeof value, "%d.%05d", whole(rng), fraction(rng));
        random.push_back(value);
        text += "533947" + std::to_string(10 + i) + " " + value + " -" + value + "\r\n";
    }
    // Mesh codes with a sign or leading zeros.
    text += "+53394630 1 2\r\n053394631 3 4\r\n0053394632 5 6\r\n";
    ASSERT_EQ(read(text, CNVPRM_TYPE_DETECT), CNVPRM_READ_SUCCESS);

    auto stored = [](const std::string &shift) {
        double value = 0;
        EXPECT_TRUE(ParseDouble(shift, value)) << shift;
        return static_cast<float>(value);
    };
    code3 = 0;
    for (const char *shift : shifts) {
        const JCnvPrmElm *node = find(53394610 + code3++);
        ASSERT_NE(node, nullptr) << shift;
        EXPECT_EQ(node->GetdB(), stored(shift)) << shift;
        EXPECT_EQ(std::signbit(node->GetdB()), std::signbit(stored(shift))) << shift;
    }
    for (int i = 0; i < 60; ++i) {
        const JCnvPrmElm *node = find(53394710 + i);
        ASSERT_NE(node, nullptr);
        EXPECT_EQ(node->GetdB(), stored(random[i])) << random[i];
        EXPECT_EQ(node->GetdL(), stored("-" + random[i])) << random[i];
    }
    EXPECT_EQ(find(53394630)->GetdB(), 1.0f);
    EXPECT_EQ(find(53394631)->GetdB(), 3.0f);
    EXPECT_EQ(find(53394632)->GetdB(), 5.0f);
}

// Lines that straddle the reader's blocks, a line longer than a block and an end-of-file mark
// well into the file.
TEST_F(JCnvPrmFileTest, LongFilesAndLongLines) {
    std::string text = "JGD2000-TokyoDatum Ver.2.1.1\r\n" + std::string(3 << 20, 'h') + "\r\n";
    int count = 0;
    for (int code2 = 0; code2 < 78; ++code2)
        for (int code3 = 0; code3 < 100 && code2 % 10 < 8; ++code3, ++count) {
            char line[64];
            std::snprintf(line, sizeof line, "5339%02d%02d   %d.25   -%d.5\r\n", code2, code3,
                          count % 40, count % 30);
            text += line;
        }
    const std::size_t markAt = text.size();
    text += "\x1A"
            "53400000 1 2\r\n";
    ASSERT_EQ(read(text, CNVPRM_TYPE_DETECT), CNVPRM_READ_SUCCESS);
    EXPECT_EQ(m_data.GetElmCount(), static_cast<std::size_t>(count));
    EXPECT_EQ(count, 6400);
    EXPECT_GT(markAt, std::size_t{3 << 20});
    EXPECT_EQ(find(53390000)->GetdB(), 0.25f);
    EXPECT_EQ(find(53397799)->GetdB(), 6399 % 40 + 0.25f);
    EXPECT_EQ(find(53397799)->GetdL(), -(6399 % 30) - 0.5f);
    EXPECT_EQ(find(53400000), nullptr);
}

TEST_F(JCnvPrmFileTest, NumbersAreReadInTheCLocale) {
    const std::string saved = std::setlocale(LC_ALL, nullptr);
    if (std::setlocale(LC_ALL, "de_DE.UTF-8") == nullptr)
        GTEST_SKIP() << "no German locale installed";
    const JCnvPrmReadRetCode code =
        read(kType1Header + "53394600 12.75 -0.5\r\n", CNVPRM_TYPE_DETECT);
    std::setlocale(LC_ALL, saved.c_str());
    ASSERT_EQ(code, CNVPRM_READ_SUCCESS);
    EXPECT_EQ(find(53394600)->GetdB(), 12.75f);
    EXPECT_EQ(find(53394600)->GetdL(), -0.5f);
}

TEST_F(JCnvPrmFileTest, CheckFileVerUsesTheReadersColumnRule) {
    CString ver1 = "old", ver2 = "old";
    ASSERT_TRUE(JCnvPrmFile::CheckFileVer(put(kType1Header), &ver1, &ver2));
    EXPECT_STREQ(ver1, "Ver.2.1.1");
    EXPECT_STREQ(ver2, "2.1.1");
    // Any number of blanks after the prefix, or none, gives the same text.
    ASSERT_TRUE(
        JCnvPrmFile::CheckFileVer(put("JGD2000-TokyoDatum   Ver.2.1.1 \r\n"), &ver1, &ver2));
    EXPECT_STREQ(ver1, "Ver.2.1.1");
    ASSERT_TRUE(JCnvPrmFile::CheckFileVer(put("JGD2000-TokyoDatumVer.2.1.1\r\n"), &ver1, &ver2));
    EXPECT_STREQ(ver1, "Ver.2.1.1");
    EXPECT_STREQ(ver2, "2.1.1");
    // A version longer than nine characters is kept whole.
    ASSERT_TRUE(JCnvPrmFile::CheckFileVer(put("JGD2000-TokyoDatum Ver.2.1.10\r\n"), &ver1, &ver2));
    EXPECT_STREQ(ver2, "2.1.10");
    // The semi-dynamic and patch headers use their own column.
    ASSERT_TRUE(JCnvPrmFile::CheckFileVer(put("for SemiDynaEXE Ver.1.0.0\r\n"), &ver1, &ver2));
    EXPECT_STREQ(ver1, "Ver.1.0.0");
    // Only the second result may be asked for.
    ASSERT_TRUE(JCnvPrmFile::CheckFileVer(put("for PatchJGD(H)Ver.3.0.1\n"), nullptr, &ver2));
    EXPECT_STREQ(ver2, "3.0.1");

    ver1 = "kept";
    EXPECT_FALSE(JCnvPrmFile::CheckFileVer(path("missing.par"), &ver1, &ver2));
    EXPECT_FALSE(JCnvPrmFile::CheckFileVer(put(""), &ver1, &ver2));
    EXPECT_FALSE(JCnvPrmFile::CheckFileVer(put("JGD2000-TokyoDatum Ver2\r\n"), &ver1, &ver2));
    EXPECT_STREQ(ver1, "kept");
}
