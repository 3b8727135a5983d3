// Removing the selected targets of a large project at once, as the desktop program's "全削除" and
// every import that replaces the targets do.
#include "tests/support/SurveyData.h"
#include "veltrane/database/Veltrane.h"

#include <benchmark/benchmark.h>

#include <random>
#include <stdexcept>
#include <string>

namespace {

// The survey area of zone IX and the given number of targets, all selected and in the tab
// table; linked puts every target in a block, in a lot of four and in a precision pair too.
void BuildSelectedProject(Veltrane &db, int targets, bool linked) {
    db.Initialize(false);
    testsupport::AddSurveyPoints(db, testsupport::SurveyZone9());
    CrdTrnsBlock *block = nullptr;
    if (linked) {
        block = new CrdTrnsBlock(1);
        if (!db.GetCrdTrnsBlockTbl()->Append(block))
            throw std::runtime_error("cannot add the block");
        for (Point *p : db)
            block->AppendPnt(p, true, true);
    }
    std::mt19937_64 rng(20240615);
    std::uniform_real_distribution<double> x(-35000.0, -27000.0), y(-12000.0, -4000.0);
    JLot *lot = nullptr;
    const Point *previous = nullptr;
    for (int i = 0; i < targets; ++i) {
        Point p(0, CString("T") + std::to_string(i).c_str());
        p.SetTokyoDatum(Coordinate(x(rng), y(rng), 30.0, true, 0.0, false));
        Point *stored = db.Append(p);
        if (linked) {
            block->AppendPnt(stored, true, false);
            if (i % 4 == 0) {
                lot = new JLot(static_cast<unsigned>(i / 4 + 1), "L", 0);
                db.AppendLot(lot);
            }
            lot->AppendPnt(stored, false);
            if (previous)
                db.GetPrecMngTable()->Append(new PrecMngElm(previous, stored));
            previous = stored;
        }
    }
    for (Point *p : db)
        if (!p->IsConvBasisPoint() && !p->IsExistChkObsITRF())
            db.AppendSelect(p);
    db.MakeTmpTable();
    db.MakeRetrievableIdxMap();
}

// Arguments: targets, linked.
void BM_RemoveSelectedTargets(benchmark::State &state) {
    const int targets = static_cast<int>(state.range(0));
    Veltrane db;
    for (auto _ : state) {
        state.PauseTiming();
        BuildSelectedProject(db, targets, state.range(1) != 0);
        state.ResumeTiming();
        if (db.RemoveSelectedPoints() != 0 || db.size() != 30)
            state.SkipWithError("targets left");
    }
    state.SetItemsProcessed(state.iterations() * targets);
}
BENCHMARK(BM_RemoveSelectedTargets)
    ->ArgsProduct({{10000, 100000}, {0, 1}})
    ->ArgNames({"targets", "linked"})
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);

} // namespace
