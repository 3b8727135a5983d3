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

// How the read of an exchange file went.
struct ExchangeReadResult {
    bool read = false;      // the points were stored
    bool cancelled = false; // the user cancelled (nothing stored)
    int stopLine = 0;       // why it was refused: the line (0 when no line is to blame)
    CString stopReason;     // and the reason
    int passedOver = 0;     // records passed over after the user chose to go on
    int firstPassedOver = 0;
    int declined = 0; // points of the file the user left out ("いいえ" to the overwrite question)
};

// Reads the points of an exchange file into the database as Tokyo-datum coordinates (kind 0,
// ITRF kind 0), asking the user its questions. When it is not read, the database is unchanged.
using ExchangeReader =
    std::function<ExchangeReadResult(Veltrane &db, const CString &path, JIProgMsgBase *progress)>;

int ReadProjectFile(Veltrane &db, CArchive &ar);
ExchangeReadResult ReadExchangeFile(Veltrane &db, const CString &path, JIProgMsgBase *progress);
