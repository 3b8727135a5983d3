// Built without Qt: the libraries take the progress interfaces by pointer.
#include "pallomir/ui/JIProgMsgBase.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#ifdef QT_VERSION
#error "the progress interfaces must not bring in Qt"
#endif

namespace {

// Records the calls a library makes; cancels at a chosen step.
class ScriptedProgress : public JIProgMsgBase2 {
  public:
    ScriptedProgress(std::vector<std::string> *log, int cancelAt)
        : m_log(log), m_cancelAt(cancelAt) {}
    ~ScriptedProgress() override { m_log->push_back("destroyed"); }

    void ProgressStart(PROGRESS_KIND kind, int total) const override {
        m_log->push_back("start kind " + std::to_string(kind));
        ProgressStart(total);
    }
    void ProgressStart(const std::string &text, int total) const override {
        m_log->push_back("start " + text);
        ProgressStart(total);
    }
    void ProgressStart(int total) const override { m_nTotal = total > 0 ? total : 1; }
    bool Progress(int done) const override {
        ++m_nStepCounter;
        m_bCanceled = done >= m_cancelAt;
        return !m_bCanceled;
    }
    void ProgressEnd() const override { m_nTotal = 0; }
    bool ProgressInit(JGD_PROGRESS_TYPE) const override { return true; }
    void SetProgressMsg(const CString &) const override {}
    bool ProgressPercent(int, int done) const override { return Progress(done); }
    void ProgressTerm() const override {}
    bool CheckCancel() const override { return m_bCanceled; }
    bool IsCanceled() const override { return m_bCanceled; }
    void SetProgressKind(JGD_PROGRESS_KIND kind) const override {
        m_log->push_back("kind " + std::to_string(kind));
    }
    JGD_PROGRESS_TYPE GetProgressTtype() const override { return JGD_PROGRESS_TYPE{1}; }
    bool SetMaxElement(int max) const override {
        m_log->push_back("max " + std::to_string(max));
        return true;
    }
    bool SetNowElement(int now) const override {
        m_log->push_back("now " + std::to_string(now));
        return true;
    }

  private:
    std::vector<std::string> *m_log;
    int m_cancelAt;
};

// A long task as a kernel writes it: only the root interface is known.
int RunSteps(const ProgressMsgBase *progress, int steps) {
    progress->ProgressStart(PROGRESS_KIND{2}, steps);
    int done = 0;
    while (done < steps && progress->Progress(done + 1)) {
        ++done;
    }
    progress->ProgressEnd();
    return done;
}

} // namespace

TEST(JIProgMsgBaseTest, LibrariesDriveItThroughTheInterfaces) {
    std::vector<std::string> log;
    std::unique_ptr<ProgressMsgBase> owner = std::make_unique<ScriptedProgress>(&log, 30);
    const auto *progress = static_cast<const JIProgMsgBase2 *>(owner.get());

    EXPECT_EQ(progress->GetTotal(), 0);
    EXPECT_EQ(progress->GetCurrent(), 0);
    EXPECT_EQ(progress->GetCancelCheckStep(), 1000);
    EXPECT_EQ(progress->GetStepCounter(), 0);

    progress->SetProgressKind(JGD_PROGRESS_KIND{10});
    EXPECT_TRUE(progress->SetMaxElement(3));
    EXPECT_TRUE(progress->SetNowElement(1));
    EXPECT_EQ(RunSteps(progress, 100), 29);
    EXPECT_TRUE(progress->IsCanceled());
    EXPECT_EQ(progress->GetStepCounter(), 30);
    EXPECT_EQ(progress->GetTotal(), 0);

    // All three starts are reachable through the derived interface.
    progress->ProgressStart(std::string("read"), 5);
    EXPECT_EQ(progress->GetTotal(), 5);
    progress->ProgressStart(-1);
    EXPECT_EQ(progress->GetTotal(), 1);

    // Deleting through the root interface runs the whole destructor.
    owner.reset();
    const std::vector<std::string> expected = {"kind 10",      "max 3",      "now 1",
                                               "start kind 2", "start read", "destroyed"};
    EXPECT_EQ(log, expected);
}
