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
// (never, first report, half-way, end), bits 3-4 the transformer of the
// conversion (see FuzzTransformer), bits 5-6 its mode (0 to 2; 3 is 2).
//
// A read that stops names a line and a reason; the points of a read that went
// through, written and read again, are the same points. The conversion drops no
// line: every source line comes out converted, copied (as a comment where a
// record would mislead) or counted as a bad line, in order, and every point
// record it writes reads back.
#include "exchange/Dorrimet/ConvertTally.h"
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

// Converts the file and checks that no source line is lost and that every point record of the
// result reads.
void checkConversion(std::string_view raw, int control) {
    const FuzzFile &out = FuzzFile::Output();
    const FuzzTransformer transformer(control >> 3);
    const int modeBits = (control >> 5) & 3;
    const ConvertMode mode = static_cast<ConvertMode>(modeBits == 3 ? 2 : modeBits);
    AcceptAllRecords converter(true, true);
    std::vector<CString> messages;
    const int result = converter.Convert(FuzzFile::Instance().Path(), out.Path(), mode,
                                         &transformer, &messages, nullptr);
    const DecodedText text = DecodedTextContent(raw, true);
    const std::vector<std::string_view> lines = SplitLines(text.content);
    // Only too many bad lines end a conversion early, after the line it names, and a line that
    // cannot be read into cp932, before it.
    if (result == 0 && text.stopLine > 0 && converter.GetStopLine() == text.stopLine) {
        FUZZ_CHECK(!messages.empty() &&
                   messages[0] == ConvertTally::UndecodableLineMessage(text.stopLine,
                                                                       converter.GetStopReason()));
    } else if (result == 0) {
        CString giveUp;
        giveUp.Format("エラーのある行が%d行を超えたため、変換を中止しました。",
                      JVeskBaseEx::MAX_BAD_LINES);
        FUZZ_CHECK(converter.GetStopReason() == giveUp);
        FUZZ_CHECK(!messages.empty() && messages[0] == giveUp);
        FUZZ_CHECK(converter.GetStopLine() > JVeskBaseEx::MAX_BAD_LINES);
        FUZZ_CHECK(static_cast<std::size_t>(converter.GetStopLine()) <= lines.size());
    } else {
        FUZZ_CHECK(result == 1 && converter.GetStopReason().IsEmpty());
    }
    // A conversion that stops says that it wrote nothing; what it wrote in place (the output
    // here is such a file) is no converted file, so only a whole conversion is compared.
    if (result == 0) {
        FUZZ_CHECK(messages.back() == ConvertTally::STOPPED);
        return;
    }

    LineMatcher output(OutputLines(out.Read()));
    bool inPoints = false;
    for (const std::string_view source : lines) {
        const std::string line(source);
        const std::string comment = "Z00," + line;
        const int code = VeskLineCode(line);
        if (code == VESK_Z01)
            continue; // taken into the new record, or a bad line kept as a comment
        bool found;
        if (code == VESK_G00) {
            found = output.Next(
                [&](const std::string &o) { return o == line || o.compare(0, 4, "G00,") == 0; });
        } else if (code == VESK_A01 && inPoints) {
            found = output.Next(
                [&](const std::string &o) { return o == comment || o.compare(0, 4, "A01,") == 0; });
        } else if (code == VESK_A01) {
            // Outside the point section a point line is never left as a record.
            found = output.Next([&](const std::string &o) { return o == comment; });
        } else {
            found = output.Next([&](const std::string &o) { return o == line || o == comment; });
        }
        FUZZ_CHECK(found);
        if (code == VESK_A00)
            inPoints = true;
        else if (code == VESK_A99)
            inPoints = false;
    }

    // Every point record written stands inside a point section and reads back: other readers
    // take one wherever it stands.
    if (!ReadsBackAsWritten(out.Read()))
        return;
    int records = 0;
    for (const std::string &o : output.Lines())
        records += VeskLineCode(o) == VESK_A01;
    const int answer = g_answer;
    g_answer = IDYES;
    AcceptAllRecords back(true, true);
    FUZZ_CHECK(back.Read(out.Path(), VeskBase::READ_POINTS, 2) == 1);
    FUZZ_CHECK(back.points == records);
    g_answer = answer;
}

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
    const std::size_t lineCount = DecodedTextContent(raw).lines;

    FuzzFile &temp = FuzzFile::Instance();
    temp.Write(raw);
    FuzzFile::Output(); // made before the guard counts the descriptors
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
        FUZZ_CHECK(reader.GetStopReason().IsEmpty() == (result == 1));
        FUZZ_CHECK(reader.GetStopLine() == 0 || reader.GetStopLine() == reader.getLineNo());
        if (result == 1)
            CheckVeskRoundTrip<AcceptAllRecords>(reader.read);
    }
    guard.Check();
    checkConversion(raw, data[1]);
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
