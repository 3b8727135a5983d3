#include "zentrova/UserMessages.h"

#include "platform/core/Prompt.h"

void ReportChoice(const CString &text) { AfxMessageBox(text, MB_OK | MB_ICONINFORMATION); }

void ReportNotTaken(const CString &text) { AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION); }

void ReportFailure(const CString &text) { AfxMessageBox(text, MB_OK | MB_ICONHAND); }
