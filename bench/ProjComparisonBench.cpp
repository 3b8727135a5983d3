// Our projection and grid conversion side by side with PROJ, in one process and on the same
// random points around Tokyo, on the full-size synthetic grid:
//   zone BLtoXY, XYtoBL      plane zone IX on GRS80      PROJ +proj=tmerc
//   ConvertBL                the grid shift alone        PROJ +proj=hgridshift (NTv2 file)
//   Convert, ConvertRvs      old plane <-> new plane     PROJ pipeline: inverse tmerc on Bessel,
//                                                        hgridshift, tmerc on GRS80 (and back)
// Before timing, the results are compared point by point. At the end a table gives each
// operation's time per point, ours and PROJ's (medians when repeated), and their ratio.
//
// Run on one core, repeated, interleaved:
//   taskset -c 3 ProjComparisonBench --benchmark_repetitions=9
//       --benchmark_enable_random_interleaving=true
#include "bench/GridFileGenerator.h"
#include "exchange/Dorrimet/PlaneCoord.h"
#include "kernels/Grisveld/EarthEllips.h"
#include "kernels/Grisveld/TransMercator.h"
#include "kernels/Lunmarg/Angle.h"
#include "ombresk/OmbreskMngr.h"

#include <benchmark/benchmark.h>
#include <proj.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kPoints = 4096;
// Zone IX: 36 N, 139 50' E, scale 0.9999, no false origin.
constexpr int kZone = 9;
const char *const kZoneIX = "+lat_0=36 +lon_0=139.83333333333333333 +k=0.9999 +x_0=0 +y_0=0";

const EarthEllips kBessel(6377397.155, 299.152813);
const EarthEllips kGrs80(6378137.0, 298.257222101);

// The NTv2 file covers the points' first-level meshes 5339 and 5439 and 10' to 15' around
// them, so that PROJ's reverse iteration stays inside it.
constexpr int kNtv2South = 53 * 2400 - 600, kNtv2North = 55 * 2400 + 600;
constexpr int kNtv2West = 139 * 3600 - 900, kNtv2East = 140 * 3600 + 900;

struct Points {
    std::vector<double> B, L;   // old datum, radians
    std::vector<double> x, y;   // old plane (x north)
    std::vector<double> B2, L2; // new datum, radians
    std::vector<double> x2, y2; // new plane
};

class Setup {
  public:
    Setup() : m_bessel(&kBessel), m_grs80(&kGrs80) {
        m_oldZone = static_cast<const PlaneAreaMercator *>(m_bessel.GetAreaFromNo(kZone));
        m_newZone = static_cast<const PlaneAreaMercator *>(m_grs80.GetAreaFromNo(kZone));
        m_mngr = std::make_unique<OmbreskMngr>(m_oldZone->GetTransMercator(),
                                               m_newZone->GetTransMercator());
        if (m_mngr->ReadCnvPrmData(FromUtf8(GridFileGenerator::FullSizeGridFile()), nullptr) !=
            CNVPRM_READ_SUCCESS)
            throw std::runtime_error("cannot load the synthetic grid");
        makePoints();

        m_folder = fs::temp_directory_path() / ("zentrova-proj-" + std::to_string(::getpid()));
        fs::create_directories(m_folder);
        const std::string grid = (m_folder / "synthetic.gsb").string();
        GridFileGenerator::WriteNtv2File(grid, kNtv2South, kNtv2North, kNtv2West, kNtv2East);
        m_ctx = proj_context_create();
        proj_context_set_enable_network(m_ctx, 0);
        const std::string tmerc = std::string("+proj=tmerc ") + kZoneIX;
        const std::string hgridshift = "+proj=hgridshift +grids=" + grid;
        m_tmerc = create(tmerc + " +ellps=GRS80");
        m_shift = create(hgridshift);
        m_pipeline = create("+proj=pipeline +step +inv " + tmerc + " +ellps=bessel +step " +
                            hgridshift + " +step " + tmerc + " +ellps=GRS80");
    }

    ~Setup() {
        for (PJ *pj : {m_tmerc, m_shift, m_pipeline})
            proj_destroy(pj);
        proj_context_destroy(m_ctx);
        std::error_code error;
        fs::remove_all(m_folder, error);
    }

    const Points &points() const { return m_points; }
    const PlaneAreaMercator &zone() const { return *m_newZone; }
    const OmbreskMngr &mngr() const { return *m_mngr; }
    PJ *tmerc() const { return m_tmerc; }
    PJ *shift() const { return m_shift; }
    PJ *pipeline() const { return m_pipeline; }

  private:
    PJ *create(const std::string &definition) {
        PJ *pj = proj_create(m_ctx, definition.c_str());
        if (pj == nullptr)
            throw std::runtime_error("PROJ refuses " + definition);
        return pj;
    }

    // Random points in the first-level meshes 5339 and 5439, whose north and east neighbours
    // are in the grid too.
    void makePoints() {
        std::mt19937_64 rng(20240607);
        std::uniform_real_distribution<double> lat(53 * 2400.0 + 30.0, 55 * 2400.0 - 1.0);
        std::uniform_real_distribution<double> lon(139 * 3600.0, 140 * 3600.0 - 1.0);
        Points &p = m_points;
        while (p.B.size() < kPoints) {
            const double B = lat(rng) / Angle::m_RI, L = lon(rng) / Angle::m_RI;
            double x = 0, y = 0, B2 = 0, L2 = 0, x2 = 0, y2 = 0, Br = 0, Lr = 0;
            if (!m_oldZone->BLtoXY(B, L, &x, &y) || !m_mngr->ConvertBL(B, L, &B2, &L2) ||
                !m_mngr->Convert(x, y, &x2, &y2) || !m_mngr->ConvertRvs(x2, y2, &Br, &Lr))
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
    }

    PlaneCrdJpn m_bessel;
    PlaneCrdJpn m_grs80;
    const PlaneAreaMercator *m_oldZone = nullptr;
    const PlaneAreaMercator *m_newZone = nullptr;
    std::unique_ptr<OmbreskMngr> m_mngr;
    Points m_points;
    fs::path m_folder;
    PJ_CONTEXT *m_ctx = nullptr;
    PJ *m_tmerc = nullptr;
    PJ *m_shift = nullptr;
    PJ *m_pipeline = nullptr;
};

const Setup &setup() {
    static const Setup instance;
    return instance;
}

// PROJ's coordinates: (east, north) for the plane, (longitude, latitude) for angles.
PJ_COORD projPair(double first, double second) { return proj_coord(first, second, 0.0, 0.0); }

// ---- the operations, one point each, as the benchmarks and the comparison call them ----

struct Result {
    bool ok;
    double u, v; // ours: x north / B; PROJ's are put in the same order
};

Result oursBLtoXY(std::size_t i) {
    Result r{};
    r.ok = setup().zone().BLtoXY(setup().points().B2[i], setup().points().L2[i], &r.u, &r.v);
    return r;
}

Result projBLtoXY(std::size_t i) {
    const PJ_COORD c = proj_trans(setup().tmerc(), PJ_FWD,
                                  projPair(setup().points().L2[i], setup().points().B2[i]));
    return {c.xy.x != HUGE_VAL, c.xy.y, c.xy.x};
}

Result oursXYtoBL(std::size_t i) {
    Result r{};
    r.ok = setup().zone().XYtoBL(setup().points().x2[i], setup().points().y2[i], &r.u, &r.v);
    return r;
}

Result projXYtoBL(std::size_t i) {
    const PJ_COORD c = proj_trans(setup().tmerc(), PJ_INV,
                                  projPair(setup().points().y2[i], setup().points().x2[i]));
    return {c.lp.lam != HUGE_VAL, c.lp.phi, c.lp.lam};
}

Result oursConvertBL(std::size_t i) {
    Result r{};
    r.ok = setup().mngr().ConvertBL(setup().points().B[i], setup().points().L[i], &r.u, &r.v);
    return r;
}

Result projConvertBL(std::size_t i) {
    const PJ_COORD c =
        proj_trans(setup().shift(), PJ_FWD, projPair(setup().points().L[i], setup().points().B[i]));
    return {c.lp.lam != HUGE_VAL, c.lp.phi, c.lp.lam};
}

Result oursConvert(std::size_t i) {
    Result r{};
    r.ok = setup().mngr().Convert(setup().points().x[i], setup().points().y[i], &r.u, &r.v);
    return r;
}

Result projConvert(std::size_t i) {
    const PJ_COORD c = proj_trans(setup().pipeline(), PJ_FWD,
                                  projPair(setup().points().y[i], setup().points().x[i]));
    return {c.xy.x != HUGE_VAL, c.xy.y, c.xy.x};
}

Result oursConvertRvs(std::size_t i) {
    Result r{};
    r.ok = setup().mngr().ConvertRvs(setup().points().x2[i], setup().points().y2[i], &r.u, &r.v);
    return r;
}

Result projConvertRvs(std::size_t i) {
    const PJ_COORD c = proj_trans(setup().pipeline(), PJ_INV,
                                  projPair(setup().points().y2[i], setup().points().x2[i]));
    return {c.xy.x != HUGE_VAL, c.xy.y, c.xy.x};
}

struct Operation {
    const char *name;
    Result (*ours)(std::size_t);
    Result (*proj)(std::size_t);
    double toMillimetres; // of a difference in the result's unit
};

const double kRadianMm = 6378137.0 * 1000.0;
const Operation kOperations[] = {
    {"zone BLtoXY", oursBLtoXY, projBLtoXY, 1000.0},
    {"zone XYtoBL", oursXYtoBL, projXYtoBL, kRadianMm},
    {"Convert", oursConvert, projConvert, 1000.0},
    {"ConvertRvs", oursConvertRvs, projConvertRvs, 1000.0},
    {"ConvertBL", oursConvertBL, projConvertBL, kRadianMm},
};

// Largest difference between ours and PROJ's over all points, in millimetres (an angle
// taken on a sphere of the GRS80 radius); a point that fails on one side only is an error.
void compareAll() {
    std::printf("Ours against PROJ on %zu points (largest difference, mm):\n", kPoints);
    for (const Operation &op : kOperations) {
        double largest = 0.0;
        for (std::size_t i = 0; i < kPoints; ++i) {
            const Result a = op.ours(i), b = op.proj(i);
            if (a.ok != b.ok)
                throw std::runtime_error(std::string(op.name) + ": one side fails a point");
            largest = std::max({largest, std::fabs(a.u - b.u), std::fabs(a.v - b.v)});
        }
        std::printf("  %-12s %.6f\n", op.name, largest * op.toMillimetres);
    }
}

void run(benchmark::State &state, Result (*op)(std::size_t)) {
    setup();
    for (auto _ : state) {
        for (std::size_t i = 0; i < kPoints; ++i) {
            Result r = op(i);
            benchmark::DoNotOptimize(r);
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(kPoints));
}

// Registers "<operation>/ours" and "<operation>/PROJ" for every operation.
void registerAll() {
    for (const Operation &op : kOperations) {
        benchmark::RegisterBenchmark((std::string(op.name) + "/ours").c_str(), run, op.ours);
        benchmark::RegisterBenchmark((std::string(op.name) + "/PROJ").c_str(), run, op.proj);
    }
}

std::string loadAverage() {
    std::ifstream in("/proc/loadavg");
    std::string one, five, fifteen;
    in >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

// The console output, and each benchmark's time per point kept for the table: the median
// when repeated, else the one run.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    void ReportRuns(const std::vector<Run> &reports) override {
        ConsoleReporter::ReportRuns(reports);
        for (const Run &run : reports) {
            if (run.error_occurred)
                continue;
            const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
            const bool single = run.run_type == Run::RT_Iteration && run.repetitions <= 1;
            if (median || single)
                m_nsPerPoint[run.run_name.function_name] = run.real_accumulated_time /
                                                           static_cast<double>(run.iterations) *
                                                           1e9 / static_cast<double>(kPoints);
        }
    }

    void PrintTable(const std::string &loadBefore) const {
        std::printf("\nTime per point (ns), ours and PROJ 9 in the same run; load average %s "
                    "before, %s after\n",
                    loadBefore.c_str(), loadAverage().c_str());
        std::printf("| operation | ours | PROJ | ours / PROJ (throughput) |\n|---|---|---|---|\n");
        for (const Operation &op : kOperations) {
            const auto ours = m_nsPerPoint.find(std::string(op.name) + "/ours");
            const auto proj = m_nsPerPoint.find(std::string(op.name) + "/PROJ");
            if (ours == m_nsPerPoint.end() || proj == m_nsPerPoint.end())
                continue;
            std::printf("| %s | %.1f | %.1f | %.2f |\n", op.name, ours->second, proj->second,
                        proj->second / ours->second);
        }
    }

  private:
    std::map<std::string, double> m_nsPerPoint;
};

} // namespace

int main(int argc, char **argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    const std::string loadBefore = loadAverage();
    try {
        setup();
        compareAll();
    } catch (const std::exception &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    registerAll();
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintTable(loadBefore);
    benchmark::Shutdown();
    return 0;
}
