#pragma once

#include "platform/core/CString.h"

// Parts of a cp932 path as the comment blocks and the file-conversion jobs name them. '\' and '/'
// separate folders and ':' ends a drive; all three end the folder part, so the folder part
// followed by the file-name part is always the whole path. A trail byte of a double-byte
// character is never taken for a separator.

// The text after the last separator or colon; the whole path when there is none.
CString GetFileNamePart(const CString &path);

// The path up to and including its last separator or colon; empty when there is none.
CString GetFolderPart(const CString &path);

// The path without one trailing '\' or '/'. A root keeps it ("/", "\\", "C:\"): the separator
// stays when the text before it is empty, is separators only or ends with a drive's colon, as
// dropping it would name another folder.
CString RemoveTrailingSeparator(const CString &path);
