#include "veltrane/database/ApaVeskRW.h"

#include "veltrane/database/PointRegister.h"
#include "veltrane/database/PointSupplier.h"
#include "veltrane/database/Veltrane.h"

namespace {

constexpr int kSplitMode = 2;

} // namespace

ApaVeskRW::ApaVeskRW(Veltrane *db, int) : m_pDataBase(db) {}

ApaVeskRW::~ApaVeskRW() = default;

bool ApaVeskRW::ReadPoints(const CString &path, JIProgMsgBase *progress, CoordinateKind kind,
                           ITRFCoordKind itrf) {
    m_kind = kind;
    PointRegister reg(m_pDataBase);
    reg.Init(kind, itrf);
    if (Read(&reg, path, progress, kSplitMode))
        return true;
    if (reg.IsCancelled())
        SetStop(GetStopLine(), kStopCancel);
    return false;
}

bool ApaVeskRW::WritePoints(const CString &path, CoordinateKind kind, ITRFCoordKind itrf,
                            int flags) {
    m_kind = kind;
    PointSupplier supplier(m_pDataBase);
    const PointSupplier::ConditionScope condition(supplier, kind, itrf,
                                                  static_cast<unsigned>(flags));
    const JGDDDatCond &cond = m_pDataBase->GetJGDDDatCond();
    supplier.SetRound(cond.GetLatLonSw() == 1, 3);
    SetCrdFigureNum(7, cond.GetCrdDecimals());
    SetHgtFigureNum(5, cond.GetHgtDecimals());
    return ApaVeskBase::WritePoints(&supplier, path);
}

bool ApaVeskRW::GetConvertComments(std::vector<CString> *, ConvertMode, int) { return false; }

bool ApaVeskRW::GetComment(int, CString *text) const {
    if (text == nullptr)
        return false;
    text->Empty();
    return true;
}
