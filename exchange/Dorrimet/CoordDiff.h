#pragma once

#include "exchange/Dorrimet/Coordinate.h"

class JGDRoundMode;

// Two coordinates of one point (before and after, or two results) and their
// differences, second minus first.
class CoordDiff {
  public:
    CoordDiff();
    CoordDiff(const Coordinate &c1, const Coordinate &c2);
    CoordDiff(const CoordDiff &other) = default;
    CoordDiff &operator=(const CoordDiff &other) = default;
    virtual ~CoordDiff();

    void SetCoord1(const Coordinate &c) { coord1 = c; }
    void SetCoord2(const Coordinate &c) { coord2 = c; }

    double GetDiffX() const;
    double GetDiffY() const;
    // Plane distance.
    double GetDiffS() const;

    // Each coordinate is rounded by the mode before the subtraction.
    double GetDiffX(const JGDRoundMode &mode) const;
    double GetDiffY(const JGDRoundMode &mode) const;
    double GetDiffS(const JGDRoundMode &mode) const;

  private:
    Coordinate coord1;
    Coordinate coord2;
};
