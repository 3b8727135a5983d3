#pragma once

#include "kernels/Lunmarg/TMatrix.h"
#include "veltrane/conversion/CoordConvParam.h"

// Kind 1: the small-rotation similarity X' = X + t Y + tX, Y' = Y - t X + tY.
class CoordConvSimilar : public CoordConvParam {
  public:
    CoordConvSimilar(const PointTable &points, Veltrane *db, CalcMode mode, unsigned block);

    using CoordConvParam::CalcJGD2000;
    bool Calculation(const CoordCnvOption &option) override;
    bool CalcJGD2000(Point *p) override;
    double GetAICParam() const override { return CalcAICParam(GetUnknownQuantity()); }
    int GetMinPosNum() const override { return 2; }
    CoordCnvKind GetType() const override { return CrdCnvSimilar; }

    double GetTransParaX() const { return m_solution(1, 0); }
    double GetTransParaY() const { return m_solution(2, 0); }
    // The rotation in arc seconds.
    double GetRotationAngle() const { return RadToSec(m_solution(0, 0)); }
    static int GetUnknownQuantity() { return 3; }

  protected:
    bool calcJGD2000_sub(const Coordinate &source, Coordinate *result,
                         CoordConvStatusD *status) const override;
    void paramItems(std::vector<ParamItem> *items) const override;

  private:
    // The rotation (radians, small-angle form) and the two translations.
    TMatrix<double> m_solution{3, 1, 0.0};
};
