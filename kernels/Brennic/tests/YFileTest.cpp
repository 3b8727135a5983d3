#include "kernels/Brennic/YFile.h"

#include "tests/support/Bytes.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

using testsupport::bytes;

// A stored text: 32-bit length (bytes + 1), the bytes and a terminator.
std::string text(const std::string &s) {
    const auto n = static_cast<int>(s.size() + 1);
    return bytes({n & 0xFF, (n >> 8) & 0xFF, 0, 0}) + s + '\0';
}

class YFileTest : public testsupport::TempFolderTest {
  protected:
    CString path(const char *name = "set.dat") const { return TempFolderTest::path(name); }
    void put(const std::string &content, const char *name = "set.dat") const {
        TempFolderTest::put(content, name);
    }
    std::string get(const char *name = "set.dat") const { return TempFolderTest::get(name); }
};

TEST_F(YFileTest, WritesEveryRecordTypeAsLittleEndianBytes) {
    YFile f;
    ASSERT_TRUE(f.openWrite(path()));
    EXPECT_TRUE(f.write(true));
    EXPECT_TRUE(f.write(false));
    EXPECT_TRUE(f.write(static_cast<char>(0xFE)));
    EXPECT_TRUE(f.write(static_cast<short>(-2)));
    EXPECT_TRUE(f.write(-123456789L));
    EXPECT_TRUE(f.write(1.5));
    EXPECT_TRUE(f.write(CString("表示"))); // the trail byte of the first character is '\'
    EXPECT_TRUE(f.write(CString()));
    EXPECT_TRUE(f.writeTag("T", 101));
    EXPECT_TRUE(f.close());
    EXPECT_EQ(get(), bytes({1, 0, 0xFE, 0xFE, 0xFF, 0xEB, 0x32, 0xA4, 0xF8, 0,    0,    0,    0,
                            0, 0, 0xF8, 0x3F, 5,    0,    0,    0,    0x95, 0x5C, 0x8E, 0xA6, 0,
                            1, 0, 0,    0,    0,    2,    0,    0,    0,    'T',  0,    101,  0}));
}

TEST_F(YFileTest, ReadsEveryRecordTypeFromHandBuiltBytes) {
    put(bytes({2, 0,    0xFE, 0x00, 0x80, 0xFF, 0xFF, 0xFF, 0xFF, 0,   0,
               0, 0x80, 0,    0,    0,    0,    0,    0,    0xE0, 0xBF}) +
        text("ab") + bytes({0, 0, 0, 0, 7, 0}));
    YFile f;
    ASSERT_TRUE(f.openRead(path()));
    bool yes = false, no = true;
    char ch = 0;
    short minShort = 0, after = 0;
    long minusOne = 0, minLong = 0;
    double half = 0;
    CString ab, empty("x");
    EXPECT_TRUE(f.read(yes) && f.read(no) && f.read(ch) && f.read(minShort) && f.read(minusOne) &&
                f.read(minLong) && f.read(half) && f.read(ab) && f.read(empty) && f.read(after));
    EXPECT_TRUE(yes); // any non-zero byte is true
    EXPECT_FALSE(no);
    EXPECT_EQ(ch, static_cast<char>(0xFE));
    EXPECT_EQ(minShort, SHRT_MIN);
    EXPECT_EQ(minusOne, -1L); // sign-extended into a 64-bit long
    EXPECT_EQ(minLong, static_cast<long>(INT_MIN));
    EXPECT_EQ(half, -0.5);
    EXPECT_EQ(ab, CString("ab"));
    EXPECT_TRUE(empty.IsEmpty()); // a stored length of 0 takes only its four bytes
    EXPECT_EQ(after, 7);
    EXPECT_FALSE(f.read(yes));
    EXPECT_TRUE(yes);
}

TEST_F(YFileTest, ShortReadsAndOversizedTextsFailWithoutChangingTheTarget) {
    const struct {
        std::string content;
        int kind; // 0 short, 1 long, 2 double, 3 text
    } cases[] = {
        {bytes({1}), 0},
        {bytes({1, 2, 3}), 1},
        {bytes({1, 2, 3, 4, 5, 6, 7}), 2},
        {bytes({1, 0, 0}), 3},
        {bytes({5, 0, 0, 0}) + "abcd", 3},              // one byte missing
        {bytes({0xFF, 0xFF, 0xFF, 0xFF}) + "abc", 3},   // never allocated
        {bytes({0, 0, 0, 0x80, 0, 0, 0, 0}) + "ab", 3}, // length above the signed range
    };
    for (const auto &c : cases) {
        put(c.content);
        YFile f;
        ASSERT_TRUE(f.openRead(path()));
        short s = 11;
        long l = 22;
        double d = 33;
        CString t("old");
        const bool ok = c.kind == 0   ? f.read(s)
                        : c.kind == 1 ? f.read(l)
                        : c.kind == 2 ? f.read(d)
                                      : f.read(t);
        EXPECT_FALSE(ok) << c.content.size() << " bytes, kind " << c.kind;
        EXPECT_EQ(s, 11);
        EXPECT_EQ(l, 22);
        EXPECT_EQ(d, 33);
        EXPECT_EQ(t, CString(c.kind == 3 ? "" : "old"));
    }
    // Refused on the length alone: the bytes after it are still unread.
    put(bytes({0xFF, 0xFF, 0xFF, 0xFF}) + "abc" + bytes({4, 0, 0, 0}) + "abc" + '\0');
    YFile f;
    CString t;
    char c = 0;
    ASSERT_TRUE(f.openRead(path()));
    EXPECT_FALSE(f.read(t));
    EXPECT_TRUE(f.read(c) && f.read(c) && f.read(c));
    EXPECT_EQ(c, 'c');
    EXPECT_TRUE(f.read(t)); // a length that uses up the file exactly
    EXPECT_EQ(t, CString("abc"));
}

TEST_F(YFileTest, CheckTagAnswersByTextAndVersion) {
    const CString name("KARNOLIT System Condition");
    put(text("KARNOLIT System Condition") + bytes({101, 0}) + text("KARNOLIT System Condition") +
        bytes({100, 0}) + text("karnolit System Condition") + bytes({101, 0}) +
        text("Quendor System Condition") + bytes({200, 0}) + text("KARNOLIT System Condition") +
        bytes({0xFF, 0xFF}) + text("KARNOLIT System Condition") + bytes({101}));
    YFile f;
    ASSERT_TRUE(f.openRead(path()));
    EXPECT_EQ(f.checkTag(name, 101), 0);
    EXPECT_EQ(f.checkTag(name, 101), 2); // consumed: the next tag is read next
    EXPECT_EQ(f.checkTag(name, 101), 1); // case counts
    EXPECT_EQ(f.getVer(), 0);
    f.setVer(3);
    EXPECT_EQ(f.checkTag(name), 1);
    EXPECT_TRUE(f.isVer(3)); // a foreign tag leaves the version alone
    EXPECT_EQ(f.checkTag(name), 0);
    EXPECT_EQ(f.getVer(), -1);
    EXPECT_EQ(f.checkTag(name, 101), -1); // the version is cut short
}

TEST_F(YFileTest, ModesAndOpensAreGuarded) {
    YFile f;
    bool b = false;
    EXPECT_FALSE(f.read(b));
    EXPECT_FALSE(f.write(true));
    EXPECT_FALSE(f.openRead(path("missing.dat")));
    EXPECT_TRUE(f.close());
    EXPECT_FALSE(f.openRead(""));
    EXPECT_FALSE(fs::exists(m_dir / "missing.dat"));

    put("old content");
    ASSERT_TRUE(f.openWrite(path()));
    EXPECT_FALSE(f.openWrite(path("other.dat")));
    EXPECT_FALSE(f.openRead(path()));
    EXPECT_FALSE(f.read(b));
    EXPECT_TRUE(f.write('x')); // the first file is still the open one
    EXPECT_TRUE(f.close());
    EXPECT_EQ(get(), "x");
    EXPECT_FALSE(fs::exists(m_dir / "other.dat"));

    ASSERT_TRUE(f.openRead(path()));
    EXPECT_FALSE(f.write(true));
    EXPECT_FALSE(f.openRead(path()));
    YFile writer;
    EXPECT_FALSE(writer.openWrite(path())); // a file being read is not replaced
    char c = 0;
    EXPECT_TRUE(f.read(c));
    EXPECT_EQ(c, 'x');
    EXPECT_TRUE(f.close());
    EXPECT_EQ(get(), "x");
}

TEST_F(YFileTest, FailedWritesAreReported) {
    YFile f;
    ASSERT_TRUE(f.openWrite(path()));
    EXPECT_FALSE(f.write(static_cast<long>(INT_MAX) + 1));
    EXPECT_FALSE(f.write(static_cast<long>(INT_MIN) - 1));
    EXPECT_TRUE(f.write(static_cast<long>(INT_MIN)));
    EXPECT_TRUE(f.close());
    EXPECT_EQ(get(), bytes({0, 0, 0, 0x80}));

    if (!fs::exists("/dev/full"))
        GTEST_SKIP() << "no /dev/full";
    ASSERT_TRUE(f.openWrite("/dev/full"));
    EXPECT_FALSE(f.write(1.0));
    EXPECT_FALSE(f.writeTag("T", 1));
}

} // namespace
