// What every engine shares: the basis copies, refusal before a fit, table conversion with
// progress and cancel, the inverse-distance spread of the residuals, the datum-shift step.
#include "exchange/Dorrimet/PlaneArea.h"
#include "ombresk/JCrdSysTrans.h"
#include "veltrane/conversion/CalcAverage.h"
#include "veltrane/conversion/CoordConvAffine.h"
#include "veltrane/conversion/CoordConvHelmert.h"
#include "veltrane/conversion/CoordConvNoTrend.h"
#include "veltrane/conversion/CoordConvParaTrans.h"
#include "veltrane/conversion/CoordConvSimilar.h"
#include "veltrane/conversion/GeoidGridReader.h"
#include "veltrane/tests/EngineTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <type_traits>

using namespace enginetest;

namespace {

// Engines own their basis copies and the means own their supplier while they run: no copies.
static_assert(!std::is_copy_constructible_v<CoordConvParaTrans2> &&
              !std::is_copy_assignable_v<CoordConvParaTrans2>);
static_assert(!std::is_copy_constructible_v<CoordConvHelmert3> &&
              !std::is_copy_assignable_v<CoordConvAffine2>);
static_assert(!std::is_copy_constructible_v<CalcAverageGeo> &&
              !std::is_copy_assignable_v<CalcAverageSbys>);
static_assert(!std::is_copy_constructible_v<GeoidGridReader> &&
              !std::is_copy_assignable_v<GeoidGridReader>);

CoordCnvOption Interpolating(bool on) {
    CoordCnvOption option;
    option.m_nFlag = 1;
    option.m_fResidualInterp = on;
    return option;
}

// Three basis marks whose shifts differ by a few centimetres, two targets and a check point.
class EngineBase : public ::testing::Test {
  protected:
    void SetUp() override {
        db.SetCurrentPlaneArea(9);
        db.Append(BasisPoint(1, "B1", -30000.0, -7000.0, -29644.50, -7292.70, 10.0, 10.5));
        db.Append(BasisPoint(2, "B2", -31000.0, -8000.0, -30644.47, -8292.74, 20.0, 20.4));
        db.Append(BasisPoint(3, "B3", -30500.0, -6000.0, -30144.53, -6292.69, 30.0, 30.6));
        db.Append(TargetPoint(4, "T1", -30400.0, -7100.0, 15.0));
        db.Append(TargetPoint(5, "T2", -29000.0, -9000.0, 25.0));
        db.Append(CheckPoint(6, "C1", -30700.0, -6500.0, -30344.51, -6792.71));
    }

    Veltrane db;
};

TEST_F(EngineBase, AnEngineThatIsNotFittedConvertsNothing) {
    // Never fitted, and failed fits (too few basis points for each model).
    Veltrane few;
    few.Append(BasisPoint(1, "B1", 0.0, 0.0, 1.0, 1.0));
    few.Append(TargetPoint(2, "T1", 5.0, 5.0));
    std::vector<std::unique_ptr<CoordConvParam>> engines;
    engines.push_back(
        std::make_unique<CoordConvParaTrans2>(db, &db, CoordConvParam::CalcModeNormal, 0));
    engines.push_back(
        std::make_unique<CoordConvHelmert>(few, &few, CoordConvParam::CalcModeNormal, 0));
    engines.push_back(
        std::make_unique<CoordConvHelmert3>(few, &few, CoordConvParam::CalcModeNormal, 0));
    engines.push_back(
        std::make_unique<CoordConvAffine2>(few, &few, CoordConvParam::CalcModeNormal, 0));
    engines.push_back(
        std::make_unique<CoordConvSimilar>(few, &few, CoordConvParam::CalcModeNormal, 0));
    engines.push_back(
        std::make_unique<CoordConvParaTrans>(few, &few, CoordConvParam::CalcModeNormal, 0));
    for (std::size_t i = 1; i < engines.size(); ++i)
        EXPECT_FALSE(engines[i]->Calculation(Interpolating(true))) << i;

    for (const auto &engine : engines) {
        SCOPED_TRACE(engine->GetType());
        EXPECT_FALSE(engine->IsCalced());
        const Coordinate in(-30000.0, -7000.0, 0.0, false, 0.0, false);
        Coordinate out(1.0, 2.0, 3.0, true, 0.0, false);
        CoordConvStatusD status = CrdCnvStatGrid;
        EXPECT_FALSE(engine->Transform(in, &out, &status));
        EXPECT_EQ(out.GetX(), 1.0);
        EXPECT_EQ(status, CrdCnvStatGrid);
        Point *target = Stored(db, "T1");
        EXPECT_FALSE(engine->CalcJGD2000(target));
        EXPECT_FALSE(engine->CalcJGD2000(&db, nullptr, false));
        EXPECT_FALSE(engine->CalcJGD2000LSC(&db));
        EXPECT_FALSE(target->IsExistJGD2000(0));
        std::vector<CString> lines;
        EXPECT_FALSE(engine->GetParamStrings(&lines, &db, CoordConvParam::PrmStrNotes));
        EXPECT_TRUE(lines.empty());
    }
}

TEST_F(EngineBase, TheFactoryBuildsTheFourEnginesOfTheParameterTable) {
    for (const CoordCnvKind kind : {CrdCnvParaTrans, CrdCnvSimilar, CrdCnvAffine, CrdCnvNotUsed,
                                    CrdCnvTKY2JGD, CrdCnvNoTrend, CrdCnvBlockOwn})
        EXPECT_EQ(
            CoordConvParam::CreateCrdCnvPrmObj(kind, &db, &db, CoordConvParam::CalcModeNormal, 0),
            nullptr)
            << kind;
    EXPECT_EQ(CoordConvParam::CreateCrdCnvPrmObj(CrdCnvParaTrans2, &db, nullptr,
                                                 CoordConvParam::CalcModeNormal, 0),
              nullptr);
    for (const CoordCnvKind kind :
         {CrdCnvHelmert, CrdCnvAffine2, CrdCnvHelmert3, CrdCnvParaTrans2}) {
        std::unique_ptr<CoordConvParam> engine(
            CoordConvParam::CreateCrdCnvPrmObj(kind, &db, &db, CoordConvParam::CalcModeAdjust, 0));
        ASSERT_NE(engine, nullptr);
        EXPECT_EQ(engine->GetType(), kind);
        EXPECT_EQ(engine->GetCalcMode(), CoordConvParam::CalcModeAdjust);
    }
    std::unique_ptr<CoordConvParam> plain(CoordConvParam::CreateCrdCnvPrmObj(
        CrdCnvHelmert, &db, &db, CoordConvParam::CalcModeNormal, 0));
    EXPECT_EQ(dynamic_cast<CoordConvHelmert2 *>(plain.get()), nullptr);
    Veltrane::SetChosashiMode(true);
    std::unique_ptr<CoordConvParam> surveyor(CoordConvParam::CreateCrdCnvPrmObj(
        CrdCnvHelmert, &db, &db, CoordConvParam::CalcModeNormal, 0));
    Veltrane::SetChosashiMode(false);
    EXPECT_NE(dynamic_cast<CoordConvHelmert2 *>(surveyor.get()), nullptr);
    EXPECT_EQ(surveyor->GetType(), CrdCnvHelmert);
}

TEST_F(EngineBase, TheEngineFitsPrivateCopiesOfTheUsableBasisPoints) {
    Stored(db, "B3")->SetUseForCalc(false);
    CoordConvParaTrans2 engine(db, &db, CoordConvParam::CalcModeNormal, 0);
    // Later changes to the project's points do not reach the engine.
    Stored(db, "B1")->SetCnvBasisITRF(Coordinate(0.0, 0.0, 0.0, true, 0.0, false));
    ASSERT_TRUE(engine.Calculation(Interpolating(false)));
    const PrecisionChkTable &residuals = engine.GetPrecChkTable();
    ASSERT_EQ(residuals.size(), 2u);
    for (const Point *copy : residuals) {
        EXPECT_NE(copy, Stored(db, copy->GetName()));
        EXPECT_TRUE(copy->IsExistJGD2000(0));
    }
    EXPECT_NEAR(engine.GetTransParaX(), (-29644.50 - 30644.47) / 2 - (-30000.0 - 31000.0) / 2,
                1e-9);
    // The fit converted its copies only.
    EXPECT_FALSE(Stored(db, "B1")->IsExistJGD2000(0));
}

TEST_F(EngineBase, TableConversionSpreadsResidualsOverTheOtherPointsOnly) {
    CoordConvParaTrans2 engine(db, &db, CoordConvParam::CalcModeNormal, 0);
    ASSERT_TRUE(engine.Calculation(Interpolating(true)));
    ASSERT_TRUE(engine.CalcJGD2000(&db, nullptr, false));

    // Residuals of the trend at the basis points, computed minus observed.
    const double cXs = (-30000.0 - 31000.0 - 30500.0) / 3, cYs = (-7000.0 - 8000.0 - 6000.0) / 3;
    const double cXd = (-29644.50 - 30644.47 - 30144.53) / 3,
                 cYd = (-7292.70 - 8292.74 - 6292.69) / 3;
    struct B {
        double x, y, ox, oy;
    } basis[] = {{-30000.0, -7000.0, -29644.50, -7292.70},
                 {-31000.0, -8000.0, -30644.47, -8292.74},
                 {-30500.0, -6000.0, -30144.53, -6292.69}};
    const double x = -30400.0, y = -7100.0;
    double W = 0.0, dx = 0.0, dy = 0.0;
    for (const B &b : basis) {
        const double w = 1.0 / std::hypot(b.x - x, b.y - y);
        W += w;
        dx += (cXd + b.x - cXs - b.ox) * w;
        dy += (cYd + b.y - cYs - b.oy) * w;
    }
    const Point *t1 = Stored(db, "T1");
    EXPECT_NEAR(t1->GetCrdTrndJGD2K(0).GetX(), cXd + x - cXs, 1e-9);
    EXPECT_NEAR(t1->GetJGD2000(0).GetX(), cXd + x - cXs - dx / W, 1e-9);
    EXPECT_NEAR(t1->GetJGD2000(0).GetY(), cYd + y - cYs - dy / W, 1e-9);
    EXPECT_EQ(t1->GetCrdCnvStat(0), CrdCnvStatParaTrans);
    EXPECT_EQ(t1->GetJGD2000(0).GetH(), 15.0);
    // The check point is spread too; the basis points keep their trend.
    EXPECT_TRUE(Stored(db, "C1")->GetCrdTrndJGD2K(0).IsValid());
    const Point *b1 = Stored(db, "B1");
    EXPECT_FALSE(b1->GetCrdTrndJGD2K(0).IsValid());
    EXPECT_NEAR(b1->GetJGD2000(0).GetX(), cXd - 30000.0 - cXs, 1e-9);
}

TEST_F(EngineBase, APointOnABasisPointTakesItsResidualWithTheWeightOfTenThousand) {
    CoordConvParaTrans2 engine(db, &db, CoordConvParam::CalcModeNormal, 0);
    ASSERT_TRUE(engine.Calculation(Interpolating(true)));
    const PrecisionChkTable &res = engine.GetPrecChkTable();
    std::vector<double> rx, ry;
    for (const Point *p : res) {
        rx.push_back(res.GetResidualX(p));
        ry.push_back(res.GetResidualY(p));
    }
    const double bx[] = {-30000.0, -31000.0, -30500.0}, by[] = {-7000.0, -8000.0, -6000.0};
    // On B1, 0.00005 m from it (counted as 0.0001 m) and 0.0002 m from it.
    for (const double offset : {0.0, 0.00005, 0.0002}) {
        SCOPED_TRACE(offset);
        const Coordinate source(-30000.0 + offset, -7000.0, 12.0, true, 0.0, false);
        const Coordinate trend(100.0, 200.0, 0.0, false, 0.0, false);
        Coordinate out;
        ASSERT_TRUE(engine.CalcJGD2000LSC(source, trend, &out));
        double W = 0.0, sx = 0.0, sy = 0.0;
        for (int j = 0; j < 3; ++j) {
            const double d = std::hypot(bx[j] - source.GetX(), by[j] - source.GetY());
            const double w = 1.0 / (d < 0.0001 ? 0.0001 : d);
            W += w;
            sx += rx[j] * w;
            sy += ry[j] * w;
        }
        EXPECT_NEAR(out.GetX(), 100.0 - sx / W, 1e-12);
        EXPECT_NEAR(out.GetY(), 200.0 - sy / W, 1e-12);
        EXPECT_EQ(out.GetH(), 12.0);
        EXPECT_TRUE(out.IsHUsed());
        if (offset < 0.0001) {
            EXPECT_NEAR(out.GetX(), 100.0 - rx[0], 2e-6); // almost the whole residual
        }
    }
}

TEST_F(EngineBase, TransformMarksItsInterpolatedResultValid) {
    CoordConvParaTrans2 engine(db, &db, CoordConvParam::CalcModeNormal, 0);
    ASSERT_TRUE(engine.Calculation(Interpolating(true)));
    Point *t1 = Stored(db, "T1");
    ASSERT_TRUE(engine.CalcJGD2000(&db, nullptr, false));
    // A chain of transformers hands on a fresh, invalid coordinate.
    Coordinate out;
    CoordConvStatusD status = CrdCnvStatNone;
    ASSERT_TRUE(engine.Transform(t1->GetTokyoDatum(), &out, &status));
    EXPECT_TRUE(out.IsValid());
    EXPECT_EQ(status, CrdCnvStatParaTrans);
    EXPECT_NEAR(out.GetX(), t1->GetJGD2000(0).GetX(), 1e-9);
    EXPECT_NEAR(out.GetY(), t1->GetJGD2000(0).GetY(), 1e-9);
    EXPECT_FALSE(engine.Transform(Coordinate(), &out, &status));
    EXPECT_FALSE(engine.ReverseTransform(out, &out, &status));
    // A position that is not a number gives no weights to divide by.
    Coordinate before = out;
    EXPECT_FALSE(
        engine.Transform(Coordinate(std::nan(""), -7000.0, 0.0, false, 0.0, false), &out, &status));
    EXPECT_EQ(out.GetX(), before.GetX());
}

TEST_F(EngineBase, TheDatumShiftStepIsTheThreeParameterShiftOrNothingWithoutZones) {
    CoordCnvOption option = Interpolating(false);
    option.m_fDatumShift = true;
    // Basis copies take their shifted Tokyo coordinates, as the parameter table stores them.
    const PlaneArea *oldZone = db.GetCurrentPlaneArea(false);
    const PlaneArea *newZone = db.GetCurrentPlaneArea(true);
    const JCrdSysTrans shift(oldZone->GetProjection(), newZone->GetProjection(),
                             oldZone->GetRefEllips(), newZone->GetRefEllips());
    for (Point *p : db) {
        const Coordinate t = p->GetTokyoDatum();
        double x = 0, y = 0, h = 0;
        ASSERT_TRUE(shift.Transfer(t.GetX(), t.GetY(), t.GetElpsH(), &x, &y, &h));
        p->SetTky3PrmCrd(Coordinate(x, y, t.GetH(), t.IsHUsed(), 0.0, false));
    }
    CoordConvParaTrans2 engine(db, &db, CoordConvParam::CalcModeNormal, 0);
    ASSERT_TRUE(engine.Calculation(option));
    // A single coordinate goes through the same shift as the stored ones.
    Point *t1 = Stored(db, "T1");
    Coordinate out;
    ASSERT_TRUE(engine.Transform(t1->GetTokyoDatum(), &out, nullptr));
    ASSERT_TRUE(engine.CalcJGD2000(t1));
    EXPECT_NEAR(out.GetX(), t1->GetJGD2000(0).GetX(), 1e-9);
    EXPECT_NEAR(out.GetY(), t1->GetJGD2000(0).GetY(), 1e-9);
    EXPECT_EQ(out.GetH(), 15.0);
    EXPECT_GT(std::fabs(out.GetX() - (t1->GetTokyoDatum().GetX() + engine.GetTransParaX())), 1.0);

    // Without a database there are no zones: the coordinate goes on unshifted, never
    // uninitialised.
    CoordConvParaTrans2 alone(db, nullptr, CoordConvParam::CalcModeNormal, 0);
    ASSERT_TRUE(alone.Calculation(option));
    Coordinate a(1e300, 1e300, 0.0, false, 0.0, false);
    ASSERT_TRUE(alone.Transform(t1->GetTokyoDatum(), &a, nullptr));
    EXPECT_NEAR(a.GetX(), t1->GetTokyoDatum().GetX() + alone.GetTransParaX(), 1e-9);
    EXPECT_NEAR(a.GetY(), t1->GetTokyoDatum().GetY() + alone.GetTransParaY(), 1e-9);
}

TEST_F(EngineBase, WithoutInterpolationTheTableRunHasOneProgressKind) {
    CoordConvParaTrans2 engine(db, &db, CoordConvParam::CalcModeNormal, 0);
    ASSERT_TRUE(engine.Calculation(Interpolating(false)));
    RecordingProgress progress;
    ASSERT_TRUE(engine.CalcJGD2000(&db, &progress, false));
    EXPECT_EQ(progress.kinds, std::vector<int>({1}));
    EXPECT_EQ(progress.totals, std::vector<int>({6}));
    // Each change of the percentage: 16, 33, 50, 66, 83, 100.
    EXPECT_EQ(progress.percents, std::vector<int>({16, 33, 50, 66, 83, 100}));
    EXPECT_EQ(progress.ends, 1);
    EXPECT_FALSE(Stored(db, "T1")->GetCrdTrndJGD2K(0).IsValid());

    CoordConvParaTrans2 spreading(db, &db, CoordConvParam::CalcModeNormal, 0);
    ASSERT_TRUE(spreading.Calculation(Interpolating(true)));
    RecordingProgress both;
    ASSERT_TRUE(spreading.CalcJGD2000(&db, &both, false));
    EXPECT_EQ(both.kinds, std::vector<int>({1, 6}));
    EXPECT_EQ(both.ends, 2);
    // Asked to skip the spread, it skips it.
    RecordingProgress skipped;
    ASSERT_TRUE(spreading.CalcJGD2000(&db, &skipped, true));
    EXPECT_EQ(skipped.kinds, std::vector<int>({1}));
}

TEST_F(EngineBase, ACancelStopsTheTableAndIsReported) {
    CoordConvParaTrans2 engine(db, &db, CoordConvParam::CalcModeNormal, 0);
    ASSERT_TRUE(engine.Calculation(Interpolating(true)));
    // Cancelled at the second report: the first two points are converted, the rest not.
    RecordingProgress early(2);
    EXPECT_FALSE(engine.CalcJGD2000(&db, &early, false));
    EXPECT_EQ(early.kinds, std::vector<int>({1}));
    EXPECT_FALSE(early.open);
    EXPECT_TRUE(Stored(db, "B2")->IsExistJGD2000(0));
    EXPECT_FALSE(Stored(db, "B3")->IsExistJGD2000(0));

    // Cancelled in the spread: the whole conversion answers false.
    RecordingProgress late(0, 6);
    EXPECT_FALSE(engine.CalcJGD2000(&db, &late, false));
    EXPECT_EQ(late.kinds, std::vector<int>({1, 6}));
    EXPECT_FALSE(late.open);
}

TEST_F(EngineBase, ASpreadWithNoQualifyingPointChangesNothing) {
    CoordConvParaTrans2 engine(db, &db, CoordConvParam::CalcModeNormal, 0);
    ASSERT_TRUE(engine.Calculation(Interpolating(true)));
    PointTable onlyBasis;
    onlyBasis.Append(Stored(db, "B1"));
    Point noTokyo(9, "N");
    noTokyo.SetKnownJGD2K(Coordinate(1.0, 2.0, 0.0, false, 0.0, false));
    onlyBasis.Append(&noTokyo);
    EXPECT_TRUE(engine.CalcJGD2000LSC(&onlyBasis));
    EXPECT_FALSE(Stored(db, "B1")->IsExistJGD2000(0));
    EXPECT_FALSE(noTokyo.IsExistJGD2000(0));
}

TEST_F(EngineBase, APointWhoseTrendFailedGetsNoSpreadResult) {
    CoordCnvOption option = Interpolating(true);
    option.m_fDatumShift = true;
    // The basis points have shifted Tokyo coordinates; T1 has none, so its trend cannot be
    // computed and the spread must not invent a result for it.
    for (Point *p : db)
        if (p->IsConvBasisPoint() || p->GetName() == "T2")
            p->SetTky3PrmCrd(p->GetTokyoDatum());
    CoordConvParaTrans2 engine(db, &db, CoordConvParam::CalcModeNormal, 0);
    ASSERT_TRUE(engine.Calculation(option));
    ASSERT_TRUE(engine.CalcJGD2000(&db, nullptr, false));
    EXPECT_FALSE(Stored(db, "T1")->IsExistJGD2000(0));
    EXPECT_TRUE(Stored(db, "T2")->IsExistJGD2000(0));
    EXPECT_TRUE(Stored(db, "T2")->GetCrdTrndJGD2K(0).IsValid());
}

TEST_F(EngineBase, TheOlderMatrixSpreadAgreesWithTheSpreadOfEachPoint) {
    CoordConvParaTrans2 engine(db, &db, CoordConvParam::CalcModeNormal, 0);
    ASSERT_TRUE(engine.Calculation(Interpolating(true)));
    ASSERT_TRUE(engine.CalcJGD2000(&db, nullptr, false));
    const Coordinate spread = Stored(db, "T2")->GetJGD2000(0);
    ASSERT_TRUE(engine.CalcJGD2000(&db, nullptr, true));
    RecordingProgress progress;
    engine.CalcJGD2000(&db, &progress, true);
    ASSERT_TRUE(engine.CalcJGD2000LSC_Old(&db));
    EXPECT_NEAR(Stored(db, "T2")->GetJGD2000(0).GetX(), spread.GetX(), 1e-9);
    EXPECT_NEAR(Stored(db, "T2")->GetJGD2000(0).GetY(), spread.GetY(), 1e-9);
    // Its weight run reports as kind 5 and a cancel there stops it.
    RecordingProgress cancel(0, 5);
    engine.CalcJGD2000(&db, &cancel, true);
    EXPECT_FALSE(engine.CalcJGD2000LSC_Old(&db));
}

TEST_F(EngineBase, TheAdjustModeRefitsResultsToKnownPoints) {
    // Three points with a first result, tied to known JGD2000 coordinates 0.1 m away.
    for (const char *name : {"T1", "T2", "C1"}) {
        Point *p = Stored(db, name);
        const Coordinate t = p->GetTokyoDatum();
        p->SetJGD2000(Coordinate(t.GetX() + 355.0, t.GetY() - 292.0, 0.0, false, 0.0, false),
                      CrdCnvStatParaTrans, 0);
        p->SetAdjustKwnPntName("K");
        p->SetKnownJGD2K(Coordinate(t.GetX() + 355.1, t.GetY() - 292.0, 0.0, false, 0.0, false));
    }
    Point free = TargetPoint(7, "F", -30100.0, -7100.0);
    free.SetJGD2000(Coordinate(-30100.0 + 355.0, -7100.0 - 292.0, 0.0, false, 0.0, false),
                    CrdCnvStatParaTrans, 0);
    db.Append(free);
    CoordConvHelmert2 engine(db, &db, CoordConvParam::CalcModeAdjust, 0);
    CoordCnvOption option = Interpolating(true);
    option.m_nFlag = 2;
    option.m_dScaleFactor = 0.9;
    ASSERT_TRUE(engine.Calculation(option));
    // The option is forced to calculation kind 1 (unit scale) without scale factor.
    EXPECT_EQ(engine.GetCoordCnvOption().m_nFlag, 1);
    EXPECT_EQ(engine.GetCoordCnvOption().m_dScaleFactor, 1.0);
    EXPECT_EQ(engine.GetScaleFactor(), 1.0);
    EXPECT_EQ(engine.GetPrecChkTable().GetPrecChkKind(), PrecChkAdjCnvPrec);
    EXPECT_EQ(engine.GetPrecChkTable().size(), 3u);
    ASSERT_TRUE(engine.CalcJGD2000(&db, nullptr, false));
    const Point *f = Stored(db, "F");
    ASSERT_TRUE(f->IsExistAdjustedJGD2K(0));
    EXPECT_NEAR(f->GetAdjustedJGD2K(0).GetX() - f->GetJGD2000(0).GetX(), 0.1, 1e-6);
    EXPECT_TRUE(f->GetAdjTrndJGD2K(0).IsValid());
    // The first results stay as they were.
    EXPECT_EQ(f->GetJGD2000(0).GetX(), -30100.0 + 355.0);
}

TEST_F(EngineBase, DegenerateBasisSetsAreRefused) {
    Veltrane twin;
    twin.Append(BasisPoint(1, "A", 100.0, 100.0, 200.0, 200.0));
    twin.Append(BasisPoint(2, "B", 100.0, 100.0, 200.0, 200.0));
    CoordConvHelmert2 helmert2(twin, &twin, CoordConvParam::CalcModeNormal, 0);
    EXPECT_FALSE(helmert2.Calculation(Interpolating(false)));
    CoordConvHelmert helmert(twin, &twin, CoordConvParam::CalcModeNormal, 0);
    EXPECT_FALSE(helmert.Calculation(Interpolating(false)));

    Veltrane line;
    for (int i = 0; i < 4; ++i)
        line.Append(BasisPoint(i + 1, CString("L") + std::to_string(i).c_str(), 10.0 * i, 20.0 * i,
                               10.0 * i + 5.0, 20.0 * i - 3.0));
    CoordConvAffine affine(line, &line, CoordConvParam::CalcModeNormal, 0);
    EXPECT_FALSE(affine.Calculation(Interpolating(false)));
    CoordConvAffine2 affine2(line, &line, CoordConvParam::CalcModeNormal, 0);
    EXPECT_FALSE(affine2.Calculation(Interpolating(false)));

    // A mirror image solves but is refused.
    Veltrane mirror;
    const double pts[][2] = {{0.0, 0.0}, {100.0, 0.0}, {0.0, 100.0}, {70.0, 40.0}};
    for (int i = 0; i < 4; ++i)
        mirror.Append(BasisPoint(i + 1, CString("M") + std::to_string(i).c_str(), pts[i][0],
                                 pts[i][1], pts[i][1], pts[i][0]));
    CoordConvAffine mirrored(mirror, &mirror, CoordConvParam::CalcModeNormal, 0);
    EXPECT_FALSE(mirrored.Calculation(Interpolating(false)));
}

TEST(SecondAffine, AnAxisTurnedOntoTheOtherAxisReportsItsAngleWithoutAJump) {
    // The image of the y axis along +X' (a2 = 1, a3 = 0 exactly) is +90 degrees, as it is when
    // a3 is a little off 0 on either side; the x axis is turned by 45 degrees.
    const auto angles = [](double a3) {
        Veltrane db;
        const double pts[][2] = {{0, 0}, {100, 0}, {0, 100}, {100, 100}};
        for (int i = 0; i < 4; ++i) {
            const double x = pts[i][0], y = pts[i][1];
            db.Append(BasisPoint(i + 1, CString("P") + std::to_string(i).c_str(), x, y, x + y,
                                 -x + a3 * y));
        }
        CoordConvAffine2 engine(db, &db, CoordConvParam::CalcModeNormal, 0);
        EXPECT_TRUE(engine.Calculation(Interpolating(false)));
        return std::pair{engine.GetRotationAngleX(), engine.GetRotationAngleY()};
    };
    const auto [x0, y0] = angles(0.0);
    EXPECT_DOUBLE_EQ(x0, 45.0 * 3600.0);
    EXPECT_DOUBLE_EQ(y0, 90.0 * 3600.0);
    EXPECT_NEAR(angles(1e-6).second, y0, 1.0);
    EXPECT_NEAR(angles(-1e-6).second, y0, 1.0);
}

TEST_F(EngineBase, ASingleBasisPointGivesItsOwnShift) {
    Veltrane one;
    one.Append(BasisPoint(1, "A", -30000.0, -7000.0, -29644.5, -7292.7));
    one.Append(TargetPoint(2, "T", -30010.0, -7020.0));
    CoordConvParaTrans2 engine(one, &one, CoordConvParam::CalcModeNormal, 0);
    ASSERT_TRUE(engine.Calculation(Interpolating(true)));
    EXPECT_NEAR(engine.GetTransParaX(), 355.5, 1e-9);
    EXPECT_NEAR(engine.GetTransParaY(), -292.7, 1e-9);
    const PrecisionChkTable &res = engine.GetPrecChkTable();
    EXPECT_EQ(res.GetResidualX(res.front()), 0.0);
    EXPECT_EQ(engine.GetAICParam(), 0.0);
    ASSERT_TRUE(engine.CalcJGD2000(&one, nullptr, false));
    EXPECT_NEAR(Stored(one, "T")->GetJGD2000(0).GetX(), -30010.0 + 355.5, 1e-9);
}

TEST(NoTrend, WithoutABasisPointItRefusesInsteadOfStoringNaN) {
    Veltrane db;
    db.Append(TargetPoint(1, "T", 10.0, 20.0));
    CoordConvNoTrend engine(db, &db, CoordConvParam::CalcModeNormal, 0);
    EXPECT_TRUE(engine.Calculation(CoordCnvOption()));
    EXPECT_FALSE(engine.CalcJGD2000(&db, nullptr, false));
    EXPECT_FALSE(Stored(db, "T")->IsExistJGD2000(0));
}

TEST(NoTrend, PointsTakeTheWeightedMeanShiftOfTheBasisPoints) {
    Veltrane db;
    db.Append(BasisPoint(1, "A", 0.0, 0.0, 1.0, 2.0));
    db.Append(BasisPoint(2, "B", 300.0, 400.0, 304.0, 398.0));
    db.Append(TargetPoint(3, "T", 0.0, 100.0, 7.0));
    db.Append(TargetPoint(4, "On", 300.0, 400.0));
    Point known(5, "K");
    known.SetKnownJGD2K(Coordinate(1.0, 1.0, 0.0, false, 0.0, false));
    db.Append(known);
    CoordConvNoTrend engine(db, &db, CoordConvParam::CalcModeNormal, 0);
    ASSERT_TRUE(engine.Calculation(CoordCnvOption()));
    EXPECT_FALSE(
        engine.Transform(Coordinate(0.0, 100.0, 0.0, false, 0.0, false), nullptr, nullptr));
    EXPECT_FALSE(engine.CalcJGD2000(Stored(db, "T")));
    RecordingProgress progress;
    ASSERT_TRUE(engine.CalcJGD2000(&db, &progress, false));
    EXPECT_EQ(progress.kinds, std::vector<int>({4, 5, 1}));
    const double wA = 1.0 / 100.0, wB = 1.0 / std::hypot(300.0, 300.0);
    const Point *t = Stored(db, "T");
    EXPECT_NEAR(t->GetJGD2000(0).GetX(), (1.0 * wA + 4.0 * wB) / (wA + wB), 1e-12);
    EXPECT_NEAR(t->GetJGD2000(0).GetY(), 100.0 + (2.0 * wA - 2.0 * wB) / (wA + wB), 1e-12);
    EXPECT_EQ(t->GetJGD2000(0).GetH(), 7.0);
    EXPECT_EQ(t->GetCrdCnvStat(0), CrdCnvStatNoTrend);
    EXPECT_NEAR(Stored(db, "On")->GetJGD2000(0).GetX(), 304.0, 1e-4);
    // No basis point is converted, and a point without a Tokyo coordinate gets nothing.
    EXPECT_FALSE(Stored(db, "A")->IsExistJGD2000(0));
    EXPECT_FALSE(Stored(db, "K")->IsExistJGD2000(0));

    // It has no residuals to spread: the spread of a single coordinate is refused.
    Coordinate out(5.0, 6.0, 0.0, false, 0.0, false);
    EXPECT_FALSE(engine.CalcJGD2000LSC(Coordinate(0.0, 100.0, 0.0, false, 0.0, false),
                                       Coordinate(1.0, 1.0, 0.0, false, 0.0, false), &out));
    EXPECT_EQ(out.GetX(), 5.0);

    CoordConvNoTrend adjust(db, &db, CoordConvParam::CalcModeAdjust, 0);
    ASSERT_TRUE(adjust.Calculation(CoordCnvOption()));
    EXPECT_FALSE(adjust.CalcJGD2000(&db, nullptr, false));
}

} // namespace
