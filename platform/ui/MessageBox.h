#pragma once

#include "platform/core/CString.h"
#include "platform/core/Prompt.h"
#include "platform/core/WinTypes.h"

class QWidget;

// Asks the user in an application-modal message box, as the framework's message box does:
// buttons, icon and default button from the MB_* flags of type; the answer is the ID* code
// of the button pressed. Escape or closing the box answers IDCANCEL when the box has a Cancel
// button and IDOK for a lone OK; Yes/No and Abort/Retry/Ignore boxes need a button. The title
// is the caption, or the application's display name when none is given. The box is owned by
// owner when that is enabled, else by the active window or the main window, whichever is
// enabled (a box owned by a disabled window could not be answered). Safe to call from any
// thread: the box is shown on the GUI thread.
int QtMessageBox(const CString &text, UINT type, QWidget *owner = nullptr,
                 const CString &caption = CString());

// Makes QtMessageBox answer the prompts of non-GUI code (AfxMessageBox). The program calls it
// at start-up once its QApplication exists. Returns the previous handler.
PromptHandler InstallPromptHandler();
