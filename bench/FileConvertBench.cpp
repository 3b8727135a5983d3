// File-to-file conversion by the grid method: an exchange file of 400,000 Tokyo-datum points in
// plane zone IX converted to JGD2000 on the full-size synthetic grid. The rate is of the source
// file's bytes.
#include "bench/GridFileGenerator.h"
#include "exchange/Dorrimet/PlaneArea.h"
#include "exchange/Vesk/VeskBase.h"
#include "kernels/Lunmarg/Angle.h"
#include "ombresk/OmbreskMngr.h"
#include "veltrane/database/Veltrane.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <random>
#include <stdexcept>

namespace {

namespace fs = std::filesystem;

constexpr int kPoints = 400000;

const TransMercator *mercator(const PlaneArea *area) {
    return dynamic_cast<const PlaneAreaMercator &>(*area).GetTransMercator();
}

struct Setup {
    Veltrane db;
    OmbreskMngr grid;
    fs::path folder = fs::temp_directory_path() / "zentrova-bench-fileconvert";
    CString src, dst;
    double bytes = 0;

    Setup() {
        db.SetCurrentPlaneArea(9);
        grid.SetOldTransMercator(mercator(db.GetCurrentPlaneArea(false)));
        grid.SetNewTransMercator(mercator(db.GetCurrentPlaneArea(true)));
        if (grid.ReadCnvPrmData(FromUtf8(GridFileGenerator::FullSizeGridFile()), nullptr) !=
            CNVPRM_READ_SUCCESS)
            throw std::runtime_error("cannot load the synthetic grid");
        fs::create_directories(folder);
        src = FromUtf8((folder / "src.sim").string());
        dst = FromUtf8((folder / "dst.sim").string());
        // Random points around Tokyo, inside the grid, written by the exchange writer.
        Veltrane points;
        points.SetCurrentPlaneArea(9);
        const PlaneArea *zone = points.GetCurrentPlaneArea(false);
        std::mt19937_64 rng(20261209);
        std::uniform_real_distribution<double> lat(53 * 2400.0 + 60, 55 * 2400.0 - 60);
        std::uniform_real_distribution<double> lon(139 * 3600.0 + 60, 140 * 3600.0 - 60);
        for (int i = 0; i < kPoints; ++i) {
            double x = 0, y = 0;
            zone->BLtoXY(lat(rng) / Angle::m_RI, lon(rng) / Angle::m_RI, &x, &y);
            CString name;
            name.Format("P%d", i);
            Point p(static_cast<unsigned>(i + 1), name);
            p.SetTokyoDatum(Coordinate(x, y, 10.0 + i % 100, true, 0, false));
            points.Append(p);
        }
        if (!points.WriteVesk(src, CrdKindTokyo, ITRFKindNone, 0, VESK_VERSION_03, false))
            throw std::runtime_error("cannot write the source file");
        bytes = static_cast<double>(fs::file_size(folder / "src.sim"));
    }
    ~Setup() { fs::remove_all(folder); }
};

Setup &setup() {
    static Setup s;
    return s;
}

void BM_GridFileConversion(benchmark::State &state) {
    Setup &s = setup();
    for (auto _ : state) {
        std::vector<CString> messages;
        if (!s.db.T2JCoordConvExecute(s.src, s.dst, "", ConvertToNew, JGDCrdFmtExchange, &s.grid,
                                      &messages, nullptr))
            state.SkipWithError("the conversion failed");
        fs::remove(s.folder / "dst.sim");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(s.bytes) *
                            static_cast<std::int64_t>(state.iterations()));
    state.counters["points"] = kPoints;
}
BENCHMARK(BM_GridFileConversion)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
