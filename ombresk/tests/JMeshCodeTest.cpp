#include "ombresk/JMeshCode.h"
#include "ombresk/JCnvPrmElm.h"

#include "kernels/Grisveld/Projection.h"
#include "kernels/Lunmarg/Angle.h"
#include "kernels/Lunmarg/AngleFunctions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace {

// Radians of degrees, minutes and seconds.
double rad(int deg, int min, double sec) { return (deg * 3600.0 + min * 60.0 + sec) / Angle::m_RI; }

std::string codeStr(const JMeshCode &code) { return code.GetCodeStr().GetString(); }

JMeshCode third(UINT code) {
    JMeshCode c;
    c.SetMeshCode3(code);
    return c;
}

// Plane coordinates that are the latitude and longitude in seconds, so corners can be read.
class SecondsProjection : public Projection {
  public:
    bool BLtoXY(double B, double L, double *x, double *y) const override {
        *x = B * Angle::m_RI;
        *y = L * Angle::m_RI;
        return true;
    }
    bool XYtoBL(double x, double y, double *B, double *L) const override {
        *B = x / Angle::m_RI;
        *L = y / Angle::m_RI;
        return true;
    }
};

} // namespace

// Codes of known places by the national standard: first level is
// floor(latitude x 1.5) and floor(longitude - 100), then 8 x 8 and 10 x 10 divisions.
TEST(JMeshCodeTest, KnownPlacesFollowTheNationalStandard) {
    EXPECT_EQ(codeStr(JMeshCode::CreateMeshCode(rad(35, 40, 0), rad(139, 45, 0), 2)), "53394600");
    // Osaka, Naha and Sapporo at the first level.
    EXPECT_EQ(JMeshCode::CreateMeshCode(rad(34, 41, 0), rad(135, 30, 0), 0).GetCode1(), 5235);
    EXPECT_EQ(JMeshCode::CreateMeshCode(rad(26, 12, 0), rad(127, 41, 0), 0).GetCode1(), 3927);
    EXPECT_EQ(JMeshCode::CreateMeshCode(rad(43, 3, 0), rad(141, 21, 0), 0).GetCode1(), 6441);
    // 34d41'30" x 1.5 = 52.0375: row 52, then 0.3 x 8 -> 0, 0.3 x 10 -> 3;
    // 135d30'15": column 35, 0.50417 x 8 -> 4, 0.0333 x 10 -> 0.
    EXPECT_EQ(codeStr(JMeshCode::CreateMeshCode(rad(34, 41, 30), rad(135, 30, 15), 2)), "52350430");

    const JMeshCode level1 = JMeshCode::CreateMeshCode(rad(35, 40, 0), rad(139, 45, 0), 1);
    EXPECT_EQ(level1, JMeshCode(5339, 46, 255));
    const JMeshCode level0 = JMeshCode::CreateMeshCode(rad(35, 40, 0), rad(139, 45, 0), 0);
    EXPECT_EQ(level0, JMeshCode(5339, 255, 255));
    // The seconds form agrees with the radian form.
    EXPECT_EQ(JMeshCode::CreateMeshCode(35 * 3600 + 40 * 60, 139 * 3600 + 45 * 60, 2),
              third(53394600));
}

TEST(JMeshCodeTest, CornersBelongToTheSquareToTheirNorthEast) {
    // Exactly on the south-west corner: that square; one second south: the square below.
    EXPECT_EQ(codeStr(JMeshCode::CreateMeshCode(rad(35, 40, 0), rad(139, 45, 0), 2)), "53394600");
    EXPECT_EQ(codeStr(JMeshCode::CreateMeshCode(rad(35, 39, 59), rad(139, 45, 0), 2)), "53393690");
    EXPECT_EQ(codeStr(JMeshCode::CreateMeshCode(rad(35, 40, 0), rad(139, 44, 59), 2)), "53394509");
    // Seconds are rounded to 7 decimals before they are cut: a hair below the corner
    // is on it, a tenth of a second below is not.
    EXPECT_EQ(codeStr(JMeshCode::CreateMeshCode(rad(35, 40, -1e-9), rad(139, 45, 0), 2)),
              "53394600");
    EXPECT_EQ(codeStr(JMeshCode::CreateMeshCode(rad(35, 40, -0.1), rad(139, 45, 0), 2)),
              "53393690");
}

TEST(JMeshCodeTest, PointsWithoutASquareGiveTheDefaultCode) {
    const JMeshCode none;
    EXPECT_EQ(none, JMeshCode(0, 255, 255));
    EXPECT_EQ(JMeshCode::CreateMeshCode(rad(-35, 0, 0), rad(139, 0, 0), 2), none);
    // Below one degree the packed value carries the sign, not the degrees.
    EXPECT_EQ(JMeshCode::CreateMeshCode(rad(0, -30, 0), rad(139, 0, 0), 2), none);
    EXPECT_EQ(JMeshCode::CreateMeshCode(rad(35, 0, 0), rad(0, 0, -1), 2), none);
    EXPECT_EQ(JMeshCode::CreateMeshCode(-1, 500000, 2), none);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(JMeshCode::CreateMeshCode(nan, rad(139, 0, 0), 2), none);
    EXPECT_EQ(JMeshCode::CreateMeshCode(1e10, rad(139, 0, 0), 2), none);
}

// The square of a point is that of its whole seconds after the seconds are rounded to 7
// decimals, as RadToDMS3 gives them; points are taken all over Japan and a hair either side
// of whole seconds, where the rounding decides.
TEST(JMeshCodeTest, SquareIsThatOfTheSecondsRoundedToSevenDecimals) {
    auto expected = [](double B, double L) {
        int dB = 0, mB = 0, dL = 0, mL = 0;
        double sB = 0, sL = 0;
        RadToDMS3(B, &dB, &mB, &sB, 7);
        RadToDMS3(L, &dL, &mL, &sL, 7);
        return JMeshCode::CreateMeshCode(dB * 3600 + mB * 60 + static_cast<int>(sB),
                                         dL * 3600 + mL * 60 + static_cast<int>(sL), 2);
    };
    std::mt19937_64 rng(42);
    std::uniform_int_distribution<int> lat(20 * 3600, 46 * 3600), lon(122 * 3600, 154 * 3600);
    const double offsets[] = {0.0,     1e-9,    -1e-9,    4.9e-8, -4.9e-8, 5.1e-8,
                              -5.1e-8, 1.01e-6, -1.01e-6, 0.25,   0.5,     0.999999};
    for (int i = 0; i < 2000; ++i) {
        const int latSec = lat(rng), lonSec = lon(rng);
        for (double dLat : offsets)
            for (double dLon : offsets) {
                const double B = (latSec + dLat) / Angle::m_RI, L = (lonSec + dLon) / Angle::m_RI;
                ASSERT_EQ(JMeshCode::CreateMeshCode(B, L, 2), expected(B, L))
                    << latSec << "+" << dLat << " " << lonSec << "+" << dLon;
            }
    }
}

TEST(JMeshCodeTest, SettersTextsAndCornerSeconds) {
    JMeshCode code = third(53394600);
    EXPECT_EQ(code.GetCode1(), 5339);
    EXPECT_EQ(code.GetCode2(), 46);
    EXPECT_EQ(code.GetCode3(), 0);
    EXPECT_EQ(code.GetLatCode2(), 4);
    EXPECT_EQ(codeStr(code), "53394600");
    EXPECT_STREQ(code.GetHyphenCodeStr(2), "5339-46-00");
    EXPECT_STREQ(code.GetHyphenCodeStr(1), "5339-46");
    EXPECT_STREQ(code.GetHyphenCodeStr(0), "5339");
    EXPECT_EQ(code.GetLatSec(), (35 * 60 + 40) * 60);
    EXPECT_EQ(code.GetLonSec(), (139 * 60 + 45) * 60);
    EXPECT_DOUBLE_EQ(code.GetLat(), rad(35, 40, 0));
    EXPECT_DOUBLE_EQ(code.GetLon(), rad(139, 45, 0));

    // A second-level code: the absent third level adds nothing and is not printed.
    code.SetMeshCode2(533946);
    EXPECT_EQ(code, JMeshCode(5339, 46, 255));
    EXPECT_STREQ(code.GetHyphenCodeStr(2), "5339-46");
    EXPECT_EQ(code.GetLatSec(), (35 * 60 + 40) * 60);
    EXPECT_EQ(code.GetLonSec(), (139 * 60 + 45) * 60);
    int lat = 0, lon = 0;
    code.GetInterval(&lat, &lon);
    EXPECT_EQ(lat, 300);
    EXPECT_EQ(lon, 450);
    code.GetNECrdSec(&lat, &lon);
    EXPECT_EQ(lat, (35 * 60 + 45) * 60);
    EXPECT_EQ(lon, (139 * 60 + 52) * 60 + 30);

    code.SetMeshCode1(5339);
    EXPECT_EQ(code, JMeshCode(5339, 255, 255));
    EXPECT_STREQ(code.GetHyphenCodeStr(2), "5339");
    EXPECT_EQ(code.GetLatSec(), (35 * 60 + 20) * 60);
    EXPECT_EQ(code.GetLonSec(), 139 * 3600);
    code.GetInterval(&lat, &lon);
    EXPECT_EQ(lat, 2400);
    EXPECT_EQ(lon, 3600);

    const JMeshCode sq = third(52353797);
    sq.GetSWCrdSec(&lat, &lon);
    EXPECT_EQ(lat, 52 * 2400 + 3 * 300 + 9 * 30);
    EXPECT_EQ(lon, 135 * 3600 + 7 * 450 + 7 * 45);
    sq.GetNECrdSec(&lat, &lon);
    EXPECT_EQ(lat, 52 * 2400 + 3 * 300 + 10 * 30);
    EXPECT_EQ(lon, 135 * 3600 + 7 * 450 + 8 * 45);
}

TEST(JMeshCodeTest, ThirdLevelNumbersInRange) {
    EXPECT_TRUE(JMeshCode::IsMeshCode3(53394600));
    EXPECT_TRUE(JMeshCode::IsMeshCode3(68487799)); // second-level digits 7, 7; third 9, 9
    EXPECT_TRUE(JMeshCode::IsMeshCode3(99997799));
    EXPECT_TRUE(JMeshCode::IsMeshCode3(0));
    EXPECT_FALSE(JMeshCode::IsMeshCode3(53398000)); // second-level latitude digit 8
    EXPECT_FALSE(JMeshCode::IsMeshCode3(53390800)); // second-level longitude digit 8
    EXPECT_FALSE(JMeshCode::IsMeshCode3(100000000));
    EXPECT_FALSE(JMeshCode::IsMeshCode3(-53394600));
}

TEST(JMeshCodeTest, CornerCoordinatesGoThroughTheProjection) {
    const SecondsProjection proj;
    const JMeshCode code = third(53394600);
    const double lat = code.GetLatSec(), lon = code.GetLonSec();
    double x = 0, y = 0;
    ASSERT_TRUE(code.GetSWCrd(&proj, &x, &y));
    EXPECT_NEAR(x, lat, 1e-6);
    EXPECT_NEAR(y, lon, 1e-6);
    ASSERT_TRUE(code.GetNWCrd(&proj, &x, &y));
    EXPECT_NEAR(x, lat + 30, 1e-6);
    EXPECT_NEAR(y, lon, 1e-6);
    ASSERT_TRUE(code.GetNECrd(&proj, &x, &y));
    EXPECT_NEAR(x, lat + 30, 1e-6);
    EXPECT_NEAR(y, lon + 45, 1e-6);
    ASSERT_TRUE(code.GetSECrd(&proj, &x, &y));
    EXPECT_NEAR(x, lat, 1e-6);
    EXPECT_NEAR(y, lon + 45, 1e-6);

    x = y = -1;
    EXPECT_FALSE(code.GetNECrd(nullptr, &x, &y));
    EXPECT_EQ(x, -1);
    EXPECT_EQ(y, -1);
}

TEST(JMeshCodeTest, NeighboursAcrossSecondAndFirstLevelEdges) {
    // North edge of a second-level mesh: the first row of the next one.
    EXPECT_EQ(codeStr(third(53393690).GetAdjMeshCode(30, 0)), "53394600");
    // North edge of a first-level mesh: the next code1 (36 degrees x 1.5 = 54).
    EXPECT_EQ(codeStr(third(53397695).GetAdjMeshCode(30, 0)), "54390605");
    // East edge of a whole degree.
    EXPECT_EQ(codeStr(third(53396709).GetAdjMeshCode(0, 45)), "53406000");
    // West and south.
    EXPECT_EQ(codeStr(third(53394600).GetAdjMeshCode(-30, -45)), "53393599");
    EXPECT_EQ(codeStr(third(53390000).GetAdjMeshCode(-30, 0)), "52397090");

    // By flags, at the code's own level.
    EXPECT_EQ(third(53394600).GetAdjMeshCode(1), third(53394610));
    EXPECT_EQ(third(53394600).GetAdjMeshCode(1 | 4), third(53394611));
    EXPECT_EQ(third(53394600).GetAdjMeshCode(2 | 8), third(53393599));
    EXPECT_EQ(JMeshCode(5339, 46, 255).GetAdjMeshCode(1), JMeshCode(5339, 56, 255));
    EXPECT_EQ(JMeshCode(5339, 46, 255).GetAdjMeshCode(2 | 8), JMeshCode(5339, 35, 255));
    EXPECT_EQ(JMeshCode(5339, 47, 255).GetAdjMeshCode(4), JMeshCode(5340, 40, 255));
    EXPECT_EQ(JMeshCode(5339, 255, 255).GetAdjMeshCode(1), JMeshCode(5439, 255, 255));
    EXPECT_EQ(JMeshCode(5339, 255, 255).GetAdjMeshCode(8), JMeshCode(5338, 255, 255));
}

TEST(JMeshCodeTest, OrderingAndKeys) {
    EXPECT_LT(third(53394600), third(53394601));
    EXPECT_LT(third(53394699), third(53394700));
    EXPECT_LT(third(53399999), third(53400000));
    EXPECT_GT(third(53400000), third(53399999));
    EXPECT_FALSE(third(53394600) < third(53394600));
    // A negative code1 sorts first.
    EXPECT_LT(JMeshCode(-1, 0, 0), JMeshCode(0, 0, 0));
    // An absent level sorts after every present one.
    EXPECT_LT(third(53394699), JMeshCode(5339, 46, 255));

    EXPECT_TRUE(third(53394600).IsSameLatCode2(third(53394799)));
    EXPECT_FALSE(third(53394600).IsSameLatCode2(third(53395600)));
    EXPECT_FALSE(third(53394600).IsSameLatCode2(third(53404600)));

    EXPECT_EQ(JMeshCodeElm(third(53394637)).GetKey(), 4637);
    EXPECT_LT(JMeshCodeElm(third(53390099)), JMeshCodeElm(third(53390100)));
    const JCnvPrmElm a(JMeshCodeElm(WORD(100)), 1.0f, 2.0f);
    const JSemiDynPrmElm b(JMeshCodeElm(WORD(101)), 9.0f, 9.0f, 0.5f);
    EXPECT_TRUE(a < b);
    EXPECT_TRUE(b > a);
    EXPECT_FALSE(a == b);
    EXPECT_TRUE(a == JCnvPrmElm(JMeshCodeElm(WORD(100)), 7.0f, 7.0f));
}
