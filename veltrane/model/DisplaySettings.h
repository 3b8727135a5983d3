#pragma once

#include "ombresk/JMeshCode.h"
#include "platform/core/CString.h"

#include <set>
#include <vector>

class CArchive;
class YFile;

// Settings of a map display. The first three are stored in the conditions
// file, the draw switches in the project database. Every Read reads the whole
// record before it changes anything: a record cut short or refused leaves the
// object as it was.

// Administrative boundaries: the prefectures and the edition year of the
// published boundary files to show, and whether city names and lines are drawn.
//
// Record: int32 display year; bool city names; bool city lines; int32 count;
// the prefecture codes as int32, ascending.
class JAdmDspSetting {
  public:
    JAdmDspSetting() = default;

    // Accepts a two-digit edition year, 1 to 99; anything else is refused and
    // leaves the year as it was. -1 (the default) shows no boundaries.
    bool SetDisplayYear(int year);
    int GetDisplayYear() const { return m_nDisplayYear; }
    void SetDispCityName(bool on) { m_fDispCityName = on; }
    bool GetDispCityName() const { return m_fDispCityName; }
    void SetDispCityLine(bool on) { m_fDispCityLine = on; }
    bool GetDispCityLine() const { return m_fDispCityLine; }

    // False when the code is already there.
    bool AppendPrefCode(int code);
    int GetPrefSize() const { return static_cast<int>(m_prefCodes.size()); }
    // The i-th code in ascending order; 0 when i is out of range.
    int GetPrefCode(int i) const;
    // The boundary file of the i-th prefecture, "N03-%02dA-%02d.txt" or with
    // year2k "N03-%02dA-2K_%02d.txt" (year, then code); empty unless the code
    // is 1 to 47 and the display year 1 to 99.
    CString GetPrefFileName(int i, bool year2k) const;
    // Removes the prefecture codes only.
    void Clear() { m_prefCodes.clear(); }

    bool Write(YFile &file) const;
    bool Read(YFile &file, int version);

  private:
    int m_nDisplayYear = -1;
    std::set<int> m_prefCodes;
    bool m_fDispCityName = true;
    bool m_fDispCityLine = true;
};

// Error-index meshes and the parameter version of the EDX files to show.
//
// Record: bool mesh lines; text display version; int32 count; per mesh in set
// order int16 first-level code, char second-level part, char third-level part.
class JEdxDspSetting {
  public:
    JEdxDspSetting() = default;

    void SetDisplayVer(const CString &version) { m_strDisplayVer = version; }
    const CString &GetDisplayVer() const { return m_strDisplayVer; }
    void SetDispMeshLine(bool on) { m_fDispMeshLine = on; }
    bool GetDispMeshLine() const { return m_fDispMeshLine; }

    // False when the mesh is already there.
    bool AppendCode(const JMeshCode &code);
    int GetCodeSize() const { return static_cast<int>(m_codes.size()); }
    // The i-th mesh in order; out of range the mesh (0, 255, 255).
    JMeshCode GetCode(int i) const;
    // Replaces the content of *codes with the meshes in order.
    void GetCodeVec(std::vector<JMeshCode> *codes) const;
    void ClearEdxCodes() { m_codes.clear(); }
    // Removes the meshes and turns mesh lines on; the version stays.
    void Clear();

    bool Write(YFile &file) const;
    bool Read(YFile &file, int version);

  private:
    CString m_strDisplayVer;
    std::set<JMeshCode> m_codes;
    bool m_fDispMeshLine = true;
};

// Switches of the group display.
//
// Record: int32 G1; int32 G2; bool G3; bool G4; bool G5; int32 G7; int32 G8;
// int32 G9; bool G6.
class JGrpDspSetting {
  public:
    JGrpDspSetting() = default;
    virtual ~JGrpDspSetting() = default;
    JGrpDspSetting(const JGrpDspSetting &) = default;
    JGrpDspSetting &operator=(const JGrpDspSetting &) = default;

    bool Write(YFile &file) const;
    bool Read(YFile &file, int version);

  private:
    int m_nG1 = 1;
    int m_nG2 = 1;
    bool m_fG3 = true;
    bool m_fG4 = true;
    bool m_fG5 = true;
    bool m_fG6 = true;
    int m_nG7 = 0;
    int m_nG8 = 100;
    int m_nG9 = 255;
};

// Drawing switches of the project database.
//
// Record of six int32: D1, D2, D3, D4 as 0 or 1, D5, D6 as 0 or 1. Write on a loading archive
// raises CArchiveException readOnly, Read on a storing one writeOnly, Read past the end endOfFile.
// Both answer true.
class JGDDrawSw {
  public:
    JGDDrawSw() = default;
    virtual ~JGDDrawSw() = default;
    JGDDrawSw(const JGDDrawSw &) = default;
    JGDDrawSw &operator=(const JGDDrawSw &) = default;

    // D4: the extent drawn takes in the error-index table.
    bool IsDrawErrIdx() const { return m_fD4; }

    bool Write(CArchive &ar) const;
    bool Read(CArchive &ar, unsigned long version);

  private:
    bool m_fD1 = true;
    bool m_fD2 = false;
    bool m_fD3 = true;
    bool m_fD4 = false;
    int m_nD5 = 0;
    bool m_fD6 = false;
};
