// VeskBase::Read, the reader of the survey exchange format, with a derived
// class that takes every record.
//
// Input: a control byte, then the file. Bits 0-2 of the control byte are the
// read flags (points, lots, routes), bits 3-4 the splitter's blank mode; bit 5
// answers the question after the first bad record (through the prompt
// handler), bit 6 the question about an unknown version, bit 7 whether the
// file's coordinate system is accepted.
//
// A read that stops names a line of the file and a reason; the points of a read
// that went through, written and read again, are the same points.
#include "exchange/Vesk/VeskBase.h"
#include "fuzz/CsvScript.h"
#include "fuzz/VeskFuzzReader.h"

namespace {

using AcceptAllRecords = AcceptAll<VeskBase>;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    InstallFuzzPrompt();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size == 0)
        return 0;
    const int control = data[0];
    const int readFlags = control & 7;
    g_answer = (control & 0x20) ? IDYES : IDNO;
    g_questions = 0;
    const std::string_view raw(reinterpret_cast<const char *>(data) + 1, size - 1);
    const std::size_t lineCount = DecodedTextContent(raw).lines;

    FuzzFile &temp = FuzzFile::Instance();
    temp.Write(raw);
    FuzzFile::Output(); // made before the guard counts the descriptors
    const DescriptorGuard guard;
    {
        AcceptAllRecords reader((control & 0x40) != 0, (control & 0x80) != 0);
        const int result = reader.Read(temp.Path(), readFlags, (control >> 3) & 3);
        const int state = reader.getErrorState();
        FUZZ_CHECK(result == 0 || result == 1);
        // A read stops only for a reason it can name.
        FUZZ_CHECK(result == 1 || state != VeskBase::ERR_NONE);
        FUZZ_CHECK(reader.getReadErrorMessage().IsEmpty() ==
                   (state != VeskBase::ERR_CONTENT && state != VeskBase::ERR_REFUSED));
        FUZZ_CHECK(static_cast<std::size_t>(reader.getLineNo()) <= lineCount);
        if (result == 1)
            FUZZ_CHECK(static_cast<std::size_t>(reader.getLineNo()) == lineCount);
        // The user is asked once at most.
        FUZZ_CHECK(g_questions <= 1);
        FUZZ_CHECK(reader.points == 0 || (readFlags & VeskBase::READ_POINTS));
        FUZZ_CHECK(reader.lots == 0 || (readFlags & VeskBase::READ_LOTS));
        FUZZ_CHECK(reader.routes == 0 || (readFlags & VeskBase::READ_ROUTES));
        FUZZ_CHECK(reader.GetStopReason().IsEmpty() == (result == 1));
        FUZZ_CHECK(reader.GetStopLine() >= 0 &&
                   static_cast<std::size_t>(reader.GetStopLine()) <= lineCount);
        FUZZ_CHECK(reader.GetStopLine() == 0 || reader.GetStopLine() == reader.getLineNo());
        if (result == 1)
            CheckVeskRoundTrip<AcceptAllRecords>(reader.read);
    }
    guard.Check();
    return 0;
}
