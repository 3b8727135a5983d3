#pragma once

#include "exchange/Dorrimet/CoordConvEnums.h"
#include "exchange/Dorrimet/CoordDiff.h"
#include "exchange/Dorrimet/Coordinate.h"
#include "platform/core/CString.h"
#include "platform/core/WinTypes.h"
#include "veltrane/model/PointKinds.h"

#include <map>
#include <memory>

class CArchive;
class PlaneArea;
class Veltrane;

// The results of one point in one conversion block (blocks 1 and up).
struct PointBlockResult {
    PointBlockResult() = default;
    explicit PointBlockResult(unsigned no) : blockNo(no) {}
    PointBlockResult(const PointBlockResult &other);
    PointBlockResult &operator=(const PointBlockResult &other);
    PointBlockResult(PointBlockResult &&) = default;
    PointBlockResult &operator=(PointBlockResult &&) = default;

    unsigned blockNo = 0;
    Coordinate trendJGD2K;
    Coordinate jgd2000;
    BYTE status = CrdCnvStatNone;
    std::unique_ptr<Coordinate> adjTrendJGD2K;
    std::unique_ptr<Coordinate> adjustedJGD2K;
};

// The latitudes and longitudes (B, L) that CalcBL computes on a point's given coordinates:
// Tokyo datum, observed new datum and known JGD2000.
struct PointGivenBL {
    double tokyo[2];
    double observed[2];
    double known[2];
};

// One named survey point with all its coordinate sets: Tokyo datum, observed new datum, the
// JGD2000 results of the whole area (block 0) and of each block it belongs to, and the known and
// adjusted JGD2000 coordinates of the adjustment.
class Point {
  public:
    Point();
    explicit Point(unsigned id);
    Point(unsigned id, const CString &name);
    Point(unsigned id, const CString &name, const CString &insyoName);
    Point(const Point &other);
    Point &operator=(const Point &other);
    virtual ~Point();

    void copyFrom(const Point &other);
    static Point *Clone(const Point &p);

    unsigned GetID() const { return m_id; }

    void SetName(const CString &name) { m_name = name; }
    const CString &GetName() const { return m_name; }
    // The name cut before the first occurrence of cut (the whole name when absent).
    CString GetName(const CString &cut) const;
    // The name without the suffix that marks repeated points of one name.
    CString GetNameRemovedPlusName(const Veltrane *db) const;
    bool IsSameName(const CString &name) const;

    void SetTokyoDatum(const Coordinate &c);
    Coordinate GetTokyoDatum() const { return m_tokyo; }
    bool IsExistTokyoDatum() const { return m_tokyo.IsValid(); }
    void SetTky3PrmCrd(const Coordinate &c);
    Coordinate GetCrdTky3Prm() const { return m_tky3Prm; }
    void ClearTky3PrmCrd();

    void SetCnvBasisITRF(const Coordinate &c);
    void SetChkObsITRF(const Coordinate &c);
    Coordinate GetObservedITRF() const { return m_observed; }
    ITRFCoordKind GetITRFKind() const { return m_itrfKind; }
    void ClearObservedITRF();
    bool IsExistITRF() const;
    bool IsExistCnvBasisITRF() const;
    bool IsExistChkObsITRF() const;

    void SetKnownJGD2K(const Coordinate &c);
    Coordinate GetKnownJGD2K() const;
    void ClearKnownJGD2K();
    bool IsExistKnownJGD2K() const;

    void SetUseForCalc(bool use) { m_useForCalc = use; }
    bool GetUseForCalc() const { return m_useForCalc; }
    void SetKjnPtKind(KjnPointKind kind) { m_kjnKind = static_cast<BYTE>(kind); }
    KjnPointKind GetKjnPtKind() const { return static_cast<KjnPointKind>(m_kjnKind); }

    // Block-indexed results: block 0 is the whole area, kept in the point's own fields; blocks
    // 1 and up live in records that AppendBlock creates. Setters on a missing record do nothing.
    Coordinate GetJGD2000(unsigned block) const;
    Coordinate GetCrdTrndJGD2K(unsigned block) const;
    Coordinate GetAdjTrndJGD2K(unsigned block) const;
    Coordinate GetAdjustedJGD2K(unsigned block) const;
    CoordConvStatusD GetCrdCnvStat(unsigned block) const;
    void SetJGD2000(const Coordinate &c, CoordConvStatusD status, unsigned block);
    void SetTrndJGD2K(const Coordinate &c, unsigned block);
    void SetAdjTrndJGD2K(const Coordinate &c, unsigned block);
    void SetAdjustedJGD2K(const Coordinate &c, unsigned block);
    void ClearJGD2000(unsigned block);
    void ClearTrndJGD2K(unsigned block);
    // Every result of one block (block 0: the point's own), as a conversion leaves it; a
    // result of a block the point has no record of is put back as nothing. Putting back moves
    // the kept result in and allocates nothing.
    PointBlockResult GetBlockResult(unsigned block) const;
    void SetBlockResult(PointBlockResult &&result) noexcept;
    // The latitudes and longitudes of the given coordinates, as CalcBL leaves them; the known
    // coordinate's go back only to a point that holds one.
    PointGivenBL GetGivenBL() const;
    void SetGivenBL(const PointGivenBL &bl) noexcept;
    bool IsExistJGD2000(unsigned block) const;
    bool IsExistAdjustedJGD2K(unsigned block) const;
    bool IsExistResultCrd(unsigned block) const;
    Coordinate GetResultCrd(unsigned block) const;

    Coordinate GetCoord(CoordinateKind kind, unsigned block) const;
    void SetCoord(const Coordinate &c, CoordinateKind kind, ITRFCoordKind itrf);
    bool IsExistCoord(CoordinateKind kind, ITRFCoordKind itrf, unsigned block) const;

    bool AppendBlock(unsigned block);
    bool RemoveBlock(unsigned block);
    bool IsRelatedWithBlock(unsigned block) const;
    unsigned GetBlockSize() const;
    // The block number of the n-th record in ascending order; 0 when out of range.
    unsigned GetBlockNo(unsigned n) const;

    CoordDiff GetCoordDiff(PRECISION_CHECK_ID id, unsigned block) const;
    double GetHgtDiff(PRECISION_CHECK_ID id, unsigned block) const;
    CoordDiff GetCnvPrec(unsigned block) const;
    CoordDiff GetCnvPrecChk(unsigned block) const;
    CoordDiff GetCrdDiff() const;
    double GetCrdDiffHgt() const;
    CoordDiff GetCnvParam(unsigned block) const;
    CoordDiff GetAdjCnvPrec(unsigned block) const;
    double GetHgtDiff_ITRF_Tokyo() const;
    double GetHgtDiff_JGD_Tokyo() const;
    double GetDistJGD2000(const Point *p) const;
    double GetDistTokyoDatum(const Point *p) const;

    // Latitude and longitude of the coordinates of the point and of one block.
    void CalcBL(const PlaneArea *oldArea, const PlaneArea *newArea, unsigned block);
    static CString GetCoordKindName(CoordinateKind kind, ITRFCoordKind itrf);

    bool IsConvBasisPoint() const;
    bool IsPossibleCalcParam() const;
    bool IsChkObsPoint() const;
    bool IsOtherPoint() const;
    PointKind GetPointKind() const;
    bool IsPossiblePrecCheck(PRECISION_CHECK_ID id, unsigned block) const;

    // Relations to an old reference mark (Insyo point) and to an adjust-known point; a point
    // holds at most one of them.
    void SetInsyoName(const CString &name);
    const CString &GetInsyoName() const { return m_insyoName; }
    void SetAdjustKwnPntName(const CString &name);
    const CString &GetAdjustKwnPntName() const { return m_adjustKwnName; }
    bool CancelInsyoPoint();
    bool CancelAdjustKwnPointRelate();
    bool RelateToInsyoPnt(const Point *p);
    bool RelateToKnownPnt(const Point *p);
    bool IsAdjustKwnPoint() const;
    bool IsObsITRFPntRelateAdjKwnPnt() const;
    bool IsSrcDatumPnttRelateAdjKwnPnt() const;
    bool IsAdjustBasisPoint() const;
    bool IsAdjustBasisOtherPoint() const;
    bool IsRelationedKnownPoint() const;
    bool IsRelateInsyoPoint() const;
    bool IsSameInsyoPoint(const CString &name) const;
    bool IsSameRelatedInsyoPoint(const CString &name, const Coordinate &c) const;
    bool IsNotRelationedInsyoPoint() const;
    bool CheckInsyoAndKnwonRelation();
    bool IsPossibleCalcParamForAdjust() const;

    // The project-file record in the database version given. Read changes nothing of the point
    // when the record cannot be read whole.
    bool Write(CArchive &ar) const;
    bool Read(CArchive &ar, unsigned long version);

  private:
    void init(unsigned id);
    const PointBlockResult *block(unsigned no) const;
    PointBlockResult *block(unsigned no);

    unsigned m_id = 0;
    CString m_name;
    Coordinate m_tokyo;
    Coordinate m_tky3Prm;
    Coordinate m_observed;
    Coordinate m_jgd2000;
    Coordinate m_trendJGD2K;
    std::unique_ptr<Coordinate> m_knownJGD2K;
    std::unique_ptr<Coordinate> m_adjTrendJGD2K;
    std::unique_ptr<Coordinate> m_adjustedJGD2K;
    ITRFCoordKind m_itrfKind = ITRFKindNone;
    bool m_useForCalc = true;
    BYTE m_status = CrdCnvStatNone;
    BYTE m_kjnKind = KjnKindNone;
    std::map<unsigned, PointBlockResult> m_blocks;
    CString m_insyoName;
    CString m_adjustKwnName;
};
