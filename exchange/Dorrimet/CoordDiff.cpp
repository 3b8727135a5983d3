#include "exchange/Dorrimet/CoordDiff.h"

#include "kernels/Brennic/JGDRoundMode.h"

#include <cmath>

namespace {

double planeDistance(double dx, double dy) { return std::sqrt(dx * dx + dy * dy); }

} // namespace

CoordDiff::CoordDiff() = default;

CoordDiff::CoordDiff(const Coordinate &c1, const Coordinate &c2) : coord1(c1), coord2(c2) {}

CoordDiff::~CoordDiff() = default;

double CoordDiff::GetDiffX() const { return coord2.GetX() - coord1.GetX(); }

double CoordDiff::GetDiffY() const { return coord2.GetY() - coord1.GetY(); }

double CoordDiff::GetDiffS() const { return planeDistance(GetDiffX(), GetDiffY()); }

double CoordDiff::GetDiffX(const JGDRoundMode &mode) const {
    return mode.rround(coord2.GetX()) - mode.rround(coord1.GetX());
}

double CoordDiff::GetDiffY(const JGDRoundMode &mode) const {
    return mode.rround(coord2.GetY()) - mode.rround(coord1.GetY());
}

double CoordDiff::GetDiffS(const JGDRoundMode &mode) const {
    return planeDistance(GetDiffX(mode), GetDiffY(mode));
}
