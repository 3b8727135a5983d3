#pragma once

#include "tests/support/RecordingProgress.h"
#include "veltrane/database/Veltrane.h"

#include <string>
#include <vector>

namespace enginetest {

using testsupport::RecordingProgress;

// A mark known in both datums: Tokyo (x, y, h) and observed new (ox, oy, oh).
Point BasisPoint(unsigned id, const char *name, double x, double y, double ox, double oy,
                 double h = 0.0, double oh = 0.0);
// A mark known in the Tokyo datum only.
Point TargetPoint(unsigned id, const char *name, double x, double y, double h = 0.0);
// A check observation: Tokyo (x, y) and observed (ox, oy) as a check, not a basis.
Point CheckPoint(unsigned id, const char *name, double x, double y, double ox, double oy);

// The stored point of that name; fails the test when there is none.
Point *Stored(Veltrane &db, const char *name);

} // namespace enginetest
