#include "veltrane/database/Veltrane.h"

#include <vector>

namespace {

bool sameXY(const Coordinate &a, const Coordinate &b) {
    return a.GetX() == b.GetX() && a.GetY() == b.GetY();
}

} // namespace

void Veltrane::ClearInsyoList() { m_insyoList.remove(); }

void Veltrane::MakeInsyoList() {
    ClearInsyoList();
    for (const Point *p : *this)
        if (p->IsRelateInsyoPoint())
            AppendRelate(p->GetInsyoName(), p->GetName(), p->GetObservedITRF());
}

bool Veltrane::AppendRelate(const CString &mark, const CString &point, const Coordinate &c) {
    int index = -1;
    if (IsExistInsyoName(mark, &index)) {
        InsyoRelate *relate = m_insyoList.get(static_cast<unsigned>(index));
        if (relate->IsExistRelateName(point, c, nullptr) || !relate->append(point, c))
            return false;
    } else {
        InsyoRelate relate;
        relate.setInsyoName(mark);
        if (!relate.append(point, c) || !m_insyoList.append(relate))
            return false;
    }
    // The point of that name; of several namesakes only the one observed at c, so that no
    // namesake loses its own relation.
    Point *first = nullptr;
    Point *observedAt = nullptr;
    unsigned namesakes = 0;
    for (Point *p : *this) {
        if (!p->IsSameName(point))
            continue;
        if (first == nullptr)
            first = p;
        ++namesakes;
        if (sameXY(p->GetObservedITRF(), c)) {
            observedAt = p;
            break;
        }
    }
    Point *named = observedAt != nullptr ? observedAt : namesakes == 1 ? first : nullptr;
    if (named != nullptr)
        named->SetInsyoName(mark); // in place: every table keeps pointing at it
    return true;
}

bool Veltrane::IsExistInsyoName(const CString &mark, int *index) const {
    int i = 0;
    for (const InsyoRelate *relate : m_insyoList.getTable()) {
        if (relate != nullptr && relate->getInsyoName().Compare(mark) == 0) {
            if (index != nullptr)
                *index = i;
            return true;
        }
        ++i;
    }
    if (index != nullptr)
        *index = -1;
    return false;
}

unsigned Veltrane::GetInsyoCount() const { return m_insyoList.getSize(); }

bool Veltrane::GetInsyoName(unsigned i, CString *mark) const {
    const InsyoRelate *relate = m_insyoList.get(i);
    if (relate == nullptr)
        return false;
    if (mark != nullptr)
        *mark = relate->getInsyoName();
    return true;
}

unsigned Veltrane::GetRelateCount(const CString &mark) const {
    int index = -1;
    if (!IsExistInsyoName(mark, &index))
        return 0;
    return m_insyoList.get(static_cast<unsigned>(index))->getSize();
}

bool Veltrane::GetRelateName(const CString &mark, unsigned i, CString *point) const {
    int index = -1;
    if (!IsExistInsyoName(mark, &index))
        return false;
    const InsyoRelateElm *e = m_insyoList.get(static_cast<unsigned>(index))->getlist(i);
    if (e == nullptr)
        return false;
    if (point != nullptr)
        *point = e->name;
    return true;
}

namespace {

// The selected points of the current-tab table, in its order.
std::vector<Point *> selectedInTab(const Veltrane &db, const PointTable &tab) {
    std::vector<Point *> points;
    for (Point *p : tab)
        if (db.IsSelected(p))
            points.push_back(p);
    return points;
}

} // namespace

unsigned Veltrane::RelateSelectedPntsToInsyoPnt(const Point *mark) {
    if (m_curTab != TabObsITRF || m_curITRFKind != ITRFKindCnvBasis)
        return 0;
    unsigned related = 0;
    for (Point *p : selectedInTab(*this, m_tmpTable))
        if (p->RelateToInsyoPnt(mark))
            ++related;
    return related;
}

unsigned Veltrane::RelateSelectedPntsToKnownPnt(const Point *known) {
    if (m_curTab != TabTokyo && (m_curTab != TabObsITRF || m_curITRFKind != ITRFKindCnvBasis))
        return 0;
    unsigned related = 0;
    for (Point *p : selectedInTab(*this, m_tmpTable))
        if (p->RelateToKnownPnt(known))
            ++related;
    return related;
}

bool Veltrane::CancelRelateSelectedPntsToInsyoPnt() {
    if (m_curTab != TabObsITRF || m_curITRFKind != ITRFKindCnvBasis)
        return false;
    bool any = false;
    for (Point *p : selectedInTab(*this, m_tmpTable))
        if (p->IsRelateInsyoPoint()) { // a mark itself keeps its own Tokyo coordinate
            p->CancelInsyoPoint();
            any = true;
        }
    return any;
}

bool Veltrane::CancelRelateSelectedPntsToKnownPnt() {
    if (m_curTab != TabTokyo && (m_curTab != TabObsITRF || m_curITRFKind != ITRFKindCnvBasis))
        return false;
    bool any = false;
    for (Point *p : selectedInTab(*this, m_tmpTable))
        if (!p->GetAdjustKwnPntName().IsEmpty()) {
            p->CancelAdjustKwnPointRelate();
            any = true;
        }
    return any;
}

CString Veltrane::GetSelectedCommonRelateInsyoName(Coordinate *out) const {
    const std::vector<Point *> selected = selectedInTab(*this, m_tmpTable);
    if (selected.empty())
        return CString();
    const CString mark = selected.front()->GetInsyoName();
    for (const Point *p : selected)
        if (p->GetInsyoName().Compare(mark) != 0)
            return CString();
    if (out != nullptr && !mark.IsEmpty())
        *out = selected.front()->GetTokyoDatum();
    return mark;
}

CString Veltrane::GetSelectedCommonRelateKnownName(Coordinate *out) const {
    const std::vector<Point *> selected = selectedInTab(*this, m_tmpTable);
    if (selected.empty())
        return CString();
    const CString known = selected.front()->GetAdjustKwnPntName();
    for (const Point *p : selected)
        if (p->GetAdjustKwnPntName().Compare(known) != 0)
            return CString();
    if (out != nullptr && !known.IsEmpty())
        *out = selected.front()->GetKnownJGD2K();
    return known;
}

Point *Veltrane::FindRefInsyoPoint(const CString &name, const Coordinate &c) const {
    for (Point *p : *this)
        if (p->IsSameRelatedInsyoPoint(name, c))
            return p;
    return nullptr;
}

Point *Veltrane::FindRefKnownPoint(const CString &name, const Coordinate &c) const {
    for (Point *p : *this)
        if (p->IsSameName(name) && p->IsExistKnownJGD2K() && sameXY(p->GetKnownJGD2K(), c))
            return p;
    return nullptr;
}
