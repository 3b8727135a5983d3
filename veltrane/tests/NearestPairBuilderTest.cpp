#include "veltrane/model/NearestPairBuilder.h"

#include "tests/support/RecordingProgress.h"
#include "veltrane/model/Point.h"
#include "veltrane/model/PrecisionMngTable.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <deque>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

using testsupport::RecordingProgress;

struct PointSet {
    std::deque<Point> points;
    std::vector<const Point *> refs;

    void add(double x, double y) {
        points.emplace_back(static_cast<unsigned>(points.size() + 1), "P");
        points.back().SetTokyoDatum(Coordinate(x, y, 0.0, false, 0.0, false));
        refs.push_back(&points.back());
    }
};

double distance(const Point *a, const Point *b) {
    const Coordinate ca = a->GetTokyoDatum(), cb = b->GetTokyoDatum();
    const double dx = ca.GetX() - cb.GetX(), dy = ca.GetY() - cb.GetY();
    return std::sqrt(dy * dy + dx * dx);
}

// Checks the builder's pairs against a brute-force nearest-neighbour search. With ties a point
// may take any of its nearest neighbours, so the pairs must be the pairs of some choice of one
// nearest neighbour per point: every pair is claimed by a distinct end of it for which the
// other end is a nearest neighbour, and every point has a pair with a nearest neighbour.
void expectNearestPairs(const PointSet &set, const PrecisionMngTable &table, bool noTies) {
    const std::vector<const Point *> &pts = set.refs;
    const int n = static_cast<int>(pts.size());
    std::map<const Point *, int> pos;
    for (int i = 0; i < n; ++i)
        pos[pts[i]] = i;
    std::vector<double> nearest(n, std::numeric_limits<double>::infinity());
    std::vector<int> firstNearest(n, -1);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            if (i != j && distance(pts[i], pts[j]) < nearest[i]) {
                nearest[i] = distance(pts[i], pts[j]);
                firstNearest[i] = j;
            }

    std::vector<std::pair<int, int>> pairs;
    std::set<std::pair<int, int>> unordered;
    std::vector<bool> covered(n, false);
    for (const PrecMngElm *e : table) {
        ASSERT_TRUE(pos.count(e->GetPt1()) && pos.count(e->GetPt2()));
        const int f = pos[e->GetPt1()], s = pos[e->GetPt2()];
        ASSERT_NE(f, s);
        const Coordinate cf = e->GetPt1()->GetTokyoDatum(), cs = e->GetPt2()->GetTokyoDatum();
        EXPECT_TRUE(cf.GetY() < cs.GetY() || (cf.GetY() == cs.GetY() && cf.GetX() <= cs.GetX()))
            << "not normalised";
        if (cf.GetX() == cs.GetX() && cf.GetY() == cs.GetY()) {
            EXPECT_LT(f, s) << "coincident points out of table order";
        }
        EXPECT_TRUE(unordered.emplace(std::min(f, s), std::max(f, s)).second) << "pair twice";
        const double d = distance(pts[f], pts[s]);
        EXPECT_TRUE(d == nearest[f] || d == nearest[s]) << "not a nearest pair " << f << " " << s;
        covered[f] = covered[f] || d == nearest[f];
        covered[s] = covered[s] || d == nearest[s];
        pairs.emplace_back(f, s);
    }
    EXPECT_TRUE(std::is_sorted(pairs.begin(), pairs.end())) << "not in table order";
    for (int i = 0; i < n && n >= 2; ++i)
        EXPECT_TRUE(covered[i]) << "point " << i << " has no pair with a nearest neighbour";

    // Each pair claimed by a distinct qualifying end: a matching of pairs into points.
    std::vector<int> owner(n, -1);
    std::function<bool(int, std::vector<bool> &)> claim = [&](int k, std::vector<bool> &seen) {
        for (int end : {pairs[k].first, pairs[k].second}) {
            const int other = end == pairs[k].first ? pairs[k].second : pairs[k].first;
            if (seen[end] || distance(pts[end], pts[other]) != nearest[end])
                continue;
            seen[end] = true;
            if (owner[end] < 0 || claim(owner[end], seen)) {
                owner[end] = k;
                return true;
            }
        }
        return false;
    };
    for (int k = 0; k < static_cast<int>(pairs.size()); ++k) {
        std::vector<bool> seen(n, false);
        EXPECT_TRUE(claim(k, seen)) << "more pairs than nearest neighbours can explain";
    }

    if (noTies) {
        std::set<std::pair<int, int>> expected;
        for (int i = 0; i < n && n >= 2; ++i)
            expected.emplace(std::min(i, firstNearest[i]), std::max(i, firstNearest[i]));
        EXPECT_EQ(unordered, expected);
    }
}

std::unique_ptr<PrecisionMngTable> build(const PointSet &set, JIProgMsgBase *progress = nullptr) {
    auto table = std::make_unique<PrecisionMngTable>();
    EXPECT_TRUE(NearestPairBuilder(progress).Create(set.refs, table.get()));
    return table;
}

// Thousands of seeded sets of up to 60 points: continuous coordinates (no ties), survey-like
// coordinates in millimetres, small integer grids (ties and coincident points), few distinct
// values (many duplicates), points on one line and sets with far outliers.
TEST(NearestPairBuilder, AgreesWithBruteForceOnRandomSets) {
    for (unsigned seed = 0; seed < 3000; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937_64 rng(seed);
        const int n = std::uniform_int_distribution<int>(0, 60)(rng);
        const int kind = static_cast<int>(seed % 6);
        std::uniform_real_distribution<double> real(0.0, 1000.0);
        std::uniform_int_distribution<int> grid(0, kind == 3 ? 2 : 7);
        std::uniform_int_distribution<int> mm(-150000000, 150000000);
        PointSet set;
        for (int i = 0; i < n; ++i) {
            switch (kind) {
            case 0:
                set.add(real(rng), real(rng));
                break;
            case 1:
                set.add(mm(rng) / 1000.0, mm(rng) / 1000.0);
                break;
            case 2:
            case 3:
                set.add(grid(rng), grid(rng));
                break;
            case 4:
                set.add(42.0, grid(rng) * 10 + grid(rng));
                break;
            default: // up to ten far outliers among the first points
                if (i < static_cast<int>(seed % 11)) {
                    const double a = real(rng) / 100.0;
                    set.add(3e5 * std::cos(a), 3e5 * std::sin(a));
                } else {
                    set.add(real(rng), real(rng));
                }
                break;
            }
        }
        expectNearestPairs(set, *build(set), kind == 0 || kind == 5);
        if (HasFailure())
            return;
    }
}

TEST(NearestPairBuilder, AgreesWithBruteForceOnLargeSets) {
    std::mt19937_64 rng(77);
    std::uniform_real_distribution<double> real(-20000.0, 20000.0);
    std::uniform_int_distribution<int> dup(0, 9);
    PointSet set;
    for (int i = 0; i < 4000; ++i) {
        if (i % 400 == 7) // ten mistyped points 300 km away
            set.add(3e5 + real(rng), real(rng));
        else if (i > 0 && dup(rng) == 0) // every tenth point or so repeats an earlier one
            set.add(set.refs[i / 2]->GetTokyoDatum().GetX(),
                    set.refs[i / 2]->GetTokyoDatum().GetY());
        else
            set.add(real(rng), real(rng));
    }
    expectNearestPairs(set, *build(set), false);
}

TEST(NearestPairBuilder, CoincidentPointsPairOnce) {
    // Neither order of two coincident points is normalised, yet they make one pair.
    PointSet two;
    two.add(5, 5);
    two.add(5, 5);
    const auto pair = build(two);
    ASSERT_EQ(pair->size(), 1u);
    EXPECT_EQ(pair->GetElm(0)->GetPt1(), two.refs[0]);
    EXPECT_EQ(pair->GetElm(0)->GetPt2(), two.refs[1]);

    PointSet set;
    for (int i = 0; i < 3; ++i)
        set.add(9, 9);
    set.add(1, 1);
    const auto table = build(set);
    EXPECT_GE(table->size(), 2u);
    EXPECT_LE(table->size(), 3u);
    expectNearestPairs(set, *table, false);
}

// Points whose Tokyo coordinates are not finite (only a library caller or a damaged project
// brings them) take no part; every other point still meets a true nearest neighbour, each pair
// once.
TEST(NearestPairBuilder, PointsWithoutFiniteCoordinatesTakeNoPart) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const double odd[] = {nan, inf, -inf};
    for (unsigned seed = 0; seed < 500; ++seed) {
        SCOPED_TRACE(seed);
        std::mt19937_64 rng(seed);
        const int n = std::uniform_int_distribution<int>(0, 40)(rng);
        std::uniform_int_distribution<int> pick(0, 11);
        std::uniform_int_distribution<int> grid(0, 6);
        PointSet all;
        PointSet finite; // the same points without the others
        for (int i = 0; i < n; ++i) {
            const int p = pick(rng);
            const double x = p < 3 ? odd[p] : grid(rng),
                         y = p > 0 && p < 5 ? odd[p % 3] : grid(rng);
            all.add(x, y);
            if (std::isfinite(x) && std::isfinite(y))
                finite.refs.push_back(all.refs.back());
        }
        expectNearestPairs(finite, *build(all), false);
        if (HasFailure())
            return;
    }
}

TEST(NearestPairBuilder, ReportsEveryMergeAndChecksForCancelEveryThousandSteps) {
    std::mt19937_64 rng(5);
    std::uniform_real_distribution<double> real(0.0, 5000.0);
    PointSet set;
    for (int i = 0; i < 3000; ++i)
        set.add(real(rng), real(rng));

    RecordingProgress progress;
    progress.logProgress = false;
    const auto table = build(set, &progress);
    EXPECT_EQ(progress.log, (std::vector<std::string>{"start 5998", "end"}));
    EXPECT_EQ(progress.progressCalls, 5998);
    // Two sorts of about n log n merge steps and a strip walk of n per level.
    EXPECT_GE(progress.checks, 3000 * 11 * 3 / 1001);
    EXPECT_LT(progress.checks, 3000 * 12 * 4 / 1001);
    expectNearestPairs(set, *table, true);

    // A cancel at any check or any progress report leaves the table unchanged.
    const int checks = progress.checks;
    for (int at = 1; at <= checks; at += 7) {
        RecordingProgress cancel;
        cancel.logProgress = false;
        cancel.cancelAtCheck = at;
        PrecisionMngTable kept;
        kept.Append(new PrecMngElm(set.refs[0], set.refs[1]));
        EXPECT_FALSE(NearestPairBuilder(&cancel).Create(set.refs, &kept)) << at;
        EXPECT_GE(cancel.checks, at); // a merge under way finishes first
        EXPECT_LE(cancel.checks, at + 2);
        EXPECT_EQ(kept.size(), 1u);
        EXPECT_EQ(cancel.log.back(), "end");
    }
    for (int at : {1, 2999, 3000, 5998}) {
        RecordingProgress cancel;
        cancel.logProgress = false;
        cancel.cancelAtProgress = at;
        PrecisionMngTable empty;
        EXPECT_FALSE(NearestPairBuilder(&cancel).Create(set.refs, &empty)) << at;
        EXPECT_EQ(cancel.progressCalls, at);
        EXPECT_EQ(empty.size(), 0u);
    }
}

} // namespace
