// Nearest pairs of random point sets, and the grid-parameter transformer per point on the
// full-size grid parameter file in plane zone IX.
#include "bench/GridFileGenerator.h"
#include "exchange/Dorrimet/Coordinate.h"
#include "exchange/Dorrimet/PlaneCoord.h"
#include "kernels/Grisveld/EarthEllips.h"
#include "kernels/Lunmarg/Angle.h"
#include "ombresk/OmbreskMngr.h"
#include "veltrane/conversion/CoordConvTKY2JGD.h"
#include "veltrane/model/NearestPairBuilder.h"
#include "veltrane/model/Point.h"
#include "veltrane/model/PrecisionMngTable.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <deque>
#include <random>
#include <stdexcept>
#include <vector>

namespace {

// Survey-like plane coordinates: uniform over a 40 km square, in millimetres, and the given
// number of mistyped ones 300 km from its centre.
struct PointSet {
    std::deque<Point> points;
    std::vector<const Point *> refs;

    PointSet(int n, int outliers) {
        std::mt19937_64 rng(20240607);
        std::uniform_int_distribution<int> mm(-20000000, 20000000);
        std::uniform_real_distribution<double> angle(0.0, 6.283185307179586);
        for (int i = 0; i < n; ++i) {
            double x = mm(rng) / 1000.0, y = mm(rng) / 1000.0;
            if (i < outliers) {
                const double a = angle(rng);
                x = 300000.0 * std::cos(a);
                y = 300000.0 * std::sin(a);
            }
            points.emplace_back(static_cast<unsigned>(i + 1), "P");
            points.back().SetTokyoDatum(Coordinate(x, y, 0.0, false, 0.0, false));
            refs.push_back(&points.back());
        }
    }
};

// Arguments: points, outliers.
void BM_NearestPairs(benchmark::State &state) {
    const PointSet set(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    for (auto _ : state) {
        PrecisionMngTable table;
        if (!NearestPairBuilder(nullptr).Create(set.refs, &table))
            state.SkipWithError("cancelled");
        benchmark::DoNotOptimize(table.size());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_NearestPairs)
    ->ArgsProduct({{10000, 100000}, {0, 1, 10}})
    ->ArgNames({"points", "outliers"})
    ->Unit(benchmark::kMillisecond);

const EarthEllips kGrs80(6378137.0, 298.257222101);
const EarthEllips kBessel(6377397.155, 299.152813);

struct Grid {
    PlaneCrdJpn oldZones{&kBessel};
    PlaneCrdJpn newZones{&kGrs80};
    const PlaneArea *oldArea = oldZones.GetAreaFromNo(9);
    const PlaneArea *newArea = newZones.GetAreaFromNo(9);
    OmbreskMngr mngr;

    Grid() {
        mngr.SetOldTransMercator(
            dynamic_cast<const PlaneAreaMercator &>(*oldArea).GetTransMercator());
        mngr.SetNewTransMercator(
            dynamic_cast<const PlaneAreaMercator &>(*newArea).GetTransMercator());
        if (mngr.ReadCnvPrmData(FromUtf8(GridFileGenerator::FullSizeGridFile()), nullptr) !=
            CNVPRM_READ_SUCCESS)
            throw std::runtime_error("cannot load the synthetic grid");
    }
};

const Grid &grid() {
    static const Grid g;
    return g;
}

constexpr std::size_t kSamples = 4096;

// Tokyo-datum points of zone IX inside the grid (first-level meshes 5339 and 5439, a minute
// clear of its southern edge, which the reverse's first round would cross) or, for the
// fallback, in the sea east of it where the grid has no nodes.
std::vector<Coordinate> samples(bool inGrid) {
    std::mt19937_64 rng(99);
    std::uniform_real_distribution<double> lat(53 * 2400.0 + 60.0, 55 * 2400.0 - 1.0);
    std::uniform_real_distribution<double> lon(inGrid ? 139 * 3600.0 : 143 * 3600.0,
                                               inGrid ? 140 * 3600.0 - 1.0 : 144 * 3600.0);
    std::vector<Coordinate> out;
    for (std::size_t i = 0; i < kSamples; ++i) {
        double x = 0, y = 0;
        grid().oldArea->BLtoXY(lat(rng) / Angle::m_RI, lon(rng) / Angle::m_RI, &x, &y);
        out.emplace_back(x, y, 10.0, true, 0.0, false);
    }
    return out;
}

void run(benchmark::State &state, bool inGrid, bool reverse) {
    const Grid &g = grid();
    const CoordConvTKY2JGD t(&g.mngr, g.oldArea, g.newArea, nullptr);
    std::vector<Coordinate> in = samples(inGrid);
    if (reverse) {
        for (Coordinate &c : in) {
            Coordinate out;
            CoordConvStatusD status;
            t.Transform(c, &out, &status);
            c = out;
        }
    }
    const CoordConvStatusD expected = inGrid ? CrdCnvStatGrid : CrdCnvStatDatumShift;
    std::size_t i = 0;
    for (auto _ : state) {
        Coordinate out;
        CoordConvStatusD status = CrdCnvStatNone;
        const Coordinate &c = in[i++ % kSamples];
        const bool ok =
            reverse ? t.ReverseTransform(c, &out, &status) : t.Transform(c, &out, &status);
        if (!ok || status != expected)
            state.SkipWithError("unexpected conversion status");
        benchmark::DoNotOptimize(out);
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_TKY2JGD_Grid(benchmark::State &state) { run(state, true, false); }
BENCHMARK(BM_TKY2JGD_Grid);

void BM_TKY2JGD_GridReverse(benchmark::State &state) { run(state, true, true); }
BENCHMARK(BM_TKY2JGD_GridReverse);

void BM_TKY2JGD_DatumShift(benchmark::State &state) { run(state, false, false); }
BENCHMARK(BM_TKY2JGD_DatumShift);

} // namespace
