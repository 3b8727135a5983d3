#include "veltrane/conversion/CoordConvParaTrans.h"

CoordConvParaTrans::CoordConvParaTrans(const PointTable &points, Veltrane *db, CalcMode mode,
                                       unsigned block)
    : CoordConvParam(points, db, mode, block) {}

bool CoordConvParaTrans::Calculation(const CoordCnvOption &option) {
    if (!beginCalculation(option))
        return false;
    double sx = 0.0, sy = 0.0;
    for (const Point *p : basisTable()) {
        const Coordinate src = getSrcDatum(p);
        const Coordinate dst = getDstDatum(p);
        sx += dst.GetX() - src.GetX();
        sy += dst.GetY() - src.GetY();
    }
    const double n = basisTable().size();
    m_dTransX = sx / n;
    m_dTransY = sy / n;
    finishCalculation();
    return true;
}

bool CoordConvParaTrans::CalcJGD2000(Point *p) { return convertPoint(p, false); }

bool CoordConvParaTrans::calcJGD2000_sub(const Coordinate &source, Coordinate *result,
                                         CoordConvStatusD *status) const {
    *result = Coordinate(source.GetX() + m_dTransX, source.GetY() + m_dTransY, source.GetH(),
                         source.IsHUsed(), 0.0, false);
    *status = CrdCnvStatParaTrans;
    return true;
}

void CoordConvParaTrans::paramItems(std::vector<ParamItem> *items) const {
    items->emplace_back("x方向並進", "  ", format("%15.6lf m", GetTransParaX()));
    items->emplace_back("y方向並進", "  ", format("%15.6lf m", GetTransParaY()));
}

CoordConvParaTrans2::CoordConvParaTrans2(const PointTable &points, Veltrane *db, CalcMode mode,
                                         unsigned block)
    : CoordConvParam(points, db, mode, block), CentroidReduction(2) {}

bool CoordConvParaTrans2::Calculation(const CoordCnvOption &option) {
    if (!beginCalculation(option))
        return false;
    m_nFlag = static_cast<unsigned>(m_option.m_nFlag);
    calcMeans(m_option, m_pDataBase);
    m_centroids = clc_jyusin();
    finishCalculation();
    return true;
}

bool CoordConvParaTrans2::CalcJGD2000(Point *p) { return convertPoint(p, true); }

bool CoordConvParaTrans2::calcJGD2000_sub(const Coordinate &source, Coordinate *result,
                                          CoordConvStatusD *status) const {
    const double f = appliedScale();
    const double dx = (source.GetX() - m_centroids.srcX) * f;
    const double dy = (source.GetY() - m_centroids.srcY) * f;
    *result = Coordinate(m_centroids.dstX + dx, m_centroids.dstY + dy, source.GetH(),
                         source.IsHUsed(), 0.0, false);
    *status = CrdCnvStatParaTrans;
    return true;
}

double CoordConvParaTrans2::GetTransParaX() const {
    return m_centroids.dstX - m_centroids.srcX * appliedScale();
}

double CoordConvParaTrans2::GetTransParaY() const {
    return m_centroids.dstY - m_centroids.srcY * appliedScale();
}

void CoordConvParaTrans2::paramItems(std::vector<ParamItem> *items) const {
    items->emplace_back("x方向並進", "      ", format("%15.6lf m", GetTransParaX()));
    items->emplace_back("y方向並進", "      ", format("%15.6lf m", GetTransParaY()));
    appendMeanItems(items, *this);
}
