#include "platform/core/CArchive.h"
#include "platform/core/CStdioFile.h"

#include "tests/support/Bytes.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class CArchiveTest : public testsupport::TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        m_path = path("data.bin");
    }

    void writeBytes(const std::string &bytes) const { put(bytes, "data.bin"); }
    std::string readBytes() const { return get("data.bin"); }

    // Expects op to raise CArchiveException with the cause and the file's name.
    template <typename Op> void expectArchiveError(int cause, Op op) {
        try {
            op();
            ADD_FAILURE() << "no exception, expected cause " << cause;
        } catch (const CArchiveException &e) {
            EXPECT_EQ(e.m_cause, cause);
            EXPECT_EQ(e.m_strFileName, m_path);
        }
    }

    CString m_path;
};

using testsupport::bytes;

TEST_F(CArchiveTest, TypedValuesAreLittleEndianFixedWidth) {
    const std::string expected =
        bytes({0xFE, 0xFF, 0xFF, 0xFF,                         // int32 -2
               0xEF, 0xBE, 0xAD, 0xDE,                         // uint32 0xDEADBEEF
               0xFD, 0xFF,                                     // int16 -3
               0xEF, 0xBE,                                     // uint16 0xBEEF
               0x7F,                                           // BYTE
               0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xF8, 0x3F, // double 1.5
               0x00, 0x00, 0x00, 0xC0,                         // float -2
               0x02, 0x95, 0x5C});                             // CString "表"
    {
        CFile file(m_path, CFile::modeCreate | CFile::modeWrite);
        CArchive ar(&file, CArchive::store);
        EXPECT_TRUE(ar.IsStoring());
        ar << std::int32_t(-2) << std::uint32_t(0xDEADBEEF) << std::int16_t(-3)
           << std::uint16_t(0xBEEF) << BYTE(0x7F) << 1.5 << -2.0f << CString("表");
        ar.Close();
        file.Close();
    }
    EXPECT_EQ(readBytes(), expected);

    CFile file(m_path, CFile::modeRead);
    CArchive ar(&file, CArchive::load);
    EXPECT_TRUE(ar.IsLoading());
    EXPECT_EQ(ar.GetFile(), &file);
    std::int32_t i32;
    std::uint32_t u32;
    std::int16_t i16;
    std::uint16_t u16;
    BYTE b;
    double d;
    float f;
    CString s;
    ar >> i32 >> u32 >> i16 >> u16 >> b >> d >> f >> s;
    EXPECT_EQ(i32, -2);
    EXPECT_EQ(u32, 0xDEADBEEFu);
    EXPECT_EQ(i16, -3);
    EXPECT_EQ(u16, 0xBEEF);
    EXPECT_EQ(b, 0x7F);
    EXPECT_EQ(d, 1.5);
    EXPECT_EQ(f, -2.0f);
    EXPECT_EQ(s, "表");
    EXPECT_EQ(ar.GetRemainingLength(), 0u);
}

TEST_F(CArchiveTest, StringLengthForms) {
    struct Case {
        int length;
        std::string header;
    };
    const Case cases[] = {
        {0, bytes({0x00})},
        {254, bytes({0xFE})},
        {255, bytes({0xFF, 0xFF, 0x00})},
        {65533, bytes({0xFF, 0xFD, 0xFF})},
        {65534, bytes({0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0x00, 0x00})},
        {70000, bytes({0xFF, 0xFF, 0xFF, 0x70, 0x11, 0x01, 0x00})},
    };
    for (const Case &c : cases) {
        std::string body(static_cast<std::size_t>(c.length), 'a');
        for (std::size_t i = 0; i < body.size(); i += 7)
            body[i] = static_cast<char>('0' + i % 10);
        {
            CFile file(m_path, CFile::modeCreate | CFile::modeWrite);
            CArchive ar(&file, CArchive::store);
            ar << CString(body) << BYTE(0x5A);
            ar.Close();
            file.Close();
        }
        EXPECT_EQ(readBytes(), c.header + body + "Z") << c.length;

        // Read from the hand-built bytes.
        writeBytes(c.header + body + "Z");
        CFile file(m_path, CFile::modeRead);
        CArchive ar(&file, CArchive::load);
        CString text;
        BYTE after = 0;
        ar >> text >> after;
        EXPECT_EQ(text.Bytes(), body) << c.length;
        EXPECT_EQ(after, 'Z') << c.length;
    }
}

TEST_F(CArchiveTest, DamagedFilesRaiseArchiveErrors) {
    // A double cut short.
    writeBytes(bytes({0x00, 0x00, 0x00, 0x00, 0x00}));
    {
        CFile file(m_path, CFile::modeRead);
        CArchive ar(&file, CArchive::load);
        double d;
        expectArchiveError(CArchiveException::endOfFile, [&] { ar >> d; });
    }
    // A string body cut short.
    writeBytes(bytes({0x0A, 'a', 'b', 'c'}));
    {
        CFile file(m_path, CFile::modeRead);
        CArchive ar(&file, CArchive::load);
        CString s("kept");
        expectArchiveError(CArchiveException::endOfFile, [&] { ar >> s; });
        EXPECT_EQ(s, "kept");
    }
    // Lengths far beyond the file are refused before any allocation.
    for (const std::string &header :
         {bytes({0xFF, 0xFF, 0xFF, 0xF0, 0xFF, 0xFF, 0xFF}),
          bytes({0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F}), bytes({0xFF, 0xFD, 0xFF})}) {
        writeBytes(header + "short");
        CFile file(m_path, CFile::modeRead);
        CArchive ar(&file, CArchive::load);
        CString s;
        expectArchiveError(CArchiveException::endOfFile, [&] { ar >> s; });
    }
    // The wide-string marker is not this system's text.
    writeBytes(bytes({0xFF, 0xFE, 0xFF, 0x02, 'a', 0, 'b', 0}));
    {
        CFile file(m_path, CFile::modeRead);
        CArchive ar(&file, CArchive::load);
        CString s;
        expectArchiveError(CArchiveException::badSchema, [&] { ar >> s; });
    }
}

TEST_F(CArchiveTest, RawReadIsShortAtTheEndAndDirectionIsChecked) {
    writeBytes(bytes({1, 0, 0, 0, 2, 0}));
    {
        CFile file(m_path, CFile::modeRead);
        CArchive ar(&file, CArchive::load, 4);
        std::int32_t value = 0;
        EXPECT_EQ(ar.Read(&value, 4), 4u);
        EXPECT_EQ(value, 1);
        EXPECT_EQ(ar.GetRemainingLength(), 2u);
        value = 0;
        EXPECT_EQ(ar.Read(&value, 4), 2u);
        EXPECT_EQ(value, 2);
        EXPECT_EQ(ar.Read(&value, 4), 0u);
        // Writing to a loading archive is readOnly.
        expectArchiveError(CArchiveException::readOnly, [&] { ar << std::int32_t(1); });
        expectArchiveError(CArchiveException::readOnly, [&] { ar.Write("x", 1); });
    }
    CFile file(m_path, CFile::modeCreate | CFile::modeReadWrite);
    CArchive ar(&file, CArchive::store);
    std::int32_t value;
    // Reading from a storing archive is writeOnly.
    expectArchiveError(CArchiveException::writeOnly, [&] { ar >> value; });
    expectArchiveError(CArchiveException::writeOnly, [&] { ar.Read(&value, 4); });
}

TEST_F(CArchiveTest, FlushHandsTheFilePositionBack) {
    writeBytes(bytes({1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    // Over a binary stdio file, as the program opens its project file.
    CStdioFile file(m_path, CFile::modeRead | CFile::typeBinary);
    {
        CArchive ar(&file, CArchive::load);
        BYTE b;
        ar >> b >> b >> b;
        EXPECT_EQ(b, 3);
        EXPECT_EQ(ar.GetRemainingLength(), 7u);
        ar.Close();
    }
    EXPECT_EQ(file.GetPosition(), 3u);
    BYTE next = 0;
    EXPECT_EQ(file.Read(&next, 1), 1u);
    EXPECT_EQ(next, 4);
}

TEST_F(CArchiveTest, ValuesAcrossTinyBuffersAndLargeWrites) {
    const std::string big(10000, 'q');
    {
        CFile file(m_path, CFile::modeCreate | CFile::modeWrite);
        {
            CArchive ar(&file, CArchive::store, 5);
            for (int i = 0; i < 100; ++i)
                ar << static_cast<double>(i) / 3.0 << std::int32_t(i);
            ar << CString(big);
            ar.Write("end", 3);
        } // the destructor writes what is still buffered
        file.Close();
    }
    EXPECT_EQ(readBytes().size(), 100u * 12 + 3 + big.size() + 3);

    CFile file(m_path, CFile::modeRead);
    CArchive ar(&file, CArchive::load, 5);
    for (int i = 0; i < 100; ++i) {
        double d;
        std::int32_t n;
        ar >> d >> n;
        ASSERT_EQ(d, static_cast<double>(i) / 3.0);
        ASSERT_EQ(n, i);
    }
    CString s;
    ar >> s;
    EXPECT_EQ(s.Bytes(), big);
    char end[4] = {};
    EXPECT_EQ(ar.Read(end, 4), 3u);
    EXPECT_EQ(std::string(end), "end");
}

TEST_F(CArchiveTest, AFailedWriteIsReported) {
    CFile full("/dev/full", CFile::modeWrite);
    CArchive ar(&full, CArchive::store);
    ar << std::int32_t(7); // buffered
    try {
        ar.Close();
        FAIL() << "no exception";
    } catch (const CFileException &e) {
        EXPECT_EQ(e.m_cause, CFileException::diskFull);
    }
    EXPECT_EQ(ar.GetFile(), nullptr);
}

} // namespace
