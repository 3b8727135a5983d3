#pragma once

#include "platform/core/CString.h"

// The program's messages, each with the icon of what happened, so that one rule holds for all:
// the information icon when nothing went wrong and the user chose it, the warning icon when
// something was not taken, the error icon when nothing could be done.

// Nothing went wrong: the user chose it (a cancel, points left out).
void ReportChoice(const CString &text);
// Done, but something was not taken (lines passed over).
void ReportNotTaken(const CString &text);
// Nothing could be done (a file that cannot be read or written, a conversion that failed).
void ReportFailure(const CString &text);
