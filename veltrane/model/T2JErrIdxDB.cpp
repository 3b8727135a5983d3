#include "veltrane/model/T2JErrIdxDB.h"

#include <algorithm>

T2JErrIdxDB::~T2JErrIdxDB() = default;

bool T2JErrIdxDB::Append(T2JErrIdxTbl *table) {
    if (table == nullptr || std::any_of(m_tables.begin(), m_tables.end(),
                                        [table](const auto &t) { return t.get() == table; }))
        return false;
    m_tables.emplace_back(table);
    return true;
}

bool T2JErrIdxDB::T2JReadConvErrIdx(const CString &path) {
    auto table = std::make_unique<T2JErrIdxTbl>();
    const bool read = table->ReadEDXFile(path, true);
    m_fileStop = *table;
    if (!read)
        return false;
    m_tables.push_back(std::move(table));
    return true;
}

T2JErrIdxTbl *T2JErrIdxDB::GetErrIdxTbl() { return GetErrIdxTbl(0u); }

T2JErrIdxTbl *T2JErrIdxDB::GetErrIdxTbl(unsigned i) {
    return i < m_tables.size() ? m_tables[i].get() : nullptr;
}

const T2JErrIdxTbl *T2JErrIdxDB::GetErrIdxTbl(unsigned i) const {
    return i < m_tables.size() ? m_tables[i].get() : nullptr;
}

bool T2JErrIdxDB::RemoveErrIdxTbl(unsigned i) {
    if (i >= m_tables.size())
        return false;
    m_tables.erase(m_tables.begin() + i);
    return true;
}

void T2JErrIdxDB::AllRemoveErrIdxTbl() { m_tables.clear(); }

bool T2JErrIdxDB::GetMinMax(const PlaneArea *zone, double *xmin, double *ymin, double *xmax,
                            double *ymax, bool extend) const {
    // Gathered apart, so that an empty first table never leaves the next one widening
    // whatever the outputs held.
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    bool any = false;
    for (const auto &table : m_tables) {
        if (table->GetSize() == 0)
            continue;
        if (!table->GetMinMax(zone, &x1, &y1, &x2, &y2, any, m_fileType))
            return false;
        any = true;
    }
    if (!any)
        return false;
    *xmin = extend ? std::min(*xmin, x1) : x1;
    *ymin = extend ? std::min(*ymin, y1) : y1;
    *xmax = extend ? std::max(*xmax, x2) : x2;
    *ymax = extend ? std::max(*ymax, y2) : y2;
    return true;
}

bool T2JErrIdxDB::GetMinMaxValue(double *gammaMin, double *gammaMax, double *deltaMin,
                                 double *deltaMax) const {
    double g1 = 0, g2 = 0, d1 = 0, d2 = 0;
    bool any = false;
    for (const auto &table : m_tables) {
        if (table->GetSize() == 0)
            continue;
        if (!table->GetMinMaxValue(&g1, &g2, &d1, &d2, any))
            return false;
        any = true;
    }
    if (!any)
        return false;
    *gammaMin = g1;
    *gammaMax = g2;
    *deltaMin = d1;
    *deltaMax = d2;
    return true;
}

bool T2JErrIdxDB::GetValueAve(double *gammaAverage, double *deltaAverage) const {
    double gammaSum = 0, deltaSum = 0;
    unsigned long long count = 0;
    for (const auto &table : m_tables) {
        double g = 0, d = 0;
        count += table->GetGammaTotal(&g);
        table->GetDeltaTotal(&d);
        gammaSum += g;
        deltaSum += d;
    }
    if (count == 0)
        return false;
    *gammaAverage = gammaSum / static_cast<double>(count);
    *deltaAverage = deltaSum / static_cast<double>(count);
    return true;
}

bool T2JErrIdxDB::CalcAllPntXY(const Projection *proj) {
    bool all = true;
    for (const auto &table : m_tables)
        all = table->CalcAllPntXY(proj, m_fileType) && all;
    return all;
}
