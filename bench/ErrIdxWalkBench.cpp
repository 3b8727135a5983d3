// The whole-area error-index walk over the full-size grid parameter file, in plane zone IX: 40
// tile rows of 33 first-level tiles, 6,400 squares each (8,448,000 grid queries a run).
#include "bench/GridFileGenerator.h"
#include "kernels/Grisveld/EarthEllips.h"
#include "kernels/Grisveld/TransMercator.h"
#include "kernels/Lunmarg/Angle.h"
#include "ombresk/OmbreskMngr.h"
#include "veltrane/database/Veltrane.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <stdexcept>

namespace {

constexpr std::int64_t kQueries = 40 * 33 * 80 * 80;

const EarthEllips kGrs80(6378137.0, 298.257222101);
const EarthEllips kBessel(6377397.155, 299.152813);
const double kB0 = 36.0 * 3600.0 / Angle::m_RI;
const double kL0 = (139.0 * 3600.0 + 50.0 * 60.0) / Angle::m_RI;
const TransMercator kOldTM(&kBessel, kB0, kL0, 0.9999, 0.0, 0.0);
const TransMercator kNewTM(&kGrs80, kB0, kL0, 0.9999, 0.0, 0.0);

const OmbreskMngr &manager() {
    static OmbreskMngr mngr(&kOldTM, &kNewTM);
    static const bool loaded = mngr.ReadCnvPrmData(FromUtf8(GridFileGenerator::FullSizeGridFile()),
                                                   nullptr) == CNVPRM_READ_SUCCESS;
    if (!loaded)
        throw std::runtime_error("cannot load the synthetic grid");
    return mngr;
}

void run(benchmark::State &state, bool writeFiles) {
    const OmbreskMngr &grid = manager();
    Veltrane db;
    db.SetCurrentPlaneArea(9);
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / "zentrova-bench" / "edx";
    std::filesystem::create_directories(folder);
    const CString edx = writeFiles ? FromUtf8(folder.string()) : CString();
    for (auto _ : state) {
        if (!db.T2JCalcConvErrIdx(edx, &grid, nullptr, nullptr, true, 0))
            state.SkipWithError("walk failed");
    }
    state.SetItemsProcessed(state.iterations() * kQueries);
    std::filesystem::remove_all(folder);
}

// The grid queries and tables alone.
void BM_WholeAreaWalk(benchmark::State &state) { run(state, false); }
BENCHMARK(BM_WholeAreaWalk)->Unit(benchmark::kMillisecond);

// With the EDX files of the first-level meshes written.
void BM_WholeAreaWalkWithFiles(benchmark::State &state) { run(state, true); }
BENCHMARK(BM_WholeAreaWalkWithFiles)->Unit(benchmark::kMillisecond);

} // namespace
