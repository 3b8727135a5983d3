#pragma once

#include "exchange/Dorrimet/CoordDiff.h"
#include "veltrane/conversion/CoordConvParam.h"

#include <vector>

// Kind 6: no model; each point gets its Tokyo coordinate moved by the inverse-distance-weighted
// mean of the basis points' shifts. It converts whole tables only (in calculation mode 0) and
// needs at least one basis point.
class CoordConvNoTrend : public CoordConvParam {
  public:
    CoordConvNoTrend(const PointTable &points, Veltrane *db, CalcMode mode, unsigned block);

    bool Transform(const Coordinate &from, Coordinate *to, CoordConvStatusD *status) const override;
    bool Calculation(const CoordCnvOption &option) override;
    bool CalcJGD2000(Point *p) override;
    // skipInterp is not used. False in adjust mode, without basis points and on cancel.
    bool CalcJGD2000(PointTable *table, JIProgMsgBase *progress, bool skipInterp) override;
    double GetAICParam() const override { return 0.0; }
    int GetMinPosNum() const override { return 0; }
    CoordCnvKind GetType() const override { return CrdCnvNoTrend; }

  protected:
    bool calcJGD2000_sub(const Coordinate &source, Coordinate *result,
                         CoordConvStatusD *status) const override;
    void paramItems(std::vector<ParamItem> *items) const override;
    bool hasNoteLines() const override { return false; }

  private:
    std::vector<Coordinate> m_tokyo;
    std::vector<CoordDiff> m_shifts;
};
