#include "veltrane/model/JGDDSysCond.h"

#include "kernels/Brennic/YFile.h"
#include "platform/core/SettingsStore.h"

namespace {

const CString kTag = "KARNOLIT System Condition";
const CString kOldTag = "Quendor System Condition";
constexpr short kVersion = 101;

const CString kRegistryFolder = "VarniskTechnology";
const CString kRegistrySection = "1.00.0000";
const CString kFirstExecute = "fFirstExecute";
const CString kInstallDir = "InstallDir";

bool readShort(YFile &file, int &value) {
    short stored = 0;
    if (!file.read(stored))
        return false;
    value = stored;
    return true;
}

} // namespace

bool JGDDSysCond::Write(const CString &path) const {
    YFile file;
    if (!file.openWrite(path))
        return false;
    bool ok = file.writeTag(kTag, kVersion) && file.write(static_cast<short>(m_nS1)) &&
              file.write(m_fF1) && file.write(m_strCnvPrmFile) &&
              file.write(static_cast<short>(m_nU1)) && file.write(static_cast<short>(m_nU2)) &&
              file.write(m_strT1) && file.write(m_fF2) && file.write(m_fF3) &&
              m_admDsp.Write(file) && m_edxDsp.Write(file) && m_grpDsp.Write(file);
    for (short width : m_nWidth)
        ok = ok && file.write(width);
    ok = ok && file.write(m_fF6) && file.write(m_fF4) && file.write(m_fF5) && file.write(m_strT2) &&
         file.write(static_cast<long>(m_nV1));
    // A file not written whole is discarded with the YFile.
    return ok && file.close();
}

bool JGDDSysCond::Read(const CString &path) {
    YFile file;
    if (!file.openRead(path))
        return false;
    // Into a copy first: a file that fails half-way changes nothing.
    JGDDSysCond read(*this);
    if (!read.readValues(file))
        return false;
    *this = std::move(read);
    return true;
}

bool JGDDSysCond::readValues(YFile &file) {
    CString tag;
    short stored = 0;
    if (!file.read(tag) || !file.read(stored))
        return false;
    if (tag == kOldTag) {
        if (stored == 100)
            file.setVer(1);
        else if (stored == 200)
            file.setVer(2);
        else
            return false;
    } else if (tag == kTag) {
        file.setVer(stored);
    } else {
        return false;
    }
    if (!file.isVer(1) && !file.isVer(2) && !file.isVer(100) && !file.isVer(101))
        return false;
    const int version = file.getVer();

    if (!readShort(file, m_nS1) || !file.read(m_fF1) || !file.read(m_strCnvPrmFile) ||
        !readShort(file, m_nU1) || !readShort(file, m_nU2) || !file.read(m_strT1) ||
        !file.read(m_fF2) || !file.read(m_fF3) || !m_admDsp.Read(file, version) ||
        !m_edxDsp.Read(file, version) || !m_grpDsp.Read(file, version))
        return false;
    for (short &width : m_nWidth)
        if (!file.read(width))
            return false;
    if (!file.read(m_fF6))
        return false;
    if (version >= 100 && (!file.read(m_fF4) || !file.read(m_fF5)))
        return false;
    if (version > 100) {
        long value = 0;
        if (!file.read(m_strT2) || !file.read(value))
            return false;
        m_nV1 = static_cast<int>(value);
    }
    return true;
}

SettingsStore JGDDSysCondReg::getAppRegistryKey() const {
    return SettingsStore(SettingsStore::ConfigPath(kRegistryFolder, m_strProductKey + ".ini"));
}

int JGDDSysCondReg::getProfileInt(const CString &section, const CString &name,
                                  int defaultValue) const {
    return getAppRegistryKey().GetInt(section, name, defaultValue);
}

CString JGDDSysCondReg::getProfileString(const CString &section, const CString &name,
                                         const CString &defaultValue) const {
    return getAppRegistryKey().GetString(section, name, defaultValue);
}

bool JGDDSysCondReg::writeProfileInt(const CString &section, const CString &name, int value) {
    return getAppRegistryKey().WriteInt(section, name, value);
}

bool JGDDSysCondReg::writeProfileString(const CString &section, const CString &name,
                                        const CString *value) {
    SettingsStore store = getAppRegistryKey();
    return value == nullptr ? store.DeleteValue(section, name)
                            : store.WriteString(section, name, *value);
}

bool JGDDSysCondReg::SaveRegistry() {
    const bool first = writeProfileInt(kRegistrySection, kFirstExecute, m_nFirstExecute);
    const bool folder = writeProfileString(kRegistrySection, kInstallDir, &m_strInstallDir);
    return first && folder;
}

void JGDDSysCondReg::LoadRegistry(const CString &section) {
    m_nFirstExecute = getProfileInt(section, kFirstExecute, m_nFirstExecute);
    m_strInstallDir = getProfileString(section, kInstallDir, CString());
}

bool JGDDSysCondReg::SetNormalMode(int mode) {
    m_nNormalMode = mode;
    if (mode != 0)
        m_strProductKey = "Karnolit";
    return true;
}
