// A reader of the survey exchange format that takes every record, for the
// targets of VeskBase and of the readers derived from it. Questions go through
// the prompt handler, which answers from the fuzz input and never blocks.
#pragma once

#include "exchange/Vesk/VeskBase.h"
#include "fuzz/ConvertFuzz.h"
#include "fuzz/FuzzSupport.h"
#include "platform/core/Prompt.h"

#include <cmath>
#include <vector>

// The answer to the next question, and the questions asked so far.
inline int g_answer = IDNO;
inline int g_questions = 0;

// Installs the prompt handler that answers g_answer to Yes/No questions.
inline void InstallFuzzPrompt() {
    SetPromptHandler([](const CString &, UINT type) {
        FUZZ_CHECK((type & MB_TYPEMASK) == MB_YESNO);
        ++g_questions;
        return g_answer;
    });
}

// Takes every record; counts what it is given and keeps the points. Its writers write the
// points of toWrite.
template <class Base> class AcceptAll : public Base {
  public:
    AcceptAll(bool acceptVersion, bool acceptCoordSys)
        : m_acceptVersion(acceptVersion), m_acceptCoordSys(acceptCoordSys) {}

    int points = 0;
    int pointSections = 0;
    int lots = 0;
    int routes = 0;
    std::vector<FuzzPoint> read;
    std::vector<FuzzPoint> toWrite;

  protected:
    int CheckCoordSysKind(int) override { return m_acceptCoordSys; }
    int ErrMsgOfVersion(int version) override {
        FUZZ_CHECK(version < 1 || version > 3);
        return m_acceptVersion;
    }
    int AskErrorExecute() override {
        const CString message = this->getReadErrorMessage();
        FUZZ_CHECK(!message.IsEmpty());
        return AfxMessageBox(message, MB_YESNO | MB_ICONQUESTION) == IDYES;
    }

    int AddPointStart() override {
        ++pointSections;
        return 1;
    }
    int AddPoint(int no, const CString &name, double x, double y, double h, int hUsed) override {
        FUZZ_CHECK(name.GetLength() <= 127);
        FUZZ_CHECK(std::isfinite(x) && std::isfinite(y) && std::isfinite(h));
        FUZZ_CHECK(hUsed == 0 || hUsed == 1);
        ++points;
        read.push_back({no, name, x, y, h, hUsed});
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
    int GetPoint(unsigned i, CString *name, double *x, double *y, double *h, int *hUsed) override {
        if (i >= toWrite.size())
            return 0;
        const FuzzPoint &p = toWrite[i];
        *name = p.name, *x = p.x, *y = p.y, *h = p.h, *hUsed = p.hUsed;
        return 1;
    }
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

// The record code of a line as the exchange readers and the converter take it: -1 when the
// line has no fields (over the line limit, holding a NUL) or its first field is too long for a
// code; 0 for an unknown code.
inline int VeskLineCode(std::string_view line) {
    if (line.size() > static_cast<std::size_t>(ReadTextFile::LINE_LIMIT) ||
        line.find('\0') != std::string_view::npos)
        return -1;
    DivisionString split(256, 2);
    const std::string text = std::string(line) + "\n";
    split.setString(text.c_str());
    char code[16];
    return split.readString(15, code) ? VeskBase::readChkKind(code) : -1;
}

// The points a read took, written and read again: the same points, numbered from 1, with the
// values as written. A write refuses, and says why, exactly when a value or a name does not fit. A
// written file that the readers cannot take as written (see ReadsBackAsWritten) is not read again.
template <class Reader> void CheckVeskRoundTrip(const std::vector<FuzzPoint> &points) {
    const FuzzFile &out = FuzzFile::Output();
    bool fits = true;
    for (const FuzzPoint &p : points)
        fits = fits && DivisionString::NumberFits(p.x, 6) && DivisionString::NumberFits(p.y, 6) &&
               (!p.hUsed || DivisionString::NumberFits(p.h, 6)) &&
               CsvPointNameFault(1, p.name).IsEmpty();
    Reader writer(true, true);
    writer.toWrite = points;
    const int written = writer.WritePoints(out.Path(), "", static_cast<unsigned>(points.size()));
    FUZZ_CHECK(written == (fits ? 1 : 0));
    FUZZ_CHECK(writer.GetStopReason().IsEmpty() == fits);
    if (!written || !ReadsBackAsWritten(out.Read()))
        return;
    Reader back(true, true);
    FUZZ_CHECK(back.Read(out.Path(), VeskBase::READ_POINTS, 2) == 1);
    FUZZ_CHECK(back.GetStopReason().IsEmpty());
    FUZZ_CHECK(back.read.size() == points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        const FuzzPoint &a = points[i];
        const FuzzPoint &b = back.read[i];
        FUZZ_CHECK(b.no == static_cast<int>(i + 1));
        FUZZ_CHECK(b.name == a.name);
        FUZZ_CHECK(b.x == Written(a.x, 6) && b.y == Written(a.y, 6));
        FUZZ_CHECK(b.hUsed == a.hUsed);
        FUZZ_CHECK(b.h == (a.hUsed ? Written(a.h, 6) : 0.0));
    }
}
