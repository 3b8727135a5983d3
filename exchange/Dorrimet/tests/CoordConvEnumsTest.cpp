// The project file stores these values as integers: a renumbering must fail here.
#include "exchange/Dorrimet/CoordConvEnums.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <type_traits>

namespace {

static_assert(std::is_same_v<std::underlying_type_t<CoordCnvKind>, int>);
static_assert(std::is_same_v<std::underlying_type_t<CoordConvStatusD>, int>);
static_assert(std::is_same_v<std::underlying_type_t<ConvertMode>, int>);
static_assert(std::is_same_v<std::underlying_type_t<JGDCrdFileFormat>, int>);
static_assert(sizeof(int) == sizeof(std::int32_t));

TEST(CoordConvEnumsTest, EveryValueIsPinned) {
    EXPECT_EQ(CrdCnvBlockOwn, -1);
    EXPECT_EQ(CrdCnvParaTrans, 0);
    EXPECT_EQ(CrdCnvSimilar, 1);
    EXPECT_EQ(CrdCnvHelmert, 2);
    EXPECT_EQ(CrdCnvAffine, 3);
    EXPECT_EQ(CrdCnvNotUsed, 4);
    EXPECT_EQ(CrdCnvTKY2JGD, 5);
    EXPECT_EQ(CrdCnvNoTrend, 6);
    EXPECT_EQ(CrdCnvAffine2, 7);
    EXPECT_EQ(CrdCnvHelmert3, 8);
    EXPECT_EQ(CrdCnvParaTrans2, 9);

    EXPECT_EQ(CrdCnvStatNone, 0);
    EXPECT_EQ(CrdCnvStatGrid, 1);
    EXPECT_EQ(CrdCnvStatDatumShift, 2);
    EXPECT_EQ(CrdCnvStatParaTrans, 3);
    EXPECT_EQ(CrdCnvStatSimilar, 4);
    EXPECT_EQ(CrdCnvStatHelmert, 5);
    EXPECT_EQ(CrdCnvStatAffine, 6);
    EXPECT_EQ(CrdCnvStatNoTrend, 7);

    EXPECT_EQ(ConvertToNew, 0);
    EXPECT_EQ(ConvertToOld, 1);
    EXPECT_EQ(ConvertByFile, 2);

    EXPECT_EQ(JGDCrdFmtUnknown, -1);
    EXPECT_EQ(JGDCrdFmtExchange, 1);
    EXPECT_EQ(JGDCrdFmtGridText, 2);
    EXPECT_EQ(JGDCrdFmtKjnText, 3);
    EXPECT_EQ(JGDCrdFmtExchangeS, 5);
}

} // namespace
