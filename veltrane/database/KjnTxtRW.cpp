#include "veltrane/database/KjnTxtRW.h"

#include "veltrane/database/PointRegister.h"
#include "veltrane/database/PointSupplier.h"
#include "veltrane/database/Veltrane.h"

namespace {

constexpr int kSplitMode = 2;

} // namespace

const char *const KjnTxtRW::m_pComment[2] = {"/%s/", "/%s %s/"};

KjnTxtRW::KjnTxtRW(Veltrane *db, unsigned) : m_pDataBase(db) {}

KjnTxtRW::~KjnTxtRW() = default;

bool KjnTxtRW::ReadPoints(const CString &path, JIProgMsgBase *progress, CoordinateKind kind,
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

bool KjnTxtRW::CheckPlaneZone(int zone, CString *reason) {
    const int current = m_pDataBase != nullptr ? m_pDataBase->GetCurrentCoordSysNo() : zone;
    if (zone == current)
        return true;
    reason->Format("ファイルの平面直角座標系（第%d系）が現在の座標系（第%d系）と異なります。", zone,
                   current);
    return false;
}

bool KjnTxtRW::WritePoints(const CString &path, CoordinateKind kind, ITRFCoordKind itrf,
                           int flags) {
    m_kind = kind;
    PointSupplier supplier(m_pDataBase);
    const PointSupplier::ConditionScope condition(supplier, kind, itrf,
                                                  static_cast<unsigned>(flags));
    supplier.SetRound(m_pDataBase->GetJGDDDatCond().GetLatLonSw() == 1, 3);
    return KjnTxtBase::WritePoints(&supplier, path);
}

bool KjnTxtRW::GetConvertComments(std::vector<CString> *lines, ConvertMode mode, int direction,
                                  const ConvData &data) {
    return m_pDataBase->GetFileConvertComments(lines, data.src, data.dst, JGDCrdFmtKjnText, mode,
                                               m_pDataBase->GetCurrentCoordSysNo(), data.chain,
                                               direction, GetStartTime());
}

bool KjnTxtRW::GetComment(int index, CString *text) const {
    if (index == 0)
        text->Format(m_pComment[0], Veltrane::GetCompanyName().GetString());
    else if (index == 1)
        text->Format(m_pComment[1], Veltrane::GetProductName().GetString(),
                     Veltrane::GetVersionName(false).GetString());
    else
        return false;
    return true;
}

bool KjnTxtRW::GetCommentZ00(CString *text) const {
    if (m_kind == CrdKindJGD2000)
        *text = m_pDataBase->GetCurrentCoordCnvKindForPrt(nullptr);
    else
        text->Format("%s %s %s", Veltrane::GetProductName().GetString(),
                     Veltrane::GetVersionName(false).GetString(), "");
    return true;
}

bool KjnTxtRW::GetCommentZ01(CString *text) const {
    text->Empty();
    return true;
}

bool KjnTxtRW::GetCommentZ02(int *datum, int *zone) const {
    *datum = m_kind == CrdKindTokyo ? 1 : 0;
    *zone = m_pDataBase->GetCurrentCoordSysNo();
    return true;
}
