#include "veltrane/conversion/CoordConvAffine.h"

#include "kernels/Lunmarg/LUMethod.h"

#include <cmath>
#include <numbers>

namespace {

// atan2(y, x) in arc seconds; on the vertical axis (x = 0) +90 degrees for y > 0, else -90.
double axisAngle(double y, double x) {
    if (x == 0.0)
        return CoordConvParam::RadToSec(y > 0.0 ? std::numbers::pi / 2 : -std::numbers::pi / 2);
    return CoordConvParam::RadToSec(std::atan2(y, x));
}

} // namespace

CoordConvAffine::CoordConvAffine(const PointTable &points, Veltrane *db, CalcMode mode,
                                 unsigned block)
    : CoordConvParam(points, db, mode, block) {}

bool CoordConvAffine::Calculation(const CoordCnvOption &option) {
    if (!beginCalculation(option))
        return false;
    std::vector<PointPair> pairs;
    for (const Point *p : basisTable()) {
        const Coordinate src = getTokyoDatum(p);
        const Coordinate dst = p->GetObservedITRF();
        pairs.push_back({src.GetX(), src.GetY(), dst.GetX(), dst.GetY()});
    }
    if (!solve(pairs))
        return false;
    finishCalculation();
    return true;
}

bool CoordConvAffine::solve(const std::vector<PointPair> &pairs) {
    for (int i = 0; i < 6; ++i)
        m_solution(i, 0) = 0.0;
    TMatrix<double> N(6, 6, 0.0);
    TMatrix<double> rhs(6, 1, 0.0);
    for (const PointPair &pair : pairs) {
        const double X = pair.x, Y = pair.y;
        N(0, 0) += X * X;
        N(1, 1) += X * X;
        N(2, 2) += Y * Y;
        N(3, 3) += Y * Y;
        N(0, 2) += X * Y;
        N(2, 0) += X * Y;
        N(1, 3) += X * Y;
        N(3, 1) += X * Y;
        N(0, 4) += X;
        N(4, 0) += X;
        N(1, 5) += X;
        N(5, 1) += X;
        N(2, 4) += Y;
        N(4, 2) += Y;
        N(3, 5) += Y;
        N(5, 3) += Y;
        rhs(0, 0) += pair.xd * X;
        rhs(1, 0) += pair.yd * X;
        rhs(2, 0) += pair.xd * Y;
        rhs(3, 0) += pair.yd * Y;
        rhs(4, 0) += pair.xd;
        rhs(5, 0) += pair.yd;
    }
    const double n = pairs.size();
    N(4, 4) += n;
    N(5, 5) += n;
    const LUMethod lu;
    TMatrix<double> pivots(6, 1, 0.0);
    int parity = 0;
    if (lu.LUDecompInPlace(N, pivots, &parity) != LU_SUCCESS)
        return false;
    lu.LUBackSubst(N, pivots, rhs);
    for (int i = 0; i < 6; ++i)
        m_solution(i, 0) = rhs(i, 0);
    const double det = m_solution(0, 0) * m_solution(3, 0) - m_solution(1, 0) * m_solution(2, 0);
    // Also refuses a mirrored fit (negative determinant) and one that is not finite.
    return std::isfinite(det) && det >= m_tiny;
}

bool CoordConvAffine::CalcJGD2000(Point *p) { return convertPoint(p, false); }

bool CoordConvAffine::calcJGD2000_sub(const Coordinate &source, Coordinate *result,
                                      CoordConvStatusD *status) const {
    const double X = source.GetX(), Y = source.GetY();
    *result = Coordinate(m_solution(0, 0) * X + m_solution(2, 0) * Y + m_solution(4, 0),
                         m_solution(1, 0) * X + m_solution(3, 0) * Y + m_solution(5, 0),
                         source.GetH(), source.IsHUsed(), 0.0, false);
    *status = CrdCnvStatAffine;
    return true;
}

void CoordConvAffine::paramItems(std::vector<ParamItem> *items) const {
    items->emplace_back("x方向並進", "  ", format("%15.6lf m", GetTransParaX()));
    items->emplace_back("y方向並進", "  ", format("%15.6lf m", GetTransParaY()));
    items->emplace_back("x軸スケール", " ", format("%15.9lf", GetScaleFactorX()));
    items->emplace_back("y軸スケール", " ", format("%15.9lf", GetScaleFactorY()));
    items->emplace_back("x軸回転", "     ", format("%10.4lf 秒", GetRotationAngleX()));
    items->emplace_back("y軸回転", "     ", format("%10.4lf 秒", GetRotationAngleY()));
}

CoordConvAffine2::CoordConvAffine2(const PointTable &points, Veltrane *db, CalcMode mode,
                                   unsigned block)
    : CoordConvAffine(points, db, mode, block), CentroidReduction(2) {}

bool CoordConvAffine2::Calculation(const CoordCnvOption &option) {
    if (!beginCalculation(option))
        return false;
    m_nFlag = static_cast<unsigned>(m_option.m_nFlag);
    calcMeans(m_option, m_pDataBase);
    const double f = appliedScale();
    m_centroids = clc_jyusin();
    std::vector<PointPair> pairs;
    for (const Point *p : basisTable()) {
        const Coordinate src = getSrcDatum(p);
        const Coordinate dst = getDstDatum(p);
        pairs.push_back({(src.GetX() - m_centroids.srcX) * f, (src.GetY() - m_centroids.srcY) * f,
                         dst.GetX() - m_centroids.dstX, dst.GetY() - m_centroids.dstY});
    }
    if (!solve(pairs))
        return false;
    finishCalculation();
    return true;
}

bool CoordConvAffine2::CalcJGD2000(Point *p) { return convertPoint(p, true); }

bool CoordConvAffine2::calcJGD2000_sub(const Coordinate &source, Coordinate *result,
                                       CoordConvStatusD *status) const {
    const double dx = source.GetX() - m_centroids.srcX;
    const double dy = source.GetY() - m_centroids.srcY;
    const double u = m_solution(0, 0) * dx + m_solution(2, 0) * dy;
    const double v = m_solution(1, 0) * dx + m_solution(3, 0) * dy;
    const double f = appliedScale();
    *result = Coordinate(m_centroids.dstX + f * u, m_centroids.dstY + f * v, source.GetH(),
                         source.IsHUsed(), 0.0, false);
    *status = CrdCnvStatAffine;
    return true;
}

double CoordConvAffine2::GetTransParaX() const {
    return m_centroids.dstX - appliedScale() * (m_solution(2, 0) * m_centroids.srcY +
                                                m_solution(0, 0) * m_centroids.srcX);
}

double CoordConvAffine2::GetTransParaY() const {
    return m_centroids.dstY - appliedScale() * (m_solution(3, 0) * m_centroids.srcY +
                                                m_solution(1, 0) * m_centroids.srcX);
}

double CoordConvAffine2::GetScaleFactorX() const {
    return std::sqrt(m_solution(0, 0) * m_solution(0, 0) + m_solution(1, 0) * m_solution(1, 0));
}

double CoordConvAffine2::GetScaleFactorY() const {
    return std::sqrt(m_solution(2, 0) * m_solution(2, 0) + m_solution(3, 0) * m_solution(3, 0));
}

double CoordConvAffine2::GetRotationAngleX() const {
    return axisAngle(-m_solution(1, 0), m_solution(0, 0));
}

double CoordConvAffine2::GetRotationAngleY() const {
    return axisAngle(m_solution(2, 0), m_solution(3, 0));
}

void CoordConvAffine2::paramItems(std::vector<ParamItem> *items) const {
    items->emplace_back("x方向並進", "      ", format("%15.6lf m", GetTransParaX()));
    items->emplace_back("y方向並進", "      ", format("%15.6lf m", GetTransParaY()));
    items->emplace_back("x軸スケール", "    ", format("%15.9lf", GetScaleFactorX()));
    items->emplace_back("y軸スケール", "    ", format("%15.9lf", GetScaleFactorY()));
    items->push_back(rotationItem("x軸回転", "        ", "             ", GetRotationAngleX()));
    items->push_back(rotationItem("y軸回転", "        ", "             ", GetRotationAngleY()));
    appendMeanItems(items, *this);
}
