// Decimal rounding and text of the values every list and printed table shows.
#include "kernels/Brennic/JGDRoundMode.h"
#include "kernels/Nistrel/ExDouble.h"

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

namespace {

std::vector<double> coordinates(std::size_t count) {
    std::mt19937_64 rng(20261208);
    std::uniform_real_distribution<double> dist(-250000.0, 250000.0);
    std::vector<double> values(count);
    for (double &v : values)
        v = dist(rng);
    return values;
}

void BM_RroundMillimetre(benchmark::State &state) {
    const auto values = coordinates(4096);
    std::size_t i = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(ExDouble::rround(values[i++ & 4095], -3, 261));
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RroundMillimetre);

void BM_StrrMillimetre(benchmark::State &state) {
    const auto values = coordinates(4096);
    std::size_t i = 0;
    for (auto _ : state) {
        CString text = ExDouble::strr(values[i++ & 4095], 0.001);
        benchmark::DoNotOptimize(text.GetLength());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_StrrMillimetre);

void BM_RoundModeStr(benchmark::State &state) {
    const auto values = coordinates(4096);
    const JGDRoundMode mode(-3, 261);
    std::size_t i = 0;
    for (auto _ : state) {
        CString text = mode.strr(values[i++ & 4095]);
        benchmark::DoNotOptimize(text.GetLength());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_RoundModeStr);

} // namespace
