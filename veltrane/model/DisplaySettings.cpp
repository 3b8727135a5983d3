#include "veltrane/model/DisplaySettings.h"

#include "kernels/Brennic/YFile.h"
#include "veltrane/model/ArchiveFields.h"

#include <iterator>
#include <utility>

namespace {

// The settings file keeps every int as a 32-bit long.
bool writeInt(YFile &file, int value) { return file.write(static_cast<long>(value)); }

bool readInt(YFile &file, int &value) {
    long stored;
    if (!file.read(stored))
        return false;
    value = static_cast<int>(stored);
    return true;
}

// A count of entries that follow; a negative one is a broken file.
bool readCount(YFile &file, int &count) { return readInt(file, count) && count >= 0; }

} // namespace

// JAdmDspSetting

bool JAdmDspSetting::SetDisplayYear(int year) {
    if (year < 1 || year > 99)
        return false;
    m_nDisplayYear = year;
    return true;
}

bool JAdmDspSetting::AppendPrefCode(int code) { return m_prefCodes.insert(code).second; }

int JAdmDspSetting::GetPrefCode(int i) const {
    if (i < 0 || i >= GetPrefSize())
        return 0;
    return *std::next(m_prefCodes.begin(), i);
}

CString JAdmDspSetting::GetPrefFileName(int i, bool year2k) const {
    const int code = GetPrefCode(i);
    CString name;
    if (code < 1 || code > 47 || m_nDisplayYear < 1 || m_nDisplayYear > 99)
        return name;
    if (year2k)
        name.Format("N03-%02dA-2K_%02d.txt", m_nDisplayYear, code);
    else
        name.Format("N03-%02dA-%02d.txt", m_nDisplayYear, code);
    return name;
}

bool JAdmDspSetting::Write(YFile &file) const {
    if (!writeInt(file, m_nDisplayYear) || !file.write(m_fDispCityName) ||
        !file.write(m_fDispCityLine) || !writeInt(file, GetPrefSize()))
        return false;
    for (int code : m_prefCodes)
        if (!writeInt(file, code))
            return false;
    return true;
}

bool JAdmDspSetting::Read(YFile &file, int /*version*/) {
    JAdmDspSetting read;
    int count;
    if (!readInt(file, read.m_nDisplayYear) || !file.read(read.m_fDispCityName) ||
        !file.read(read.m_fDispCityLine) || !readCount(file, count))
        return false;
    for (int i = 0; i < count; ++i) {
        int code;
        if (!readInt(file, code))
            return false;
        read.m_prefCodes.insert(code);
    }
    *this = std::move(read);
    return true;
}

// JEdxDspSetting

bool JEdxDspSetting::AppendCode(const JMeshCode &code) { return m_codes.insert(code).second; }

JMeshCode JEdxDspSetting::GetCode(int i) const {
    if (i < 0 || i >= GetCodeSize())
        return JMeshCode(0, JMeshCode::kAbsent, JMeshCode::kAbsent);
    return *std::next(m_codes.begin(), i);
}

void JEdxDspSetting::GetCodeVec(std::vector<JMeshCode> *codes) const {
    if (!codes)
        return;
    codes->assign(m_codes.begin(), m_codes.end());
}

void JEdxDspSetting::Clear() {
    m_fDispMeshLine = true;
    m_codes.clear();
}

bool JEdxDspSetting::Write(YFile &file) const {
    if (!file.write(m_fDispMeshLine) || !file.write(m_strDisplayVer) ||
        !writeInt(file, GetCodeSize()))
        return false;
    for (const JMeshCode &code : m_codes)
        if (!file.write(static_cast<short>(code.GetCode1())) ||
            !file.write(static_cast<char>(code.GetCode2())) ||
            !file.write(static_cast<char>(code.GetCode3())))
            return false;
    return true;
}

bool JEdxDspSetting::Read(YFile &file, int /*version*/) {
    JEdxDspSetting read;
    int count;
    if (!file.read(read.m_fDispMeshLine) || !file.read(read.m_strDisplayVer) ||
        !readCount(file, count))
        return false;
    for (int i = 0; i < count; ++i) {
        short code1;
        char code2;
        char code3;
        if (!file.read(code1) || !file.read(code2) || !file.read(code3))
            return false;
        read.m_codes.insert(JMeshCode(code1, static_cast<BYTE>(code2), static_cast<BYTE>(code3)));
    }
    *this = std::move(read);
    return true;
}

// JGrpDspSetting

bool JGrpDspSetting::Write(YFile &file) const {
    return writeInt(file, m_nG1) && writeInt(file, m_nG2) && file.write(m_fG3) &&
           file.write(m_fG4) && file.write(m_fG5) && writeInt(file, m_nG7) &&
           writeInt(file, m_nG8) && writeInt(file, m_nG9) && file.write(m_fG6);
}

bool JGrpDspSetting::Read(YFile &file, int /*version*/) {
    JGrpDspSetting read;
    if (!readInt(file, read.m_nG1) || !readInt(file, read.m_nG2) || !file.read(read.m_fG3) ||
        !file.read(read.m_fG4) || !file.read(read.m_fG5) || !readInt(file, read.m_nG7) ||
        !readInt(file, read.m_nG8) || !readInt(file, read.m_nG9) || !file.read(read.m_fG6))
        return false;
    *this = read;
    return true;
}

// JGDDrawSw

bool JGDDrawSw::Write(CArchive &ar) const {
    WriteFlag(ar, m_fD1);
    WriteFlag(ar, m_fD2);
    WriteFlag(ar, m_fD3);
    WriteFlag(ar, m_fD4);
    WriteInt(ar, m_nD5);
    WriteFlag(ar, m_fD6);
    return true;
}

bool JGDDrawSw::Read(CArchive &ar, unsigned long /*version*/) {
    JGDDrawSw read;
    read.m_fD1 = ReadFlag(ar);
    read.m_fD2 = ReadFlag(ar);
    read.m_fD3 = ReadFlag(ar);
    read.m_fD4 = ReadFlag(ar);
    read.m_nD5 = ReadInt(ar);
    read.m_fD6 = ReadFlag(ar);
    *this = read;
    return true;
}
