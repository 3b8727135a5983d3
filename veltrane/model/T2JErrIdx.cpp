#include "veltrane/model/T2JErrIdx.h"

#include "exchange/Dorrimet/PlaneArea.h"
#include "exchange/Pomtrek/ReadTextFile.h"
#include "kernels/Grisveld/Projection.h"
#include "kernels/Lunmarg/Angle.h"
#include "platform/core/CException.h"
#include "platform/core/CStdioFile.h"
#include "platform/core/Numbers.h"
#include "platform/core/Path.h"
#include "platform/core/PendingFiles.h"
#include "veltrane/database/Veltrane.h"

#include <algorithm>
#include <cmath>

namespace {

// The second line of a file: this text, a blank and the parameter version.
constexpr char kVersionPrefix[] = "TKY2JGD parameter";
constexpr int kVersionPrefixLength = sizeof kVersionPrefix - 1;
// The longest version text whose written line the reader still splits.
constexpr int kVersionMax = ReadTextFile::LINE_LIMIT - kVersionPrefixLength - 1;

// Cell of the semi-dynamic indexes: five by five third-level meshes.
constexpr int kSemiDynCellLat = 150;
constexpr int kSemiDynCellLon = 225;

bool isMeshCell(JCnvPrmFileType type) {
    return type == CNVPRM_TYPE_TKY2JGD || type == CNVPRM_TYPE_PATCHJGD;
}

bool keepableValue(double value) {
    return std::isfinite(value) && std::fabs(value) <= T2JErrIdxTbl::kValueLimit;
}

// A mesh code whose text reads back as the same code.
bool keepableCode(const JMeshCode &code) {
    int value = 0;
    if (!ParseInt(code.GetCodeStr().Bytes(), value) || !JMeshCode::IsMeshCode3(value))
        return false;
    JMeshCode back;
    back.SetMeshCode3(static_cast<UINT>(value));
    return back == code;
}

bool keepableVersion(const CString &version) {
    return version.GetLength() <= kVersionMax && version.Find('\n') < 0 && version.Find('\x1a') < 0;
}

// The rest of the current line, its fields joined again by their commas.
CString restOfLine(ReadCSVFile &file) {
    CString line, field;
    bool first = true;
    while (file.readStringEx(&field) != DIV_NOFIELD) {
        if (!first)
            line += ',';
        line += field;
        first = false;
    }
    return line;
}

// A number field of an index line; false with the reason.
bool readValue(ReadCSVFile &file, const char *what, double &value, CString &reason) {
    const FIELD_FAULT fault = file.readRealField(&value, false);
    if (fault != FIELD_OK) {
        reason = FileStop::FieldReason(what, fault, DivisionString::NUMBER_MAX);
        return false;
    }
    if (!keepableValue(value)) {
        reason.Format("%sが大きすぎます。", what);
        return false;
    }
    return true;
}

// The current line as an index: a third-level mesh code and two numbers in range, then nothing
// but empty or blank fields. False with the reason.
bool readIndexLine(ReadCSVFile &file, JMeshCode &code, double &gamma, double &delta,
                   CString &reason) {
    if (file.isLineUnusable()) {
        reason = file.GetStopReason();
        return false;
    }
    int value = 0;
    const FIELD_FAULT fault = file.readIntField(&value);
    if (fault != FIELD_OK) {
        reason = FileStop::FieldReason("メッシュコード", fault, DivisionString::NUMBER_MAX);
        return false;
    }
    if (!JMeshCode::IsMeshCode3(value)) {
        reason = "メッシュコードが3次メッシュのコードではありません。";
        return false;
    }
    if (!readValue(file, "ガンマ値", gamma, reason) || !readValue(file, "デルタ値", delta, reason))
        return false;
    CString extra;
    for (FIELD_FAULT rest;
         (rest = file.readTextField(ReadTextFile::LINE_LIMIT, &extra)) != FIELD_MISSING;) {
        if (rest != FIELD_EMPTY && (rest != FIELD_OK || !extra.Trim().IsEmpty())) {
            reason = "デルタ値の後に余分な値があります。";
            return false;
        }
    }
    code.SetMeshCode3(static_cast<UINT>(value));
    return true;
}

} // namespace

// ---- T2JErrIdx

T2JErrIdx::T2JErrIdx(const JMeshCode &code, double gamma, double delta)
    : m_code(code), m_gamma(gamma), m_delta(delta) {}

void T2JErrIdx::GetNWCrd(double *x, double *y) const {
    *x = m_nwX;
    *y = m_nwY;
}

void T2JErrIdx::GetNECrd(double *x, double *y) const {
    *x = m_neX;
    *y = m_neY;
}

void T2JErrIdx::GetSWCrd(double *x, double *y) const {
    *x = m_swX;
    *y = m_swY;
}

void T2JErrIdx::GetSECrd(double *x, double *y) const {
    *x = m_seX;
    *y = m_seY;
}

void T2JErrIdx::GetSWCrdSec(int *lat, int *lon) const { m_code.GetSWCrdSec(lat, lon); }

void T2JErrIdx::GetNECrdSec(int *lat, int *lon) const { m_code.GetNECrdSec(lat, lon); }

void T2JErrIdx::GetCellSizeSec(JCnvPrmFileType type, int *dLat, int *dLon) const {
    if (isMeshCell(type)) {
        m_code.GetInterval(dLat, dLon);
        return;
    }
    *dLat = kSemiDynCellLat;
    *dLon = kSemiDynCellLon;
}

bool T2JErrIdx::GetCrdFromSW(const Projection *proj, int dLat, int dLon, double *x,
                             double *y) const {
    if (proj == nullptr)
        return false;
    const double B = (m_code.GetLatSec() + dLat) / Angle::m_RI;
    const double L = (m_code.GetLonSec() + dLon) / Angle::m_RI;
    return proj->BLtoXY(B, L, x, y);
}

bool T2JErrIdx::CalcPntXY(const Projection *proj, JCnvPrmFileType type) {
    double nw[2], ne[2], sw[2], se[2];
    bool ok;
    if (isMeshCell(type)) {
        ok = m_code.GetNWCrd(proj, &nw[0], &nw[1]) && m_code.GetNECrd(proj, &ne[0], &ne[1]) &&
             m_code.GetSWCrd(proj, &sw[0], &sw[1]) && m_code.GetSECrd(proj, &se[0], &se[1]);
    } else {
        ok = GetCrdFromSW(proj, kSemiDynCellLat, 0, &nw[0], &nw[1]) &&
             GetCrdFromSW(proj, kSemiDynCellLat, kSemiDynCellLon, &ne[0], &ne[1]) &&
             GetCrdFromSW(proj, 0, 0, &sw[0], &sw[1]) &&
             GetCrdFromSW(proj, 0, kSemiDynCellLon, &se[0], &se[1]);
    }
    if (!ok)
        return false;
    m_nwX = nw[0];
    m_nwY = nw[1];
    m_neX = ne[0];
    m_neY = ne[1];
    m_swX = sw[0];
    m_swY = sw[1];
    m_seX = se[0];
    m_seY = se[1];
    return true;
}

// ---- T2JErrIdxTbl

T2JErrIdxTbl::~T2JErrIdxTbl() = default;

void T2JErrIdxTbl::Clear() { *this = T2JErrIdxTbl(); }

void T2JErrIdxTbl::Append(const T2JErrIdx &index) {
    int lat = 0, lon = 0;
    index.GetSWCrdSec(&lat, &lon);
    if (m_indexes.empty()) {
        m_latMin = m_latMax = lat;
        m_lonMin = m_lonMax = lon;
    } else {
        m_latMin = std::min(m_latMin, lat);
        m_latMax = std::max(m_latMax, lat);
        m_lonMin = std::min(m_lonMin, lon);
        m_lonMax = std::max(m_lonMax, lon);
    }
    m_indexes.push_back(index);
}

const T2JErrIdx *T2JErrIdxTbl::GetData(unsigned i) const {
    return i < m_indexes.size() ? &m_indexes[i] : nullptr;
}

CString T2JErrIdxTbl::GetFileName() const { return Path::FileName(m_filePath); }

void T2JErrIdxTbl::GetMinMaxSec(int *latMin, int *lonMin, int *latMax, int *lonMax) const {
    *latMin = m_latMin;
    *lonMin = m_lonMin;
    *latMax = m_latMax;
    *lonMax = m_lonMax;
}

bool T2JErrIdxTbl::GetMinMax(const PlaneArea *zone, double *xmin, double *ymin, double *xmax,
                             double *ymax, bool extend, JCnvPrmFileType type) const {
    if (m_indexes.empty())
        return true;
    if (zone == nullptr)
        return false;
    // The north-east corner of the highest cells, not their south-west corner.
    int latNE = m_latMax, lonNE = m_lonMax;
    for (const T2JErrIdx &index : m_indexes) {
        int lat = 0, lon = 0, dLat = 0, dLon = 0;
        index.GetSWCrdSec(&lat, &lon);
        index.GetCellSizeSec(type, &dLat, &dLon);
        latNE = std::max(latNE, lat + dLat);
        lonNE = std::max(lonNE, lon + dLon);
    }
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    if (!zone->BLtoXY(m_latMin / Angle::m_RI, m_lonMin / Angle::m_RI, &x1, &y1) ||
        !zone->BLtoXY(latNE / Angle::m_RI, lonNE / Angle::m_RI, &x2, &y2))
        return false;
    if (extend) {
        *xmin = std::min(*xmin, x1);
        *ymin = std::min(*ymin, y1);
        *xmax = std::max(*xmax, x2);
        *ymax = std::max(*ymax, y2);
    } else {
        *xmin = x1;
        *ymin = y1;
        *xmax = x2;
        *ymax = y2;
    }
    return true;
}

bool T2JErrIdxTbl::GetMinMaxValue(double *gammaMin, double *gammaMax, double *deltaMin,
                                  double *deltaMax, bool extend) const {
    bool set = extend;
    for (const T2JErrIdx &index : m_indexes) {
        const double g = index.GetGamma(), d = index.GetDelta();
        if (!set) {
            *gammaMin = *gammaMax = g;
            *deltaMin = *deltaMax = d;
            set = true;
            continue;
        }
        *gammaMin = std::min(*gammaMin, g);
        *gammaMax = std::max(*gammaMax, g);
        *deltaMin = std::min(*deltaMin, d);
        *deltaMax = std::max(*deltaMax, d);
    }
    return true;
}

unsigned T2JErrIdxTbl::GetGammaTotal(double *sum) const {
    double total = 0.0;
    for (const T2JErrIdx &index : m_indexes)
        total += index.GetGamma();
    *sum = total;
    return GetSize();
}

unsigned T2JErrIdxTbl::GetDeltaTotal(double *sum) const {
    double total = 0.0;
    for (const T2JErrIdx &index : m_indexes)
        total += index.GetDelta();
    *sum = total;
    return GetSize();
}

bool T2JErrIdxTbl::CalcAllPntXY(const Projection *proj, JCnvPrmFileType type) {
    bool all = true;
    for (T2JErrIdx &index : m_indexes)
        all = index.CalcPntXY(proj, type) && all;
    return all;
}

bool T2JErrIdxTbl::WriteEDXFile(const CString &path, PendingFiles *pending) const {
    if (m_indexes.empty() || !keepableVersion(m_verStr))
        return false;
    for (const T2JErrIdx &index : m_indexes)
        if (!keepableCode(index.GetMeshCode()) || !keepableValue(index.GetGamma()) ||
            !keepableValue(index.GetDelta()))
            return false;

    CStdioFile file;
    if (!file.Open(path, CFile::modeCreate | CFile::modeWrite | CFile::typeText))
        return false;
    try {
        CString line;
        line.Format("Trelvic/EDX File %s\n", Veltrane::GetVersionName(false).GetString());
        file.WriteString(line);
        line.Format("%s %s\n", kVersionPrefix, m_verStr.GetString());
        file.WriteString(line);
        for (const T2JErrIdx &index : m_indexes) {
            line.Format("%s,%7.2lf,%7.2lf\n", index.GetMeshCode().GetCodeStr().GetString(),
                        index.GetGamma(), index.GetDelta());
            file.WriteString(line);
        }
        if (pending)
            file.Close(*pending);
        else
            file.Close();
    } catch (const CException &) {
        return false;
    }
    return true;
}

bool T2JErrIdxTbl::ReadEDXFile(const CString &path, bool clear) {
    if (clear)
        Clear();
    ClearStop();
    ReadCSVFile file(path, 0);
    if (file.isnotUsed()) {
        SetStop(0, kStopOpen);
        return false;
    }
    if (!file.startLine()) {
        SetStop(file.GetStopLine(), file.stoppedAtUndecodableLine()
                                        ? file.GetStopReason()
                                        : CString("ファイルが空です。"));
        return false;
    }
    file.endLine();
    const CString versionMissing = CString(kVersionPrefix) + " の行がありません。";
    if (!file.startLine()) {
        SetStop(2, file.stoppedAtUndecodableLine() ? file.GetStopReason() : versionMissing);
        return false;
    }
    const CString line = restOfLine(file);
    const bool unusable = file.isLineUnusable();
    file.endLine();
    if (unusable) {
        SetStop(2, file.GetStopReason());
        return false;
    }
    if (line.Left(kVersionPrefixLength).Compare(kVersionPrefix) != 0) {
        SetStop(2, versionMissing);
        return false;
    }
    CString version = line.Mid(kVersionPrefixLength);
    // The line may end with commas and blanks, as the index lines may.
    version.Trim().TrimRight(", \t");
    if (!keepableVersion(version)) {
        SetStop(2, "パラメータのバージョンが長すぎます。");
        return false;
    }
    m_verStr = version;

    JMeshCode code;
    double gamma = 0.0, delta = 0.0;
    CString reason;
    for (int lineNo = 3; file.startLine(); ++lineNo) {
        const bool index = readIndexLine(file, code, gamma, delta, reason);
        file.endLine();
        if (!index) {
            SetStop(lineNo, reason);
            break;
        }
        Append(T2JErrIdx(code, gamma, delta));
    }
    if (file.stoppedAtUndecodableLine())
        SetStop(file.GetStopLine(), file.GetStopReason());
    m_filePath = path;
    return true;
}
