#pragma once

#include "pallomir/ui/JIProgMsgBase.h"

#include <functional>
#include <string>
#include <vector>

namespace testsupport {

// A progress display for the tests: it records what a long operation reports and answers
// "cancel" where it is told to.
//
// Reports (Progress and ProgressPercent calls) are counted from 1. The run is cancelled at the
// report numbered cancelAtReport, at the first report while the progress kind is cancelKind, at
// a percentage of cancelAtPercent or more, at the Progress call numbered cancelAtProgress, at a
// Progress call that onProgress answers false, or at the cancel check numbered cancelAtCheck;
// once cancelled it stays cancelled.
//
// Base is JIProgMsgBase (RecordingProgress) or JIProgMsgBase2 (RecordingProgress2).
template <typename Base> class RecordingProgressOf : public Base {
  public:
    explicit RecordingProgressOf(int cancelAtReport = 0, int cancelKind = -1)
        : cancelAtReport(cancelAtReport), cancelKind(cancelKind) {}

    int cancelAtReport;
    int cancelKind;
    int cancelAtPercent = 1 << 30;
    int cancelAtProgress = 1 << 30;
    int cancelAtCheck = 1 << 30;
    // Leaves the Progress calls out of the log.
    bool logProgress = true;
    // Puts the wait dialog's calls in the log too: "init 1", "kind 10", "term".
    bool logDialog = false;
    // Asked at every Progress call with its value (it may act on the caller too).
    std::function<bool(int)> onProgress;
    // Told the number of every report as it is made, to act while the operation runs.
    std::function<void(int)> onReport;

    // "start 3", "percent 33", "progress 4", "end", in order.
    mutable std::vector<std::string> log;
    mutable std::vector<int> kinds;  // every SetProgressKind
    mutable std::vector<int> totals; // every ProgressStart
    mutable std::vector<int> percents;
    mutable std::vector<int> steps; // every Progress value
    mutable int reports = 0;
    mutable int progressCalls = 0;
    mutable int checks = 0;
    mutable int inits = 0;
    mutable int terms = 0;
    mutable int ends = 0;
    mutable bool open = false;

    void ProgressStart(PROGRESS_KIND kind, int total) const override {
        log.push_back("start kind " + std::to_string(kind) + " " + std::to_string(total));
        start(total);
    }
    void ProgressStart(const std::string &, int total) const override { ProgressStart(total); }
    void ProgressStart(int total) const override {
        log.push_back("start " + std::to_string(total));
        start(total);
    }
    bool Progress(int done) const override {
        if (logProgress)
            log.push_back("progress " + std::to_string(done));
        steps.push_back(done);
        const bool refused = onProgress && !onProgress(done);
        if (++progressCalls >= cancelAtProgress || refused)
            m_canceled = true;
        return report();
    }
    bool ProgressPercent(int percent, int) const override {
        log.push_back("percent " + std::to_string(percent));
        percents.push_back(percent);
        if (percent >= cancelAtPercent)
            m_canceled = true;
        return report();
    }
    void ProgressEnd() const override {
        log.push_back("end");
        ++ends;
        open = false;
    }
    bool ProgressInit(JGD_PROGRESS_TYPE type) const override {
        if (logDialog)
            log.push_back("init " + std::to_string(type));
        ++inits;
        return true;
    }
    void SetProgressMsg(const CString &) const override {}
    void ProgressTerm() const override {
        if (logDialog)
            log.push_back("term");
        ++terms;
    }
    bool CheckCancel() const override {
        if (++checks >= cancelAtCheck)
            m_canceled = true;
        return m_canceled;
    }
    bool IsCanceled() const override { return m_canceled; }
    void SetProgressKind(JGD_PROGRESS_KIND kind) const override {
        if (logDialog)
            log.push_back("kind " + std::to_string(kind));
        kinds.push_back(kind);
        m_kind = kind;
    }
    JGD_PROGRESS_TYPE GetProgressTtype() const override { return JGD_PROGRESS_TYPE{1}; }

  private:
    void start(int total) const {
        totals.push_back(total);
        open = true;
    }
    bool report() const {
        ++reports;
        if (onReport)
            onReport(reports);
        if (reports == cancelAtReport || (cancelKind >= 0 && m_kind == cancelKind))
            m_canceled = true;
        return !m_canceled;
    }

    mutable int m_kind = -1;
    mutable bool m_canceled = false;
};

using RecordingProgress = RecordingProgressOf<JIProgMsgBase>;

// The same with the element counter: "elements 3" and "element 1" go into the log, and the
// number of reports at each element into reportsAtElement.
class RecordingProgress2 : public RecordingProgressOf<JIProgMsgBase2> {
  public:
    using RecordingProgressOf::RecordingProgressOf;

    mutable std::vector<int> reportsAtElement;

    bool SetMaxElement(int max) const override {
        log.push_back("elements " + std::to_string(max));
        return true;
    }
    bool SetNowElement(int now) const override {
        log.push_back("element " + std::to_string(now));
        reportsAtElement.push_back(reports);
        return true;
    }
};

} // namespace testsupport
