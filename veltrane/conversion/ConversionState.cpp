#include "veltrane/conversion/ConversionState.h"

#include "veltrane/model/PointTable.h"

namespace {

template <class Kept, class PutBack> void putBack(std::vector<Kept> &kept, PutBack put) {
    for (auto it = kept.rbegin(); it != kept.rend(); ++it)
        put(*it);
}

} // namespace

ConversionState::~ConversionState() {
    putBack(m_tables, [](auto &t) { t.first->SetState(t.second); });
    putBack(m_prepared, [](Prepared &kept) {
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
    putBack(m_results, [](auto &r) { r.first->SetBlockResult(r.second); });
}

void ConversionState::Keep(PointTable &points, unsigned block) {
    if (m_results.empty())
        m_results.reserve(points.size());
    for (Point *p : points)
        m_results.emplace_back(p, p->GetBlockResult(block));
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

void ConversionState::Keep(CrdCnvPrmTbl &table) { m_tables.emplace_back(&table, table.GetState()); }

void ConversionState::Commit() {
    m_results.clear();
    m_prepared.clear();
    m_tables.clear();
}
