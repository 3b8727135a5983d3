// The road of one conversion request of the desktop program, on the reference survey area of
// zone IX: the stored option with the residual spread on and calculation kind 1, the four
// engines fitted, the whole table converted by the centroid translation, heights corrected and
// the precision tables rebuilt. The misses of the 46 check and target marks against their JGD2000
// values were computed independently of this project (the data's README).
#include "tests/support/RecordingProgress.h"
#include "tests/support/SurveyData.h"
#include "veltrane/database/Veltrane.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

class ConversionRoadTest : public ::testing::Test {
  protected:
    void SetUp() override { testsupport::AddSurveyPoints(m_db, testsupport::SurveyZone9()); }

    // What the convert command does with the stored option.
    CoordCnvOption desktopOption(bool spread) const {
        CoordCnvOption option = m_db.GetCoordCnvOption();
        option.m_fResidualInterp = spread;
        option.m_nFlag = 1;
        option.m_dScaleFactor = 1.0;
        option.m_dMeanHeight = 0.0;
        option.m_dMeanGeoidHeight = 0.0;
        option.m_nTakeScale = option.m_nTakeHeight = option.m_nTakeGeoid = 1;
        return option;
    }

    // Mean and largest plane miss of the check and target marks.
    std::pair<double, double> miss() const {
        double sum = 0.0, largest = 0.0;
        int n = 0;
        for (const testsupport::SurveyPoint &s : testsupport::SurveyZone9()) {
            if (s.kind == "basis")
                continue;
            const Point *p = m_db.Find(s.name);
            EXPECT_TRUE(p && p->IsExistJGD2000(0)) << ToUtf8(s.name);
            if (!p)
                continue;
            const Coordinate r = p->GetJGD2000(0);
            const double d = std::hypot(r.GetX() - s.jgdX, r.GetY() - s.jgdY);
            sum += d;
            largest = std::max(largest, d);
            ++n;
        }
        EXPECT_EQ(n, 46);
        return {sum / n, largest};
    }

    Veltrane m_db;
};

TEST_F(ConversionRoadTest, TheDesktopRoadReproducesTheIndependentFigures) {
    ASSERT_TRUE(m_db.PrepareCoordConv(desktopOption(true), nullptr));
    testsupport::RecordingProgress progress;
    ASSERT_TRUE(m_db.CoordConvExecute(CrdCnvParaTrans2, &progress));

    const auto [mean, largest] = miss();
    EXPECT_NEAR(mean, 0.104, 0.001);
    EXPECT_NEAR(largest, 0.227, 0.001);
    EXPECT_TRUE(m_db.IsCrdCnvCompleted(0));
    EXPECT_EQ(m_db.GetJGDTargetCrdKind(), JGDTargetWholeArea);
    EXPECT_EQ(m_db.GetCoordCnvKind(), CrdCnvParaTrans2);
    EXPECT_EQ(progress.kinds.front(), 1); // the conversion, then the spread
    EXPECT_EQ(progress.totals.front(), 70);
    EXPECT_EQ(progress.percents.back(), 100);

    // The precision tables hold the basis and the check points of the result.
    EXPECT_EQ(m_db.GetPrecChkTable(PrecChkCnvPrec, 0)->size(), 24u);
    EXPECT_EQ(m_db.GetPrecChkTable(PrecChkChkObs, 0)->size(), 6u);
    // Heights move by the basis points' height differences, spread by inverse distance: the
    // Tokyo heights of the area lie about 0.4 m below the new ones, the corrected within 0.1 m.
    for (const testsupport::SurveyPoint &s : testsupport::SurveyZone9()) {
        if (s.kind != "target")
            continue;
        const Point *p = m_db.Find(s.name);
        EXPECT_GT(std::fabs(s.tokyoH - s.jgdH), 0.2) << ToUtf8(s.name);
        EXPECT_NEAR(p->GetJGD2000(0).GetH(), s.jgdH, 0.1) << ToUtf8(s.name);
        EXPECT_NE(p->GetJGD2000(0).GetB(), 0.0); // latitudes recomputed
    }
}

TEST_F(ConversionRoadTest, ANamelessTargetGetsTheSpreadHeightLikeANamedOne) {
    // The basis points of the area have no old-mark name; an empty target name matches none.
    const testsupport::SurveyPoint &first = testsupport::SurveyZone9().front();
    for (const char *name : {"", "T-NAMED"}) {
        Point p(0, CString(name));
        p.SetTokyoDatum(
            Coordinate(first.tokyoX + 150.0, first.tokyoY - 80.0, 5.369, true, 0.0, false));
        ASSERT_NE(m_db.Append(p), nullptr);
    }
    ASSERT_TRUE(m_db.PrepareCoordConv(desktopOption(true), nullptr));
    ASSERT_TRUE(m_db.CoordConvExecute(CrdCnvParaTrans2, nullptr));
    const Point *nameless = m_db.Find(CString(""));
    const Point *named = m_db.Find(CString("T-NAMED"));
    ASSERT_TRUE(nameless && named);
    EXPECT_EQ(nameless->GetJGD2000(0).GetH(), named->GetJGD2000(0).GetH());
    EXPECT_NEAR(named->GetJGD2000(0).GetH(), 5.369, 1.0);
}

TEST_F(ConversionRoadTest, WithoutTheSpreadTheTranslationMissesMore) {
    ASSERT_TRUE(m_db.PrepareCoordConv(desktopOption(false), nullptr));
    ASSERT_TRUE(m_db.CoordConvExecute(CrdCnvParaTrans2, nullptr));
    const auto [mean, largest] = miss();
    EXPECT_NEAR(mean, 0.159, 0.001);
    EXPECT_NEAR(largest, 0.307, 0.001);

    // The second affine of the same preparation fits far better.
    ASSERT_TRUE(m_db.CoordConvExecute(CrdCnvAffine2, nullptr));
    EXPECT_NEAR(miss().first, 0.017, 0.001);
}

TEST_F(ConversionRoadTest, FailuresLeaveTheProjectAsItWas) {
    EXPECT_FALSE(m_db.CoordConvExecute(CrdCnvParaTrans2, nullptr)); // nothing prepared
    EXPECT_FALSE(m_db.IsCrdCnvCompleted(0));
    ASSERT_TRUE(m_db.PrepareCoordConv(desktopOption(true), nullptr));
    EXPECT_FALSE(m_db.CoordConvExecute(CrdCnvSimilar, nullptr)); // a kind the table does not hold
    EXPECT_FALSE(m_db.IsCrdCnvCompleted(0));
    EXPECT_EQ(m_db.GetJGDTargetCrdKind(), JGDTargetNone);

    testsupport::RecordingProgress cancel(5); // the user cancels during the conversion
    EXPECT_FALSE(m_db.CoordConvExecute(CrdCnvParaTrans2, &cancel));
    EXPECT_FALSE(m_db.IsCrdCnvCompleted(0));
    EXPECT_EQ(cancel.reports, 5);

    // A second preparation replaces the engines: there is still one of each kind.
    ASSERT_TRUE(m_db.PrepareCoordConv(desktopOption(true), nullptr));
    ASSERT_TRUE(m_db.CoordConvExecute(CrdCnvParaTrans2, nullptr));
    EXPECT_NEAR(miss().first, 0.104, 0.001);

    // Removing a basis point in use drops the fit; removing a target does not.
    Point *target = m_db.back();
    ASSERT_TRUE(m_db.Remove(target, true));
    EXPECT_TRUE(m_db.IsCrdCnvCompleted(0));
    Point *basis = m_db.Find(CString("KJ001"));
    ASSERT_NE(basis, nullptr);
    ASSERT_TRUE(m_db.GetPrecChkTable(PrecChkCnvPrec, 0)->IsIncluded(basis));
    ASSERT_TRUE(m_db.Remove(basis, true));
    EXPECT_FALSE(m_db.IsCrdCnvCompleted(0));
    EXPECT_EQ(m_db.GetPrecChkTable(PrecChkCnvPrec, 0)->size(), 0u);
}

TEST_F(ConversionRoadTest, RemovedPointsLeaveNoPairBehind) {
    ASSERT_TRUE(m_db.PrepareCoordConv(desktopOption(true), nullptr));
    ASSERT_TRUE(m_db.CoordConvExecute(CrdCnvParaTrans2, nullptr));
    PrecisionMngTable *pairs = m_db.GetPrecMngTable();
    ASSERT_TRUE(pairs->Create(&m_db, &m_db, 1, nullptr));
    ASSERT_GT(pairs->size(), 10u);
    for (PrecMngElm *e : *pairs)
        m_db.GetSelectedPMTable()->Append(e);

    // Every point of the first pairs goes; no pair may keep a pointer to it.
    for (int i = 0; i < 5; ++i) {
        Point *p = const_cast<Point *>(pairs->GetElm(0)->GetPt1());
        ASSERT_TRUE(m_db.Remove(p, true));
        for (const PrecMngElm *e : *pairs)
            EXPECT_TRUE(e->GetPt1() != p && e->GetPt2() != p);
        for (const PrecMngElm *e : *m_db.GetSelectedPMTable())
            EXPECT_GE(pairs->Find(e), 0);
    }
    ASSERT_GT(pairs->size(), 0u);
    PrecMngElm *first = pairs->GetElm(0);
    EXPECT_TRUE(m_db.Remove(first));
    EXPECT_FALSE(m_db.Remove(first)); // already gone
}

} // namespace
