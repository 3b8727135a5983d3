// ApaVeskBase::Read and JudgeFormat, the single-letter exchange text.
//
// Input: a control byte, then the file. Bits 0-1 of the control byte are the
// splitter's blank mode, bit 2 gives the read a progress display, bits 3-4 the
// percentage it cancels at (never, first report, half-way, end), bits 5-6 the
// point the register refuses (none, first, second, third), bit 7 what the
// register's EndRegister answers.
#include "exchange/Dorrimet/ApaVeskBase.h"
#include "fuzz/PointFuzz.h"

namespace {

class Apa : public ApaVeskBase {
  public:
    int errorState() const { return m_errorState; }

  protected:
    bool GetConvertComments(std::vector<CString> *, ConvertMode, int) override { return false; }
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
        Apa apa;
        FuzzRegister reg((control >> 5) & 3, (control & 0x80) != 0);
        FuzzProgress progress(CancelPercent(control >> 3));
        const bool result =
            apa.Read(&reg, temp.Path(), (control & 4) ? &progress : nullptr, control & 3);
        reg.CheckOutcome(result);
        progress.CheckClosed();
        FUZZ_CHECK(!(result && progress.cancelled));
        FUZZ_CHECK(apa.errorState() == ApaVeskBase::ERR_NONE ||
                   apa.errorState() == ApaVeskBase::ERR_LINE ||
                   apa.errorState() == ApaVeskBase::ERR_REFUSED);
        FUZZ_CHECK((apa.errorState() == ApaVeskBase::ERR_REFUSED) == reg.refused);
        // A failed read names its reason unless the register or the user stopped it.
        if (!result && !progress.cancelled && reg.endCalls == 0)
            FUZZ_CHECK(apa.errorState() != ApaVeskBase::ERR_NONE);
    }
    guard.Check();
    {
        Apa apa;
        const bool first = apa.JudgeFormat(temp.Path());
        // The judge answers the same for the same file, on the same object too.
        FUZZ_CHECK(apa.JudgeFormat(temp.Path()) == first);
        FUZZ_CHECK(Apa().JudgeFormat(temp.Path()) == first);
    }
    guard.Check();
    return 0;
}
