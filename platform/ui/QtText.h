#pragma once

#include "platform/core/CString.h"

#include <QString>

// Text crosses into Qt only here: cp932 bytes <-> QString through iconv's "CP932".
// Bytes that do not convert become U+FFFD; characters that do not convert back become '?'.
QString ToQString(const CString &cp932);
// A null pointer gives the empty string.
QString ToQString(const char *cp932);
CString ToCString(const QString &text);
