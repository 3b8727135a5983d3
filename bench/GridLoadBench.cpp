// Loading the full-size grid parameter file: the published text, and the binary cache.
#include "bench/GridFileGenerator.h"
#include "ombresk/JCnvPrmData.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <stdexcept>
#include <string>

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

} // namespace
