// Single-point grid conversion on the full-size grid parameter file, in plane zone IX.
#include "bench/GridFileGenerator.h"
#include "kernels/Grisveld/EarthEllips.h"
#include "kernels/Grisveld/TransMercator.h"
#include "kernels/Lunmarg/Angle.h"
#include "ombresk/OmbreskMngr.h"

#include <benchmark/benchmark.h>

#include <random>
#include <stdexcept>
#include <vector>

namespace {

const EarthEllips kGrs80(6378137.0, 298.257222101);
const EarthEllips kBessel(6377397.155, 299.152813);
const double kB0 = 36.0 * 3600.0 / Angle::m_RI;
const double kL0 = (139.0 * 3600.0 + 50.0 * 60.0) / Angle::m_RI;
const TransMercator kOldTM(&kBessel, kB0, kL0, 0.9999, 0.0, 0.0);
const TransMercator kNewTM(&kGrs80, kB0, kL0, 0.9999, 0.0, 0.0);

constexpr std::size_t kPoints = 4096;

const OmbreskMngr &manager() {
    static OmbreskMngr mngr(&kOldTM, &kNewTM);
    static const bool loaded = mngr.ReadCnvPrmData(FromUtf8(GridFileGenerator::FullSizeGridFile()),
                                                   nullptr) == CNVPRM_READ_SUCCESS;
    if (!loaded)
        throw std::runtime_error("cannot load the synthetic grid");
    return mngr;
}

struct Points {
    std::vector<double> B, L;   // old datum, radians
    std::vector<double> x, y;   // old plane
    std::vector<double> B2, L2; // new datum
    std::vector<double> x2, y2; // new plane
};

// Random points in the first-level meshes 5339 and 5439 (around Tokyo), whose northern
// and eastern neighbours are in the grid too.
const Points &points() {
    static const Points pts = [] {
        const OmbreskMngr &mngr = manager();
        std::mt19937_64 rng(20240607);
        std::uniform_real_distribution<double> lat(53 * 2400.0, 55 * 2400.0 - 1.0);
        std::uniform_real_distribution<double> lon(139 * 3600.0, 140 * 3600.0 - 1.0);
        Points p;
        for (std::size_t i = 0; i < kPoints; ++i) {
            const double B = lat(rng) / Angle::m_RI, L = lon(rng) / Angle::m_RI;
            double x = 0, y = 0, B2 = 0, L2 = 0, x2 = 0, y2 = 0;
            if (!kOldTM.BLtoXY(B, L, &x, &y) || !mngr.ConvertBL(B, L, &B2, &L2) ||
                !mngr.Convert(x, y, &x2, &y2))
                throw std::runtime_error("a sample point is outside the grid");
            p.B.push_back(B);
            p.L.push_back(L);
            p.x.push_back(x);
            p.y.push_back(y);
            p.B2.push_back(B2);
            p.L2.push_back(L2);
            p.x2.push_back(x2);
            p.y2.push_back(y2);
        }
        return p;
    }();
    return pts;
}

using Op = bool (OmbreskMngr::*)(double, double, double *, double *) const;

void run(benchmark::State &state, Op op, const std::vector<double> &a,
         const std::vector<double> &b) {
    const OmbreskMngr &mngr = manager();
    std::size_t i = 0;
    for (auto _ : state) {
        double u = 0, v = 0;
        const std::size_t k = i++ % kPoints;
        if (!(mngr.*op)(a[k], b[k], &u, &v))
            state.SkipWithError("conversion failed");
        benchmark::DoNotOptimize(u);
        benchmark::DoNotOptimize(v);
    }
    state.SetItemsProcessed(state.iterations());
}

void BM_Convert(benchmark::State &state) {
    run(state, &OmbreskMngr::Convert, points().x, points().y);
}
BENCHMARK(BM_Convert);

void BM_ConvertRvs(benchmark::State &state) {
    run(state, &OmbreskMngr::ConvertRvs, points().x2, points().y2);
}
BENCHMARK(BM_ConvertRvs);

// The grid lookup alone, without the projections.
void BM_ConvertBL(benchmark::State &state) {
    run(state, &OmbreskMngr::ConvertBL, points().B, points().L);
}
BENCHMARK(BM_ConvertBL);

void BM_ConvertRvsBL(benchmark::State &state) {
    run(state, &OmbreskMngr::ConvertRvsBL, points().B2, points().L2);
}
BENCHMARK(BM_ConvertRvsBL);

} // namespace
