// The survey area in zone IX (24 basis, 6 check, 40 target marks) against figures computed
// independently of this project: how far the converted points miss the JGD2000 values of the
// same marks, and the means of the scale correction.
#include "tests/support/SurveyData.h"
#include "veltrane/conversion/CalcAverage.h"
#include "veltrane/conversion/CoordConvAffine.h"
#include "veltrane/conversion/CoordConvParaTrans.h"
#include "veltrane/tests/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

class SurveyZone9 : public ::testing::Test {
  protected:
    void SetUp() override { testsupport::AddSurveyPoints(db, testsupport::SurveyZone9()); }

    // The option of the desktop program's conversion: residuals spread or not, calculation
    // kind 1, given scale 1 and heights 0.
    static CoordCnvOption DesktopOption(bool spread) {
        CoordCnvOption option;
        option.m_fResidualInterp = spread;
        option.m_nFlag = 1;
        return option;
    }

    struct Miss {
        double mean = 0.0;
        double max = 0.0;
        int count = 0;
    };

    // How far the JGD2000 results of the check and target marks lie from their JGD2000 values.
    Miss MissOfOthers() {
        Miss miss;
        for (const testsupport::SurveyPoint &s : testsupport::SurveyZone9()) {
            if (s.kind == "basis")
                continue;
            const Point *p = db.Find(s.name);
            EXPECT_TRUE(p && p->IsExistJGD2000(0)) << s.name;
            if (!p)
                continue;
            const Coordinate r = p->GetJGD2000(0);
            const double d = std::hypot(r.GetX() - s.jgdX, r.GetY() - s.jgdY);
            miss.mean += d;
            miss.max = std::max(miss.max, d);
            ++miss.count;
        }
        miss.mean /= miss.count;
        return miss;
    }

    Miss Convert(CoordConvParam &engine, bool spread) {
        EXPECT_TRUE(engine.Calculation(DesktopOption(spread)));
        EXPECT_TRUE(engine.CalcJGD2000(&db, nullptr, false));
        return MissOfOthers();
    }

    Veltrane db;
};

TEST_F(SurveyZone9, TheCentroidTranslationMissesBy159AndBy104mmSpread) {
    CoordConvParaTrans2 plain(db, &db, CoordConvParam::CalcModeNormal, 0);
    const Miss trend = Convert(plain, false);
    EXPECT_EQ(trend.count, 46);
    EXPECT_NEAR(trend.mean, 0.159, 0.001);
    EXPECT_NEAR(trend.max, 0.307, 0.001);

    CoordConvParaTrans2 spread(db, &db, CoordConvParam::CalcModeNormal, 0);
    const Miss interpolated = Convert(spread, true);
    EXPECT_NEAR(interpolated.mean, 0.104, 0.001);
    EXPECT_NEAR(interpolated.max, 0.227, 0.001);
}

TEST_F(SurveyZone9, TheAffineFitMissesBy17AndBy13mmSpread) {
    // Both affine engines: on raw and on centroid-reduced coordinates.
    CoordConvAffine raw(db, &db, CoordConvParam::CalcModeNormal, 0);
    const Miss rawTrend = Convert(raw, false);
    EXPECT_NEAR(rawTrend.mean, 0.017, 0.001);
    EXPECT_NEAR(rawTrend.max, 0.037, 0.001);
    CoordConvAffine2 reduced(db, &db, CoordConvParam::CalcModeNormal, 0);
    const Miss trend = Convert(reduced, false);
    EXPECT_NEAR(trend.mean, rawTrend.mean, 1e-9);

    CoordConvAffine2 spread(db, &db, CoordConvParam::CalcModeNormal, 0);
    const Miss interpolated = Convert(spread, true);
    EXPECT_NEAR(interpolated.mean, 0.013, 0.001);
    EXPECT_NEAR(interpolated.max, 0.025, 0.001);
}

TEST_F(SurveyZone9, TheMeansGiveTheScaleCorrectionOfTheArea) {
    // The means switch to the basis points' observed coordinates and switch back.
    db.SetCurrentTab(TabKnownJGD);
    db.SetCurrentITRF(false);
    CalcAverageSbys scale;
    scale.SetDataBase(&db);
    ASSERT_TRUE(scale.CalcAverage());
    double s = 0.0;
    ASSERT_TRUE(scale.GetAverage(&s));
    EXPECT_NEAR(s, 0.9999009, 1e-13);

    CalcAverageHgt height;
    height.SetDataBase(&db);
    ASSERT_TRUE(height.CalcAverage());
    double h = 0.0;
    ASSERT_TRUE(height.GetAverage(&h));
    EXPECT_NEAR(h, 65.851, 1e-10);

    // Calculation kind 2 with both means computed: X' = f X + (cXd - f cXs).
    CoordCnvOption option;
    option.m_nFlag = 2;
    option.m_nTakeScale = 0;
    option.m_nTakeHeight = 0;
    option.m_fUseGeoid = false;
    CoordConvParaTrans2 engine(db, &db, CoordConvParam::CalcModeNormal, 0);
    ASSERT_TRUE(engine.Calculation(option));
    EXPECT_EQ(engine.GetAveSclFct(), s);
    EXPECT_EQ(engine.GetAveHgt(), h);
    EXPECT_EQ(engine.GetAveGeoHgt(), 0.0);
    EXPECT_NEAR(CentroidReduction::CalcPlaneDist(1.0, h, 0.0, s), 0.99989056, 5e-9);
    CoordConvParaTrans2 unscaled(db, &db, CoordConvParam::CalcModeNormal, 0);
    ASSERT_TRUE(unscaled.Calculation(DesktopOption(false)));
    const double cXs = (unscaled.GetTransParaX() - engine.GetTransParaX()) /
                       (CentroidReduction::CalcPlaneDist(1.0, h, 0.0, s) - 1.0);
    // The centroid of the basis points' Tokyo X, recovered from the two translations.
    double sum = 0.0;
    for (const testsupport::SurveyPoint &p : testsupport::SurveyZone9())
        if (p.kind == "basis")
            sum += p.tokyoX;
    EXPECT_NEAR(cXs, sum / 24, 1e-4);
    EXPECT_EQ(db.GetCurrentTab(), TabKnownJGD);
    EXPECT_EQ(db.GetCurrentITRFKind(), ITRFKindChkObs);
}

} // namespace
