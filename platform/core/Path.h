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

// The path as the operating system takes it: UTF-8 with '/' separators, every name spelled
// exactly as it came through FromNative (NativeText: the characters that stand for native bytes
// give those bytes back), also in paths made from it (Join, Folder, "..") and in paths stored as
// text. False (native untouched) when the path holds bytes that are not cp932; NativeFault says
// why.
bool ToNative(const CString &path, std::string &native);

// Why ToNative refuses the path, for the user (cp932, naming the bytes); empty when it converts.
CString NativeFault(const CString &path);

// A path the operating system gave (a chosen file, the program's folder, the home folder, an
// entry of a folder), in cp932 that carries its native bytes (NativeText, Kind::Path): a name
// that cp932 spells otherwise ("〜" U+301C) or lacks, a byte that is not UTF-8 and a "" are
// written byte by byte, so ToNative gives the very same path back. A relative path stays
// relative.
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

// Whether the path names a folder (a link to one included).
bool IsFolder(const CString &path);

// Creates the folder and its missing parents; true when it is a folder afterwards.
bool CreateFolder(const CString &path);

// folder and name joined with exactly one separator ('/' unless folder already
// ends in one); either part may be empty.
CString Join(const CString &folder, const CString &name);

} // namespace Path
