#include "veltrane/conversion/CalcAverage.h"

#include "exchange/Dorrimet/PlaneArea.h"
#include "kernels/Brennic/JGDRoundMode.h"
#include "kernels/Grisveld/TransMercator.h"
#include "veltrane/conversion/GeoidGridReader.h"
#include "veltrane/database/PointSupplier.h"
#include "veltrane/database/Veltrane.h"

#include <new>

CalcAverageBase::CalcAverageBase() = default;

CalcAverageBase::~CalcAverageBase() { TermCalc(); }

bool CalcAverageBase::CalcAverage() {
    if (!InitCalc())
        return false;
    const bool done = DoCalc();
    TermCalc();
    return done;
}

bool CalcAverageBase::GetAverage(double *average) const {
    if (!m_fComputed || average == nullptr)
        return false;
    *average = m_dAverage;
    return true;
}

bool CalcAverageBase::InitCalc() {
    TermCalc();
    if (m_pDataBase == nullptr)
        return false;
    m_pSupplier.reset(new (std::nothrow) PointSupplier(m_pDataBase));
    if (!m_pSupplier)
        return false;
    m_pSupplier->SetCondition(static_cast<CoordinateKind>(m_nCoordKind),
                              static_cast<ITRFCoordKind>(m_nITRFKind), m_nFlags);
    m_pSupplier->SetRound(false, 3);
    return true;
}

void CalcAverageBase::TermCalc() {
    if (!m_pSupplier)
        return;
    m_pSupplier->RestoreTable();
    m_pSupplier.reset();
}

bool CalcAverageHgt::DoCalc() {
    m_fComputed = false;
    if (m_pDataBase == nullptr || !m_pSupplier)
        return false;
    const JGDRoundMode round(-3, 261);
    double sum = 0.0;
    unsigned count = 0;
    for (unsigned i = 0; i < m_pSupplier->GetPointSize(); ++i) {
        CString name;
        double x = 0.0, y = 0.0, h = 0.0;
        bool hUsed = false;
        if (m_pSupplier->GetPoint(i, &name, &x, &y, &h, &hUsed, nullptr) && hUsed) {
            sum = round.rround(sum + h);
            ++count;
        }
    }
    if (count > 0) {
        m_dAverage = round.rround(sum / count);
        m_fComputed = true;
    }
    return m_fComputed;
}

bool CalcAverageSbys::DoCalc() {
    m_fComputed = false;
    if (m_pDataBase == nullptr || !m_pSupplier)
        return false;
    const JGDRoundMode round(-7, 261);
    const PlaneArea *zone = m_pDataBase->GetCurrentPlaneArea(true);
    const EarthEllips *ellipsoid = zone ? zone->GetRefEllips() : nullptr;
    if (ellipsoid == nullptr)
        return false;
    double b0 = 0.0, l0 = 0.0;
    zone->GetOrigin(&b0, &l0);
    const TransMercator projection(ellipsoid, b0, l0, 0.9999, 0.0, 0.0, ORG_CRD_METER,
                                   FORMULA_SHORT);
    double sum = 0.0;
    unsigned count = 0;
    for (unsigned i = 0; i < m_pSupplier->GetPointSize(); ++i) {
        CString name;
        double x = 0.0, y = 0.0, h = 0.0;
        bool hUsed = false;
        if (m_pSupplier->GetPoint(i, &name, &x, &y, &h, &hUsed, nullptr)) {
            sum = round.rround(sum + round.rround(projection.CalcSclFactXY(x, y)));
            ++count;
        }
    }
    if (count > 0) {
        m_dAverage = round.rround(sum / count);
        m_fComputed = true;
    }
    return m_fComputed;
}

bool CalcAverageGeo::DoCalc() {
    m_fComputed = false;
    if (m_pDataBase == nullptr || !m_pSupplier || m_strGsiGeome.IsEmpty())
        return false;
    GeoidGridReader grid;
    if (grid.GeoidOpen(m_strGsiGeome) != 1)
        return false;
    const JGDRoundMode round(-3, 261);
    double sum = 0.0;
    unsigned count = 0;
    for (unsigned i = 0; i < m_pSupplier->GetPointSize(); ++i) {
        CString name;
        double x = 0.0, y = 0.0, b = 0.0, l = 0.0, h = 0.0;
        int zone = 0;
        bool hUsed = false;
        if (!m_pSupplier->GetPointWithBLRad(i, &name, &x, &y, &b, &l, &zone, &h, &hUsed, nullptr))
            continue;
        double n = 0.0;
        if (grid.GeoidGetHeight(b, l, &n, nullptr) == 1) {
            sum = round.rround(round.rround(n) + sum);
            ++count;
        }
    }
    if (count > 0) {
        m_dAverage = round.rround(sum / count);
        m_fComputed = true;
    }
    grid.GeoidClose();
    return m_fComputed;
}
