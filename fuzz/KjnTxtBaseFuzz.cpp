// KjnTxtBase::Read and JudgeFormat, the reference-point result text.
//
// Input: a control byte, then the file. Bits 0-1 of the control byte are the
// splitter's blank mode, bit 2 gives the read a progress display, bits 3-4 the
// percentage it cancels at (never, first report, half-way, end), bits 5-6 the
// point the register refuses (none, first, second, third), bit 7 what the
// register's EndRegister answers.
//
// The read takes every plane zone but 13, as a project of another zone does: a
// zone 13 on the Z02 line or a point line stops it before the end step.
//
// A read that stops names a line and a reason; the points of a read that went
// through, written and read again, are the same points. The file is also
// converted, with the transformer of bits 5-6 (see FuzzTransformer), the mode
// of bits 3-4 (3 is 2) and bit 7 as the option: no source line is lost, and a
// conversion that went through reads back with every point.
#include "exchange/Dorrimet/KjnTxtBase.h"
#include "fuzz/ConvertFuzz.h"
#include "fuzz/CsvScript.h"
#include "fuzz/PointFuzz.h"

namespace {

class Kjn : public KjnTxtBase {
  protected:
    bool GetConvertComments(std::vector<CString> *, ConvertMode, int, const ConvData &) override {
        return false;
    }
};

class ZoneKjn : public Kjn {
  public:
    bool refused = false;

  protected:
    bool CheckPlaneZone(int zone, CString *reason) override {
        if (zone != 13)
            return true;
        FUZZ_CHECK(!refused);
        refused = true;
        *reason = "zone 13";
        return false;
    }
};

void checkRoundTrip(const std::vector<FuzzPoint> &points) {
    const FuzzFile &out = FuzzFile::Output();
    bool fits = true;
    for (const FuzzPoint &p : points)
        fits = fits && DivisionString::NumberFits(p.x, 3) && DivisionString::NumberFits(p.y, 3) &&
               (!p.hUsed || DivisionString::NumberFits(p.h, 3)) &&
               CsvPointNameFault(1, p.name).IsEmpty();
    FuzzSupplier supplier(points);
    Kjn writer;
    FUZZ_CHECK(writer.WritePoints(&supplier, out.Path()) == fits);
    FUZZ_CHECK(writer.GetStopReason().IsEmpty() == fits);
    if (!fits || !ReadsBackAsWritten(out.Read()))
        return;
    Kjn kjn;
    FuzzRegister reg(0, true);
    FUZZ_CHECK(kjn.Read(&reg, out.Path(), nullptr, 2));
    FUZZ_CHECK(reg.taken.size() == points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        const FuzzPoint &a = points[i];
        const FuzzPoint &b = reg.taken[i];
        FUZZ_CHECK(b.no == static_cast<int>(i + 1));
        FUZZ_CHECK(b.name == a.name);
        FUZZ_CHECK(b.x == Written(a.x, 3) && b.y == Written(a.y, 3));
        FUZZ_CHECK(b.hUsed == a.hUsed && b.h == (a.hUsed ? Written(a.h, 3) : 0.0));
    }
}

// The kind of a line as the reader and the converter take it; -1 when its code cannot be read.
int lineKind(const std::string &line) {
    if (line.size() > static_cast<std::size_t>(ReadTextFile::LINE_LIMIT) ||
        line.find('\0') != std::string::npos)
        return KjnTxtBase::readChkKind(line.c_str());
    DivisionString split(256, 2);
    const std::string text = line + "\n";
    split.setString(text.c_str());
    char code[16];
    return split.readString(15, code) ? KjnTxtBase::readChkKind(code) : -1;
}

void checkConversion(std::string_view raw, int control) {
    const FuzzFile &out = FuzzFile::Output();
    const FuzzTransformer transformer(control >> 5);
    const int modeBits = (control >> 3) & 3;
    const ConvertMode mode = static_cast<ConvertMode>(modeBits == 3 ? 2 : modeBits);
    Kjn converter;
    std::vector<CString> messages;
    const bool result = converter.Convert(FuzzFile::Instance().Path(), out.Path(), "", mode,
                                          &transformer, &messages, nullptr, control >> 7);
    FUZZ_CHECK(converter.GetStopReason().IsEmpty() == result);
    CheckConvertMessages(result, messages);

    LineMatcher output(OutputLines(out.Read()));
    bool inPoints = false;
    std::size_t points = 0;
    const DecodedText text = DecodedTextContent(raw, true);
    if (text.stopLine > 0)
        FUZZ_CHECK(!result && converter.GetStopLine() == text.stopLine);
    for (std::string_view view : SplitLines(text.content)) {
        const std::string line(view);
        const std::string comment = "Z00," + line;
        const int kind = lineKind(line);
        bool found;
        if (kind == KJNTXT_Z02) {
            found = output.Next(
                [&](const std::string &o) { return o == line || o.compare(0, 4, "Z02,") == 0; });
        } else if (kind == KJNTXT_A01 && inPoints) {
            ++points;
            found = output.Next(
                [&](const std::string &o) { return o == comment || o.compare(0, 4, "A01,") == 0; });
        } else if (kind == KJNTXT_A01) {
            // Outside the point section a point line is never left as one.
            found = output.Next([&](const std::string &o) { return o == comment; });
        } else {
            found = output.Next([&](const std::string &o) { return o == line; });
        }
        FUZZ_CHECK(found);
        if (kind == KJNTXT_A00)
            inPoints = true;
        else if (kind == KJNTXT_A99)
            inPoints = false;
    }
    if (!result || !ReadsBackAsWritten(out.Read()))
        return;
    Kjn kjn;
    FuzzRegister reg(0, true);
    FUZZ_CHECK(kjn.Read(&reg, out.Path(), nullptr, 2));
    FUZZ_CHECK(reg.taken.size() == points);
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
        ZoneKjn kjn;
        FuzzRegister reg((control >> 5) & 3, (control & 0x80) != 0);
        FuzzProgress progress(CancelPercent(control >> 3));
        const bool result =
            kjn.Read(&reg, temp.Path(), (control & 4) ? &progress : nullptr, control & 3);
        reg.CheckOutcome(result);
        progress.CheckClosed();
        FUZZ_CHECK(!(result && progress.cancelled));
        FUZZ_CHECK(kjn.GetStopReason().IsEmpty() == result);
        if (kjn.refused)
            FUZZ_CHECK(!result && reg.endCalls == 0 && kjn.GetStopReason() == "zone 13" &&
                       kjn.GetStopLine() > 0);
        if (result)
            checkRoundTrip(reg.taken);
    }
    guard.Check();
    checkConversion(raw, control);
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
