#pragma once

#include "kernels/Brennic/JGDRoundMode.h"
#include "kernels/Tarvik/Tarvikulation.h"
#include "platform/core/CString.h"
#include "platform/core/WinTypes.h"

// Arithmetic on split numbers: a value held as a whole part i and a fraction part f (both
// doubles), so that large coordinates keep the fraction digits the area rounding acts on.
// Fractions are kept to 10 decimals. A null output makes an operation do nothing (those
// answering int answer 0).
class HulvaneTool {
  public:
    HulvaneTool() = default;
    HulvaneTool(const HulvaneTool &) = default;
    HulvaneTool &operator=(const HulvaneTool &) = default;
    virtual ~HulvaneTool();

    // rround(rround(a) + rround(b)) at unit, the outer rounding half up.
    virtual double add_rd(double a, double b, int unit, UINT form) const;
    // Side lengths a = |P1P2|, b = |P2P3|, c = |P3P1| and the code of the longest: 1 a, 2 b,
    // 3 c alone; 4 a and c, 5 b and c, 6 a and b equal and longest; 7 all equal.
    virtual void clc3pen(double x1, double y1, double x2, double y2, double x3, double y3,
                         double *a, double *b, double *c, int *code) const;
    // Sum of two split numbers; the parts of the result share one sign.
    virtual void clc_add(double i1, double f1, double i2, double f2, double *i, double *f) const;
    // f rounded at unit by form, its whole part carried into i.
    virtual void clc_chk(double i, double f, int unit, UINT form, double *i2, double *f2) const;
    // The product a x b as a split number.
    virtual void clc_dbl(double a, double b, double *i, double *f) const;
    // (i + f) / c; answers 0 (outputs 0) for a divisor that is 0 or not finite.
    virtual int clc_div(double i, double f, double c, double *i2, double *f2) const;
    // Split of x: i its whole part (truncated), f the rest rounded at 1e-10.
    virtual void clc_dvd(double x, double *i, double *f) const;
    // (i + f) x factor.
    virtual void clc_tubo(double i, double f, double *i2, double *f2, double factor) const;
    // Area of the triangle P1 P2 P3.
    virtual double zh_hrn(double x1, double y1, double x2, double y2, double x3, double y3) const;
    // Text of i + f with the decimals that step asks for (none when |step| >= 1).
    virtual CString dbl_strr(double i, double f, double step) const;
    // Circular segment on the chord P1P2 with radius R: chord c, central angle t, half angle
    // h, tangent length T, external distance E, arc length L, middle ordinate M and segment
    // area S. Coordinates are rounded with m1, the chord with m2, the angle's seconds with
    // m3 (when it has a step) and S with m4. R = 0 or a chord longer than 2|R| give all
    // outputs 0 and 1; a half circle (no tangent length) or an R that is not finite give 0.
    virtual int enko_s(double x1, double y1, double x2, double y2, double R, double *c, double *t,
                       double *h, double *T, double *E, double *L, double *M, double *S,
                       const JGDRoundMode &m1, const JGDRoundMode &m2, const JGDDMSRoundMode &m3,
                       const JGDRoundMode &m4) const;
    // rround(rround(a) - rround(b)) at unit, the outer rounding half up.
    virtual double sub_rd(double a, double b, int unit, UINT form) const;
    // a rounded with m1, b with m2, and their product with m3.
    virtual void men_th(double a, double b, double *ra, double *rb, double *p,
                        const JGDRoundMode &m1, const JGDRoundMode &m2,
                        const JGDRoundMode &m3) const;

  protected:
    // Moves one unit between i and f when their signs differ.
    static void agreeSigns(double &i, double &f);

    Tarvikulation m_tarv;
};
