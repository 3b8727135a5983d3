#pragma once

#include "exchange/Dorrimet/CoordConvEnums.h"
#include "exchange/Dorrimet/ICoordTransformer.h"
#include "ombresk/JCrdSysTrans.h"
#include "platform/core/CString.h"
#include "veltrane/conversion/ResPrtLine.h"

#include <vector>

class JIProgMsgBase;
class OmbreskMngr;
class PlaneArea;
class Point;
class PointTable;
class Veltrane;

// Converts plane coordinates between the Tokyo datum and JGD2000 by the published grid
// parameters, and by the three-parameter datum shift where the grid has none. Nothing is
// fitted; the grid manager, zones and progress object are the caller's.
class CoordConvTKY2JGD : public ICoordTransformer {
  public:
    // The zones give the projections and ellipsoids of the datum shift; the manager converts in
    // the grid.
    CoordConvTKY2JGD(const OmbreskMngr *mngr, const PlaneArea *oldArea, const PlaneArea *newArea,
                     JIProgMsgBase *progress);
    CoordConvTKY2JGD(const CoordConvTKY2JGD &other) = default;
    CoordConvTKY2JGD &operator=(const CoordConvTKY2JGD &other) = default;
    ~CoordConvTKY2JGD() override;

    // Status 1 inside the grid, where the result has no latitude and longitude; status 2 by
    // the datum shift outside it, with latitude and longitude in the new zone (the old one for
    // the reverse). Height and its flag come from the input; the result is valid. False,
    // with nothing written, for an input that is not valid, without a grid manager, or when
    // the datum shift lacks its zones.
    bool Transform(const Coordinate &in, Coordinate *out, CoordConvStatusD *status) const override;
    bool ReverseTransform(const Coordinate &in, Coordinate *out,
                          CoordConvStatusD *status) const override;
    // The method and the grid manager's parameter file, as report lines.
    virtual bool GetParamStrings(std::vector<CString> *lines) const;

    CoordCnvKind GetType() const { return CrdCnvTKY2JGD; }
    const OmbreskMngr *GetTKY2JGDMngr() const { return m_mngr; }

    // The point's Tokyo coordinate to its whole-area (block 0) result; false when it cannot be
    // converted.
    bool CalcJGD2000(Point *p) const;
    // Every point used for the calculation; false without a grid manager or when the user
    // cancels. The bool is not used.
    bool CalcJGD2000(PointTable *table, bool unused) const;

    // The report lines with the database's parameter file and version.
    // The same two lines as label and value cells.
    static bool GetParamStrings(std::vector<ResPrtLine> *lines, const Veltrane *db);
    static bool GetParamStrings(std::vector<CString> *lines, const Veltrane *db);

  private:
    static void appendParamStrings(std::vector<CString> *lines, const CString &file,
                                   const CString &version);

    JCrdSysTrans m_datumShift;
    const PlaneArea *m_oldArea;
    const PlaneArea *m_newArea;
    const OmbreskMngr *m_mngr;
    JIProgMsgBase *m_progress;
};
