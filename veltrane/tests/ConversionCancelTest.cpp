// A conversion cancelled at any report leaves the project as it was: the project file, the
// latitudes and longitudes, the precision tables and the fitted engines of the whole area and
// of every block, so that a conversion after the cancel gives what it gives without it.
#include "ombresk/OmbreskMngr.h"
#include "tests/support/FailingAllocation.h"
#include "tests/support/ProjectDump.h"
#include "tests/support/RecordingProgress.h"
#include "tests/support/SurveyData.h"
#include "tests/support/TempFolder.h"
#include "veltrane/conversion/ConversionState.h"
#include "veltrane/database/Veltrane.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <new>
#include <set>

namespace {

using testsupport::RecordingProgress2;

CoordCnvOption option(bool shift) {
    CoordCnvOption o;
    o.m_fResidualInterp = !shift;
    o.m_fDatumShift = shift;
    o.m_nFlag = shift ? 2 : 1;
    return o;
}

// The survey area converted as a whole and in two overlapping blocks, with known JGD2000
// coordinates (and an unshifted Tokyo coordinate as the shifted one) at eight targets for the
// adjustment, and an observation without its Tokyo coordinate, which the next preparation takes
// out of the calculation.
void build(Veltrane &db) {
    testsupport::AddSurveyPoints(db, testsupport::SurveyZone9());
    int known = 0;
    for (const testsupport::SurveyPoint &s : testsupport::SurveyZone9())
        if (s.kind == "target" && known++ % 4 == 0) {
            db.Find(s.name)->SetAdjustKwnPntName("K");
            db.Find(s.name)->SetKnownJGD2K(Coordinate(s.jgdX, s.jgdY, s.jgdH, true, 0, false));
            db.Find(s.name)->SetTky3PrmCrd(Coordinate(s.tokyoX, s.tokyoY, 0, false, 0, false));
        }
    for (unsigned no : {1u, 2u}) {
        auto *block = new CrdTrnsBlock(no);
        ASSERT_TRUE(db.GetCrdTrnsBlockTbl()->Append(block));
        for (Point *p : db)
            if ((p->GetTokyoDatum().GetX() < -32400) == (no == 1) ||
                std::abs(p->GetTokyoDatum().GetX() + 32500) < 100)
                block->AppendPnt(p, true, true);
    }
    ASSERT_TRUE(db.PrepareCoordConv(option(false), nullptr));
    ASSERT_TRUE(db.CoordConvExecute(CrdCnvParaTrans2, nullptr));
    ASSERT_TRUE(db.GetCrdCnvPrmTbl()->IsAdjustClcCompleted());
    ASSERT_TRUE(db.PrepareBlockCoordConv(option(false), nullptr));
    ASSERT_TRUE(db.BlockCoordConvExecute(CrdCnvHelmert, nullptr, nullptr));
    Point lone(100, "U");
    lone.SetCnvBasisITRF(Coordinate(-30000, -7000, 10, true, 0, false));
    db.Append(lone);
}

class ConversionCancel : public testsupport::TempFolderTest {
  protected:
    std::string snapshot(Veltrane &db) { return testsupport::ProjectDump(db, path("dump.zub")); }
};

TEST_F(ConversionCancel, ACancelAtAnyReportChangesNothing) {
    using Run = std::function<bool(Veltrane &, JIProgMsgBase2 *)>;
    OmbreskMngr grid; // without parameters every point takes the datum shift
    const auto block2 = [](Veltrane &db) { return db.GetCrdTrnsBlockTbl()->FindBlock(2); };
    // Each run and what it answers uncancelled; kinds the table does not offer report nothing.
    std::vector<std::tuple<std::string, Run, bool>> runs{
        {"prepare", [](auto &db, auto *p) { return db.PrepareCoordConv(option(true), p); }, true},
        {"grid", [&](auto &db, auto *p) { return db.T2JCoordConvExecute(&grid, p); }, true},
        {"prepare blocks",
         [](auto &db, auto *p) { return db.PrepareBlockCoordConv(option(true), p); }, true},
        {"prepare blocks by table",
         [](auto &db, auto *p) {
             return db.PrepareBlockCoordConv(CrdCnvOptTbl{{2, option(true)}}, p);
         },
         true},
        {"prepare block 2",
         [&](auto &db, auto *p) { return block2(db)->PrepareCoordConv(option(true), &db, p); },
         true}};
    for (int k : {-1, 0, 1, 2, 3, 5, 6, 7, 8, 9}) {
        const auto kind = static_cast<CoordCnvKind>(k);
        const std::string n = std::to_string(k);
        runs.emplace_back(
            "convert " + n, [=](auto &db, auto *p) { return db.CoordConvExecute(kind, p); },
            k == 2 || k > 6);
        runs.emplace_back(
            "convert blocks " + n,
            [=](auto &db, auto *p) { return db.BlockCoordConvExecute(kind, nullptr, p); },
            k == -1 || k == 2 || k > 6);
        if (k > 0)
            runs.emplace_back(
                "convert block 2 " + n,
                [=](auto &db, auto *p) { return block2(db)->ExecuteCoordConv(kind, p); },
                k == 2 || k > 6);
    }

    for (const auto &[name, run, done] : runs) {
        RecordingProgress2 counter;
        {
            Veltrane db;
            build(db);
            EXPECT_EQ(run(db, &counter), done) << name;
        }
        for (int at : std::set<int>{1, (counter.reports + 1) / 2, counter.reports}) {
            SCOPED_TRACE(name + ", cancelled at report " + std::to_string(at) + " of " +
                         std::to_string(counter.reports));
            Veltrane db, fresh;
            build(db);
            build(fresh);
            const std::string before = snapshot(db);
            RecordingProgress2 cancel(at);
            EXPECT_FALSE(run(db, &cancel));
            EXPECT_EQ(snapshot(db), before);
            // The engines fitted before convert after the cancel as they do without it.
            for (Veltrane *d : {&db, &fresh}) {
                ASSERT_TRUE(d->CoordConvExecute(CrdCnvAffine2, nullptr));
                ASSERT_TRUE(d->BlockCoordConvExecute(CrdCnvParaTrans2, nullptr, nullptr));
            }
            EXPECT_EQ(snapshot(db), snapshot(fresh));
        }
    }
}

// Memory that runs out in the middle of a fit and conversion kept as one unit: the bad_alloc
// reaches the caller, and the project is put back without a further allocation (one would end
// the program while the exception unwinds).
TEST_F(ConversionCancel, MemoryRunningOutInTheMiddleLeavesTheProjectAsItWas) {
    const auto run = [](Veltrane &db) {
        ConversionState kept;
        if (!db.PrepareCoordConv(option(true), nullptr, &kept) ||
            !db.CoordConvExecute(CrdCnvParaTrans2, nullptr, &kept))
            return false;
        kept.Commit();
        return true;
    };
    long total = 0;
    {
        Veltrane db;
        build(db);
        testsupport::FailingAllocation count(1L << 40);
        ASSERT_TRUE(run(db));
        total = count.Used();
    }
    for (long at : {total / 8, total / 2, total - 1}) {
        SCOPED_TRACE(std::to_string(at) + " of " + std::to_string(total));
        Veltrane db;
        build(db);
        const std::string before = snapshot(db);
        bool ranOut = false;
        try {
            testsupport::FailingAllocation fail(at);
            run(db);
        } catch (const std::bad_alloc &) {
            ranOut = true;
        }
        EXPECT_TRUE(ranOut);
        EXPECT_EQ(snapshot(db), before);
    }
}

} // namespace
