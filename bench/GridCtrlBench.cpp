// The grid control with 100,000 rows of 10 columns: filling it, sorting it by a column and
// going to its end with Ctrl+End (the scrolling and the repaint of the last page).
#include "pallomir/grid/CGridCtrl.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <memory>
#include <random>

namespace {

constexpr int kRows = 100000;
constexpr int kCols = 10;

// One application for the whole program, on the offscreen platform unless one is chosen.
void EnsureApplication() {
    static std::unique_ptr<QApplication> app = [] {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "GridCtrlBench";
        static char *argv[] = {name, nullptr};
        return std::make_unique<QApplication>(argc, argv);
    }();
}

// Fills the data rows: a row number, a random number in column 1, text in the others.
void Fill(CGridCtrl &grid, std::mt19937 &random) {
    grid.SetRowCount(kRows + 1);
    for (int row = 1; row <= kRows; ++row) {
        grid.SetItemTextFmt(row, 0, "%d", row);
        grid.SetItemTextFmt(row, 1, "%u", static_cast<unsigned>(random() % 1000000));
        for (int col = 2; col < kCols; ++col)
            grid.SetItemTextFmt(row, col, "X%d.%d", row % 977, col);
    }
}

void BM_Fill(benchmark::State &state) {
    EnsureApplication();
    std::mt19937 random(18);
    for (auto _ : state) {
        CGridCtrl grid(1, kCols, 1, 1);
        Fill(grid, random);
        benchmark::DoNotOptimize(grid.GetItemText(kRows, kCols - 1));
    }
    state.SetItemsProcessed(state.iterations() * kRows * kCols);
}

void BM_SortNumeric(benchmark::State &state) {
    EnsureApplication();
    std::mt19937 random(18);
    CGridCtrl grid(1, kCols, 1, 1);
    Fill(grid, random);
    grid.SetCompareFunction(CGridCore::pfnCellNumericCompare);
    for (auto _ : state) {
        state.PauseTiming();
        for (int row = 1; row <= kRows; ++row)
            grid.SetItemTextFmt(row, 1, "%u", static_cast<unsigned>(random() % 1000000));
        state.ResumeTiming();
        grid.SortItems(1, TRUE);
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}

void BM_SortText(benchmark::State &state) {
    EnsureApplication();
    std::mt19937 random(18);
    CGridCtrl grid(1, kCols, 1, 1);
    Fill(grid, random);
    for (auto _ : state) {
        state.PauseTiming();
        for (int row = 1; row <= kRows; ++row)
            grid.SetItemTextFmt(row, 1, "%u", static_cast<unsigned>(random() % 1000000));
        state.ResumeTiming();
        grid.SortTextItems(1, TRUE);
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}

void BM_ScrollToEnd(benchmark::State &state) {
    EnsureApplication();
    std::mt19937 random(18);
    CGridCtrl grid(1, kCols, 1, 1);
    grid.resize(800, 600);
    grid.show();
    Fill(grid, random);
    grid.AutoSizeColumns();
    QApplication::processEvents();
    for (auto _ : state) {
        state.PauseTiming();
        grid.NoteKeyboardModifiers(Qt::ControlModifier);
        grid.SetFocusCell(1, 1);
        grid.OnKeyDown(VK_HOME);
        grid.viewport()->repaint();
        state.ResumeTiming();
        grid.OnKeyDown(VK_END);
        grid.viewport()->repaint();
    }
    if (grid.GetFocusCell() != CCellID(kRows, kCols - 1) || !grid.IsCellVisible(kRows, 1))
        state.SkipWithError("Ctrl+End did not reach the last cell");
}

} // namespace

BENCHMARK(BM_Fill)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortNumeric)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SortText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScrollToEnd)->Unit(benchmark::kMillisecond);
