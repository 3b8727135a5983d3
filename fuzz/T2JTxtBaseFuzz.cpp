// T2JTxtBase's point read and JudgeFormat, and ReadT2JTxtFile under them, the
// grid-conversion text.
//
// Input: a control byte, then the file. Bit 0 of the control byte makes the
// line reader's numbers strict, bit 2 gives the read a progress display, bits 3-4 the percentage it
// cancels at (never, first report, half-way, end), bits 5-6 the point the register refuses (none,
// first, second, third), bit 7 what the register's EndRegister answers.
#include "exchange/Dorrimet/T2JTxtBase.h"
#include "fuzz/PointFuzz.h"

namespace {

class T2J : public T2JTxtBase {
  public:
    using T2JTxtBase::m_pRegister;
    using T2JTxtBase::readPoints;

    unsigned GetCommentSize() const override { return 0; }
    bool GetComment(int, CString *) const override { return false; }
    bool GetConvertComments(std::vector<CString> *, int, const ConvData &) override {
        return false;
    }
};

// Numbers the points 1, 2, 3 in file order.
class NumberedRegister : public FuzzRegister {
  public:
    using FuzzRegister::FuzzRegister;
    bool RegisterPoint(int no, const CString &name, double x, double y, double h,
                       int hUsed) override {
        FUZZ_CHECK(no == points + 1);
        FUZZ_CHECK(hUsed == 0);
        return FuzzRegister::RegisterPoint(no, name, x, y, h, hUsed);
    }
    using FuzzRegister::RegisterPoint;
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
        T2J t2j;
        NumberedRegister reg((control >> 5) & 3, (control & 0x80) != 0);
        FuzzProgress progress(CancelPercent(control >> 3));
        t2j.m_pRegister = &reg;
        const bool result = t2j.readPoints(temp.Path(), (control & 4) ? &progress : nullptr);
        reg.CheckOutcome(result);
        progress.CheckClosed();
        FUZZ_CHECK(!(result && progress.cancelled));
    }
    guard.Check();
    {
        // The line reader on its own: positions grow within the file, every line ends
        // with its line feed, and the numbers of a point line are finite.
        ReadT2JTxtFile reader(temp.Path(), 0, 0);
        FUZZ_CHECK(!reader.isnotUsed());
        FUZZ_CHECK(reader.GetFileSize() == raw.size());
        std::uint64_t position = reader.GetCurrentPos();
        while (reader.ReadLine()) {
            FUZZ_CHECK(reader.GetCurrentPos() > position);
            FUZZ_CHECK(reader.GetCurrentPos() <= raw.size());
            position = reader.GetCurrentPos();
            const CString line = reader.GetBufferStr();
            FUZZ_CHECK(!line.IsEmpty() && line[line.GetLength() - 1] == '\n');
            if (reader.IsCommentLine())
                continue;
            CString name;
            double x = 0, y = 0;
            if (reader.GetCrdData(&name, &x, &y, (control & 1) != 0)) {
                FUZZ_CHECK(std::isfinite(x) && std::isfinite(y));
                FUZZ_CHECK(name.GetLength() < line.GetLength());
            }
        }
    }
    guard.Check();
    {
        T2J t2j;
        const int first = t2j.JudgeFormat(temp.Path());
        FUZZ_CHECK(first == 0 || first == 1);
        // The judge answers the same for the same file, on the same object too.
        FUZZ_CHECK(t2j.JudgeFormat(temp.Path()) == first);
        FUZZ_CHECK(T2J().JudgeFormat(temp.Path()) == first);
    }
    guard.Check();
    return 0;
}
