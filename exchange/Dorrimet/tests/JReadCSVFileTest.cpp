#include "exchange/Dorrimet/JReadCSVFile.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

class JReadCSVFileTest : public testsupport::TempFolderTest {
  protected:
    CString path(const char *name = "data.csv") const { return TempFolderTest::path(name); }
    void put(const std::string &content, const char *name = "data.csv") const {
        TempFolderTest::put(content, name);
    }
    std::string get(const char *name = "data.csv") const { return TempFolderTest::get(name); }
};

// Every field of the current line as text.
template <class Reader> std::vector<std::string> lineFields(Reader &r) {
    std::vector<std::string> out;
    char buf[128];
    while (r.readString(127, buf))
        out.emplace_back(buf);
    return out;
}

using Fields = std::vector<std::string>;

TEST_F(JReadCSVFileTest, AMissingFileFailsSoftly) {
    JReadCSVFile j(path("none.txt"), 0, true);
    EXPECT_EQ(j.GetFileSize(), 0u);
    EXPECT_EQ(j.GetCurrentPos(), 0u);
    EXPECT_EQ(j.startLine(), 0);
}

TEST_F(JReadCSVFileTest, ALineOverTheLimitIsReportedWholeAndNeverSplit) {
    const std::string longName(300, 'N');
    const std::string limitLine = "B," + std::string(252, 'x');
    ASSERT_EQ(limitLine.size(), 254u);
    put("A01," + longName + ",\r\nnext,\r\n" + limitLine + "\r\n" + limitLine + "y\r\nend,");

    JReadCSVFile f(path(), 2, false);
    ASSERT_EQ(f.startLine(), 1);
    EXPECT_EQ(f.isLineTooLong(), 1);
    EXPECT_EQ(lineFields(f), Fields{});
    EXPECT_EQ(f.GetBufferStr(), CString(("A01," + longName + ",\n").c_str()));

    ASSERT_EQ(f.startLine(), 1);
    EXPECT_EQ(f.isLineTooLong(), 0);
    EXPECT_EQ(lineFields(f), (Fields{"next", ""}));

    // 254 characters fit, and the line feed after them is no empty line.
    ASSERT_EQ(f.startLine(), 1);
    EXPECT_EQ(f.isLineTooLong(), 0);
    char buf[256];
    EXPECT_EQ(f.readString(1, buf), 1);
    EXPECT_EQ(f.readString(252, buf), 1);
    EXPECT_EQ(std::string(buf), std::string(252, 'x'));

    ASSERT_EQ(f.startLine(), 1);
    EXPECT_EQ(f.isLineTooLong(), 1);
    ASSERT_EQ(f.startLine(), 1);
    EXPECT_EQ(lineFields(f), (Fields{"end", ""}));
    EXPECT_EQ(f.startLine(), 0);
}

TEST_F(JReadCSVFileTest, JReadCsvFileKnowsSizePositionLineAndSpans) {
    put("G00,03,site,\r\nA01,    1,,1.5\r\n");
    JReadCSVFile f(path(), 2, true);
    EXPECT_EQ(f.GetFileSize(), 30u);
    EXPECT_EQ(f.GetCurrentPos(), 0u);
    ASSERT_EQ(f.startLine(), 1);
    EXPECT_EQ(f.GetCurrentPos(), 14u);
    EXPECT_EQ(f.GetBufferStr(), "G00,03,site,\n");
    ASSERT_EQ(f.startLine(), 1);
    char buf[16];
    int no = 0;
    double x = 0;
    ASSERT_EQ(f.readString(15, buf), 1);
    ASSERT_EQ(f.readIntEx(&no), DIV_OK);
    ASSERT_EQ(f.readStringEx(nullptr), DIV_EMPTY);
    ASSERT_EQ(f.readDoubleEx(&x), DIV_OK);
    EXPECT_EQ(no, 1);
    EXPECT_EQ(x, 1.5);
    const auto &spans = f.GetStrElmInfoVector();
    ASSERT_EQ(spans.size(), 4u);
    EXPECT_EQ(spans[2].start, 10);
    EXPECT_EQ(spans[2].length, 0);
    EXPECT_EQ(spans[3].start, 11);
    EXPECT_EQ(spans[3].length, 3);
    EXPECT_EQ(f.GetCurrentPos(), 30u);
    f.endLine();
    EXPECT_TRUE(f.GetStrElmInfoVector().empty());
    EXPECT_EQ(f.GetBufferStr(), "");
}

} // namespace
