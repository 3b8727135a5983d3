#include "exchange/Pomtrek/FileStop.h"

CString FileStop::FieldReason(const char *what, FIELD_FAULT fault, unsigned max) {
    CString reason;
    switch (fault) {
    case FIELD_OK:
        break;
    case FIELD_MISSING:
        reason.Format("%sがありません。", what);
        break;
    case FIELD_EMPTY:
        reason.Format("%sが空です。", what);
        break;
    case FIELD_TOO_LONG:
        reason.Format("%sが%u文字を超えています。", what, max);
        break;
    case FIELD_NOT_NUMBER:
        reason.Format("%sが数値ではありません。", what);
        break;
    }
    return reason;
}

CString LineTooLongReason(int limit) {
    CString reason;
    reason.Format("行が長すぎます(%d文字まで)。", limit);
    return reason;
}

CString CsvNameFault(const CString &subject, const CString &name) {
    CString reason;
    if (name.Find(',') >= 0) {
        reason.Format("%sにカンマ(,)があるため、この形式では書き出せません。", subject.GetString());
    } else if (name.Bytes().find('\0') != std::string::npos) {
        // A line is formatted through C strings: the name would end at the NUL.
        reason.Format("%sにNUL文字があるため、この形式では書き出せません。", subject.GetString());
    } else if (!name.IsEmpty() &&
               (name[name.GetLength() - 1] == ' ' || name[name.GetLength() - 1] == '\t')) {
        // A trail byte is never a blank, so the last byte tells.
        reason.Format("%sの末尾に空白があるため、この形式では書き出せません。",
                      subject.GetString());
    }
    return reason;
}

CString CsvPointNameFault(unsigned pointNo, const CString &name) {
    CString subject;
    subject.Format("%u番目の点[%s]の点名", pointNo, name.GetString());
    return CsvNameFault(subject, name);
}
