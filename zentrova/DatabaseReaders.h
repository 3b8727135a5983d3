#pragma once

#include "platform/core/CString.h"

#include <functional>

class CArchive;
class JIProgMsgBase;
class Veltrane;

// The database's file readers that the program calls. The program holds them as functions so
// that a test can hand it prepared data in their place.

// Reads a project file into the database: 0 loaded, 1 title or version unreadable, 2 not a
// project file. May throw the archive's exceptions when the file ends inside its records.
using ProjectReader = std::function<int(Veltrane &db, CArchive &ar)>;

// Reads the points of an exchange file into the database as Tokyo-datum coordinates (kind 0,
// ITRF kind 0), asking the user its questions. False, with the reader's stop line (0 when no
// line is to blame) and reason, when the file is refused or the user cancelled; the database
// is then unchanged.
using ExchangeReader =
    std::function<bool(Veltrane &db, const CString &path, JIProgMsgBase *progress, int &stopLine,
                       CString &stopReason)>;

int ReadProjectFile(Veltrane &db, CArchive &ar);
bool ReadExchangeFile(Veltrane &db, const CString &path, JIProgMsgBase *progress, int &stopLine,
                      CString &stopReason);
