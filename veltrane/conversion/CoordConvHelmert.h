#pragma once

#include "kernels/Lunmarg/TMatrix.h"
#include "veltrane/conversion/CoordConvParam.h"

// Kind 2: the four-parameter conformal map X' = a X + b Y + tX, Y' = -b X + a Y + tY fitted by
// normal equations. It reports a as the scale and b (arc seconds) as the rotation.
class CoordConvHelmert : public CoordConvParam {
  public:
    CoordConvHelmert(const PointTable &points, Veltrane *db, CalcMode mode, unsigned block);

    using CoordConvParam::CalcJGD2000;
    bool Calculation(const CoordCnvOption &option) override;
    bool CalcJGD2000(Point *p) override;
    double GetAICParam() const override { return CalcAICParam(GetUnknownQuantity()); }
    int GetMinPosNum() const override { return 2; }
    CoordCnvKind GetType() const override { return CrdCnvHelmert; }

    virtual double GetTransParaX() const;
    virtual double GetTransParaY() const;
    virtual double GetRotationAngle() const;
    virtual double GetScaleFactor() const;
    static int GetUnknownQuantity() { return 4; }

  protected:
    bool calcJGD2000_sub(const Coordinate &source, Coordinate *result,
                         CoordConvStatusD *status) const override;
    void paramItems(std::vector<ParamItem> *items) const override;

    // a, b and the two translations (remainders in the centroid-reduced forms).
    TMatrix<double> m_solution{4, 1, 0.0};
};

// The land-surveyor form of kind 2: a rotation fitted on centroid-reduced coordinates, applied
// without scale (calculation kind 0), with unit scale (kind 1) or with the correction factor
// (kind 2). In adjust mode the option is forced to kind 1.
class CoordConvHelmert2 : public CoordConvHelmert, public CentroidReduction {
  public:
    CoordConvHelmert2(const PointTable &points, Veltrane *db, CalcMode mode, unsigned block);

    bool Calculation(const CoordCnvOption &option) override;
    double GetAICParam() const override { return CalcAICParam(GetUnknownQuantity()); }

    double GetTransParaX() const override;
    double GetTransParaY() const override;
    // atan2(b, a) in arc seconds.
    double GetRotationAngle() const override;
    // 1 with calculation kind 1 or 2, else sqrt(a^2 + b^2).
    double GetScaleFactor() const override;
    static int GetUnknownQuantity() { return 3; }

  protected:
    CoordConvHelmert2(const PointTable &points, Veltrane *db, CalcMode mode, unsigned block,
                      unsigned flags);
    // The centroid-reduced fit; pre-scales the sources by f with calculation kind 2.
    bool fitReduced(const CoordCnvOption &option, bool forceAdjustOption);
    double scale() const;
    bool calcJGD2000_sub(const Coordinate &source, Coordinate *result,
                         CoordConvStatusD *status) const override;
    void paramItems(std::vector<ParamItem> *items) const override;
    // The constant terms of the map with the rotated source scaled by g / h.
    double transX(double g, double h) const;
    double transY(double g, double h) const;
};

// Kind 8: rotation and scale fitted on centroid-reduced coordinates, optionally after
// pre-scaling the sources by the correction factor (calculation kind 2).
class CoordConvHelmert3 : public CoordConvHelmert2 {
  public:
    CoordConvHelmert3(const PointTable &points, Veltrane *db, CalcMode mode, unsigned block);

    bool Calculation(const CoordCnvOption &option) override;
    double GetAICParam() const override { return CalcAICParam(GetUnknownQuantity()); }
    CoordCnvKind GetType() const override { return CrdCnvHelmert3; }

    double GetTransParaX() const override;
    double GetTransParaY() const override;
    // sqrt(a^2 + b^2) whatever the calculation kind.
    double GetScaleFactor() const override;
    static int GetUnknownQuantity() { return 4; }

  protected:
    bool calcJGD2000_sub(const Coordinate &source, Coordinate *result,
                         CoordConvStatusD *status) const override;
    void paramItems(std::vector<ParamItem> *items) const override;
};
