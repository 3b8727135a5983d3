#pragma once

#include "pallomir/ui/JIProgMsgBase.h"

#include <string>
#include <vector>

// Records the progress calls it gets ("start 3", "percent 33", "progress 4", "end") and cancels
// where it is told to: at a percentage, at the n-th Progress call or at the n-th cancel check.
class RecordingProgress : public JIProgMsgBase {
  public:
    mutable std::vector<std::string> log;
    mutable int checks = 0;
    mutable int progressCalls = 0;
    int cancelAtPercent = 1000;
    int cancelAtProgress = 1 << 30;
    int cancelAtCheck = 1 << 30;
    // Leaves the Progress calls out of the log (there is one for each merge).
    bool logProgress = true;

    void ProgressStart(PROGRESS_KIND kind, int total) const override {
        log.push_back("start kind " + std::to_string(kind) + " " + std::to_string(total));
    }
    void ProgressStart(const std::string &, int total) const override { ProgressStart(total); }
    void ProgressStart(int total) const override {
        log.push_back("start " + std::to_string(total));
    }
    bool Progress(int done) const override {
        if (logProgress)
            log.push_back("progress " + std::to_string(done));
        return ++progressCalls < cancelAtProgress;
    }
    void ProgressEnd() const override { log.push_back("end"); }
    bool ProgressInit(JGD_PROGRESS_TYPE) const override { return true; }
    void SetProgressMsg(const CString &) const override {}
    bool ProgressPercent(int percent, int) const override {
        log.push_back("percent " + std::to_string(percent));
        return percent < cancelAtPercent;
    }
    void ProgressTerm() const override {}
    bool CheckCancel() const override { return ++checks >= cancelAtCheck; }
    bool IsCanceled() const override { return false; }
    void SetProgressKind(JGD_PROGRESS_KIND) const override {}
    JGD_PROGRESS_TYPE GetProgressTtype() const override { return JGD_PROGRESS_TYPE{1}; }
};
