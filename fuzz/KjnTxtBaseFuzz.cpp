// KjnTxtBase::Read and JudgeFormat, the reference-point result text.
//
// Input: a control byte, then the file. Bits 0-1 of the control byte are the
// splitter's blank mode, bit 2 gives the read a progress display, bits 3-4 the
// percentage it cancels at (never, first report, half-way, end), bits 5-6 the
// point the register refuses (none, first, second, third), bit 7 what the
// register's EndRegister answers.
#include "exchange/Dorrimet/KjnTxtBase.h"
#include "fuzz/PointFuzz.h"

namespace {

class Kjn : public KjnTxtBase {
  protected:
    bool GetConvertComments(std::vector<CString> *, ConvertMode, int, const ConvData &) override {
        return false;
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size == 0)
        return 0;
    const int control = data[0];
    const std::string_view raw(reinterpret_cast<const char *>(data) + 1, size - 1);
    FuzzFile &temp = FuzzFile::Instance();
    temp.Write(raw);
    const DescriptorGuard guard;
    {
        Kjn kjn;
        FuzzRegister reg((control >> 5) & 3, (control & 0x80) != 0);
        FuzzProgress progress(CancelPercent(control >> 3));
        const bool result =
            kjn.Read(&reg, temp.Path(), (control & 4) ? &progress : nullptr, control & 3);
        reg.CheckOutcome(result);
        progress.CheckClosed();
        FUZZ_CHECK(!(result && progress.cancelled));
    }
    guard.Check();
    {
        Kjn kjn;
        const bool first = kjn.JudgeFormat(temp.Path());
        // The judge answers the same for the same file, on the same object too.
        FUZZ_CHECK(kjn.JudgeFormat(temp.Path()) == first);
        FUZZ_CHECK(Kjn().JudgeFormat(temp.Path()) == first);
    }
    guard.Check();
    return 0;
}
