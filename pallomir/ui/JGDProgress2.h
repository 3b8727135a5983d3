#pragma once

#include "pallomir/ui/JGDProgress.h"

// Progress of steps within elements (such as blocks), with the wait dialog JGDWaitDlg2: an
// element line and bar above the step bar.
class JGDProgress2 : public JGDProgressImpl<JIProgMsgBase2, JGDWaitDlg2> {
  public:
    JGDProgress2() = default;

    // Stores the element total and shows "0 of max".
    bool SetMaxElement(int max) const override;
    // Shows now of the element total and moves the element bar.
    bool SetNowElement(int now) const override;

  private:
    void ShowElementLine(int now, int percent) const;

    mutable std::int32_t m_nMaxElement = 0;
};
