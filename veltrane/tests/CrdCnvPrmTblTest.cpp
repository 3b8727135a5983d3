#include "veltrane/conversion/CrdCnvPrmTbl.h"
#include "veltrane/database/Veltrane.h"

#include "veltrane/tests/EngineTestSupport.h"
#include "veltrane/tests/RecordFixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

namespace {

using namespace enginetest;

class CrdCnvPrmTblTest : public RecordTest {
  protected:
    void SetUp() override {
        RecordTest::SetUp();
        m_db.SetCurrentPlaneArea(9);
        // Four basis points related by a pure shift, one target.
        const double pts[][2] = {{0, 0}, {1000, 0}, {0, 1000}, {1000, 1200}};
        unsigned id = 1;
        for (const auto &p : pts) {
            const std::string name = std::string("B").append(std::to_string(id));
            m_db.Append(BasisPoint(id++, name.c_str(), p[0], p[1], p[0] + 10, p[1] - 20, 5.0, 6.0));
        }
        m_db.Append(TargetPoint(id, "T", 500, 500, 7.0));
    }
    Veltrane m_db;
};

TEST_F(CrdCnvPrmTblTest, BuildsFourEnginesAndConvertsWithTheChosenOne) {
    CrdCnvPrmTbl table;
    EXPECT_FALSE(table.PrepareCoordConv(CoordCnvOption(), nullptr)); // not bound
    EXPECT_FALSE(table.Initialize(nullptr, &m_db, 0));
    ASSERT_TRUE(table.Initialize(&m_db, &m_db, 0));
    RecordingProgress fit;
    ASSERT_TRUE(table.PrepareCoordConv(CoordCnvOption(), &fit));
    EXPECT_EQ(fit.kinds, (std::vector<int>{7}));
    EXPECT_EQ(fit.totals, (std::vector<int>{4}));
    for (CoordCnvKind kind : {CrdCnvHelmert, CrdCnvAffine2, CrdCnvHelmert3, CrdCnvParaTrans2})
        ASSERT_NE(table.GetCoordConvParam(kind), nullptr) << kind;
    EXPECT_EQ(table.GetCoordConvParam(CrdCnvParaTrans), nullptr);

    ASSERT_TRUE(table.ExecuteCoordConv(CrdCnvParaTrans2, nullptr));
    const Point *t = Stored(m_db, "T");
    EXPECT_NEAR(t->GetJGD2000(0).GetX(), 510.0, 1e-6);
    EXPECT_NEAR(t->GetJGD2000(0).GetY(), 480.0, 1e-6);
    EXPECT_NEAR(t->GetJGD2000(0).GetH(), 8.0, 1e-9); // Tokyo height + the basis points' +1
    EXPECT_EQ(table.GetSelectedCoordConvParam()->GetType(), CrdCnvParaTrans2);
    EXPECT_EQ(table.GetPrecChkTable(PrecChkCnvPrec)->size(), 4u);
    EXPECT_EQ(table.GetPrecChkTable(PrecChkCrdDiff), nullptr);
    double hiko = 0;
    EXPECT_EQ(table.GetHikoVectMax(&hiko), 1);
    EXPECT_NEAR(hiko, 1.0, 1e-9);

    // A cancel during the fit stops the preparation.
    RecordingProgress cancel(2);
    EXPECT_FALSE(table.PrepareCoordConv(CoordCnvOption(), &cancel));

    // Too few basis points: the engines stay unfitted and no kind converts.
    Veltrane small;
    small.SetCurrentPlaneArea(9);
    small.Append(TargetPoint(1, "T", 0, 0));
    CrdCnvPrmTbl lone;
    ASSERT_TRUE(lone.Initialize(&small, &small, 0));
    ASSERT_TRUE(lone.PrepareCoordConv(CoordCnvOption(), nullptr));
    EXPECT_FALSE(lone.ExecuteCoordConv(CrdCnvParaTrans2, nullptr));
    EXPECT_FALSE(lone.IsCrdCnvCompleted());
}

// The height step: a target standing at an old mark takes the height observed there, of the last
// basis point in table order tied to it; any other target, the nameless one too, the weighted
// height of all basis points.
TEST_F(CrdCnvPrmTblTest, ATargetAtAnOldMarkTakesTheHeightObservedThere) {
    Stored(m_db, "B2")->SetInsyoName("M");
    Point *b4 = Stored(m_db, "B4");
    b4->SetInsyoName("M");
    Coordinate observed = b4->GetObservedITRF();
    observed.SetH(9.5);
    b4->SetCnvBasisITRF(observed);
    m_db.Append(TargetPoint(10, "M", 100, 900, 1.0));
    m_db.Append(TargetPoint(11, "", 100, 900, 1.0));
    m_db.Append(TargetPoint(12, "m", 100, 900, 1.0)); // names match exactly
    CrdCnvPrmTbl table;
    ASSERT_TRUE(table.Initialize(&m_db, &m_db, 0));
    ASSERT_TRUE(table.PrepareCoordConv(CoordCnvOption(), nullptr));
    ASSERT_TRUE(table.ExecuteCoordConv(CrdCnvParaTrans2, nullptr));
    EXPECT_EQ(Stored(m_db, "M")->GetJGD2000(0).GetH(), 9.5);
    // 1 + the differences 1, 1, 1 and 4.5 weighted by the inverse distances to (100, 900).
    double total = 0, h = 0;
    for (const auto &[x, y, diff] : {std::tuple{0.0, 0.0, 1.0},
                                     {1000.0, 0.0, 1.0},
                                     {0.0, 1000.0, 1.0},
                                     {1000.0, 1200.0, 4.5}}) {
        const double w = 1.0 / std::sqrt((x - 100) * (x - 100) + (y - 900) * (y - 900));
        total += w;
        h += diff * w;
    }
    for (const char *name : {"", "m"})
        EXPECT_EQ(Stored(m_db, name)->GetJGD2000(0).GetH(), 1.0 + h / total) << name;
}

TEST_F(CrdCnvPrmTblTest, RecordIs64BytesAndTheUseGeoidSwitchSetsTheFlagBit) {
    CrdCnvPrmTbl table;
    CoordCnvOption option;
    option.m_fResidualInterp = true;
    option.m_nFlag = 1;
    option.m_dScaleFactor = 0.9999;
    option.m_fUseGeoid = false;
    option.m_nTakeHeight = 0;
    table.SetCoordCnvOption(option);
    table.SetCoordCnvKind(CrdCnvParaTrans2);
    const std::string expected = testsupport::Bytes()
                                     .i32(0)
                                     .i32(9)
                                     .i32(0)
                                     .i32(0)
                                     .i32(1)
                                     .i32(1)
                                     .f64(0.9999)
                                     .f64(0.0)
                                     .f64(0.0)
                                     .i32(0)
                                     .i32(1)
                                     .i32(0)
                                     .i32(1)
                                     .data();
    ASSERT_EQ(expected.size(), 64u);
    EXPECT_EQ(stored([&](CArchive &ar) { table.Write(ar); }), expected);

    // Read applies the option with its stored use-geoid switch: "no geoid" gains no geoid bit,
    // and the record writes back the same.
    CrdCnvPrmTbl read;
    load(expected, [&](CArchive &ar) { EXPECT_TRUE(read.Read(ar, 102)); });
    EXPECT_EQ(read.GetCoordCnvKind(), CrdCnvParaTrans2);
    EXPECT_EQ(read.GetCoordCnvOption().m_nFlag, 1);
    EXPECT_EQ(stored([&](CArchive &ar) { read.Write(ar); }), expected);
    // A stored "use the geoid" without the bit gains it, as the option setter gives it.
    std::string withGeoid = expected;
    withGeoid.replace(48, 4, testsupport::Bytes().i32(1).data());
    load(withGeoid, [&](CArchive &ar) { EXPECT_TRUE(read.Read(ar, 102)); });
    EXPECT_EQ(read.GetCoordCnvOption().m_nFlag, 1 | CoordCnvOption::kAddGeoidHeight);
    load(expected, [&](CArchive &ar) { EXPECT_TRUE(read.Read(ar, 102)); });
    EXPECT_FALSE(read.GetCoordCnvOption().m_fUseGeoid);
    EXPECT_EQ(read.GetCoordCnvOption().m_nTakeHeight, 0);
    EXPECT_THROW(load(expected.substr(0, 63), [&](CArchive &ar) { read.Read(ar, 102); }),
                 CArchiveException);
}

} // namespace
