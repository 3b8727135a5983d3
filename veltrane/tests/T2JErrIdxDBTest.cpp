#include "veltrane/model/T2JErrIdxDB.h"

#include "veltrane/tests/ErrIdxFixture.h"

#include <gtest/gtest.h>

#include <type_traits>
#include <vector>

namespace {

using T2JErrIdxDBTest = ErrIdxTest;

// The collection owns its tables: a copy would delete them twice.
static_assert(!std::is_copy_constructible_v<T2JErrIdxDB>);
static_assert(!std::is_copy_assignable_v<T2JErrIdxDB>);

TEST_F(T2JErrIdxDBTest, IndexLinesMayEndInACommaAndTheStopSaysWhereReadingEnded) {
    T2JErrIdxDB db;
    const std::string head = "h\r\nTKY2JGD parameter V\r\n";
    ASSERT_TRUE(db.T2JReadConvErrIdx(put(
        head + "53394600,   1.00,   2.00,\r\n53394601,3,4,   \r\n53394602,5,6,,\r\n", "c.edx")));
    EXPECT_EQ(db.GetErrIdxTbl()->GetSize(), 3u);
    EXPECT_EQ(db.GetFileStop().GetStopLine(), 0);
    ASSERT_TRUE(db.T2JReadConvErrIdx(put(head + "53394600,1,2,\r\n53394601,1,2,3,\r\n", "e.edx")));
    EXPECT_EQ(db.GetErrIdxTbl(1)->GetSize(), 1u);
    EXPECT_EQ(db.GetFileStop().GetStopLine(), 4);
    EXPECT_STREQ(db.GetFileStop().GetStopReason(), "デルタ値の後に余分な値があります。");
}

TEST_F(T2JErrIdxDBTest, ReadTablesJoinAndRefusedOnesDoNot) {
    T2JErrIdxDB db;
    EXPECT_EQ(db.GetErrIdxTbl(), nullptr);
    EXPECT_EQ(db.GetFileType(), CNVPRM_TYPE_TKY2JGD);

    EXPECT_FALSE(db.T2JReadConvErrIdx(path("missing.edx")));
    EXPECT_FALSE(db.T2JReadConvErrIdx(put("Trelvic/EDX File Version 1.00\r\n", "one.edx")));
    EXPECT_EQ(db.GetErrIdxTbl(), nullptr);

    ASSERT_TRUE(db.T2JReadConvErrIdx(
        put("h\r\nTKY2JGD parameter Ver.2.1.2\r\n53394600,   1.00,   2.00\r\n", "5339.edx")));
    ASSERT_TRUE(db.T2JReadConvErrIdx(put("h\r\nTKY2JGD parameter Ver.2.1.2\r\n", "none.edx")));
    ASSERT_NE(db.GetErrIdxTbl(), nullptr);
    EXPECT_STREQ(db.GetErrIdxTbl()->GetFileName(), "5339.edx");
    EXPECT_EQ(db.GetErrIdxTbl(1)->GetSize(), 0u);
    EXPECT_EQ(db.GetErrIdxTbl(2), nullptr);

    // A table is held once; null is not a table.
    T2JErrIdxTbl *own = new T2JErrIdxTbl;
    EXPECT_TRUE(db.Append(own));
    EXPECT_FALSE(db.Append(own));
    EXPECT_FALSE(db.Append(nullptr));
    EXPECT_EQ(db.GetErrIdxTbl(2), own);
    EXPECT_EQ(db.GetErrIdxTbl(3), nullptr);

    EXPECT_FALSE(db.RemoveErrIdxTbl(3));
    EXPECT_TRUE(db.RemoveErrIdxTbl(0));
    EXPECT_EQ(db.GetErrIdxTbl(), db.GetErrIdxTbl(0u));
    EXPECT_STREQ(db.GetErrIdxTbl()->GetFileName(), "none.edx");
    db.AllRemoveErrIdxTbl();
    EXPECT_EQ(db.GetErrIdxTbl(), nullptr);
}

TEST_F(T2JErrIdxDBTest, MeanOfNoValuesIsNoValue) {
    T2JErrIdxDB db;
    double gamma = 7, delta = 8;
    EXPECT_FALSE(db.GetValueAve(&gamma, &delta));
    db.Append(new T2JErrIdxTbl);
    EXPECT_FALSE(db.GetValueAve(&gamma, &delta));
    EXPECT_EQ(gamma, 7);
    EXPECT_EQ(delta, 8);

    // Over every index of every table, not a mean of the tables' means.
    db.Append(new T2JErrIdxTbl(table({{mesh(53394600), 1, -2}, {mesh(53394601), 2, 0}})));
    db.Append(new T2JErrIdxTbl(table({{mesh(53394700), 6, 5}})));
    ASSERT_TRUE(db.GetValueAve(&gamma, &delta));
    EXPECT_DOUBLE_EQ(gamma, 3.0);
    EXPECT_DOUBLE_EQ(delta, 1.0);
}

TEST_F(T2JErrIdxDBTest, ExtremesOverTablesSkipEmptyOnes) {
    T2JErrIdxDB db;
    double v[4] = {1, 2, 3, 4};
    EXPECT_FALSE(db.GetMinMaxValue(&v[0], &v[1], &v[2], &v[3]));
    EXPECT_FALSE(db.GetMinMax(m_zone9, &v[0], &v[1], &v[2], &v[3], false));
    db.Append(new T2JErrIdxTbl); // an empty table first
    EXPECT_FALSE(db.GetMinMaxValue(&v[0], &v[1], &v[2], &v[3]));
    EXPECT_FALSE(db.GetMinMax(m_zone9, &v[0], &v[1], &v[2], &v[3], true));
    EXPECT_EQ(std::vector<double>(v, v + 4), std::vector<double>({1, 2, 3, 4}));

    db.Append(new T2JErrIdxTbl(table({{mesh(53394729), 5, 6}})));
    db.Append(new T2JErrIdxTbl(table({{mesh(53394600), 9, -1}})));
    // Whatever the outputs held before, the values are the tables'.
    double g1 = -100, g2 = 100, d1 = -100, d2 = 100;
    ASSERT_TRUE(db.GetMinMaxValue(&g1, &g2, &d1, &d2));
    EXPECT_EQ(std::vector<double>({g1, g2, d1, d2}), std::vector<double>({5, 9, -1, 6}));

    double xmin = -1e9, ymin = -1e9, xmax = 1e9, ymax = 1e9;
    ASSERT_TRUE(db.GetMinMax(m_zone9, &xmin, &ymin, &xmax, &ymax, false));
    ExpectPoint(xmin, ymin, kSW4600);
    ExpectPoint(xmax, ymax, kNE4729);
    // With the caller's extend, given values that are wider stay.
    xmin = -1e9, ymin = 0, xmax = 0, ymax = 1e9;
    ASSERT_TRUE(db.GetMinMax(m_zone9, &xmin, &ymin, &xmax, &ymax, true));
    EXPECT_EQ(xmin, -1e9);
    EXPECT_NEAR(ymin, kSW4600.y, kPlaneTolerance);
    EXPECT_EQ(xmax, 0);
    EXPECT_EQ(ymax, 1e9);

    // The collection's file type chooses the cells.
    db.SetFileType(CNVPRM_TYPE_SEMIDYNA);
    ASSERT_TRUE(db.GetMinMax(m_zone9, &xmin, &ymin, &xmax, &ymax, false));
    ExpectPoint(xmax, ymax, kNE4729Cell);
}

TEST_F(T2JErrIdxDBTest, CornersFollowTheCollectionsFileType) {
    T2JErrIdxDB db;
    db.Append(new T2JErrIdxTbl(table({{mesh(53394600), 1, 2}})));
    db.SetFileType(CNVPRM_TYPE_SEMIDYNA);
    ASSERT_TRUE(db.CalcAllPntXY(m_zone9->GetProjection()));
    double x = 0, y = 0;
    db.GetErrIdxTbl()->GetData(0)->GetNECrd(&x, &y);
    ExpectPoint(x, y, kNE4600Cell);

    db.SetFileType(CNVPRM_TYPE_PATCHJGD);
    ASSERT_TRUE(db.CalcAllPntXY(m_zone9->GetProjection()));
    db.GetErrIdxTbl()->GetData(0)->GetNECrd(&x, &y);
    ExpectPoint(x, y, kNE4600);
    EXPECT_FALSE(db.CalcAllPntXY(nullptr));
}

} // namespace
