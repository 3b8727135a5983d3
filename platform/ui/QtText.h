#pragma once

#include "platform/core/CString.h"

#include <QString>

// Text crosses into Qt only here: cp932 bytes <-> QString through iconv's "CP932".
// Bytes that do not convert become U+FFFD; characters that do not convert back become '?'.
QString ToQString(const CString &cp932);
// A null pointer gives the empty string.
QString ToQString(const char *cp932);
CString ToCString(const QString &text);

// Paths cross into Qt only here, as the operating system spells them (Path::ToNative and
// Path::FromNative), never through ToQString and ToCString. A path that does not convert is
// given as ToQString gives it.
QString ToQPath(const CString &path);
CString FromQPath(const QString &path);
