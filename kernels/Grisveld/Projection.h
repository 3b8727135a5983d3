#pragma once

// A map projection between geodetic latitude/longitude (radians) and plane
// coordinates (metres, x northing, y easting). Each conversion answers false and
// leaves its outputs untouched when the projection cannot compute.
class Projection {
  public:
    virtual bool BLtoXY(double B, double L, double *x, double *y) const = 0;
    virtual bool XYtoBL(double x, double y, double *B, double *L) const = 0;

  protected:
    Projection() = default;
    Projection(const Projection &) = default;
    Projection &operator=(const Projection &) = default;
    ~Projection() = default;
};
