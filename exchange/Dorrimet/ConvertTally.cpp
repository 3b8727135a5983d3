#include "exchange/Dorrimet/ConvertTally.h"

void ConvertTally::KeptBack(int line) {
    if (m_keptBack++ == 0)
        m_firstKeptBack = line;
}

void ConvertTally::AddMessages(std::vector<CString> *messages, bool wentThrough) const {
    if (!messages)
        return;
    if (m_keptBack > 0) {
        CString text;
        text.Format(
            "座標変換できなかった点のデータ%d行は、変換せずに出力しました（最初は%d行目）。",
            m_keptBack, m_firstKeptBack);
        messages->push_back(text);
    }
    if (wentThrough && m_converted == 0)
        messages->emplace_back(NO_POINT);
}

CString ConvertTally::UndecodableLineMessage(int line, const CString &reason) {
    CString text;
    text.Format("%d行目：%s変換を中止しました。", line, reason.GetString());
    return text;
}
