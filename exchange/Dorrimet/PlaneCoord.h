#pragma once

#include "exchange/Dorrimet/PlaneArea.h"

#include <cstdint>
#include <memory>
#include <vector>

class EarthEllips;

// An ordered list of zones that owns them: a zone removed from the list is
// deleted, and so is every zone left when the list is destroyed. The list
// cannot be copied, so no zone ever has two owners.
class PlaneCoord {
  public:
    PlaneCoord();
    PlaneCoord(const PlaneCoord &) = delete;
    PlaneCoord &operator=(const PlaneCoord &) = delete;
    virtual ~PlaneCoord();

    // Adds the zone at the end and takes ownership. A null zone, or one already
    // in the list, is not added (and not deleted).
    void Append(const PlaneArea *area);

    int GetSize() const;
    // Null when index is outside 0 .. size-1.
    const PlaneArea *GetArea(int index) const;
    // The first zone with that number, or null; its index, or -1.
    const PlaneArea *GetAreaFromNo(int no) const;
    int GetAreaIndexFromNo(int no) const;
    // The zone whose origin is nearest to (b, l) in plain radians, the earlier
    // one on a tie; null for an empty list or a NaN or infinite b or l.
    const PlaneArea *GetNearArea(double b, double l) const;

    // Delete the zone and close the gap; false when there is no such zone.
    bool Remove(int index);
    bool RemoveFromNo(int no);
    void RemoveAllAreas();

  private:
    std::vector<std::unique_ptr<const PlaneArea>> areas;
};

// A row of the Japanese zone table: origin latitude and longitude as packed
// degrees.minutes (129.30 is 129 degrees 30 minutes), false northing and
// easting in metres, and the scale factor on the central meridian.
struct tagPlaneAreaMercatorInit {
    std::int32_t no;
    const char *label;
    double lat0;
    double lon0;
    double x0;
    double y0;
    double scale;
};

// The 19 zones of the Japanese plane-rectangular coordinate system, zone 1 at
// index 0. The ellipsoid belongs to the caller and must outlive the list.
class PlaneCrdJpn : public PlaneCoord {
  public:
    static const tagPlaneAreaMercatorInit s_area[19];

    // An empty list.
    PlaneCrdJpn();
    // The 19 zones on the ellipsoid.
    explicit PlaneCrdJpn(const EarthEllips *ellipsoid);
    ~PlaneCrdJpn() override;

    // Rebuilds the list on the ellipsoid.
    void SetEarthEllips(const EarthEllips *ellipsoid);

  protected:
    // Empties the list and appends one zone for each row of s_area.
    virtual void initArea(const EarthEllips *ellipsoid);
};
