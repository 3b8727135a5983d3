#include "exchange/Dorrimet/CoordDiff.h"
#include "kernels/Brennic/JGDRoundMode.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

Coordinate at(double x, double y) { return Coordinate(x, y, 0, false, 0, false); }

TEST(CoordDiffTest, DifferencesAreSecondMinusFirst) {
    const CoordDiff diff(at(100.0, -50.0), at(103.0, -54.0));
    EXPECT_DOUBLE_EQ(diff.GetDiffX(), 3.0);
    EXPECT_DOUBLE_EQ(diff.GetDiffY(), -4.0);
    EXPECT_DOUBLE_EQ(diff.GetDiffS(), 5.0);

    const CoordDiff empty;
    EXPECT_EQ(empty.GetDiffS(), 0.0);
}

TEST(CoordDiffTest, SettersAndCopiesReplaceWholeCoordinates) {
    CoordDiff diff(at(1.0, 1.0), at(2.0, 2.0));
    CoordDiff copy(diff);
    diff.SetCoord1(at(-1.0, 5.0));
    EXPECT_DOUBLE_EQ(diff.GetDiffX(), 3.0);
    EXPECT_DOUBLE_EQ(diff.GetDiffY(), -3.0);
    diff.SetCoord2(at(-1.0, 5.0));
    EXPECT_EQ(diff.GetDiffS(), 0.0);
    // The copy was taken before the changes.
    EXPECT_DOUBLE_EQ(copy.GetDiffX(), 1.0);
    copy = diff;
    EXPECT_EQ(copy.GetDiffS(), 0.0);
}

TEST(CoordDiffTest, RoundedDifferencesRoundEachValueFirst) {
    const JGDRoundMode mm(-3, 261);
    // 0.0004 and 0.0006 round to 0.000 and 0.001: the difference is 1 mm,
    // though the unrounded difference 0.0002 would round to 0.
    const CoordDiff split(at(10.0004, -20.0004), at(10.0006, -20.0006));
    EXPECT_NEAR(split.GetDiffX(mm), 0.001, 1e-12);
    EXPECT_NEAR(split.GetDiffY(mm), -0.001, 1e-12);
    EXPECT_NEAR(split.GetDiffS(mm), 0.001 * std::sqrt(2.0), 1e-12);

    // Both round to the same values: 0 although they are 0.8 mm apart.
    const CoordDiff same(at(5.0001, 7.0001), at(5.0004, 7.0004));
    EXPECT_GT(same.GetDiffS(), 0.0004);
    EXPECT_EQ(same.GetDiffX(mm), 0.0);
    EXPECT_EQ(same.GetDiffS(mm), 0.0);

    // Truncation at centimetres.
    const JGDRoundMode cmDown(-2, 256);
    const CoordDiff truncated(at(1.019, 0.0), at(1.031, 0.0));
    EXPECT_NEAR(truncated.GetDiffX(cmDown), 0.02, 1e-12);
}

} // namespace
