#include "veltrane/database/PointRegister.h"

#include "pallomir/ui/JIProgMsgBase.h"
#include "veltrane/database/CrdRewriteAsker.h"
#include "veltrane/database/LotRegister.h"
#include "veltrane/database/Veltrane.h"

#include <algorithm>
#include <climits>

namespace {

bool holdsTokyoOrKnown(const Point &p) { return p.IsExistTokyoDatum() || p.IsExistKnownJGD2K(); }

} // namespace

PointRegister::PointRegister(Veltrane *db) : m_pDataBase(db) { Init(CrdKindTokyo, ITRFKindNone); }

PointRegister::~PointRegister() = default;

void PointRegister::Init(CoordinateKind kind, ITRFCoordKind itrf) {
    m_kind = kind;
    m_itrf = itrf;
    m_fOverwriteAll = false;
    m_fCancelled = false;
    m_pending.clear();
    m_readCount = 0;
    m_namesakes.clear();
    m_namesakesMade = false;
    unsigned maxID = 0;
    if (m_pDataBase != nullptr)
        for (const Point *p : *m_pDataBase)
            maxID = std::max(maxID, p->GetID());
    m_nextID = maxID + 1;
}

Point *PointRegister::takeNamesake(const CString &name) {
    if (!m_namesakesMade) {
        for (Point *p : *m_pDataBase)
            m_namesakes[p->GetName()].push_back(p);
        m_namesakesMade = true;
    }
    const auto it = m_namesakes.find(name);
    if (it == m_namesakes.end() || it->second.empty())
        return nullptr;
    Point *stored = it->second.front();
    it->second.pop_front();
    return stored;
}

bool PointRegister::RegisterPoint(int no, const CString &name, double x, double y, double h,
                                  int hUsed) {
    if (m_pDataBase == nullptr)
        return false;
    const int ordinal = m_readCount++;
    Point *stored = takeNamesake(name);
    Coordinate read(x, y, h, hUsed != 0, 0.0, false);
    read.CalcBL(m_pDataBase->GetCurrentPlaneArea(m_kind != CrdKindTokyo));
    if (m_fCancelled)
        return true;

    CString newName = name;
    bool asNew = false;
    const CString plus = m_pDataBase->GetMultiplePlusName();
    // Overwrite-all merges every later namesake, also one that would be renamed otherwise.
    const bool mergeAll = m_fOverwriteAll && m_kind != CrdKindTokyo;
    if (stored != nullptr && !mergeAll && stored->IsExistCoord(m_kind, ITRFKindNone, 0)) {
        const bool ask = m_kind == CrdKindTokyo || m_kind == CrdKindKnownJGD2K ||
                         (m_kind == CrdKindObsITRF && stored->GetITRFKind() != ITRFKindCnvBasis);
        if (!ask) {
            if (holdsTokyoOrKnown(*stored)) {
                newName += plus;
                asNew = true;
            }
        } else if (!m_fOverwriteAll) {
            switch (AskCrdRewrite(
                {name, read, stored->GetCoord(m_kind, 0), m_kind, stored->GetITRFKind()})) {
            case CrdRewriteYes:
                break;
            case CrdRewriteAll:
                m_fOverwriteAll = true;
                break;
            case CrdRewriteNo:
                return true;
            default:
                m_fCancelled = true;
                m_pending.clear();
                return false;
            }
        }
    } else if (stored != nullptr && !mergeAll && m_kind != CrdKindTokyo &&
               (m_kind == CrdKindObsITRF ? holdsTokyoOrKnown(*stored)
                                         : stored->IsExistKnownJGD2K())) {
        newName += plus;
        asNew = true;
    }
    // A Tokyo-datum read never changes a stored point: whatever was answered, the read point is
    // stored beside it under the same name.
    if (stored != nullptr && m_kind == CrdKindTokyo)
        asNew = true;

    const bool merging = stored != nullptr && !asNew;
    const unsigned id = merging ? stored->GetID() : m_nextID++;
    PendingPoint pending{id, no, ordinal, Point(id, newName), stored, asNew};
    pending.point.SetCoord(read, m_kind, m_itrf);
    m_pending.push_back(std::move(pending));
    return true;
}

bool PointRegister::RegisterPoint(int, const CString &, double, double, double, int, double, double,
                                  int, double, int, int) {
    return false;
}

Point *PointRegister::merge(const PendingPoint &pending) {
    m_pDataBase->SetCoord(pending.stored, pending.point.GetCoord(m_kind, 0), m_kind, m_itrf);
    return pending.stored;
}

CString PointRegister::freeNumberedName(const CString &name) const {
    CString candidate;
    for (unsigned i = 1;; ++i) {
        candidate.Format("%s%03u", name.GetString(), i);
        if (m_pDataBase->Find(candidate) == nullptr)
            return candidate;
    }
}

Point *PointRegister::store(PendingPoint &pending, bool withLots) {
    Point &point = pending.point;
    const Point *stored = pending.stored;
    if (stored == nullptr)
        return m_pDataBase->Append(point);
    if (withLots) {
        // The lot form stores kind 0 (and merges every other kind).
        if (m_kind != CrdKindTokyo || !pending.asNew)
            return merge(pending);
        if (stored->IsExistKnownJGD2K()) {
            point.SetKnownJGD2K(stored->GetKnownJGD2K());
            point.SetAdjustKwnPntName(stored->GetName());
        }
        return m_pDataBase->Append(point);
    }
    if (point.GetITRFKind() == ITRFKindChkObs || !pending.asNew)
        return merge(pending);
    switch (m_kind) {
    case CrdKindTokyo:
        if (stored->IsExistAdjustedJGD2K(0)) {
            point.SetKnownJGD2K(stored->GetAdjustedJGD2K(0));
            point.SetAdjustKwnPntName(stored->GetName());
        }
        break;
    case CrdKindObsITRF:
        point.SetName(freeNumberedName(point.GetName()));
        if (stored->IsExistTokyoDatum()) {
            point.SetTokyoDatum(stored->GetTokyoDatum());
            point.SetInsyoName(stored->GetName());
        } else if (stored->IsExistKnownJGD2K()) {
            point.SetKnownJGD2K(stored->GetKnownJGD2K());
            point.SetAdjustKwnPntName(stored->GetName());
        }
        break;
    default:
        point.SetName(freeNumberedName(point.GetName()));
        break;
    }
    return m_pDataBase->Append(point);
}

bool PointRegister::EndRegister() { return EndRegisterWithLots(nullptr); }

bool PointRegister::EndRegisterWithLots(LotRegister *lots) {
    std::list<PendingPoint> pending;
    pending.swap(m_pending);
    if (m_fCancelled || m_pDataBase == nullptr)
        return true;
    const int total = static_cast<int>(std::min<std::size_t>(pending.size(), INT_MAX));
    if (m_pProgress != nullptr)
        m_pProgress->ProgressStart(total);
    int done = 0;
    int reported = -1;
    for (PendingPoint &p : pending) {
        Point *stored = store(p, lots != nullptr);
        if (stored == nullptr)
            return false;
        if (lots != nullptr)
            lots->RegisterPoint(stored, p.ordinal);
        ++done;
        const int percent = static_cast<int>(static_cast<long long>(done) * 100 / total);
        if (m_pProgress != nullptr && percent > reported) {
            reported = percent;
            m_pProgress->ProgressPercent(percent, done);
        }
    }
    if (m_pProgress != nullptr)
        m_pProgress->ProgressEnd();
    return true;
}
