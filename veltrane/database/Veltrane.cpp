#include "veltrane/database/Veltrane.h"

#include "kernels/Brennic/JGDRoundMode.h"
#include "kernels/Grisveld/EarthEllips.h"
#include "ombresk/JCrdSysTrans.h"
#include "veltrane/model/BasisPntIndex.h"

#include <algorithm>
#include <map>
#include <optional>

bool Veltrane::m_fChosashiMode = false;

const EarthEllips &Veltrane::BesselEllipsoid() {
    static const EarthEllips bessel(6377397.155, 299.152813);
    return bessel;
}

const EarthEllips &Veltrane::GRS80Ellipsoid() {
    static const EarthEllips grs80(6378137.0, 298.257222101);
    return grs80;
}

Veltrane::Veltrane()
    : PointTable(true), m_oldZones(&BesselEllipsoid()), m_newZones(&GRS80Ellipsoid()) {
    Initialize(true);
}

Veltrane::~Veltrane() { AllRemove(); }

void Veltrane::Initialize(bool keepKind) {
    m_prmTbl.Initialize(this, this, 0);
    if (!keepKind)
        m_prmTbl.SetCoordCnvKind(CrdCnvTKY2JGD);
    AllRemove();
    m_fCompleted = false;
    m_targetKind = JGDTargetNone;
    m_curTab = TabTokyo;
    m_curPrec = PrecChkCnvPrec;
    m_curITRFKind = ITRFKindCnvBasis;
    m_curRsltCrd = CrdKindAdjustedJGD;
    m_curRightView = ViewCoordList;
    m_planeNo = 7;
    m_fAdjustValid = false;
    m_drawSw = JGDDrawSw();
    m_zukakuCond.Initialize();
    m_datCond.Initialize();
    m_prtItemInfo.Clear();
    m_cnvPrmFile = "TKY2JGD.par";
    m_cnvPrmDir.Empty();
    m_cnvPrmVer.Empty();
    m_limitSw = 1;
    m_multiplePlusName = "#ZUB";
    ClearInsyoList();
    SetCoordCnvOption(CoordCnvOption());
}

void Veltrane::AllRemove() {
    m_selectedPairs.AllRemove();
    m_precMngTable.AllRemove();
    m_tmpTable.AllRemove();
    m_selected.AllRemove();
    m_prmTbl.ClearAll();
    m_blocks.AllRemove();
    m_lots.AllRemove();
    for (Point *p : *this)
        delete p;
    m_nameIndex.AllRemove();
    PointTable::AllRemove();
    m_fileJobs.AllRemove();
    m_selectedAreas.clear();
}

Point *Veltrane::Append(const Point &p) {
    Point *copy = Point::Clone(p);
    if (copy == nullptr)
        return nullptr;
    PointTable::Append(copy);
    m_nameIndex.Append(copy);
    return copy;
}

bool Veltrane::Edit(const Point &value, const Point *stored) {
    if (stored == nullptr || Find(stored) == -1)
        return false;
    Point *target = const_cast<Point *>(stored);
    if (&value == stored)
        return true;
    m_nameIndex.Remove(target);
    *target = value;
    m_nameIndex.Append(target);
    return true;
}

bool Veltrane::Remove(Point *p, bool rebuildIdxMaps) {
    if (p == nullptr || Find(p) == -1)
        return false;
    removePoints(PointSet{p});
    if (rebuildIdxMaps)
        MakeRetrievableIdxMap();
    return true;
}

unsigned Veltrane::RemoveSelectedPoints() {
    // One walk of every table for the whole selection; the selected points that are not in the
    // main table (or are listed twice) cannot be removed.
    PointSet gone;
    gone.reserve(m_selected.size());
    gone.insert(m_selected.begin(), m_selected.end());
    const auto stored = static_cast<std::size_t>(
        std::count_if(begin(), end(), [&gone](const Point *p) { return gone.count(p) != 0; }));
    if (stored != gone.size()) {
        PointSet found;
        for (const Point *p : *this)
            if (gone.count(p) != 0)
                found.insert(p);
        gone.swap(found);
    }
    const unsigned failed = m_selected.size() - static_cast<unsigned>(gone.size());
    removePoints(gone);
    MakeRetrievableIdxMap();
    return failed;
}

void Veltrane::removePoints(const PointSet &gone) {
    if (gone.empty())
        return;
    m_tmpTable.Remove(gone, false);
    m_prmTbl.Remove(gone);
    m_selectedPairs.RemoveRelatedWith(gone); // refers only: the pairs themselves go below
    m_precMngTable.RemoveRelatedWith(gone);
    m_selected.Remove(gone, false);
    m_nameIndex.Remove(gone);
    m_blocks.Remove(gone);
    m_lots.Remove(gone);
    for (const Point *p : gone)
        if (p->IsPossibleCalcParam())
            m_fCompleted = false; // the fit no longer matches the points
    PointTable::Remove(gone, false);
    for (const Point *p : gone)
        delete p;
}

void Veltrane::MakeRetrievableIdxMap() {
    MakeTmpIdxMap();
    m_tmpTable.MakeTmpIdxMap();
    m_selected.MakeTmpIdxMap();
    m_prmTbl.MakeRetrievableIdxMap();
    m_blocks.MakeRetrievableIdxMap();
}

void Veltrane::SetCoord(Point *p, const Coordinate &c, CoordinateKind kind, ITRFCoordKind itrf) {
    if (p)
        p->SetCoord(c, kind, itrf);
}

bool Veltrane::AppendSelect(const Point *p) {
    if (p == nullptr || IsSelected(p))
        return false;
    return m_selected.Append(const_cast<Point *>(p));
}

bool Veltrane::RemoveSelect(const Point *p) { return m_selected.Remove(p, true); }

void Veltrane::AllRemoveSelect() { m_selected.AllRemove(); }

bool Veltrane::IsSelected(const Point *p) const { return m_selected.IsIncluded(p); }

bool Veltrane::AppendSelect(int area) {
    if (std::find(m_selectedAreas.begin(), m_selectedAreas.end(), area) != m_selectedAreas.end())
        return false;
    m_selectedAreas.push_back(area);
    return true;
}

bool Veltrane::RemoveSelect(int area) {
    const auto it = std::find(m_selectedAreas.begin(), m_selectedAreas.end(), area);
    if (it == m_selectedAreas.end())
        return false;
    m_selectedAreas.erase(it);
    return true;
}

bool Veltrane::MoveSelectedCrd(const Point *anchor, bool after) {
    // The points move in the main table, or in the current block's member list.
    PointTable *list = this;
    if (const unsigned block = GetCurrentBlockNo(); block != 0)
        list = &m_blocks.FindBlock(block)->GetPntTable();
    const std::vector<Point *> tab(m_tmpTable.begin(), m_tmpTable.end());
    std::vector<Point *> moving;
    for (Point *p : tab)
        if (IsSelected(p))
            moving.push_back(p);
    if (moving.size() == tab.size())
        return false;
    auto at = std::find(tab.begin(), tab.end(), anchor);
    if (at == tab.end())
        return false;
    if (IsSelected(anchor)) {
        // The nearest unselected point, in the direction of the move first.
        const std::ptrdiff_t i = at - tab.begin();
        const std::ptrdiff_t n = static_cast<std::ptrdiff_t>(tab.size());
        const std::ptrdiff_t step = after ? 1 : -1;
        const Point *found = nullptr;
        for (std::ptrdiff_t j = i + step; !found && j >= 0 && j < n; j += step)
            if (!IsSelected(tab[j]))
                found = tab[j];
        for (std::ptrdiff_t j = i - step; !found && j >= 0 && j < n; j -= step)
            if (!IsSelected(tab[j]))
                found = tab[j];
        anchor = found;
    }
    for (Point *p : moving)
        list->Remove(p, false);
    const Point *where = anchor;
    bool before = !after;
    for (Point *p : moving) {
        list->Insert(p, where, before);
        where = p; // the next one goes right after the one just placed
        before = false;
    }
    MakeRetrievableIdxMap();
    return true;
}

void Veltrane::SetCurrentRsltCrd(CoordinateKind kind) {
    if (kind == CrdKindJGD2000 || kind == CrdKindAdjustedJGD)
        m_curRsltCrd = kind;
}

CString Veltrane::GetGeoideModelFile(int) const { return m_geoidModelFile; }

const PlaneCrdJpn *Veltrane::GetCoordSys(bool newDatum) const {
    return newDatum ? &m_newZones : &m_oldZones;
}

const PlaneArea *Veltrane::GetCurrentPlaneArea(bool newDatum) const {
    return GetCoordSys(newDatum)->GetAreaFromNo(m_planeNo);
}

bool Veltrane::SetCurrentPlaneArea(int no) {
    if (m_oldZones.GetAreaFromNo(no) == nullptr || m_newZones.GetAreaFromNo(no) == nullptr)
        return false;
    if (no != m_planeNo) {
        m_planeNo = no;
        calcAllPointBL();
    }
    return true;
}

void Veltrane::calcAllPointBL() {
    const PlaneArea *oldArea = GetCurrentPlaneArea(false);
    const PlaneArea *newArea = GetCurrentPlaneArea(true);
    for (Point *p : *this) {
        p->CalcBL(oldArea, newArea, 0);
        for (unsigned i = 0; i < p->GetBlockSize(); ++i)
            p->CalcBL(oldArea, newArea, p->GetBlockNo(i));
    }
}

void Veltrane::CalcNewCoordBL(Coordinate &c, int unit) const {
    c.CalcBL(GetCurrentPlaneArea(true), JGDRoundMode(unit, 261));
}

bool Veltrane::ShiftBetweenZones(const Coordinate &in, Coordinate *out, bool reverse) const {
    *out = in;
    const PlaneArea *oldArea = GetCurrentPlaneArea(false);
    const PlaneArea *newArea = GetCurrentPlaneArea(true);
    if (oldArea == nullptr || newArea == nullptr)
        return false;
    const JCrdSysTrans shift(oldArea->GetProjection(), newArea->GetProjection(),
                             oldArea->GetRefEllips(), newArea->GetRefEllips());
    double x = 0.0, y = 0.0, h = 0.0;
    const bool done = reverse ? shift.TransferRvs(in.GetX(), in.GetY(), in.GetElpsH(), &x, &y, &h)
                              : shift.Transfer(in.GetX(), in.GetY(), in.GetElpsH(), &x, &y, &h);
    if (!done)
        return false;
    out->SetXYH(x, y, in.GetH(), in.IsHUsed());
    return true;
}

bool Veltrane::takeForTab(const Point *p, TABID tab, CoordinateKind kind,
                          ITRFCoordKind itrf) const {
    if (!p->IsExistCoord(kind, itrf, 0))
        return false;
    switch (tab) {
    case TabKnownJGD:
        return !p->IsObsITRFPntRelateAdjKwnPnt() && !p->IsSrcDatumPnttRelateAdjKwnPnt();
    case TabObsITRF:
        return true;
    default:
        return !p->IsRelateInsyoPoint() && !p->IsObsITRFPntRelateAdjKwnPnt();
    }
}

void Veltrane::MakeTmpTable(PointTable *table, TABID tab, ITRFCoordKind itrf, int subIndex) {
    table->AllRemove();
    const unsigned block = GetCurrentBlockNo();
    table->SetBlockNo(block);
    if (tab != TabPrecChk && tab != TabAreaChk) {
        const CoordinateKind kind = ConvertTabToCoordinateKind(tab, subIndex);
        if (block == 0) {
            for (Point *p : *this)
                if (takeForTab(p, tab, kind, itrf))
                    table->Append(p);
        } else {
            for (Point *p : *m_blocks.FindBlock(block))
                if (p->IsExistCoord(kind, itrf, block) &&
                    (tab != TabKnownJGD || !p->IsAdjustBasisPoint()))
                    table->Append(p);
        }
    }
    table->MakeTmpIdxMap();
}

void Veltrane::MakeTmpTable(PointTable *table) {
    MakeTmpTable(table, m_curTab, GetCurrentITRFKind(), getJGD2kTabSubIdx());
}

void Veltrane::MakeTmpTable() { MakeTmpTable(&m_tmpTable); }

int Veltrane::getJGD2kTabSubIdx() const {
    return m_fAdjustValid && m_curRsltCrd == CrdKindAdjustedJGD ? 1 : 0;
}

bool Veltrane::IsAgreeWithCurrentTab(const Point *p) const {
    switch (m_curTab) {
    case TabPrecChk:
        return p->IsPossiblePrecCheck(m_curPrec, GetCurrentBlockNo());
    case TabAreaChk:
        return false;
    default:
        return p->IsExistCoord(ConvertTabToCoordinateKind(m_curTab, getJGD2kTabSubIdx()),
                               GetCurrentITRFKind(), GetCurrentBlockNo());
    }
}

void Veltrane::MakeResultPointTable(unsigned block, PointTable *out, bool withBasis, bool withCheck,
                                    bool withAdjust) const {
    makeResultPointTable(block, out, nullptr, withBasis, withCheck, withAdjust);
}

void Veltrane::MakeResultPointTable(unsigned block, PointTable *out, const PointTable &basis,
                                    bool withBasis, bool withCheck, bool withAdjust) const {
    makeResultPointTable(block, out, &basis, withBasis, withCheck, withAdjust);
}

void Veltrane::makeResultPointTable(unsigned block, PointTable *out, const PointTable *given,
                                    bool withBasis, bool withCheck, bool withAdjust) const {
    if (block == 0) {
        if (given)
            PointTable::MakeResultPointTable(out, *given, withBasis, withCheck, withAdjust);
        else
            PointTable::MakeResultPointTable(out, withBasis, withCheck, withAdjust);
        return;
    }
    const bool byPriority = block == static_cast<unsigned>(-1);
    // The marks the basis stands for, looked up once for the whole walk: the given table, or
    // without one the basis points with a result in each block, made when first needed.
    std::optional<BasisPntIndex> givenMarks;
    if (given && !withBasis)
        givenMarks.emplace(*given);
    std::map<unsigned, BasisPntIndex> marks;
    auto basisOf = [&](unsigned no) -> const BasisPntIndex & {
        if (givenMarks)
            return *givenMarks;
        auto it = marks.find(no);
        if (it == marks.end()) {
            PointTable basis;
            for (Point *b : *this)
                if (b->IsConvBasisPoint() && b->IsExistResultCrd(no))
                    basis.Append(b);
            it = marks.emplace(no, BasisPntIndex(basis)).first;
        }
        return it->second;
    };
    for (Point *p : *this) {
        if (p->IsConvBasisPoint() || p->IsObsITRFPntRelateAdjKwnPnt())
            continue;
        unsigned no = block;
        if (byPriority ? !m_blocks.GetPriorResultCrd(p, nullptr, nullptr, &no)
                       : !p->IsExistResultCrd(no))
            continue;
        if (!withBasis && basisOf(no).Contains(p))
            continue;
        if (!withAdjust && p->IsSrcDatumPnttRelateAdjKwnPnt())
            continue;
        if (!withCheck && p->IsChkObsPoint())
            continue;
        out->Append(p);
    }
}

bool Veltrane::GetNewCoordForPrecMng(const Point *p, int block, Coordinate *out) const {
    if (p == nullptr || out == nullptr || block < -1)
        return false;
    const int source = m_datCond.GetPrecSource();
    if (source == 1 && p->IsExistKnownJGD2K()) {
        *out = p->GetKnownJGD2K();
        return true;
    }
    if (source != 0 && source != 1)
        return false;
    if (block == -1)
        return GetJGD2000(p, -1, out, nullptr);
    *out = p->GetResultCrd(static_cast<unsigned>(block));
    return true;
}
