#include "veltrane/conversion/CrdCnvPrmTbl.h"

#include "pallomir/ui/JIProgMsgBase.h"
#include "platform/core/CArchive.h"
#include "veltrane/conversion/InverseDistance.h"
#include "veltrane/conversion/StepProgress.h"
#include "veltrane/database/Veltrane.h"
#include "veltrane/model/ArchiveFields.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>

namespace {

constexpr PRECISION_CHECK_ID kTableIds[3] = {PrecChkCnvPrec, PrecChkChkObs, PrecChkAdjCnvPrec};

// The engines the table offers, in the order they are built.
constexpr CoordCnvKind kEngineKinds[4] = {CrdCnvHelmert, CrdCnvAffine2, CrdCnvHelmert3,
                                          CrdCnvParaTrans2};

// What the wait dialog says while the latitudes and longitudes and the heights are computed.
constexpr JGD_PROGRESS_KIND kProgressConvert{1};
constexpr JGD_PROGRESS_KIND kProgressCalc{3};

} // namespace

CrdCnvPrmTbl::CrdCnvPrmTbl() {
    for (int i = 0; i < 3; ++i)
        m_precTables[i].Initialize(kTableIds[i], 0);
    SetCoordCnvOption(CoordCnvOption()); // every stored option passes the same rule
}

CrdCnvPrmTbl::~CrdCnvPrmTbl() { ClearAll(); }

int CrdCnvPrmTbl::convPrecIdToIdx(PRECISION_CHECK_ID id) {
    return id == PrecChkChkObs ? 1 : id == PrecChkAdjCnvPrec ? 2 : 0;
}

// The block number stays: a table of a block that loses its fit still belongs to that block.
void CrdCnvPrmTbl::ClearCrdCnvTbl() { m_engines.clear(); }

bool CrdCnvPrmTbl::Initialize(Veltrane *db, PointTable *points, unsigned block) {
    ClearCrdCnvTbl();
    m_nBlockNo = block;
    if (db == nullptr || points == nullptr)
        return false;
    m_pDataBase = db;
    m_pPointTable = points;
    return true;
}

void CrdCnvPrmTbl::convSysTrans(const Coordinate &in, Coordinate *out) const {
    if (m_pDataBase)
        m_pDataBase->ShiftBetweenZones(in, out, false);
    else
        *out = in;
}

bool CrdCnvPrmTbl::PrepareCoordConv(const CoordCnvOption &option, JIProgMsgBase *progress) {
    if (m_pDataBase == nullptr || m_pPointTable == nullptr)
        return false;
    ClearCrdCnvTbl(); // a second preparation replaces the engines of the first
    m_pPointTable->CheckInsyoAndKnownRelation();

    if (option.m_fDatumShift) {
        if (progress) {
            progress->SetProgressKind(static_cast<JGD_PROGRESS_KIND>(4));
            progress->ProgressStart(1);
            progress->Progress(1);
        }
        for (Point *p : *m_pPointTable) {
            if (!p->IsExistTokyoDatum())
                continue;
            Coordinate shifted;
            convSysTrans(p->GetTokyoDatum(), &shifted);
            p->SetTky3PrmCrd(shifted);
        }
        if (progress)
            progress->ProgressEnd();
    }

    std::vector<std::shared_ptr<CoordConvParam>> built;
    for (CoordCnvKind kind : kEngineKinds) {
        std::shared_ptr<CoordConvParam> engine(CoordConvParam::CreateCrdCnvPrmObj(
            kind, m_pDataBase, m_pPointTable, CoordConvParam::CalcModeNormal, m_nBlockNo));
        if (!engine)
            return false;
        built.push_back(std::move(engine));
    }
    m_engines = std::move(built);

    if (progress) {
        progress->SetProgressKind(static_cast<JGD_PROGRESS_KIND>(7));
        progress->ProgressStart(4);
    }
    for (std::size_t i = 0; i < m_engines.size(); ++i) {
        if (progress && !progress->Progress(static_cast<int>(i + 1))) {
            progress->ProgressEnd();
            return false;
        }
        m_engines[i]->Calculation(option); // a failed fit leaves that engine unfitted
    }
    if (progress)
        progress->ProgressEnd();
    return true;
}

bool CrdCnvPrmTbl::ExecuteCoordConv(CoordCnvKind kind, JIProgMsgBase *progress) {
    if (m_pDataBase == nullptr || m_pPointTable == nullptr)
        return false;
    CoordConvParam *engine = GetCoordConvParam(kind);
    if (engine == nullptr || !engine->IsCalced())
        return false;
    m_fCompleted = false;
    for (Point *p : *m_pPointTable)
        p->ClearJGD2000(m_nBlockNo);
    if (!engine->CalcJGD2000(m_pPointTable, progress, false))
        return false; // cancelled

    m_fAdjustCompleted = false;
    if (static_cast<int>(m_pPointTable->GetAdjustKnownPointSize()) >= engine->GetMinPosNum()) {
        m_adjustEngine.reset(
            CoordConvParam::CreateCrdCnvPrmObj(engine->GetType(), m_pDataBase, m_pPointTable,
                                               CoordConvParam::CalcModeAdjust, m_nBlockNo));
        if (m_adjustEngine && m_adjustEngine->Calculation(m_pDataBase->GetCoordCnvOption())) {
            if (!m_adjustEngine->CalcJGD2000(m_pPointTable, progress, false))
                return false; // cancelled
            m_fAdjustCompleted = true;
        }
    }
    if (!calcAllPointBL(progress) || !correctHeights(progress))
        return false; // cancelled
    MakeAllPrecChkTable();
    m_fCompleted = true;
    m_selectedKind = kind;
    return true;
}

bool CrdCnvPrmTbl::correctHeights(JIProgMsgBase *progress) {
    // What the step takes of each basis point, once for the whole walk: its Tokyo position and
    // height difference, and by the name of the old mark it was observed at, its observed
    // height (with several at one mark, the last in table order).
    struct BasisNode {
        double x;
        double y;
        double heightDiff;
    };
    std::vector<BasisNode> basis;
    std::unordered_map<std::string_view, double> markHeights;
    for (const Point *b : *m_pPointTable) {
        if (!b->IsPossibleCalcParam())
            continue;
        const Coordinate tokyo = b->GetTokyoDatum();
        basis.push_back({tokyo.GetX(), tokyo.GetY(), b->GetHgtDiff_ITRF_Tokyo()});
        // An empty name names no old mark: a nameless target is weighted like any other.
        const std::string &mark = b->GetInsyoName().Bytes();
        if (!mark.empty())
            markHeights[mark] = b->GetObservedITRF().GetH();
    }
    if (basis.empty())
        return true;
    return WalkPoints(*m_pPointTable, progress, kProgressCalc, false, [&](Point *p, unsigned) {
        if (p->IsConvBasisPoint())
            return;
        Coordinate r = p->GetJGD2000(m_nBlockNo);
        // The point is the old mark that a basis point was observed at. Names compare as C
        // strings do.
        const auto mark = markHeights.find(std::string_view(p->GetName().GetString()));
        if (mark != markHeights.end()) {
            if (r.IsHUsed()) {
                r.SetH(mark->second);
                p->SetJGD2000(r, p->GetCrdCnvStat(m_nBlockNo), m_nBlockNo);
            }
            return;
        }
        const Coordinate tokyo = p->GetTokyoDatum();
        double total = 0.0, h = 0.0;
        ForEachInverseDistanceWeight(tokyo.GetX(), tokyo.GetY(), basis.data(), basis.size(),
                                     [&](const BasisNode &b, double w) {
                                         total += w;
                                         h += b.heightDiff * w;
                                     });
        if (total <= 0.0 || !r.IsHUsed())
            return;
        r.SetH(tokyo.GetH() + h / total);
        p->SetJGD2000(r, p->GetCrdCnvStat(m_nBlockNo), m_nBlockNo);
    });
}

bool CrdCnvPrmTbl::calcAllPointBL(JIProgMsgBase *progress) {
    if (m_pDataBase == nullptr || m_pPointTable == nullptr)
        return true;
    const PlaneArea *oldArea = m_pDataBase->GetCurrentPlaneArea(false);
    const PlaneArea *newArea = m_pDataBase->GetCurrentPlaneArea(true);
    return WalkPoints(*m_pPointTable, progress, kProgressConvert, false,
                      [&](Point *p, unsigned) { p->CalcBL(oldArea, newArea, m_nBlockNo); });
}

CoordConvParam *CrdCnvPrmTbl::GetCoordConvParam(CoordCnvKind kind) {
    for (const auto &engine : m_engines)
        if (engine->GetType() == kind)
            return engine.get();
    return nullptr;
}

const CoordConvParam *CrdCnvPrmTbl::GetCoordConvParam(CoordCnvKind kind) const {
    for (const auto &engine : m_engines)
        if (engine->GetType() == kind)
            return engine.get();
    return nullptr;
}

const CoordConvParam *CrdCnvPrmTbl::GetSelectedCoordConvParam() const {
    return GetCoordConvParam(m_selectedKind);
}

const CoordConvParam *CrdCnvPrmTbl::GetSelectedCoordConvParamForAdjust() const {
    return m_fAdjustCompleted ? m_adjustEngine.get() : nullptr;
}

void CrdCnvPrmTbl::SetCoordCnvOption(const CoordCnvOption &option) {
    m_option = option;
    if (m_option.m_fUseGeoid)
        m_option.m_nFlag |= CoordCnvOption::kAddGeoidHeight;
}

PrecisionChkTable *CrdCnvPrmTbl::GetPrecChkTable(PRECISION_CHECK_ID id) {
    if (id != PrecChkCnvPrec && id != PrecChkChkObs && id != PrecChkAdjCnvPrec)
        return nullptr;
    return &m_precTables[convPrecIdToIdx(id)];
}

const PrecisionChkTable *CrdCnvPrmTbl::GetPrecChkTable(PRECISION_CHECK_ID id) const {
    return const_cast<CrdCnvPrmTbl *>(this)->GetPrecChkTable(id);
}

void CrdCnvPrmTbl::MakePrecChkTable(PRECISION_CHECK_ID id) {
    PrecisionChkTable *table = GetPrecChkTable(id);
    if (m_pDataBase == nullptr || m_pPointTable == nullptr || table == nullptr)
        return;
    table->Initialize(id, m_nBlockNo);
    for (Point *p : *m_pPointTable)
        if (p->IsPossiblePrecCheck(id, m_nBlockNo))
            table->Append(p);
    table->CalcAverage();
}

void CrdCnvPrmTbl::MakeAllPrecChkTable() {
    if (m_pDataBase == nullptr || m_pPointTable == nullptr)
        return;
    for (PRECISION_CHECK_ID id : kTableIds)
        MakePrecChkTable(id);
}

bool CrdCnvPrmTbl::MakeRetrievableIdxMap() {
    for (PrecisionChkTable &t : m_precTables)
        t.MakeTmpIdxMap();
    return true;
}

void CrdCnvPrmTbl::ClearAll() {
    m_fCompleted = false;
    m_fAdjustCompleted = false;
    ClearCrdCnvTbl();
    for (int i = 0; i < 3; ++i)
        m_precTables[i].Initialize(kTableIds[i], m_nBlockNo);
    m_adjustEngine.reset();
}

bool CrdCnvPrmTbl::Remove(const Point *p) { return Remove(PointSet{p}); }

bool CrdCnvPrmTbl::Remove(const PointSet &points) {
    bool held = false;
    bool fitGone = false;
    for (PrecisionChkTable &t : m_precTables) {
        for (const Point *p : t)
            if (!fitGone && points.count(p) != 0 && p->IsPossibleCalcParam())
                fitGone = true;
        held = t.Remove(points, false) > 0 || held;
    }
    if (fitGone)
        ClearAll();
    return held;
}

int CrdCnvPrmTbl::GetHikoVectMax(double *max) const {
    double largest = 0.0;
    if (m_pPointTable) {
        for (const Point *p : *m_pPointTable) {
            double d = 0.0;
            if (p->IsConvBasisPoint())
                d = p->GetHgtDiff_ITRF_Tokyo();
            else if (p->IsExistJGD2000(0))
                d = p->GetHgtDiff_JGD_Tokyo();
            largest = std::max(largest, d);
        }
    }
    *max = largest;
    return 1;
}

bool CrdCnvPrmTbl::Write(CArchive &ar) const {
    WriteFlag(ar, m_fCompleted);
    WriteInt(ar, m_selectedKind);
    WriteCoordCnvOption(ar, m_option);
    return true;
}

bool CrdCnvPrmTbl::Read(CArchive &ar, unsigned long) {
    ar.CheckRemaining(1, 64); // the whole record or nothing
    m_fCompleted = ReadFlag(ar);
    m_selectedKind = static_cast<CoordCnvKind>(ReadInt(ar));
    const CoordCnvOption option = ReadCoordCnvOption(ar);
    // With its stored use-geoid switch: a stored "no geoid" does not gain the geoid bit, so what
    // is read writes back the same.
    SetCoordCnvOption(option);
    return true;
}
