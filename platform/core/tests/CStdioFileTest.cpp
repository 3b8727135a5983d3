#include "platform/core/CStdioFile.h"

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

class CStdioFileTest : public testsupport::TempFolderTest {
  protected:
    // Writes bytes to a file and gives its cp932 path.
    CString fixture(const char *name, const std::string &bytes) const {
        std::ofstream(m_dir / name, std::ios::binary) << bytes;
        return path(name);
    }
    std::string readBytes(const char *name) const {
        std::ifstream in(m_dir / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    // Every line ReadString(CString&) gives.
    static std::vector<std::string> lines(const CString &file, UINT flags = CFile::modeRead) {
        CStdioFile in(file, flags);
        std::vector<std::string> result;
        CString line;
        while (in.ReadString(line))
            result.push_back(line.Bytes());
        return result;
    }
};

using Lines = std::vector<std::string>;

TEST_F(CStdioFileTest, ReadStringTakesEveryKindOfLineEnd) {
    EXPECT_EQ(lines(fixture("crlf.txt", "a,1\r\nb,2\r\n")), (Lines{"a,1", "b,2"}));
    EXPECT_EQ(lines(fixture("lf.txt", "a,1\nb,2\n")), (Lines{"a,1", "b,2"}));
    // The last line without a line end is still a line; an empty line is one too.
    EXPECT_EQ(lines(fixture("open.txt", "a\r\n\r\nlast")), (Lines{"a", "", "last"}));
    // A lone CR (files of older systems) ends a line like LF; CR LF stays one
    // line end, and CR CR LF is two.
    EXPECT_EQ(lines(fixture("cr.txt", "a\rb\r\nc\r")), (Lines{"a", "b", "c"}));
    EXPECT_EQ(lines(fixture("crs.txt", "A00,\rA01,1,P,1,2,,\rA99,\r")),
              (Lines{"A00,", "A01,1,P,1,2,,", "A99,"}));
    EXPECT_EQ(lines(fixture("crcrlf.txt", "a\r\r\nb\r\x1A")), (Lines{"a", "", "b"}));
    EXPECT_EQ(lines(path("cr.txt"), CFile::modeRead | CFile::typeBinary), (Lines{"a\rb\r", "c\r"}));
    EXPECT_EQ(lines(fixture("empty.txt", "")), Lines{});
    // Ctrl-Z ends the file in text mode, but not in binary mode.
    EXPECT_EQ(lines(fixture("eof.txt", "a\r\nb\r\n\x1A")), (Lines{"a", "b"}));
    EXPECT_EQ(lines(fixture("eofmid.txt", "a\r\nb\x1A"
                                          "c\r\nd\r\n")),
              (Lines{"a", "b"}));
    EXPECT_EQ(lines(path("eofmid.txt"), CFile::modeRead | CFile::typeBinary), (Lines{"a\r",
                                                                                     "b\x1A"
                                                                                     "c\r",
                                                                                     "d\r"}));
}

TEST_F(CStdioFileTest, LongLinesAndLineEndsAcrossTheBuffer) {
    const std::string line300(300, 'x');
    const std::string line100k(100000, 'y');
    EXPECT_EQ(lines(fixture("long.txt", line300 + "\r\n" + line100k + "\r\nz")),
              (Lines{line300, line100k, "z"}));
    // A CR LF pair split by a buffer refill still reads as one line end, and a
    // lone CR there as one too.
    for (std::size_t before : {4095u, 4096u, 65534u, 65535u, 65536u}) {
        const std::string text(before, 'q');
        EXPECT_EQ(lines(fixture("split.txt", text + "\r\nnext\r\n")), (Lines{text, "next"}))
            << before;
        EXPECT_EQ(lines(fixture("splitcr.txt", text + "\rnext\r")), (Lines{text, "next"}))
            << before;
    }
}

TEST_F(CStdioFileTest, ReadStringIntoABufferLikeFgets) {
    const std::string line300(300, 'x');
    CStdioFile in(fixture("limited.txt", line300 + "\r\nab\r\n"), CFile::modeRead);
    char buf[255];
    // At most 254 bytes, then the rest of the line with its line end.
    ASSERT_NE(in.ReadString(buf, 255), nullptr);
    EXPECT_EQ(std::string(buf), std::string(254, 'x'));
    ASSERT_EQ(in.ReadString(buf, 255), buf);
    EXPECT_EQ(std::string(buf), std::string(46, 'x') + "\n");
    ASSERT_NE(in.ReadString(buf, 255), nullptr);
    EXPECT_EQ(std::string(buf), "ab\n");
    EXPECT_EQ(in.ReadString(buf, 255), nullptr);
    // A line end that does not fit stays for the next read.
    CStdioFile exact(fixture("exact.txt", "abcd\r\n"), CFile::modeRead);
    ASSERT_NE(exact.ReadString(buf, 5), nullptr);
    EXPECT_EQ(std::string(buf), "abcd");
    ASSERT_NE(exact.ReadString(buf, 5), nullptr);
    EXPECT_EQ(std::string(buf), "\n");
    EXPECT_EQ(exact.ReadString(buf, 5), nullptr);
    // A lone CR comes out as the line feed.
    CStdioFile cr(fixture("cr.txt", "ab\rcd\r"), CFile::modeRead);
    ASSERT_NE(cr.ReadString(buf, 255), nullptr);
    EXPECT_EQ(std::string(buf), "ab\n");
    ASSERT_NE(cr.ReadString(buf, 255), nullptr);
    EXPECT_EQ(std::string(buf), "cd\n");
    EXPECT_EQ(cr.ReadString(buf, 255), nullptr);
    EXPECT_EQ(cr.GetPosition(), 6u);
}

TEST_F(CStdioFileTest, ReadStringIntoABufferNeverCutsADoubleByteCharacter) {
    char buf[16];
    // "abc表d": the lead byte of "表" would take the last place.
    CStdioFile cut(fixture("cut.txt", "abc表d\r\n"), CFile::modeRead);
    ASSERT_NE(cut.ReadString(buf, 5), nullptr);
    EXPECT_EQ(std::string(buf), "abc");
    ASSERT_NE(cut.ReadString(buf, 5), nullptr);
    EXPECT_EQ(std::string(buf), "表d\n");

    // "＝" is 0x81 0x81: its trail byte looks like a lead byte. Reading must
    // know it is a trail byte and keep the character whole.
    CStdioFile trail(fixture("trail.txt", "＝a＝＝\r\n"), CFile::modeRead);
    ASSERT_NE(trail.ReadString(buf, 3), nullptr);
    EXPECT_EQ(std::string(buf), "＝");
    ASSERT_NE(trail.ReadString(buf, 4), nullptr);
    EXPECT_EQ(std::string(buf), "a＝");
    ASSERT_NE(trail.ReadString(buf, 4), nullptr);
    EXPECT_EQ(std::string(buf), "＝\n");
    EXPECT_EQ(trail.ReadString(buf, 4), nullptr);
}

TEST_F(CStdioFileTest, WritingTranslatesLineEndsInTextModeOnly) {
    {
        CStdioFile out(path("text.txt"), CFile::modeCreate | CFile::modeWrite | CFile::typeText);
        out.WriteString("a\nb\n");
        out.WriteString("表,\n");
        // A string is written by its length: a NUL in it cuts nothing.
        out.WriteString(CString(std::string("N\0Q2,\nP3\n", 9)));
        out.Close();
    }
    EXPECT_EQ(readBytes("text.txt"), std::string("a\r\nb\r\n表,\r\nN\0Q2,\r\nP3\r\n", 22));
    {
        // Text is the default.
        CStdioFile out(path("default.txt"), CFile::modeCreate | CFile::modeWrite);
        out.WriteString("x\n");
        out.Close();
    }
    EXPECT_EQ(readBytes("default.txt"), "x\r\n");
    {
        CStdioFile out(path("binary.txt"),
                       CFile::modeCreate | CFile::modeWrite | CFile::typeBinary);
        out.WriteString("a\nb\r\n");
        out.Close();
    }
    EXPECT_EQ(readBytes("binary.txt"), "a\nb\r\n");
    // Large writes bypass the buffer but keep the order.
    const std::string big(200000, 'b');
    {
        CStdioFile out(path("big.txt"), CFile::modeCreate | CFile::modeWrite);
        out.WriteString("head\n");
        out.Write(big.data(), static_cast<UINT>(big.size()));
        out.WriteString("tail\n");
        EXPECT_EQ(out.GetLength(), 6u + big.size() + 6u);
        EXPECT_EQ(out.GetPosition(), 6u + big.size() + 6u);
        out.Close();
    }
    EXPECT_EQ(readBytes("big.txt"), "head\r\n" + big + "tail\r\n");
}

TEST_F(CStdioFileTest, PositionsCountFileBytesThroughTheBuffer) {
    CStdioFile in(fixture("pos.txt", "one\r\ntwo\nthree\r\n"), CFile::modeRead);
    EXPECT_EQ(in.GetLength(), 16u);
    CString line;
    ASSERT_TRUE(in.ReadString(line));
    EXPECT_EQ(in.GetPosition(), 5u);
    EXPECT_EQ(in.Seek(0, CFile::current), 5u);
    ASSERT_TRUE(in.ReadString(line));
    EXPECT_EQ(in.GetPosition(), 9u);
    // Back into the buffer, then past it.
    EXPECT_EQ(in.Seek(5, CFile::begin), 5u);
    ASSERT_TRUE(in.ReadString(line));
    EXPECT_EQ(line, "two");
    in.SeekToBegin();
    char buf[4];
    EXPECT_EQ(in.Read(buf, 4), 4u); // "one\n": CR LF read as LF
    EXPECT_EQ(std::string(buf, 4), "one\n");
    EXPECT_EQ(in.GetPosition(), 5u);
    EXPECT_EQ(in.Seek(-7, CFile::end), 9u);
    ASSERT_TRUE(in.ReadString(line));
    EXPECT_EQ(line, "three");
    EXPECT_FALSE(in.ReadString(line));
    EXPECT_EQ(in.GetPosition(), 16u);
}

TEST_F(CStdioFileTest, ReadingAndWritingTheSameFileKeepPositions) {
    CStdioFile file(fixture("rw.bin", "0123456789"), CFile::modeReadWrite | CFile::typeBinary);
    char buf[3];
    EXPECT_EQ(file.Read(buf, 3), 3u);
    file.Write("ab", 2); // lands at offset 3, not at the end of the read buffer
    EXPECT_EQ(file.GetPosition(), 5u);
    EXPECT_EQ(file.Read(buf, 2), 2u);
    EXPECT_EQ(std::string(buf, 2), "56");
    file.Close();
    EXPECT_EQ(readBytes("rw.bin"), "012ab56789");
}

TEST_F(CStdioFileTest, AFailedWriteIsReportedNotLost) {
    // Buffered text reaches the full device at Close, which must say so.
    CStdioFile full("/dev/full", CFile::modeWrite);
    full.WriteString("line\n");
    try {
        full.Close();
        FAIL() << "no exception";
    } catch (const CFileException &e) {
        EXPECT_EQ(e.m_cause, CFileException::diskFull);
    }
    EXPECT_FALSE(full.IsOpen());

    CStdioFile flushed("/dev/full", CFile::modeWrite);
    flushed.WriteString("line\n");
    EXPECT_THROW(flushed.Flush(), CFileException);
    flushed.Abort();
}

} // namespace
