#pragma once

#include "platform/core/CString.h"

#include <string>
#include <string_view>
#include <vector>

// Helpers for cp932 paths. Both '/' and '\' separate folders; a trail byte of a
// double-byte character (0x5C in "表") is never taken for a separator.
namespace Path {

// True for '/' and '\'.
bool IsSeparator(char c);

// The folder that holds the running program, without a trailing separator
// ("/" when the program lies in the root folder).
CString ProgramFolder();

// The path as the operating system takes it: UTF-8 with '/' separators, each folder and file
// spelled exactly as the operating system spelled it when it entered through FromNative or
// FromNativeEntries (so "〜" U+301C, "−" U+2212 and characters cp932 lacks come back as they
// were), also in paths made from it (Join, Folder); parts never met are converted plainly. False
// (native untouched) when the path cannot be carried: bytes that are not cp932, or a name that
// stands for look-alike entries of one folder; NativeFault says why.
bool ToNative(const CString &path, std::string &native);

// Why ToNative refuses the path, for the user (cp932, naming the characters and their codes);
// empty when it converts.
CString NativeFault(const CString &path);

// A path the operating system gave (a chosen file, the program's folder, the home folder), in
// cp932, remembering how it is spelled for ToNative. Every path that enters the system comes
// through here. Characters cp932 lacks, bytes that are not UTF-8 and characters that cp932 would
// turn into a separator ("\", "¥") become '?'. A relative path is taken from the current
// folder.
CString FromNative(std::string_view native);

// The entries of one folder as listed (nativeFolder as ToNative gave it), in cp932, remembered
// as FromNative remembers a path. Entries of different spellings that share a cp932 name are
// look-alikes: that name is refused by ToNative until one of them enters again on its own.
std::vector<CString> FromNativeEntries(std::string_view nativeFolder,
                                       const std::vector<std::string> &names);

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
