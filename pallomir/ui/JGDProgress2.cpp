#include "pallomir/ui/JGDProgress2.h"

#include "pallomir/ui/JGDWaitDlg.h"

bool JGDProgress2::SetMaxElement(int max) const {
    m_nMaxElement = max;
    ShowElementLine(0, 0);
    return true;
}

bool JGDProgress2::SetNowElement(int now) const {
    const int percent = PercentOf(now, m_nMaxElement);
    if (JGDWaitDlg2 *dialog = WaitDialog()) {
        dialog->SetElmPercentComplete(percent);
    }
    ShowElementLine(now, percent);
    return true;
}

void JGDProgress2::ShowElementLine(int now, int percent) const {
    CString line;
    line.Format("処理が完了した数：%d 中 %d (%3d%%)", m_nMaxElement, now, percent);
    if (JGDWaitDlg2 *dialog = WaitDialog()) {
        dialog->SetElmMessageText(line);
    } else {
        ShowSimpleMessage(line);
    }
}
