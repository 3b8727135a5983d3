#pragma once

#include "exchange/Dorrimet/IPointRegister.h"
#include "fuzz/FuzzSupport.h"
#include "pallomir/ui/JIProgMsgBase.h"

#include <cmath>
#include <string>
#include <vector>

// A progress display that never blocks: it answers "cancel" from a chosen
// percentage on and checks that the percentages only grow, within 0 to 100.
class FuzzProgress : public JIProgMsgBase {
  public:
    // Percentage from which a report answers "cancel"; above 100 never.
    explicit FuzzProgress(int cancelAt) : m_cancelAt(cancelAt) {}

    bool cancelled = false;
    int starts = 0;
    int ends = 0;

    void ProgressStart(PROGRESS_KIND, int total) const override { start(total); }
    void ProgressStart(const std::string &, int total) const override { start(total); }
    void ProgressStart(int total) const override { start(total); }
    bool Progress(int done) const override { return percent(done); }
    void ProgressEnd() const override {
        FUZZ_CHECK(m_open);
        m_open = false;
        ++mutableThis().ends;
    }
    bool ProgressInit(JGD_PROGRESS_TYPE) const override { return true; }
    void SetProgressMsg(const CString &) const override {}
    bool ProgressPercent(int value, int) const override { return percent(value); }
    void ProgressTerm() const override {}
    bool CheckCancel() const override { return cancelled; }
    bool IsCanceled() const override { return cancelled; }
    void SetProgressKind(JGD_PROGRESS_KIND) const override {}
    JGD_PROGRESS_TYPE GetProgressTtype() const override { return JGD_PROGRESS_TYPE{1}; }

    // Every run that started has ended.
    void CheckClosed() const { FUZZ_CHECK(!m_open && starts == ends); }

  private:
    FuzzProgress &mutableThis() const { return const_cast<FuzzProgress &>(*this); }
    void start(int total) const {
        FUZZ_CHECK(total >= 1);
        FUZZ_CHECK(!m_open);
        m_open = true;
        m_last = -1;
        ++mutableThis().starts;
    }
    bool percent(int value) const {
        FUZZ_CHECK(m_open);
        FUZZ_CHECK(value >= 0 && value <= 100);
        FUZZ_CHECK(value >= m_last);
        m_last = value;
        if (value >= m_cancelAt)
            mutableThis().cancelled = true;
        return !cancelled;
    }

    int m_cancelAt;
    mutable bool m_open = false;
    mutable int m_last = -1;
};

// The percentage a control value of 0 to 3 cancels at: never, at the first
// report, half-way, at the end.
inline int CancelPercent(int control) {
    static constexpr int percents[] = {1000, 0, 50, 100};
    return percents[control & 3];
}

// Takes every point, or refuses the one a test chooses; checks what it is
// given and that nothing comes after the end.
class FuzzRegister : public IPointRegister {
  public:
    // refuseAt: the number of the point refused (counting from 1), 0 for none.
    FuzzRegister(int refuseAt, bool endAnswer) : m_refuseAt(refuseAt), m_endAnswer(endAnswer) {}

    int points = 0;
    int endCalls = 0;
    bool refused = false;
    int lastNo = 0;
    std::vector<FuzzPoint> taken;

    bool RegisterPoint(int no, const CString &name, double x, double y, double h,
                       int hUsed) override {
        FUZZ_CHECK(endCalls == 0);
        FUZZ_CHECK(!refused);
        FUZZ_CHECK(std::isfinite(x) && std::isfinite(y) && std::isfinite(h));
        FUZZ_CHECK(hUsed == 0 || hUsed == 1);
        FUZZ_CHECK(hUsed == 1 || h == 0.0);
        FUZZ_CHECK(name.GetLength() >= 0);
        lastNo = no;
        ++points;
        taken.push_back({no, name, x, y, h, hUsed});
        if (points == m_refuseAt)
            refused = true;
        return !refused;
    }
    bool RegisterPoint(int, const CString &, double, double, double, int, double, double, int,
                       double, int, int) override {
        FuzzFail(__FILE__, __LINE__, "the fuller point form is never called");
    }
    bool EndRegister() override {
        FUZZ_CHECK(!refused);
        ++endCalls;
        return m_endAnswer;
    }

    // What a read that answered `result` must have done.
    void CheckOutcome(bool result) const {
        FUZZ_CHECK(endCalls <= 1);
        if (result)
            FUZZ_CHECK(endCalls == 1 && m_endAnswer && !refused);
        if (refused)
            FUZZ_CHECK(!result);
    }

  private:
    int m_refuseAt;
    bool m_endAnswer;
};
