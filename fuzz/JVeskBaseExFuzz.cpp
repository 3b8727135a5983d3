// JVeskBaseEx::Read (with its progress display) and JudgeFormat, the exchange
// format read through the extended reader, with a derived class that takes
// every record.
//
// Input: two control bytes, then the file. Byte 0 as for VeskBaseFuzz: bits 0-2
// the read flags (points, lots, routes), bits 3-4 the splitter's blank mode,
// bit 5 the answer to the question after the first bad record (through the
// prompt handler, which never blocks), bit 6 the answer about an unknown
// version, bit 7 whether the file's coordinate system is accepted. Byte 1: bit 0
// gives the read a progress display, bits 1-2 the percentage it cancels at
// (never, first report, half-way, end).
#include "exchange/Dorrimet/JVeskBaseEx.h"
#include "fuzz/CsvScript.h"
#include "fuzz/PointFuzz.h"
#include "fuzz/VeskFuzzReader.h"

namespace {

// Takes every record; no header comments of its own.
class AcceptAllRecords : public AcceptAll<JVeskBaseEx> {
  public:
    using AcceptAll<JVeskBaseEx>::AcceptAll;

  protected:
    bool GetConvertComments(std::vector<CString> *, ConvertMode, int) override { return false; }
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    InstallFuzzPrompt();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size < 2)
        return 0;
    const int control = data[0];
    const int readFlags = control & 7;
    g_answer = (control & 0x20) ? IDYES : IDNO;
    g_questions = 0;
    const std::string_view raw(reinterpret_cast<const char *>(data) + 2, size - 2);
    const std::size_t lineCount = SplitLines(TextModeContent(raw)).size();

    FuzzFile &temp = FuzzFile::Instance();
    temp.Write(raw);
    const DescriptorGuard guard;
    {
        AcceptAllRecords reader((control & 0x40) != 0, (control & 0x80) != 0);
        FuzzProgress progress(CancelPercent(data[1] >> 1));
        const int result = reader.Read(temp.Path(), (data[1] & 1) ? &progress : nullptr, readFlags,
                                       (control >> 3) & 3);
        const int state = reader.getErrorState();
        FUZZ_CHECK(result == 0 || result == 1);
        progress.CheckClosed();
        FUZZ_CHECK(!(result == 1 && progress.cancelled));
        // A read stops only for a reason it can name, or for the user.
        FUZZ_CHECK(result == 1 || state != VeskBase::ERR_NONE || progress.cancelled);
        FUZZ_CHECK(reader.getReadErrorMessage().IsEmpty() ==
                   (state != VeskBase::ERR_CONTENT && state != VeskBase::ERR_REFUSED));
        FUZZ_CHECK(static_cast<std::size_t>(reader.getLineNo()) <= lineCount);
        if (result == 1)
            FUZZ_CHECK(static_cast<std::size_t>(reader.getLineNo()) == lineCount);
        FUZZ_CHECK(g_questions <= 1);
        FUZZ_CHECK(reader.points == 0 || (readFlags & VeskBase::READ_POINTS));
    }
    guard.Check();
    {
        AcceptAllRecords judge(false, false);
        g_questions = 0;
        const int first = judge.JudgeFormat(temp.Path());
        FUZZ_CHECK(first == 0 || first == 1);
        // The judge asks nothing, hands nothing on and answers the same each time.
        FUZZ_CHECK(g_questions == 0 && judge.points == 0 && judge.pointSections == 0);
        FUZZ_CHECK(judge.JudgeFormat(temp.Path()) == first);
    }
    guard.Check();
    return 0;
}
