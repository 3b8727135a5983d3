#include "ombresk/OmbreskMngr.h"

#include "kernels/Grisveld/EarthEllips.h"
#include "kernels/Grisveld/TransMercator.h"
#include "kernels/Lunmarg/Angle.h"
#include "ombresk/JCrdSysTrans.h"

#include <cmath>

namespace {

// Node spacing of the conversion grid and of the semi-dynamic grid, in seconds.
constexpr int kLatStep = 30;
constexpr int kLonStep = 45;
constexpr int kSemiLatStep = 150;
constexpr int kSemiLonStep = 225;

// Start of the first reverse round: the new-datum point moved back by about the shift.
constexpr double kRvsStartSec = 12.0;

void put(double *out, double v) {
    if (out)
        *out = v;
}

bool isSet(const EarthEllips *e) { return e != nullptr && e->IsValid(); }

// The four nodes of a cell: south-west, north, east and north-east.
struct CellNodes {
    const JCnvPrmElm *node[4];
};

// Finds the nodes of the cell whose south-west node is s and whose size is latStep x
// lonStep seconds (the nodes of s and of GetAdjMeshCode of it); false when one is missing.
bool findCell(const JCnvPrmData &data, const JMeshCode &s, int latStep, int lonStep,
              CellNodes *cell) {
    const JMeshCode codes[4] = {s, s.GetAdjMeshCode(latStep, 0), s.GetAdjMeshCode(0, lonStep),
                                s.GetAdjMeshCode(latStep, lonStep)};
    for (int k = 0; k < 4; ++k)
        if ((cell->node[k] = data.Find(codes[k])) == nullptr)
            return false;
    return true;
}

// The shifts (seconds) of the four nodes of the conversion cell whose south-west node is s,
// as findCell finds them: south-west, north, east, north-east. A code whose code1 is not
// negative is the code of the corner that GetLatSec and GetLonSec give, so the cell is found
// by that corner; a negative code1 (south of 40 minutes and west of 100 degrees) is not.
bool findCellShifts(const JCnvPrmData &data, const JMeshCode &s, float dB[4], float dL[4]) {
    if (s.GetCode1() >= 0)
        return data.FindCellShifts(s.GetLatSec(), s.GetLonSec(), dB, dL);
    CellNodes cell;
    if (!findCell(data, s, kLatStep, kLonStep, &cell))
        return false;
    for (int k = 0; k < 4; ++k) {
        dB[k] = cell.node[k]->GetdB();
        dL[k] = cell.node[k]->GetdL();
    }
    return true;
}

// Bilinear weights of (B, L) in the cell whose south-west node is sw, of size latStep x
// lonStep seconds.
void cellFractions(const JMeshCode &sw, double B, double L, int latStep, int lonStep, double *p,
                   double *q) {
    *p = (B * Angle::m_RI - sw.GetLatSec()) / latStep;
    *q = (L * Angle::m_RI - sw.GetLonSec()) / lonStep;
}

double bilinear(double p, double q, double s, double n, double e, double ne) {
    return (1.0 - p) * (1.0 - q) * s + p * (1.0 - q) * n + (1.0 - p) * q * e + p * q * ne;
}

// The shifts of the nodes of the conversion cell of a square, kept for that square.
struct CellShifts {
    JMeshCode square; // the default code, of no point, until a cell is found
    float dB[4];
    float dL[4];
};

// Bilinear shifts (radians) at (B, L), from the nodes of cell when the point is in its
// square, else from the nodes found for the point's square, which cell then keeps.
bool shiftAt(const JCnvPrmData &data, double B, double L, CellShifts *cell, double *dB,
             double *dL) {
    const JMeshCode s = JMeshCode::CreateMeshCode(B, L, 2);
    if (s.GetLevel() != 2)
        return false;
    if (s != cell->square) {
        if (!findCellShifts(data, s, cell->dB, cell->dL))
            return false;
        cell->square = s;
    }
    double p = 0.0;
    double q = 0.0;
    cellFractions(s, B, L, kLatStep, kLonStep, &p, &q);
    const float *b = cell->dB;
    const float *l = cell->dL;
    *dB = bilinear(p, q, b[0], b[1], b[2], b[3]) / Angle::m_RI;
    *dL = bilinear(p, q, l[0], l[1], l[2], l[3]) / Angle::m_RI;
    return true;
}

// Angle at the corner between sides a and b, opposite side c.
double cornerAngle(double a, double b, double c) {
    return std::acos((b * b + a * a - c * c) / (2.0 * b * a));
}

} // namespace

OmbreskMngr::OmbreskMngr() : OmbreskMngr(nullptr, nullptr) {}

OmbreskMngr::OmbreskMngr(const TransMercator *oldTM, const TransMercator *newTM)
    : m_pOldTM(oldTM), m_pNewTM(newTM) {
    m_data.SetFilePath("TKY2JGD.par");
}

OmbreskMngr::~OmbreskMngr() = default;

JCnvPrmReadRetCode OmbreskMngr::ReadCnvPrmData(const CString &path, ProgressMsgBase *progress) {
    // The kind is taken from the file's first line, never assumed.
    return m_data.Read(path, CNVPRM_TYPE_DETECT, false, progress);
}

JCnvPrmReadRetCode OmbreskMngr::ReadSemiDynamicData(const CString &path,
                                                    ProgressMsgBase *progress) {
    return m_data.Read(path, CNVPRM_TYPE_SEMIDYNA, false, progress);
}

JCnvPrmReadRetCode OmbreskMngr::ReadCnvPrmBin(const CString &path, ProgressMsgBase *progress) {
    return m_data.ReadBin(path, false, progress);
}

bool OmbreskMngr::WriteCnvPrmBin(const CString &path) { return m_data.WriteBin(path, nullptr); }

void OmbreskMngr::ClearCnvPrmData() { m_data.Clear(); }

bool OmbreskMngr::IsDataReady() const { return m_data.IsDataReady(); }

CString OmbreskMngr::GetFileName() const { return m_data.GetFileName(); }

CString OmbreskMngr::GetFilePath() const { return m_data.GetFilePath(); }

CString OmbreskMngr::GetFileVerStr1() const { return m_data.GetFileVerStr1(); }

CString OmbreskMngr::GetFileVerStr2() const { return m_data.GetFileVerStr2(); }

bool OmbreskMngr::CalcMeshCode(double x, double y, JMeshCode *code) const {
    if (!m_data.IsDataReady() || m_pOldTM == nullptr)
        return false;
    double B = 0.0;
    double L = 0.0;
    if (!m_pOldTM->XYtoBL(x, y, &B, &L))
        return false;
    const JMeshCode mesh = JMeshCode::CreateMeshCode(B, L, 2);
    // A point without a square (south or west of the origin) gives no code.
    if (mesh.GetLevel() != 2)
        return false;
    if (code)
        *code = mesh;
    return true;
}

bool OmbreskMngr::calcShift(double B, double L, double *dB, double *dL) const {
    CellShifts cell;
    return shiftAt(m_data, B, L, &cell, dB, dL);
}

bool OmbreskMngr::ConvertBL(double B, double L, double *B2, double *L2) const {
    if (!m_data.IsDataReady())
        return false;
    double dB = 0.0;
    double dL = 0.0;
    if (!calcShift(B, L, &dB, &dL))
        return false;
    put(B2, B + dB);
    put(L2, L + dL);
    return true;
}

bool OmbreskMngr::Convert(double x, double y, double *x2, double *y2) const {
    if (!m_data.IsDataReady() || m_pOldTM == nullptr || m_pNewTM == nullptr)
        return false;
    double B = 0.0;
    double L = 0.0;
    if (!m_pOldTM->XYtoBL(x, y, &B, &L))
        return false;
    double B2 = 0.0;
    double L2 = 0.0;
    if (!ConvertBL(B, L, &B2, &L2))
        return false;
    double px = 0.0;
    double py = 0.0;
    if (!m_pNewTM->BLtoXY(B2, L2, &px, &py))
        return false;
    put(x2, px);
    put(y2, py);
    return true;
}

bool OmbreskMngr::ConvertRvsBL(double B, double L, double *B2, double *L2) const {
    if (!m_data.IsDataReady())
        return false;
    const double start = kRvsStartSec / Angle::m_RI;
    // The second round is mostly in the cell of the first: its nodes are kept.
    CellShifts cell;
    double dB1 = 0.0;
    double dL1 = 0.0;
    if (!shiftAt(m_data, B - start, L + start, &cell, &dB1, &dL1))
        return false;
    double dB2 = 0.0;
    double dL2 = 0.0;
    if (!shiftAt(m_data, B - dB1, L - dL1, &cell, &dB2, &dL2))
        return false;
    put(B2, B - dB2);
    put(L2, L - dL2);
    return true;
}

bool OmbreskMngr::ConvertRvs(double x, double y, double *x2, double *y2) const {
    if (!m_data.IsDataReady() || m_pOldTM == nullptr || m_pNewTM == nullptr)
        return false;
    double B = 0.0;
    double L = 0.0;
    if (!m_pNewTM->XYtoBL(x, y, &B, &L))
        return false;
    double B2 = 0.0;
    double L2 = 0.0;
    if (!ConvertRvsBL(B, L, &B2, &L2))
        return false;
    double px = 0.0;
    double py = 0.0;
    if (!m_pOldTM->BLtoXY(B2, L2, &px, &py))
        return false;
    put(x2, px);
    put(y2, py);
    return true;
}

bool OmbreskMngr::calcCnvErrIndex_sub(const JMeshCode &code, int fileType, double *index,
                                      double *sum) const {
    if (!m_data.IsDataReady() || m_pNewTM == nullptr || !isSet(m_pNewTM->GetRefEllips()))
        return false;
    const bool transfer = fileType == CNVPRM_TYPE_TKY2JGD;
    if (transfer && (m_pOldTM == nullptr || !isSet(m_pOldTM->GetRefEllips())))
        return false;
    const int latStep = fileType == CNVPRM_TYPE_SEMIDYNA ? kSemiLatStep : kLatStep;
    const int lonStep = fileType == CNVPRM_TYPE_SEMIDYNA ? kSemiLonStep : kLonStep;

    // The square's south-west node, the node one spacing north and the one east.
    const JMeshCode codes[3] = {code, code.GetAdjMeshCode(latStep, 0),
                                code.GetAdjMeshCode(0, lonStep)};
    double before[3][2];
    double after[3][2];
    const JCrdSysTrans trans(m_pOldTM, m_pNewTM, transfer ? m_pOldTM->GetRefEllips() : nullptr,
                             m_pNewTM->GetRefEllips());
    for (int i = 0; i < 3; ++i) {
        const JCnvPrmElm *node = m_data.Find(codes[i]);
        if (node == nullptr)
            return false;
        const double B = codes[i].GetLat();
        const double L = codes[i].GetLon();
        before[i][0] = B;
        before[i][1] = L;
        if (transfer) {
            double H = 0.0;
            if (!trans.TransferBL(B, L, 0.0, &before[i][0], &before[i][1], &H))
                return false;
        }
        after[i][0] = B + node->GetdB() / Angle::m_RI;
        after[i][1] = L + node->GetdL() / Angle::m_RI;
    }

    const EarthEllips *ellips = m_pNewTM->GetRefEllips();
    auto dist = [ellips](const double *p1, const double *p2) {
        return ellips->CalcDistance(p1[0], p1[1], p2[0], p2[1]);
    };
    const double a = dist(before[0], before[2]);
    const double b = dist(before[0], before[1]);
    const double c = dist(before[2], before[1]);
    const double a2 = dist(after[0], after[2]);
    const double b2 = dist(after[0], after[1]);
    const double c2 = dist(after[2], after[1]);

    const double dE = (a2 - a) * 1000.0;
    const double dN = (b2 - b) * 1000.0;
    const double alpha = cornerAngle(a, b, c);
    const double alpha2 = cornerAngle(a2, b2, c2);
    const double dA = (alpha - alpha2) * 1e6;
    const double idx = std::sqrt((dE - dN) * (dE - dN) + dA * dA);
    if (!std::isfinite(idx))
        return false;
    put(index, idx);
    put(sum, dN + dE);
    return true;
}

bool OmbreskMngr::CalcCnvErrIndex(const JMeshCode &code, double *index, double *sum) const {
    return calcCnvErrIndex_sub(code, m_data.GetFileType(), index, sum);
}

bool OmbreskMngr::CalcSemiDynErrIndex(const JMeshCode &code, double *index, double *sum) const {
    return calcCnvErrIndex_sub(code, CNVPRM_TYPE_SEMIDYNA, index, sum);
}

bool OmbreskMngr::CalcSemiDynParam(double B, double L, double *dB, double *dL, double *dH) const {
    if (!m_data.IsDataReady())
        return false;
    const JMeshCode mesh = JMeshCode::CreateMeshCode(B, L, 2);
    if (mesh.GetLevel() != 2)
        return false;
    // South-west node of the 150 x 225 second cell: each code3 digit snapped to 0 or 5.
    const int latDigit = mesh.GetCode3() / 10 < 5 ? 0 : 5;
    const int lonDigit = mesh.GetCode3() % 10 < 5 ? 0 : 5;
    const JMeshCode s(mesh.GetCode1(), mesh.GetCode2(),
                      static_cast<BYTE>(latDigit * 10 + lonDigit));
    CellNodes cell;
    if (!findCell(m_data, s, kSemiLatStep, kSemiLonStep, &cell))
        return false;
    const JSemiDynPrmElm *n[4];
    for (int k = 0; k < 4; ++k)
        if ((n[k] = dynamic_cast<const JSemiDynPrmElm *>(cell.node[k])) == nullptr)
            return false;
    double p = 0.0;
    double q = 0.0;
    cellFractions(s, B, L, kSemiLatStep, kSemiLonStep, &p, &q);
    put(dB, bilinear(p, q, n[0]->GetdB(), n[1]->GetdB(), n[2]->GetdB(), n[3]->GetdB()));
    put(dL, bilinear(p, q, n[0]->GetdL(), n[1]->GetdL(), n[2]->GetdL(), n[3]->GetdL()));
    put(dH, bilinear(p, q, n[0]->GetdH(), n[1]->GetdH(), n[2]->GetdH(), n[3]->GetdH()));
    return true;
}

bool OmbreskMngr::CalcSemiDyn(double x, double y, double h, double *x2, double *y2, double *h2,
                              bool forward) const {
    if (!m_data.IsDataReady() || m_pNewTM == nullptr)
        return false;
    double B = 0.0;
    double L = 0.0;
    if (!m_pNewTM->XYtoBL(x, y, &B, &L))
        return false;
    double dB = 0.0;
    double dL = 0.0;
    double dH = 0.0;
    if (!CalcSemiDynParam(B, L, &dB, &dL, &dH))
        return false;
    const double sign = forward ? 1.0 : -1.0;
    double px = 0.0;
    double py = 0.0;
    if (!m_pNewTM->BLtoXY(B + sign * dB / Angle::m_RI, L + sign * dL / Angle::m_RI, &px, &py))
        return false;
    put(x2, px);
    put(y2, py);
    put(h2, h + sign * dH);
    return true;
}
