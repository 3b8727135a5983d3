#include "veltrane/conversion/CoordConvNoTrend.h"

#include "pallomir/ui/JIProgMsgBase.h"
#include "veltrane/conversion/StepProgress.h"

#include <algorithm>

CoordConvNoTrend::CoordConvNoTrend(const PointTable &points, Veltrane *db, CalcMode mode,
                                   unsigned block)
    : CoordConvParam(points, db, mode, block) {}

bool CoordConvNoTrend::Transform(const Coordinate &, Coordinate *, CoordConvStatusD *) const {
    return false;
}

// Nothing to fit: the shifts are taken when a table is converted.
bool CoordConvNoTrend::Calculation(const CoordCnvOption &option) {
    beginCalculation(option);
    setCalced(true);
    return true;
}

bool CoordConvNoTrend::CalcJGD2000(Point *) { return false; }

bool CoordConvNoTrend::calcJGD2000_sub(const Coordinate &, Coordinate *, CoordConvStatusD *) const {
    return false;
}

bool CoordConvNoTrend::CalcJGD2000(PointTable *table, JIProgMsgBase *progress, bool) {
    setProgress(progress);
    if (!IsCalced() || table == nullptr || m_calcMode == CalcModeAdjust)
        return false;
    // Without a basis point every weight sum is 0: nothing can be interpolated.
    if (basisTable().empty())
        return false;
    PointTable points;
    getUnknownPointTbl(table, &points);
    if (progress) {
        progress->SetProgressKind(JGD_PROGRESS_KIND{4});
        progress->ProgressStart(1);
        progress->Progress(1);
    }
    m_tokyo.clear();
    m_shifts.clear();
    for (const Point *b : basisTable()) {
        const Coordinate tokyo = getTokyoDatum(b);
        m_tokyo.push_back(tokyo);
        m_shifts.emplace_back(tokyo, b->GetObservedITRF());
    }
    if (progress)
        progress->ProgressEnd();
    TMatrix<double> weights(0, 0, 0.0);
    std::vector<double> sums;
    if (!calcWeightParam(points, weights, sums))
        return false;
    return WalkPoints(points, progress, JGD_PROGRESS_KIND{1}, false, [&](Point *p, unsigned i) {
        const Coordinate tokyo = getTokyoDatum(p);
        // A point without a source coordinate gets no made-up result.
        if (tokyo.IsValid() && sums[i] > 0.0) {
            double dx = 0.0, dy = 0.0;
            for (std::size_t j = 0; j < m_shifts.size(); ++j) {
                const double w = weights(static_cast<int>(i), static_cast<int>(j));
                dx += m_shifts[j].GetDiffX() * w;
                dy += m_shifts[j].GetDiffY() * w;
            }
            p->SetJGD2000(Coordinate(tokyo.GetX() + dx / sums[i], tokyo.GetY() + dy / sums[i],
                                     tokyo.GetH(), tokyo.IsHUsed(), 0.0, false),
                          CrdCnvStatNoTrend, m_nBlockNo);
        }
    });
}

void CoordConvNoTrend::paramItems(std::vector<ParamItem> *) const {}
