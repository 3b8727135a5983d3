// Loading the full-size grid parameter file: the published text, and the binary cache, in
// this process again and again, and in a fresh process each time (the program runs itself with
// --fresh-load=text|cache PATH, which loads once and prints the seconds the load took, on the
// clock and of processor time). The fresh loads are timed by their processor time, which a
// busy machine does not stretch; the clock time is the counter wall_ms.
#include "bench/GridFileGenerator.h"
#include "ombresk/JCnvPrmData.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <spawn.h>
#include <stdexcept>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const CString &textPath() {
    static const CString path = FromUtf8(GridFileGenerator::FullSizeGridFile());
    return path;
}

// The cache of the full-size file, written once from a text load.
const CString &cachePath() {
    static const CString path = [] {
        const std::string file = GridFileGenerator::FullSizeGridFile() + ".bin";
        JCnvPrmData data;
        if (data.Read(textPath(), false, nullptr) != CNVPRM_READ_SUCCESS ||
            !data.WriteBin(FromUtf8(file), nullptr))
            throw std::runtime_error("cannot write the grid cache " + file);
        return FromUtf8(file);
    }();
    return path;
}

void report(benchmark::State &state, const JCnvPrmData &data) {
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(data.GetElmCount()));
    state.counters["nodes"] = static_cast<double>(data.GetElmCount());
}

void BM_TextLoad(benchmark::State &state) {
    const CString &path = textPath();
    JCnvPrmData data;
    for (auto _ : state) {
        if (data.Read(path, false, nullptr) != CNVPRM_READ_SUCCESS)
            state.SkipWithError("text load failed");
    }
    report(state, data);
}
BENCHMARK(BM_TextLoad)->Unit(benchmark::kMillisecond);

// The reader thread's variant: the sort that can be stopped.
void BM_TextLoadStoppableSort(benchmark::State &state) {
    const CString &path = textPath();
    JCnvPrmData data;
    for (auto _ : state) {
        if (data.Read(path, true, nullptr) != CNVPRM_READ_SUCCESS)
            state.SkipWithError("text load failed");
    }
    report(state, data);
}
BENCHMARK(BM_TextLoadStoppableSort)->Unit(benchmark::kMillisecond);

void BM_CacheWrite(benchmark::State &state) {
    JCnvPrmData data;
    if (data.Read(textPath(), false, nullptr) != CNVPRM_READ_SUCCESS) {
        state.SkipWithError("text load failed");
        return;
    }
    const std::string out = GridFileGenerator::FullSizeGridFile() + ".write.bin";
    const CString outPath = FromUtf8(out);
    for (auto _ : state) {
        if (!data.WriteBin(outPath, nullptr))
            state.SkipWithError("cache write failed");
    }
    report(state, data);
    std::filesystem::remove(out);
}
BENCHMARK(BM_CacheWrite)->Unit(benchmark::kMillisecond);

void BM_CacheLoad(benchmark::State &state) {
    const CString &path = cachePath();
    JCnvPrmData data;
    for (auto _ : state) {
        if (data.ReadBin(path, false, nullptr) != CNVPRM_READ_SUCCESS)
            state.SkipWithError("cache load failed");
    }
    report(state, data);
}
BENCHMARK(BM_CacheLoad)->Unit(benchmark::kMillisecond);

constexpr char kFreshLoad[] = "--fresh-load=";

double seconds(clockid_t clock) {
    timespec t{};
    clock_gettime(clock, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// The child: one load, its clock and processor seconds on standard output.
int freshLoad(const std::string &kind, const char *path) {
    JCnvPrmData data;
    const double start = seconds(CLOCK_MONOTONIC);
    const double startCpu = seconds(CLOCK_PROCESS_CPUTIME_ID);
    const JCnvPrmReadRetCode code = kind == "cache" ? data.ReadBin(FromUtf8(path), false, nullptr)
                                                    : data.Read(FromUtf8(path), false, nullptr);
    const double cpu = seconds(CLOCK_PROCESS_CPUTIME_ID) - startCpu;
    const double elapsed = seconds(CLOCK_MONOTONIC) - start;
    if (code != CNVPRM_READ_SUCCESS || data.GetElmCount() == 0)
        return 1;
    std::printf("%.9f %.9f\n", elapsed, cpu);
    return 0;
}

struct LoadTime {
    double wall = -1.0; // negative when the fresh process failed
    double cpu = -1.0;
};

// Runs this program as a fresh process loading path; the seconds its load took.
LoadTime freshLoadSeconds(const char *kind, const CString &path) {
    int out[2];
    if (pipe(out) != 0)
        return {};
    const std::string option = std::string(kFreshLoad) + kind;
    const std::string file = ToUtf8(path);
    char *const argv[] = {const_cast<char *>("GridLoadBench"), const_cast<char *>(option.c_str()),
                          const_cast<char *>(file.c_str()), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    pid_t child = 0;
    const int spawned = posix_spawn(&child, "/proc/self/exe", &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    std::string text;
    char buffer[64];
    for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;)
        text.append(buffer, static_cast<std::size_t>(n));
    close(out[0]);
    int status = 0;
    if (spawned != 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0)
        return {};
    LoadTime time;
    if (std::sscanf(text.c_str(), "%lf %lf", &time.wall, &time.cpu) != 2)
        return {};
    return time;
}

void freshProcess(benchmark::State &state, const char *kind, const CString &path) {
    double wall = 0.0;
    for (auto _ : state) {
        const LoadTime time = freshLoadSeconds(kind, path);
        if (time.wall < 0.0) {
            state.SkipWithError("the fresh process failed");
            break;
        }
        state.SetIterationTime(time.cpu);
        wall += time.wall;
    }
    state.SetItemsProcessed(state.iterations() *
                            static_cast<std::int64_t>(GridFileGenerator::kFullSizeRecords));
    state.counters["wall_ms"] = benchmark::Counter(wall * 1e3, benchmark::Counter::kAvgIterations);
}

void BM_TextLoadFreshProcess(benchmark::State &state) { freshProcess(state, "text", textPath()); }
BENCHMARK(BM_TextLoadFreshProcess)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

void BM_CacheLoadFreshProcess(benchmark::State &state) {
    freshProcess(state, "cache", cachePath());
}
BENCHMARK(BM_CacheLoadFreshProcess)->UseManualTime()->Iterations(20)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv) {
    if (argc == 3 && std::strncmp(argv[1], kFreshLoad, std::strlen(kFreshLoad)) == 0)
        return freshLoad(argv[1] + std::strlen(kFreshLoad), argv[2]);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
