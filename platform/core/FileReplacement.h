#pragma once

#include <string>

// What CFile and PendingFiles share to put a written file in place; not for other callers.
namespace FileReplacement {

// Renames temporary over target, or with noReplace only while nothing has the target's name;
// 0 or the errno value.
int PutInPlace(const std::string &temporary, const std::string &target, bool noReplace);

} // namespace FileReplacement
