#include "kernels/Lunmarg/Angle.h"
#include "kernels/Lunmarg/AngleFunctions.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// Restores the process-wide tolerance after each test.
class AngleTest : public ::testing::Test {
  protected:
    void TearDown() override { Angle::SetTiny(m_saved); }
    double m_saved = Angle::GetTiny();
};

TEST_F(AngleTest, ConstantsHoldTheirValuesAtLoad) {
    EXPECT_EQ(Angle::m_PI, 4 * std::atan(1.0));
    EXPECT_EQ(Angle::m_RI, 648000 / Angle::m_PI);
    EXPECT_DOUBLE_EQ(Angle::m_RI, 206264.80624709636);
    EXPECT_EQ(Angle::m_tinyDefault, 1e-30);
    EXPECT_EQ(Angle::GetTiny(), Angle::m_tinyDefault);
}

TEST_F(AngleTest, UnitsConvertAlike) {
    const double dms = 1353045.5;
    EXPECT_EQ(Angle(Radian(1.25)).GetRad(), 1.25);
    EXPECT_EQ(Angle(Degree(135.5)).GetRad(), Angle::m_PI / 180 * 135.5);
    EXPECT_EQ(Angle(Second(3600)).GetRad(), 3600 / Angle::m_RI);
    EXPECT_EQ(Angle(AngDMS(dms)).GetRad(), DMSToRad(dms));
    Angle a;
    EXPECT_EQ(a.GetRad(), 0.0);
    a = Degree(-30);
    EXPECT_DOUBLE_EQ(a.GetDeg(), -30);
    a = Second(-45);
    EXPECT_DOUBLE_EQ(a.GetSec(), -45);
    a = AngDMS(dms);
    EXPECT_EQ(a.GetDMS(1), dms);
    EXPECT_EQ(a.GetDMS2(1), dms / 10000);
    a.SetSec(59.99999999);
    EXPECT_EQ(a.GetDMS(4), 100.0);
    a = a;
    EXPECT_EQ(a.GetDMS(4), 100.0);
    // GetDMS3 always rounds to 7 decimals and keeps the sign below one degree.
    int d, m;
    double s;
    a.SetDMS(-3012.345678912);
    EXPECT_EQ(a.GetDMS3(&d, &m, &s, 0), -3012.3456789);
    EXPECT_TRUE(d == 0 && m == 30 && s == 12.3456789);
}

TEST_F(AngleTest, ArithmeticAndCompoundAssignment) {
    const Angle a = Radian(1.5), b = Radian(0.25);
    EXPECT_EQ((a + b).GetRad(), 1.75);
    EXPECT_EQ((a - b).GetRad(), 1.25);
    EXPECT_EQ((-a).GetRad(), -1.5);
    EXPECT_EQ((+a).GetRad(), 1.5);
    EXPECT_EQ((a * 3).GetRad(), 4.5);
    EXPECT_EQ((a / 4).GetRad(), 0.375);
    Angle c = a;
    EXPECT_EQ(&(c += b), &c);
    EXPECT_EQ(((c -= a) *= 8).GetRad(), 2.0);
    EXPECT_EQ((c /= 16).GetRad(), 0.125);
}

TEST_F(AngleTest, ComparisonsAllowTheTolerance) {
    const Angle a = Radian(1.0), near = Radian(1.0 + 1e-15), far = Radian(1.0 + 1e-6);
    const Angle z = Radian(0.0), z1 = Radian(1e-31), z2 = Radian(1e-29);
    EXPECT_TRUE(z == z1 && !(z != z1) && !(z < z1) && !(z1 > z) && z <= z1 && z >= z1 && z1 <= z);
    EXPECT_TRUE(z != z2 && z < z2 && z2 > z && z <= z2 && !(z >= z2) && !(z2 <= z));
    EXPECT_TRUE(a != near && a < near);
    Angle::SetTiny(1e-9);
    EXPECT_TRUE(a == near && !(a < near) && !(near > a) && a >= near && near <= a);
    EXPECT_TRUE(a != far && a < far && far > a && !(far <= a));
    // A tolerance that would make every angle unequal to itself is refused.
    Angle::SetTiny(-1);
    Angle::SetTiny(NAN);
    EXPECT_EQ(Angle::GetTiny(), 1e-9);
    Angle::SetTiny(0);
    EXPECT_TRUE(a == a && a != near && a <= a);
}

} // namespace
