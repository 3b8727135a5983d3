#include "ombresk/JMeshCode.h"

#include "kernels/Grisveld/Projection.h"
#include "kernels/Lunmarg/Angle.h"
#include "kernels/Lunmarg/AngleFunctions.h"

#include <cmath>
#include <cstdint>
#include <limits>

namespace {

// Interval of a level in seconds of latitude and longitude.
constexpr int kLatInterval[3] = {2400, 300, 30};
constexpr int kLonInterval[3] = {3600, 450, 45};

// Below 90 degrees of latitude and 360 of longitude a point always has a square.
constexpr double kDirectLatLimit = 90.0 * 3600.0;
constexpr double kDirectLonLimit = 360.0 * 3600.0;

bool awayFromWholeSecond(double sec) {
    const double fraction = sec - std::floor(sec);
    return fraction > 1e-6 && fraction < 1.0 - 1e-6;
}

} // namespace

JMeshCode::JMeshCode() : m_code1(0), m_code2(kAbsent), m_code3(kAbsent) {}

JMeshCode::JMeshCode(short code1, BYTE code2, BYTE code3)
    : m_code1(code1), m_code2(code2), m_code3(code3) {}

void JMeshCode::SetMeshCode1(short code1) {
    m_code1 = code1;
    m_code2 = kAbsent;
    m_code3 = kAbsent;
}

void JMeshCode::SetMeshCode2(UINT code) {
    m_code1 = static_cast<std::int16_t>(code / 100);
    m_code2 = static_cast<BYTE>(code % 100);
    m_code3 = kAbsent;
}

void JMeshCode::SetMeshCode3(UINT code) {
    m_code1 = static_cast<std::int16_t>(code / 10000);
    m_code2 = static_cast<BYTE>(code / 100 % 100);
    m_code3 = static_cast<BYTE>(code % 100);
}

bool JMeshCode::IsMeshCode3(int value) {
    if (value < 0 || value > 99999999)
        return false;
    const int code2 = value / 100 % 100;
    return code2 / 10 <= 7 && code2 % 10 <= 7;
}

CString JMeshCode::GetCodeStr() const {
    CString text;
    text.Format("%4d%02d%02d", m_code1, m_code2, m_code3);
    return text;
}

CString JMeshCode::GetHyphenCodeStr(int level) const {
    CString text;
    if (level == 0 || m_code2 == kAbsent)
        text.Format("%4d", m_code1);
    else if (level == 1 || m_code3 == kAbsent)
        text.Format("%4d-%02d", m_code1, m_code2);
    else
        text.Format("%4d-%02d-%02d", m_code1, m_code2, m_code3);
    return text;
}

double JMeshCode::GetLat() const { return GetLatSec() / Angle::m_RI; }

double JMeshCode::GetLon() const { return GetLonSec() / Angle::m_RI; }

void JMeshCode::GetSWCrdSec(int *latSec, int *lonSec) const {
    if (latSec)
        *latSec = GetLatSec();
    if (lonSec)
        *lonSec = GetLonSec();
}

void JMeshCode::GetNECrdSec(int *latSec, int *lonSec) const {
    int dLat, dLon;
    GetInterval(&dLat, &dLon);
    if (latSec)
        *latSec = GetLatSec() + dLat;
    if (lonSec)
        *lonSec = GetLonSec() + dLon;
}

bool JMeshCode::cornerXY(const Projection *proj, int dLatSteps, int dLonSteps, double *x,
                         double *y) const {
    if (proj == nullptr || x == nullptr || y == nullptr)
        return false;
    int dLat, dLon;
    GetInterval(&dLat, &dLon);
    const double B = (GetLatSec() + dLatSteps * dLat) / Angle::m_RI;
    const double L = (GetLonSec() + dLonSteps * dLon) / Angle::m_RI;
    return proj->BLtoXY(B, L, x, y);
}

bool JMeshCode::GetSWCrd(const Projection *proj, double *x, double *y) const {
    return cornerXY(proj, 0, 0, x, y);
}

bool JMeshCode::GetNWCrd(const Projection *proj, double *x, double *y) const {
    return cornerXY(proj, 1, 0, x, y);
}

bool JMeshCode::GetNECrd(const Projection *proj, double *x, double *y) const {
    return cornerXY(proj, 1, 1, x, y);
}

bool JMeshCode::GetSECrd(const Projection *proj, double *x, double *y) const {
    return cornerXY(proj, 0, 1, x, y);
}

void JMeshCode::GetInterval(int *lat, int *lon) const {
    const int level = GetLevel();
    if (lat)
        *lat = kLatInterval[level];
    if (lon)
        *lon = kLonInterval[level];
}

JMeshCode JMeshCode::GetAdjMeshCode(int dLatSec, int dLonSec) const {
    return CreateMeshCode(GetLatSec() + dLatSec, GetLonSec() + dLonSec, 2);
}

JMeshCode JMeshCode::GetAdjMeshCode(int flags) const {
    int dLat, dLon;
    GetInterval(&dLat, &dLon);
    int latSec = GetLatSec();
    int lonSec = GetLonSec();
    if (flags & 1)
        latSec += dLat;
    if (flags & 2)
        latSec -= dLat;
    if (flags & 4)
        lonSec += dLon;
    if (flags & 8)
        lonSec -= dLon;
    return CreateMeshCode(latSec, lonSec, GetLevel());
}

JMeshCode JMeshCode::CreateMeshCode(double B, double L, int level) {
    // Latitude and longitude in plain seconds: away from a whole second (where the rounding
    // of the seconds to 7 decimals below could carry) their whole seconds are the ones that
    // the degrees, minutes and seconds give, far less than a millionth of a second off.
    const double secB = B * Angle::m_RI;
    const double secL = L * Angle::m_RI;
    if (secB >= 0.0 && secB < kDirectLatLimit && secL >= 0.0 && secL < kDirectLonLimit &&
        awayFromWholeSecond(secB) && awayFromWholeSecond(secL))
        return CreateMeshCode(static_cast<int>(secB), static_cast<int>(secL), level);
    if (!std::isfinite(B) || !std::isfinite(L))
        return JMeshCode();
    int dB = 0, mB = 0, dL = 0, mL = 0;
    double sB = 0.0, sL = 0.0;
    // The sign is on the packed value: an angle in (-1, 0) degrees has deg 0.
    if (RadToDMS3(B, &dB, &mB, &sB, 7) < 0.0 || RadToDMS3(L, &dL, &mL, &sL, 7) < 0.0)
        return JMeshCode();
    // Beyond 90 degrees or a full turn a point has no square (and the seconds
    // would overflow).
    if (dB > 90 || dL > 360)
        return JMeshCode();
    const int latSec = dB * 3600 + mB * 60 + static_cast<int>(sB);
    const int lonSec = dL * 3600 + mL * 60 + static_cast<int>(sL);
    return CreateMeshCode(latSec, lonSec, level);
}

JMeshCode JMeshCode::CreateMeshCode(int latSec, int lonSec, int level) {
    if (latSec < 0 || lonSec < 0)
        return JMeshCode();
    const int h = latSec / 60; // latitude in whole minutes
    const long long code1 = static_cast<long long>(lonSec / 3600) + h / 40 * 100LL - 100;
    if (code1 < std::numeric_limits<std::int16_t>::min() ||
        code1 > std::numeric_limits<std::int16_t>::max())
        return JMeshCode();
    JMeshCode code;
    code.m_code1 = static_cast<std::int16_t>(code1);
    if (level <= 0)
        return code;
    const int e = latSec % 60 + h % 40 * 60; // seconds north of the first-level south edge
    const int l = lonSec % 3600;             // seconds east of the whole degree
    code.m_code2 = static_cast<BYTE>(e / 300 * 10 + l / 450);
    if (level >= 2)
        code.m_code3 = static_cast<BYTE>(e % 300 / 30 * 10 + l % 450 / 45);
    return code;
}

bool JMeshCode::operator==(const JMeshCode &other) const {
    return m_code1 == other.m_code1 && m_code2 == other.m_code2 && m_code3 == other.m_code3;
}

bool JMeshCode::operator<(const JMeshCode &other) const {
    if (m_code1 != other.m_code1)
        return m_code1 < other.m_code1;
    if (m_code2 != other.m_code2)
        return m_code2 < other.m_code2;
    return m_code3 < other.m_code3;
}

bool JMeshCode::operator>(const JMeshCode &other) const { return other < *this; }

bool JMeshCode::IsSameLatCode2(const JMeshCode &other) const {
    return m_code1 == other.m_code1 && m_code2 / 10 == other.m_code2 / 10;
}

JMeshCodeElm::JMeshCodeElm(const JMeshCode &code)
    : m_key(static_cast<WORD>(code.GetCode2() * 100 + code.GetCode3())) {}
