#include "veltrane/model/RefPntGroup.h"

#include "veltrane/database/Veltrane.h"

#include <cmath>
#include <new>

RefPntGroup::~RefPntGroup() { RemoveAllPnt(); }

int RefPntGroup::AppendPnt(int pos) {
    int index = 0;
    for (const int *member : m_members) {
        if (member != nullptr && *member == pos)
            return index;
        ++index;
    }
    int *member = new (std::nothrow) int(pos);
    if (member == nullptr)
        return -1;
    if (!m_members.Append(member)) {
        delete member;
        return -1;
    }
    return static_cast<int>(m_members.GetCount());
}

int RefPntGroup::GetPnt(unsigned k) const {
    const int *member = m_members.GetAt(k);
    return member != nullptr ? *member : -1;
}

bool RefPntGroup::SearchPntId(int pos) const {
    for (const int *member : m_members)
        if (member != nullptr && *member == pos)
            return true;
    return false;
}

bool RefPntGroup::GetAverageXY(double *x, double *y) const {
    if (x != nullptr)
        *x = m_aveX;
    if (y != nullptr)
        *y = m_aveY;
    return true;
}

bool RefPntGroup::IsNeighborhood(double x, double y, double range) const {
    return std::sqrt((y - m_aveY) * (y - m_aveY) + (x - m_aveX) * (x - m_aveX)) < range;
}

bool RefPntGroup::ReCalcAverage(const Veltrane * /*db*/, const PointTable &table) {
    if (m_members.IsEmpty())
        return false;
    double sumX = 0.0;
    double sumY = 0.0;
    for (const int *member : m_members) {
        const Point *p = member != nullptr ? table.GetPoint(*member) : nullptr;
        if (p == nullptr)
            return false;
        const Coordinate observed = p->GetObservedITRF();
        sumX += observed.GetX();
        sumY += observed.GetY();
    }
    m_aveX = sumX / m_members.GetCount();
    m_aveY = sumY / m_members.GetCount();
    return true;
}

bool RefPntGroup::RelateToKnownPnt(PointTable *table, const Point *known) {
    if (table == nullptr)
        return false;
    bool result = false;
    for (const int *member : m_members) {
        Point *p = member != nullptr ? table->GetPoint(*member) : nullptr;
        result = p != nullptr && p->RelateToKnownPnt(known);
    }
    return result;
}

bool RefPntGroup::CancelRelationToKnownPnt(PointTable *table) {
    if (table == nullptr)
        return false;
    bool all = true;
    for (const int *member : m_members) {
        Point *p = member != nullptr ? table->GetPoint(*member) : nullptr;
        if (p != nullptr)
            p->CancelAdjustKwnPointRelate();
        else
            all = false;
    }
    return all;
}

void RefPntGroup::RemoveAllPnt() {
    for (int *member : m_members)
        delete member;
    m_members.RemoveAll();
}

RefPntGroupTable::RefPntGroupTable(Veltrane *db) : m_db(db) {}

RefPntGroupTable::~RefPntGroupTable() { removeAllGroups(); }

void RefPntGroupTable::SetVeltrane(Veltrane *db) {
    if (db != nullptr)
        m_db = db;
}

RefPntGroup *RefPntGroupTable::GetGroup(unsigned i) { return m_groups.GetAt(i); }

const RefPntGroup *RefPntGroupTable::GetGroup(unsigned i) const { return m_groups.GetAt(i); }

int RefPntGroupTable::GetNeighborhoodCount(unsigned i) const {
    const RefPntGroup *g = GetGroup(i);
    return g != nullptr ? static_cast<int>(g->GetNeighborhoodCount()) : -1;
}

int RefPntGroupTable::GetNeighborhoodPnt(unsigned i, unsigned k) const {
    const RefPntGroup *g = GetGroup(i);
    return g != nullptr ? g->GetPnt(k) : -1;
}

RefPntGroup *RefPntGroupTable::SearchPnt(int pos) const {
    for (RefPntGroup *g : m_groups)
        if (g != nullptr && g->SearchPntId(pos))
            return g;
    return nullptr;
}

CString RefPntGroupTable::GetGroupPntNamesStr(unsigned i, const PointTable &t) const {
    CString names;
    const RefPntGroup *g = GetGroup(i);
    if (g == nullptr)
        return names;
    bool first = true;
    for (unsigned k = 0; k < g->GetNeighborhoodCount(); ++k) {
        const Point *p = t.GetPoint(g->GetPnt(k));
        if (p == nullptr)
            continue;
        if (!first)
            names += ", ";
        names += p->GetName();
        first = false;
    }
    return names;
}

const Point *RefPntGroupTable::firstMember(unsigned i, const PointTable &t) const {
    const RefPntGroup *g = GetGroup(i);
    return g != nullptr ? t.GetPoint(g->GetPnt(0)) : nullptr;
}

CString RefPntGroupTable::GetGroupRelateInsyoName(unsigned i, const PointTable &t) const {
    const Point *p = firstMember(i, t);
    return p != nullptr ? p->GetInsyoName() : CString();
}

CString RefPntGroupTable::GetGroupRelateKnownName(unsigned i, const PointTable &t) const {
    const Point *p = firstMember(i, t);
    return p != nullptr ? p->GetAdjustKwnPntName() : CString();
}

bool RefPntGroupTable::ReGroup() {
    removeAllGroups();
    m_table.AllRemove();
    if (m_db == nullptr)
        return false;
    m_db->SetCurrentTab(TabObsITRF);
    m_db->MakeTmpTable(&m_table);
    return group(m_table);
}

bool RefPntGroupTable::ReGroup(const PointTable &t) {
    removeAllGroups();
    m_table.AllRemove();
    return group(t);
}

bool RefPntGroupTable::ReGroup(double range) {
    SetRange(range);
    return ReGroup();
}

void RefPntGroupTable::removeAllGroups() {
    for (RefPntGroup *g : m_groups)
        delete g;
    m_groups.RemoveAll();
}

bool RefPntGroupTable::group(const PointTable &t) {
    for (unsigned i = 0; i < t.size(); ++i) {
        const Point *p = t.GetPoint(static_cast<int>(i));
        if (p == nullptr)
            return false;
        const Coordinate observed = p->GetObservedITRF();
        RefPntGroup *home = nullptr;
        for (RefPntGroup *g : m_groups)
            if (g != nullptr && g->IsNeighborhood(observed.GetX(), observed.GetY(), m_range)) {
                home = g;
                break;
            }
        bool placed;
        if (home != nullptr) {
            placed = home->AppendPnt(static_cast<int>(i)) >= 0;
        } else {
            home = new (std::nothrow) RefPntGroup;
            placed = home != nullptr && home->AppendPnt(static_cast<int>(i)) >= 0 &&
                     m_groups.Append(home);
            if (!placed)
                delete home;
        }
        if (!placed) {
            removeAllGroups();
            return false;
        }
        home->ReCalcAverage(m_db, t);
    }
    return true;
}
