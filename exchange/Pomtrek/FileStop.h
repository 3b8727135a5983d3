#pragma once

#include "platform/core/CString.h"

// How one field of a record failed to read.
enum FIELD_FAULT {
    FIELD_OK = 0,
    FIELD_MISSING = 1,    // the line has no further field
    FIELD_EMPTY = 2,      // the field is empty or blank
    FIELD_TOO_LONG = 3,   // more characters than the field may hold
    FIELD_NOT_NUMBER = 4, // not wholly a number of the asked kind
};

// Where and why a file reader stopped: the line of the file, counted from 1, and a short
// reason in cp932 Japanese for the user. Every reader, writer and converter of the survey
// files has this one pair. A read that answers false always leaves a reason (a caller that
// gives no register or supplier excepted); the line is 0 when no line of the file is to blame
// (the file could not be opened, the register refused the points as a whole, a writer met a
// point the format cannot hold). Each read, write or conversion clears it when it starts. The line
// readers name their current line while it cannot be split (over the line limit, or holding
// a NUL). A read that goes on past records it cannot take also counts them, with the line of
// the first.
class FileStop {
  public:
    int GetStopLine() const { return m_stopLine; }
    const CString &GetStopReason() const { return m_stopReason; }
    // The records the last read passed over, and the line of the first (0 when none was).
    int GetPassedOverCount() const { return m_passedOver; }
    int GetFirstPassedOverLine() const { return m_firstPassedOver; }

    // The reason for a field of a record: what names the field ("X座標").
    static CString FieldReason(const char *what, FIELD_FAULT fault, unsigned max);

  protected:
    void SetStop(int line, const CString &reason) {
        m_stopLine = line;
        m_stopReason = reason;
    }
    void ClearStop() {
        m_stopLine = 0;
        m_stopReason.Empty();
        m_passedOver = 0;
        m_firstPassedOver = 0;
    }
    void NotePassedOver(int line) {
        if (m_passedOver++ == 0)
            m_firstPassedOver = line;
    }

  private:
    int m_stopLine = 0;
    CString m_stopReason;
    int m_passedOver = 0;
    int m_firstPassedOver = 0;
};

// Reasons shared by the readers.
inline constexpr char kStopOpen[] = "ファイルを開けません。";
inline constexpr char kStopCancel[] = "ユーザーにより中止されました。";
inline constexpr char kStopNul[] = "行にNUL文字が含まれています。";
inline constexpr char kStopRefused[] = "点の登録ができません。";
inline constexpr char kStopEndRegister[] = "点の登録を完了できません。";
// "行が長すぎます(%d文字まで)。" with the line limit.
CString LineTooLongReason(int limit);
// Why a writer of comma-separated lines cannot write name as a field that a read gives back: a
// comma would shift every field after it, a NUL would end the line's text there, and the line
// readers trim blanks and tabs at a field's end (a leading blank reads back). Empty when it can.
// subject names the name in the reason ("3番目の点[P1 ]の点名").
CString CsvNameFault(const CString &subject, const CString &name);
// The same for the name of the point numbered pointNo (from 1).
CString CsvPointNameFault(unsigned pointNo, const CString &name);
