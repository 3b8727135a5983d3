#include "exchange/Dorrimet/PlaneCoord.h"

#include "kernels/Lunmarg/AngleFunctions.h"

#include <algorithm>
#include <cmath>
#include <utility>

PlaneCoord::PlaneCoord() = default;

PlaneCoord::~PlaneCoord() = default;

void PlaneCoord::Append(const PlaneArea *area) {
    if (!area)
        return;
    const bool listed = std::any_of(areas.begin(), areas.end(),
                                    [area](const auto &owned) { return owned.get() == area; });
    if (listed)
        return;
    std::unique_ptr<const PlaneArea> owned(area);
    areas.push_back(std::move(owned));
}

int PlaneCoord::GetSize() const { return static_cast<int>(areas.size()); }

const PlaneArea *PlaneCoord::GetArea(int index) const {
    if (index < 0 || index >= GetSize())
        return nullptr;
    return areas[static_cast<std::size_t>(index)].get();
}

const PlaneArea *PlaneCoord::GetAreaFromNo(int no) const { return GetArea(GetAreaIndexFromNo(no)); }

int PlaneCoord::GetAreaIndexFromNo(int no) const {
    for (int i = 0; i < GetSize(); ++i)
        if (GetArea(i)->GetNo() == no)
            return i;
    return -1;
}

const PlaneArea *PlaneCoord::GetNearArea(double b, double l) const {
    if (!std::isfinite(b) || !std::isfinite(l))
        return nullptr;
    const PlaneArea *nearest = nullptr;
    double nearestDistance = 0.0;
    for (const auto &area : areas) {
        double b0 = 0.0;
        double l0 = 0.0;
        area->GetOrigin(&b0, &l0);
        const double dl = std::fabs(l - l0);
        const double db = std::fabs(b - b0);
        const double distance = std::sqrt(dl * dl + db * db);
        if (!nearest || distance < nearestDistance) {
            nearest = area.get();
            nearestDistance = distance;
        }
    }
    return nearest;
}

bool PlaneCoord::Remove(int index) {
    if (index < 0 || index >= GetSize())
        return false;
    areas.erase(areas.begin() + index);
    return true;
}

bool PlaneCoord::RemoveFromNo(int no) { return Remove(GetAreaIndexFromNo(no)); }

void PlaneCoord::RemoveAllAreas() { areas.clear(); }

// Labels are 38 bytes of cp932 each.
const tagPlaneAreaMercatorInit PlaneCrdJpn::s_area[19] = {
    {1, " Ⅰ  九 州 西( 129.30.00E, 33.00.00N )", 33.00, 129.30, 0.0, 0.0, 0.9999},
    {2, " Ⅱ  九 州 東( 131.00.00E, 33.00.00N )", 33.00, 131.00, 0.0, 0.0, 0.9999},
    {3, " Ⅲ  中 国 西( 132.10.00E, 36.00.00N )", 36.00, 132.10, 0.0, 0.0, 0.9999},
    {4, " Ⅳ  四    国( 133.30.00E, 33.00.00N )", 33.00, 133.30, 0.0, 0.0, 0.9999},
    {5, " Ⅴ  中 国 東( 134.20.00E, 36.00.00N )", 36.00, 134.20, 0.0, 0.0, 0.9999},
    {6, " Ⅵ  近    畿( 136.00.00E, 36.00.00N )", 36.00, 136.00, 0.0, 0.0, 0.9999},
    {7, " Ⅶ  中 部 西( 137.10.00E, 36.00.00N )", 36.00, 137.10, 0.0, 0.0, 0.9999},
    {8, " Ⅷ  中 部 東( 138.30.00E, 36.00.00N )", 36.00, 138.30, 0.0, 0.0, 0.9999},
    {9, " Ⅸ  関    東( 139.50.00E, 36.00.00N )", 36.00, 139.50, 0.0, 0.0, 0.9999},
    {10, " Ⅹ  東    北( 140.50.00E, 40.00.00N )", 40.00, 140.50, 0.0, 0.0, 0.9999},
    {11, "ⅩⅠ 北海道西( 140.15.00E, 44.00.00N )", 44.00, 140.15, 0.0, 0.0, 0.9999},
    {12, "ⅩⅡ 北海道中( 142.15.00E, 44.00.00N )", 44.00, 142.15, 0.0, 0.0, 0.9999},
    {13, "ⅩⅢ 北海道東( 144.15.00E, 44.00.00N )", 44.00, 144.15, 0.0, 0.0, 0.9999},
    {14, "ⅩⅣ 小笠原村( 142.00.00E, 26.00.00N )", 26.00, 142.00, 0.0, 0.0, 0.9999},
    {15, "ⅩⅤ 沖 縄 中( 127.30.00E, 26.00.00N )", 26.00, 127.30, 0.0, 0.0, 0.9999},
    {16, "ⅩⅥ 沖 縄 西( 124.00.00E, 26.00.00N )", 26.00, 124.00, 0.0, 0.0, 0.9999},
    {17, "ⅩⅦ 沖 縄 東( 131.00.00E, 26.00.00N )", 26.00, 131.00, 0.0, 0.0, 0.9999},
    {18, "ⅩⅧ 東    京( 136.00.00E, 20.00.00N )", 20.00, 136.00, 0.0, 0.0, 0.9999},
    {19, "ⅩⅨ 東    京( 154.00.00E, 26.00.00N )", 26.00, 154.00, 0.0, 0.0, 0.9999},
};

PlaneCrdJpn::PlaneCrdJpn() = default;

PlaneCrdJpn::PlaneCrdJpn(const EarthEllips *ellipsoid) { initArea(ellipsoid); }

PlaneCrdJpn::~PlaneCrdJpn() = default;

void PlaneCrdJpn::SetEarthEllips(const EarthEllips *ellipsoid) { initArea(ellipsoid); }

void PlaneCrdJpn::initArea(const EarthEllips *ellipsoid) {
    RemoveAllAreas();
    for (const tagPlaneAreaMercatorInit &row : s_area) {
        // DD.MMSS times 10000 is the packed DDMMSS form. The product stays in
        // double: in extended precision some origins decode tens of seconds off.
        const double lat0 = DMSToRad(row.lat0 * 10000.0);
        const double lon0 = DMSToRad(row.lon0 * 10000.0);
        Append(new PlaneAreaMercator(row.no, row.label, ellipsoid, lat0, lon0, row.scale, row.x0,
                                     row.y0));
    }
}
