#include "veltrane/model/PrtItemInfo.h"

#include "platform/core/CArchive.h"
#include "platform/core/CFile.h"
#include "veltrane/database/DatabaseVersion.h"
#include "veltrane/model/ArchiveFields.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <iterator>

namespace {

// The title with its terminator is what a reader compares.
constexpr char kTitle[] = "KARNOLIT PrtItemInfo";
constexpr UINT kTitleSize = 64;

// The numbers and switches in record order: S for a switch, the item's
// number from 1.
struct Field {
    bool isSwitch;
    int item;
};
constexpr Field kRecordFields[] = {
    {false, 5}, {false, 9}, {false, 1}, {false, 2}, {false, 3},  {false, 4},
    {true, 1},  {false, 6}, {false, 7}, {false, 8}, {false, 10}, {true, 5},
    {true, 2},  {true, 3},  {true, 4},  {true, 6},  {false, 11}, {false, 12},
};

} // namespace

void PrtItemInfo::Clear() {
    static constexpr int kNumbers[12] = {3, 3, 3, 4, 0, 3, 4, 3, 0, 3, 3, 6};
    static constexpr bool kSwitches[6] = {false, false, false, true, true, false};
    for (CString &text : m_strText)
        text.Empty();
    std::copy(std::begin(kNumbers), std::end(kNumbers), m_nNum);
    std::copy(std::begin(kSwitches), std::end(kSwitches), m_fSwitch);
}

bool PrtItemInfo::Write(CArchive &ar) const {
    for (const CString &text : m_strText)
        ar << text;
    for (const Field &field : kRecordFields) {
        if (field.isSwitch)
            WriteFlag(ar, m_fSwitch[field.item - 1]);
        else
            WriteInt(ar, m_nNum[field.item - 1]);
    }
    return true;
}

bool PrtItemInfo::Read(CArchive &ar, unsigned long /*version*/) {
    PrtItemInfo read;
    for (CString &text : read.m_strText)
        ar >> text;
    for (const Field &field : kRecordFields) {
        if (field.isSwitch)
            read.m_fSwitch[field.item - 1] = ReadFlag(ar);
        else
            read.m_nNum[field.item - 1] = ReadInt(ar);
    }
    *this = read;
    return true;
}

bool PrtItemInfo::Write(const CString &path) const {
    CFile file;
    if (!file.Open(path, CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive))
        return false;
    try {
        CArchive ar(&file, CArchive::store, 4096);
        char title[kTitleSize] = {};
        std::memcpy(title, kTitle, sizeof kTitle);
        ar.Write(title, kTitleSize);
        ar << static_cast<std::uint32_t>(kDatabaseVersion);
        Write(ar);
        ar.Close();
        file.Close();
    } catch (const CException &) {
        return false;
    }
    return true;
}

bool PrtItemInfo::Read(const CString &path) {
    CFile file;
    if (!file.Open(path, CFile::modeRead | CFile::shareDenyWrite))
        return false;
    try {
        CArchive ar(&file, CArchive::load, 4096);
        char title[kTitleSize];
        if (ar.Read(title, kTitleSize) != kTitleSize ||
            std::memcmp(title, kTitle, sizeof kTitle) != 0)
            return false;
        std::uint32_t version;
        ar >> version;
        if (!IsValidVersion(version))
            return false;
        return Read(ar, version);
    } catch (const CException &) {
        return false;
    }
}
