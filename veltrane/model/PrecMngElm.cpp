#include "veltrane/model/PrecMngElm.h"

#include "exchange/Dorrimet/Coordinate.h"
#include "veltrane/database/Veltrane.h"
#include "veltrane/model/Point.h"

#include <cmath>
#include <utility>

JGDRoundMode PrecMngElm::m_rndDefault(-3, 261);

namespace {

// The mean radius of the Earth in metres, for the reduction to the projection plane.
constexpr double kEarthRadius = 6370000.0;

double length(double dx, double dy) { return std::sqrt(dy * dy + dx * dx); }

} // namespace

PrecMngElm::PrecMngElm() = default;

PrecMngElm::PrecMngElm(const Point *p1, const Point *p2) {
    SetPt1(p1);
    SetPt2(p2);
}

PrecMngElm *PrecMngElm::Clone() const {
    auto *copy = new PrecMngElm(m_pt1, m_pt2);
    if (m_pt1 == nullptr)
        copy->m_name1 = m_name1;
    if (m_pt2 == nullptr)
        copy->m_name2 = m_name2;
    return copy;
}

CString PrecMngElm::GetPt1Name() const { return m_pt1 ? m_pt1->GetName() : m_name1; }

CString PrecMngElm::GetPt2Name() const { return m_pt2 ? m_pt2->GetName() : m_name2; }

bool PrecMngElm::SetPt1(const Point *p) {
    m_pt1 = p;
    if (p)
        m_name1 = p->GetName();
    return true;
}

bool PrecMngElm::SetPt2(const Point *p) {
    m_pt2 = p;
    if (p)
        m_name2 = p->GetName();
    return true;
}

bool PrecMngElm::SetPt1Name(const CString &name) {
    if (name.Compare(m_name1) != 0) {
        m_name1 = name;
        m_pt1 = nullptr;
    }
    return true;
}

bool PrecMngElm::SetPt2Name(const CString &name) {
    if (name.Compare(m_name2) != 0) {
        m_name2 = name;
        m_pt2 = nullptr;
    }
    return true;
}

void PrecMngElm::SwapPoint() {
    std::swap(m_name1, m_name2);
    std::swap(m_pt1, m_pt2);
}

bool PrecMngElm::Normalize() {
    if (m_pt1 == nullptr || m_pt2 == nullptr)
        return false;
    const Coordinate c1 = m_pt1->GetTokyoDatum();
    const Coordinate c2 = m_pt2->GetTokyoDatum();
    if (c1.GetY() > c2.GetY() || (c1.GetY() == c2.GetY() && c2.GetX() < c1.GetX())) {
        SwapPoint();
        return true;
    }
    return false;
}

bool PrecMngElm::IsValid(int block) const {
    return block >= 0 && m_pt1 && m_pt2 && m_pt1->GetTokyoDatum().IsValid() &&
           m_pt2->GetTokyoDatum().IsValid() && m_pt1->GetResultCrd(block).IsValid() &&
           m_pt2->GetResultCrd(block).IsValid();
}

bool PrecMngElm::IsValid(const CrdTrnsBlockTbl *blocks) const {
    Coordinate c1, c2;
    return blocks && m_pt1 && m_pt2 && m_pt1->GetTokyoDatum().IsValid() &&
           m_pt2->GetTokyoDatum().IsValid() && blocks->GetPriorJGD2000(m_pt1, &c1, nullptr) &&
           blocks->GetPriorJGD2000(m_pt2, &c2, nullptr) && c1.IsValid() && c2.IsValid();
}

double PrecMngElm::GetOldDiffX(const JGDRoundMode &rnd) const {
    if (m_pt1 == nullptr || m_pt2 == nullptr)
        return 0.0;
    return rnd.rround(m_pt1->GetTokyoDatum().GetX()) - rnd.rround(m_pt2->GetTokyoDatum().GetX());
}

double PrecMngElm::GetOldDiffY(const JGDRoundMode &rnd) const {
    if (m_pt1 == nullptr || m_pt2 == nullptr)
        return 0.0;
    return rnd.rround(m_pt1->GetTokyoDatum().GetY()) - rnd.rround(m_pt2->GetTokyoDatum().GetY());
}

double PrecMngElm::GetOldDistance(const JGDRoundMode &rnd) const {
    if (m_pt1 == nullptr || m_pt2 == nullptr)
        return 0.0;
    return rnd.rround(length(GetOldDiffX(rnd), GetOldDiffY(rnd)));
}

double PrecMngElm::GetOldPlaneDistance(double h, double n, double k,
                                       const JGDRoundMode &rnd) const {
    return rnd.rround(GetOldDistance(rnd) * k * (1.0 - (h + n) / kEarthRadius));
}

bool PrecMngElm::newCoords(const Veltrane *db, int block, Coordinate *c1, Coordinate *c2) const {
    return m_pt1 && m_pt2 && db && db->GetNewCoordForPrecMng(m_pt1, block, c1) &&
           db->GetNewCoordForPrecMng(m_pt2, block, c2) && c1->IsValid() && c2->IsValid();
}

double PrecMngElm::GetNewDiffX(const Veltrane *db, int block, const JGDRoundMode &rnd) const {
    Coordinate c1, c2;
    if (!newCoords(db, block, &c1, &c2))
        return 0.0;
    return rnd.rround(c1.GetX()) - rnd.rround(c2.GetX());
}

double PrecMngElm::GetNewDiffY(const Veltrane *db, int block, const JGDRoundMode &rnd) const {
    Coordinate c1, c2;
    if (!newCoords(db, block, &c1, &c2))
        return 0.0;
    return rnd.rround(c1.GetY()) - rnd.rround(c2.GetY());
}

double PrecMngElm::GetNewDistance(const Veltrane *db, int block, const JGDRoundMode &rnd) const {
    Coordinate c1, c2;
    if (!newCoords(db, block, &c1, &c2))
        return 0.0;
    return rnd.rround(length(rnd.rround(c1.GetX()) - rnd.rround(c2.GetX()),
                             rnd.rround(c1.GetY()) - rnd.rround(c2.GetY())));
}

double PrecMngElm::GetNewDistance(const Veltrane *db, const JGDRoundMode &rnd) const {
    return GetNewDistance(db, -1, rnd);
}

// The block forms take the database's block by priority (block -1).
double PrecMngElm::GetNewDiffX(const Veltrane *db, const CrdTrnsBlockTbl *,
                               const JGDRoundMode &rnd) const {
    return GetNewDiffX(db, -1, rnd);
}

double PrecMngElm::GetNewDiffY(const Veltrane *db, const CrdTrnsBlockTbl *,
                               const JGDRoundMode &rnd) const {
    return GetNewDiffY(db, -1, rnd);
}

double PrecMngElm::GetNewDistance(const Veltrane *db, const CrdTrnsBlockTbl *,
                                  const JGDRoundMode &rnd) const {
    return GetNewDistance(db, -1, rnd);
}

double PrecMngElm::GetDeltaX(const Veltrane *db, const CrdTrnsBlockTbl *blocks,
                             const JGDRoundMode &rnd) const {
    return GetOldDiffX(rnd) - GetNewDiffX(db, blocks, rnd);
}

double PrecMngElm::GetDeltaY(const Veltrane *db, const CrdTrnsBlockTbl *blocks,
                             const JGDRoundMode &rnd) const {
    return GetOldDiffY(rnd) - GetNewDiffY(db, blocks, rnd);
}

double PrecMngElm::GetDeltaS(const Veltrane *db, const CrdTrnsBlockTbl *blocks,
                             const JGDRoundMode &rnd) const {
    return rnd.rround(length(GetDeltaX(db, blocks, rnd), GetDeltaY(db, blocks, rnd)));
}

double PrecMngElm::GetDeltaX(const Veltrane *db, int block, const JGDRoundMode &rnd) const {
    return GetOldDiffX(rnd) - GetNewDiffX(db, block, rnd);
}

double PrecMngElm::GetDeltaY(const Veltrane *db, int block, const JGDRoundMode &rnd) const {
    return GetOldDiffY(rnd) - GetNewDiffY(db, block, rnd);
}

double PrecMngElm::GetDeltaS(const Veltrane *db, int block, const JGDRoundMode &rnd) const {
    return rnd.rround(length(GetDeltaX(db, block, rnd), GetDeltaY(db, block, rnd)));
}
