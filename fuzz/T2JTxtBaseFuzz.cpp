// T2JTxtBase's point read and JudgeFormat, and ReadT2JTxtFile under them, the
// grid-conversion text.
//
// Input: a control byte, then the file. Bit 0 of the control byte makes the
// line reader's numbers strict, bit 2 gives the read a progress display, bits 3-4 the percentage it
// cancels at (never, first report, half-way, end), bits 5-6 the point the register refuses (none,
// first, second, third), bit 7 what the register's EndRegister answers.
//
// A read that stops names a line and a reason; the points of a read that went
// through, written and read again, are the same points. The file is also
// converted, with the transformer of bits 5-6 (see FuzzTransformer) and the
// mode of bits 3-4 (3 is 2): every source line gives one line, comments as
// they were, and a conversion that went through reads back with every point.
#include "exchange/Dorrimet/T2JTxtBase.h"
#include "fuzz/ConvertFuzz.h"
#include "fuzz/CsvScript.h"
#include "fuzz/PointFuzz.h"

#include <algorithm>

namespace {

class T2J : public T2JTxtBase {
  public:
    using T2JTxtBase::m_pRegister;
    using T2JTxtBase::m_pSupplier;
    using T2JTxtBase::readPoints;
    using T2JTxtBase::writePoints;

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

// Two numbers separated by spaces at the head of a line the reader takes whole.
bool isPointLine(std::string_view line) {
    if (line.size() > static_cast<std::size_t>(ReadT2JTxtFile::LINE_LIMIT) ||
        line.find('\0') != std::string_view::npos)
        return false;
    for (int i = 0; i < 2; ++i) {
        line.remove_prefix(std::min(line.find_first_not_of(' '), line.size()));
        const std::size_t end = std::min(line.find(' '), line.size());
        double value = 0.0;
        if (end == 0 || !ParseDouble(line.substr(0, end), value) || !std::isfinite(value))
            return false;
        line.remove_prefix(end);
    }
    return true;
}

// Reads a file into a register that takes every point; the read's answer.
bool readAll(const CString &path, NumberedRegister &reg) {
    T2J t2j;
    t2j.m_pRegister = &reg;
    const bool result = t2j.readPoints(path, nullptr);
    FUZZ_CHECK(t2j.GetStopReason().IsEmpty() == result);
    return result;
}

void checkRoundTrip(const std::vector<FuzzPoint> &points) {
    const FuzzFile &out = FuzzFile::Output();
    bool fits = true;
    for (const FuzzPoint &p : points) {
        CString line;
        line.Format("%12.4f %12.4f %s", p.x, p.y, p.name.GetString());
        // A read trims the name: only a leading "#" keeps it from being written.
        fits = fits && line.GetLength() <= ReadT2JTxtFile::LINE_LIMIT &&
               (p.name.IsEmpty() || p.name[0] != '#');
    }
    FuzzSupplier supplier(points);
    T2J writer;
    writer.m_pSupplier = &supplier;
    FUZZ_CHECK(writer.writePoints(out.Path()) == fits);
    FUZZ_CHECK(writer.GetStopReason().IsEmpty() == fits);
    if (!fits || !ReadsBackAsWritten(out.Read()))
        return;
    NumberedRegister reg(0, true);
    FUZZ_CHECK(readAll(out.Path(), reg));
    FUZZ_CHECK(reg.taken.size() == points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        const FuzzPoint &a = points[i];
        const FuzzPoint &b = reg.taken[i];
        FUZZ_CHECK(b.name == a.name);
        FUZZ_CHECK(b.x == Written(a.x, 4) && b.y == Written(a.y, 4));
    }
}

void checkConversion(std::string_view raw, int control) {
    const FuzzFile &out = FuzzFile::Output();
    const FuzzTransformer transformer(control >> 5);
    const int modeBits = (control >> 3) & 3;
    const ConvertMode mode = static_cast<ConvertMode>(modeBits == 3 ? 2 : modeBits);
    T2J converter;
    std::vector<CString> messages;
    const bool result = converter.Convert(FuzzFile::Instance().Path(), out.Path(), mode, 0,
                                          &transformer, CrdCnvTKY2JGD, &messages, nullptr);
    FUZZ_CHECK(converter.GetStopReason().IsEmpty() == result);
    CheckConvertMessages(result, messages);

    const DecodedText text = DecodedTextContent(raw, true);
    if (text.stopLine > 0)
        FUZZ_CHECK(!result && converter.GetStopLine() == text.stopLine);
    const std::vector<std::string_view> lines = SplitLines(text.content);
    const std::vector<std::string> written = OutputLines(out.Read());
    FUZZ_CHECK(written.size() == lines.size());
    std::size_t points = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string line(lines[i]);
        const bool comment =
            !line.empty() && line[0] == '#' && line.find('\0') == std::string::npos;
        if (comment) {
            FUZZ_CHECK(written[i] == line);
        } else {
            ++points;
            // A bad line copied, a point that could not be converted kept as a comment, or a
            // converted point.
            FUZZ_CHECK(written[i] == line || written[i] == "# " + line || isPointLine(written[i]));
        }
    }
    if (!result || !ReadsBackAsWritten(out.Read()))
        return;
    NumberedRegister reg(0, true);
    FUZZ_CHECK(readAll(out.Path(), reg));
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
        T2J t2j;
        NumberedRegister reg((control >> 5) & 3, (control & 0x80) != 0);
        FuzzProgress progress(CancelPercent(control >> 3));
        t2j.m_pRegister = &reg;
        const bool result = t2j.readPoints(temp.Path(), (control & 4) ? &progress : nullptr);
        reg.CheckOutcome(result);
        progress.CheckClosed();
        FUZZ_CHECK(!(result && progress.cancelled));
        FUZZ_CHECK(t2j.GetStopReason().IsEmpty() == result);
        if (result)
            checkRoundTrip(reg.taken);
    }
    guard.Check();
    checkConversion(raw, control);
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
