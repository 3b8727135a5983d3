#include "veltrane/model/PrecisionChkTable.h"

#include "veltrane/tests/RecordFixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <vector>

namespace {

// Basis points whose residuals (JGD2000 minus observed) are the given values.
class PrecisionChkTableTest : public ::testing::Test {
  protected:
    void SetUp() override {
        PrecisionChkTable::m_nResLmtBasis = PrecisionChkTable::m_nResLmtBasisHgt = 50;
        PrecisionChkTable::m_nResLmtCheck = PrecisionChkTable::m_nResLmtCheckHgt = 50;
    }
    Point *basis(double rx, double ry, double rh = 0.0) {
        auto p = std::make_unique<Point>(static_cast<unsigned>(m_points.size()), "P");
        const double x = 1000.0 + m_points.size(), y = 2000.0;
        p->SetTokyoDatum(Coordinate(x, y, 0, true, 0, false));
        p->SetCnvBasisITRF(Coordinate(x + 0.5, y + 0.5, 10.0, true, 0, false));
        p->SetJGD2000(Coordinate(x + 0.5 + rx, y + 0.5 + ry, 10.0 - rh, true, 0, false),
                      CrdCnvStatParaTrans, 0);
        m_points.push_back(std::move(p));
        return m_points.back().get();
    }
    PrecisionChkTable table(PRECISION_CHECK_ID id = PrecChkCnvPrec) {
        PrecisionChkTable t;
        t.Initialize(id, 0);
        for (auto &p : m_points)
            if (p->IsPossiblePrecCheck(id, 0))
                t.Append(p.get());
        t.CalcAverage();
        return t;
    }
    std::vector<std::unique_ptr<Point>> m_points;
};

TEST_F(PrecisionChkTableTest, LimitsAreInclusiveAndShared) {
    Point *on = basis(0.050, 0.0), *over = basis(0.0501, 0.0), *high = basis(0, 0, 0.051);
    PrecisionChkTable t = table();
    EXPECT_TRUE(t.CheckPrecXIsInLimit(on));
    EXPECT_FALSE(t.CheckPrecXIsInLimit(over));
    EXPECT_FALSE(t.CheckPrecIsInLimit(over, 0));
    EXPECT_TRUE(t.CheckPrecIsInLimit(high, 0));
    EXPECT_FALSE(t.CheckPrecIsInLimitAll(high, 0));
    EXPECT_EQ(t.GetOutOfLimitSize(0), 1u);
    EXPECT_DOUBLE_EQ(t.GetOutOfLimitRatio(0), 100.0 / 3.0);

    Point outside(99, "O"); // a point the table does not list passes
    EXPECT_TRUE(t.CheckPrecIsInLimitAll(&outside, 1));

    PrecisionChkTable adjusted;
    adjusted.Initialize(PrecChkAdjCnvPrec, 0);
    adjusted.SetResidualLimitByMM(80); // kinds 0 and 5 share the basis limit
    EXPECT_EQ(t.GetResidualLimitByMM(), 80);
    EXPECT_TRUE(t.CheckPrecXIsInLimit(over));

    PrecisionChkTable diff;
    diff.Initialize(PrecChkCrdDiff, 0);
    diff.SetResidualLimitByMM(10);
    EXPECT_EQ(diff.GetResidualLimitByMM(), 0);
    EXPECT_EQ(t.GetResidualLimitByMM(), 80);

    PrecisionChkTable empty = table(PrecChkChkObs);
    EXPECT_EQ(empty.GetOutOfLimitRatio(0), 0.0);
}

TEST_F(PrecisionChkTableTest, ResidualsThatAreNotNumbersFailEveryTest) {
    Point *nan = basis(std::numeric_limits<double>::quiet_NaN(), 0.0,
                       std::numeric_limits<double>::quiet_NaN());
    Point *inf = basis(0.0, std::numeric_limits<double>::infinity());
    PrecisionChkTable t = table();
    EXPECT_FALSE(t.CheckPrecXIsInLimit(nan));
    EXPECT_FALSE(t.CheckPrecHIsInLimit(nan));
    EXPECT_FALSE(t.CheckPrecIsInLimit(nan, 0));
    EXPECT_FALSE(t.CheckPrecIsInLimit(nan, 1));
    EXPECT_FALSE(t.CheckPrecYIsInLimit(inf));
    EXPECT_FALSE(t.CheckPrecIsInLimit(inf, 1));
    EXPECT_EQ(t.GetOutOfLimitSize(0), 2u);
}

TEST_F(PrecisionChkTableTest, DeviationsMatchATextbookComputation) {
    // The residuals and figures below come from plain Python, independently of this code:
    //   r = [(0.012,-0.008),(-0.021,0.004),(0.003,0.019),(0.030,-0.011),(-0.007,-0.002)]
    //   sqrt(SX/(n-k/2)), sqrt(SY/(n-k/2)), sqrt((SX+SY)/(2n-k)); and about the mean, n - 1.
    for (auto [x, y] : {std::pair{0.012, -0.008},
                        {-0.021, 0.004},
                        {0.003, 0.019},
                        {0.030, -0.011},
                        {-0.007, -0.002}})
        basis(x, y);
    const PrecisionChkTable t = table();
    const struct {
        CoordCnvKind kind;
        double sx, sy, sxy;
    } cases[] = {
        {CrdCnvParaTrans2, 0.019640519341402356, 0.01189537725337032, 0.016236532881129518},
        {CrdCnvHelmert, 0.02099659836395274, 0.012716693191010221, 0.017357583768650358},
        {CrdCnvHelmert3, 0.022678918257565402, 0.01373559851869101, 0.018748333259252674},
        {CrdCnvAffine2, 0.0277758888246623, 0.016822603841260723, 0.022961925006410068},
    };
    for (const auto &c : cases) {
        double sx, sy, sxy;
        ASSERT_TRUE(t.GetStdDev(c.kind, &sx, &sy, &sxy));
        EXPECT_NEAR(sx, c.sx, 1e-12) << c.kind;
        EXPECT_NEAR(sy, c.sy, 1e-12) << c.kind;
        EXPECT_NEAR(sxy, c.sxy, 1e-12) << c.kind;
    }
    double sx, sy, sxy;
    ASSERT_TRUE(t.GetStdDevFromDiffAve(&sx, &sy, &sxy));
    EXPECT_NEAR(sx, 0.019269146322554095, 1e-12);
    EXPECT_NEAR(sy, 0.011886967653695369, 1e-12);
    EXPECT_NEAR(sxy, 0.015093780912091648, 1e-12);
    EXPECT_EQ(t.GetStdDevString(CrdCnvParaTrans2, 3), CString("   0.016       0.020       0.012"));

    double x0, y0, x1, y1;
    ASSERT_TRUE(t.GetPrecMinMax(&x0, &y0, &x1, &y1));
    EXPECT_NEAR(x0, -0.021, 1e-9);
    EXPECT_NEAR(y1, 0.019, 1e-9);
    double vx = 0, vy = 0;
    EXPECT_EQ(t.GetPrecVectMax(&vx, &vy), m_points[3].get());
    EXPECT_NEAR(vx, 0.030, 1e-9);
}

TEST_F(PrecisionChkTableTest, TooFewPointsAreNotComputable) {
    basis(0.01, 0.02);
    basis(0.0, 0.0);
    const PrecisionChkTable t = table();
    double sx = 1, sy = 1, sxy = 1;
    EXPECT_TRUE(t.GetStdDev(4, &sx, &sy, &sxy)); // two points, four parameters: an exact fit
    EXPECT_EQ(sxy, 0.0);
    EXPECT_FALSE(t.GetStdDev(6, &sx, &sy, &sxy)); // more parameters than the points carry
    EXPECT_EQ(sx, 0.0);
    EXPECT_TRUE(std::isfinite(sy));
    EXPECT_FALSE(t.GetStdDev(CrdCnvAffine, &sx, &sy, &sxy));
    EXPECT_TRUE(t.GetStdDevString(CrdCnvAffine2, 3).IsEmpty());

    const PrecisionChkTable none = table(PrecChkChkObs);
    EXPECT_FALSE(none.GetStdDev(3, &sx, &sy, &sxy));
    EXPECT_EQ(none.GetPrecVectMax(nullptr, nullptr), nullptr);

    PrecisionChkTable zero; // all residuals 0: no largest vector
    zero.Initialize(PrecChkCnvPrec, 0);
    zero.Append(m_points[1].get());
    EXPECT_EQ(zero.GetPrecVectMax(&sx, &sy), nullptr);
}

class PrecisionChkRecordTest : public RecordTest {};

TEST_F(PrecisionChkRecordTest, LimitRecordsInBothFormats) {
    PrecisionChkTable basis, check;
    basis.Initialize(PrecChkCnvPrec, 0);
    check.Initialize(PrecChkChkObs, 0);
    basis.SetResidualLimitByMM(30);
    basis.SetResidualLimitByMM_H(40);
    EXPECT_EQ(stored([&](CArchive &ar) { basis.Write(ar); }), testsupport::Bytes().i32(30).data());
    EXPECT_EQ(stored([&](CArchive &ar) { basis.Write2(ar); }),
              testsupport::Bytes().i32(30).i32(40).data());

    load(testsupport::Bytes().i32(70).i32(90), [&](CArchive &ar) { check.Read2(ar); });
    EXPECT_EQ(check.GetResidualLimitByMM(), 70);
    EXPECT_EQ(check.GetResidualLimitByMM_H(), 90);
    EXPECT_EQ(basis.GetResidualLimitByMM(), 30);
    load(testsupport::Bytes().i32(25), [&](CArchive &ar) { basis.Read(ar); });
    EXPECT_EQ(basis.GetResidualLimitByMM(), 25);
    EXPECT_EQ(basis.GetResidualLimitByMM_H(), 40);
    EXPECT_THROW(load(testsupport::Bytes().i32(25), [&](CArchive &ar) { basis.Read2(ar); }),
                 CArchiveException);
    PrecisionChkTable::m_nResLmtBasis = PrecisionChkTable::m_nResLmtBasisHgt = 50;
    PrecisionChkTable::m_nResLmtCheck = PrecisionChkTable::m_nResLmtCheckHgt = 50;
}

} // namespace
