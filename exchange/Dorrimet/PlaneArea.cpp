#include "exchange/Dorrimet/PlaneArea.h"

#include <limits>

namespace {

// Outputs of a conversion that could not be computed.
bool failed(double *first, double *second) {
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    if (first)
        *first = nan;
    if (second)
        *second = nan;
    return false;
}

} // namespace

PlaneArea::PlaneArea(int no, const char *label) : no(no), label(label ? label : "") {}

PlaneArea::~PlaneArea() = default;

PlaneAreaMercator::PlaneAreaMercator(int no, const char *label, const EarthEllips *ellipsoid,
                                     double lat0, double lon0, double scale, double x0, double y0)
    : PlaneArea(no, label),
      projection(ellipsoid, lat0, lon0, scale, x0, y0, ORG_CRD_METER, FORMULA_SHORT) {}

PlaneAreaMercator::~PlaneAreaMercator() = default;

const EarthEllips *PlaneAreaMercator::GetRefEllips() const { return projection.GetRefEllips(); }

void PlaneAreaMercator::GetOrigin(double *b0, double *l0) const {
    if (b0)
        *b0 = projection.GetOrgLat();
    if (l0)
        *l0 = projection.GetOrgLon();
}

bool PlaneAreaMercator::BLtoXY(double b, double l, double *x, double *y) const {
    double px = 0.0;
    double py = 0.0;
    if (!projection.BLtoXY(b, l, &px, &py))
        return failed(x, y);
    if (x)
        *x = px;
    if (y)
        *y = py;
    return true;
}

bool PlaneAreaMercator::XYtoBL(double x, double y, double *b, double *l) const {
    double pb = 0.0;
    double pl = 0.0;
    if (!projection.XYtoBL(x, y, &pb, &pl))
        return failed(b, l);
    if (b)
        *b = pb;
    if (l)
        *l = pl;
    return true;
}

const Projection *PlaneAreaMercator::GetProjection() const { return &projection; }
