#pragma once

#include "kernels/Lunmarg/TMatrix.h"
#include "veltrane/conversion/CoordConvParam.h"

// Kind 3: the six-parameter map X' = a0 X + a2 Y + tX, Y' = a1 X + a3 Y + tY, fitted from the
// Tokyo-datum to the observed new coordinates whatever the calculation mode. A mirrored fit
// (determinant below 1e-20) is refused.
class CoordConvAffine : public CoordConvParam {
  public:
    CoordConvAffine(const PointTable &points, Veltrane *db, CalcMode mode, unsigned block);

    using CoordConvParam::CalcJGD2000;
    bool Calculation(const CoordCnvOption &option) override;
    bool CalcJGD2000(Point *p) override;
    double GetAICParam() const override { return CalcAICParam(GetUnknownQuantity()); }
    int GetMinPosNum() const override { return 3; }
    CoordCnvKind GetType() const override { return CrdCnvAffine; }

    double GetTransParaX() const { return m_solution(4, 0); }
    double GetTransParaY() const { return m_solution(5, 0); }
    // a1 and a2 in arc seconds.
    double GetRotationAngleX() const { return RadToSec(m_solution(1, 0)); }
    double GetRotationAngleY() const { return RadToSec(m_solution(2, 0)); }
    double GetScaleFactorX() const { return m_solution(0, 0); }
    double GetScaleFactorY() const { return m_solution(3, 0); }
    static int GetUnknownQuantity() { return 6; }

  protected:
    // A source position and its destination, as the fit takes them.
    struct PointPair {
        double x;
        double y;
        double xd;
        double yd;
    };
    // Fits the solution to the pairs by the normal equations; false when they are singular or
    // the determinant a0 a3 - a1 a2 is below 1e-20.
    bool solve(const std::vector<PointPair> &pairs);
    bool calcJGD2000_sub(const Coordinate &source, Coordinate *result,
                         CoordConvStatusD *status) const override;
    void paramItems(std::vector<ParamItem> *items) const override;

    // a0, a1, a2, a3 and the two translations (remainders in the centroid-reduced form).
    TMatrix<double> m_solution{6, 1, 0.0};
};

// Kind 7: the affine map fitted on centroid-reduced coordinates, with the correction factor
// applied to the reduced sources when the calculation kind is 2.
class CoordConvAffine2 : public CoordConvAffine, public CentroidReduction {
  public:
    CoordConvAffine2(const PointTable &points, Veltrane *db, CalcMode mode, unsigned block);

    bool Calculation(const CoordCnvOption &option) override;
    bool CalcJGD2000(Point *p) override;
    CoordCnvKind GetType() const override { return CrdCnvAffine2; }

    double GetTransParaX() const;
    double GetTransParaY() const;
    // The angles of the images of the x and y axes, in arc seconds.
    double GetRotationAngleX() const;
    double GetRotationAngleY() const;
    // The lengths of the images of the x and y axes.
    double GetScaleFactorX() const;
    double GetScaleFactorY() const;

  protected:
    bool calcJGD2000_sub(const Coordinate &source, Coordinate *result,
                         CoordConvStatusD *status) const override;
    void paramItems(std::vector<ParamItem> *items) const override;
};
