#include "pallomir/ui/JIProgMsgBase.h"
#include "veltrane/conversion/ConversionState.h"
#include "veltrane/database/Veltrane.h"
#include "veltrane/model/T2JErrIdxDB.h"

#include <algorithm>
#include <functional>

CString Veltrane::GetCrdTrnsBlockName(unsigned block) const {
    const CrdTrnsBlock *b = m_blocks.FindBlock(block);
    return b ? b->GetName() : CString();
}

unsigned Veltrane::RemoveSelectedPointsFromBlock(unsigned block) {
    CrdTrnsBlock *b = m_blocks.FindBlock(block);
    if (b == nullptr)
        return 0;
    unsigned removed = 0;
    for (Point *p : m_selected)
        if (b->RemovePnt(p, true, true))
            ++removed;
    b->MakePntRetrievableIdxMap();
    AllRemoveSelect();
    return removed;
}

unsigned Veltrane::AppendSelectedPoints(unsigned block) {
    CrdTrnsBlock *b = m_blocks.FindBlock(block);
    if (b == nullptr)
        return 0;
    unsigned added = 0;
    for (Point *p : m_selected)
        if (b->AppendPnt(p, true, true))
            ++added;
    AllRemoveSelect();
    return added;
}

unsigned Veltrane::MoveSelectedPoints(unsigned from, unsigned to) {
    CrdTrnsBlock *source = m_blocks.FindBlock(from);
    CrdTrnsBlock *target = m_blocks.FindBlock(to);
    if (source == nullptr || target == nullptr || from == to)
        return 0;
    for (Point *p : m_selected)
        source->RemovePnt(p, true, true);
    source->MakePntRetrievableIdxMap();
    unsigned added = 0;
    for (Point *p : m_selected)
        if (target->AppendPnt(p, true, true))
            ++added;
    AllRemoveSelect();
    return added;
}

bool Veltrane::CheckSelectedPntRemoveEffect(unsigned block) const {
    const CrdTrnsBlock *b = m_blocks.FindBlock(block);
    if (b == nullptr || !b->IsCrdCnvCompleted())
        return false;
    return std::any_of(m_selected.begin(), m_selected.end(), [b](const Point *p) {
        return p->IsPossibleCalcParam() && b->IsPntIncluded(p);
    });
}

bool Veltrane::CheckSelectedPntRemoveEffect(std::vector<unsigned> *blocks) const {
    std::vector<unsigned> found;
    auto note = [&found](unsigned no) {
        if (std::find(found.begin(), found.end(), no) == found.end())
            found.push_back(no);
    };
    for (const Point *p : m_selected) {
        if (!p->IsPossibleCalcParam())
            continue;
        if (m_fCompleted)
            note(0);
        for (unsigned i = 0; i < m_blocks.GetBlockSize(); ++i) {
            const CrdTrnsBlock *b = m_blocks.GetBlock(i, false);
            if (b->IsCrdCnvCompleted() && b->IsPntIncluded(p))
                note(b->GetNo());
        }
    }
    if (blocks)
        *blocks = found;
    return !found.empty();
}

bool Veltrane::GetJGD2000(const Point *p, int block, Coordinate *out,
                          CoordConvStatusD *status) const {
    if (p == nullptr || out == nullptr || block < -1)
        return false;
    if (block == -1)
        return m_blocks.GetPriorResultCrd(p, out, status);
    const auto no = static_cast<unsigned>(block);
    if (!p->IsExistResultCrd(no))
        return false;
    *out = p->GetResultCrd(no);
    if (status)
        *status = p->GetCrdCnvStat(no);
    return true;
}

bool Veltrane::GetMinMax(double *xmin, double *ymin, double *xmax, double *ymax,
                         const T2JErrIdxDB *errIdx, bool withBlocks) const {
    bool any = PointTable::GetMinMax(xmin, ymin, xmax, ymax, CrdKindTokyo);
    // A collection without indexes leaves the box as it was.
    if (errIdx && m_drawSw.IsDrawErrIdx() &&
        errIdx->GetMinMax(GetCurrentPlaneArea(false), xmin, ymin, xmax, ymax, any))
        any = true;
    if (withBlocks)
        for (unsigned i = 0; i < m_blocks.GetBlockSize(); ++i)
            if (m_blocks.GetBlock(i, false)->GetMinMax(xmin, ymin, xmax, ymax, any))
                any = true;
    return any;
}

namespace {

// Prepares every block with the option that choose gives for it; the progress counts blocks and
// is closed on every way out.
bool prepareBlocks(Veltrane *db, CrdTrnsBlockTbl &blocks,
                   const std::function<CoordCnvOption(unsigned)> &choose,
                   JIProgMsgBase2 *progress) {
    if (progress) {
        progress->ProgressInit(JGD_PROGRESS_TYPE(1));
        progress->SetMaxElement(static_cast<int>(blocks.GetBlockSize()));
    }
    ConversionState kept; // a block that fails puts back every block prepared before it
    bool ok = true;
    for (unsigned i = 0; ok && i < blocks.GetBlockSize(); ++i) {
        CrdTrnsBlock *block = blocks.GetBlock(i, false);
        ok = block->PrepareCoordConv(choose(block->GetNo()), db, progress, &kept);
        if (ok && progress)
            progress->SetNowElement(static_cast<int>(i + 1));
    }
    if (ok)
        kept.Commit();
    if (progress)
        progress->ProgressTerm();
    return ok;
}

} // namespace

bool Veltrane::PrepareBlockCoordConv(const CoordCnvOption &option, JIProgMsgBase2 *progress) {
    return prepareBlocks(
        this, m_blocks, [&option](unsigned) { return option; }, progress);
}

bool Veltrane::PrepareBlockCoordConv(const CrdCnvOptTbl &options, JIProgMsgBase2 *progress) {
    return prepareBlocks(
        this, m_blocks,
        [&options](unsigned no) {
            for (const CrdCnvOptTblEntry &entry : options)
                if (entry.blockNo == no)
                    return entry.option;
            return CoordCnvOption();
        },
        progress);
}

bool Veltrane::BlockCoordConvExecute(CoordCnvKind kind, std::vector<CString> *messages,
                                     JIProgMsgBase2 *progress) {
    auto kindOf = [kind](const CrdTrnsBlock *b) {
        return kind == CrdCnvBlockOwn ? b->GetCrdCnvPrmTbl()->GetCoordCnvKind() : kind;
    };
    std::vector<CrdTrnsBlock *> targets;
    int notReady = 0;
    for (unsigned i = 0; i < m_blocks.GetBlockSize(); ++i) {
        CrdTrnsBlock *b = m_blocks.GetBlock(i, false);
        if (!b->IsCalcTarget())
            continue;
        targets.push_back(b);
        const CoordConvParam *engine = b->GetCoordConvParam(kindOf(b));
        if (engine != nullptr && engine->IsCalced())
            continue;
        ++notReady;
        if (messages == nullptr)
            continue;
        CString text;
        if (engine == nullptr) // never prepared, or a kind without an engine
            text.Format("ブロック番号 %d の変換パラメータが取得できななかったため、変換を行うこと"
                        "ができませんでした。\n",
                        static_cast<int>(b->GetNo()));
        else
            text.Format("ブロック名[%s] : %sは、変換基準点が %d 点以上ないと計算できません。\n",
                        static_cast<const char *>(b->GetName()),
                        static_cast<const char *>(GetCoordCnvKindName(kindOf(b))),
                        engine->GetMinPosNum());
        messages->push_back(text);
    }
    if (notReady > 0)
        return false;

    if (progress) {
        progress->ProgressInit(JGD_PROGRESS_TYPE(1));
        progress->SetMaxElement(static_cast<int>(targets.size()));
    }
    ConversionState kept; // a block that fails puts back every block converted before it
    int converted = 0;
    for (CrdTrnsBlock *b : targets) {
        if (!b->ExecuteCoordConv(kindOf(b), progress, &kept))
            break;
        ++converted;
        if (progress)
            progress->SetNowElement(converted);
    }
    if (progress)
        progress->ProgressTerm();
    if (converted != static_cast<int>(targets.size()))
        return false;
    kept.Commit();
    if (converted == 0) {
        if (messages)
            messages->push_back("計算対象となるブロックが１つも選択されていないため計算は行われ"
                                "ませんでした。\n");
        return false;
    }
    if (m_targetKind == JGDTargetNone)
        m_targetKind = JGDTargetBlocks;
    return true;
}
