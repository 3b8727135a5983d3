// JCnvPrmFile::Read, the grid parameter text, into a JCnvPrmData.
//
// Input: a control byte, then the file. Bits 0-2 of the control byte are the
// file type asked for (0 detects; 4 to 7 are no type), bit 3 gives the read a
// progress callback, bits 4-5 the percentage it stops at (never, first report,
// half-way, end), bit 6 asks the data to stop before the read.
#include "fuzz/PointFuzz.h"
#include "ombresk/JCnvPrmData.h"
#include "ombresk/JCnvPrmFile.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size == 0)
        return 0;
    const int control = data[0];
    const std::string_view raw(reinterpret_cast<const char *>(data) + 1, size - 1);
    const std::string text = TextModeContent(raw);
    const std::size_t lineCount =
        std::count(text.begin(), text.end(), '\n') + (!text.empty() && text.back() != '\n');

    FuzzFile &temp = FuzzFile::Instance();
    temp.Write(raw);
    const DescriptorGuard guard;
    {
        JCnvPrmData grid;
        if (control & 0x40)
            grid.StopReading();
        FuzzProgress progress(CancelPercent(control >> 4));
        progress.ProgressStart(100); // the caller's, as in the data's own read
        const JCnvPrmFileType asked = static_cast<JCnvPrmFileType>(control & 7);
        JCnvPrmFileType type = asked;
        const JCnvPrmReadRetCode result =
            JCnvPrmFile::Read(temp.Path(), &grid, type, (control & 8) ? &progress : nullptr);
        progress.ProgressEnd();
        FUZZ_CHECK(result == CNVPRM_READ_SUCCESS || result == CNVPRM_READ_STOPPED ||
                   result == CNVPRM_READ_HEADER_ERROR || result == CNVPRM_READ_DATA_ERROR);
        // The type changes only to one named by the file.
        FUZZ_CHECK(type == asked || (type >= CNVPRM_TYPE_TKY2JGD && type <= CNVPRM_TYPE_PATCHJGD));
        if (result == CNVPRM_READ_SUCCESS) {
            FUZZ_CHECK(type >= CNVPRM_TYPE_TKY2JGD && type <= CNVPRM_TYPE_PATCHJGD);
            FUZZ_CHECK(!grid.GetFileVerStr1().IsEmpty() && !grid.GetFileVerStr2().IsEmpty());
            FUZZ_CHECK(!progress.cancelled);
            // A stop asked for before the read is seen after the first line of data.
            FUZZ_CHECK(!(control & 0x40) || grid.GetElmCount() == 0);
        }
        if (result == CNVPRM_READ_STOPPED)
            FUZZ_CHECK(progress.cancelled || (control & 0x40));
        // One node at most per line after the header, each found under its own code.
        FUZZ_CHECK(grid.GetElmCount() <= lineCount);
        for (std::size_t t = 0; t < grid.GetTableCount(); ++t) {
            const JCnvPrm1stTbl *table = grid.GetTable(t);
            FUZZ_CHECK(table->GetSize() > 0);
            for (std::size_t i = 0; i < table->GetSize(); ++i)
                FUZZ_CHECK(std::isfinite(table->GetAt(i)->GetdB()) &&
                           std::isfinite(table->GetAt(i)->GetdL()));
            for (std::size_t t2 = t + 1; t2 < grid.GetTableCount(); ++t2)
                FUZZ_CHECK(grid.GetTable(t2)->GetCode1() != table->GetCode1());
        }
        FUZZ_CHECK(!grid.IsDataReady());
    }
    guard.Check();
    return 0;
}
