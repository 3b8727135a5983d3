#pragma once

#include "pallomir/ui/JIProgMsgBase.h"
#include "veltrane/database/Veltrane.h"

#include <string>
#include <vector>

namespace enginetest {

// Records the runs an engine reports and answers "cancel" to a chosen report (counting every
// Progress and ProgressPercent call from 1), or to the first report of a chosen kind.
class RecordingProgress : public JIProgMsgBase {
  public:
    explicit RecordingProgress(int cancelAtReport = 0, int cancelKind = -1)
        : m_cancelAt(cancelAtReport), m_cancelKind(cancelKind) {}

    mutable std::vector<int> kinds;  // every SetProgressKind, in order
    mutable std::vector<int> totals; // every ProgressStart
    mutable std::vector<int> percents;
    mutable int reports = 0;
    mutable int ends = 0;
    mutable bool open = false;

    void ProgressStart(PROGRESS_KIND, int total) const override { ProgressStart(total); }
    void ProgressStart(const std::string &, int total) const override { ProgressStart(total); }
    void ProgressStart(int total) const override {
        totals.push_back(total);
        open = true;
    }
    bool Progress(int) const override { return report(); }
    bool ProgressPercent(int percent, int) const override {
        percents.push_back(percent);
        return report();
    }
    void ProgressEnd() const override {
        ++ends;
        open = false;
    }
    bool ProgressInit(JGD_PROGRESS_TYPE) const override { return true; }
    void SetProgressMsg(const CString &) const override {}
    void ProgressTerm() const override {}
    bool CheckCancel() const override { return m_bCanceled; }
    bool IsCanceled() const override { return m_bCanceled; }
    void SetProgressKind(JGD_PROGRESS_KIND kind) const override {
        kinds.push_back(kind);
        m_kind = kind;
    }
    JGD_PROGRESS_TYPE GetProgressTtype() const override { return JGD_PROGRESS_TYPE{1}; }

  private:
    bool report() const {
        ++reports;
        if (reports == m_cancelAt || m_kind == m_cancelKind)
            m_bCanceled = true;
        return !m_bCanceled;
    }

    int m_cancelAt;
    int m_cancelKind;
    mutable int m_kind = -1;
};

// A mark known in both datums: Tokyo (x, y, h) and observed new (ox, oy, oh).
Point BasisPoint(unsigned id, const char *name, double x, double y, double ox, double oy,
                 double h = 0.0, double oh = 0.0);
// A mark known in the Tokyo datum only.
Point TargetPoint(unsigned id, const char *name, double x, double y, double h = 0.0);
// A check observation: Tokyo (x, y) and observed (ox, oy) as a check, not a basis.
Point CheckPoint(unsigned id, const char *name, double x, double y, double ox, double oy);

// The stored point of that name; fails the test when there is none.
Point *Stored(Veltrane &db, const char *name);

} // namespace enginetest
