#pragma once

#include "platform/core/CString.h"

#include <vector>

// What a file conversion did with the point records of its source: how many it wrote as points
// and how many it kept back (copied unconverted, as they stand or as comments), with the line of
// the first of those, and what it tells the caller about them. Shared by the converters.
class ConvertTally {
  public:
    void Converted() { ++m_converted; }
    // A point record on the line, counted from 1, that was not converted.
    void KeptBack(int line);

    int GetConverted() const { return m_converted; }
    int GetKeptBack() const { return m_keptBack; }
    int GetFirstKeptBack() const { return m_firstKeptBack; }

    // Appends to messages (may be null) how many point records were kept back and the first of
    // them, and, after a conversion that went through the whole source, that no point was
    // converted when none was.
    void AddMessages(std::vector<CString> *messages, bool wentThrough) const;

    // The message of a conversion that ended at a line the reader could not read into cp932.
    static CString UndecodableLineMessage(int line, const CString &reason);

    // The message of a conversion that went through and converted no point.
    static constexpr char NO_POINT[] = "座標変換した点はありません。";

  private:
    int m_converted = 0;
    int m_keptBack = 0;
    int m_firstKeptBack = 0;
};
