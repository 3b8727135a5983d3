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
    // A shifted coordinate that is not there is always the empty one.
    putBack(m_shifted, [](auto &s) {
        if (s.second.IsValid())
            s.first->SetTky3PrmCrd(s.second);
        else
            s.first->ClearTky3PrmCrd();
    });
    putBack(m_useFlags, [](auto &f) { f.first->SetUseForCalc(f.second); });
    putBack(m_results, [](auto &r) { r.first->SetBlockResult(r.second); });
}

void ConversionState::Keep(PointTable &points, unsigned block) {
    if (m_results.empty())
        m_results.reserve(points.size());
    for (Point *p : points)
        m_results.emplace_back(p, p->GetBlockResult(block));
}

void ConversionState::KeepForPreparation(PointTable &points, const CoordCnvOption &option) {
    if (m_useFlags.empty())
        m_useFlags.reserve(points.size());
    for (Point *p : points)
        m_useFlags.emplace_back(p, p->GetUseForCalc());
    if (!option.m_fDatumShift)
        return;
    if (m_shifted.empty())
        m_shifted.reserve(points.size());
    for (Point *p : points)
        m_shifted.emplace_back(p, p->GetCrdTky3Prm());
}

void ConversionState::Keep(CrdCnvPrmTbl &table) { m_tables.emplace_back(&table, table.GetState()); }

void ConversionState::Commit() {
    m_results.clear();
    m_useFlags.clear();
    m_shifted.clear();
    m_tables.clear();
}
