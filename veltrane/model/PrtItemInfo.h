#pragma once

#include "platform/core/CString.h"

class CArchive;

// The items of a printed result: eleven texts, twelve numbers and six
// switches of the print layout. Kept in the project database and in a file of
// its own, so that a layout can be taken to another project.
//
// Record (the same in both places): texts T1 .. T11 with the archive's string
// form, then as int32 (switches 0 or 1, any non-zero reads as true) N5, N9,
// N1, N2, N3, N4, S1, N6, N7, N8, N10, S5, S2, S3, S4, S6, N11, N12.
//
// File: "KARNOLIT PrtItemInfo" zero-padded to 64 bytes, the version as
// uint32 (written 102), the record.
class PrtItemInfo {
  public:
    PrtItemInfo() { Clear(); }
    virtual ~PrtItemInfo() = default;
    PrtItemInfo(const PrtItemInfo &) = default;
    PrtItemInfo &operator=(const PrtItemInfo &) = default;

    // Empty texts; N1 .. N12 = 3, 3, 3, 4, 0, 3, 4, 3, 0, 3, 3, 6;
    // S1 .. S6 = off, off, off, on, on, off.
    void Clear();

    // Write on a loading archive raises CArchiveException readOnly, Read on a
    // storing one writeOnly, Read past the end endOfFile; a record cut short
    // leaves the items as they were. Both answer true.
    bool Write(CArchive &ar) const;
    bool Read(CArchive &ar, unsigned long version);

    // False, with the file at path as it was, when the file cannot be created or written.
    bool Write(const CString &path) const;
    // False, with the items as they were, when the file cannot be opened, its
    // title or version is not one of ours or the record is cut short.
    bool Read(const CString &path);

  private:
    CString m_strText[11];
    int m_nNum[12];
    bool m_fSwitch[6];
};
