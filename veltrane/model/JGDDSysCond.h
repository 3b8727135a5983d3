#pragma once

#include "platform/core/CString.h"
#include "veltrane/model/DisplaySettings.h"

class SettingsStore;
class YFile;

// The system conditions of a workstation, kept in a conditions file of their own. Apart from the
// parameter file name nothing in the system gives the values a meaning: they are kept in their
// order and widths.
//
// Conditions file (YFile values): tag "KARNOLIT System Condition" version 101; int16 S1; bool
// F1; text parameter file name; int16 U1; int16 U2; text T1; bool F2; bool F3; the
// administrative-boundary, EDX and group display records; int16 W1 .. W6; bool F6; from version
// 100 bool F4, bool F5; from version 101 text T2, int32 V1. Files tagged "Quendor System
// Condition" store version 1 as 100 and version 2 as 200.
class JGDDSysCond {
  public:
    JGDDSysCond() = default;
    JGDDSysCond(const JGDDSysCond &) = default;
    JGDDSysCond &operator=(const JGDDSysCond &) = default;
    virtual ~JGDDSysCond() = default;

    const CString &GetCnvPrmFile() const { return m_strCnvPrmFile; }
    void SetCnvPrmFile(const CString &name) { m_strCnvPrmFile = name; }

    // False, with the file at path as it was, when the file cannot be created or a value
    // cannot be written.
    bool Write(const CString &path) const;
    // False, with the conditions as they were, when the file cannot be opened, its tag or
    // version is not one of ours or a value cannot be read. Values an older version lacks
    // keep theirs.
    bool Read(const CString &path);

  private:
    bool readValues(YFile &file);

    int m_nS1 = 1;
    bool m_fF1 = true;
    CString m_strT1;
    CString m_strCnvPrmFile = "TKY2JGD.par";
    int m_nU1 = -3;
    int m_nU2 = -4;
    bool m_fF2 = false;
    bool m_fF3 = true;
    bool m_fF4 = true;
    bool m_fF5 = false;
    JAdmDspSetting m_admDsp;
    JEdxDspSetting m_edxDsp;
    JGrpDspSetting m_grpDsp;
    short m_nWidth[6] = {25, 25, 20, 25, 24, 6};
    bool m_fF6 = true;
    CString m_strT2;
    int m_nV1 = 0;
};

// The installation record: whether the program runs for the first time and where it was
// installed. It lives in a settings store under the user's configuration folder,
// "VarniskTechnology/<product key name>.ini", in the section of the version, "1.00.0000" when
// saved: values "fFirstExecute" (a whole number) and "InstallDir".
class JGDDSysCondReg {
  public:
    JGDDSysCondReg() = default;
    JGDDSysCondReg(const JGDDSysCondReg &) = default;
    JGDDSysCondReg &operator=(const JGDDSysCondReg &) = default;
    virtual ~JGDDSysCondReg() = default;

    int GetFirstExecute() const { return m_nFirstExecute; }
    void SetFirstExecute(int first) { m_nFirstExecute = first; }
    const CString &GetInstallDir() const { return m_strInstallDir; }
    void SetInstallDir(const CString &folder) { m_strInstallDir = folder; }
    int GetNormalMode() const { return m_nNormalMode; }
    const CString &GetProductKeyName() const { return m_strProductKey; }

    // Writes both values to section "1.00.0000"; true when both were written.
    bool SaveRegistry();
    // Reads both values of the section; a missing first-execute value keeps the current one, a
    // missing folder gives the empty text.
    void LoadRegistry(const CString &section);
    // A non-zero mode also sets the product key name to "Karnolit". Always true.
    bool SetNormalMode(int mode);

  protected:
    // The store that stands for the product's key.
    SettingsStore getAppRegistryKey() const;
    int getProfileInt(const CString &section, const CString &name, int defaultValue) const;
    CString getProfileString(const CString &section, const CString &name,
                             const CString &defaultValue) const;
    bool writeProfileInt(const CString &section, const CString &name, int value);
    // A null value removes the value.
    bool writeProfileString(const CString &section, const CString &name, const CString *value);

  private:
    int m_nFirstExecute = 1;
    CString m_strInstallDir;
    int m_nNormalMode = 1;
    CString m_strProductKey = "Karnolit";
};
