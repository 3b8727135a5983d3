// ApaVeskBase::Read and JudgeFormat, the single-letter exchange text.
//
// Input: a control byte, then the file. Bits 0-1 of the control byte are the
// splitter's blank mode, bit 2 gives the read a progress display, bits 3-4 the
// percentage it cancels at (never, first report, half-way, end), bits 5-6 the
// point the register refuses (none, first, second, third), bit 7 what the
// register's EndRegister answers.
//
// A read that stops names a line and a reason; the points of a read that went
// through, written and read again, are the same points.
#include "exchange/Dorrimet/ApaVeskBase.h"
#include "fuzz/ConvertFuzz.h"
#include "fuzz/PointFuzz.h"

namespace {

class Apa : public ApaVeskBase {
  public:
    int errorState() const { return m_errorState; }

  protected:
    bool GetConvertComments(std::vector<CString> *, ConvertMode, int) override { return false; }
};

// The points written and read again with the same blank mode.
void checkRoundTrip(const std::vector<FuzzPoint> &points, int mode) {
    const FuzzFile &out = FuzzFile::Output();
    bool fits = true;
    for (const FuzzPoint &p : points)
        fits = fits && DivisionString::NumberFits(p.x, 6) && DivisionString::NumberFits(p.y, 6) &&
               (!p.hUsed || DivisionString::NumberFits(p.h, 6)) &&
               CsvPointNameFault(1, p.name).IsEmpty();
    FuzzSupplier supplier(points);
    Apa writer;
    FUZZ_CHECK(writer.WritePoints(&supplier, out.Path()) == fits);
    FUZZ_CHECK(writer.GetStopReason().IsEmpty() == fits);
    if (!fits || !ReadsBackAsWritten(out.Read()))
        return;
    Apa apa;
    FuzzRegister reg(0, true);
    FUZZ_CHECK(apa.Read(&reg, out.Path(), nullptr, mode));
    FUZZ_CHECK(reg.taken.size() == points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        const FuzzPoint &a = points[i];
        const FuzzPoint &b = reg.taken[i];
        FUZZ_CHECK(b.no == 0 && b.name == a.name);
        FUZZ_CHECK(b.x == Written(a.x, 6) && b.y == Written(a.y, 6));
        FUZZ_CHECK(b.hUsed == a.hUsed && b.h == (a.hUsed ? Written(a.h, 6) : 0.0));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size == 0)
        return 0;
    const int control = data[0];
    const std::string_view raw(reinterpret_cast<const char *>(data) + 1, size - 1);
    FuzzFile &temp = FuzzFile::Instance();
    temp.Write(raw);
    FuzzFile::Output(); // made before the guard counts the descriptors
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
        FUZZ_CHECK(apa.GetStopReason().IsEmpty() == result);
        FUZZ_CHECK(apa.GetStopLine() >= 0);
        if (result)
            checkRoundTrip(reg.taken, control & 3);
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
