#pragma once

#include "kernels/Grisveld/EarthEllips.h"
#include "kernels/Grisveld/Projection.h"

// Series used by the forward projection: 0 the precise series, any other value the
// short series.
enum FormulaKind : int {
    FORMULA_PRECISE = 0,
    FORMULA_SHORT = 1,
};

// Unit in which the false northing and easting are given. The projection converts
// nothing: they are used as metres.
enum OrgCrdUnit : int {
    ORG_CRD_METER = 0,
};

// Transverse Mercator (Gauss-Krueger) projection on an ellipsoid owned by the caller.
//
// The ellipsoid pointer is not owned and may be null. When it is null or the
// ellipsoid is not set up (EarthEllips::IsValid false), or the scale factor is not
// > 0, or the origin is not finite, BLtoXY and XYtoBL answer false and leave their
// outputs untouched, and the operations returning a number return NaN. BLtoXY and
// XYtoBL also answer false (outputs untouched) when the result is not finite.
// The class is copyable; a copy refers to the same ellipsoid.
class TransMercator : public Projection {
  public:
    // B0, L0: origin latitude and central meridian (radians); m0: scale factor on the
    // central meridian; x0, y0: false northing and easting (metres).
    TransMercator(const EarthEllips *ellips, double B0, double L0, double m0, double x0, double y0,
                  OrgCrdUnit unit = ORG_CRD_METER, FormulaKind kind = FORMULA_SHORT);
    TransMercator(const TransMercator &) = default;
    TransMercator &operator=(const TransMercator &) = default;
    ~TransMercator() = default;

    FormulaKind GetFormulaKind() const { return m_kind; }
    void SetFormulaKind(FormulaKind kind) { m_kind = kind; }
    double GetOrgLat() const { return m_B0; }
    double GetOrgLon() const { return m_L0; }
    double GetFalseNorth() const { return m_x0; }
    double GetFalseEast() const { return m_y0; }
    double GetScaleFactor() const { return m_m0; }
    const EarthEllips *GetRefEllips() const { return m_ellips; }

    // Short series when the kind is not 0, else the precise series.
    bool BLtoXY(double B, double L, double *x, double *y) const override;
    // One inverse series for both kinds.
    bool XYtoBL(double x, double y, double *B, double *L) const override;

    // Point scale factor.
    double CalcSclFactBL(double B, double L) const;
    double CalcSclFactXY(double x, double y) const;
    // Line scale factor of an ellipsoidal line by Simpson's rule.
    double CalcLineSclFactBL(double B1, double L1, double B2, double L2) const;
    // The reciprocal of the line scale factor of a plane line.
    double CalcLineSclFactXY(double x1, double y1, double x2, double y2, bool orgRadius) const;
    // Meridian convergence gamma.
    double CalcMeridianCnvBL(double B, double L) const;
    double CalcMeridianCnvXY(double x, double y) const;
    // sqrt(M N) at the mean latitude of two plane points.
    double CalcMeanRadius(double x1, double y1, double x2, double y2) const;
    // sqrt(M N) at the origin latitude.
    double CalcOrgMeanRadius() const;

    // Plane distance of an ellipsoidal distance S between two geodetic points.
    double CalcPlaneDstBL(double S, double B1, double L1, double B2, double L2) const;
    // Plane distance of an ellipsoidal distance S between two plane points.
    double CalcPlaneDstXY(double S, double x1, double y1, double x2, double y2,
                          bool orgRadius) const;
    // Ellipsoidal distance of a plane distance s between two plane points.
    double CalcEllpsDst(double s, double x1, double y1, double x2, double y2, bool orgRadius) const;
    // Ellipsoidal distance of two plane points.
    double CalcEllpsDst(double x1, double y1, double x2, double y2, bool orgRadius) const;

    // Direction of the plane line from point 1 to point 2, in [0, 2 pi].
    double CalcPlaneDirection(double x1, double y1, double x2, double y2) const;
    // Arc-to-chord correction T of the line from point 1 to point 2.
    double CalcCorrectT(double x1, double y1, double x2, double y2, bool orgRadius) const;
    // Ellipsoidal direction of a plane line: plane direction - T, in [0, 2 pi].
    double CalcElpsDirection(double x1, double y1, double x2, double y2, bool orgRadius) const;
    // t + T and t - T, in [0, 2 pi].
    double CalcElpsToPlnDirection(double t, double x1, double y1, double x2, double y2,
                                  bool orgRadius) const;
    double CalcPlnToElpsDirection(double t, double x1, double y1, double x2, double y2,
                                  bool orgRadius) const;
    // Horizontal angle at A from B to C: a + T(A to C) - T(A to B), not wrapped.
    double CalcElpsToPlnHrzAngle(double a, double xB, double yB, double xC, double yC, double xA,
                                 double yA, bool orgRadius) const;

    // Where a last bool argument (orgRadius) is true the mean radius R is taken at the
    // origin latitude, otherwise at the mean latitude of the two points.

  protected:
    // Footpoint latitude of a northing.
    double CalcFootpoint(double x) const;
    // x brought into [0, 2 pi] by whole turns; NaN for NaN or an infinity.
    static double angleIn2Pi(double x);

  private:
    // Ellipsoid present and set up, scale factor > 0 and origin finite.
    bool usable() const;
    double meanRadius(double x1, double y1, double x2, double y2, bool orgRadius) const;
    // Meridian arc at the origin latitude, and 1 / (a m0): kept from the constructor while
    // the ellipsoid still has the constants it had then, else computed.
    bool keptTermsHold() const;
    double originArc() const;
    double invAM0() const;
    // Footpoint latitude of a usable projection, with its sine and cosine.
    double footpoint(double x, double *sinB, double *cosB) const;

    double m_B0;
    double m_L0;
    double m_x0;
    double m_y0;
    double m_m0;
    const EarthEllips *m_ellips;
    FormulaKind m_kind;
    // originArc() and invAM0(), and the ellipsoid constants they were computed with (NaN:
    // none).
    double m_arcB0;
    double m_invAM0;
    double m_arcA;
    double m_arcE2;
};
