#pragma once

#include "veltrane/conversion/CoordConvParam.h"

// Kind 0: the mean shift of the basis points.
class CoordConvParaTrans : public CoordConvParam {
  public:
    CoordConvParaTrans(const PointTable &points, Veltrane *db, CalcMode mode, unsigned block);

    using CoordConvParam::CalcJGD2000;
    bool Calculation(const CoordCnvOption &option) override;
    bool CalcJGD2000(Point *p) override;
    double GetAICParam() const override { return CalcAICParam(GetUnknownQuantity()); }
    int GetMinPosNum() const override { return 2; }
    CoordCnvKind GetType() const override { return CrdCnvParaTrans; }

    double GetTransParaX() const { return m_dTransX; }
    double GetTransParaY() const { return m_dTransY; }
    static int GetUnknownQuantity() { return 4; }

  protected:
    bool calcJGD2000_sub(const Coordinate &source, Coordinate *result,
                         CoordConvStatusD *status) const override;
    void paramItems(std::vector<ParamItem> *items) const override;

  private:
    double m_dTransX = 0.0;
    double m_dTransY = 0.0;
};

// Kind 9, the method the desktop program converts with: the shift between the centroids of the
// basis points' source and destination coordinates, the source reduced to its centroid scaled by
// the correction factor with calculation kind 2.
class CoordConvParaTrans2 : public CoordConvParam, public CentroidReduction {
  public:
    CoordConvParaTrans2(const PointTable &points, Veltrane *db, CalcMode mode, unsigned block);

    using CoordConvParam::CalcJGD2000;
    bool Calculation(const CoordCnvOption &option) override;
    bool CalcJGD2000(Point *p) override;
    double GetAICParam() const override { return CalcAICParam(GetUnknownQuantity()); }
    int GetMinPosNum() const override { return 1; }
    CoordCnvKind GetType() const override { return CrdCnvParaTrans2; }

    // The constant terms of X' = f X + (cXd - f cXs), f = 1 unless the calculation kind is 2.
    double GetTransParaX() const;
    double GetTransParaY() const;
    static int GetUnknownQuantity() { return 2; }

  protected:
    bool calcJGD2000_sub(const Coordinate &source, Coordinate *result,
                         CoordConvStatusD *status) const override;
    void paramItems(std::vector<ParamItem> *items) const override;
};
