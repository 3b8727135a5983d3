#pragma once

#include "platform/core/CString.h"

#include <memory>

class PointSupplier;
class Veltrane;

// The means that the scale correction of the engines needs, over the observed new coordinates
// of the database's conversion-basis points. A mean is asked for once: bind the database,
// CalcAverage, GetAverage. The supplier that delivers the points exists only while a
// computation runs; it switches the database's current tab and gives it back at the end.
class CalcAverageBase {
  public:
    CalcAverageBase();
    CalcAverageBase(const CalcAverageBase &) = delete;
    CalcAverageBase &operator=(const CalcAverageBase &) = delete;
    virtual ~CalcAverageBase();

    virtual void SetDataBase(Veltrane *db) { m_pDataBase = db; }
    // Computes the mean; false when it cannot (no database, no point that counts).
    virtual bool CalcAverage();
    // The mean; false while none was computed.
    virtual bool GetAverage(double *average) const;

  protected:
    virtual bool InitCalc();
    virtual bool DoCalc() = 0;
    virtual void TermCalc();

    Veltrane *m_pDataBase = nullptr;
    std::unique_ptr<PointSupplier> m_pSupplier;
    int m_nCoordKind = 1; // observed new coordinates
    int m_nITRFKind = 1;  // of conversion-basis points
    unsigned m_nFlags = 0;
    bool m_fComputed = false;
    double m_dAverage = 0.0;
};

// The mean height of the points that have one (rounded to the millimetre at every sum).
class CalcAverageHgt : public CalcAverageBase {
  protected:
    bool DoCalc() override;
};

// The mean geoid height interpolated from the geoid model file; points outside the grid or
// without data do not count.
class CalcAverageGeo : public CalcAverageBase {
  public:
    virtual void SetGsiGeome(const CString &path) { m_strGsiGeome = path; }

  protected:
    bool DoCalc() override;

  private:
    CString m_strGsiGeome;
};

// The mean point scale factor in the new datum's zone (rounded to 7 decimals at every sum).
class CalcAverageSbys : public CalcAverageBase {
  protected:
    bool DoCalc() override;
};
