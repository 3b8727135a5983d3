#include "veltrane/database/PointSupplier.h"

#include "kernels/Lunmarg/AngleFunctions.h"
#include "veltrane/database/Veltrane.h"

namespace {

template <typename T> void put(T *out, const T &value) {
    if (out)
        *out = value;
}

} // namespace

PointSupplier::PointSupplier(Veltrane *db)
    : m_pDataBase(db), m_pZone(db ? db->GetCurrentPlaneArea(false) : nullptr) {}

PointSupplier::~PointSupplier() = default;

void PointSupplier::SetCondition(CoordinateKind kind, ITRFCoordKind itrf, unsigned flags) {
    m_kind = kind;
    m_fByBlockPriority = false;
    m_table.AllRemove();
    if (m_pDataBase == nullptr)
        return;
    m_nSavedTab = m_pDataBase->GetCurrentTab();
    m_nSavedITRF = m_pDataBase->GetCurrentITRFKind() == ITRFKindCnvBasis ? 1 : 2;
    m_pZone = m_pDataBase->GetCurrentPlaneArea(kind != CrdKindTokyo);
    m_pDataBase->SetCurrentTab(Veltrane::ConvertCoordinateKindToTab(kind));
    if (itrf != ITRFKindNone)
        m_pDataBase->SetCurrentITRF(itrf == ITRFKindCnvBasis);
    if (kind == CrdKindJGD2000) {
        m_fByBlockPriority = (flags & kByBlockPriority) != 0;
        m_pDataBase->MakeResultPointTable(m_fByBlockPriority ? static_cast<unsigned>(-1) : 0,
                                          &m_table, (flags & 1) != 0, (flags & 2) != 0,
                                          (flags & 4) != 0);
    } else {
        m_pDataBase->MakeTmpTable(&m_table);
    }
    m_table.MakeTmpVector();
}

void PointSupplier::RestoreTable() {
    if (m_pDataBase == nullptr)
        return;
    m_pDataBase->SetCurrentTab(static_cast<TABID>(m_nSavedTab));
    m_pDataBase->SetCurrentITRF(m_nSavedITRF == 1);
    m_pDataBase->MakeTmpTable();
}

void PointSupplier::SetRound(bool compute, int digits) {
    m_fCalcBL = compute;
    m_round = JGDRoundMode(-digits, 261);
}

unsigned PointSupplier::GetPointSize() { return m_table.size(); }

bool PointSupplier::pointAt(unsigned index, const Point **point, Coordinate *coord,
                            int *status) const {
    const Point *p = index < m_table.size() ? m_table.GetPoint(static_cast<int>(index)) : nullptr;
    if (p == nullptr)
        return false;
    int stat = CrdCnvStatNone;
    if (m_kind == CrdKindJGD2000 && m_fByBlockPriority) {
        CoordConvStatusD byBlock = CrdCnvStatNone;
        if (!m_pDataBase->GetJGD2000(p, -1, coord, &byBlock))
            return false;
        stat = byBlock;
    } else if (m_kind == CrdKindJGD2000) {
        *coord = p->GetResultCrd(0);
        stat = p->GetCrdCnvStat(0);
    } else {
        *coord = p->GetCoord(m_kind, 0);
    }
    // A point without a coordinate of the kind is never delivered as zeros.
    if (!coord->IsValid())
        return false;
    *point = p;
    put(status, stat);
    return true;
}

bool PointSupplier::GetPoint(unsigned index, CString *name, double *x, double *y, double *h,
                             bool *hUsed, int *status) {
    const Point *p = nullptr;
    Coordinate c;
    if (!pointAt(index, &p, &c, status))
        return false;
    put(name, p->GetName());
    put(x, c.GetX());
    put(y, c.GetY());
    put(h, c.GetH());
    put(hUsed, c.IsHUsed());
    return true;
}

bool PointSupplier::pointWithBL(unsigned index, CString *name, double *x, double *y, double *b,
                                double *l, int *zone, double *h, bool *hUsed, int *status) {
    const Point *p = nullptr;
    Coordinate c;
    if (!pointAt(index, &p, &c, status))
        return false;
    if (m_fCalcBL)
        c.CalcBL(m_pZone, m_round);
    put(name, p->GetName());
    put(x, c.GetX());
    put(y, c.GetY());
    put(b, c.GetB());
    put(l, c.GetL());
    put(zone, m_pDataBase->GetCurrentCoordSysNo());
    put(h, c.GetH());
    put(hUsed, c.IsHUsed());
    return true;
}

bool PointSupplier::GetPointWithBL(unsigned index, CString *name, double *x, double *y, double *b,
                                   double *l, int *zone, double *h, bool *hUsed, int *status) {
    double rb = 0.0, rl = 0.0;
    if (!pointWithBL(index, name, x, y, &rb, &rl, zone, h, hUsed, status))
        return false;
    put(b, RadToDMS2(rb, 7));
    put(l, RadToDMS2(rl, 7));
    return true;
}

bool PointSupplier::GetPointWithBLRad(unsigned index, CString *name, double *x, double *y,
                                      double *b, double *l, int *zone, double *h, bool *hUsed,
                                      int *status) {
    return pointWithBL(index, name, x, y, b, l, zone, h, hUsed, status);
}
