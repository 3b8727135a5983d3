// The polygon geometry of the blocks against Boost.Geometry on seeded random polygons, and the
// edits that must keep a polygon simple.
#include "veltrane/conversion/CrdTrnsBlock.h"

// Without the rescaling of coordinates to integers, as later versions of Boost.Geometry work:
// the rescaling reads a factor that GCC cannot see is always set.
#define BOOST_GEOMETRY_NO_ROBUSTNESS
#include <boost/geometry.hpp>
#include <boost/geometry/geometries/point_xy.hpp>
#include <boost/geometry/geometries/polygon.hpp>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

namespace {

namespace bg = boost::geometry;
using BPoint = bg::model::d2::point_xy<double>;
using BPolygon = bg::model::polygon<BPoint>;

using Polygon = std::vector<JPolygonElm>;

BPolygon toBoost(const Polygon &v) {
    BPolygon poly;
    for (const JPolygonElm &p : v)
        bg::append(poly.outer(), BPoint(p.x, p.y));
    bg::correct(poly);
    return poly;
}

// A star-shaped polygon around the origin on even coordinates, so that edge midpoints are exact;
// either turning direction. Empty when rounding made it invalid.
Polygon starPolygon(std::mt19937 &rng, int n, bool reverse) {
    std::uniform_real_distribution<double> angle(0.0, 2.0 * M_PI), radius(20.0, 400.0);
    std::vector<double> angles(n);
    for (double &a : angles)
        a = angle(rng);
    std::sort(angles.begin(), angles.end());
    Polygon v;
    for (double a : angles) {
        const double r = radius(rng);
        v.push_back(
            {2.0 * std::round(r * std::cos(a) / 2.0), 2.0 * std::round(r * std::sin(a) / 2.0)});
    }
    if (reverse)
        std::reverse(v.begin(), v.end());
    if (!CrdTrnsBlock::CheckSamePoint(v) || !bg::is_valid(toBoost(v)))
        return {};
    return v;
}

TEST(CrdTrnsBlockGeometry, PointInPolygonAgreesWithBoostOnRandomPolygons) {
    std::mt19937 rng(14);
    std::uniform_real_distribution<double> coord(-450.0, 450.0);
    int polygons = 0;
    for (int k = 0; k < 300; ++k) {
        const Polygon v = starPolygon(rng, 3 + k % 12, k % 2 == 1);
        if (v.empty())
            continue;
        ++polygons;
        const BPolygon reference = toBoost(v);
        auto agrees = [&](double x, double y) {
            return CrdTrnsBlock::IsInPolygon(v, x, y) == bg::covered_by(BPoint(x, y), reference);
        };
        for (int i = 0; i < 200; ++i) {
            const double x = coord(rng), y = coord(rng);
            ASSERT_TRUE(agrees(x, y)) << k << ": " << x << ", " << y;
        }
        for (std::size_t i = 0; i < v.size(); ++i) {
            const JPolygonElm &a = v[i], &b = v[(i + 1) % v.size()];
            // On the fan line from vertex 0, where neighbouring triangles meet.
            for (double t : {0.25, 0.5, 1.5})
                ASSERT_TRUE(agrees(v[0].x + t * (a.x - v[0].x), v[0].y + t * (a.y - v[0].y))) << k;
            // Vertices and edge midpoints are on the boundary, hence inside; 1 mm off the
            // midpoint on either side agrees with the reference.
            const JPolygonElm mid{(a.x + b.x) / 2, (a.y + b.y) / 2};
            EXPECT_EQ(CrdTrnsBlock::pt_in_polygon(a, v), 0) << k;
            EXPECT_EQ(CrdTrnsBlock::pt_in_polygon(mid, v), 0) << k;
            const double d = 0.001 / std::hypot(b.x - a.x, b.y - a.y);
            ASSERT_TRUE(agrees(mid.x + d * (b.y - a.y), mid.y - d * (b.x - a.x)) &&
                        agrees(mid.x - d * (b.y - a.y), mid.y + d * (b.x - a.x)))
                << k;
        }
    }
    EXPECT_GT(polygons, 200);
}

// Random vertices in general position: a crossing of edges that are not neighbours is what
// Boost calls a self-intersection.
TEST(CrdTrnsBlockGeometry, CrossingEdgesAgreeWithBoostSelfIntersection) {
    std::mt19937 rng(1407);
    std::uniform_real_distribution<double> coord(-1000.0, 1000.0);
    int crossing = 0;
    for (int k = 0; k < 400; ++k) {
        Polygon v(4 + k % 5);
        for (JPolygonElm &p : v)
            p = {coord(rng), coord(rng)};
        const bool reference = bg::intersects(toBoost(v));
        ASSERT_EQ(CrdTrnsBlock::IsCross(v), reference) << k;
        crossing += reference;
    }
    EXPECT_GT(crossing, 50);
    EXPECT_LT(crossing, 350);
}

// Whether every vertex was taken.
bool draw(CrdTrnsBlock &block, const Polygon &v) {
    for (const JPolygonElm &p : v)
        if (!block.AppendCrd(p.x, p.y))
            return false;
    return true;
}

TEST(BlockPolygon, AppendingRefusesTheLastVertexAndCrossingEdges) {
    CrdTrnsBlock block(1);
    ASSERT_TRUE(draw(block, {{0, 0}, {10, 0}}));
    EXPECT_FALSE(block.AppendCrd(10, 0));
    EXPECT_TRUE(block.AppendCrd(5, -5)); // the third vertex never crosses
    EXPECT_FALSE(block.AppendCrd(5, 5)); // crosses the first edge
    EXPECT_TRUE(block.AppendCrd(-5, -5));
    EXPECT_EQ(block.GetCrdSize(), 4u);
}

TEST(BlockPolygon, ClosingRefusesStraightCrossedAndFoldedPolygons) {
    // A straight triangle, a bow tie crossed by its closing edge, and polygons folded back on
    // one line with no angle of pi, which enclose nothing.
    for (const Polygon &bad :
         {Polygon{{0, 0}, {5, 0}, {10, 0}}, Polygon{{0, 0}, {10, 0}, {0, 10}, {10, 10}},
          Polygon{{0, 0}, {10, 0}, {5, 0}}, Polygon{{0, 0}, {10, 0}, {5, 0}, {2, 0}},
          Polygon{{0, 0}, {10, 0}}}) {
        CrdTrnsBlock block(1);
        ASSERT_TRUE(draw(block, bad));
        EXPECT_FALSE(block.SetClose()) << bad.size();
        EXPECT_TRUE(block.IsOpen());
    }
    CrdTrnsBlock square(2);
    ASSERT_TRUE(draw(square, {{0, 0}, {10, 0}, {10, 10}, {0, 10}}));
    EXPECT_TRUE(square.SetClose());
    // North, east, south, west: clockwise on the map.
    EXPECT_TRUE(CrdTrnsBlock::IsRightRotate(square.GetPolygon()));
    Polygon other(square.GetPolygon().rbegin(), square.GetPolygon().rend());
    EXPECT_FALSE(CrdTrnsBlock::IsRightRotate(other));
}

TEST(BlockPolygon, MovesAndInsertionsThatWouldCrossAreRefused) {
    CrdTrnsBlock block(1);
    ASSERT_TRUE(draw(block, {{0, 0}, {0, 10}, {10, 10}, {10, 0}}));
    ASSERT_TRUE(block.SetClose());
    EXPECT_FALSE(block.MoveCrd(0, 20, 5));   // its edges would cross edge 1 to 2
    EXPECT_FALSE(block.InsertCrd(3, 5, 20)); // the new edges from 3 and to 0 cross edge 1
    EXPECT_TRUE(block.InsertCrd(3, 5, -5));  // after the last vertex, on the closing edge
    EXPECT_TRUE(block.MoveCrd(1, -2, 12));
    EXPECT_EQ(block.GetCrdSize(), 5u);
    double x = 0, y = 0;
    ASSERT_TRUE(block.GetCrd(4, &x, &y));
    EXPECT_EQ(x, 5);
    EXPECT_FALSE(block.MoveCrd(5, 1, 1));
    EXPECT_EQ(block.FindSegment(4, -4, 2), 4); // the closing edge from the new vertex
    EXPECT_TRUE(block.IsInPolygon(10, 5));
    EXPECT_FALSE(block.IsInPolygon(10.001, 5));
}

} // namespace
