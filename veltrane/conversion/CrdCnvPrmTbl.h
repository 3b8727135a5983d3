#pragma once

#include "exchange/Dorrimet/CoordConvEnums.h"
#include "veltrane/conversion/CoordCnvOption.h"
#include "veltrane/conversion/CoordConvParam.h"
#include "veltrane/model/PrecisionChkTable.h"

#include <memory>
#include <vector>

class CArchive;
class JIProgMsgBase;
class Veltrane;

// The conversion engines of one point population (the whole project or one block): it builds
// and fits them, converts every point with the chosen one, refits to known JGD2000 points where
// there are enough, corrects heights and keeps the precision-check tables of the result.
class CrdCnvPrmTbl {
  public:
    CrdCnvPrmTbl();
    // A copy is everything that binding, preparing and converting change in the table, which
    // is how a cancelled conversion puts the table back. The engines are shared rather than
    // copied: a preparation replaces them and a conversion replaces the adjustment engine,
    // neither refits one in place.
    CrdCnvPrmTbl(const CrdCnvPrmTbl &other) = default;
    CrdCnvPrmTbl &operator=(const CrdCnvPrmTbl &other) = default;
    CrdCnvPrmTbl(CrdCnvPrmTbl &&other) = default;
    CrdCnvPrmTbl &operator=(CrdCnvPrmTbl &&other) = default;
    virtual ~CrdCnvPrmTbl();

    // Drops every engine and binds the table; false (pointers unchanged) when either is null.
    bool Initialize(Veltrane *db, PointTable *points, unsigned block);
    // Builds the four engines afresh and fits each with the option; false without a binding, when
    // an engine cannot be made or when the user cancels.
    bool PrepareCoordConv(const CoordCnvOption &option, JIProgMsgBase *progress);
    // Converts every point with the engine of the kind; false when that engine is missing or not
    // fitted, or when the user cancels (completed stays false).
    bool ExecuteCoordConv(CoordCnvKind kind, JIProgMsgBase *progress);

    CoordConvParam *GetCoordConvParam(CoordCnvKind kind);
    const CoordConvParam *GetCoordConvParam(CoordCnvKind kind) const;
    const CoordConvParam *GetSelectedCoordConvParam() const;
    const CoordConvParam *GetSelectedCoordConvParamForAdjust() const;

    // Stores the option; with the use-geoid switch the flag word gains the geoid bit.
    void SetCoordCnvOption(const CoordCnvOption &option);
    CoordCnvOption GetCoordCnvOption() const { return m_option; }
    CoordCnvKind GetCoordCnvKind() const { return m_selectedKind; }
    void SetCoordCnvKind(CoordCnvKind kind) { m_selectedKind = kind; }
    bool IsCrdCnvCompleted() const { return m_fCompleted; }
    bool IsAdjustClcCompleted() const { return m_fAdjustCompleted; }
    PointTable *GetPointTable() const { return m_pPointTable; }
    unsigned GetBlockNo() const { return m_nBlockNo; }

    // Tables of ids 0, 1 and 5; null for other ids.
    PrecisionChkTable *GetPrecChkTable(PRECISION_CHECK_ID id);
    const PrecisionChkTable *GetPrecChkTable(PRECISION_CHECK_ID id) const;
    void MakePrecChkTable(PRECISION_CHECK_ID id);
    void MakeAllPrecChkTable();
    bool MakeRetrievableIdxMap();

    // Back to no engines, not completed.
    void ClearAll();
    // Takes the point out of the precision tables; a basis point in use also drops the fit.
    bool Remove(const Point *p);
    // The same for every point of the set, in one walk of each table.
    bool Remove(const PointSet &points);
    // The largest height difference between the new and the Tokyo coordinates.
    int GetHikoVectMax(double *max) const;

    // The record: flags, kind and option (64 bytes).
    bool Write(CArchive &ar) const;
    bool Read(CArchive &ar, unsigned long version);

  protected:
    // The Tokyo plane coordinate by the three-parameter shift into the new datum; a copy of the
    // input when a zone is missing.
    void convSysTrans(const Coordinate &in, Coordinate *out) const;
    // Latitudes and longitudes of every point; false when the user cancels.
    bool calcAllPointBL(JIProgMsgBase *progress);

  private:
    void ClearCrdCnvTbl();
    // The height step; false when the user cancels.
    bool correctHeights(JIProgMsgBase *progress);
    static int convPrecIdToIdx(PRECISION_CHECK_ID id);

    std::vector<std::shared_ptr<CoordConvParam>> m_engines;
    PrecisionChkTable m_precTables[3];
    bool m_fCompleted = false;
    bool m_fAdjustCompleted = false;
    std::shared_ptr<CoordConvParam> m_adjustEngine;
    unsigned m_nBlockNo = 0;
    PointTable *m_pPointTable = nullptr;
    Veltrane *m_pDataBase = nullptr;
    CoordCnvKind m_selectedKind = CrdCnvHelmert;
    CoordCnvOption m_option;
};
