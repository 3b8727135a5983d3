#pragma once

#include "platform/core/CString.h"
#include "platform/core/WinTypes.h"

// The in-place editor of a cell as the grid and its cells see it.
class CGridEditWnd {
  public:
    virtual ~CGridEditWnd() = default;

    // A typed character (a double-byte character as lead << 8 | trail), as if the user typed it.
    virtual void SendChar(UINT ch) = 0;
    // Pastes the clipboard text at the caret.
    virtual void Paste() = 0;
    // Ends the edit: the grid hears the text and the key that ended it, then the editor closes.
    virtual void EndEdit() = 0;
    // Closes the editor window; it goes away once its events are done.
    virtual void DestroyEditor() = 0;
    virtual CString GetWindowText() const = 0;
    virtual bool IsEditControl() const { return true; }
};
