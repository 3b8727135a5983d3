#include "veltrane/conversion/CoordConvParam.h"

#include "exchange/Dorrimet/PlaneArea.h"
#include "kernels/Lunmarg/Angle.h"
#include "ombresk/JCrdSysTrans.h"
#include "pallomir/ui/JIProgMsgBase.h"
#include "veltrane/conversion/CoordConvAffine.h"
#include "veltrane/conversion/CoordConvHelmert.h"
#include "veltrane/conversion/CoordConvParaTrans.h"
#include "veltrane/conversion/InverseDistance.h"
#include "veltrane/conversion/StepProgress.h"
#include "veltrane/database/Veltrane.h"

#include <algorithm>
#include <cmath>
#include <new>

const double CoordConvParam::m_tiny = 1e-20;

namespace {

constexpr JGD_PROGRESS_KIND kProgressConvert{1};
constexpr JGD_PROGRESS_KIND kProgressWeights{5};
constexpr JGD_PROGRESS_KIND kProgressCollocation{6};

double planeDistance(const Coordinate &a, const Coordinate &b) {
    const double dx = a.GetX() - b.GetX();
    const double dy = a.GetY() - b.GetY();
    return std::sqrt(dx * dx + dy * dy);
}

} // namespace

CoordConvParam::CoordConvParam(const PointTable &points, Veltrane *db, CalcMode mode,
                               unsigned block)
    : m_pDataBase(db), m_nBlockNo(block), m_calcMode(mode) {
    init(points);
}

CoordConvParam::~CoordConvParam() = default;

CoordConvParam *CoordConvParam::CreateCrdCnvPrmObj(CoordCnvKind kind, Veltrane *db,
                                                   PointTable *points, CalcMode mode,
                                                   unsigned block) {
    if (points == nullptr)
        return nullptr;
    switch (kind) {
    case CrdCnvHelmert:
        if (Veltrane::IsChosashiMode())
            return new (std::nothrow) CoordConvHelmert2(*points, db, mode, block);
        return new (std::nothrow) CoordConvHelmert(*points, db, mode, block);
    case CrdCnvAffine2:
        return new (std::nothrow) CoordConvAffine2(*points, db, mode, block);
    case CrdCnvHelmert3:
        return new (std::nothrow) CoordConvHelmert3(*points, db, mode, block);
    case CrdCnvParaTrans2:
        return new (std::nothrow) CoordConvParaTrans2(*points, db, mode, block);
    default:
        return nullptr;
    }
}

void CoordConvParam::init(const PointTable &points) {
    m_fCalced = false;
    m_basisTable.AllRemove();
    m_basisCopies.clear();
    m_residualNodes.clear();
    for (const Point *p : points) {
        const bool take = m_calcMode == CalcModeNormal   ? p->IsPossibleCalcParam()
                          : m_calcMode == CalcModeAdjust ? p->IsPossibleCalcParamForAdjust()
                                                         : false;
        if (!take)
            continue;
        m_basisCopies.push_back(std::make_unique<Point>(*p));
        m_basisTable.Append(m_basisCopies.back().get());
    }
}

bool CoordConvParam::Transform(const Coordinate &from, Coordinate *to,
                               CoordConvStatusD *status) const {
    if (!m_fCalced || to == nullptr || !from.IsValid())
        return false;
    Coordinate source = from;
    if (m_option.m_fDatumShift)
        convSysTrans(from, &source);
    Coordinate trend;
    CoordConvStatusD trendStatus = CrdCnvStatNone;
    if (!calcJGD2000_sub(source, &trend, &trendStatus))
        return false;
    if (m_option.m_fResidualInterp) {
        Coordinate result = *to;
        if (!CalcJGD2000LSC(source, trend, &result))
            return false;
        result.SetValid(true);
        *to = result;
    } else {
        *to = trend;
    }
    if (status)
        *status = trendStatus;
    return true;
}

bool CoordConvParam::ReverseTransform(const Coordinate &, Coordinate *, CoordConvStatusD *) const {
    return false;
}

bool CoordConvParam::CalcJGD2000(PointTable *table, JIProgMsgBase *progress, bool skipInterp) {
    m_pProgress = progress;
    if (!m_fCalced || table == nullptr)
        return false;
    if (!WalkPoints(*table, progress, kProgressConvert, false, [this](Point *p, unsigned) {
            if (p->GetUseForCalc())
                CalcJGD2000(p);
        }))
        return false;
    if (!skipInterp && m_option.m_fResidualInterp)
        return CalcJGD2000LSC(table);
    return true;
}

bool CoordConvParam::GetParamStrings(std::vector<ResPrtLine> *lines, const Veltrane *db) const {
    if (!m_fCalced || lines == nullptr)
        return false;
    for (const ParamItem &item : reportItems(db, true))
        lines->emplace_back(item.label, item.cell);
    return true;
}

bool CoordConvParam::GetParamStrings(std::vector<CString> *lines, const Veltrane *db,
                                     PrmStrFlags flags) const {
    if (!m_fCalced || lines == nullptr)
        return false;
    for (const ParamItem &item : reportItems(db, (flags & PrmStrBlock) != 0))
        lines->push_back(item.label + item.gap + item.text);
    if (!hasNoteLines() || (flags & PrmStrNotes) == 0)
        return true;
    if (m_option.m_fDatumShift)
        lines->push_back("３パラメータ変換後、変換パラメータが求められています。");
    if (m_option.m_fResidualInterp)
        lines->push_back("変換基準点との距離の逆数を重みとした最小２乗内挿が行われています。");
    return true;
}

std::vector<CoordConvParam::ParamItem> CoordConvParam::reportItems(const Veltrane *db,
                                                                   bool withBlock) const {
    std::vector<ParamItem> items;
    if (withBlock && m_nBlockNo != 0 && db != nullptr)
        items.emplace_back("ブロック", "       ", db->GetCrdTrnsBlockName(m_nBlockNo));
    items.emplace_back("変換方式", "       ", Veltrane::GetCoordCnvKindName(GetType()));
    paramItems(&items);
    return items;
}

CString CoordConvParam::format(const char *format, double value) {
    CString text;
    text.Format(format, value);
    return text;
}

CoordConvParam::ParamItem CoordConvParam::rotationItem(const char *label, const char *dmsGap,
                                                       const char *secGap, double seconds) {
    if (std::fabs(seconds) >= 60.0) {
        CString dms;
        dms.Format("%15s", static_cast<const char *>(
                               Coordinate::GetDMSStr(seconds / Angle::m_RI, 4, CrdFmtHyphen)));
        return ParamItem(label, dmsGap, dms);
    }
    return ParamItem(label, secGap, format("%10.4lf 秒", seconds));
}

void CoordConvParam::appendMeanItems(std::vector<ParamItem> *items,
                                     const CentroidReduction &means) {
    if (means.GetCalcKind() != 2)
        return;
    items->emplace_back("平均縮尺係数", "   ", format("%15.9lf", means.GetAveSclFct()));
    items->emplace_back("平均標高", "       ", format("%15.6lf m", means.GetAveHgt()));
    if (means.IsGeoidHeightAdded())
        items->emplace_back("平均ジオイド高", " ", format("%15.6lf m", means.GetAveGeoHgt()));
}

double CoordConvParam::RadToSec(double r) { return r * 206264.80624709636; }

Coordinate CoordConvParam::getTokyoDatum(const Point *p) const {
    return m_option.m_fDatumShift ? p->GetCrdTky3Prm() : p->GetTokyoDatum();
}

Coordinate CoordConvParam::getSrcDatum(const Point *p) const {
    switch (m_calcMode) {
    case CalcModeNormal:
        return getTokyoDatum(p);
    case CalcModeAdjust:
        return p->IsObsITRFPntRelateAdjKwnPnt() ? p->GetObservedITRF() : p->GetJGD2000(m_nBlockNo);
    }
    return Coordinate();
}

Coordinate CoordConvParam::getDstDatum(const Point *p) const {
    switch (m_calcMode) {
    case CalcModeNormal:
        return p->GetObservedITRF();
    case CalcModeAdjust:
        return p->GetKnownJGD2K();
    }
    return Coordinate();
}

void CoordConvParam::modifyCoordCnvOption() {
    if (m_calcMode != CalcModeAdjust)
        return;
    m_option.m_dScaleFactor = 1.0;
    m_option.m_fDatumShift = false;
    m_option.m_fSecond = false;
    m_option.m_dMeanHeight = 0.0;
    m_option.m_nFlag = 1;
    m_option.m_dMeanGeoidHeight = 0.0;
    m_option.m_fUseGeoid = false;
    m_option.m_nTakeScale = 1;
    m_option.m_nTakeHeight = 1;
    m_option.m_nTakeGeoid = 1;
}

bool CoordConvParam::convSysTrans(const Coordinate &in, Coordinate *out) const {
    if (m_pDataBase)
        return m_pDataBase->ShiftBetweenZones(in, out, false);
    *out = in;
    return false;
}

bool CoordConvParam::convSysTransRvs(const Coordinate &in, Coordinate *out) const {
    if (m_pDataBase)
        return m_pDataBase->ShiftBetweenZones(in, out, true);
    *out = in;
    return false;
}

bool CoordConvParam::beginCalculation(const CoordCnvOption &option) {
    m_fCalced = false;
    m_residualNodes.clear();
    if (static_cast<int>(m_basisTable.size()) < GetMinPosNum())
        return false;
    m_option = option;
    return true;
}

void CoordConvParam::finishCalculation() {
    m_fCalced = true;
    CoordConvParam::CalcJGD2000(&m_basisTable, nullptr, true);
    CalcPrecChkTable();
    m_residualNodes.clear();
    m_residualNodes.reserve(m_basisTable.size());
    for (const Point *p : m_basisTable) {
        const Coordinate source = getSrcDatum(p);
        m_residualNodes.push_back(
            {source.GetX(), source.GetY(), m_resTable.GetResidualX(p), m_resTable.GetResidualY(p)});
    }
}

void CoordConvParam::CalcPrecChkTable() {
    const PRECISION_CHECK_ID id = m_calcMode == CalcModeAdjust ? PrecChkAdjCnvPrec : PrecChkCnvPrec;
    m_resTable.Initialize(id, m_nBlockNo);
    for (Point *p : m_basisTable)
        if (p->IsPossiblePrecCheck(id, m_nBlockNo))
            m_resTable.Append(p);
    m_resTable.CalcAverage();
}

double CoordConvParam::CalcAICParam(int k) const {
    double sx = 0.0, sy = 0.0, sxy = 0.0;
    m_resTable.GetStdDev(k, &sx, &sy, &sxy);
    const double mm = 1000.0 * sxy;
    const double x = mm * mm;
    if (x < 1e-16)
        return 0.0;
    const double n = m_basisTable.size();
    return 2.0 * n * std::log(x) + 2.0 * k + 2.0;
}

Centroids CoordConvParam::clc_jyusin() const {
    Centroids c;
    const unsigned n = m_basisTable.size();
    if (n == 0)
        return c;
    for (const Point *p : m_basisTable) {
        const Coordinate src = getSrcDatum(p);
        const Coordinate dst = getDstDatum(p);
        c.srcX += src.GetX();
        c.srcY += src.GetY();
        c.dstX += dst.GetX();
        c.dstY += dst.GetY();
    }
    c.srcX /= n;
    c.srcY /= n;
    c.dstX /= n;
    c.dstY /= n;
    return c;
}

void CoordConvParam::getUnknownPointTbl(const PointTable *in, PointTable *out) const {
    for (Point *p : *in)
        if (!p->IsConvBasisPoint() && p->GetUseForCalc())
            out->Append(p);
}

bool CoordConvParam::calcWeightParam(const PointTable &points, TMatrix<double> &weights,
                                     std::vector<double> &sums) const {
    const unsigned m = points.size();
    const unsigned n = m_basisTable.size();
    try {
        weights = TMatrix<double>(static_cast<int>(m), static_cast<int>(n), 0.0);
        sums.assign(m, 0.0);
    } catch (const std::bad_alloc &) {
        return false;
    }
    if (m_pProgress) {
        m_pProgress->SetProgressKind(kProgressWeights);
        m_pProgress->ProgressStart(static_cast<int>(std::max(m, 1u)));
    }
    int i = 0;
    for (const Point *p : points) {
        const Coordinate source = getTokyoDatum(p);
        int j = 0;
        for (const Point *b : m_basisTable) {
            const double w = inverseDistanceWeight(planeDistance(source, getTokyoDatum(b)));
            weights(i, j++) = w;
            sums[i] += w;
        }
        ++i;
        if (m_pProgress && !m_pProgress->Progress(i)) {
            m_pProgress->ProgressEnd();
            return false;
        }
    }
    if (m_pProgress)
        m_pProgress->ProgressEnd();
    return true;
}

bool CoordConvParam::CalcJGD2000LSC(const Coordinate &source, const Coordinate &trend,
                                    Coordinate *result) const {
    if (!m_fCalced || result == nullptr)
        return false;
    // Summed node by node in table order.
    double total = 0.0, sx = 0.0, sy = 0.0;
    ForEachInverseDistanceWeight(source.GetX(), source.GetY(), m_residualNodes.data(),
                                 m_residualNodes.size(), [&](const ResidualNode &node, double w) {
                                     total += w;
                                     sx += node.rx * w;
                                     sy += node.ry * w;
                                 });
    if (!(total > 0.0 && std::isfinite(total)))
        return false;
    result->SetXYH(trend.GetX() - sx / total, trend.GetY() - sy / total, source.GetH(),
                   source.IsHUsed());
    return true;
}

void CoordConvParam::interpolatePoint(Point *p) const {
    if (!p->GetUseForCalc())
        return;
    Coordinate trend;
    if (m_calcMode == CalcModeNormal) {
        if (p->IsConvBasisPoint() || !p->IsExistTokyoDatum())
            return;
        trend = p->GetJGD2000(m_nBlockNo);
    } else if (m_calcMode == CalcModeAdjust) {
        if (!p->IsExistJGD2000(m_nBlockNo) || p->IsExistKnownJGD2K())
            return;
        trend = p->GetAdjustedJGD2K(m_nBlockNo);
    } else {
        return;
    }
    const Coordinate source = getSrcDatum(p);
    // A point whose trend could not be computed keeps no result rather than a made-up one.
    if (!source.IsValid() || !trend.IsValid())
        return;
    const CoordConvStatusD status = p->GetCrdCnvStat(m_nBlockNo);
    Coordinate result = trend;
    if (!CalcJGD2000LSC(source, trend, &result))
        return;
    if (m_calcMode == CalcModeNormal) {
        p->SetTrndJGD2K(trend, m_nBlockNo);
        p->SetJGD2000(result, status, m_nBlockNo);
    } else {
        p->SetAdjTrndJGD2K(trend, m_nBlockNo);
        p->SetAdjustedJGD2K(result, m_nBlockNo);
    }
}

bool CoordConvParam::CalcJGD2000LSC(PointTable *table) {
    if (!m_fCalced || table == nullptr)
        return false;
    const bool every = m_basisTable.size() > 499;
    return WalkPoints(*table, m_pProgress, kProgressCollocation, every,
                      [this](Point *p, unsigned) { interpolatePoint(p); });
}

bool CoordConvParam::CalcJGD2000LSC_Old(PointTable *table) {
    if (!m_fCalced || table == nullptr)
        return false;
    PointTable points;
    getUnknownPointTbl(table, &points);
    TMatrix<double> weights(0, 0, 0.0);
    std::vector<double> sums;
    if (!calcWeightParam(points, weights, sums))
        return false;
    const bool every = m_residualNodes.size() >= 500;
    return WalkPoints(points, m_pProgress, kProgressCollocation, every, [&](Point *p, unsigned i) {
        const Coordinate trend = p->GetJGD2000(m_nBlockNo);
        if (sums[i] > 0.0 && trend.IsValid()) {
            double sx = 0.0, sy = 0.0;
            for (std::size_t j = 0; j < m_residualNodes.size(); ++j) {
                sx += m_residualNodes[j].rx * weights(static_cast<int>(i), static_cast<int>(j));
                sy += m_residualNodes[j].ry * weights(static_cast<int>(i), static_cast<int>(j));
            }
            const CoordConvStatusD status = p->GetCrdCnvStat(m_nBlockNo);
            Coordinate result = trend;
            result.SetX(trend.GetX() - sx / sums[i]);
            result.SetY(trend.GetY() - sy / sums[i]);
            p->SetTrndJGD2K(trend, m_nBlockNo);
            p->SetJGD2000(result, status, m_nBlockNo);
        }
    });
}

bool CoordConvParam::convertPoint(Point *p, bool adjustable) {
    if (!m_fCalced || p == nullptr)
        return false;
    const Coordinate source = getSrcDatum(p);
    if (!source.IsValid())
        return false;
    Coordinate result;
    CoordConvStatusD status = CrdCnvStatNone;
    if (!calcJGD2000_sub(source, &result, &status))
        return false;
    if (adjustable && m_calcMode == CalcModeAdjust)
        p->SetAdjustedJGD2K(result, m_nBlockNo);
    else
        p->SetJGD2000(result, status, m_nBlockNo);
    return true;
}
