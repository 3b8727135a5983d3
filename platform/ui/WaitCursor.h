#pragma once

// Shows the wait cursor over the whole application while it lives; nested ones stack. Does
// nothing without a QApplication.
class CWaitCursor {
  public:
    CWaitCursor();
    ~CWaitCursor();
    CWaitCursor(const CWaitCursor &) = delete;
    CWaitCursor &operator=(const CWaitCursor &) = delete;

    // Ends the wait cursor early; the destructor then does nothing.
    void Restore();

  private:
    bool m_active;
};
