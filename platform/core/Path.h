#pragma once

#include "platform/core/CString.h"

#include <string>
#include <string_view>

// Helpers for cp932 paths. Both '/' and '\' separate folders; a trail byte of a
// double-byte character (0x5C in "表") is never taken for a separator.
namespace Path {

// True for '/' and '\'.
bool IsSeparator(char c);

// The folder that holds the running program, without a trailing separator
// ("/" when the program lies in the root folder).
CString ProgramFolder();

// The path as the operating system takes it: UTF-8 with '/' separators. False
// (native untouched) when the path holds bytes that are not cp932.
bool ToNative(const CString &path, std::string &native);

// A path the operating system gave (UTF-8: a chosen file, a folder's entry, the
// program's folder), in cp932. Every path that enters the system comes through here.
CString FromNative(std::string_view native);

// The text after the last separator; the whole path when there is none.
CString FileName(const CString &path);

// The text before the last separator ("/" for a file in the root folder); empty
// when there is no separator.
CString Folder(const CString &path);

// A file name without its extension (the text from its last '.').
CString FileTitle(const CString &name);

// Removes the file when it is a regular file (never a device, a folder or the target of a
// link); false when nothing was removed.
bool RemoveFile(const CString &path);

// Whether the name is taken: false only when no entry of that name exists. A broken link, an
// entry that cannot be examined and a path that does not convert count as taken.
bool Exists(const CString &path);

// Creates the folder and its missing parents; true when it is a folder afterwards.
bool CreateFolder(const CString &path);

// folder and name joined with exactly one separator ('/' unless folder already
// ends in one); either part may be empty.
CString Join(const CString &folder, const CString &name);

} // namespace Path
