#pragma once

#include <limits>

// An earth ellipsoid: radii of curvature, meridian arc, geodetic <-> geocentric
// coordinates and a short geodesic distance. Angles are radians, lengths metres.
// Not polymorphic; copied as a whole by assignment.
class EarthEllips {
  public:
    // Every field 0: an object only to be assigned to (IsValid() is false).
    EarthEllips() = default;
    // Semi-major axis a (m) and inverse flattening 1/f.
    EarthEllips(double a, double invFlat);

    // True when the constants describe an ellipsoid: a finite and > 0, e2 in [0, 1).
    // A default-constructed object is not valid.
    bool IsValid() const {
        return m_a > 0.0 && m_a <= std::numeric_limits<double>::max() && m_e2 >= 0.0 && m_e2 < 1.0;
    }

    double GetRadiusA() const { return m_a; }
    double GetFlat() const { return 1.0 / m_invFlat; }
    double Get1stE() const;
    double Get1stE2() const { return m_e2; }
    double Get2ndE() const;
    double Get2ndE2() const { return m_ep2; }
    // Semi-minor axis a sqrt(1 - e2).
    double GetRadiusB() const;
    // a sqrt(1 + ep2).
    double CalcPolarRadius() const;

    // W = sqrt(1 - e2 sin^2 B).
    double CalcParamW(double B) const;
    // eta^2 = ep2 cos^2 B.
    double CalcParamEata2(double B) const;
    // sqrt(1 + eta^2).
    double CalcParamV(double B) const;
    // Prime-vertical radius N = a / W.
    double CalcRadiusN(double B) const;
    // Meridian radius M = a (1 - e2) / W^3.
    double CalcRadiusM(double B) const;
    void CalcRNM(double B, double *N, double *M) const;
    // sqrt(M N).
    double CalcMeanRadius(double B) const;
    // M at the equator.
    double CalcEquatorRadiusM() const;

    // Meridian arc length from the equator to B.
    double CalcMeridian(double B) const;
    // The same from B and its sine and cosine, for a caller that has them.
    double CalcMeridian(double B, double sinB, double cosB) const;
    // The latitude whose meridian arc from the equator is S (the inverse of CalcMeridian, by
    // a series exact to a few units in the last place), and its sine and cosine (either may
    // be null).
    double CalcLatitude(double S, double *sinB, double *cosB) const;
    // Meridian arc from B1 to B2 (S(B2) - S(B1)).
    double CalcMeridian(double B1, double B2) const;

    // Geodetic latitude, longitude and ellipsoidal height of a geocentric point.
    void XYZtoBLH(const double &X, const double &Y, const double &Z, double *B, double *L,
                  double *H) const;
    // Geocentric coordinates of a geodetic point.
    void BLHtoXYZ(const double &B, const double &L, const double &H, double *X, double *Y,
                  double *Z) const;

    // Short distance on the ellipsoid between two points (mid-latitude formulae).
    double CalcDistance(double B1, double L1, double B2, double L2) const;

  protected:
    // Set-up steps of the constructor: eccentricities, then M0 and the arc coefficients.
    void initEccentricity(double a, double invFlat);
    void initMeridianCoef();

  private:
    static double Square(double x) { return x * x; }
    // S(B) from sin 2B and cos 2B.
    double meridianArc(double B, double sin2B, double cos2B) const;

    double m_a = 0.0;       // semi-major axis
    double m_invFlat = 0.0; // 1/f as given
    double m_e2 = 0.0;      // first eccentricity squared
    double m_ep2 = 0.0;     // second eccentricity squared
    double m_M0 = 0.0;      // meridian radius at the equator, a (1 - e2)
    // Meridian-arc coefficients A, -B/2, C/4, -D/6, E/8, -F/10, G/12, -H/14, I/16.
    double m_A = 0.0;
    double m_B2 = 0.0;
    double m_C4 = 0.0;
    double m_D6 = 0.0;
    double m_E8 = 0.0;
    double m_F10 = 0.0;
    double m_G12 = 0.0;
    double m_H14 = 0.0;
    double m_I16 = 0.0;
    // Inverse of the arc: the rectifying latitude mu is S / (M0 A), and the latitude mu
    // plus sin 2mu times the polynomial in cos 2mu with these coefficients.
    double m_rectify = 0.0;
    double m_lat[6] = {};
};
