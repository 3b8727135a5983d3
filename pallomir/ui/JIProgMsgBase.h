#pragma once

// Progress interfaces that the libraries take by pointer. Free of Qt: the wait dialogs that
// implement them live in Pallomir.

#include "kernels/Lunmarg/ProgressMsgBase.h"
#include "platform/core/CString.h"

#include <cstdint>

// Selects the message text and the counter format of a progress display, 0 to 12
// (10: coordinate-file import, 1: coordinate conversion).
enum JGD_PROGRESS_KIND : int {};

// 1: the wait dialog with a percent bar and a Cancel button; any other value: the message-only
// wait dialog.
enum JGD_PROGRESS_TYPE : int {};

// Progress of a long operation with a wait dialog the user can cancel.
class JIProgMsgBase : public ProgressMsgBase {
  public:
    using ProgressMsgBase::ProgressStart;

    ~JIProgMsgBase() override = default;

    // Shows the wait dialog of that type; false when no dialog could be made.
    virtual bool ProgressInit(JGD_PROGRESS_TYPE type) const = 0;
    // A run of total steps begins (at least 1).
    virtual void ProgressStart(int total) const = 0;
    virtual void SetProgressMsg(const CString &text) const = 0;
    // Like Progress with the percentage given; false means cancelled.
    virtual bool ProgressPercent(int percent, int done) const = 0;
    // Closes the wait dialog.
    virtual void ProgressTerm() const = 0;
    // Handles pending events and answers whether the user cancelled.
    virtual bool CheckCancel() const = 0;
    // Whether a cancel was found, without handling events.
    virtual bool IsCanceled() const = 0;
    // The kind used from the next ProgressStart on.
    virtual void SetProgressKind(JGD_PROGRESS_KIND kind) const = 0;
    virtual JGD_PROGRESS_TYPE GetProgressTtype() const = 0;

    // The counters, for callers that read them.
    int GetTotal() const { return m_nTotal; }
    int GetCurrent() const { return m_nCurrent; }
    int GetCancelCheckStep() const { return m_nCancelCheckStep; }
    int GetStepCounter() const { return m_nStepCounter; }
    void SetCancelCheckStep(int step) { m_nCancelCheckStep = step; }

  protected:
    JIProgMsgBase() = default;
    JIProgMsgBase(const JIProgMsgBase &) = default;
    JIProgMsgBase &operator=(const JIProgMsgBase &) = default;

    // Set by ProgressStart to max(n, 1), by ProgressEnd to 0.
    mutable std::int32_t m_nTotal = 0;
    // Reset by ProgressStart.
    mutable std::int32_t m_nCurrent = 0;
    std::int32_t m_nCancelCheckStep = 1000;
    // Reset by ProgressStart and by every Progress and ProgressPercent.
    mutable std::int32_t m_nStepCounter = 0;
    // Set once a progress call found the continue flag cleared; reset by ProgressInit and
    // ProgressStart.
    mutable bool m_bCanceled = false;
};

// Progress with a second counter above the steps: elements (such as blocks) done of a total.
class JIProgMsgBase2 : public JIProgMsgBase {
  public:
    ~JIProgMsgBase2() override = default;

    virtual bool SetMaxElement(int max) const = 0;
    virtual bool SetNowElement(int now) const = 0;

  protected:
    JIProgMsgBase2() = default;
    JIProgMsgBase2(const JIProgMsgBase2 &) = default;
    JIProgMsgBase2 &operator=(const JIProgMsgBase2 &) = default;
};
