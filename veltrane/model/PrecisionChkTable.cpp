#include "veltrane/model/PrecisionChkTable.h"

#include "platform/core/CArchive.h"

#include <cmath>

int PrecisionChkTable::m_nResLmtBasis = 50;
int PrecisionChkTable::m_nResLmtBasisHgt = 50;
int PrecisionChkTable::m_nResLmtCheck = 50;
int PrecisionChkTable::m_nResLmtCheckHgt = 50;

namespace {

bool isBasisKind(PRECISION_CHECK_ID k) { return k == PrecChkCnvPrec || k == PrecChkAdjCnvPrec; }

// |value| <= limit; NaN and infinity never pass.
bool inLimit(double value, double limit) {
    return std::isfinite(value) && std::fabs(value) <= limit;
}

} // namespace

PrecisionChkTable::PrecisionChkTable() : PointTable(true) { Initialize(PrecChkNone, 0); }

PrecisionChkTable::~PrecisionChkTable() = default;

void PrecisionChkTable::Initialize(PRECISION_CHECK_ID kind, unsigned block) {
    AllRemove();
    m_aveX = m_aveY = m_aveS = 0.0;
    m_flag = false;
    m_kind = kind;
    SetBlockNo(block);
}

int PrecisionChkTable::GetResidualLimitByMM() const {
    if (isBasisKind(m_kind))
        return m_nResLmtBasis;
    return m_kind == PrecChkChkObs ? m_nResLmtCheck : 0;
}

int PrecisionChkTable::GetResidualLimitByMM_H() const {
    if (isBasisKind(m_kind))
        return m_nResLmtBasisHgt;
    return m_kind == PrecChkChkObs ? m_nResLmtCheckHgt : 0;
}

void PrecisionChkTable::SetResidualLimitByMM(int mm) {
    if (isBasisKind(m_kind))
        m_nResLmtBasis = mm;
    else if (m_kind == PrecChkChkObs)
        m_nResLmtCheck = mm;
}

void PrecisionChkTable::SetResidualLimitByMM_H(int mm) {
    if (isBasisKind(m_kind))
        m_nResLmtBasisHgt = mm;
    else if (m_kind == PrecChkChkObs)
        m_nResLmtCheckHgt = mm;
}

double PrecisionChkTable::GetResidualX(const Point *p) const { return residual(p).GetDiffX(); }
double PrecisionChkTable::GetResidualY(const Point *p) const { return residual(p).GetDiffY(); }
double PrecisionChkTable::GetResidualH(const Point *p) const {
    return p->GetHgtDiff(m_kind, GetBlockNo());
}

double PrecisionChkTable::GetResidualFromDiffAveX(const Point *p) const {
    return GetResidualX(p) - m_aveX;
}
double PrecisionChkTable::GetResidualFromDiffAveY(const Point *p) const {
    return GetResidualY(p) - m_aveY;
}
double PrecisionChkTable::GetResidualFromDiffAveS(const Point *p) const {
    return residual(p).GetDiffS() - m_aveS;
}

bool PrecisionChkTable::CheckPrecXIsInLimit(const Point *p) const {
    return !IsIncluded(p) || inLimit(GetResidualX(p), GetResidualLimit());
}

bool PrecisionChkTable::CheckPrecYIsInLimit(const Point *p) const {
    return !IsIncluded(p) || inLimit(GetResidualY(p), GetResidualLimit());
}

bool PrecisionChkTable::CheckPrecHIsInLimit(const Point *p) const {
    return !IsIncluded(p) || inLimit(GetResidualH(p), GetResidualLimit_H());
}

bool PrecisionChkTable::CheckPrecIsInLimit(const Point *p, int twoDim) const {
    if (!IsIncluded(p))
        return true;
    const CoordDiff d = residual(p);
    if (twoDim == 0)
        return inLimit(d.GetDiffX(), GetResidualLimit()) &&
               inLimit(d.GetDiffY(), GetResidualLimit());
    return inLimit(std::sqrt(d.GetDiffX() * d.GetDiffX() + d.GetDiffY() * d.GetDiffY()),
                   GetResidualLimit());
}

bool PrecisionChkTable::CheckPrecIsInLimitAll(const Point *p, int twoDim) const {
    return CheckPrecIsInLimit(p, twoDim) && CheckPrecHIsInLimit(p);
}

unsigned PrecisionChkTable::GetOutOfLimitSize(int twoDim) const {
    unsigned n = 0;
    for (const Point *p : *this)
        if (!CheckPrecIsInLimit(p, twoDim))
            ++n;
    return n;
}

double PrecisionChkTable::GetOutOfLimitRatio(int twoDim) const {
    if (empty())
        return 0.0;
    return static_cast<double>(GetOutOfLimitSize(twoDim)) / size() * 100.0;
}

bool PrecisionChkTable::GetPrecMinMax(double *minX, double *minY, double *maxX,
                                      double *maxY) const {
    *minX = *minY = *maxX = *maxY = 0.0;
    if (empty())
        return false;
    bool first = true;
    for (const Point *p : *this) {
        const CoordDiff d = residual(p);
        const double x = d.GetDiffX(), y = d.GetDiffY();
        if (first) {
            *minX = *maxX = x;
            *minY = *maxY = y;
            first = false;
            continue;
        }
        *minX = std::fmin(*minX, x);
        *minY = std::fmin(*minY, y);
        *maxX = std::fmax(*maxX, x);
        *maxY = std::fmax(*maxY, y);
    }
    return true;
}

const Point *PrecisionChkTable::GetPrecVectMax(double *x, double *y) const {
    if (empty())
        return nullptr;
    const Point *best = nullptr;
    double largest = 0.0, bx = 0.0, by = 0.0;
    for (const Point *p : *this) {
        const CoordDiff d = residual(p);
        const double v = std::sqrt(d.GetDiffX() * d.GetDiffX() + d.GetDiffY() * d.GetDiffY());
        if (v > largest) {
            largest = v;
            best = p;
            bx = d.GetDiffX();
            by = d.GetDiffY();
        }
    }
    if (x)
        *x = bx;
    if (y)
        *y = by;
    return best;
}

void PrecisionChkTable::CalcAverage() {
    if (empty())
        return;
    double sx = 0.0, sy = 0.0, ss = 0.0;
    for (const Point *p : *this) {
        const CoordDiff d = residual(p);
        sx += d.GetDiffX();
        sy += d.GetDiffY();
        ss += d.GetDiffS();
    }
    m_aveX = sx / size();
    m_aveY = sy / size();
    m_aveS = ss / size();
}

bool PrecisionChkTable::GetStdDev(int k, double *sx, double *sy, double *sxy) const {
    *sx = *sy = *sxy = 0.0;
    const int n = static_cast<int>(size());
    if (k == 2 * n)
        return true; // an exact fit leaves no residual freedom
    // n - k/2 and 2n - k must be positive, or there is nothing to divide by.
    if (2 * n - k <= 0)
        return false;
    double SX = 0.0, SY = 0.0;
    for (const Point *p : *this) {
        const CoordDiff d = residual(p);
        SX += d.GetDiffX() * d.GetDiffX();
        SY += d.GetDiffY() * d.GetDiffY();
    }
    const double dof = n - k / 2.0;
    *sx = std::sqrt(SX / dof);
    *sy = std::sqrt(SY / dof);
    *sxy = std::sqrt((SX + SY) / (2.0 * n - k));
    return true;
}

int PrecisionChkTable::GetParamCount(CoordCnvKind kind) const {
    if (!isBasisKind(m_kind))
        return 0;
    switch (kind) {
    case CrdCnvParaTrans:
    case CrdCnvHelmert3:
        return 4;
    case CrdCnvSimilar:
    case CrdCnvHelmert:
        return 3;
    case CrdCnvAffine:
    case CrdCnvAffine2:
        return 6;
    case CrdCnvParaTrans2:
        return 2;
    default:
        return 0;
    }
}

bool PrecisionChkTable::GetStdDev(CoordCnvKind kind, double *sx, double *sy, double *sxy) const {
    return GetStdDev(GetParamCount(kind), sx, sy, sxy);
}

CString PrecisionChkTable::GetStdDevString(CoordCnvKind kind, int decimals) const {
    double sx = 0.0, sy = 0.0, sxy = 0.0;
    if (!GetStdDev(kind, &sx, &sy, &sxy))
        return CString();
    CString text;
    text.Format("%8.*lf    %8.*lf    %8.*lf", decimals, sxy, decimals, sx, decimals, sy);
    return text;
}

bool PrecisionChkTable::GetStdDevFromDiffAve(double *sx, double *sy, double *sxy) const {
    *sx = *sy = *sxy = 0.0;
    const unsigned n = size();
    if (n < 2)
        return true;
    double SX = 0.0, SY = 0.0;
    for (const Point *p : *this) {
        const double x = GetResidualFromDiffAveX(p), y = GetResidualFromDiffAveY(p);
        SX += x * x;
        SY += y * y;
    }
    *sx = std::sqrt(SX / (n - 1.0));
    *sy = std::sqrt(SY / (n - 1.0));
    *sxy = std::sqrt((SX + SY) / (2.0 * n - 1.0));
    return true;
}

bool PrecisionChkTable::Write(CArchive &ar) const {
    ar << std::int32_t(GetResidualLimitByMM());
    return true;
}

bool PrecisionChkTable::Read(CArchive &ar) {
    std::int32_t mm = 0;
    ar >> mm;
    SetResidualLimitByMM(mm);
    return true;
}

bool PrecisionChkTable::Write2(CArchive &ar) const {
    ar << std::int32_t(GetResidualLimitByMM()) << std::int32_t(GetResidualLimitByMM_H());
    return true;
}

bool PrecisionChkTable::Read2(CArchive &ar) {
    std::int32_t mm = 0, mmH = 0;
    ar >> mm >> mmH;
    SetResidualLimitByMM(mm);
    SetResidualLimitByMM_H(mmH);
    return true;
}
