#include "veltrane/model/BasisPntIndex.h"

#include "veltrane/model/PointTable.h"

#include <algorithm>

BasisPntIndex::BasisPntIndex(const PointTable &basis) {
    m_marks.reserve(basis.size());
    for (const Point *b : basis) {
        const Coordinate tokyo = b->GetTokyoDatum();
        // An empty name names no old mark.
        if (tokyo.IsValid() && !b->GetInsyoName().IsEmpty())
            m_marks[b->GetInsyoName().Bytes()].push_back({tokyo.GetX(), tokyo.GetY()});
    }
}

bool BasisPntIndex::Contains(const Point *p) const {
    const auto it = m_marks.find(std::string_view(p->GetName().Bytes()));
    if (it == m_marks.end())
        return false;
    const Coordinate tokyo = p->GetTokyoDatum();
    // Exact equality: a coordinate that is not a number stands for nothing.
    return std::any_of(it->second.begin(), it->second.end(), [&](const Place &at) {
        return at.x == tokyo.GetX() && at.y == tokyo.GetY();
    });
}
