#include "exchange/Dorrimet/ConvertTally.h"

void ConvertTally::KeptBack(int line) {
    if (m_keptBack++ == 0)
        m_firstKeptBack = line;
}

void ConvertTally::AddMessages(std::vector<CString> *messages, ConvertEnd end) const {
    if (!messages)
        return;
    switch (end) {
    case ConvertEnd::Written:
        if (m_keptBack > 0) {
            CString text;
            text.Format(
                "座標変換できなかった点のデータ%d行は、変換せずに出力しました（最初は%d行目）。",
                m_keptBack, m_firstKeptBack);
            messages->push_back(text);
        }
        if (m_converted == 0)
            messages->emplace_back(NO_POINT);
        break;
    case ConvertEnd::Cancelled:
        messages->emplace_back(CANCELLED);
        break;
    case ConvertEnd::Stopped:
        messages->emplace_back(STOPPED);
        break;
    }
}

CString ConvertTally::UndecodableLineMessage(int line, const CString &reason) {
    CString text;
    text.Format("%d行目：%s変換を中止しました。", line, reason.GetString());
    return text;
}

CString ConvertTally::ErrorMessage(const CString &text) {
    CString message;
    message.Format("エラーが発生しました：%s", text.GetString());
    return message;
}

bool ConvertTally::WrittenUnconfirmed(const CException &error) {
    const auto *file = dynamic_cast<const CFileException *>(&error);
    return file != nullptr && file->m_bInPlace;
}
