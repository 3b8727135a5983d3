#pragma once

#include "pallomir/ui/JIProgMsgBase.h"

#include <functional>

class Point;
class PointTable;

// Runs step on every point of the table in order, the point's 0-based position with it. With a
// progress object it reports under the kind, the points done of the table's size, when the
// percentage changes (at every point with `every`); false, with the run ended, when the user
// cancels.
bool WalkPoints(PointTable &table, JIProgMsgBase *progress, JGD_PROGRESS_KIND kind, bool every,
                const std::function<void(Point *, unsigned)> &step);
