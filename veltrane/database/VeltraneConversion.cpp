#include "ombresk/OmbreskMngr.h"
#include "pallomir/ui/JIProgMsgBase.h"
#include "veltrane/conversion/ConversionState.h"
#include "veltrane/conversion/CoordConvTKY2JGD.h"
#include "veltrane/database/Veltrane.h"

bool Veltrane::PrepareCoordConv(const CoordCnvOption &option, JIProgMsgBase *progress,
                                ConversionState *kept) {
    if (progress)
        progress->ProgressInit(JGD_PROGRESS_TYPE(1));
    ConversionState own;
    ConversionState &state = kept ? *kept : own;
    state.KeepForPreparation(*this, option);
    state.Keep(m_prmTbl);
    const bool ok =
        m_prmTbl.Initialize(this, this, 0) && m_prmTbl.PrepareCoordConv(option, progress);
    if (ok)
        own.Commit();
    if (progress)
        progress->ProgressTerm();
    return ok;
}

bool Veltrane::CoordConvExecute(CoordCnvKind kind, JIProgMsgBase *progress, ConversionState *kept) {
    ConversionState own;
    ConversionState &state = kept ? *kept : own;
    state.Keep(*this, 0);
    state.Keep(m_prmTbl);
    if (!m_prmTbl.ExecuteCoordConv(kind, progress))
        return false;
    own.Commit();
    m_fCompleted = true;
    m_cnvPrmVer.Empty();
    if (m_targetKind == JGDTargetNone)
        m_targetKind = JGDTargetWholeArea;
    return true;
}

bool Veltrane::T2JCoordConvExecute(const OmbreskMngr *grid, JIProgMsgBase *progress) {
    if (grid == nullptr)
        return false;
    ConversionState kept;
    kept.Keep(*this, 0);
    kept.Keep(m_prmTbl);
    for (Point *p : *this)
        p->ClearJGD2000(0);
    const CoordConvTKY2JGD transformer(grid, GetCurrentPlaneArea(false), GetCurrentPlaneArea(true),
                                       progress);
    if (!transformer.CalcJGD2000(this, false))
        return false;
    calcAllPointBL();
    MakeAllPrecChkTable();
    m_prmTbl.SetCoordCnvKind(CrdCnvTKY2JGD);
    kept.Commit();
    m_fCompleted = true;
    m_cnvPrmVer = grid->GetFileVerStr1();
    return true;
}

bool Veltrane::IsCrdCnvCompleted(int block) const {
    if (block == 0)
        return m_fCompleted;
    if (block > 0)
        return m_blocks.IsCrdCnvCompleted(static_cast<unsigned>(block));
    if (block != -1)
        return false;
    for (unsigned i = 0; i < m_blocks.GetBlockSize(); ++i)
        if (m_blocks.GetBlock(i, false)->IsCrdCnvCompleted())
            return true;
    return false;
}

CString Veltrane::GetCurrentCoordCnvKindName() const {
    const unsigned block = GetCurrentBlockNo();
    if (block == 0)
        return GetCoordCnvKindName(GetCoordCnvKind());
    const CrdTrnsBlock *b = m_blocks.FindBlock(block);
    return b ? GetCoordCnvKindName(b->GetCrdCnvPrmTbl()->GetCoordCnvKind()) : CString();
}
