#include "veltrane/conversion/ConversionState.h"

#include "veltrane/model/PointTable.h"

#include <algorithm>
#include <type_traits>

static_assert(std::is_nothrow_move_assignable_v<CrdCnvPrmTbl>);
static_assert(std::is_nothrow_move_assignable_v<PointBlockResult>);
static_assert(std::is_nothrow_copy_assignable_v<Coordinate>);

namespace {

template <class Kept, class PutBack> void putBack(std::vector<Kept> &kept, PutBack put) noexcept {
    for (auto it = kept.rbegin(); it != kept.rend(); ++it)
        put(*it);
}

} // namespace

ConversionState::~ConversionState() {
    putBack(m_tables, [](auto &t) noexcept { *t.first = std::move(t.second); });
    putBack(m_prepared, [](Prepared &kept) noexcept {
        std::size_t i = 0;
        for (Point *p : *kept.points) {
            p->SetUseForCalc(kept.use[i]);
            if (i < kept.shifted.size()) {
                // A shifted coordinate that is not there is always the empty one.
                if (kept.shifted[i].IsValid())
                    p->SetTky3PrmCrd(kept.shifted[i]);
                else
                    p->ClearTky3PrmCrd();
            }
            ++i;
        }
    });
    putBack(m_results, [](Converted &kept) noexcept {
        kept.point->SetBlockResult(std::move(kept.result));
        kept.point->SetGivenBL(kept.places);
    });
}

void ConversionState::Keep(PointTable &points, unsigned block) {
    const std::size_t needed = m_results.size() + points.size();
    if (needed > m_results.capacity())
        m_results.reserve(std::max(needed, 2 * m_results.capacity()));
    for (Point *p : points)
        m_results.push_back({p, p->GetBlockResult(block), p->GetGivenBL()});
}

void ConversionState::KeepForPreparation(PointTable &points, const CoordCnvOption &option) {
    Prepared kept{&points, {}, {}};
    kept.use.reserve(points.size());
    for (const Point *p : points)
        kept.use.push_back(p->GetUseForCalc());
    if (option.m_fDatumShift) {
        kept.shifted.reserve(points.size());
        for (const Point *p : points)
            kept.shifted.push_back(p->GetCrdTky3Prm());
    }
    m_prepared.push_back(std::move(kept));
}

void ConversionState::Keep(CrdCnvPrmTbl &table) { m_tables.emplace_back(&table, table); }

void ConversionState::Commit() {
    m_results.clear();
    m_prepared.clear();
    m_tables.clear();
}
