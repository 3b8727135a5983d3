#pragma once

#include "platform/core/CString.h"
#include "platform/core/WinTypes.h"

#include <functional>

// Message-box flags: buttons (low 4 bits), icon (next 4), default button (next 4).
inline constexpr UINT MB_OK = 0x0;
inline constexpr UINT MB_OKCANCEL = 0x1;
inline constexpr UINT MB_ABORTRETRYIGNORE = 0x2;
inline constexpr UINT MB_YESNOCANCEL = 0x3;
inline constexpr UINT MB_YESNO = 0x4;
inline constexpr UINT MB_RETRYCANCEL = 0x5;
inline constexpr UINT MB_ICONHAND = 0x10;
inline constexpr UINT MB_ICONSTOP = 0x10;
inline constexpr UINT MB_ICONERROR = 0x10;
inline constexpr UINT MB_ICONQUESTION = 0x20;
inline constexpr UINT MB_ICONEXCLAMATION = 0x30;
inline constexpr UINT MB_ICONWARNING = 0x30;
inline constexpr UINT MB_ICONASTERISK = 0x40;
inline constexpr UINT MB_ICONINFORMATION = 0x40;
inline constexpr UINT MB_DEFBUTTON1 = 0x0;
inline constexpr UINT MB_DEFBUTTON2 = 0x100;
inline constexpr UINT MB_DEFBUTTON3 = 0x200;
inline constexpr UINT MB_TYPEMASK = 0xF;
inline constexpr UINT MB_ICONMASK = 0xF0;
inline constexpr UINT MB_DEFMASK = 0xF00;

// Answers.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDABORT = 3;
inline constexpr int IDRETRY = 4;
inline constexpr int IDIGNORE = 5;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// Asks the user; answers with one of the ID codes of the buttons in type.
using PromptHandler = std::function<int(const CString &text, UINT type)>;

// Installs the process-wide handler and returns the previous one; an empty
// handler uninstalls.
PromptHandler SetPromptHandler(PromptHandler handler);

// The box's default button: the one MB_DEFBUTTONn picks, the first when that
// button does not exist. An unknown button set counts as MB_OK.
int PromptDefaultAnswer(UINT type);

// Asks through the installed handler. Without one, the text and the answer
// go to standard error as one UTF-8 line and the default button answers.
// helpId is accepted for the callers' sake; there is no help system.
int AfxMessageBox(const CString &text, UINT type = MB_OK, UINT helpId = 0);
