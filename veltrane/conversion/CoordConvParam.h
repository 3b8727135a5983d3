#pragma once

#include "exchange/Dorrimet/ICoordTransformer.h"
#include "kernels/Lunmarg/TMatrix.h"
#include "veltrane/conversion/CentroidReduction.h"
#include "veltrane/conversion/CoordCnvOption.h"
#include "veltrane/conversion/ResPrtLine.h"
#include "veltrane/model/PrecisionChkTable.h"

#include <memory>
#include <vector>

class JIProgMsgBase;
class Veltrane;

// The base of the fitted conversion engines. It owns private copies of the basis points chosen
// at construction and the residuals of the last fit; it converts points and coordinates with the
// engine's model and, when the option asks for it, spreads the basis residuals over the converted
// points by inverse-distance weights (1 / d, d not below 0.0001 m).
//
// An engine converts nothing until a fit has succeeded: Transform, both CalcJGD2000 and the
// residual interpolation answer false before. Engines own their basis copies and cannot be copied.
class CoordConvParam : public ICoordTransformer {
  public:
    // 0 fits Tokyo-datum coordinates to observed new ones; 1 (adjust) fits the new coordinates
    // already obtained to known JGD2000 coordinates.
    enum CalcMode : int {
        CalcModeNormal = 0,
        CalcModeAdjust = 1,
    };
    // What the text report holds beside the parameters.
    enum PrmStrFlags : int {
        PrmStrBlock = 1, // the block line (blocks other than the whole area)
        PrmStrNotes = 2, // the notes on the datum shift and the interpolation
    };

    // Singularity threshold of the Helmert and affine fits.
    static const double m_tiny;

    CoordConvParam(const PointTable &points, Veltrane *db, CalcMode mode, unsigned block);
    CoordConvParam(const CoordConvParam &) = delete;
    CoordConvParam &operator=(const CoordConvParam &) = delete;
    ~CoordConvParam() override;

    // Kind 2 (the second Helmert in the land-surveyor mode, else the first), 7, 8 and 9; null for
    // any other kind or without a table. The caller owns the engine.
    static CoordConvParam *CreateCrdCnvPrmObj(CoordCnvKind kind, Veltrane *db, PointTable *points,
                                              CalcMode mode, unsigned block);

    // The model (after the datum shift when the option asks for it) and, with the interpolation
    // switch, the spread residuals. Only X, Y, H and the height flag of *to are written when the
    // residuals are spread; the result is always marked valid.
    bool Transform(const Coordinate &from, Coordinate *to, CoordConvStatusD *status) const override;
    // No engine inverts: false, nothing changed.
    bool ReverseTransform(const Coordinate &from, Coordinate *to,
                          CoordConvStatusD *status) const override;

    // Fits the model to the basis copies; false (not fitted) with too few of them or a
    // degenerate model.
    virtual bool Calculation(const CoordCnvOption &option) = 0;
    // Converts one stored point from its source coordinate.
    virtual bool CalcJGD2000(Point *p) = 0;
    // Converts every point of the table whose use-for-calculation flag is set, then spreads the
    // residuals unless skipInterp or the option says not to. False when the engine is not fitted
    // or the user cancels (the points converted so far keep their results).
    virtual bool CalcJGD2000(PointTable *table, JIProgMsgBase *progress, bool skipInterp);
    virtual double GetAICParam() const = 0;
    // The least number of basis points the model needs.
    virtual int GetMinPosNum() const = 0;
    // The parameter report as label and value cells; false when not fitted.
    virtual bool GetParamStrings(std::vector<ResPrtLine> *lines, const Veltrane *db) const;
    // The parameter report as text lines, with the notes when flags ask for them; false when not
    // fitted.
    virtual bool GetParamStrings(std::vector<CString> *lines, const Veltrane *db,
                                 PrmStrFlags flags) const;
    virtual CoordCnvKind GetType() const = 0;
    // The residual interpolation of the table's points through one weight matrix.
    virtual bool CalcJGD2000LSC_Old(PointTable *table);
    // Writes into *result X, Y = trend corrected by the spread residuals at source, and H and
    // the height flag of source. False when not fitted or when the weights do not sum to a
    // positive number.
    virtual bool CalcJGD2000LSC(const Coordinate &source, const Coordinate &trend,
                                Coordinate *result) const;
    // Spreads the residuals over the points of the table that are not basis points.
    virtual bool CalcJGD2000LSC(PointTable *table);

    const PrecisionChkTable &GetPrecChkTable() const { return m_resTable; }
    bool IsCalced() const { return m_fCalced; }
    CalcMode GetCalcMode() const { return m_calcMode; }
    void SetCalcMode(CalcMode mode) { m_calcMode = mode; }
    CoordCnvOption GetCoordCnvOption() const { return m_option; }

    // Radians to arc seconds.
    static double RadToSec(double r);

  protected:
    // One parameter of the report: the text line is label, gap and text; the cell form holds
    // label and cell.
    struct ParamItem {
        ParamItem(const CString &label, const char *gap, const CString &text)
            : label(label), gap(gap), text(text), cell(text) {}
        ParamItem(const CString &label, const char *gap, const CString &text, const CString &cell)
            : label(label), gap(gap), text(text), cell(cell) {}
        CString label;
        CString gap;
        CString text;
        CString cell;
    };

    // Chooses the basis copies from the table.
    void init(const PointTable &points);
    const PointTable &basisTable() const { return m_basisTable; }

    Coordinate getTokyoDatum(const Point *p) const;
    Coordinate getSrcDatum(const Point *p) const;
    Coordinate getDstDatum(const Point *p) const;
    // In adjust mode: unit scale, no datum shift, no heights, flag word 1.
    void modifyCoordCnvOption();
    // The Tokyo-datum plane coordinate moved by the three-parameter shift into the new datum's
    // zone: X, Y, H and the height flag of *out. Without both zones, or when the shift cannot be
    // computed, *out becomes a copy of in and the answer is false.
    bool convSysTrans(const Coordinate &in, Coordinate *out) const;
    bool convSysTransRvs(const Coordinate &in, Coordinate *out) const;

    // The start of every fit: not fitted; false with too few basis copies; the option copied.
    bool beginCalculation(const CoordCnvOption &option);
    // The end of a successful fit: fitted, the basis copies converted without the
    // interpolation, the residual table built.
    void finishCalculation();
    void setCalced(bool calced) { m_fCalced = calced; }
    // The progress object of the running table operation (null for none).
    JIProgMsgBase *progress() const { return m_pProgress; }
    void setProgress(JIProgMsgBase *progress) { m_pProgress = progress; }
    void CalcPrecChkTable();
    // 2n ln(x) + 2k + 2 with x the squared combined deviation in square millimetres; 0 for a
    // perfect fit.
    double CalcAICParam(int k) const;
    Centroids clc_jyusin() const;
    // The points of in that are not basis points and have their use-for-calculation flag.
    void getUnknownPointTbl(const PointTable *in, PointTable *out) const;
    // Inverse-distance weights between the Tokyo coordinates of the points and of the basis
    // copies, and their row sums. False when cancelled or when the matrix cannot be had.
    bool calcWeightParam(const PointTable &points, TMatrix<double> &weights,
                         std::vector<double> &sums) const;
    // 1 / d, with d below 0.0001 m counted as 0.0001 m.
    static double inverseDistanceWeight(double d) { return 1.0 / (d < 0.0001 ? 0.0001 : d); }

    // The model applied to a source coordinate: a new valid coordinate with the source's height.
    virtual bool calcJGD2000_sub(const Coordinate &source, Coordinate *result,
                                 CoordConvStatusD *status) const = 0;
    // Slot 4 of the engines: the model result of the point's source coordinate, stored as the
    // adjusted result in adjust mode when adjustable, else as the block's JGD2000 result.
    bool convertPoint(Point *p, bool adjustable);
    // The parameters of the report after the method line.
    virtual void paramItems(std::vector<ParamItem> *items) const = 0;
    // Whether the text report ends with the notes of the base.
    virtual bool hasNoteLines() const { return true; }
    static CString format(const char *format, double value);
    // A rotation in arc seconds: degrees, minutes and seconds from 60 seconds on.
    static ParamItem rotationItem(const char *label, const char *dmsGap, const char *secGap,
                                  double seconds);
    static void appendMeanItems(std::vector<ParamItem> *items, const CentroidReduction &means);

    Veltrane *m_pDataBase;
    CoordCnvOption m_option;
    unsigned m_nBlockNo;
    CalcMode m_calcMode;

  private:
    // A basis copy's source position and residual, as the interpolation reads them.
    struct ResidualNode {
        double x;
        double y;
        double rx;
        double ry;
    };

    // The block line (for a block, with a database and withBlock), the method line and the
    // engine's parameters.
    std::vector<ParamItem> reportItems(const Veltrane *db, bool withBlock) const;
    void interpolatePoint(Point *p) const;

    std::vector<std::unique_ptr<Point>> m_basisCopies;
    PointTable m_basisTable{true};
    PrecisionChkTable m_resTable;
    std::vector<ResidualNode> m_residualNodes;
    bool m_fCalced = false;
    JIProgMsgBase *m_pProgress = nullptr;
};
