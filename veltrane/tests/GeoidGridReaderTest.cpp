// The geoid grid reader on small grids written here in the published ASCII layout, and the mean
// geoid height over basis points that it serves.
#include "veltrane/conversion/GeoidGridReader.h"
#include "exchange/Dorrimet/PlaneArea.h"
#include "kernels/Brennic/JGDRoundMode.h"
#include "tests/support/TempFolder.h"
#include "veltrane/conversion/CalcAverage.h"
#include "veltrane/conversion/CoordConvParaTrans.h"
#include "veltrane/tests/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <filesystem>

using namespace enginetest;

namespace {

constexpr double kSecPerRad = 206264.80624709636;

// The least radians whose arc seconds, as the reader computes them, are not below `seconds`
// (not every number of seconds is reached exactly).
double Rad(double seconds) {
    double r = seconds / kSecPerRad;
    while (r * kSecPerRad < seconds)
        r = std::nextafter(r, 10.0);
    while (std::nextafter(r, -10.0) * kSecPerRad >= seconds)
        r = std::nextafter(r, -10.0);
    EXPECT_NEAR(r * kSecPerRad, seconds, 1e-9);
    return r;
}

// The value the test grids hold at column i and row j.
double Value(int i, int j) { return 30.0 + 0.01 * i + 0.02 * j; }

// The linear function that the grid samples, at (lat, lon) in arc seconds.
double Height(double phi, double lambda) {
    return 30.0 + 0.01 * (lambda - 432000.0) / 90.0 + 0.02 * (phi - 72000.0) / 60.0;
}

struct Layout {
    bool ver2Lines;      // 259-byte header and 253-byte lines, else 254 and 254
    const char *version; // the 8 bytes at offset 52 of the header
};

// A grid of `rows` rows of 43 lines of 28 values of 9 characters ("%9.4f"), 1204 values per
// row, the columns past 1200 filling the last line. noData marks values as 999.
std::string Grid(const Layout &layout, int rows, bool (*noData)(int, int) = nullptr) {
    const int headerLength = layout.ver2Lines ? 259 : 254;
    std::string header(headerLength, ' ');
    header.replace(0, 19, "GEOID GRID FOR TEST");
    header.replace(52, 8, layout.version, 8);
    header.replace(headerLength - 2, 2, "\r\n");
    std::string text = header;
    char value[16];
    for (int j = 0; j < rows; ++j) {
        for (int line = 0; line < 43; ++line) {
            for (int k = 0; k < 28; ++k) {
                const int i = line * 28 + k;
                const bool none = i > 1200 || (noData && noData(i, j));
                std::snprintf(value, sizeof value, "%9.4f", none ? 999.0 : Value(i, j));
                text += value;
            }
            text += layout.ver2Lines ? "\n" : "\r\n";
        }
    }
    return text;
}

const Layout kVer1{false, "ver1.0  "};
const Layout kVer2{true, "ver2    "};

class GeoidGrid : public testsupport::TempFolderTest {};

TEST_F(GeoidGrid, BothLayoutsInterpolateTheGridBilinearly) {
    // "ver2" followed by anything but blanks is the first layout.
    for (const Layout &layout :
         {kVer1, kVer2, Layout{false, "ver2   x"}, Layout{false, "ver2\0\0\0\0"}}) {
        SCOPED_TRACE(std::string(layout.version, 8));
        GeoidGridReader reader;
        ASSERT_EQ(reader.GeoidOpen(put(Grid(layout, 3), "grid.asc")), 1);
        EXPECT_EQ(reader.GeoidGetError(), 0);
        double v = 0.0;
        ASSERT_EQ(reader.GeoidReadValue(1200, 2, &v), 1);
        EXPECT_DOUBLE_EQ(v, Value(1200, 2));
        ASSERT_EQ(reader.GeoidReadValue(29, 1, &v), 1);
        EXPECT_DOUBLE_EQ(v, Value(29, 1));
        // Interior positions, and the south-west corner of the grid with weight 1.
        const double positions[][2] = {
            {72012.5, 432040.0}, {72100.0, 500000.25}, {72000.0, 432000.0}, {72060.0, 539910.0}};
        for (const auto &[phi, lambda] : positions) {
            double n = -1.0;
            GeoidCell cell;
            ASSERT_EQ(reader.GeoidGetHeight(Rad(phi), Rad(lambda), &n, &cell), 1)
                << phi << " " << lambda << " error " << reader.GeoidGetError();
            EXPECT_NEAR(n, Height(phi, lambda), 1e-9);
            const int i = static_cast<int>((lambda - 432000.0) / 90.0);
            const int j = static_cast<int>((phi - 72000.0) / 60.0);
            EXPECT_EQ(cell.west, 432000 + 90 * i);
            EXPECT_EQ(cell.south, 72000 + 60 * j);
            EXPECT_EQ(cell.east, cell.west + 90);
            EXPECT_EQ(cell.north, cell.south + 60);
            EXPECT_DOUBLE_EQ(cell.v01, Value(i, j + 1));
            EXPECT_DOUBLE_EQ(cell.v10, Value(i + 1, j));
        }
        double corner = 0.0;
        ASSERT_EQ(reader.GeoidGetHeight(Rad(72000.0), Rad(432000.0), &corner, nullptr), 1);
        EXPECT_NEAR(corner, Value(0, 0), 1e-12);
    }
}

TEST_F(GeoidGrid, TheNorthAndEastEdgesAndTheOutsideAreRefused) {
    GeoidGridReader reader;
    ASSERT_EQ(reader.GeoidOpen(put(Grid(kVer1, 3), "grid.asc")), 1);
    double n = 5.0;
    // Just inside the east edge the last column is read.
    ASSERT_EQ(reader.GeoidGetHeight(Rad(72030.0), Rad(539999.5), &n, nullptr), 1);
    EXPECT_NEAR(n, Height(72030.0, 539999.5), 1e-9);
    // On the east and north edges the cell would lie beyond the grid; outside it is refused
    // too, and so is a position that is not a number.
    const double refused[][2] = {{72030.0, 540000.0}, {180000.0, 500000.0}, {71999.0, 500000.0},
                                 {72030.0, 431999.0}, {180060.0, 500000.0}, {72030.0, 540090.0}};
    for (const auto &[phi, lambda] : refused) {
        n = 5.0;
        EXPECT_EQ(reader.GeoidGetHeight(Rad(phi), Rad(lambda), &n, nullptr), 0);
        EXPECT_EQ(reader.GeoidGetError(), 5) << phi << " " << lambda;
        EXPECT_EQ(n, 0.0);
    }
    EXPECT_EQ(reader.GeoidGetHeight(std::nan(""), Rad(500000.0), &n, nullptr), 0);
    EXPECT_EQ(reader.GeoidGetError(), 5);
    double v = 0.0;
    EXPECT_EQ(reader.GeoidReadValue(1201, 0, &v), 0);
    EXPECT_EQ(reader.GeoidGetError(), 5);
    EXPECT_EQ(v, 999.0);
    // Rows the file does not hold cannot be read.
    EXPECT_EQ(reader.GeoidGetHeight(Rad(72150.0), Rad(500000.0), &n, nullptr), 0);
    EXPECT_EQ(reader.GeoidGetError(), 4);
}

TEST_F(GeoidGrid, ACornerWithoutDataFailsThePositionEvenWithWeightZero) {
    GeoidGridReader reader;
    const auto northEastOfFirstCell = [](int i, int j) { return i == 1 && j == 1; };
    ASSERT_EQ(reader.GeoidOpen(put(Grid(kVer1, 3, northEastOfFirstCell), "grid.asc")), 1);
    double n = 5.0;
    GeoidCell cell;
    EXPECT_EQ(reader.GeoidGetHeight(Rad(72000.0), Rad(432000.0), &n, &cell), 0);
    EXPECT_EQ(reader.GeoidGetError(), 6);
    EXPECT_EQ(n, 0.0);
    EXPECT_EQ(cell.v11, 999.0);
    EXPECT_DOUBLE_EQ(cell.v00, Value(0, 0));
    // The neighbouring cell does not touch it.
    EXPECT_EQ(reader.GeoidGetHeight(Rad(72000.0), Rad(432180.0), &n, &cell), 1);
}

TEST_F(GeoidGrid, ValuesAreReadInTheCLocaleAndMustBeNumbers) {
    std::string grid = Grid(kVer1, 3);
    // Value (2, 0) becomes text that is not a number.
    grid.replace(254 + 2 * 9, 9, "  30.0x00");
    const CString file = put(grid, "grid.asc");
    // A locale whose decimal separator is a comma, given back at the end.
    struct Locale {
        std::string previous = std::setlocale(LC_ALL, nullptr);
        ~Locale() { std::setlocale(LC_ALL, previous.c_str()); }
    } restore;
    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr)
        << "locale de_DE.UTF-8 is missing; generate it with locale-gen";
    GeoidGridReader reader;
    ASSERT_EQ(reader.GeoidOpen(file), 1);
    double v = 0.0;
    EXPECT_EQ(reader.GeoidReadValue(1, 0, &v), 1);
    EXPECT_EQ(v, 30.01);
    EXPECT_EQ(reader.GeoidReadValue(2, 0, &v), 0);
    EXPECT_EQ(reader.GeoidGetError(), 4);
    EXPECT_EQ(v, 999.0);
}

TEST_F(GeoidGrid, OpeningFailuresAndAClosedReader) {
    GeoidGridReader reader;
    double n = 5.0;
    EXPECT_EQ(reader.GeoidGetHeight(Rad(72030.0), Rad(500000.0), &n, nullptr), 0);
    EXPECT_EQ(reader.GeoidGetError(), 3);
    EXPECT_EQ(n, 0.0);
    EXPECT_EQ(reader.GeoidOpen(path("missing.asc")), 0);
    EXPECT_EQ(reader.GeoidGetError(), 2);
    // A file shorter than the header read is closed again.
    EXPECT_EQ(reader.GeoidOpen(put(std::string(258, ' '), "short.asc")), 0);
    EXPECT_EQ(reader.GeoidGetError(), 4);
    EXPECT_EQ(reader.GeoidGetHeight(Rad(72030.0), Rad(500000.0), &n, nullptr), 0);
    EXPECT_EQ(reader.GeoidGetError(), 3);
    ASSERT_EQ(reader.GeoidOpen(put(Grid(kVer1, 3), "grid.asc")), 1);
    EXPECT_EQ(reader.GeoidClose(), 1);
    EXPECT_EQ(reader.GeoidGetHeight(Rad(72030.0), Rad(500000.0), &n, nullptr), 0);
    EXPECT_EQ(reader.GeoidGetError(), 3);
}

TEST_F(GeoidGrid, LongPathsAndTwoReadersAtOnce) {
    // A folder path far beyond 512 bytes.
    std::filesystem::path deep = m_dir;
    for (int i = 0; i < 12; ++i)
        deep /= std::string(60, static_cast<char>('a' + i));
    std::filesystem::create_directories(deep);
    const std::string name = (deep / "grid.asc").string();
    ASSERT_GT(name.size(), 700u);
    testsupport::WriteFileBytes(name, Grid(kVer2, 3));
    GeoidGridReader first;
    ASSERT_EQ(first.GeoidOpen(FromUtf8(name)), 1);

    // Each reader keeps its own file and layout.
    GeoidGridReader second;
    ASSERT_EQ(second.GeoidOpen(put(Grid(kVer1, 3, [](int i, int) { return i == 7; }), "g.asc")), 1);
    double a = 0.0, b = 0.0;
    EXPECT_EQ(first.GeoidReadValue(7, 1, &a), 1);
    EXPECT_EQ(second.GeoidReadValue(7, 1, &b), 1);
    EXPECT_DOUBLE_EQ(a, Value(7, 1));
    EXPECT_EQ(b, 999.0);
}

TEST_F(GeoidGrid, TheMeanGeoidHeightOfTheBasisPoints) {
    // Zone XVIII has its origin on 20 degrees north, the southern edge of the grid.
    Veltrane db;
    ASSERT_TRUE(db.SetCurrentPlaneArea(18));
    const PlaneArea *zone = db.GetCurrentPlaneArea(true);
    const double xy[][2] = {{150.0, 300.0}, {1200.0, -2500.0}, {2800.0, 4000.0}, {600.0, 50.0}};
    const JGDRoundMode mm(-3, 261);
    double sum = 0.0;
    unsigned id = 0;
    for (const auto &[x, y] : xy) {
        Coordinate observed(x, y, 0.0, false, 0.0, false);
        observed.CalcBL(zone);
        ++id;
        Point p =
            BasisPoint(id, CString("B") + std::to_string(id).c_str(), x - 300.0, y + 400.0, x, y);
        p.SetCnvBasisITRF(observed);
        db.Append(p);
        sum = mm.rround(
            mm.rround(Height(observed.GetB() * kSecPerRad, observed.GetL() * kSecPerRad)) + sum);
    }
    // A point outside the grid does not count.
    Coordinate south(-5000.0, 0.0, 0.0, false, 0.0, false);
    south.CalcBL(zone);
    Point outside = BasisPoint(9, "S", -5300.0, 400.0, -5000.0, 0.0);
    outside.SetCnvBasisITRF(south);
    db.Append(outside);

    CalcAverageGeo average;
    average.SetDataBase(&db);
    EXPECT_FALSE(average.CalcAverage()); // no model file given
    db.SetGeoideModelFile(put(Grid(kVer1, 3), "grid.asc"));
    average.SetGsiGeome(db.GetGeoideModelFile(0));
    ASSERT_TRUE(average.CalcAverage());
    double n = 0.0;
    ASSERT_TRUE(average.GetAverage(&n));
    EXPECT_DOUBLE_EQ(n, mm.rround(sum / 4));

    // The engines take it with the geoid bit and the take-given switch off.
    CoordCnvOption option;
    option.m_nFlag = 2 | CoordCnvOption::kAddGeoidHeight;
    option.m_nTakeGeoid = 0;
    CoordConvParaTrans2 engine(db, &db, CoordConvParam::CalcModeNormal, 0);
    ASSERT_TRUE(engine.Calculation(option));
    EXPECT_EQ(engine.GetAveGeoHgt(), n);
    // Without the use-geoid switch the mean geoid height is 0 whatever the file says.
    option.m_fUseGeoid = false;
    ASSERT_TRUE(engine.Calculation(option));
    EXPECT_EQ(engine.GetAveGeoHgt(), 0.0);
}

} // namespace
