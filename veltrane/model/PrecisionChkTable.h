#pragma once

#include "exchange/Dorrimet/CoordConvEnums.h"
#include "veltrane/model/PointTable.h"

class CArchive;

// The points on which one kind of precision is judged for one block: each point's residual (the
// difference of two of its coordinate sets, chosen by the check kind) against limits in
// millimetres, with counts, extremes, averages and standard deviations of the residuals.
class PrecisionChkTable : public PointTable {
  public:
    // Residual limits in millimetres, shared by all tables: plane and height, for the basis
    // kinds (0 and 5) and the check kind (1).
    static int m_nResLmtBasis;
    static int m_nResLmtBasisHgt;
    static int m_nResLmtCheck;
    static int m_nResLmtCheckHgt;

    PrecisionChkTable();
    PrecisionChkTable(const PrecisionChkTable &other) = default;
    PrecisionChkTable &operator=(const PrecisionChkTable &other) = default;
    PrecisionChkTable(PrecisionChkTable &&other) = default;
    PrecisionChkTable &operator=(PrecisionChkTable &&other) = default;
    ~PrecisionChkTable() override;

    void Initialize(PRECISION_CHECK_ID kind, unsigned block);
    void SetPrecChkKind(PRECISION_CHECK_ID kind) { m_kind = kind; }
    PRECISION_CHECK_ID GetPrecChkKind() const { return m_kind; }

    int GetResidualLimitByMM() const;
    int GetResidualLimitByMM_H() const;
    void SetResidualLimitByMM(int mm);
    void SetResidualLimitByMM_H(int mm);
    double GetResidualLimit() const { return GetResidualLimitByMM() / 1000.0; }
    double GetResidualLimit_H() const { return GetResidualLimitByMM_H() / 1000.0; }

    double GetResidualX(const Point *p) const;
    double GetResidualY(const Point *p) const;
    double GetResidualH(const Point *p) const;
    double GetResidualFromDiffAveX(const Point *p) const;
    double GetResidualFromDiffAveY(const Point *p) const;
    double GetResidualFromDiffAveS(const Point *p) const;
    double GetDiffAverageX() const { return m_aveX; }
    double GetDiffAverageY() const { return m_aveY; }
    double GetDiffAverageS() const { return m_aveS; }

    // A point not listed passes; a residual that is not a finite number fails. twoDim non-zero
    // tests the plane distance instead of X and Y one by one.
    bool CheckPrecXIsInLimit(const Point *p) const;
    bool CheckPrecYIsInLimit(const Point *p) const;
    bool CheckPrecHIsInLimit(const Point *p) const;
    bool CheckPrecIsInLimit(const Point *p, int twoDim) const;
    bool CheckPrecIsInLimitAll(const Point *p, int twoDim) const;
    unsigned GetOutOfLimitSize(int twoDim) const;
    double GetOutOfLimitRatio(int twoDim) const;

    bool GetPrecMinMax(double *minX, double *minY, double *maxX, double *maxY) const;
    // The point with the largest residual vector; null for an empty table or all-zero residuals.
    const Point *GetPrecVectMax(double *x, double *y) const;
    void CalcAverage();

    // Standard deviations of the residuals for a fit of paramCount parameters. False, with all
    // three 0, when the table holds too few points for that many parameters.
    bool GetStdDev(int paramCount, double *sx, double *sy, double *sxy) const;
    bool GetStdDev(CoordCnvKind kind, double *sx, double *sy, double *sxy) const;
    // sxy, sx, sy with the decimals given; empty when they cannot be computed.
    CString GetStdDevString(CoordCnvKind kind, int decimals) const;
    bool GetStdDevFromDiffAve(double *sx, double *sy, double *sxy) const;
    // The number of parameters a method fits, as the deviations of this check kind count them.
    int GetParamCount(CoordCnvKind kind) const;

    // Project-file records: the plane limit (Write/Read), the plane and height limits
    // (Write2/Read2).
    bool Write(CArchive &ar) const;
    bool Read(CArchive &ar);
    bool Write2(CArchive &ar) const;
    bool Read2(CArchive &ar);

  private:
    CoordDiff residual(const Point *p) const { return p->GetCoordDiff(m_kind, GetBlockNo()); }

    double m_aveX = 0.0;
    double m_aveY = 0.0;
    double m_aveS = 0.0;
    bool m_flag = false;
    PRECISION_CHECK_ID m_kind = PrecChkNone;
};
