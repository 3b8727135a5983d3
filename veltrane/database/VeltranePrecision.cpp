#include "veltrane/database/Veltrane.h"

#include <algorithm>

void Veltrane::MakeAllPrecChkTable() { m_prmTbl.MakeAllPrecChkTable(); }

void Veltrane::MakePrecChkTable(int id) {
    const int kind = id == -1 ? m_curPrec : id;
    if (kind == PrecChkCnvPrec || kind == PrecChkChkObs)
        m_prmTbl.MakePrecChkTable(static_cast<PRECISION_CHECK_ID>(kind));
}

void Veltrane::remakeChkObsPrecTables() {
    if (IsCrdCnvCompleted(0))
        m_prmTbl.MakePrecChkTable(PrecChkChkObs);
    for (unsigned i = 0; i < m_blocks.GetBlockSize(); ++i) {
        CrdTrnsBlock *block = m_blocks.GetBlock(i, false);
        if (block->IsCrdCnvCompleted())
            block->GetCrdCnvPrmTbl()->MakePrecChkTable(PrecChkChkObs);
    }
}

bool Veltrane::MakePrecMngTable(const PointTable *table, int nearest, JIProgMsgBase *progress) {
    return m_precMngTable.Create(this, table, nearest, progress);
}

PrecisionChkTable *Veltrane::GetPrecChkTable(int id, unsigned block) {
    const auto kind = static_cast<PRECISION_CHECK_ID>(id == -1 ? m_curPrec : id);
    if (block == 0)
        return m_prmTbl.GetPrecChkTable(kind);
    CrdTrnsBlock *b = m_blocks.FindBlock(block);
    return b ? b->GetCrdCnvPrmTbl()->GetPrecChkTable(kind) : nullptr;
}

const PrecisionChkTable *Veltrane::GetPrecChkTable(int id, unsigned block) const {
    return const_cast<Veltrane *>(this)->GetPrecChkTable(id, block);
}

PrecisionChkTable *Veltrane::GetCurrentPrecChkTable() {
    return GetPrecChkTable(-1, GetCurrentBlockNo());
}

bool Veltrane::SetResidualLimitByMM(int basis, int check) {
    PrecisionChkTable *b = GetPrecChkTable(PrecChkCnvPrec, 0);
    PrecisionChkTable *c = GetPrecChkTable(PrecChkChkObs, 0);
    if (b == nullptr || c == nullptr)
        return false;
    b->SetResidualLimitByMM(basis);
    c->SetResidualLimitByMM(check);
    return true;
}

bool Veltrane::SetResidualLimitByMM_H(int basis, int check) {
    PrecisionChkTable *b = GetPrecChkTable(PrecChkCnvPrec, 0);
    PrecisionChkTable *c = GetPrecChkTable(PrecChkChkObs, 0);
    if (b == nullptr || c == nullptr)
        return false;
    b->SetResidualLimitByMM_H(basis);
    c->SetResidualLimitByMM_H(check);
    return true;
}

const PrecisionChkTable *Veltrane::checkTableFor(const Point *p, unsigned block) const {
    if (p == nullptr || !IsCrdCnvCompleted(static_cast<int>(block)) || !p->IsExistTokyoDatum())
        return nullptr;
    if (p->IsConvBasisPoint())
        return GetPrecChkTable(PrecChkCnvPrec, block);
    if (p->IsChkObsPoint())
        return GetPrecChkTable(PrecChkChkObs, block);
    return nullptr;
}

bool Veltrane::CheckPrecIsInLimit(const Point *p, unsigned block) const {
    const PrecisionChkTable *t = checkTableFor(p, block);
    return t == nullptr || t->CheckPrecIsInLimit(p, m_limitSw);
}

bool Veltrane::CheckPrecIsInLimitAll(const Point *p, unsigned block) const {
    const PrecisionChkTable *t = checkTableFor(p, block);
    return t == nullptr || t->CheckPrecIsInLimitAll(p, m_limitSw);
}

bool Veltrane::CheckPrecXIsInLimit(const Point *p, unsigned block) const {
    const PrecisionChkTable *t = checkTableFor(p, block);
    if (t == nullptr)
        return true;
    return m_limitSw == 1 ? t->CheckPrecIsInLimit(p, 1) : t->CheckPrecXIsInLimit(p);
}

bool Veltrane::CheckPrecYIsInLimit(const Point *p, unsigned block) const {
    const PrecisionChkTable *t = checkTableFor(p, block);
    if (t == nullptr)
        return true;
    return m_limitSw == 1 ? t->CheckPrecIsInLimit(p, 1) : t->CheckPrecYIsInLimit(p);
}

bool Veltrane::CheckPrecHIsInLimit(const Point *p, unsigned block) const {
    const PrecisionChkTable *t = checkTableFor(p, block);
    return t == nullptr || t->CheckPrecHIsInLimit(p);
}

bool Veltrane::Remove(PrecMngElm *pair) {
    if (!m_selectedPairs.Remove(pair))
        return false;
    return m_precMngTable.Remove(pair);
}

bool Veltrane::MoveSelectedPMElm(const PrecMngElm *anchor, bool after) {
    const std::vector<PrecMngElm *> pairs(m_precMngTable.begin(), m_precMngTable.end());
    auto selected = [this](const PrecMngElm *e) { return m_selectedPairs.Find(e) >= 0; };
    std::vector<PrecMngElm *> moving;
    for (PrecMngElm *e : pairs)
        if (selected(e))
            moving.push_back(e);
    if (moving.size() == pairs.size())
        return false;
    const auto at = std::find(pairs.begin(), pairs.end(), anchor);
    if (at == pairs.end())
        return false;
    if (selected(anchor)) {
        // The nearest unselected pair, in the direction of the move first.
        const std::ptrdiff_t i = at - pairs.begin(), n = static_cast<std::ptrdiff_t>(pairs.size());
        const std::ptrdiff_t step = after ? 1 : -1;
        const PrecMngElm *found = nullptr;
        for (std::ptrdiff_t j = i + step; !found && j >= 0 && j < n; j += step)
            if (!selected(pairs[j]))
                found = pairs[j];
        for (std::ptrdiff_t j = i - step; !found && j >= 0 && j < n; j -= step)
            if (!selected(pairs[j]))
                found = pairs[j];
        anchor = found;
    }
    const PrecMngElm *where = anchor;
    bool before = !after;
    for (PrecMngElm *e : moving) {
        m_precMngTable.Move(e, where, before);
        where = e;
        before = false;
    }
    return true;
}

bool Veltrane::IsExistInCoordList(const Point *p) const {
    switch (m_curTab) {
    case TabPrecChk: {
        if (m_curPrec != PrecChkCnvPrec && m_curPrec != PrecChkChkObs)
            return false;
        const PrecisionChkTable *t = GetPrecChkTable(m_curPrec, GetCurrentBlockNo());
        return t && t->IsIncluded(p);
    }
    case TabAreaChk:
        return false;
    default:
        return m_tmpTable.IsIncluded(p);
    }
}

std::vector<Point *> Veltrane::selectedInCurrentList(bool inPrecisionView) const {
    std::vector<Point *> points;
    const PrecisionChkTable *prec = inPrecisionView && m_curRightView != ViewCoordList
                                        ? GetPrecChkTable(-1, GetCurrentBlockNo())
                                        : nullptr;
    for (Point *p : m_selected) {
        bool listed;
        if (!inPrecisionView)
            listed = IsExistInCoordList(p);
        else if (m_curRightView != ViewCoordList)
            listed = prec && prec->IsIncluded(p);
        else
            listed = PointTable::Find(p) >= 0;
        if (listed)
            points.push_back(p);
    }
    return points;
}

void Veltrane::OnSetUseForCalc(bool value, bool inPrecisionView) {
    for (Point *p : selectedInCurrentList(inPrecisionView))
        p->SetUseForCalc(value);
}

void Veltrane::SetSelectedKjnKind(KjnPointKind kind, bool inPrecisionView) {
    for (Point *p : selectedInCurrentList(inPrecisionView))
        p->SetKjnPtKind(kind);
}

bool Veltrane::IsEnableSetUseForCalc(bool inPrecisionView) const {
    const std::vector<Point *> points = selectedInCurrentList(inPrecisionView);
    return points.size() > 1 || (points.size() == 1 && !points.front()->GetUseForCalc());
}

bool Veltrane::IsEnableSetUnuseForCalc(bool inPrecisionView) const {
    const std::vector<Point *> points = selectedInCurrentList(inPrecisionView);
    return points.size() > 1 || (points.size() == 1 && points.front()->GetUseForCalc());
}
