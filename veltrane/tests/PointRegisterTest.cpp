// Reading exchange files into a database: the duplicate-point question, IDs, merging, renaming and
// the lots of a file.
#include "veltrane/conversion/CoordConvParam.h"
#include "veltrane/database/CrdRewriteAsker.h"
#include "veltrane/database/VeskRW.h"
#include "veltrane/tests/EngineTestSupport.h"

#include "tests/support/ScriptedPrompts.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <deque>
#include <set>
#include <string>
#include <vector>

using namespace enginetest;

namespace {

// Answers the duplicate-point questions from a queue and records them; an unexpected question
// fails the test and cancels.
class ScriptedRewrite {
  public:
    explicit ScriptedRewrite(std::deque<CrdRewriteAnswer> script = {}) : answers(script) {
        m_previous = SetCrdRewriteHandler([this](const CrdRewriteQuestion &q) {
            asked.push_back(q);
            if (answers.empty()) {
                ADD_FAILURE() << "unexpected question about " << ToUtf8(q.name);
                return CrdRewriteCancel;
            }
            const CrdRewriteAnswer answer = answers.front();
            answers.pop_front();
            return answer;
        });
    }
    ~ScriptedRewrite() { SetCrdRewriteHandler(m_previous); }
    ScriptedRewrite(const ScriptedRewrite &) = delete;
    ScriptedRewrite &operator=(const ScriptedRewrite &) = delete;

    std::vector<CrdRewriteQuestion> asked;
    std::deque<CrdRewriteAnswer> answers;

  private:
    CrdRewriteHandler m_previous;
};

// The land-surveyor mode (points and lots from exchange files) while it lives.
struct SurveyorMode {
    SurveyorMode() { Veltrane::SetChosashiMode(true); }
    ~SurveyorMode() { Veltrane::SetChosashiMode(false); }
};

Point KnownOnly(unsigned id, const char *name, double x, double y) {
    Point p(id, name);
    p.SetKnownJGD2K(Coordinate(x, y, 0.0, false, 0.0, false));
    return p;
}

class PointRegisterTest : public testsupport::TempFolderTest {
  protected:
    // A Tokyo-datum exchange file of the given A01 points and further lines.
    CString file(const std::string &points, const std::string &rest = "") const {
        return put("G00,03,site,\r\nA00,\r\n" + points + "A99,\r\n" + rest, "in.sim");
    }
    void expectUniqueIDs() const {
        std::set<unsigned> ids;
        for (const Point *p : db)
            EXPECT_TRUE(ids.insert(p->GetID()).second) << "ID " << p->GetID() << " twice";
    }
    Coordinate tokyo(const char *name) { return Stored(db, name)->GetTokyoDatum(); }

    Veltrane db;
};

TEST_F(PointRegisterTest, OverwriteAllStopsTheQuestionsAndNoSkipsOnePoint) {
    db.Append(TargetPoint(5, "A", 1, 1, 1));
    db.Append(TargetPoint(9, "B", 2, 2));
    db.Append(TargetPoint(7, "C", 3, 3));
    db.Append(KnownOnly(8, "K", 50, 50));
    const CString in = file("A01,1,A,10,10,10,\r\nA01,2,B,20,20,,\r\nA01,3,C,30,30,,\r\n"
                            "A01,4,D,40,40,,\r\nA01,5,K,60,60,,\r\n");
    ScriptedRewrite rewrite({CrdRewriteNo, CrdRewriteAll});
    ASSERT_TRUE(db.ReadVesk(in, nullptr, CrdKindTokyo, ITRFKindNone));

    ASSERT_EQ(rewrite.asked.size(), 2u);
    const CrdRewriteQuestion &q = rewrite.asked[0];
    EXPECT_EQ(q.name, "A");
    EXPECT_EQ(q.read.GetX(), 10.0);
    EXPECT_TRUE(q.read.IsHUsed());
    EXPECT_EQ(q.stored.GetX(), 1.0);
    EXPECT_EQ(q.kind, CrdKindTokyo);
    EXPECT_EQ(q.storedITRFKind, ITRFKindNone);
    EXPECT_EQ(CrdRewriteQuestion::CoordText(q.read), "X:     10.000  Y:     10.000  H:     10.000");
    EXPECT_EQ(CrdRewriteQuestion::CoordText(rewrite.asked[1].read),
              "X:     20.000  Y:     20.000  H: ----");
    EXPECT_EQ(rewrite.asked[1].name, "B");

    // A skipped point is not stored; the others stand beside the stored ones, which keep their
    // coordinates and IDs. New IDs lie above every ID, not at the file's numbers.
    std::vector<std::string> stored;
    for (const Point *p : db)
        stored.push_back(std::string(p->GetName().Bytes()) + " " + std::to_string(p->GetID()) +
                         " " + std::to_string(p->GetTokyoDatum().GetX()));
    EXPECT_EQ(stored, (std::vector<std::string>{"A 5 1.000000", "B 9 2.000000", "C 7 3.000000",
                                                "K 8 0.000000", "B 10 20.000000", "C 11 30.000000",
                                                "D 12 40.000000", "K 13 60.000000"}));
    EXPECT_FALSE(db.GetPoint(4)->GetTokyoDatum().IsHUsed());
    EXPECT_FALSE(Stored(db, "K")->IsExistTokyoDatum());
    expectUniqueIDs();
}

TEST_F(PointRegisterTest, CancelStoresNothingAndAsksNothingMore) {
    db.Append(TargetPoint(1, "A", 1, 1));
    db.Append(TargetPoint(2, "B", 2, 2));
    const CString in = file("A01,1,A,10,10,,\r\nA01,2,B,20,20,,\r\nA01,3,N,5,5,,\r\n"
                            "A01,4,BAD,x,1,,\r\n");
    ScriptedRewrite rewrite({CrdRewriteYes, CrdRewriteCancel});
    testsupport::ScriptedPrompts prompts; // the bad record after a cancel asks nothing
    EXPECT_FALSE(db.ReadVesk(in, nullptr, CrdKindTokyo, ITRFKindNone));
    EXPECT_EQ(db.size(), 2u);
    EXPECT_EQ(tokyo("A").GetX(), 1.0);
    EXPECT_EQ(db.GetFileStop().GetStopLine(), 4);
    EXPECT_EQ(db.GetFileStop().GetStopReason(), kStopCancel);

    // The next read starts afresh.
    ScriptedRewrite again({CrdRewriteYes, CrdRewriteYes});
    EXPECT_TRUE(db.ReadVesk(file("A01,1,A,10,10,,\r\nA01,2,B,20,20,,\r\n"), nullptr, CrdKindTokyo,
                            ITRFKindNone));
    ASSERT_EQ(db.size(), 4u);
    EXPECT_EQ(db.GetPoint(2)->GetTokyoDatum().GetX(), 10.0);
}

TEST_F(PointRegisterTest, WithoutAnAskerADuplicateCancelsTheRead) {
    db.Append(TargetPoint(1, "A", 1, 1));
    testing::internal::CaptureStderr();
    EXPECT_EQ(AskCrdRewrite({"A", Coordinate(), Coordinate(), CrdKindTokyo, ITRFKindNone}),
              CrdRewriteCancel);
    EXPECT_FALSE(db.ReadVesk(file("A01,1,A,10,10,,\r\n"), nullptr, CrdKindTokyo, ITRFKindNone));
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("[question] "), std::string::npos) << err;
    EXPECT_NE(err.find("-> Cancel"), std::string::npos) << err;
    EXPECT_EQ(tokyo("A").GetX(), 1.0);
}

TEST_F(PointRegisterTest, ObservedCoordinatesMergeOrMakeLinkedPoints) {
    db.Append(TargetPoint(1, "C", 1, 1));
    db.Append(TargetPoint(2, "A", 2, 2));
    db.Append(TargetPoint(3, "A#ZUB001", 3, 3));
    const std::string z01 = "Z01,0,\r\n";
    ScriptedRewrite none;

    // A check observation of a stored name joins the stored point without a question.
    ASSERT_TRUE(
        db.ReadVesk(put("G00,03,s,\r\n" + z01 + "A00,\r\nA01,1,C,11,11,,\r\nA99,\r\n", "c.sim"),
                    nullptr, CrdKindObsITRF, ITRFKindChkObs));
    ASSERT_EQ(db.size(), 3u);
    EXPECT_TRUE(Stored(db, "C")->IsChkObsPoint());
    EXPECT_EQ(Stored(db, "C")->GetObservedITRF().GetX(), 11.0);

    // A basis observation of a Tokyo point becomes a point of its own under the next free
    // numbered name, tied to the mark it was observed at.
    ASSERT_TRUE(
        db.ReadVesk(put("G00,03,s,\r\n" + z01 + "A00,\r\nA01,1,A,12,12,,\r\nA99,\r\n", "a.sim"),
                    nullptr, CrdKindObsITRF, ITRFKindCnvBasis));
    ASSERT_EQ(db.size(), 4u);
    const Point *linked = Stored(db, "A#ZUB002");
    EXPECT_EQ(linked->GetObservedITRF().GetX(), 12.0);
    EXPECT_EQ(linked->GetTokyoDatum().GetX(), 2.0);
    EXPECT_EQ(linked->GetInsyoName(), "A");
    EXPECT_FALSE(Stored(db, "A")->IsExistITRF());
    expectUniqueIDs();
}

// "すべて上書き" in a read of observed coordinates merges every later namesake into its stored
// point, also one that would have been renamed (a Tokyo point, a stored basis point); "はい"
// alone merges the point asked about and keeps the renaming of the others.
TEST_F(PointRegisterTest, OverwriteAllMergesEveryLaterObservedNamesake) {
    const auto read = [this](Veltrane &into, CrdRewriteAnswer answer) {
        into.Append(CheckPoint(1, "A", 1, 1, 11, 11));
        into.Append(TargetPoint(2, "B", 2, 2));
        into.Append(BasisPoint(3, "C", 3, 3, 13, 13));
        ScriptedRewrite rewrite({answer});
        EXPECT_TRUE(into.ReadVesk(put("G00,03,s,\r\nZ01,0,\r\nA00,\r\nA01,1,A,21,21,,\r\n"
                                      "A01,2,B,22,22,,\r\nA01,3,C,23,23,,\r\nA99,\r\n",
                                      "o.sim"),
                                  nullptr, CrdKindObsITRF, ITRFKindCnvBasis));
        EXPECT_EQ(rewrite.asked.size(), 1u);
        std::vector<std::string> points;
        for (const Point *p : into)
            points.push_back(std::string(p->GetName().Bytes()) + " " + std::to_string(p->GetID()) +
                             " " + std::to_string(p->GetObservedITRF().GetX()));
        return points;
    };
    EXPECT_EQ(read(db, CrdRewriteAll),
              (std::vector<std::string>{"A 1 21.000000", "B 2 22.000000", "C 3 23.000000"}));
    EXPECT_EQ(db.GetCnvBasisPointSize(), 3u);
    Veltrane yes;
    EXPECT_EQ(read(yes, CrdRewriteYes),
              (std::vector<std::string>{"A 1 21.000000", "B 2 0.000000", "C 3 13.000000",
                                        "B#ZUB001 4 22.000000", "C#ZUB001 5 23.000000"}));
}

TEST_F(PointRegisterTest, KnownCoordinatesMakeTheAdjustmentValid) {
    db.Append(TargetPoint(1, "A", 1, 1));
    ASSERT_FALSE(db.IsAdjustCrdCnvValid());
    ASSERT_TRUE(
        db.ReadVesk(put("G00,03,s,\r\nZ01,0,\r\nA00,\r\nA01,1,A,9,9,,\r\nA99,\r\n", "k.sim"),
                    nullptr, CrdKindKnownJGD2K, ITRFKindNone));
    EXPECT_EQ(Stored(db, "A")->GetKnownJGD2K().GetX(), 9.0);
    EXPECT_TRUE(db.IsAdjustCrdCnvValid());
}

TEST_F(PointRegisterTest, TheCoordinateSystemQuestion) {
    const std::string world = "G00,03,s,\r\nZ01,0,\r\nA00,\r\nA01,1,P,1,2,,\r\nA99,\r\n";
    {
        testsupport::ScriptedPrompts prompts({IDNO});
        EXPECT_FALSE(db.ReadVesk(put(world, "w.sim"), nullptr, CrdKindTokyo, ITRFKindNone));
        ASSERT_EQ(prompts.asked.size(), 1u);
        EXPECT_EQ(prompts.asked[0].first,
                  "読み込み中のファイルは、座標データが世界測地系のものです。\n"
                  "読み込み先は「旧座標(日本測地系)」なので一致しませんが、読み込みを続けてよろしい"
                  "ですか？");
        EXPECT_EQ(prompts.asked[0].second, MB_YESNO);
        EXPECT_EQ(db.size(), 0u);
        EXPECT_EQ(db.GetFileStop().GetStopLine(), 2);
    }
    testsupport::ScriptedPrompts none;
    EXPECT_TRUE(db.ReadVesk(put(world, "w.sim"), nullptr, CrdKindObsITRF, ITRFKindCnvBasis));
    EXPECT_TRUE(
        db.ReadVesk(put("G00,03,s,\r\nZ01,1,\r\nA00,\r\nA01,1,Q,1,2,,\r\nA99,\r\n", "t.sim"),
                    nullptr, CrdKindTokyo, ITRFKindNone));
    EXPECT_EQ(db.size(), 2u);
}

TEST_F(PointRegisterTest, LotsBindThePointsReadWithTheirNumbers) {
    SurveyorMode surveyor;
    db.Append(TargetPoint(30, "P", 5, 5));
    db.Append(KnownOnly(2, "K", 50, 50));
    // P stands beside the stored point whose ID is 30, the file's number of Q.
    const CString in = file("A01,10,P,6,6,,\r\nA01,30,Q,7,7,,\r\nA01,20,K,8,8,,\r\n",
                            "D00,1,L1,1,\r\nB01,10,P,\r\nB01,30,Q,\r\nB01,20,K,\r\nD99,\r\n"
                            "D00,2,L2,1,\r\nB01,10,P,\r\nB01,99,X,\r\nD99,\r\n"
                            "D00,3,L3,2,\r\nD99,\r\n");
    ScriptedRewrite rewrite({CrdRewriteYes});
    ASSERT_TRUE(db.ReadVesk(in, nullptr, CrdKindTokyo, ITRFKindNone));
    ASSERT_EQ(db.size(), 5u);
    expectUniqueIDs();

    const JLotTable *lots = db.GetLotTable();
    ASSERT_EQ(lots->GetLotSize(), 2u); // L2 names a point the file does not hold
    const JLot *l1 = lots->GetLot(0);
    EXPECT_EQ(l1->GetName(), "L1");
    ASSERT_EQ(l1->GetPntSize(), 3u);
    EXPECT_EQ(l1->GetPoint(0), db.GetPoint(2));
    EXPECT_EQ(l1->GetPoint(0)->GetTokyoDatum().GetX(), 6.0);
    EXPECT_EQ(Stored(db, "P")->GetTokyoDatum().GetX(), 5.0);
    EXPECT_EQ(l1->GetPoint(1), Stored(db, "Q"));
    // K had no Tokyo coordinate: its Tokyo point stands beside it with K's known coordinate.
    const Point *k = l1->GetPoint(2);
    EXPECT_EQ(k->GetName(), "K");
    EXPECT_NE(k, Stored(db, "K"));
    EXPECT_EQ(k->GetTokyoDatum().GetX(), 8.0);
    EXPECT_EQ(k->GetKnownJGD2K().GetX(), 50.0);
    EXPECT_EQ(k->GetAdjustKwnPntName(), "K");
    EXPECT_EQ(lots->GetLot(1)->GetName(), "L3");
    EXPECT_EQ(lots->GetLot(1)->GetKind(), 2u);
    EXPECT_EQ(lots->GetLot(1)->GetPntSize(), 0u);
}

// A job's field file lists its control points too: a Tokyo-datum read stores them beside the
// stored ones, so every basis and check point, and the fit, stay as they were.
TEST_F(PointRegisterTest, ATokyoReadOfTheControlPointsLeavesThemAndTheFitAlone) {
    db.Append(BasisPoint(1, "B1", -30000, -31000, -29600.2, -31400.1, 10, 50));
    db.Append(BasisPoint(2, "B2", -30500, -30200, -30100.1, -30600.3, 12, 52));
    db.Append(BasisPoint(3, "B3", -29400, -30600, -28999.8, -31000.2, 11, 51));
    db.Append(CheckPoint(4, "C1", -29900, -30700, -29500, -31100));
    const auto fit = [this] { // the parameters, and a target converted with them
        std::vector<CString> fitted;
        Coordinate t;
        CoordConvStatusD status;
        const CoordConvParam *e = db.PrepareCoordConv(db.GetCoordCnvOption(), nullptr)
                                      ? db.GetSelectedCoordConvParam()
                                      : nullptr;
        EXPECT_TRUE(e && e->GetParamStrings(&fitted, &db, CoordConvParam::PrmStrNotes) &&
                    e->Transform(Coordinate(-30100, -30500, 0, false, 0, false), &t, &status));
        fitted.emplace_back().Format("%.17g %.17g", t.GetX(), t.GetY());
        return fitted;
    };
    const std::vector<CString> before = fit();
    ScriptedRewrite rewrite({CrdRewriteYes, CrdRewriteAll});
    ASSERT_TRUE(db.ReadVesk(file("A01,1,B1,-29999.5,-31000,10,\r\nA01,2,B2,-30500,-30200,12,\r\n"
                                 "A01,3,C1,-29900,-30700,,\r\nA01,4,T1,-30100,-30500,,\r\n"),
                            nullptr, CrdKindTokyo, ITRFKindNone));
    EXPECT_EQ(rewrite.asked.size(), 2u);
    EXPECT_EQ(fit(), before);
    ASSERT_EQ(db.size(), 8u);
    EXPECT_EQ(tokyo("B1").GetX(), -30000.0);
    EXPECT_EQ(db.GetPoint(4)->GetName(), "B1");
    EXPECT_EQ(db.GetPoint(4)->GetTokyoDatum().GetX(), -29999.5);
    EXPECT_EQ(db.GetCnvTargetPointSize(), 5u); // the check point and the four read rows
}

// Each read point meets at most one stored point of its name, in order.
TEST_F(PointRegisterTest, NamesakesStayApartWhenAFileIsReadAgain) {
    const std::string head = "G00,03,s,\r\nZ01,0,\r\nA00,\r\n";
    ScriptedRewrite rewrite({CrdRewriteYes, CrdRewriteYes, CrdRewriteAll});
    ASSERT_TRUE(
        db.ReadVesk(put(head + "A01,1,P1,1,1,,\r\nA01,2,P2,2,2,,\r\nA01,3,P2,3,3,,\r\n", "a"),
                    nullptr, CrdKindKnownJGD2K, ITRFKindNone));
    ASSERT_TRUE(db.ReadVesk(put(head + "A01,1,P2,12,12,,\r\nA01,2,P1,11,11,,\r\n"
                                       "A01,3,P2,13,13,,\r\nA01,4,P2,14,14,,\r\n",
                                "b"),
                            nullptr, CrdKindKnownJGD2K, ITRFKindNone));
    ASSERT_EQ(rewrite.asked.size(), 3u);
    EXPECT_EQ(rewrite.asked[2].stored.GetX(), 3.0); // the second P2 is asked about the second
    std::vector<double> known; // a third P2 meets none and is a point of its own
    for (const Point *p : db)
        known.push_back(p->GetKnownJGD2K().GetX());
    EXPECT_EQ(known, (std::vector<double>{11, 12, 13, 14}));
}

TEST_F(PointRegisterTest, LotMembersThatNumbersCannotTellApartAreBoundByName) {
    SurveyorMode surveyor;
    ASSERT_TRUE(db.ReadVesk(file("A01,,P1,1,1,,\r\nA01,,P2,2,2,,\r\nA01,0,P3,3,3,,\r\n"
                                 "A01,7,Q1,4,4,,\r\nA01,7,Q2,5,5,,\r\n",
                                 "D00,1,L,1,\r\nB01,,P1,\r\nB01,,P2,\r\nB01,0,P3,\r\n"
                                 "B01,7,Q2,\r\nD99,\r\n"),
                            nullptr, CrdKindTokyo, ITRFKindNone));
    const JLot *lot = db.GetLotTable()->GetLot(0);
    ASSERT_TRUE(lot != nullptr && lot->GetPntSize() == 4u);
    for (unsigned m = 0; m < 4; ++m)
        EXPECT_EQ(lot->GetPoint(m), db.GetPoint(m < 3 ? m : 4)) << m;
    // Neither numbers nor names tell the two P apart: the read stops there and stores nothing.
    EXPECT_FALSE(
        db.ReadVesk(file("A01,,P,1,1,,\r\nA01,,P,2,2,,\r\n", "D00,1,L2,1,\r\nB01,,P,\r\nD99,\r\n"),
                    nullptr, CrdKindTokyo, ITRFKindNone));
    EXPECT_EQ(db.GetFileStop().GetStopLine(), 7);
    EXPECT_EQ(db.GetFileStop().GetStopReason(),
              "画地[L2]の点[P]は点番号でも点名でも特定できません。");
    EXPECT_EQ(db.size(), 5u);
}

// The lot records as the reader hands them over.
class LotRecords : public VeskRW {
  public:
    using VeskRW::AddLotEnd;
    using VeskRW::AddLotStart;
    using VeskRW::AddPointOfLot;
    using VeskRW::VeskRW;
};

TEST_F(PointRegisterTest, AMemberOutsideALotIsABadRecordAndALotIsHandedOverOnce) {
    LotRecords rw(&db);
    EXPECT_EQ(rw.AddPointOfLot(1, "P"), 0);
    EXPECT_EQ(rw.AddLotEnd(), 1);
    EXPECT_EQ(rw.AddLotStart(1, "L", LOT_KIND{1}), 1);
    EXPECT_EQ(rw.AddPointOfLot(1, "P"), 1);
    EXPECT_EQ(rw.AddLotEnd(), 1);
    EXPECT_EQ(rw.AddPointOfLot(2, "Q"), 0);
    EXPECT_EQ(rw.AddLotEnd(), 1);
}

} // namespace
