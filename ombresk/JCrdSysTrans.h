#pragma once

#include "kernels/Grisveld/EarthEllips.h"
#include "kernels/Grisveld/Projection.h"

// Seven-parameter similarity transformation of geocentric coordinates between two
// geodetic datums. The projections and ellipsoids are the caller's (not owned).
//
// Rotations are packed DMS numbers in whole form (0.35 is 0.35 seconds), the scale
// change is in parts per million. The defaults are the three shifts from the Tokyo
// datum to JGD2000 (tx -146.414, ty 507.337, tz 680.507 m) with no rotation or scale.
//
// An operation whose projection or ellipsoid is missing (null, or an ellipsoid that is
// not set up) answers false and leaves its outputs untouched. TransferBL and
// TransferRvsBL need only the ellipsoids; Transfer and TransferRvs also the projections.
class JCrdSysTrans {
  public:
    JCrdSysTrans(const Projection *srcProj, const Projection *dstProj, const EarthEllips *srcEllips,
                 const EarthEllips *dstEllips);
    JCrdSysTrans(const JCrdSysTrans &) = default;
    JCrdSysTrans &operator=(const JCrdSysTrans &) = default;
    virtual ~JCrdSysTrans();

    void Set7Parameters(const double &tx, const double &ty, const double &tz, const double &rx,
                        const double &ry, const double &rz, const double &s);

    // Source plane (x, y) and ellipsoidal height h to the target plane.
    bool Transfer(const double &x, const double &y, const double &h, double *x2, double *y2,
                  double *h2) const;
    // Source geodetic to target geodetic.
    bool TransferBL(const double &B, const double &L, const double &H, double *B2, double *L2,
                    double *H2) const;
    // Target to source with all seven values negated (not an exact inverse).
    bool TransferRvs(const double &x, const double &y, const double &h, double *x2, double *y2,
                     double *h2) const;
    bool TransferRvsBL(const double &B, const double &L, const double &H, double *B2, double *L2,
                       double *H2) const;

  private:
    // Geodetic on `from` to geodetic on `to` with the parameters times sign (+1 or -1).
    bool shiftBL(const EarthEllips *from, const EarthEllips *to, double sign, double B, double L,
                 double H, double *B2, double *L2, double *H2) const;
    bool shiftXY(const Projection *fromProj, const Projection *toProj, const EarthEllips *from,
                 const EarthEllips *to, double sign, double x, double y, double h, double *x2,
                 double *y2, double *h2) const;

    const Projection *m_srcProj;
    const Projection *m_dstProj;
    const EarthEllips *m_srcEllips;
    const EarthEllips *m_dstEllips;
    double m_tx = -146.414;
    double m_ty = 507.337;
    double m_tz = 680.507;
    double m_rx = 0.0;
    double m_ry = 0.0;
    double m_rz = 0.0;
    double m_s = 0.0;
};
