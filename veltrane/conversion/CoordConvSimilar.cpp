#include "veltrane/conversion/CoordConvSimilar.h"

#include "kernels/Lunmarg/LUMethod.h"

CoordConvSimilar::CoordConvSimilar(const PointTable &points, Veltrane *db, CalcMode mode,
                                   unsigned block)
    : CoordConvParam(points, db, mode, block) {}

bool CoordConvSimilar::Calculation(const CoordCnvOption &option) {
    if (!beginCalculation(option))
        return false;
    TMatrix<double> N(3, 3, 0.0);
    TMatrix<double> rhs(3, 1, 0.0);
    for (const Point *p : basisTable()) {
        const Coordinate src = getSrcDatum(p);
        const Coordinate dst = getDstDatum(p);
        const double X = src.GetX(), Y = src.GetY();
        N(0, 0) += X * X + Y * Y;
        N(0, 1) += Y;
        N(0, 2) -= X;
        N(1, 0) += Y;
        N(2, 0) -= X;
        rhs(0, 0) += (dst.GetX() - X) * Y - X * (dst.GetY() - Y);
        rhs(1, 0) += dst.GetX() - X;
        rhs(2, 0) += dst.GetY() - Y;
    }
    const double n = basisTable().size();
    N(1, 1) = n;
    N(2, 2) = n;
    const LUMethod lu;
    TMatrix<double> pivots(3, 1, 0.0);
    int parity = 0;
    if (lu.LUDecompInPlace(N, pivots, &parity) != LU_SUCCESS)
        return false;
    lu.LUBackSubst(N, pivots, rhs);
    for (int i = 0; i < 3; ++i)
        m_solution(i, 0) = rhs(i, 0);
    finishCalculation();
    return true;
}

bool CoordConvSimilar::CalcJGD2000(Point *p) { return convertPoint(p, false); }

bool CoordConvSimilar::calcJGD2000_sub(const Coordinate &source, Coordinate *result,
                                       CoordConvStatusD *status) const {
    const double t = m_solution(0, 0);
    const double X = source.GetX(), Y = source.GetY();
    *result = Coordinate(X + t * Y + m_solution(1, 0), Y - t * X + m_solution(2, 0), source.GetH(),
                         source.IsHUsed(), 0.0, false);
    *status = CrdCnvStatSimilar;
    return true;
}

void CoordConvSimilar::paramItems(std::vector<ParamItem> *items) const {
    items->emplace_back("x方向並進", "  ", format("%15.6lf m", GetTransParaX()));
    items->emplace_back("y方向並進", "  ", format("%15.6lf m", GetTransParaY()));
    items->emplace_back("回転", "        ", format("%10.4lf 秒", GetRotationAngle()),
                        format("%15.9lf 秒", GetRotationAngle()));
}
