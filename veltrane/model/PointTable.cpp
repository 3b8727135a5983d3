#include "veltrane/model/PointTable.h"

#include "veltrane/model/BasisPntIndex.h"

#include <algorithm>
#include <iterator>
#include <optional>

PointTable::PointTable(bool idxMapCurrent) : m_idxMapCurrent(idxMapCurrent) {}

PointTable::~PointTable() = default;

PointTable::iterator PointTable::get_iter(unsigned n) {
    if (n >= m_points.size())
        return m_points.end();
    return std::next(m_points.begin(), n);
}

Point *PointTable::GetPoint(int i) const {
    if (i < 0 || static_cast<std::size_t>(i) >= m_points.size())
        return nullptr;
    if (m_snapshotValid && static_cast<std::size_t>(i) < m_snapshot.size())
        return m_snapshot[i];
    return *std::next(m_points.begin(), i);
}

void PointTable::SetPoint(int i, const Point &p) {
    if (Point *stored = GetPoint(i))
        *stored = p;
}

bool PointTable::Append(Point *p) {
    m_points.push_back(p);
    if (m_idxMapCurrent)
        m_idxMap.emplace(p, static_cast<int>(m_points.size()) - 1); // first occurrence wins
    if (m_snapshotValid)
        m_snapshot.push_back(p);
    return true;
}

bool PointTable::Insert(Point *p, const Point *where, bool before) {
    auto it = std::find(m_points.begin(), m_points.end(), where);
    if (it == m_points.end())
        return false;
    m_points.insert(before ? it : std::next(it), p);
    m_idxMapCurrent = false;
    m_idxMap.clear();
    ClearTmpVector();
    return true;
}

bool PointTable::Remove(const Point *p, bool rebuildIdxMap) {
    auto it = std::find(m_points.begin(), m_points.end(), p);
    if (it == m_points.end())
        return false;
    m_points.erase(it);
    entriesRemoved(rebuildIdxMap);
    return true;
}

void PointTable::entriesRemoved(bool rebuildIdxMap) {
    ClearTmpVector();
    if (m_idxMapCurrent) {
        m_idxMapCurrent = false;
        m_idxMap.clear();
        if (rebuildIdxMap)
            MakeTmpIdxMap();
    }
}

unsigned PointTable::Remove(const PointSet &points, bool rebuildIdxMap) {
    if (points.empty())
        return 0;
    const std::size_t before = m_points.size();
    m_points.remove_if([&points](const Point *p) { return points.count(p) != 0; });
    const auto removed = static_cast<unsigned>(before - m_points.size());
    if (removed == 0)
        return 0;
    entriesRemoved(rebuildIdxMap);
    return removed;
}

void PointTable::AllRemove() {
    m_points.clear();
    ClearTmpVector();
    ClearTmpIdxMap();
}

int PointTable::Find(const Point *p) const {
    if (m_idxMapCurrent) {
        const auto it = m_idxMap.find(p);
        return it == m_idxMap.end() ? -1 : it->second;
    }
    int i = 0;
    for (const Point *q : m_points) {
        if (q == p)
            return i;
        ++i;
    }
    return -1;
}

Point *PointTable::Find(const CString &name) const {
    for (Point *p : m_points)
        if (p->IsSameName(name))
            return p;
    return nullptr;
}

Point *PointTable::FindAdjustKnownPntRelateWithObsITRF(const CString &name, const Coordinate &c,
                                                       int *index) const {
    int i = 0;
    for (Point *p : m_points) {
        const Coordinate obs = p->GetObservedITRF();
        if (p->IsSameName(name) && obs.GetX() == c.GetX() && obs.GetY() == c.GetY()) {
            if (index)
                *index = i;
            return p;
        }
        ++i;
    }
    return nullptr;
}

bool PointTable::MakeTmpVector() {
    m_snapshot.assign(m_points.begin(), m_points.end());
    m_snapshotValid = true;
    return true;
}

void PointTable::ClearTmpVector() {
    m_snapshot.clear();
    m_snapshotValid = false;
}

bool PointTable::MakeTmpIdxMap() {
    m_idxMap.clear();
    int i = 0;
    for (const Point *p : m_points)
        m_idxMap.emplace(p, i++);
    m_idxMapCurrent = true;
    return true;
}

void PointTable::ClearTmpIdxMap() {
    m_idxMap.clear();
    m_idxMapCurrent = true;
}

bool PointTable::GetMinMax(double *minX, double *minY, double *maxX, double *maxY,
                           CoordinateKind kind) const {
    *minX = *minY = *maxX = *maxY = 0.0;
    bool any = false;
    for (const Point *p : m_points) {
        const Coordinate c = p->GetCoord(kind, 0);
        if (!c.IsValid())
            continue;
        if (!any) {
            *minX = *maxX = c.GetX();
            *minY = *maxY = c.GetY();
            any = true;
            continue;
        }
        *minX = std::min(*minX, c.GetX());
        *minY = std::min(*minY, c.GetY());
        *maxX = std::max(*maxX, c.GetX());
        *maxY = std::max(*maxY, c.GetY());
    }
    return any;
}

void PointTable::MakePointTable(PointTable *dest, PointKind kind) const {
    for (Point *p : m_points) {
        bool take = false;
        switch (kind) {
        case PntKindCnvBasis:
            take = p->IsConvBasisPoint();
            break;
        case PntKindChkObs:
            take = p->IsChkObsPoint();
            break;
        case PntKindOther:
            take = p->IsOtherPoint();
            break;
        case PntKindAdjustRelated:
            take = p->IsObsITRFPntRelateAdjKwnPnt() || p->IsSrcDatumPnttRelateAdjKwnPnt();
            break;
        case PntKindAdjustOther:
            take = !p->IsObsITRFPntRelateAdjKwnPnt() && !p->IsSrcDatumPnttRelateAdjKwnPnt() &&
                   !p->IsChkObsPoint() && !p->IsRelateInsyoPoint();
            break;
        }
        if (take)
            dest->Append(p);
    }
}

bool PointTable::MakeBasisPntTable(PointTable *dest) const {
    for (Point *p : m_points)
        if (p->IsConvBasisPoint() && p->IsExistResultCrd(0))
            dest->Append(p);
    return !dest->empty();
}

bool PointTable::IsExistInBasisPntTable(const PointTable &basis, const Point *p) {
    return BasisPntIndex(basis).Contains(p);
}

void PointTable::MakeResultPointTable(PointTable *dest, bool withInsyoBasis, bool withCheck,
                                      bool withAdjust) const {
    PointTable basis;
    MakeBasisPntTable(&basis);
    MakeResultPointTable(dest, basis, withInsyoBasis, withCheck, withAdjust);
}

void PointTable::MakeResultPointTable(PointTable *dest, const PointTable &basis,
                                      bool withInsyoBasis, bool withCheck, bool withAdjust) const {
    // The basis looked up once for the whole walk.
    std::optional<BasisPntIndex> marks;
    if (!withInsyoBasis)
        marks.emplace(basis);
    for (Point *p : m_points) {
        if (p->IsConvBasisPoint() || p->IsObsITRFPntRelateAdjKwnPnt() || !p->IsExistResultCrd(0))
            continue;
        if (marks && marks->Contains(p))
            continue;
        if (!withAdjust && p->IsSrcDatumPnttRelateAdjKwnPnt())
            continue;
        if (!withCheck && p->IsChkObsPoint())
            continue;
        dest->Append(p);
    }
}

unsigned PointTable::GetCnvBasisPointSize() const {
    return static_cast<unsigned>(std::count_if(m_points.begin(), m_points.end(), [](auto *p) {
        return p->IsExistTokyoDatum() && p->IsExistCnvBasisITRF();
    }));
}

unsigned PointTable::GetCnvTargetPointSize() const {
    return static_cast<unsigned>(std::count_if(m_points.begin(), m_points.end(), [](auto *p) {
        return p->IsExistTokyoDatum() && !p->IsConvBasisPoint();
    }));
}

unsigned PointTable::GetChkObsITRFPointSize() const {
    return static_cast<unsigned>(std::count_if(m_points.begin(), m_points.end(),
                                               [](auto *p) { return p->IsExistChkObsITRF(); }));
}

unsigned PointTable::GetJGD2000PointSize() const {
    return static_cast<unsigned>(std::count_if(m_points.begin(), m_points.end(), [this](auto *p) {
        return p->IsExistJGD2000(m_blockNo);
    }));
}

unsigned PointTable::GetKnownJGD2KPointSize() const {
    return static_cast<unsigned>(std::count_if(m_points.begin(), m_points.end(),
                                               [](auto *p) { return p->IsExistKnownJGD2K(); }));
}

unsigned PointTable::GetAdjustKnownPointSize() const {
    return static_cast<unsigned>(std::count_if(m_points.begin(), m_points.end(), [](auto *p) {
        return p->IsPossibleCalcParamForAdjust();
    }));
}

unsigned PointTable::GetRelateInsyoPointSize() const {
    return static_cast<unsigned>(std::count_if(m_points.begin(), m_points.end(),
                                               [](auto *p) { return p->IsRelateInsyoPoint(); }));
}

unsigned PointTable::CheckInsyoAndKnownRelation() {
    unsigned n = 0;
    for (Point *p : m_points)
        if (p->CheckInsyoAndKnwonRelation())
            ++n;
    return n;
}

bool PointNameLess::operator()(const Point *a, const Point *b) const {
    return a->GetName().Compare(b->GetName()) < 0;
}
bool PointNameLess::operator()(const Point *a, const CString &b) const {
    return a->GetName().Compare(b) < 0;
}
bool PointNameLess::operator()(const CString &a, const Point *b) const {
    return a.Compare(b->GetName()) < 0;
}

bool PointNameOrderedTbl::Append(Point *p) {
    m_points.insert(p); // after the points of an equal name
    return true;
}

Point *PointNameOrderedTbl::Find(const CString &name) const {
    const auto it = m_points.lower_bound(name);
    return it != m_points.end() && (*it)->IsSameName(name) ? *it : nullptr;
}

bool PointNameOrderedTbl::Remove(const Point *p) {
    const auto [first, last] = m_points.equal_range(p->GetName());
    for (auto it = first; it != last; ++it) {
        if (*it == p) {
            m_points.erase(it);
            return true;
        }
    }
    // Renamed while listed: the entry sits under its old name.
    for (auto it = m_points.begin(); it != m_points.end(); ++it) {
        if (*it == p) {
            m_points.erase(it);
            return true;
        }
    }
    return false;
}

void PointNameOrderedTbl::Remove(const PointSet &points) {
    if (points.empty())
        return;
    for (auto it = m_points.begin(); it != m_points.end();)
        it = points.count(*it) != 0 ? m_points.erase(it) : std::next(it);
}

bool PointIDOrderedTbl::Append(Point *p) { return m_points.emplace(p->GetID(), p).second; }

Point *PointIDOrderedTbl::Find(unsigned id) const {
    const auto it = m_points.find(id);
    return it == m_points.end() ? nullptr : it->second;
}

bool PointIDOrderedTbl::Remove(const Point *p) {
    const auto it = m_points.find(p->GetID());
    if (it == m_points.end() || it->second != p)
        return false;
    m_points.erase(it);
    return true;
}

bool PointIDOrderedTbl::Remove(unsigned id) { return m_points.erase(id) == 1; }
