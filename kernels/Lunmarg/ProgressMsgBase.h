#pragma once

#include <cstdint>
#include <string>

// Kind of a long task; the values passed are 2 (matrix decomposition and
// inversion) and 3 (reading a grid parameter file).
enum PROGRESS_KIND : int {};

// Progress callback of long operations. A null pointer in place of one means
// no progress display.
class ProgressMsgBase {
  public:
    ProgressMsgBase();
    ProgressMsgBase(const ProgressMsgBase &) = default;
    ProgressMsgBase &operator=(const ProgressMsgBase &) = default;

    // A task of total steps begins.
    virtual void ProgressStart(PROGRESS_KIND kind, int total) const = 0;
    // A task with a caption begins.
    virtual void ProgressStart(const std::string &text, int total) const = 0;
    // done steps are finished; false means the user cancelled and the caller
    // must stop.
    virtual bool Progress(int done) const = 0;
    // The task ended, normally or not.
    virtual void ProgressEnd() const = 0;

    virtual ~ProgressMsgBase();

  protected:
    std::int32_t m_nValue;
    std::string m_strText;
};
