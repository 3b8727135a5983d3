// The whole-area conversion: fit the second parallel translation (kind 9) and convert every
// point with the basis residuals spread by inverse distance, as the desktop program does; the
// engine alone, and the database's preparation and conversion around it.
#include "tests/support/SurveyData.h"
#include "veltrane/conversion/CoordConvParaTrans.h"
#include "veltrane/database/Veltrane.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <stdexcept>

namespace {

CoordCnvOption DesktopOption() {
    CoordCnvOption option;
    option.m_fResidualInterp = true;
    option.m_nFlag = 1;
    return option;
}

// 1,000 basis points and 100,000 targets over a 20 km square of zone IX; the new coordinates
// carry a smooth distortion of a few decimetres.
Veltrane &SyntheticProject() {
    static Veltrane db;
    static const bool built = [] {
        db.SetCurrentPlaneArea(9);
        std::mt19937_64 rng(20240612);
        std::uniform_real_distribution<double> x(-40000.0, -20000.0), y(-17000.0, 3000.0);
        std::uniform_real_distribution<double> noise(-0.005, 0.005);
        unsigned id = 0;
        for (int i = 0; i < 1000; ++i) {
            const double tx = x(rng), ty = y(rng);
            Point p(++id, CString("B") + std::to_string(i).c_str());
            p.SetTokyoDatum(Coordinate(tx, ty, 50.0, true, 0.0, false));
            p.SetCnvBasisITRF(Coordinate(tx + 355.5 + 0.3 * std::sin(tx / 5000.0) + noise(rng),
                                         ty - 292.7 + 0.2 * std::cos(ty / 7000.0) + noise(rng),
                                         50.4, true, 0.0, false));
            db.Append(p);
        }
        for (int i = 0; i < 100000; ++i) {
            Point p(++id, CString("T") + std::to_string(i).c_str());
            p.SetTokyoDatum(Coordinate(x(rng), y(rng), 30.0, true, 0.0, false));
            db.Append(p);
        }
        return true;
    }();
    (void)built;
    return db;
}

void FitAndConvert(benchmark::State &state, Veltrane &db) {
    for (auto _ : state) {
        CoordConvParaTrans2 engine(db, &db, CoordConvParam::CalcModeNormal, 0);
        if (!engine.Calculation(DesktopOption()) || !engine.CalcJGD2000(&db, nullptr, false))
            throw std::runtime_error("the conversion failed");
        benchmark::DoNotOptimize(db.back()->GetJGD2000(0).GetX());
    }
    state.counters["points"] = static_cast<double>(db.size());
}

// Fit against 1,000 basis points and convert 100,000 targets with the spread residuals.
void BM_Kind9SpreadLargeProject(benchmark::State &state) {
    FitAndConvert(state, SyntheticProject());
}
BENCHMARK(BM_Kind9SpreadLargeProject)->Unit(benchmark::kMillisecond);

// The database's preparation: every engine of the parameter table fitted to the 1,000 basis points.
void BM_DatabasePrepareLargeProject(benchmark::State &state) {
    Veltrane &db = SyntheticProject();
    for (auto _ : state)
        if (!db.PrepareCoordConv(DesktopOption(), nullptr))
            throw std::runtime_error("the preparation failed");
    state.counters["points"] = static_cast<double>(db.size());
}
BENCHMARK(BM_DatabasePrepareLargeProject)->Unit(benchmark::kMillisecond);

// The database's conversion with kind 9: the 100,000 targets with the spread residuals, the
// heights, latitudes and longitudes and the precision tables.
void BM_DatabaseConvertLargeProject(benchmark::State &state) {
    Veltrane &db = SyntheticProject();
    if (!db.PrepareCoordConv(DesktopOption(), nullptr))
        throw std::runtime_error("the preparation failed");
    for (auto _ : state)
        if (!db.CoordConvExecute(CrdCnvParaTrans2, nullptr))
            throw std::runtime_error("the conversion failed");
    state.counters["points"] = static_cast<double>(db.size());
}
BENCHMARK(BM_DatabaseConvertLargeProject)->Unit(benchmark::kMillisecond);

// The survey area of zone IX (24 basis, 6 check, 40 target marks), fitted and converted per call.
void BM_Kind9SpreadSurveyZone9(benchmark::State &state) {
    static Veltrane db;
    if (db.empty())
        testsupport::AddSurveyPoints(db, testsupport::SurveyZone9());
    FitAndConvert(state, db);
}
BENCHMARK(BM_Kind9SpreadSurveyZone9)->Unit(benchmark::kMicrosecond);

} // namespace
