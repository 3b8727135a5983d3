#include "exchange/Dorrimet/Coordinate.h"
#include "exchange/Dorrimet/PlaneArea.h"
#include "kernels/Brennic/JGDRoundMode.h"
#include "kernels/Grisveld/EarthEllips.h"
#include "kernels/Lunmarg/AngleFunctions.h"
#include "platform/core/CArchive.h"
#include "platform/core/CFile.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// Radians of d degrees m minutes s seconds, the sign applied to the whole.
double rad(double d, double m, double s, bool negative = false) {
    const double deg = d + m / 60.0 + s / 3600.0;
    return (negative ? -deg : deg) * M_PI / 180.0;
}

std::string dms(double radians, int decimals, CrdFmtStyle style = CrdFmtBlank) {
    return Coordinate::GetDMSStr(radians, decimals, style).Bytes();
}

TEST(CoordinateTest, ConstructionAndFlags) {
    const Coordinate empty;
    EXPECT_FALSE(empty.IsValid());
    EXPECT_FALSE(empty.IsHUsed());
    EXPECT_FALSE(empty.IsNUsed());
    EXPECT_EQ(empty.GetX(), 0.0);

    const Coordinate zero(0, 0, 0, false, 0, false);
    EXPECT_TRUE(zero.IsValid());

    Coordinate c(-12345.678, 23456.789, 45.5, true, 36.25, true);
    c.SetBL(0.6, 2.4);
    Coordinate copy(c);
    EXPECT_EQ(copy.GetX(), -12345.678);
    EXPECT_EQ(copy.GetY(), 23456.789);
    EXPECT_EQ(copy.GetB(), 0.6);
    EXPECT_EQ(copy.GetL(), 2.4);
    EXPECT_EQ(copy.GetN(), 36.25);
    EXPECT_TRUE(copy.IsNUsed());

    // SetXYH sets the height flag but not the valid flag.
    Coordinate partial;
    partial.SetXYH(1.0, 2.0, 3.0, true);
    EXPECT_TRUE(partial.IsHUsed());
    EXPECT_FALSE(partial.IsValid());
    c.SetXYH(1.0, 2.0, 3.0, false);
    EXPECT_TRUE(c.IsValid());
    EXPECT_FALSE(c.IsHUsed());
}

TEST(CoordinateTest, EllipsoidalHeightFollowsTheFlags) {
    Coordinate c(0, 0, 45.5, false, 36.25, true);
    EXPECT_EQ(c.GetElpsH(), 0.0); // no height: 0 whatever H and N hold
    c.SetXYH(0, 0, 45.5, true);
    EXPECT_EQ(c.GetElpsH(), 81.75);
    c.SetNUsed(false);
    EXPECT_EQ(c.GetElpsH(), 45.5);
}

TEST(CoordinateTest, CalcBLUsesTheZoneAndRoundsOnlyTheInput) {
    const EarthEllips grs80(6378137.0, 298.257222101);
    const PlaneAreaMercator zone(9, "IX", &grs80, rad(36, 0, 0), rad(139, 50, 0), 0.9999, 0, 0);

    Coordinate c(-34567.8917, 12345.6784, 0, false, 0, false);
    c.SetBL(7.0, 8.0);
    c.CalcBL(nullptr);
    EXPECT_EQ(c.GetB(), 7.0);
    EXPECT_EQ(c.GetL(), 8.0);

    double b = 0;
    double l = 0;
    zone.XYtoBL(-34567.8917, 12345.6784, &b, &l);
    c.CalcBL(&zone);
    EXPECT_EQ(c.GetB(), b);
    EXPECT_EQ(c.GetL(), l);

    // Rounded at millimetres: -34567.892 and 12345.678.
    const JGDRoundMode mm(-3, 261);
    zone.XYtoBL(-34567.892, 12345.678, &b, &l);
    c.CalcBL(&zone, mm);
    EXPECT_NEAR(c.GetB(), b, 1e-15);
    EXPECT_NEAR(c.GetL(), l, 1e-15);
    EXPECT_EQ(c.GetX(), -34567.8917);
    EXPECT_EQ(c.GetY(), 12345.6784);

    c.SetBL(7.0, 8.0);
    c.CalcBL(nullptr, mm);
    EXPECT_EQ(c.GetB(), 7.0);
}

TEST(CoordinateTest, NumberTexts) {
    Coordinate c(-12345.6786, 2.5, 45.0, true, -0.125, true);
    EXPECT_EQ(c.GetStrX(3).Bytes(), " -12345.679");
    EXPECT_EQ(c.GetStrY(3).Bytes(), "      2.500");
    EXPECT_EQ(c.GetStrH(0).Bytes(), "         45");
    EXPECT_EQ(c.GetStrN(2).Bytes(), "      -0.12");
    c.SetBL(rad(35, 7, 5.25), rad(139, 50, 12.5));
    EXPECT_EQ(c.GetStrB(2, CrdFmtBlank).Bytes(), " 35 07 05.25");
    EXPECT_EQ(c.GetStrL(3, CrdFmtHyphen).Bytes(), "139-50-12.500");
}

TEST(CoordinateTest, DMSTextRows) {
    EXPECT_EQ(dms(rad(35, 7, 5.25), 2), " 35 07 05.25");
    EXPECT_EQ(dms(rad(35, 7, 5.25), 2, CrdFmtHyphen), " 35-07-05.25");
    EXPECT_EQ(dms(rad(35, 7, 45.1234), 4), " 35 07 45.1234");
    // Exactly 10 seconds takes the row without the extra "0".
    EXPECT_EQ(dms(rad(35, 7, 10.0), 2), " 35 07 10.00");
    EXPECT_EQ(dms(rad(35, 7, 0.0), 1), " 35 07 00.0");
    EXPECT_EQ(dms(rad(135, 0, 9.5), 3), "135 00 09.500");
    // Only bit 0 of the style counts.
    EXPECT_EQ(dms(rad(35, 7, 5.25), 2, static_cast<CrdFmtStyle>(3)), " 35-07-05.25");
    EXPECT_EQ(dms(rad(35, 7, 5.25), 2, static_cast<CrdFmtStyle>(2)), " 35 07 05.25");
}

TEST(CoordinateTest, DMSTextCarriesSecondsRoundedAtThePrintedDecimals) {
    EXPECT_EQ(dms(rad(35, 7, 59.996), 2), " 35 08 00.00");
    EXPECT_EQ(dms(rad(35, 59, 59.9996), 3), " 36 00 00.000");
    EXPECT_EQ(dms(rad(35, 59, 59.9996), 3, CrdFmtHyphen), " 36-00-00.000");
    // Below 10 seconds but printing as 10: the wider row, no "010.00".
    EXPECT_EQ(dms(rad(35, 7, 9.996), 2), " 35 07 10.00");
    EXPECT_EQ(dms(rad(35, 7, 9.994), 2), " 35 07 09.99");
    EXPECT_EQ(dms(rad(35, 7, 59.994), 2), " 35 07 59.99");
    EXPECT_EQ(dms(rad(359, 59, 59.99999), 4), "360 00 00.0000");
}

TEST(CoordinateTest, DMSTextKeepsTheSignBelowOneDegree) {
    EXPECT_EQ(dms(rad(35, 30, 0, true), 2), "-35 30 00.00");
    EXPECT_EQ(dms(rad(5, 30, 0, true), 2), " -5 30 00.00");
    EXPECT_EQ(dms(rad(0, 30, 0, true), 2), " -0 30 00.00");
    EXPECT_EQ(dms(rad(0, 0, 5.5, true), 1, CrdFmtHyphen), " -0-00-05.5");
    EXPECT_EQ(dms(rad(0, 59, 59.999, true), 2), " -1 00 00.00");
    // An angle that prints as zero has no sign.
    EXPECT_EQ(dms(rad(0, 0, 0.001, true), 2), "  0 00 00.00");
    EXPECT_EQ(dms(-0.0, 2), "  0 00 00.00");
}

TEST(CoordinateTest, DMSTextOddArguments) {
    // Without decimals there is no point: the seconds keep two columns.
    EXPECT_EQ(dms(rad(35, 7, 45.4), 0), " 35 07 45");
    EXPECT_EQ(dms(rad(35, 7, 5.4), 0), " 35 07 05");
    EXPECT_EQ(dms(rad(35, 7, 59.6), 0), " 35 08 00");
    EXPECT_EQ(dms(rad(35, 7, 5.4), -3), " 35 07 05");
    EXPECT_EQ(dms(std::numeric_limits<double>::quiet_NaN(), 2), "");
    EXPECT_EQ(dms(std::numeric_limits<double>::infinity(), 2), "");
}

class CoordinateArchiveTest : public testsupport::TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        m_file = path("coord.bin");
    }

    void writeBytes(const std::string &bytes) const { put(bytes, "coord.bin"); }
    std::string readBytes() const { return get("coord.bin"); }

    template <typename Op> void expectArchiveError(int cause, Op op) {
        try {
            op();
            ADD_FAILURE() << "no exception, expected cause " << cause;
        } catch (const CArchiveException &e) {
            EXPECT_EQ(e.m_cause, cause);
            EXPECT_EQ(e.m_strFileName, m_file);
        }
    }

    CString m_file;
};

// X 1.5, Y -2.25, H 100.0, hUsed 1, valid 1.
const std::string kRecord("\x00\x00\x00\x00\x00\x00\xF8\x3F"
                          "\x00\x00\x00\x00\x00\x00\x02\xC0"
                          "\x00\x00\x00\x00\x00\x00\x59\x40"
                          "\x01\x00\x00\x00"
                          "\x01\x00\x00\x00",
                          32);

TEST_F(CoordinateArchiveTest, WritesTheRecordByteForByte) {
    Coordinate c(1.5, -2.25, 100.0, true, 36.5, true);
    c.SetBL(0.5, 2.0);
    Coordinate heightless(1.5, -2.25, 100.0, false, 0, false);
    heightless.SetValid(false);
    {
        CFile file(m_file, CFile::modeCreate | CFile::modeWrite);
        CArchive ar(&file, CArchive::store);
        EXPECT_TRUE(c.Write(ar));
        EXPECT_TRUE(heightless.Write(ar));
        ar.Close();
        file.Close();
    }
    std::string second = kRecord;
    second[24] = second[28] = '\0';
    EXPECT_EQ(readBytes(), kRecord + second);
}

TEST_F(CoordinateArchiveTest, ReadsTheRecordAndKeepsTheUnstoredFields) {
    std::string flagsOdd = kRecord;
    flagsOdd[24] = '\x02'; // any non-zero is true
    flagsOdd.replace(28, 4, "\xFF\xFF\xFF\xFF", 4);
    std::string flagsOff = kRecord;
    flagsOff.replace(24, 8, std::string(8, '\0'));
    writeBytes(flagsOdd + flagsOff);

    Coordinate c(9, 9, 9, false, 36.5, true);
    c.SetBL(0.5, 2.0);
    c.SetValid(false);
    CFile file(m_file, CFile::modeRead);
    CArchive ar(&file, CArchive::load);
    EXPECT_TRUE(c.Read(ar));
    EXPECT_EQ(c.GetX(), 1.5);
    EXPECT_EQ(c.GetY(), -2.25);
    EXPECT_EQ(c.GetH(), 100.0);
    EXPECT_TRUE(c.IsHUsed());
    EXPECT_TRUE(c.IsValid());
    EXPECT_EQ(c.GetB(), 0.5);
    EXPECT_EQ(c.GetL(), 2.0);
    EXPECT_EQ(c.GetN(), 36.5);
    EXPECT_TRUE(c.IsNUsed());

    EXPECT_TRUE(c.Read(ar));
    EXPECT_FALSE(c.IsHUsed());
    EXPECT_FALSE(c.IsValid());
    EXPECT_EQ(c.GetX(), 1.5);
}

TEST_F(CoordinateArchiveTest, WrongDirectionAndShortFile) {
    writeBytes(kRecord.substr(0, 31));
    Coordinate c(7, 8, 9, true, 0, false);
    {
        CFile file(m_file, CFile::modeRead);
        CArchive ar(&file, CArchive::load);
        expectArchiveError(CArchiveException::readOnly, [&] { c.Write(ar); });
        expectArchiveError(CArchiveException::endOfFile, [&] { c.Read(ar); });
    }
    // A short record changes nothing.
    EXPECT_EQ(c.GetX(), 7.0);
    EXPECT_EQ(c.GetY(), 8.0);
    EXPECT_EQ(c.GetH(), 9.0);
    EXPECT_TRUE(c.IsValid());

    CFile file(m_file, CFile::modeCreate | CFile::modeWrite);
    CArchive ar(&file, CArchive::store);
    expectArchiveError(CArchiveException::writeOnly, [&] { c.Read(ar); });
    ar.Close();
    file.Close();
    EXPECT_EQ(readBytes(), "");
}

} // namespace
