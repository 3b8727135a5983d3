// JCnvPrmData::ReadBin, the binary cache of the grid parameters.
//
// Input: a control byte, then the file. Bit 0 of the control byte selects the
// sort that tests the stop flag, bit 1 gives the read a progress callback, bits
// 2-3 the percentage it stops at (never, first report, half-way, end).
#include "fuzz/PointFuzz.h"
#include "ombresk/JCnvPrmData.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size == 0)
        return 0;
    const int control = data[0];
    const std::string_view raw(reinterpret_cast<const char *>(data) + 1, size - 1);
    // A cache holds a 72-byte header and 10 bytes a node.
    constexpr std::size_t headerSize = 72;
    constexpr std::size_t nodeSize = 10;

    FuzzFile &temp = FuzzFile::Instance();
    temp.Write(raw);
    const DescriptorGuard guard;
    {
        JCnvPrmData grid;
        grid.SetFileType(CNVPRM_TYPE_SEMIDYNA);
        FuzzProgress progress(CancelPercent(control >> 2));
        const JCnvPrmReadRetCode result =
            grid.ReadBin(temp.Path(), (control & 1) != 0, (control & 2) ? &progress : nullptr);
        progress.CheckClosed();
        // The type asked for is kept.
        FUZZ_CHECK(grid.GetFileType() == CNVPRM_TYPE_SEMIDYNA);
        if (result != CNVPRM_READ_SUCCESS) {
            FUZZ_CHECK(result == CNVPRM_READ_STOPPED || result == CNVPRM_READ_HEADER_ERROR ||
                       result == CNVPRM_READ_DATA_ERROR);
            FUZZ_CHECK(result != CNVPRM_READ_STOPPED || progress.cancelled);
            // A failed read leaves the data empty.
            FUZZ_CHECK(!grid.IsDataReady() && grid.GetTableCount() == 0);
            FUZZ_CHECK(grid.GetFilePath().IsEmpty() && grid.GetFileVerStr1().IsEmpty());
        } else {
            FUZZ_CHECK(!progress.cancelled);
            FUZZ_CHECK(grid.IsDataReady() && grid.GetFilePath() == temp.Path());
            FUZZ_CHECK(!grid.GetFileVerStr2().IsEmpty());
            FUZZ_CHECK(raw.size() >= headerSize + grid.GetElmCount() * nodeSize);
            // Sorted by first-level code and by key, one table per first-level code, and every
            // node found where it is.
            for (std::size_t t = 0; t < grid.GetTableCount(); ++t) {
                const JCnvPrm1stTbl *table = grid.GetTable(t);
                FUZZ_CHECK(table->IsSorted());
                if (t > 0)
                    FUZZ_CHECK(grid.GetTable(t - 1)->GetCode1() < table->GetCode1());
                for (std::size_t i = 0; i < table->GetSize(); ++i)
                    FUZZ_CHECK(table->Find(table->GetAt(i)->GetMeshCodeElm()) != nullptr);
            }
        }
    }
    guard.Check();
    return 0;
}
