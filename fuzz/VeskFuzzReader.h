// A reader of the survey exchange format that takes every record, for the
// targets of VeskBase and of the readers derived from it. Questions go through
// the prompt handler, which answers from the fuzz input and never blocks.
#pragma once

#include "fuzz/FuzzSupport.h"
#include "platform/core/Prompt.h"

#include <cmath>

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

// Takes every record; counts what it is given.
template <class Base> class AcceptAll : public Base {
  public:
    AcceptAll(bool acceptVersion, bool acceptCoordSys)
        : m_acceptVersion(acceptVersion), m_acceptCoordSys(acceptCoordSys) {}

    int points = 0;
    int pointSections = 0;
    int lots = 0;
    int routes = 0;

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
    int AddPoint(int, const CString &name, double x, double y, double h, int hUsed) override {
        FUZZ_CHECK(name.GetLength() <= 127);
        FUZZ_CHECK(std::isfinite(x) && std::isfinite(y) && std::isfinite(h));
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
