// The sample project that the build makes for the desktop program: it loads with its basis and
// check points fitted, and converts the survey area's targets along the desktop's road to the
// independently computed figures.
#include "platform/core/CArchive.h"
#include "platform/core/CFile.h"
#include "tests/support/SurveyData.h"
#include "veltrane/database/Veltrane.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

TEST(SampleProjectTest, LoadsAndConvertsTheTargets) {
    Veltrane db;
    {
        CFile file(FromUtf8(ZENTROVA_SAMPLE_PROJECT), CFile::modeRead | CFile::typeBinary);
        CArchive ar(&file, CArchive::load);
        ASSERT_EQ(db.Read(ar, true), DbReadLoaded);
    }
    EXPECT_EQ(db.size(), 30u);
    EXPECT_EQ(db.GetCnvBasisPointSize(), 24u);
    EXPECT_EQ(db.GetChkObsITRFPointSize(), 6u);
    EXPECT_EQ(db.GetCurrentCoordSysNo(), 9);
    EXPECT_EQ(db.GetCoordCnvKind(), CrdCnvParaTrans2);
    EXPECT_TRUE(db.IsCrdCnvCompleted(0)); // loading fitted and converted again
    ASSERT_NE(db.GetCoordConvParam(CrdCnvParaTrans2), nullptr);
    EXPECT_TRUE(db.GetCoordConvParam(CrdCnvParaTrans2)->IsCalced());

    std::vector<testsupport::SurveyPoint> targets;
    for (const testsupport::SurveyPoint &s : testsupport::SurveyZone9())
        if (s.kind == "target")
            targets.push_back(s);
    for (const testsupport::SurveyPoint &s : targets) {
        Point p(0, s.name);
        p.SetTokyoDatum(Coordinate(s.tokyoX, s.tokyoY, s.tokyoH, true, 0, false));
        ASSERT_NE(db.Append(p), nullptr);
    }
    CoordCnvOption option = db.GetCoordCnvOption(); // the convert command's changes
    option.m_fResidualInterp = true;
    option.m_nFlag = 1;
    option.m_dScaleFactor = 1.0;
    option.m_dMeanHeight = option.m_dMeanGeoidHeight = 0.0;
    option.m_nTakeScale = option.m_nTakeHeight = option.m_nTakeGeoid = 1;
    ASSERT_TRUE(db.PrepareCoordConv(option, nullptr));
    ASSERT_TRUE(db.CoordConvExecute(CrdCnvParaTrans2, nullptr));

    double sum = 0.0, largest = 0.0;
    for (const testsupport::SurveyPoint &s : targets) {
        const Coordinate r = db.Find(s.name)->GetJGD2000(0);
        const double d = std::hypot(r.GetX() - s.jgdX, r.GetY() - s.jgdY);
        sum += d;
        largest = std::max(largest, d);
    }
    // The 40 targets alone (the check points are in the project, not among them).
    EXPECT_NEAR(sum / targets.size(), 0.103, 0.001);
    EXPECT_NEAR(largest, 0.227, 0.001);
}

} // namespace
