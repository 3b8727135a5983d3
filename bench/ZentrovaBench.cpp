// The desktop program's three steps on 10,000 targets over the reference survey area: import
// from CSV and show them in the before list, convert them and list the results, export them;
// and the list of results filled with 100,000 targets.
#include "pallomir/ui/JGDProgress.h"
#include "tests/support/SurveyData.h"
#include "veltrane/model/Point.h"
#include "zentrova/CDlgCanvas.h"
#include "zentrova/CZentrovaView.h"
#include "zentrova/PointListCtrl.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kTargets = 10000;

QApplication &Application() {
    static int argc = 1;
    static char name[] = "ZentrovaBench";
    static char *argv[] = {name, nullptr};
    static const bool offscreen = qputenv("QT_QPA_PLATFORM", "offscreen");
    (void)offscreen;
    static QApplication app(argc, argv);
    return app;
}

// A folder with a config folder (the survey project's stand-in reads it) and the CSV file of
// 10,000 targets on a grid over the area of the basis points.
struct BenchFiles {
    fs::path dir = fs::temp_directory_path() / ("zentrova-bench-" + std::to_string(::getpid()));
    BenchFiles() {
        fs::create_directories(dir / "config");
        std::ofstream(dir / "config/A.zub") << "project";
        std::ofstream csv(dir / "targets.csv", std::ios::binary);
        for (int i = 0; i < kTargets; ++i)
            csv << 'P' << i << ',' << -35000.0 + 8000.0 * (i % 100) / 100 << ','
                << -12000.0 + 8000.0 * (i / 100) / 100 << ",50.125\r\n";
    }
    ~BenchFiles() { fs::remove_all(dir); }
    CString path(const char *name) const { return FromUtf8((dir / name).string()); }
};

const BenchFiles &Files() {
    static const BenchFiles files;
    return files;
}

// The program's view over the survey project's basis and check points.
std::unique_ptr<CZentrovaView> OpenView() {
    Application();
    CanvasSources sources;
    sources.configFolder = Files().path("config");
    sources.readProject = [](Veltrane &db, CArchive &) {
        testsupport::AddSurveyPoints(db, testsupport::SurveyZone9());
        return 0;
    };
    auto view = std::make_unique<CZentrovaView>(sources);
    view->OnInitialUpdate();
    if (!view->GetDialog()->IsLoaded())
        throw std::runtime_error("the project did not load");
    return view;
}

void import(CDlgCanvas &canvas) {
    JGDProgress progress;
    canvas.ImportFile(Files().path("targets.csv"), progress);
    if (canvas.GetBeforeList()->GetItemCount() != kTargets)
        throw std::runtime_error("the import failed");
}

void convert(CDlgCanvas &canvas) {
    JGDProgress progress;
    if (!canvas.ConvertTargets(progress))
        throw std::runtime_error("the conversion failed");
}

// Into a project without targets (the former ones are deleted untimed).
void ImportAndShow(benchmark::State &state) {
    auto view = OpenView();
    for (auto _ : state) {
        state.PauseTiming();
        view->GetDialog()->DeleteAllTargets();
        state.ResumeTiming();
        import(*view->GetDialog());
    }
    state.counters["targets"] = kTargets;
}
BENCHMARK(ImportAndShow)->Unit(benchmark::kMillisecond);

// Replacing the 10,000 targets of the run before: the database deletes them one by one.
void ImportReplacing(benchmark::State &state) {
    auto view = OpenView();
    import(*view->GetDialog());
    for (auto _ : state)
        import(*view->GetDialog());
    state.counters["targets"] = kTargets;
}
BENCHMARK(ImportReplacing)->Unit(benchmark::kMillisecond);

void ConvertAndList(benchmark::State &state) {
    auto view = OpenView();
    import(*view->GetDialog());
    for (auto _ : state)
        convert(*view->GetDialog());
    state.counters["targets"] = kTargets;
}
BENCHMARK(ConvertAndList)->Unit(benchmark::kMillisecond);

// The after list refilled with 100,000 converted targets whose names are Japanese, as a
// conversion ends.
void FillAfterList(benchmark::State &state) {
    Application();
    std::vector<std::unique_ptr<Point>> points;
    std::vector<Point *> rows;
    for (int i = 0; i < 100000; ++i) {
        CString name;
        name.Format("境界点%05d", i);
        auto p = std::make_unique<Point>(static_cast<unsigned>(i + 1), name);
        p->SetJGD2000(
            Coordinate(-35000.0 + 0.37 * i, -12000.0 + 0.11 * i, 50.125, true, 0.0, false),
            CoordConvStatusD{}, 0);
        rows.push_back(p.get());
        points.push_back(std::move(p));
    }
    PointListCtrl list(PointListCtrl::JGD2000);
    for (auto _ : state)
        list.Fill(rows);
    state.counters["targets"] = static_cast<double>(rows.size());
}
BENCHMARK(FillAfterList)->Unit(benchmark::kMillisecond);

void ExportCsv(benchmark::State &state) {
    auto view = OpenView();
    import(*view->GetDialog());
    convert(*view->GetDialog());
    const CString out = Files().path("converted.csv");
    for (auto _ : state) {
        if (!view->ExportCsv(out))
            throw std::runtime_error("the export failed");
    }
    state.counters["targets"] = kTargets;
}
BENCHMARK(ExportCsv)->Unit(benchmark::kMillisecond);

} // namespace
