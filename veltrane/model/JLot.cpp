#include "veltrane/model/JLot.h"

#include "kernels/Brennic/JGDRoundMode.h"
#include "kernels/Hulvane/PosHulvane.h"
#include "platform/core/CArchive.h"
#include "veltrane/database/Veltrane.h"
#include "veltrane/model/ArchiveFields.h"

#include <cmath>

JLot::JLot() = default;
JLot::JLot(unsigned id) : m_id(id) {}
JLot::JLot(unsigned id, const CString &name, unsigned kind)
    : m_id(id), m_name(name), m_kind(kind) {}
JLot::~JLot() = default;

bool JLot::AppendPnt(const Point *p, bool noDuplicate) {
    if (noDuplicate && m_points.IsIncluded(p))
        return false;
    return m_points.Append(const_cast<Point *>(p));
}

bool JLot::RemovePnt(const Point *p) { return m_points.Remove(p, true); }

const Point *JLot::GetPoint(unsigned i) const {
    return i >= m_points.size() ? nullptr : m_points.GetPoint(static_cast<int>(i));
}

bool JLot::CalcCenter() {
    bool any = false;
    double minX = 0.0, minY = 0.0, maxX = 0.0, maxY = 0.0, sumX = 0.0, sumY = 0.0;
    for (const Point *p : m_points) {
        const Coordinate c = p->GetTokyoDatum();
        if (!c.IsValid())
            continue;
        if (!any) {
            minX = maxX = c.GetX();
            minY = maxY = c.GetY();
            any = true;
        } else {
            minX = std::fmin(minX, c.GetX());
            minY = std::fmin(minY, c.GetY());
            maxX = std::fmax(maxX, c.GetX());
            maxY = std::fmax(maxY, c.GetY());
        }
        sumX += c.GetX();
        sumY += c.GetY();
    }
    if (!any)
        return true; // no Tokyo coordinate: the extent and centre stay empty
    m_min = Coordinate(minX, minY, 0.0, false, 0.0, false);
    m_max = Coordinate(maxX, maxY, 0.0, false, 0.0, false);
    m_center = Coordinate(sumX / m_points.size(), sumY / m_points.size(), 0.0, false, 0.0, false);
    return true;
}

bool JLot::vertex(const Veltrane *db, bool tokyo, unsigned block, unsigned i, double *x,
                  double *y) const {
    const Point *p = GetPoint(i);
    if (p == nullptr)
        return false;
    Coordinate c;
    if (tokyo) {
        c = p->GetTokyoDatum();
    } else if (db == nullptr || !db->GetNewCoordForPrecMng(p, static_cast<int>(block), &c) ||
               !c.IsValid()) {
        return false;
    }
    *x = c.GetX();
    *y = c.GetY();
    return true;
}

double JLot::CalcArea(const Veltrane *db, bool tokyo, unsigned block) const {
    const unsigned n = m_points.size();
    if (n < 3)
        return 0.0;
    const JGDRoundMode m1(-3, 5), m2(-6, 256), m3(-6, 261);
    PosHulvane acc;
    acc.men_xy_init();
    double px, py, cx, cy, nx, ny;
    if (!vertex(db, tokyo, block, 0, &px, &py) || !vertex(db, tokyo, block, 1, &cx, &cy) ||
        !vertex(db, tokyo, block, 2, &nx, &ny))
        return 0.0;
    double first = 0.0, second = 0.0;
    auto corner = [&] {
        double y = cy, xPrev = px, xNext = nx, scratch = 0.0; // men_xy rounds its inputs
        acc.men_xy(&y, &xPrev, &xNext, &scratch, &first, &second, m1, m2, m3);
        px = cx;
        py = cy;
        cx = nx;
        cy = ny;
    };
    corner();
    for (unsigned i = 3; i < n; ++i) {
        if (!vertex(db, tokyo, block, i, &nx, &ny))
            return 0.0;
        corner();
    }
    for (unsigned i = 0; i < 2; ++i) { // close the ring
        if (!vertex(db, tokyo, block, i, &nx, &ny))
            return 0.0;
        corner();
    }
    acc.men_xy_out(&first, &second);
    return std::fabs((first + second) * 0.5);
}

bool JLot::Write(const Veltrane *db, CArchive &ar) const {
    WriteRawInt(ar, static_cast<std::int32_t>(m_id));
    ar << m_name;
    WriteRawInt(ar, static_cast<std::int32_t>(m_kind));
    WriteRawInt(ar, static_cast<std::int32_t>(m_points.size()));
    for (const Point *p : m_points)
        WriteRawInt(ar, db ? db->Find(p) : -1);
    return true;
}

bool JLot::Read(const Veltrane *db, CArchive &ar, unsigned long) {
    m_points.AllRemove();
    std::int32_t id = 0, kind = 0, count = 0;
    if (!ReadRawInt(ar, &id))
        return false;
    CString name;
    ar >> name;
    if (!ReadRawInt(ar, &kind) || !ReadRawInt(ar, &count))
        return false;
    m_id = static_cast<unsigned>(id);
    m_name = name;
    m_kind = static_cast<unsigned>(kind);
    if (count < 0)
        return false;
    ar.CheckRemaining(static_cast<std::uint64_t>(count), sizeof(std::int32_t));
    for (std::int32_t i = 0; i < count; ++i) {
        std::int32_t pos = -1;
        if (!ReadRawInt(ar, &pos))
            return false;
        Point *p = (pos == -1 || db == nullptr) ? nullptr : db->GetPoint(pos);
        if (p)
            m_points.Append(p);
    }
    return true;
}

JLotTable::JLotTable() = default;
JLotTable::~JLotTable() = default;

bool JLotTable::Append(JLot *lot) {
    if (lot == nullptr)
        return false;
    m_lots.emplace_back(lot);
    lot->CalcCenter();
    return true;
}

JLot *JLotTable::GetLot(int i) {
    return i < 0 || static_cast<std::size_t>(i) >= m_lots.size() ? nullptr : m_lots[i].get();
}

const JLot *JLotTable::GetLot(int i) const {
    return i < 0 || static_cast<std::size_t>(i) >= m_lots.size() ? nullptr : m_lots[i].get();
}

JLot *JLotTable::Find(const CString &name) const {
    for (const auto &lot : m_lots)
        if (lot->GetName().Compare(name) == 0)
            return lot.get();
    return nullptr;
}

bool JLotTable::Remove(const Point *p) {
    bool any = false;
    for (const auto &lot : m_lots)
        any = lot->RemovePnt(p) || any;
    return any;
}

void JLotTable::Remove(const PointSet &points) {
    for (const auto &lot : m_lots)
        lot->RemovePnts(points);
}

void JLotTable::AllRemove() { m_lots.clear(); }

bool JLotTable::Write(const Veltrane *db, CArchive &ar) const {
    WriteRawInt(ar, static_cast<std::int32_t>(m_lots.size()));
    for (const auto &lot : m_lots)
        lot->Write(db, ar);
    return true;
}

bool JLotTable::Read(const Veltrane *db, CArchive &ar, unsigned long version) {
    AllRemove();
    std::int32_t count = 0;
    if (!ReadRawInt(ar, &count) || count < 0)
        return false;
    // A lot record is at least 13 bytes: ID, an empty name, kind and count.
    ar.CheckRemaining(static_cast<std::uint64_t>(count), 13);
    try {
        for (std::int32_t i = 0; i < count; ++i) {
            auto lot = std::make_unique<JLot>();
            if (!lot->Read(db, ar, version)) {
                AllRemove();
                return false;
            }
            Append(lot.release());
        }
    } catch (...) {
        AllRemove(); // no half-read table
        throw;
    }
    return true;
}
