#include "veltrane/model/PrecisionMngTable.h"

#include "kernels/Lunmarg/ProgressMsgBase.h"
#include "platform/core/CArchive.h"
#include "veltrane/database/Veltrane.h"
#include "veltrane/model/ArchiveFields.h"
#include "veltrane/model/NearestPairBuilder.h"
#include "veltrane/model/PointTable.h"

#include <algorithm>
#include <iterator>
#include <limits>
#include <memory>
#include <unordered_set>

namespace {

// The shortest pair record: two positions and two empty names.
constexpr std::uint64_t kMinPairRecord = 4 + 4 + 1 + 1;

} // namespace

PrecisionMngTable::PrecisionMngTable(bool refersOnly) : m_refersOnly(refersOnly) {}

PrecisionMngTable::~PrecisionMngTable() { AllRemove(); }

void PrecisionMngTable::release(PrecMngElm *e) const {
    if (!m_refersOnly)
        delete e;
}

PrecMngElm *PrecisionMngTable::GetElm(int i) const {
    if (i < 0 || static_cast<std::size_t>(i) >= m_elms.size())
        return nullptr;
    return m_elms[i];
}

bool PrecisionMngTable::Append(PrecMngElm *e) {
    if (e == nullptr)
        return false;
    m_elms.push_back(e);
    return true;
}

bool PrecisionMngTable::Insert(PrecMngElm *e, const PrecMngElm *where, bool before) {
    if (e == nullptr)
        return false;
    const auto at = std::find(m_elms.begin(), m_elms.end(), where);
    if (at == m_elms.end())
        return false;
    m_elms.insert(before ? at : std::next(at), e);
    return true;
}

bool PrecisionMngTable::Move(PrecMngElm *e, const PrecMngElm *where, bool before) {
    if (e == where || Find(e) == -1 || Find(where) == -1)
        return false;
    m_elms.erase(m_elms.begin() + Find(e));
    return Insert(e, where, before);
}

bool PrecisionMngTable::Remove(int i) {
    PrecMngElm *e = GetElm(i);
    if (e == nullptr)
        return false;
    m_elms.erase(m_elms.begin() + i);
    release(e);
    return true;
}

bool PrecisionMngTable::Remove(const PrecMngElm *e) {
    const int i = Find(e);
    return i != -1 && Remove(i);
}

int PrecisionMngTable::RemoveRelatedWith(const Point *p) {
    if (p == nullptr)
        return 0;
    int removed = 0;
    for (int i = static_cast<int>(m_elms.size()) - 1; i >= 0; --i) {
        if (m_elms[i]->GetPt1() == p || m_elms[i]->GetPt2() == p) {
            Remove(i);
            ++removed;
        }
    }
    return removed;
}

int PrecisionMngTable::RemoveRelatedWith(const PointSet &points) {
    if (points.empty())
        return 0;
    const std::size_t before = m_elms.size();
    std::erase_if(m_elms, [&](PrecMngElm *e) {
        if (points.count(e->GetPt1()) == 0 && points.count(e->GetPt2()) == 0)
            return false;
        release(e);
        return true;
    });
    return static_cast<int>(before - m_elms.size());
}

void PrecisionMngTable::AllRemove() {
    for (PrecMngElm *e : m_elms)
        release(e);
    m_elms.clear();
}

int PrecisionMngTable::Find(const PrecMngElm *e) const {
    const auto at = std::find(m_elms.begin(), m_elms.end(), e);
    return at == m_elms.end() ? -1 : static_cast<int>(at - m_elms.begin());
}

int PrecisionMngTable::GetSizeRelatedWith(const Point *p) const {
    if (p == nullptr)
        return 0;
    return static_cast<int>(std::count_if(m_elms.begin(), m_elms.end(), [p](const PrecMngElm *e) {
        return e->GetPt1() == p || e->GetPt2() == p;
    }));
}

bool PrecisionMngTable::IsExistSameData(const PrecMngElm *e) const {
    if (e == nullptr)
        return false;
    const bool byPoints = e->GetPt1() && e->GetPt2();
    return std::any_of(m_elms.begin(), m_elms.end(), [&](const PrecMngElm *other) {
        if (byPoints)
            return other->GetPt1() == e->GetPt1() && other->GetPt2() == e->GetPt2();
        return other->GetPt1Name().Compare(e->GetPt1Name()) == 0 &&
               other->GetPt2Name().Compare(e->GetPt2Name()) == 0;
    });
}

bool PrecisionMngTable::isEligible(const Veltrane *db, const Point *p, bool wholeAreaDone,
                                   bool blocksDone) {
    if (!p->GetUseForCalc())
        return false;
    if (wholeAreaDone)
        return p->IsExistResultCrd(0);
    Coordinate c;
    return blocksDone && db != nullptr && db->GetJGD2000(p, -1, &c, nullptr);
}

std::vector<const Point *> PrecisionMngTable::eligiblePoints(const Veltrane *db,
                                                             const PointTable *table,
                                                             bool wholeAreaDone, bool blocksDone) {
    std::vector<const Point *> points;
    if (table == nullptr)
        return points;
    for (const Point *p : *table)
        if (isEligible(db, p, wholeAreaDone, blocksDone))
            points.push_back(p);
    return points;
}

bool PrecisionMngTable::Create(const Veltrane *db, const PointTable *table, int nearest,
                               JIProgMsgBase *progress) {
    return db != nullptr && Create(db, table, nearest, progress, db->IsCrdCnvCompleted(0),
                                   db->IsCrdCnvCompleted(-1));
}

bool PrecisionMngTable::Create(const Veltrane *db, const PointTable *table, int nearest,
                               JIProgMsgBase *progress, bool wholeAreaDone, bool blocksDone) {
    const std::vector<const Point *> points = eligiblePoints(db, table, wholeAreaDone, blocksDone);
    if (nearest != 0)
        return NearestPairBuilder(progress).Create(points, this);
    for (std::size_t i = 0; i < points.size(); ++i)
        for (std::size_t j = i + 1; j < points.size(); ++j)
            Append(new PrecMngElm(points[i], points[j]));
    return true;
}

bool PrecisionMngTable::create_NearestPairs1(const Veltrane *db, const PointTable *table,
                                             ProgressMsgBase *progress, bool wholeAreaDone,
                                             bool blocksDone) {
    if (table == nullptr)
        return true;
    if (progress)
        progress->ProgressStart(PROGRESS_KIND{2}, static_cast<int>(table->size()));
    const std::vector<const Point *> eligible =
        eligiblePoints(db, table, wholeAreaDone, blocksDone);
    std::unordered_set<const Point *> marked;
    int i = 0;
    for (const Point *p : *table) {
        ++i;
        if (marked.count(p) != 0 || !isEligible(db, p, wholeAreaDone, blocksDone))
            continue;
        const Point *nearestPoint = nullptr;
        double best = std::numeric_limits<double>::infinity();
        for (const Point *q : eligible) {
            if (q == p)
                continue;
            const double d = p->GetDistTokyoDatum(q);
            if (d < best) {
                best = d;
                nearestPoint = q;
            }
        }
        if (nearestPoint == nullptr)
            continue;
        marked.insert(p);
        marked.insert(nearestPoint);
        Append(new PrecMngElm(p, nearestPoint));
        if (progress && !progress->Progress(i))
            return false;
    }
    if (progress)
        progress->ProgressEnd();
    return true;
}

bool PrecisionMngTable::Write(const Veltrane *db, CArchive &ar) const {
    WriteRawInt(ar, static_cast<std::int32_t>(m_elms.size()));
    for (const PrecMngElm *e : m_elms) {
        WriteRawInt(ar, db && e->GetPt1() ? db->Find(e->GetPt1()) : -1);
        WriteRawInt(ar, db && e->GetPt2() ? db->Find(e->GetPt2()) : -1);
        ar << e->GetPt1Name();
        ar << e->GetPt2Name();
    }
    return true;
}

bool PrecisionMngTable::Read(const Veltrane *db, CArchive &ar, unsigned long /*version*/) {
    AllRemove();
    std::int32_t count = 0;
    if (!ReadRawInt(ar, &count) || count < 0)
        return false;
    ar.CheckRemaining(static_cast<std::uint64_t>(count), kMinPairRecord);
    std::vector<std::unique_ptr<PrecMngElm>> read;
    for (std::int32_t i = 0; i < count; ++i) {
        std::int32_t pos1 = -1, pos2 = -1;
        if (!ReadRawInt(ar, &pos1) || !ReadRawInt(ar, &pos2))
            return false;
        CString name1, name2;
        ar >> name1 >> name2;
        const Point *p1 = pos1 == -1 || db == nullptr ? nullptr : db->GetPoint(pos1);
        const Point *p2 = pos2 == -1 || db == nullptr ? nullptr : db->GetPoint(pos2);
        auto e = std::make_unique<PrecMngElm>(p1, p2);
        if (p1 == nullptr)
            e->SetPt1Name(name1);
        if (p2 == nullptr)
            e->SetPt2Name(name2);
        read.push_back(std::move(e));
    }
    for (auto &e : read)
        Append(e.release());
    return true;
}
