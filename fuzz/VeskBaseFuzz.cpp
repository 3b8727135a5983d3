// VeskBase::Read, the reader of the survey exchange format, with a derived
// class that takes every record.
//
// Input: a control byte, then the file. Bits 0-2 of the control byte are the
// read flags (points, lots, routes), bits 3-4 the splitter's blank mode; bit 5
// answers the question after the first bad record (through the prompt
// handler), bit 6 the question about an unknown version, bit 7 whether the
// file's coordinate system is accepted.
#include "exchange/Vesk/VeskBase.h"
#include "fuzz/CsvScript.h"
#include "fuzz/FuzzSupport.h"
#include "platform/core/Prompt.h"

namespace {

int g_answer = IDNO;
int g_questions = 0;

// Takes every record; counts what it is given.
class AcceptAll : public VeskBase {
  public:
    AcceptAll(bool acceptVersion, bool acceptCoordSys)
        : m_acceptVersion(acceptVersion), m_acceptCoordSys(acceptCoordSys) {}

    int points = 0;
    int lots = 0;
    int routes = 0;

  protected:
    int CheckCoordSysKind(int) override { return m_acceptCoordSys; }
    int ErrMsgOfVersion(int version) override {
        FUZZ_CHECK(version < 1 || version > 3);
        return m_acceptVersion;
    }
    int AskErrorExecute() override {
        const CString message = getReadErrorMessage();
        FUZZ_CHECK(!message.IsEmpty());
        return AfxMessageBox(message, MB_YESNO | MB_ICONQUESTION) == IDYES;
    }

    int AddPointStart() override { return 1; }
    int AddPoint(int, const CString &name, double, double, double, int hUsed) override {
        FUZZ_CHECK(name.GetLength() <= 127);
        FUZZ_CHECK(hUsed == 0 || hUsed == 1);
        ++points;
        return 1;
    }
    int AddPointEnd() override { return 1; }
    int AddPointOfLot(int, const CString &name) override { return text(name); }
    int AddRadiusOfLot(RADIUS_KIND, double) override { return 1; }
    int AddLotStart(int, const CString &name, LOT_KIND) override {
        ++lots;
        return text(name);
    }
    int AddLotEnd() override { return 1; }
    int AddRouteStart(int, int, const CString &name, ROUTE_KIND) override {
        ++routes;
        return text(name);
    }
    int AddPointOfRoute(int, const CString &name) override { return text(name); }
    int AddDistOfRoute(double) override { return 1; }
    int AddRadiusOfRoute(RADIUS_KIND, double) override { return 1; }
    int AddClosoidOfRoute(double, double, double) override { return 1; }
    int AddLineAttrOfRoute(double, double, int mask) override {
        FUZZ_CHECK(mask > 0 && mask < 4);
        return 1;
    }
    int AddLineDistOfRoute(double) override { return 1; }
    int AddTriangleOfLot(int, int, int) override { return 1; }
    int AddTriAttrOfLot(double, double, double, double, double, int mask) override {
        FUZZ_CHECK(mask >= 0 && mask < 32);
        return 1;
    }
    int AddRouteEnd() override { return 1; }
    int AddSiteName(const CString &name) override { return text(name); }
    int GetPoint(unsigned, CString *, double *, double *, double *, int *) override { return 0; }
    int GetLotName(unsigned, unsigned *, CString *, int *) override { return 0; }
    int GetLotPoint(unsigned, unsigned, unsigned *, CString *) override { return 0; }

  private:
    static int text(const CString &name) {
        FUZZ_CHECK(name.GetLength() <= 127);
        return 1;
    }

    bool m_acceptVersion;
    bool m_acceptCoordSys;
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    SetPromptHandler([](const CString &, UINT type) {
        FUZZ_CHECK((type & MB_TYPEMASK) == MB_YESNO);
        ++g_questions;
        return g_answer;
    });
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
    const std::size_t lineCount = SplitLines(TextModeContent(raw)).size();

    FuzzFile &temp = FuzzFile::Instance();
    temp.Write(raw);
    const DescriptorGuard guard;
    {
        AcceptAll reader((control & 0x40) != 0, (control & 0x80) != 0);
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
    }
    guard.Check();
    return 0;
}
