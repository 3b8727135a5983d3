#include "veltrane/conversion/CoordConvHelmert.h"

#include "kernels/Lunmarg/LUMethod.h"

#include <cmath>
#include <numbers>

namespace {

// a^2 + b^2 of a usable rotation and scale: finite and not below the singularity threshold.
bool usableScale(double a, double b) {
    return std::isfinite(a) && std::isfinite(b) && a * a + b * b >= CoordConvParam::m_tiny;
}

} // namespace

CoordConvHelmert::CoordConvHelmert(const PointTable &points, Veltrane *db, CalcMode mode,
                                   unsigned block)
    : CoordConvParam(points, db, mode, block) {}

bool CoordConvHelmert::Calculation(const CoordCnvOption &option) {
    if (!beginCalculation(option))
        return false;
    for (int i = 0; i < 4; ++i)
        m_solution(i, 0) = 0.0;
    TMatrix<double> N(4, 4, 0.0);
    TMatrix<double> rhs(4, 1, 0.0);
    for (const Point *p : basisTable()) {
        const Coordinate src = getSrcDatum(p);
        const Coordinate dst = getDstDatum(p);
        const double X = src.GetX(), Y = src.GetY();
        const double Xd = dst.GetX(), Yd = dst.GetY();
        N(0, 0) += X * X + Y * Y;
        N(0, 2) += X;
        N(0, 3) += Y;
        N(1, 1) += X * X + Y * Y;
        N(1, 2) += Y;
        N(1, 3) -= X;
        N(2, 0) += X;
        N(2, 1) += Y;
        N(3, 0) += Y;
        N(3, 1) -= X;
        rhs(0, 0) += Xd * X + Yd * Y;
        rhs(1, 0) += Xd * Y - Yd * X;
        rhs(2, 0) += Xd;
        rhs(3, 0) += Yd;
    }
    const double n = basisTable().size();
    N(2, 2) = n;
    N(3, 3) = n;
    const LUMethod lu;
    TMatrix<double> pivots(4, 1, 0.0);
    int parity = 0;
    if (lu.LUDecompInPlace(N, pivots, &parity) != LU_SUCCESS)
        return false;
    lu.LUBackSubst(N, pivots, rhs);
    for (int i = 0; i < 4; ++i)
        m_solution(i, 0) = rhs(i, 0);
    if (!usableScale(m_solution(0, 0), m_solution(1, 0)))
        return false;
    finishCalculation();
    return true;
}

bool CoordConvHelmert::CalcJGD2000(Point *p) { return convertPoint(p, true); }

bool CoordConvHelmert::calcJGD2000_sub(const Coordinate &source, Coordinate *result,
                                       CoordConvStatusD *status) const {
    const double a = m_solution(0, 0), b = m_solution(1, 0);
    const double X = source.GetX(), Y = source.GetY();
    *result = Coordinate(a * X + b * Y + m_solution(2, 0), -b * X + a * Y + m_solution(3, 0),
                         source.GetH(), source.IsHUsed(), 0.0, false);
    *status = CrdCnvStatHelmert;
    return true;
}

double CoordConvHelmert::GetTransParaX() const { return m_solution(2, 0); }
double CoordConvHelmert::GetTransParaY() const { return m_solution(3, 0); }
double CoordConvHelmert::GetRotationAngle() const { return RadToSec(m_solution(1, 0)); }
double CoordConvHelmert::GetScaleFactor() const { return m_solution(0, 0); }

void CoordConvHelmert::paramItems(std::vector<ParamItem> *items) const {
    items->emplace_back("x方向並進", "  ", format("%15.6lf m", GetTransParaX()));
    items->emplace_back("y方向並進", "  ", format("%15.6lf m", GetTransParaY()));
    items->emplace_back("スケール", "    ", format("%15.9lf", GetScaleFactor()));
    items->emplace_back("回転", "        ", format("%10.4lf 秒", GetRotationAngle()));
}

CoordConvHelmert2::CoordConvHelmert2(const PointTable &points, Veltrane *db, CalcMode mode,
                                     unsigned block)
    : CoordConvHelmert2(points, db, mode, block, 0) {}

CoordConvHelmert2::CoordConvHelmert2(const PointTable &points, Veltrane *db, CalcMode mode,
                                     unsigned block, unsigned flags)
    : CoordConvHelmert(points, db, mode, block), CentroidReduction(flags) {}

bool CoordConvHelmert2::Calculation(const CoordCnvOption &option) {
    return fitReduced(option, true);
}

bool CoordConvHelmert2::fitReduced(const CoordCnvOption &option, bool forceAdjustOption) {
    if (!beginCalculation(option))
        return false;
    if (forceAdjustOption)
        modifyCoordCnvOption();
    m_nFlag = static_cast<unsigned>(m_option.m_nFlag);
    for (int i = 0; i < 4; ++i)
        m_solution(i, 0) = 0.0;
    m_centroids = clc_jyusin();
    calcMeans(m_option, m_pDataBase);
    const double f = calcCorrect();
    const bool scaled = GetCalcKind() == 2;
    double Sx = 0.0, Sy = 0.0, Sex = 0.0, Sey = 0.0, Q = 0.0, A = 0.0, B = 0.0;
    for (const Point *p : basisTable()) {
        const Coordinate src = getSrcDatum(p);
        const Coordinate dst = getDstDatum(p);
        double dx = src.GetX() - m_centroids.srcX;
        double dy = src.GetY() - m_centroids.srcY;
        if (scaled) {
            dx *= f;
            dy *= f;
        }
        const double ex = dst.GetX() - m_centroids.dstX;
        const double ey = dst.GetY() - m_centroids.dstY;
        Sx += dx;
        Sy += dy;
        Sex += ex;
        Sey += ey;
        Q += dx * dx + dy * dy;
        A += ex * dx + ey * dy;
        B += ex * dy - ey * dx;
    }
    if (Q != 0.0) {
        const double m = basisTable().size();
        const double D = Sy * Sy + Sx * Sx - Q * m;
        const double b = (Sy * Sex - Sx * Sey - m * B) / D;
        const double a = (Sy * Sey + Sx * Sex - m * A) / D;
        m_solution(0, 0) = a;
        m_solution(1, 0) = b;
        m_solution(2, 0) = (Sex - Sx * a + Sy * b) / m;
        m_solution(3, 0) = (Sey - Sy * a + Sx * b) / m;
    }
    if (!usableScale(m_solution(0, 0), m_solution(1, 0)))
        return false;
    finishCalculation();
    return true;
}

double CoordConvHelmert2::scale() const {
    const double a = m_solution(0, 0), b = m_solution(1, 0);
    return std::sqrt(a * a + b * b);
}

bool CoordConvHelmert2::calcJGD2000_sub(const Coordinate &source, Coordinate *result,
                                        CoordConvStatusD *status) const {
    const double a = m_solution(0, 0), b = m_solution(1, 0);
    const double dx = source.GetX() - m_centroids.srcX;
    const double dy = source.GetY() - m_centroids.srcY;
    double u = a * dx + b * dy;
    double v = a * dy - b * dx;
    const int k = GetCalcKind();
    if (k == 2) {
        const double f = calcCorrect(), r = scale();
        u = f * u / r;
        v = f * v / r;
    } else if (k != 0) {
        const double r = scale();
        u /= r;
        v /= r;
    }
    *result = Coordinate(m_centroids.dstX + u, m_centroids.dstY + v, source.GetH(),
                         source.IsHUsed(), 0.0, false);
    *status = CrdCnvStatHelmert;
    return true;
}

double CoordConvHelmert2::transX(double g, double h) const {
    const double a = m_solution(0, 0), b = m_solution(1, 0);
    return m_centroids.dstX - (b * m_centroids.srcY + a * m_centroids.srcX) * g / h;
}

double CoordConvHelmert2::transY(double g, double h) const {
    const double a = m_solution(0, 0), b = m_solution(1, 0);
    return m_centroids.dstY + (b * m_centroids.srcX - a * m_centroids.srcY) * g / h;
}

double CoordConvHelmert2::GetTransParaX() const {
    const int k = GetCalcKind();
    if (k == 2)
        return transX(calcCorrect(), scale());
    return k == 1 ? transX(1.0, scale()) : transX(1.0, 1.0);
}

double CoordConvHelmert2::GetTransParaY() const {
    const int k = GetCalcKind();
    if (k == 2)
        return transY(calcCorrect(), scale());
    return k == 1 ? transY(1.0, scale()) : transY(1.0, 1.0);
}

double CoordConvHelmert2::GetRotationAngle() const {
    const double a = m_solution(0, 0), b = m_solution(1, 0);
    if (a == 0.0)
        return RadToSec(b > 0.0 ? std::numbers::pi / 2 : -std::numbers::pi / 2);
    return RadToSec(std::atan2(b, a));
}

double CoordConvHelmert2::GetScaleFactor() const {
    const int k = GetCalcKind();
    return k == 1 || k == 2 ? 1.0 : scale();
}

void CoordConvHelmert2::paramItems(std::vector<ParamItem> *items) const {
    items->emplace_back("x方向並進", "      ", format("%15.6lf m", GetTransParaX()));
    items->emplace_back("y方向並進", "      ", format("%15.6lf m", GetTransParaY()));
    items->push_back(rotationItem("回転", "           ", "                ", GetRotationAngle()));
    appendMeanItems(items, *this);
}

CoordConvHelmert3::CoordConvHelmert3(const PointTable &points, Veltrane *db, CalcMode mode,
                                     unsigned block)
    : CoordConvHelmert2(points, db, mode, block, 2) {}

bool CoordConvHelmert3::Calculation(const CoordCnvOption &option) {
    return fitReduced(option, false);
}

bool CoordConvHelmert3::calcJGD2000_sub(const Coordinate &source, Coordinate *result,
                                        CoordConvStatusD *status) const {
    const double a = m_solution(0, 0), b = m_solution(1, 0);
    const double dx = source.GetX() - m_centroids.srcX;
    const double dy = source.GetY() - m_centroids.srcY;
    const double q = GetCalcKind() == 2 ? calcCorrect() : 1.0;
    *result = Coordinate(m_centroids.dstX + q * (a * dx + b * dy),
                         m_centroids.dstY + q * (a * dy - b * dx), source.GetH(), source.IsHUsed(),
                         0.0, false);
    *status = CrdCnvStatHelmert;
    return true;
}

double CoordConvHelmert3::GetTransParaX() const { return transX(appliedScale(), 1.0); }
double CoordConvHelmert3::GetTransParaY() const { return transY(appliedScale(), 1.0); }
double CoordConvHelmert3::GetScaleFactor() const { return scale(); }

void CoordConvHelmert3::paramItems(std::vector<ParamItem> *items) const {
    items->emplace_back("x方向並進", "      ", format("%15.6lf m", GetTransParaX()));
    items->emplace_back("y方向並進", "      ", format("%15.6lf m", GetTransParaY()));
    items->emplace_back("スケール", "       ", format("%15.9lf", GetScaleFactor()));
    items->push_back(rotationItem("回転", "           ", "                ", GetRotationAngle()));
    appendMeanItems(items, *this);
}
