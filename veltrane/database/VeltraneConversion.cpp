#include "ombresk/OmbreskMngr.h"
#include "pallomir/ui/JIProgMsgBase.h"
#include "veltrane/conversion/CoordConvTKY2JGD.h"
#include "veltrane/database/Veltrane.h"

bool Veltrane::PrepareCoordConv(const CoordCnvOption &option, JIProgMsgBase *progress) {
    if (progress)
        progress->ProgressInit(JGD_PROGRESS_TYPE(1));
    const bool ok =
        m_prmTbl.Initialize(this, this, 0) && m_prmTbl.PrepareCoordConv(option, progress);
    if (progress)
        progress->ProgressTerm();
    return ok;
}

bool Veltrane::CoordConvExecute(CoordCnvKind kind, JIProgMsgBase *progress) {
    if (!m_prmTbl.ExecuteCoordConv(kind, progress))
        return false;
    m_fCompleted = true;
    m_cnvPrmVer.Empty();
    if (m_targetKind == JGDTargetNone)
        m_targetKind = JGDTargetWholeArea;
    return true;
}

bool Veltrane::T2JCoordConvExecute(const OmbreskMngr *grid, JIProgMsgBase *progress) {
    if (grid == nullptr)
        return false;
    for (Point *p : *this)
        p->ClearJGD2000(0);
    const CoordConvTKY2JGD transformer(grid, GetCurrentPlaneArea(false), GetCurrentPlaneArea(true),
                                       progress);
    if (!transformer.CalcJGD2000(this, false))
        return false;
    calcAllPointBL();
    MakeAllPrecChkTable();
    m_prmTbl.SetCoordCnvKind(CrdCnvTKY2JGD);
    m_fCompleted = true;
    m_cnvPrmVer = grid->GetFileVerStr1();
    return true;
}

bool Veltrane::IsCrdCnvCompleted(int block) const {
    // Conversion blocks come with their own tables; without them only the whole area converts.
    return block == 0 && m_fCompleted;
}

CString Veltrane::GetCurrentCoordCnvKindName() const {
    return m_curBlock == 0 ? GetCoordCnvKindName(GetCoordCnvKind()) : CString();
}
