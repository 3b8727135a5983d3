#pragma once

#include "kernels/Grisveld/TransMercator.h"

#include <string>

// One plane-rectangular zone: its number, its display label (cp932 bytes) and
// the projection between latitude/longitude (radians) and plane X (northing),
// Y (easting) in metres.
class PlaneArea {
  public:
    virtual ~PlaneArea();

    int GetNo() const { return no; }
    std::string GetName() const { return label; }

    virtual const EarthEllips *GetRefEllips() const = 0;
    // Latitude and longitude of the zone's origin.
    virtual void GetOrigin(double *b0, double *l0) const = 0;
    // Both answer false, with NaN in the outputs, when the zone cannot compute.
    virtual bool BLtoXY(double b, double l, double *x, double *y) const = 0;
    virtual bool XYtoBL(double x, double y, double *b, double *l) const = 0;
    virtual const Projection *GetProjection() const = 0;

  protected:
    // A null label is taken as empty.
    PlaneArea(int no, const char *label);
    PlaneArea(const PlaneArea &) = default;
    PlaneArea &operator=(const PlaneArea &) = default;

  private:
    int no;
    std::string label;
};

// A zone on a transverse Mercator projection (short forward series).
//
// The ellipsoid belongs to the caller and must outlive the zone and every copy
// of it. A null ellipsoid is accepted: the origin and label still answer, and
// BLtoXY and XYtoBL answer false with NaN outputs.
class PlaneAreaMercator : public PlaneArea {
  public:
    // Angles in radians, x0 and y0 in metres.
    PlaneAreaMercator(int no, const char *label, const EarthEllips *ellipsoid, double lat0,
                      double lon0, double scale, double x0, double y0);
    PlaneAreaMercator(const PlaneAreaMercator &) = default;
    PlaneAreaMercator &operator=(const PlaneAreaMercator &) = default;
    ~PlaneAreaMercator() override;

    const EarthEllips *GetRefEllips() const override;
    void GetOrigin(double *b0, double *l0) const override;
    bool BLtoXY(double b, double l, double *x, double *y) const override;
    bool XYtoBL(double x, double y, double *b, double *l) const override;
    const Projection *GetProjection() const override;
    const TransMercator *GetTransMercator() const { return &projection; }

  private:
    TransMercator projection;
};
