// The table of points whose results are reported (the export of converted points) in a large
// project: 3,000 basis points tied to old marks and 100,000 converted targets, some of them the
// marks themselves, which the table leaves out by looking each target up in the basis.
#include "veltrane/database/Veltrane.h"

#include <benchmark/benchmark.h>

#include <random>
#include <string>

namespace {

constexpr int kBasis = 3000;
constexpr int kTargets = 100000;

Coordinate at(double x, double y) { return Coordinate(x, y, 30.0, true, 0.0, false); }

// Every point has a result in block 0 and block 1; every 50th target is the old mark of a basis
// point (its name and Tokyo coordinates).
void BuildProject(Veltrane &db) {
    std::mt19937_64 rng(20240701);
    std::uniform_real_distribution<double> x(-35000.0, -27000.0), y(-12000.0, -4000.0);
    const auto converted = [](Point &p) {
        p.AppendBlock(1);
        for (unsigned block : {0u, 1u})
            p.SetJGD2000(p.GetTokyoDatum(), CrdCnvStatParaTrans, block);
    };
    std::vector<Coordinate> marks;
    for (int i = 0; i < kBasis; ++i) {
        Point b(0, CString("B") + std::to_string(i).c_str());
        marks.push_back(at(x(rng), y(rng)));
        b.SetTokyoDatum(marks.back());
        b.SetCnvBasisITRF(at(marks.back().GetX() + 0.5, marks.back().GetY() - 0.5));
        b.SetInsyoName(CString("M") + std::to_string(i).c_str());
        converted(b);
        db.Append(b);
    }
    for (int i = 0; i < kTargets; ++i) {
        const bool mark = i % 50 == 0;
        const int m = i / 50 % kBasis;
        Point t(0, CString(mark ? "M" : "T") + std::to_string(mark ? m : i).c_str());
        t.SetTokyoDatum(mark ? marks[static_cast<std::size_t>(m)] : at(x(rng), y(rng)));
        converted(t);
        db.Append(t);
    }
}

const Veltrane &Project() {
    static Veltrane *const db = [] {
        auto *made = new Veltrane;
        BuildProject(*made);
        return made;
    }();
    return *db;
}

// Arguments: block (0 the whole area, 1 a block), basis given (0 made by the call, 1 given),
// marks left out (0 taken too, without a lookup; 1 looked up and left out).
void BM_MakeResultPointTable(benchmark::State &state) {
    const Veltrane &db = Project();
    const auto block = static_cast<unsigned>(state.range(0));
    const bool given = state.range(1) != 0;
    const bool withMarks = state.range(2) == 0;
    PointTable basis;
    for (Point *b : db)
        if (b->IsConvBasisPoint())
            basis.Append(b);
    const unsigned expected = withMarks ? kTargets : kTargets - kTargets / 50;
    for (auto _ : state) {
        PointTable out;
        if (given)
            db.MakeResultPointTable(block, &out, basis, withMarks, true, true);
        else
            db.MakeResultPointTable(block, &out, withMarks, true, true);
        if (out.size() != expected)
            state.SkipWithError("wrong number of points");
        benchmark::DoNotOptimize(out);
    }
    state.SetItemsProcessed(state.iterations() * kTargets);
}
BENCHMARK(BM_MakeResultPointTable)
    ->ArgsProduct({{0, 1}, {0, 1}, {0, 1}})
    ->ArgNames({"block", "given", "lookup"})
    ->Unit(benchmark::kMillisecond);

} // namespace
