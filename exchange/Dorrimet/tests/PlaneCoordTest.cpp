#include "exchange/Dorrimet/PlaneCoord.h"
#include "exchange/Dorrimet/Coordinate.h"
#include "kernels/Grisveld/EarthEllips.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <type_traits>

namespace {

static_assert(!std::is_copy_constructible_v<PlaneCoord> && !std::is_copy_assignable_v<PlaneCoord>);
static_assert(!std::is_copy_constructible_v<PlaneCrdJpn> &&
              !std::is_copy_assignable_v<PlaneCrdJpn>);

double rad(double degrees) { return degrees * M_PI / 180.0; }

// A zone that counts its destructions.
class CountedArea : public PlaneArea {
  public:
    CountedArea(int no, double b0Deg, double l0Deg, int *deaths)
        : PlaneArea(no, "counted"), b0(rad(b0Deg)), l0(rad(l0Deg)), deaths(deaths) {}
    ~CountedArea() override { ++*deaths; }

    const EarthEllips *GetRefEllips() const override { return nullptr; }
    void GetOrigin(double *b, double *l) const override {
        *b = b0;
        *l = l0;
    }
    bool BLtoXY(double, double, double *, double *) const override { return false; }
    bool XYtoBL(double, double, double *, double *) const override { return false; }
    const Projection *GetProjection() const override { return nullptr; }

  private:
    double b0;
    double l0;
    int *deaths;
};

TEST(PlaneCoordTest, TheListOwnsAndDeletesItsZones) {
    int deaths = 0;
    {
        PlaneCoord list;
        const PlaneArea *first = new CountedArea(7, 0, 0, &deaths);
        list.Append(first);
        list.Append(new CountedArea(3, 0, 0, &deaths));
        list.Append(new CountedArea(7, 0, 0, &deaths));
        list.Append(new CountedArea(5, 0, 0, &deaths));
        list.Append(nullptr);
        list.Append(first); // already listed: not a second owner
        ASSERT_EQ(list.GetSize(), 4);

        EXPECT_EQ(list.GetArea(-1), nullptr);
        EXPECT_EQ(list.GetArea(4), nullptr);
        EXPECT_EQ(list.GetAreaFromNo(7), first);
        EXPECT_EQ(list.GetAreaIndexFromNo(5), 3);
        EXPECT_EQ(list.GetAreaIndexFromNo(4), -1);
        EXPECT_EQ(list.GetAreaFromNo(4), nullptr);

        EXPECT_FALSE(list.Remove(-1));
        EXPECT_FALSE(list.Remove(4));
        EXPECT_FALSE(list.RemoveFromNo(4));
        EXPECT_EQ(list.GetSize(), 4);
        EXPECT_EQ(deaths, 0);

        EXPECT_TRUE(list.Remove(1)); // zone 3; the gap closes
        EXPECT_EQ(deaths, 1);
        EXPECT_EQ(list.GetAreaIndexFromNo(5), 2);
        EXPECT_TRUE(list.RemoveFromNo(7)); // the first zone 7 only
        EXPECT_EQ(deaths, 2);
        EXPECT_EQ(list.GetAreaIndexFromNo(7), 0);
        EXPECT_EQ(list.GetSize(), 2);

        list.RemoveAllAreas();
        EXPECT_EQ(deaths, 4);
        EXPECT_EQ(list.GetSize(), 0);
        list.Append(new CountedArea(1, 0, 0, &deaths));
    }
    EXPECT_EQ(deaths, 5); // destroying the list deletes what is left
}

TEST(PlaneCoordTest, NearestOriginByPlainRadians) {
    int deaths = 0;
    PlaneCoord list;
    EXPECT_EQ(list.GetNearArea(0.6, 2.4), nullptr);

    list.Append(new CountedArea(7, 0, 2, &deaths));
    list.Append(new CountedArea(3, 0, 0, &deaths));
    // Exactly between the two: the earlier in the list, whatever the numbers.
    EXPECT_EQ(list.GetNearArea(0, rad(1))->GetNo(), 7);
    EXPECT_EQ(list.GetNearArea(0, rad(0.9))->GetNo(), 3);
    EXPECT_EQ(list.GetNearArea(0, rad(1.1))->GetNo(), 7);

    // No weighting by latitude: at 60 degrees 1.5 degrees of longitude count
    // as 1.5, so an origin 1.2 degrees north is nearer.
    list.RemoveAllAreas();
    list.Append(new CountedArea(1, 60, 141.5, &deaths));
    list.Append(new CountedArea(2, 61.2, 140, &deaths));
    EXPECT_EQ(list.GetNearArea(rad(60), rad(140))->GetNo(), 2);

    EXPECT_EQ(list.GetNearArea(NAN, rad(140)), nullptr);
    EXPECT_EQ(list.GetNearArea(rad(60), INFINITY), nullptr);
}

// Hand-written cp932 bytes of two labels.
const std::string kLabel1 = std::string("\x20\x87\x54\x20\x20\x8B\xE3\x20\x8F\x42\x20\x90\xBC") +
                            "( 129.30.00E, 33.00.00N )";
const std::string kLabel11 = std::string("\x87\x5D\x87\x54\x20\x96\x6B\x8A\x43\x93\xB9\x90\xBC") +
                             "( 140.15.00E, 44.00.00N )";

TEST(PlaneCrdJpnTest, TheZoneTable) {
    for (int i = 0; i < 19; ++i) {
        const tagPlaneAreaMercatorInit &row = PlaneCrdJpn::s_area[i];
        SCOPED_TRACE(i);
        EXPECT_EQ(row.no, i + 1);
        EXPECT_EQ(std::string(row.label).size(), 38u);
        EXPECT_EQ(row.scale, 0.9999);
        EXPECT_EQ(row.x0, 0.0);
        EXPECT_EQ(row.y0, 0.0);
    }
    EXPECT_EQ(std::string(PlaneCrdJpn::s_area[0].label), kLabel1);
    EXPECT_EQ(std::string(PlaneCrdJpn::s_area[10].label), kLabel11);
}

TEST(PlaneCrdJpnTest, EveryOriginDecodesToWholeMinutes) {
    // Latitude degrees, longitude degrees and minutes of zones 1 to 19.
    const int origins[19][3] = {{33, 129, 30}, {33, 131, 0},  {36, 132, 10}, {33, 133, 30},
                                {36, 134, 20}, {36, 136, 0},  {36, 137, 10}, {36, 138, 30},
                                {36, 139, 50}, {40, 140, 50}, {44, 140, 15}, {44, 142, 15},
                                {44, 144, 15}, {26, 142, 0},  {26, 127, 30}, {26, 124, 0},
                                {26, 131, 0},  {20, 136, 0},  {26, 154, 0}};
    const EarthEllips bessel(6377397.155, 299.152813);
    const PlaneCrdJpn zones(&bessel);
    ASSERT_EQ(zones.GetSize(), 19);
    for (int i = 0; i < 19; ++i) {
        SCOPED_TRACE(i + 1);
        const PlaneArea *zone = zones.GetArea(i);
        EXPECT_EQ(zone->GetNo(), i + 1);
        EXPECT_EQ(zone->GetName(), PlaneCrdJpn::s_area[i].label);
        EXPECT_EQ(zone->GetRefEllips(), &bessel);
        double b0 = 0;
        double l0 = 0;
        zone->GetOrigin(&b0, &l0);
        // A second of arc is 4.8e-6 rad.
        EXPECT_NEAR(b0, rad(origins[i][0]), 1e-13);
        EXPECT_NEAR(l0, rad(origins[i][1] + origins[i][2] / 60.0), 1e-13);
    }
    EXPECT_EQ(zones.GetArea(0)->GetName(), kLabel1);
}

TEST(PlaneCrdJpnTest, LookupsAndRebuilding) {
    const EarthEllips grs80(6378137.0, 298.257222101);
    const EarthEllips bessel(6377397.155, 299.152813);
    PlaneCrdJpn zones(&grs80);
    EXPECT_EQ(zones.GetArea(19), nullptr);
    EXPECT_EQ(zones.GetAreaFromNo(20), nullptr);
    EXPECT_EQ(zones.GetAreaIndexFromNo(20), -1);
    EXPECT_EQ(zones.GetAreaIndexFromNo(13), 12);
    EXPECT_EQ(zones.GetNearArea(rad(35), rad(139 + 50 / 60.0))->GetNo(), 9);
    EXPECT_EQ(zones.GetNearArea(rad(43.5), rad(141.5))->GetNo(), 12);

    EXPECT_FALSE(zones.RemoveFromNo(20));
    EXPECT_TRUE(zones.RemoveFromNo(9));
    EXPECT_EQ(zones.GetSize(), 18);

    zones.SetEarthEllips(&bessel);
    zones.SetEarthEllips(&bessel);
    ASSERT_EQ(zones.GetSize(), 19);
    EXPECT_EQ(zones.GetAreaIndexFromNo(9), 8);
    EXPECT_EQ(zones.GetAreaFromNo(9)->GetRefEllips(), &bessel);

    const PlaneCrdJpn empty;
    EXPECT_EQ(empty.GetSize(), 0);
    EXPECT_EQ(empty.GetNearArea(rad(35), rad(139)), nullptr);
}

TEST(PlaneCrdJpnTest, ZonesWithoutAnEllipsoidFailVisibly) {
    const PlaneCrdJpn zones(nullptr);
    ASSERT_EQ(zones.GetSize(), 19);
    const PlaneArea *zone = zones.GetAreaFromNo(9);
    EXPECT_EQ(zone->GetRefEllips(), nullptr);
    double b0 = 0;
    double l0 = 0;
    zone->GetOrigin(&b0, &l0);
    EXPECT_NEAR(b0, rad(36), 1e-13);

    double x = 1;
    double y = 1;
    EXPECT_FALSE(zone->BLtoXY(b0, l0, &x, &y));
    EXPECT_TRUE(std::isnan(x) && std::isnan(y));

    Coordinate c(100, 200, 0, false, 0, false);
    c.SetBL(0.5, 2.0);
    c.CalcBL(zone); // no stale latitude left behind
    EXPECT_TRUE(std::isnan(c.GetB()) && std::isnan(c.GetL()));

    // A zone whose ellipsoid is not set up fails the same way.
    const EarthEllips unset;
    const PlaneAreaMercator bad(1, "", &unset, rad(33), rad(129.5), 0.9999, 0, 0);
    EXPECT_FALSE(bad.XYtoBL(0, 0, &x, &y));
    EXPECT_TRUE(std::isnan(x));
}

TEST(PlaneCrdJpnTest, ProjectionIsTheZonesShortSeriesTransverseMercator) {
    const EarthEllips grs80(6378137.0, 298.257222101);
    const PlaneCrdJpn zones(&grs80);
    const auto *zone = static_cast<const PlaneAreaMercator *>(zones.GetAreaFromNo(3));
    const TransMercator *tm = zone->GetTransMercator();
    EXPECT_EQ(zone->GetProjection(), tm);
    EXPECT_EQ(tm->GetFormulaKind(), FORMULA_SHORT);
    EXPECT_EQ(tm->GetScaleFactor(), 0.9999);
    EXPECT_EQ(tm->GetFalseNorth(), 0.0);
    EXPECT_EQ(tm->GetFalseEast(), 0.0);

    // The origin maps to 0, 0 and back.
    double b0 = 0;
    double l0 = 0;
    zone->GetOrigin(&b0, &l0);
    double x = 1;
    double y = 1;
    EXPECT_TRUE(zone->BLtoXY(b0, l0, &x, &y));
    EXPECT_NEAR(x, 0.0, 1e-9);
    EXPECT_NEAR(y, 0.0, 1e-9);
    double b = 0;
    double l = 0;
    EXPECT_TRUE(zone->XYtoBL(0, 0, &b, &l));
    EXPECT_NEAR(b, b0, 1e-15);
    EXPECT_NEAR(l, l0, 1e-15);
}

} // namespace
