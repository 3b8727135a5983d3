#pragma once

#include "platform/core/CString.h"

#include <string>

class Veltrane;

namespace testsupport {

// Everything a conversion may change in a project, as text to compare: the project file that
// Write leaves at the path, then what the file does not hold: every point's coordinates with
// their latitudes and longitudes and its results of every block, and the flags, precision
// tables and engines (by what each gives for a probe, and its option) of the whole area's
// parameter table and of every block's.
std::string ProjectDump(Veltrane &db, const CString &path);

} // namespace testsupport
