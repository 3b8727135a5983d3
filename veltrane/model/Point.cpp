#include "veltrane/model/Point.h"

#include "exchange/Dorrimet/PlaneArea.h"
#include "platform/core/CArchive.h"
#include "veltrane/database/Veltrane.h"
#include "veltrane/model/ArchiveFields.h"

#include <cmath>
#include <new>

namespace {

std::unique_ptr<Coordinate> copyOf(const std::unique_ptr<Coordinate> &c) {
    return c ? std::make_unique<Coordinate>(*c) : nullptr;
}

// Allocates on first use, else assigns; marks the coordinate valid.
void setOwned(std::unique_ptr<Coordinate> &slot, const Coordinate &c) {
    if (slot)
        *slot = c;
    else
        slot = std::make_unique<Coordinate>(c);
    slot->SetValid(true);
}

Coordinate ownedOrEmpty(const std::unique_ptr<Coordinate> &c) { return c ? *c : Coordinate(); }

bool ownedValid(const std::unique_ptr<Coordinate> &c) { return c && c->IsValid(); }

Coordinate present(const Coordinate &c) {
    Coordinate result = c;
    result.SetValid(true);
    return result;
}

} // namespace

PointBlockResult::PointBlockResult(const PointBlockResult &other)
    : blockNo(other.blockNo), trendJGD2K(other.trendJGD2K), jgd2000(other.jgd2000),
      status(other.status), adjTrendJGD2K(copyOf(other.adjTrendJGD2K)),
      adjustedJGD2K(copyOf(other.adjustedJGD2K)) {}

PointBlockResult &PointBlockResult::operator=(const PointBlockResult &other) {
    if (this != &other) {
        PointBlockResult copy(other);
        *this = std::move(copy);
    }
    return *this;
}

Point::Point() { init(0); }
Point::Point(unsigned id) { init(id); }
Point::Point(unsigned id, const CString &name) : m_name(name) { init(id); }
Point::Point(unsigned id, const CString &name, const CString &insyoName)
    : m_name(name), m_insyoName(insyoName) {
    init(id);
}

void Point::init(unsigned id) {
    m_id = id;
    m_itrfKind = ITRFKindNone;
    m_useForCalc = true;
    m_status = CrdCnvStatNone;
    m_kjnKind = KjnKindNone;
}

Point::Point(const Point &other) { copyFrom(other); }

Point &Point::operator=(const Point &other) {
    if (this != &other)
        copyFrom(other);
    return *this;
}

Point::~Point() = default;

void Point::copyFrom(const Point &other) {
    if (this == &other)
        return;
    m_id = other.m_id;
    m_name = other.m_name;
    m_tokyo = other.m_tokyo;
    m_tky3Prm = other.m_tky3Prm;
    m_observed = other.m_observed;
    m_jgd2000 = other.m_jgd2000;
    m_trendJGD2K = other.m_trendJGD2K;
    m_knownJGD2K = copyOf(other.m_knownJGD2K);
    m_adjTrendJGD2K = copyOf(other.m_adjTrendJGD2K);
    m_adjustedJGD2K = copyOf(other.m_adjustedJGD2K);
    m_itrfKind = other.m_itrfKind;
    m_useForCalc = other.m_useForCalc;
    m_status = other.m_status;
    m_kjnKind = other.m_kjnKind;
    m_blocks = other.m_blocks;
    m_insyoName = other.m_insyoName;
    m_adjustKwnName = other.m_adjustKwnName;
}

Point *Point::Clone(const Point &p) { return new (std::nothrow) Point(p); }

CString Point::GetName(const CString &cut) const {
    const int at = cut.IsEmpty() ? -1 : m_name.Find(cut);
    return at < 0 ? m_name : m_name.Left(at);
}

CString Point::GetNameRemovedPlusName(const Veltrane *db) const {
    if (db == nullptr)
        return m_name;
    const CString plus = db->GetMultiplePlusName();
    if (!plus.IsEmpty() && m_name.Find(plus) >= 0)
        return GetName(plus);
    return GetName(Veltrane::GetMultiplePlusName_Old());
}

bool Point::IsSameName(const CString &name) const { return m_name.Compare(name) == 0; }

void Point::SetTokyoDatum(const Coordinate &c) {
    m_tokyo = present(c);
    m_tky3Prm = Coordinate();
}

void Point::SetTky3PrmCrd(const Coordinate &c) { m_tky3Prm = present(c); }

void Point::ClearTky3PrmCrd() { m_tky3Prm = Coordinate(); }

void Point::SetCnvBasisITRF(const Coordinate &c) {
    m_observed = present(c);
    m_itrfKind = ITRFKindCnvBasis;
}

void Point::SetChkObsITRF(const Coordinate &c) {
    m_observed = present(c);
    m_itrfKind = ITRFKindChkObs;
}

void Point::ClearObservedITRF() {
    m_observed.SetValid(false);
    m_itrfKind = ITRFKindNone;
}

bool Point::IsExistITRF() const { return m_observed.IsValid() && m_itrfKind != ITRFKindNone; }
bool Point::IsExistCnvBasisITRF() const {
    return m_observed.IsValid() && m_itrfKind == ITRFKindCnvBasis;
}
bool Point::IsExistChkObsITRF() const {
    return m_observed.IsValid() && m_itrfKind == ITRFKindChkObs;
}

void Point::SetKnownJGD2K(const Coordinate &c) { setOwned(m_knownJGD2K, c); }
Coordinate Point::GetKnownJGD2K() const { return ownedOrEmpty(m_knownJGD2K); }
void Point::ClearKnownJGD2K() { m_knownJGD2K.reset(); }
bool Point::IsExistKnownJGD2K() const { return ownedValid(m_knownJGD2K); }

const PointBlockResult *Point::block(unsigned no) const {
    const auto it = m_blocks.find(no);
    return it == m_blocks.end() ? nullptr : &it->second;
}

PointBlockResult *Point::block(unsigned no) {
    const auto it = m_blocks.find(no);
    return it == m_blocks.end() ? nullptr : &it->second;
}

Coordinate Point::GetJGD2000(unsigned no) const {
    if (no == 0)
        return m_jgd2000;
    const PointBlockResult *r = block(no);
    return r ? r->jgd2000 : Coordinate();
}

Coordinate Point::GetCrdTrndJGD2K(unsigned no) const {
    if (no == 0)
        return m_trendJGD2K;
    const PointBlockResult *r = block(no);
    return r ? r->trendJGD2K : Coordinate();
}

Coordinate Point::GetAdjTrndJGD2K(unsigned no) const {
    if (no == 0)
        return ownedOrEmpty(m_adjTrendJGD2K);
    const PointBlockResult *r = block(no);
    return r ? ownedOrEmpty(r->adjTrendJGD2K) : Coordinate();
}

Coordinate Point::GetAdjustedJGD2K(unsigned no) const {
    if (no == 0)
        return ownedOrEmpty(m_adjustedJGD2K);
    const PointBlockResult *r = block(no);
    return r ? ownedOrEmpty(r->adjustedJGD2K) : Coordinate();
}

CoordConvStatusD Point::GetCrdCnvStat(unsigned no) const {
    if (no == 0)
        return static_cast<CoordConvStatusD>(m_status);
    const PointBlockResult *r = block(no);
    return r ? static_cast<CoordConvStatusD>(r->status) : CrdCnvStatNone;
}

void Point::SetJGD2000(const Coordinate &c, CoordConvStatusD status, unsigned no) {
    if (no == 0) {
        m_jgd2000 = present(c);
        m_status = static_cast<BYTE>(status);
    } else if (PointBlockResult *r = block(no)) {
        r->jgd2000 = present(c);
        r->status = static_cast<BYTE>(status);
    }
}

void Point::SetTrndJGD2K(const Coordinate &c, unsigned no) {
    if (no == 0)
        m_trendJGD2K = present(c);
    else if (PointBlockResult *r = block(no))
        r->trendJGD2K = present(c);
}

void Point::SetAdjTrndJGD2K(const Coordinate &c, unsigned no) {
    if (no == 0)
        setOwned(m_adjTrendJGD2K, c);
    else if (PointBlockResult *r = block(no))
        setOwned(r->adjTrendJGD2K, c);
}

void Point::SetAdjustedJGD2K(const Coordinate &c, unsigned no) {
    if (no == 0)
        setOwned(m_adjustedJGD2K, c);
    else if (PointBlockResult *r = block(no))
        setOwned(r->adjustedJGD2K, c);
}

PointBlockResult Point::GetBlockResult(unsigned no) const {
    if (no != 0) {
        const PointBlockResult *r = block(no);
        return r ? *r : PointBlockResult(no);
    }
    PointBlockResult r(0);
    r.trendJGD2K = m_trendJGD2K;
    r.jgd2000 = m_jgd2000;
    r.status = m_status;
    r.adjTrendJGD2K = copyOf(m_adjTrendJGD2K);
    r.adjustedJGD2K = copyOf(m_adjustedJGD2K);
    return r;
}

void Point::SetBlockResult(PointBlockResult &&result) noexcept {
    if (result.blockNo != 0) {
        if (PointBlockResult *r = block(result.blockNo))
            *r = std::move(result);
        return;
    }
    m_trendJGD2K = result.trendJGD2K;
    m_jgd2000 = result.jgd2000;
    m_status = result.status;
    m_adjTrendJGD2K = std::move(result.adjTrendJGD2K);
    m_adjustedJGD2K = std::move(result.adjustedJGD2K);
}

PointGivenBL Point::GetGivenBL() const {
    const Coordinate known = GetKnownJGD2K();
    return {{m_tokyo.GetB(), m_tokyo.GetL()},
            {m_observed.GetB(), m_observed.GetL()},
            {known.GetB(), known.GetL()}};
}

void Point::SetGivenBL(const PointGivenBL &bl) noexcept {
    m_tokyo.SetBL(bl.tokyo[0], bl.tokyo[1]);
    m_observed.SetBL(bl.observed[0], bl.observed[1]);
    if (m_knownJGD2K)
        m_knownJGD2K->SetBL(bl.known[0], bl.known[1]);
}

void Point::ClearJGD2000(unsigned no) {
    if (no == 0) {
        m_jgd2000 = Coordinate();
        m_status = CrdCnvStatNone;
        m_trendJGD2K = Coordinate();
    } else if (PointBlockResult *r = block(no)) {
        r->jgd2000 = Coordinate();
        r->status = CrdCnvStatNone;
        r->trendJGD2K = Coordinate();
    }
}

void Point::ClearTrndJGD2K(unsigned no) {
    if (no == 0)
        m_trendJGD2K = Coordinate();
    else if (PointBlockResult *r = block(no))
        r->trendJGD2K = Coordinate();
}

bool Point::IsExistJGD2000(unsigned no) const {
    if (no == 0)
        return m_jgd2000.IsValid();
    const PointBlockResult *r = block(no);
    return r && r->jgd2000.IsValid();
}

bool Point::IsExistAdjustedJGD2K(unsigned no) const {
    if (no == 0)
        return ownedValid(m_adjustedJGD2K);
    const PointBlockResult *r = block(no);
    return r && ownedValid(r->adjustedJGD2K);
}

bool Point::IsExistResultCrd(unsigned no) const {
    return IsExistAdjustedJGD2K(no) || IsExistJGD2000(no);
}

Coordinate Point::GetResultCrd(unsigned no) const {
    return IsExistAdjustedJGD2K(no) ? GetAdjustedJGD2K(no) : GetJGD2000(no);
}

Coordinate Point::GetCoord(CoordinateKind kind, unsigned no) const {
    switch (kind) {
    case CrdKindTokyo:
        return m_tokyo;
    case CrdKindObsITRF:
        return m_observed;
    case CrdKindJGD2000:
        return GetJGD2000(no);
    case CrdKindKnownJGD2K:
        return GetKnownJGD2K();
    case CrdKindAdjustedJGD:
        return GetAdjustedJGD2K(no);
    }
    return Coordinate();
}

void Point::SetCoord(const Coordinate &c, CoordinateKind kind, ITRFCoordKind itrf) {
    switch (kind) {
    case CrdKindTokyo:
        SetTokyoDatum(c);
        break;
    case CrdKindObsITRF:
        if (itrf == ITRFKindCnvBasis)
            SetCnvBasisITRF(c);
        else if (itrf == ITRFKindChkObs)
            SetChkObsITRF(c);
        break;
    case CrdKindJGD2000:
        SetJGD2000(c, CrdCnvStatNone, 0);
        break;
    case CrdKindKnownJGD2K:
        SetKnownJGD2K(c);
        break;
    case CrdKindAdjustedJGD:
        SetAdjustedJGD2K(c, 0);
        break;
    }
}

bool Point::IsExistCoord(CoordinateKind kind, ITRFCoordKind itrf, unsigned no) const {
    switch (kind) {
    case CrdKindTokyo:
        return IsExistTokyoDatum();
    case CrdKindObsITRF:
        if (itrf == ITRFKindCnvBasis)
            return IsExistCnvBasisITRF();
        if (itrf == ITRFKindChkObs)
            return IsExistChkObsITRF();
        return IsExistITRF();
    case CrdKindJGD2000:
        return IsExistJGD2000(no);
    case CrdKindKnownJGD2K:
        return IsExistKnownJGD2K();
    case CrdKindAdjustedJGD:
        return IsExistAdjustedJGD2K(no);
    }
    return false;
}

bool Point::AppendBlock(unsigned no) {
    if (no == 0)
        return false;
    return m_blocks.emplace(no, PointBlockResult(no)).second;
}

bool Point::RemoveBlock(unsigned no) { return no != 0 && m_blocks.erase(no) == 1; }

bool Point::IsRelatedWithBlock(unsigned no) const { return block(no) != nullptr; }

unsigned Point::GetBlockSize() const { return static_cast<unsigned>(m_blocks.size()); }

unsigned Point::GetBlockNo(unsigned n) const {
    if (n >= m_blocks.size())
        return 0;
    auto it = m_blocks.begin();
    std::advance(it, n);
    return it->first;
}

CoordDiff Point::GetCnvPrec(unsigned no) const { return CoordDiff(m_observed, GetJGD2000(no)); }

CoordDiff Point::GetCnvPrecChk(unsigned no) const {
    return CoordDiff(m_observed, IsExistAdjustedJGD2K(no) ? GetAdjustedJGD2K(no) : GetJGD2000(no));
}

CoordDiff Point::GetCrdDiff() const { return CoordDiff(m_tokyo, m_observed); }

double Point::GetCrdDiffHgt() const { return m_tokyo.GetH() - m_observed.GetH(); }

CoordDiff Point::GetCnvParam(unsigned no) const { return CoordDiff(m_tokyo, GetJGD2000(no)); }

CoordDiff Point::GetAdjCnvPrec(unsigned no) const {
    return CoordDiff(GetKnownJGD2K(), GetAdjustedJGD2K(no));
}

CoordDiff Point::GetCoordDiff(PRECISION_CHECK_ID id, unsigned no) const {
    switch (id) {
    case PrecChkCnvPrec:
        return GetCnvPrec(no);
    case PrecChkChkObs:
        return GetCnvPrecChk(no);
    case PrecChkCrdDiff:
        return GetCrdDiff();
    case PrecChkCnvParam:
        return GetCnvParam(no);
    case PrecChkAdjCnvPrec:
        return GetAdjCnvPrec(no);
    default:
        return CoordDiff();
    }
}

double Point::GetHgtDiff(PRECISION_CHECK_ID id, unsigned no) const {
    switch (id) {
    case PrecChkCnvPrec:
        return m_observed.GetH() - GetJGD2000(no).GetH();
    case PrecChkChkObs:
        return m_observed.GetH() -
               (IsExistAdjustedJGD2K(no) ? GetAdjustedJGD2K(no) : GetJGD2000(no)).GetH();
    case PrecChkCrdDiff:
        return GetCrdDiffHgt();
    case PrecChkCnvParam:
        return m_tokyo.GetH() - GetJGD2000(no).GetH();
    case PrecChkAdjCnvPrec:
        return GetKnownJGD2K().GetH() - GetAdjustedJGD2K(no).GetH();
    default:
        return 0.0;
    }
}

double Point::GetHgtDiff_ITRF_Tokyo() const { return m_observed.GetH() - m_tokyo.GetH(); }

double Point::GetHgtDiff_JGD_Tokyo() const { return m_jgd2000.GetH() - m_tokyo.GetH(); }

double Point::GetDistJGD2000(const Point *p) const {
    if (p == nullptr)
        return 0.0;
    const double dx = m_jgd2000.GetX() - p->m_jgd2000.GetX();
    const double dy = m_jgd2000.GetY() - p->m_jgd2000.GetY();
    return std::sqrt(dx * dx + dy * dy);
}

double Point::GetDistTokyoDatum(const Point *p) const {
    if (p == nullptr)
        return 0.0;
    const double dx = m_tokyo.GetX() - p->m_tokyo.GetX();
    const double dy = m_tokyo.GetY() - p->m_tokyo.GetY();
    return std::sqrt(dx * dx + dy * dy);
}

void Point::CalcBL(const PlaneArea *oldArea, const PlaneArea *newArea, unsigned no) {
    if (m_knownJGD2K)
        m_knownJGD2K->CalcBL(newArea);
    m_tokyo.CalcBL(oldArea);
    m_observed.CalcBL(newArea);
    if (no == 0) {
        m_jgd2000.CalcBL(newArea);
        if (m_adjustedJGD2K)
            m_adjustedJGD2K->CalcBL(newArea);
    } else if (PointBlockResult *r = block(no)) {
        r->jgd2000.CalcBL(newArea);
        if (r->adjustedJGD2K)
            r->adjustedJGD2K->CalcBL(newArea);
    }
}

CString Point::GetCoordKindName(CoordinateKind kind, ITRFCoordKind itrf) {
    switch (kind) {
    case CrdKindTokyo:
        return "日本測地系座標";
    case CrdKindObsITRF:
        if (itrf == ITRFKindCnvBasis)
            return "変換基準点 観測新座標";
        if (itrf == ITRFKindChkObs)
            return "検測点 観測新座標";
        return "観測新座標";
    case CrdKindJGD2000:
        return "変換後 新座標";
    default:
        return "";
    }
}

bool Point::IsConvBasisPoint() const {
    return m_tokyo.IsValid() && m_observed.IsValid() && m_itrfKind == ITRFKindCnvBasis;
}

bool Point::IsPossibleCalcParam() const { return IsConvBasisPoint() && m_useForCalc; }

bool Point::IsChkObsPoint() const {
    return m_tokyo.IsValid() && m_observed.IsValid() && m_itrfKind == ITRFKindChkObs;
}

bool Point::IsOtherPoint() const {
    if (!m_tokyo.IsValid())
        return true;
    return !(m_observed.IsValid() &&
             (m_itrfKind == ITRFKindCnvBasis || m_itrfKind == ITRFKindChkObs));
}

PointKind Point::GetPointKind() const {
    if (!m_tokyo.IsValid())
        return PntKindOther;
    if (m_observed.IsValid() && m_itrfKind == ITRFKindCnvBasis)
        return PntKindCnvBasis;
    if (m_observed.IsValid() && m_itrfKind == ITRFKindChkObs)
        return PntKindChkObs;
    return PntKindOther;
}

bool Point::IsPossiblePrecCheck(PRECISION_CHECK_ID id, unsigned no) const {
    switch (id) {
    case PrecChkCnvPrec:
        return IsExistCnvBasisITRF() && IsExistJGD2000(no);
    case PrecChkChkObs:
        return IsExistChkObsITRF() && IsExistJGD2000(no);
    case PrecChkCrdDiff:
        return m_tokyo.IsValid() && IsExistCnvBasisITRF();
    case PrecChkCnvParam:
        return m_tokyo.IsValid() && IsExistJGD2000(no);
    case PrecChkAdjCnvPrec:
        if (IsObsITRFPntRelateAdjKwnPnt())
            return IsExistCnvBasisITRF() && IsExistAdjustedJGD2K(no);
        if (IsSrcDatumPnttRelateAdjKwnPnt())
            return IsExistJGD2000(no) && IsExistAdjustedJGD2K(no);
        return false;
    default:
        return false;
    }
}

void Point::SetInsyoName(const CString &name) {
    CancelAdjustKwnPointRelate();
    m_insyoName = name;
}

void Point::SetAdjustKwnPntName(const CString &name) {
    CancelInsyoPoint();
    m_adjustKwnName = name;
}

bool Point::CancelInsyoPoint() {
    if (!m_insyoName.IsEmpty()) {
        m_insyoName.Empty();
        m_tokyo.SetValid(false);
    }
    return true;
}

bool Point::CancelAdjustKwnPointRelate() {
    if (!m_adjustKwnName.IsEmpty()) {
        m_adjustKwnName.Empty();
        ClearKnownJGD2K();
    }
    return true;
}

bool Point::RelateToInsyoPnt(const Point *p) {
    if (p == nullptr || !p->m_tokyo.IsValid())
        return false;
    SetInsyoName(p->m_name);
    m_tokyo = present(p->m_tokyo);
    m_tky3Prm = Coordinate();
    return true;
}

bool Point::RelateToKnownPnt(const Point *p) {
    if (p == nullptr || !p->IsExistKnownJGD2K())
        return false;
    const Coordinate known = p->GetKnownJGD2K(); // p may be this point
    SetAdjustKwnPntName(p->m_name);
    SetKnownJGD2K(known);
    return true;
}

bool Point::IsAdjustKwnPoint() const { return IsExistKnownJGD2K() && m_adjustKwnName.IsEmpty(); }

bool Point::IsObsITRFPntRelateAdjKwnPnt() const {
    return !m_adjustKwnName.IsEmpty() && m_observed.IsValid() && m_itrfKind == ITRFKindCnvBasis;
}

bool Point::IsSrcDatumPnttRelateAdjKwnPnt() const {
    return !m_adjustKwnName.IsEmpty() && m_tokyo.IsValid();
}

bool Point::IsAdjustBasisPoint() const {
    return IsObsITRFPntRelateAdjKwnPnt() || IsSrcDatumPnttRelateAdjKwnPnt();
}

bool Point::IsAdjustBasisOtherPoint() const {
    return !IsAdjustBasisPoint() &&
           !(m_tokyo.IsValid() && m_observed.IsValid() && m_itrfKind == ITRFKindChkObs);
}

bool Point::IsRelationedKnownPoint() const { return IsAdjustBasisPoint() && IsExistKnownJGD2K(); }

bool Point::IsRelateInsyoPoint() const {
    return !IsAdjustKwnPoint() && !m_insyoName.IsEmpty() && m_insyoName.Compare(m_name) != 0;
}

bool Point::IsSameInsyoPoint(const CString &name) const {
    return IsRelateInsyoPoint() && m_insyoName.Compare(name) == 0;
}

bool Point::IsSameRelatedInsyoPoint(const CString &name, const Coordinate &c) const {
    return m_name.Compare(name) == 0 && c.IsValid() && m_tokyo.IsValid() &&
           c.GetX() == m_tokyo.GetX() && c.GetY() == m_tokyo.GetY();
}

bool Point::IsNotRelationedInsyoPoint() const {
    return m_observed.IsValid() && m_itrfKind == ITRFKindCnvBasis && !m_tokyo.IsValid() &&
           m_insyoName.IsEmpty();
}

bool Point::CheckInsyoAndKnwonRelation() {
    if (!IsRelationedKnownPoint() && IsNotRelationedInsyoPoint())
        m_useForCalc = false;
    return m_useForCalc;
}

bool Point::IsPossibleCalcParamForAdjust() const {
    bool source;
    if (IsObsITRFPntRelateAdjKwnPnt())
        source = m_observed.IsValid() && m_itrfKind == ITRFKindCnvBasis;
    else
        source = IsSrcDatumPnttRelateAdjKwnPnt() && IsExistJGD2000(0);
    return source && IsExistKnownJGD2K() && m_useForCalc;
}

bool Point::Write(CArchive &ar) const {
    ar << m_name;
    ar << std::int32_t(m_itrfKind);
    WriteFlag(ar, m_useForCalc);
    ar << std::int32_t(m_status) << std::int32_t(m_kjnKind);
    m_tokyo.Write(ar);
    m_observed.Write(ar);
    m_jgd2000.Write(ar);
    GetKnownJGD2K().Write(ar);
    GetAdjustedJGD2K(0).Write(ar);
    ar << std::int32_t(m_blocks.size());
    for (const auto &[no, r] : m_blocks) {
        ar << std::int32_t(no) << std::int32_t(r.status);
        r.jgd2000.Write(ar);
    }
    ar << m_insyoName << m_adjustKwnName;
    return true;
}

bool Point::Read(CArchive &ar, unsigned long version) {
    Point p(m_id);
    std::int32_t itrf = 0, use = 0, status = 0, kjn = 0;
    ar >> p.m_name >> itrf >> use >> status >> kjn;
    p.m_itrfKind = static_cast<ITRFCoordKind>(itrf);
    p.m_useForCalc = use != 0;
    p.m_status = static_cast<BYTE>(status);
    p.m_kjnKind = static_cast<BYTE>(kjn);
    p.m_tokyo.Read(ar);
    p.m_observed.Read(ar);
    p.m_jgd2000.Read(ar);
    if (version > 99) {
        Coordinate known, adjusted;
        known.Read(ar);
        adjusted.Read(ar);
        if (known.IsValid())
            p.SetKnownJGD2K(known);
        if (adjusted.IsValid())
            p.SetAdjustedJGD2K(adjusted, 0);
    }
    std::int32_t count = 0;
    ar >> count;
    if (count < 0)
        AfxThrowArchiveException(CArchiveException::badIndex, ar.GetFile()->GetFilePath());
    ar.CheckRemaining(static_cast<std::uint64_t>(count), 2 * 4 + 32);
    for (std::int32_t i = 0; i < count; ++i) {
        std::int32_t no = 0, blockStatus = 0;
        ar >> no >> blockStatus;
        PointBlockResult r(static_cast<unsigned>(no));
        r.status = static_cast<BYTE>(blockStatus);
        r.jgd2000.Read(ar);
        if (no > 0)
            p.m_blocks.insert_or_assign(static_cast<unsigned>(no), std::move(r));
    }
    ar >> p.m_insyoName;
    if (version > 99)
        ar >> p.m_adjustKwnName;
    copyFrom(p);
    return true;
}
