#pragma once

#include "kernels/Brennic/JGDRoundMode.h"
#include "platform/core/WinTypes.h"

// Land area by the coordinate method, accumulated corner by corner as a split number
// (whole and fraction parts) with the rounding of the survey rules. Twice the signed area
// is the sum over the corners of x (yNext - yPrev).
class PosHulvane {
  public:
    PosHulvane();
    PosHulvane(const PosHulvane &) = default;
    PosHulvane &operator=(const PosHulvane &) = default;
    virtual ~PosHulvane();

    virtual void men_xy_init();
    // Twice the area so far as a split number, the fraction rounded half up at 1e-7 and
    // stored back.
    virtual void men_xy_out(double *i, double *f);
    // One corner term: x of the middle corner and y of its neighbours, each rounded in place
    // with m1; d receives yNext - yPrev and (i, f) the term x d, rounded with m2. The sum
    // is rounded at m2's unit half up; the second accumulator takes the term rounded with m3.
    virtual void men_xy(double *x, double *yPrev, double *yNext, double *d, double *i, double *f,
                        const JGDRoundMode &m1, const JGDRoundMode &m2, const JGDRoundMode &m3);

  protected:
    // The rule word with its threshold replaced by 5 (same step, half up).
    virtual UINT cvrt_form(UINT form);

  public:
    // The second accumulator as a split number.
    virtual void men_xy_out_adj(double *i, double *f);

  protected:
    // x through the truncation guard at m's unit, then rounded by m.
    virtual double maru_prt_sgy(double x, const JGDRoundMode &m);

  private:
    double m_sumI = 0.0;
    double m_sumF = 0.0;
    double m_adjusted = 0.0;
};
