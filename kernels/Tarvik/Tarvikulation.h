#pragma once

#include "kernels/Nistrel/BCD.h"
#include "platform/core/WinTypes.h"

// Plane survey geometry. x is northing, y is easting; a direction is measured from +x
// toward +y (atan2(dy, dx)) in radians; lengths are metres. A point is passed as its two
// coordinates (x, y).
//
// Operations answer 1 for success and 0 for failure (coincident points, parallel lines,
// no solution, a null output); on failure every non-null output is set to 0. Those that
// can have several solutions answer their count (0, 1 or 2); a single solution is written
// to both output points.
//
// Lines are coefficient triples (a, b, c) meaning a x + b y = c. "Left" of a direction
// (dx, dy) of length s is the offset (dy, -dx) / s, the side verticalMoveP moves to for a
// positive distance.
class Tarvikulation {
  public:
    Tarvikulation();
    explicit Tarvikulation(double newNear);

    // The same-point tolerance (default 1e-8); setNear answers the old value.
    double setNear(double newNear);
    double getNear() const;

    double nPi(double n) const;
    double square(double x) const;
    int sign(double x) const;
    // Wrapped into [0, 2 pi); NaN and infinities give NaN.
    double angleIn2Pi(double a) const;

    // Computed from the exact decimal squares of the coordinates' 15-digit images; NaN or
    // an infinity in the input gives NaN or infinity.
    double distance(double x1, double y1, double x2, double y2) const;
    // That distance rounded with ExDouble::rround.
    double distance(double x1, double y1, double x2, double y2, int unit, UINT form) const;
    double distance2(double x1, double y1, double x2, double y2) const;
    // 0 when the points lie within the tolerance of each other, else 1.
    int judgeSamePoint(double x1, double y1, double x2, double y2) const;

    // Direction from point 1 to point 2 in [0, 2 pi); 0 (and *t = 0) for the same point.
    int directionAngle(double x1, double y1, double x2, double y2, double *t) const;
    // The same in (-pi, pi].
    int directionAngleX(double x1, double y1, double x2, double y2, double *t) const;
    // directionAngle, and the distance in *s; answers directionAngle's result.
    int distanceAngle(double x1, double y1, double x2, double y2, double *s, double *t) const;

    // Packed D.MMSS (degrees + minutes / 100 + seconds / 10000) to radians, sign kept.
    double DMStoRad(double dms) const;
    // Radians to packed D.MMSS rounded with (unit, form); seconds and minutes that round
    // to 60 carry upward.
    double RadtoDMS(double rad, int unit, UINT form) const;

    // Angle at P2 from the direction toward P1 to the direction toward P3 in the positive
    // sense, both directions first rounded to 1e-8 of a D.MMSS value.
    int intAng(double x1, double y1, double x2, double y2, double x3, double y3, double *a) const;
    int intAngX(double x1, double y1, double x2, double y2, double x3, double y3, double *a) const;

    // Truncation guard: adds one unit at the 13th significant digit of *x (away from zero)
    // so that a truncation at `unit` cannot lose a digit to a binary representation error.
    // Leaves *x and answers 0 when |x| >= 10^(unit + 12), |x| <= 1e-13 or x is not finite.
    int adjust(double *x, int unit) const;

    // Real roots of a t^2 + b t + c = 0, the smaller first; answers their count.
    unsigned equation2D(double a, double b, double c, double *r1, double *r2) const;
    // a x + b y = c, d x + e y = f; 0 when |a e - b d| < the tolerance.
    int equation1D(double a, double b, double c, double d, double e, double f, double *x,
                   double *y) const;

    // Intersections of lines and segments.
    int cross2L4P(double x1, double y1, double x2, double y2, double x3, double y3, double x4,
                  double y4, double *x, double *y) const;
    int crossSS(double x1, double y1, double x2, double y2, double x3, double y3, double x4,
                double y4, double *x, double *y) const;
    int cross2L3P1A(double x1, double y1, double x2, double y2, double x3, double y3, double t,
                    double *x, double *y) const;
    int cross2L2P2A(double x1, double y1, double t1, double x2, double y2, double t2, double *x,
                    double *y) const;

    // Foot of the perpendicular from P on the line P1P2.
    int verticalFoot(double x1, double y1, double x2, double y2, double xp, double yp, double *x,
                     double *y) const;
    // Perpendicular bisector of P1P2 as a line triple.
    int verticalDiv(double x1, double y1, double x2, double y2, double *a, double *b,
                    double *c) const;
    // P1 moved by d to the left of P1P2.
    int verticalMoveP(double x1, double y1, double x2, double y2, double d, double *x,
                      double *y) const;
    // The line P1P2 moved by d to its left, as a line triple.
    int parallelMoveL(double x1, double y1, double x2, double y2, double d, double *a, double *b,
                      double *c) const;
    // Intersection of P1P2 moved by d1 and P2P3 moved by d2.
    int parallelCross2L(double x1, double y1, double x2, double y2, double x3, double y3, double d1,
                        double d2, double *x, double *y) const;
    // Intersection of P1P2 and P2P3 both moved by d; for legs that run straight on, P2
    // moved by d at right angles to P2P3, for legs that turn back, by -d.
    int paracross(double x1, double y1, double x2, double y2, double x3, double y3, double d,
                  double *x, double *y);
    // The point at distance d from P1 toward P2.
    int moveonLine(double x1, double y1, double x2, double y2, double d, double *x,
                   double *y) const;
    // The offset of P from C rotated by t (the centre is not added back); always 1.
    int rotation(double x, double y, double xc, double yc, double t, double *xr, double *yr);
    // P moved by s in direction t; always 1 (0 only for a null output).
    int traver(double x, double y, double t, double s, double *xr, double *yr) const;
    // Traverse leg from P1: direction P1 to P2 plus a, horizontal length s sin v (v a
    // zenith angle).
    int calcTrv(double x1, double y1, double x2, double y2, double a, double s, double v, double *x,
                double *y) const;
    // The same, and in *z the height s cos v + g + h - k.
    int calcTrv(double x1, double y1, double x2, double y2, double a, double s, double v, double g,
                double h, double k, double *x, double *y, double *z) const;

    // Distances from a point to a line, segment, half line, circle, ellipse and arc.
    int distancePL(double x1, double y1, double x2, double y2, double xp, double yp,
                   double *d) const;
    int distancePS(double x1, double y1, double x2, double y2, double xp, double yp,
                   double *d) const;
    int distancePHL(double x1, double y1, double x2, double y2, double xp, double yp,
                    double *d) const;
    int distancePC(double xc, double yc, double r, double xp, double yp, double *d) const;
    // 0 when P is at C (no direction).
    int distancePE(double a, double b, double xc, double yc, double xp, double yp, double *d) const;
    // Arc of centre C and radius r from direction t1 to t2; 0 when P is at C.
    int distancePA(double xc, double yc, double r, double t1, double t2, double xp, double yp,
                   double *d) const;
    // Length of the minor arc on the chord P1P2 with radius r.
    int arcDistance(double x1, double y1, double x2, double y2, double r, double *d) const;

    // Centre of the circle of radius |r| through P1 and P2, to the left of P1P2 for r >= 0
    // and to the right for r < 0.
    int circleCenter(double x1, double y1, double x2, double y2, double r, double *x,
                     double *y) const;
    int cirumcisedCircle(double x1, double y1, double x2, double y2, double x3, double y3,
                         double *x, double *y, double *r) const;
    int inscribedCircle(double x1, double y1, double x2, double y2, double x3, double y3, double *x,
                        double *y, double *r) const;
    // A point of the bisector of the angle at P2.
    int divideAngle(double x1, double y1, double x2, double y2, double x3, double y3, double *x,
                    double *y) const;
    // The point reached from P1 by the arc length s along the circle of radius r through
    // P1 and P2 (centre by circleCenter); a positive s moves toward P2.
    int moveonCircle(double x1, double y1, double x2, double y2, double r, double s, double *x,
                     double *y) const;
    int pn_cr(double x1, double y1, double x2, double y2, double r, double s, double *x,
              double *y) const;

    // Intersections with circles; the count is answered. Circles or a line that miss
    // tangency by no more than the tolerance touch at one point.
    unsigned crossCC(double xc1, double yc1, double r1, double xc2, double yc2, double r2,
                     double *x1, double *y1, double *x2, double *y2) const;
    unsigned crossCL2P(double x1, double y1, double x2, double y2, double xc, double yc, double r,
                       double *xa, double *ya, double *xb, double *yb) const;
    unsigned crossCL1P1A(double x, double y, double t, double xc, double yc, double r, double *xa,
                         double *ya, double *xb, double *yb) const;
    unsigned crossAL(double x1, double y1, double x2, double y2, double xc, double yc, double r,
                     double t1, double t2, double *xa, double *ya, double *xb, double *yb) const;

    // -1 before P1, 1 beyond P2, 0 within (along x, or along y when x1 = x2).
    int onSegment(double x1, double y1, double x2, double y2, double xp, double yp) const;
    // For a point on the line P1P2: 1 when it is not behind P1 as seen toward P2.
    int onHLine(double x1, double y1, double x2, double y2, double xp, double yp) const;
    // 1 when direction t lies on the arc from t1 to t2.
    int onArc(double t1, double t2, double t) const;
    // *side -1 for P left of P1P2, 1 for right, 0 on the line.
    int judgLR(double x1, double y1, double x2, double y2, double xp, double yp, int *side) const;
    // Cell 0-8 of the point around the rectangle (4 inside).
    int isPointInRect(double xmin, double ymin, double xmax, double ymax, double x, double y);
    int isSegmentInRect(double xmin, double ymin, double xmax, double ymax, double x1, double y1,
                        double x2, double y2);
    // A direction vector of t: (cos t / sin t, 1) for 0 < t < pi, (-cos t / sin t, -1) for
    // pi < t < 2 pi, and the axis vectors at 0, pi / 2, pi and 3 pi / 2.
    int unitVectol(double t, double *a, double *b) const;
    // 1 when t lies in the positive turn from t1 to t2.
    int isinAng(double t, double t1, double t2) const;
    double betweenAng(double t1, double t2) const;
    double toMathRad(double t) const;
    double toMeasRad(double t) const;

    // Straight and circular corner cuts at P2 between the legs P2P1 and P2P3; the first
    // point lies on P2P1, the second on P2P3.
    int cornerCutL(double x1, double y1, double x2, double y2, double x3, double y3, double L,
                   double *xa, double *ya, double *xb, double *yb) const;
    int cornerCutC(double x1, double y1, double x2, double y2, double x3, double y3, double L,
                   double *xa, double *ya, double *xb, double *yb) const;

    // A cut of length L at the corner P2 between the line from P2 in direction t and the
    // circle of centre P1 through P2 toward P3. 0 also when the iteration does not settle.
    int Sumi_cl_clc(double x1, double y1, double x2, double y2, double x3, double y3, double t,
                    double L, double *xa, double *ya, double *xb, double *yb) const;
    // A cut of length L at the corner P1 between the arc through P2 (signed radius r1) and
    // the arc through P3 (signed radius r2). 0 also when the iteration does not settle.
    int Sumi_cc_clc(double x1, double y1, double x2, double y2, double x3, double y3, double r1,
                    double r2, double L, double *xa, double *ya, double *xb, double *yb) const;

    // The corner-cut iterations give up after this many rounds.
    static constexpr int kMaxCutIterations = 10000;

  protected:
    // The squared distance from the 15-digit images of the coordinates, in decimal.
    // Throws std::domain_error for NaN or an infinity.
    BCD distanceBCD(double x1, double y1, double x2, double y2) const;

  private:
    bool collinear(double x1, double y1, double x2, double y2, double x3, double y3) const;
    // Line through P in direction (dx, dy) against the circle C, |r|.
    unsigned crossCircleLine(double x, double y, double dx, double dy, double xc, double yc,
                             double r, double *xa, double *ya, double *xb, double *yb) const;
    double roundedDirection(double t) const;

    double near;
};
