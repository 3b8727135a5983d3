#pragma once

#include "platform/core/CString.h"
#include "platform/core/WinTypes.h"

#include <cstdint>

class Projection;

// A square of the standard regional mesh at one of three levels:
//   first   40' x 1 degree    code1, e.g. 5339 (latitude x 1.5, longitude - 100)
//   second  5' x 7'30"        code2, latitude digit x 10 + longitude digit (0-7)
//   third   30" x 45"         code3, latitude digit x 10 + longitude digit (0-9)
// 255 in code2 or code3 marks a level that is absent.
class JMeshCode {
  public:
    static constexpr BYTE kAbsent = 255;

    JMeshCode();
    JMeshCode(short code1, BYTE code2, BYTE code3);

    // The code of a 4-, 6- or 8-digit number; the lower levels become absent.
    void SetMeshCode1(short code1);
    void SetMeshCode2(UINT code);
    void SetMeshCode3(UINT code);
    // Whether SetMeshCode3 takes value as a third-level number: 0 to 99999999, with the
    // second-level digits 0 to 7.
    static bool IsMeshCode3(int value);

    short GetCode1() const { return m_code1; }
    BYTE GetCode2() const { return m_code2; }
    BYTE GetCode3() const { return m_code3; }
    // code2 / 10: the latitude digit of the second level.
    int GetLatCode2() const { return m_code2 / 10; }
    // 0 first level, 1 second level, 2 third level.
    int GetLevel() const {
        if (m_code2 == kAbsent)
            return 0;
        return m_code3 == kAbsent ? 1 : 2;
    }

    // "%4d%02d%02d"
    CString GetCodeStr() const;
    // "%4d" (level 0 or no code2), "%4d-%02d" (level 1 or no code3), else "%4d-%02d-%02d".
    CString GetHyphenCodeStr(int level) const;

    // South-west corner in whole arc seconds; absent levels are left out.
    int GetLatSec() const {
        int sec = m_code1 / 100 * 2400;
        if (m_code2 != kAbsent)
            sec += m_code2 / 10 * 300;
        if (m_code3 != kAbsent)
            sec += m_code3 / 10 * 30;
        return sec;
    }
    int GetLonSec() const {
        int sec = m_code1 % 100 * 3600 + 360000;
        if (m_code2 != kAbsent)
            sec += m_code2 % 10 * 450;
        if (m_code3 != kAbsent)
            sec += m_code3 % 10 * 45;
        return sec;
    }
    // The same in radians.
    double GetLat() const;
    double GetLon() const;

    void GetSWCrdSec(int *latSec, int *lonSec) const;
    // The south-west corner of the square one interval north-east.
    void GetNECrdSec(int *latSec, int *lonSec) const;

    // Corner plane coordinates through the projection's BLtoXY; false when the
    // projection is null or cannot compute (outputs untouched).
    bool GetSWCrd(const Projection *proj, double *x, double *y) const;
    bool GetNWCrd(const Projection *proj, double *x, double *y) const;
    bool GetNECrd(const Projection *proj, double *x, double *y) const;
    bool GetSECrd(const Projection *proj, double *x, double *y) const;

    // Size of the square in seconds: 2400 x 3600, 300 x 450 or 30 x 45.
    void GetInterval(int *lat, int *lon) const;

    // The third-level code of the point (GetLatSec + dLatSec, GetLonSec + dLonSec).
    JMeshCode GetAdjMeshCode(int dLatSec, int dLonSec) const;
    // The neighbour at this code's level one interval away: flags 1 north,
    // 2 south, 4 east, 8 west (combinations add up).
    JMeshCode GetAdjMeshCode(int flags) const;

    // The square holding (B, L) in radians at level 0 (first), 1 (second) or
    // 2 (third). A negative or non-finite latitude or longitude gives the
    // default code.
    static JMeshCode CreateMeshCode(double B, double L, int level);
    // The same from whole seconds.
    static JMeshCode CreateMeshCode(int latSec, int lonSec, int level);

    bool operator==(const JMeshCode &other) const;
    bool operator!=(const JMeshCode &other) const { return !(*this == other); }
    // By code1, then code2, then code3.
    bool operator<(const JMeshCode &other) const;
    bool operator>(const JMeshCode &other) const;
    // Same code1 and same latitude digit of code2.
    bool IsSameLatCode2(const JMeshCode &other) const;

  private:
    bool cornerXY(const Projection *proj, int dLatSteps, int dLonSteps, double *x, double *y) const;

    std::int16_t m_code1;
    BYTE m_code2;
    BYTE m_code3;
};

// The key of a square inside its first-level mesh: code2 x 100 + code3.
class JMeshCodeElm {
  public:
    JMeshCodeElm() = default;
    explicit JMeshCodeElm(const JMeshCode &code);
    explicit JMeshCodeElm(WORD key) : m_key(key) {}

    WORD GetKey() const { return m_key; }
    void SetKey(WORD key) { m_key = key; }

    bool operator==(const JMeshCodeElm &other) const { return m_key == other.m_key; }
    bool operator!=(const JMeshCodeElm &other) const { return m_key != other.m_key; }
    bool operator<(const JMeshCodeElm &other) const { return m_key < other.m_key; }
    bool operator>(const JMeshCodeElm &other) const { return m_key > other.m_key; }

  private:
    WORD m_key = 0;
};
