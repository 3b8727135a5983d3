#include "veltrane/conversion/CoordConvTKY2JGD.h"

#include "exchange/Dorrimet/Coordinate.h"
#include "exchange/Dorrimet/PlaneArea.h"
#include "ombresk/OmbreskMngr.h"
#include "pallomir/ui/JIProgMsgBase.h"
#include "veltrane/database/Veltrane.h"
#include "veltrane/model/Point.h"
#include "veltrane/model/PointTable.h"

namespace {

JCrdSysTrans datumShift(const PlaneArea *oldArea, const PlaneArea *newArea) {
    return JCrdSysTrans(
        oldArea ? oldArea->GetProjection() : nullptr, newArea ? newArea->GetProjection() : nullptr,
        oldArea ? oldArea->GetRefEllips() : nullptr, newArea ? newArea->GetRefEllips() : nullptr);
}

void setResult(const Coordinate &in, double x, double y, Coordinate *out) {
    out->SetXYH(x, y, in.GetH(), in.IsHUsed());
    out->SetValid(true);
}

} // namespace

CoordConvTKY2JGD::CoordConvTKY2JGD(const OmbreskMngr *mngr, const PlaneArea *oldArea,
                                   const PlaneArea *newArea, JIProgMsgBase *progress)
    : m_datumShift(datumShift(oldArea, newArea)), m_oldArea(oldArea), m_newArea(newArea),
      m_mngr(mngr), m_progress(progress) {}

CoordConvTKY2JGD::~CoordConvTKY2JGD() = default;

bool CoordConvTKY2JGD::Transform(const Coordinate &in, Coordinate *out,
                                 CoordConvStatusD *status) const {
    if (m_mngr == nullptr || !in.IsValid())
        return false;
    double x = 0.0, y = 0.0, h = 0.0;
    if (m_mngr->Convert(in.GetX(), in.GetY(), &x, &y)) {
        setResult(in, x, y, out);
        *status = CrdCnvStatGrid;
        return true;
    }
    if (!m_datumShift.Transfer(in.GetX(), in.GetY(), 0.0, &x, &y, &h))
        return false;
    setResult(in, x, y, out);
    out->CalcBL(m_newArea);
    *status = CrdCnvStatDatumShift;
    return true;
}

bool CoordConvTKY2JGD::ReverseTransform(const Coordinate &in, Coordinate *out,
                                        CoordConvStatusD *status) const {
    if (m_mngr == nullptr || !in.IsValid())
        return false;
    double x = 0.0, y = 0.0, h = 0.0;
    if (m_mngr->ConvertRvs(in.GetX(), in.GetY(), &x, &y)) {
        setResult(in, x, y, out);
        *status = CrdCnvStatGrid;
        return true;
    }
    if (!m_datumShift.TransferRvs(in.GetX(), in.GetY(), 0.0, &x, &y, &h))
        return false;
    setResult(in, x, y, out);
    out->CalcBL(m_oldArea);
    *status = CrdCnvStatDatumShift;
    return true;
}

bool CoordConvTKY2JGD::CalcJGD2000(Point *p) const {
    Coordinate result;
    CoordConvStatusD status = CrdCnvStatNone;
    if (!Transform(p->GetTokyoDatum(), &result, &status))
        return false;
    p->SetJGD2000(result, status, 0);
    return true;
}

bool CoordConvTKY2JGD::CalcJGD2000(PointTable *table, bool) const {
    if (m_mngr == nullptr || table == nullptr)
        return false;
    const int size = static_cast<int>(table->size());
    if (m_progress)
        m_progress->ProgressStart(size);
    int k = 0, reported = 0;
    for (Point *p : *table) {
        if (p->GetUseForCalc())
            CalcJGD2000(p);
        ++k;
        const int percent = 100 * k / size;
        if (m_progress && percent != reported) {
            reported = percent;
            if (!m_progress->ProgressPercent(percent, k))
                return false;
        }
    }
    if (m_progress)
        m_progress->ProgressEnd();
    return true;
}

void CoordConvTKY2JGD::appendParamStrings(std::vector<CString> *lines, const CString &file,
                                          const CString &version) {
    lines->push_back("変換方式               TKY2JGD互換変換方式による座標変換");
    CString line;
    line.Format("変換パラメータファイル \"%s\" %s", file.GetString(), version.GetString());
    lines->push_back(line);
}

bool CoordConvTKY2JGD::GetParamStrings(std::vector<CString> *lines) const {
    if (m_mngr == nullptr)
        return false;
    appendParamStrings(lines, m_mngr->GetFileName(), m_mngr->GetFileVerStr1());
    return true;
}

bool CoordConvTKY2JGD::GetParamStrings(std::vector<CString> *lines, const Veltrane *db) {
    if (db == nullptr)
        return false;
    appendParamStrings(lines, db->GetCnvPrmFile(), db->GetCnvPrmVer());
    return true;
}

bool CoordConvTKY2JGD::GetParamStrings(std::vector<ResPrtLine> *lines, const Veltrane *db) {
    if (db == nullptr)
        return false;
    constexpr int kValueAttr = 44; // the value cells of this report
    ResPrtLine method;
    method.AddCell(ResPrtLine::m_nLabelAttr, "変換方式");
    method.AddCell(kValueAttr, "TKY2JGD互換変換方式による座標変換");
    lines->push_back(method);
    CString value;
    value.Format("\"%s\" %s", db->GetCnvPrmFile().GetString(), db->GetCnvPrmVer().GetString());
    ResPrtLine file;
    file.AddCell(ResPrtLine::m_nLabelAttr, "変換パラメータファイル");
    file.AddCell(kValueAttr, value);
    lines->push_back(file);
    return true;
}
