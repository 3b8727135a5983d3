// The residual limits of a precision-check table, in both record formats.
//
// Input: one byte choosing the format and the table's check kind, then the record. A record cut
// short raises endOfFile and leaves the limits as they were.
#include "fuzz/FuzzSupport.h"
#include "platform/core/CArchive.h"
#include "veltrane/model/PrecisionChkTable.h"

#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size == 0)
        return 0;
    FuzzFile::Output(); // made before a guard counts the descriptors
    const bool second = data[0] & 1;
    const PRECISION_CHECK_ID kinds[4] = {PrecChkCnvPrec, PrecChkChkObs, PrecChkCrdDiff,
                                         PrecChkAdjCnvPrec};
    const PRECISION_CHECK_ID kind = kinds[(data[0] >> 1) % 4];
    PrecisionChkTable::m_nResLmtBasis = PrecisionChkTable::m_nResLmtBasisHgt = 50;
    PrecisionChkTable::m_nResLmtCheck = PrecisionChkTable::m_nResLmtCheckHgt = 50;
    PrecisionChkTable table;
    table.Initialize(kind, 0);
    const int plane = table.GetResidualLimitByMM(), height = table.GetResidualLimitByMM_H();

    FuzzFile &temp = FuzzFile::Instance();
    temp.Write(data + 1, size - 1);
    const std::size_t need = second ? 8 : 4;
    const DescriptorGuard guard;
    {
        CFile file(temp.Path(), CFile::modeRead | CFile::typeBinary);
        CArchive ar(&file, CArchive::load);
        try {
            FUZZ_CHECK(second ? table.Read2(ar) : table.Read(ar));
            FUZZ_CHECK(size - 1 >= need);
        } catch (const CArchiveException &e) {
            FUZZ_CHECK(e.m_cause == CArchiveException::endOfFile);
            FUZZ_CHECK(size - 1 < need);
            FUZZ_CHECK(table.GetResidualLimitByMM() == plane);
            FUZZ_CHECK(table.GetResidualLimitByMM_H() == height);
            return 0;
        }
    }
    guard.Check();
    std::int32_t mm[2];
    std::memcpy(mm, data + 1, need);
    const bool limited = kind != PrecChkCrdDiff; // kind 2 has no limits to set
    FUZZ_CHECK(table.GetResidualLimitByMM() == (limited ? mm[0] : 0));
    if (second)
        FUZZ_CHECK(table.GetResidualLimitByMM_H() == (limited ? mm[1] : 0));
    const std::string written =
        ArchiveBytes([&](CArchive &ar) { second ? table.Write2(ar) : table.Write(ar); });
    FUZZ_CHECK(limited ? written == std::string(reinterpret_cast<const char *>(data + 1), need)
                       : written.size() == need);
    return 0;
}
