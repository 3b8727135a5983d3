#pragma once

#include "platform/core/CException.h"
#include "platform/core/CString.h"

#include <vector>

// How a file conversion ended, as its closing messages tell it.
enum class ConvertEnd {
    Written,   // the output was put in place
    Cancelled, // the user cancelled; nothing was written
    Stopped,   // a stop or an error ended it; nothing was written
};

// What a file conversion did with the point records of its source: how many it wrote as points
// and how many it kept back (copied unconverted, as they stand or as comments), with the line of
// the first of those, and what it tells the caller at its end. Shared by the converters.
class ConvertTally {
  public:
    void Converted() { ++m_converted; }
    // A point record on the line, counted from 1, that was not converted.
    void KeptBack(int line);

    int GetConverted() const { return m_converted; }
    int GetKeptBack() const { return m_keptBack; }
    int GetFirstKeptBack() const { return m_firstKeptBack; }

    // Appends to messages (may be null) the closing messages of a conversion. Of an output put
    // in place: how many point records were kept back and the first of them, and that no point
    // was converted when none was. Of a cancelled or stopped one: that nothing was written.
    void AddMessages(std::vector<CString> *messages, ConvertEnd end) const;

    // The message of a conversion that ended at a line the reader could not read into cp932.
    static CString UndecodableLineMessage(int line, const CString &reason);
    // The message of an error (a file exception's text) that ended a conversion.
    static CString ErrorMessage(const CString &text);
    // Whether the error says that the output was put in place and only the disk did not confirm
    // it: the conversion is written, and the error's text is its warning.
    static bool WrittenUnconfirmed(const CException &error);

    // The message of a conversion that went through and converted no point.
    static constexpr char NO_POINT[] = "座標変換した点はありません。";
    // The closing messages of a conversion that wrote nothing.
    static constexpr char CANCELLED[] =
        "変換が中止されたため、変換先のファイルには何も書き出していません。";
    static constexpr char STOPPED[] =
        "変換が途中で終了したため、変換先のファイルには何も書き出していません。";

  private:
    int m_converted = 0;
    int m_keptBack = 0;
    int m_firstKeptBack = 0;
};
