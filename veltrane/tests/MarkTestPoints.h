#pragma once

#include "veltrane/model/Point.h"

// A valid coordinate at plane (x, y), without heights.
inline Coordinate planeXY(double x, double y) { return Coordinate(x, y, 0.0, false, 0.0, false); }

// A point with a conversion-basis ITRF observation at (x, y).
inline Point observedPoint(unsigned id, const char *name, double x, double y) {
    Point p(id, name);
    p.SetCnvBasisITRF(planeXY(x, y));
    return p;
}
