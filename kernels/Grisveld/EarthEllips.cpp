#include "kernels/Grisveld/EarthEllips.h"

#include <cmath>
#include <numbers>

EarthEllips::EarthEllips(double a, double invFlat) {
    initEccentricity(a, invFlat);
    initMeridianCoef();
}

void EarthEllips::initEccentricity(double a, double invFlat) {
    m_a = a;
    m_invFlat = invFlat;
    const double f = 1.0 / invFlat;
    m_e2 = 2.0 * f - f * f;
    m_ep2 = m_e2 / (1.0 - m_e2);
}

void EarthEllips::initMeridianCoef() {
    const double e2 = m_e2;
    const double e4 = e2 * e2;
    const double e6 = e4 * e2;
    const double e8 = e6 * e2;
    const double e10 = e8 * e2;
    const double e12 = e10 * e2;
    const double e14 = e12 * e2;
    const double e16 = e14 * e2;

    m_M0 = m_a * (1.0 - e2);

    const double A = 1.0 + 3.0 / 4.0 * e2 + 45.0 / 64.0 * e4 + 175.0 / 256.0 * e6 +
                     11025.0 / 16384.0 * e8 + 43659.0 / 65536.0 * e10 + 693693.0 / 1048576.0 * e12 +
                     19324305.0 / 29360128.0 * e14 + 4927697775.0 / 7516192768.0 * e16;
    const double B = 3.0 / 4.0 * e2 + 15.0 / 16.0 * e4 + 525.0 / 512.0 * e6 + 2205.0 / 2048.0 * e8 +
                     72765.0 / 65536.0 * e10 + 297297.0 / 262144.0 * e12 +
                     135270135.0 / 117440512.0 * e14 + 547521975.0 / 469762048.0 * e16;
    const double C = 15.0 / 64.0 * e4 + 105.0 / 256.0 * e6 + 2205.0 / 4096.0 * e8 +
                     10395.0 / 16384.0 * e10 + 1486485.0 / 2097152.0 * e12 +
                     45090045.0 / 58720256.0 * e14 + 766530765.0 / 939524096.0 * e16;
    const double D = 35.0 / 512.0 * e6 + 315.0 / 2048.0 * e8 + 31185.0 / 131072.0 * e10 +
                     165165.0 / 524288.0 * e12 + 45090045.0 / 117440512.0 * e14 +
                     209053845.0 / 469762048.0 * e16;
    const double E = 315.0 / 16384.0 * e8 + 3465.0 / 65536.0 * e10 + 99099.0 / 1048576.0 * e12 +
                     4099095.0 / 29360128.0 * e14 + 348423075.0 / 1879048192.0 * e16;
    const double F = 693.0 / 131072.0 * e10 + 9009.0 / 524288.0 * e12 +
                     4099095.0 / 117440512.0 * e14 + 26801775.0 / 469762048.0 * e16;
    const double G =
        3003.0 / 2097152.0 * e12 + 315315.0 / 58720256.0 * e14 + 11486475.0 / 939524096.0 * e16;
    const double H = 45045.0 / 117440512.0 * e14 + 765765.0 / 469762048.0 * e16;
    const double I = 765765.0 / 7516192768.0 * e16;

    m_A = A;
    m_B2 = -B / 2.0;
    m_C4 = C / 4.0;
    m_D6 = -D / 6.0;
    m_E8 = E / 8.0;
    m_F10 = -F / 10.0;
    m_G12 = G / 12.0;
    m_H14 = -H / 14.0;
    m_I16 = I / 16.0;

    // Series of the latitude in the rectifying latitude, in the third flattening n to n^6;
    // its truncation error is below 1e-18 rad.
    const double n = (1.0 - std::sqrt(1.0 - e2)) / (1.0 + std::sqrt(1.0 - e2));
    const double n2 = n * n;
    const double n3 = n2 * n;
    const double n4 = n2 * n2;
    const double n5 = n4 * n;
    const double n6 = n3 * n3;
    const double b1 = 3.0 / 2.0 * n - 27.0 / 32.0 * n3 + 269.0 / 512.0 * n5;
    const double b2 = 21.0 / 16.0 * n2 - 55.0 / 32.0 * n4 + 6759.0 / 4096.0 * n6;
    const double b3 = 151.0 / 96.0 * n3 - 417.0 / 128.0 * n5;
    const double b4 = 1097.0 / 512.0 * n4 - 15543.0 / 2560.0 * n6;
    const double b5 = 8011.0 / 2560.0 * n5;
    const double b6 = 293393.0 / 61440.0 * n6;
    // sin 2k mu = sin 2mu U(k-1)(cos 2mu), U the Chebyshev polynomials of the second kind:
    // the sum of the b_k sin 2k mu is sin 2mu times a polynomial in cos 2mu.
    m_rectify = 1.0 / (m_M0 * A);
    m_lat[0] = b1 - b3 + b5;
    m_lat[1] = 2.0 * b2 - 4.0 * b4 + 6.0 * b6;
    m_lat[2] = 4.0 * b3 - 12.0 * b5;
    m_lat[3] = 8.0 * b4 - 32.0 * b6;
    m_lat[4] = 16.0 * b5;
    m_lat[5] = 32.0 * b6;
}

double EarthEllips::Get1stE() const { return std::sqrt(m_e2); }

double EarthEllips::Get2ndE() const { return std::sqrt(m_ep2); }

double EarthEllips::GetRadiusB() const { return m_a * std::sqrt(1.0 - m_e2); }

double EarthEllips::CalcPolarRadius() const { return m_a * std::sqrt(1.0 + m_ep2); }

double EarthEllips::CalcParamW(double B) const {
    return std::sqrt(1.0 - m_e2 * Square(std::sin(B)));
}

double EarthEllips::CalcParamEata2(double B) const { return m_ep2 * Square(std::cos(B)); }

double EarthEllips::CalcParamV(double B) const { return std::sqrt(1.0 + CalcParamEata2(B)); }

double EarthEllips::CalcRadiusN(double B) const { return m_a / CalcParamW(B); }

double EarthEllips::CalcRadiusM(double B) const {
    const double W = CalcParamW(B);
    return m_a * (1.0 - m_e2) / (W * W * W);
}

void EarthEllips::CalcRNM(double B, double *N, double *M) const {
    if (N)
        *N = CalcRadiusN(B);
    if (M)
        *M = CalcRadiusM(B);
}

double EarthEllips::CalcMeanRadius(double B) const {
    return std::sqrt(CalcRadiusM(B) * CalcRadiusN(B));
}

double EarthEllips::CalcEquatorRadiusM() const { return CalcRadiusM(0.0); }

double EarthEllips::meridianArc(double B, double sin2B, double cos2B) const {
    // sin 2kB for k = 1..8 by the angle-addition recurrence
    // sin(k + 1)x = 2 cos x sin kx - sin(k - 1)x: one sine and one cosine instead of eight
    // sines; the difference to direct sines is below 1e-9 m of arc.
    double s[9];
    s[0] = 0.0;
    s[1] = sin2B;
    const double twoCos = 2.0 * cos2B;
    for (int k = 2; k <= 8; ++k)
        s[k] = twoCos * s[k - 1] - s[k - 2];
    return m_M0 * (m_A * B + m_B2 * s[1] + m_C4 * s[2] + m_D6 * s[3] + m_E8 * s[4] + m_F10 * s[5] +
                   m_G12 * s[6] + m_H14 * s[7] + m_I16 * s[8]);
}

double EarthEllips::CalcMeridian(double B) const {
    return meridianArc(B, std::sin(2.0 * B), std::cos(2.0 * B));
}

double EarthEllips::CalcMeridian(double B, double sinB, double cosB) const {
    return meridianArc(B, 2.0 * sinB * cosB, (cosB - sinB) * (cosB + sinB));
}

double EarthEllips::CalcLatitude(double S, double *sinB, double *cosB) const {
    // B = mu + g, mu the rectifying latitude, g a sine series in mu below 0.003 rad.
    const double mu = S * m_rectify;
    const double sinMu = std::sin(mu);
    const double cosMu = std::cos(mu);
    // sin 2mu times the polynomial in x = cos 2mu, its terms paired (Estrin) so that
    // they are summed side by side.
    const double x = (cosMu - sinMu) * (cosMu + sinMu);
    const double x2 = x * x;
    const double g = 2.0 * sinMu * cosMu *
                     ((m_lat[0] + m_lat[1] * x) +
                      x2 * ((m_lat[2] + m_lat[3] * x) + x2 * (m_lat[4] + m_lat[5] * x)));
    // Sine and cosine of B from mu's: for so small a g the Taylor polynomials of sin g and
    // cos g to g^5 are exact to the last bit.
    const double g2 = g * g;
    const double sinG = g * (1.0 - g2 * (1.0 / 6.0 - g2 * (1.0 / 120.0)));
    const double cosG = 1.0 - g2 * (0.5 - g2 * (1.0 / 24.0));
    if (sinB)
        *sinB = sinMu * cosG + cosMu * sinG;
    if (cosB)
        *cosB = cosMu * cosG - sinMu * sinG;
    return mu + g;
}

double EarthEllips::CalcMeridian(double B1, double B2) const {
    auto dsin = [B1, B2](double k) { return std::sin(k * B2) - std::sin(k * B1); };
    return m_M0 * (m_A * (B2 - B1) + m_B2 * dsin(2.0) + m_C4 * dsin(4.0) + m_D6 * dsin(6.0) +
                   m_E8 * dsin(8.0) + m_F10 * dsin(10.0) + m_G12 * dsin(12.0) + m_H14 * dsin(14.0) +
                   m_I16 * dsin(16.0));
}

void EarthEllips::XYZtoBLH(const double &X, const double &Y, const double &Z, double *B, double *L,
                           double *H) const {
    const double p = std::sqrt(X * X + Y * Y);
    double lat;
    double h;
    if (p == 0.0) {
        // On the axis: a pole, latitude and height follow from Z alone.
        lat = std::copysign(std::numbers::pi / 2.0, Z);
        h = std::fabs(Z) - GetRadiusB();
    } else {
        lat = std::atan(Z / (p * (1.0 - m_e2)));
        h = 0.0;
        for (int i = 0; i < 10; ++i) {
            const double N = m_a / std::sqrt(1.0 - m_e2 * Square(std::sin(lat)));
            h = p / std::cos(lat) - N;
            lat = std::atan((Z / p) / (1.0 - m_e2 * N / (N + h)));
        }
    }
    // atan2 is defined on the whole plane, the negative X axis included.
    const double lon = std::atan2(Y, X);
    if (B)
        *B = lat;
    if (L)
        *L = lon;
    if (H)
        *H = h;
}

void EarthEllips::BLHtoXYZ(const double &B, const double &L, const double &H, double *X, double *Y,
                           double *Z) const {
    const double N = CalcRadiusN(B);
    const double cosB = std::cos(B);
    const double gx = (N + H) * cosB * std::cos(L);
    const double gy = (N + H) * cosB * std::sin(L);
    const double gz = (N * (1.0 - m_e2) + H) * std::sin(B);
    if (X)
        *X = gx;
    if (Y)
        *Y = gy;
    if (Z)
        *Z = gz;
}

double EarthEllips::CalcDistance(double B1, double L1, double B2, double L2) const {
    const double Bm = (B1 + B2) / 2.0;
    const double t = std::tan(Bm);
    const double c = std::cos(Bm);
    const double eta2 = CalcParamEata2(Bm);
    const double N = CalcRadiusN(Bm);
    const double M = CalcRadiusM(Bm);
    const double V4 = Square(1.0 + eta2);
    const double dB = B2 - B1;
    const double dL = L2 - L1;

    const double u = std::cos(dL / 2.0) * M * dB *
                     (1.0 + (1.0 - 2.0 * eta2) * Square(c * dL) / 24.0 +
                      dB * dB * eta2 * (1.0 - t * t) / (8.0 * V4));
    const double v = dL * N * c *
                     (1.0 - Square(std::sin(Bm) * dL) / 24.0 +
                      dB * dB * (1.0 + eta2 - 9.0 * t * t * eta2) / (24.0 * V4));
    return std::sqrt(u * u + v * v);
}
