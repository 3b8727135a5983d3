#include "veltrane/conversion/StepProgress.h"

#include "veltrane/model/PointTable.h"

#include <algorithm>

bool WalkPoints(PointTable &table, JIProgMsgBase *progress, JGD_PROGRESS_KIND kind, bool every,
                const std::function<void(Point *, unsigned)> &step) {
    const unsigned total = table.size();
    if (progress) {
        progress->SetProgressKind(kind);
        progress->ProgressStart(static_cast<int>(std::max(total, 1u)));
    }
    int last = 0;
    unsigned done = 0;
    for (Point *p : table) {
        step(p, done);
        ++done;
        if (progress == nullptr)
            continue;
        const int percent = static_cast<int>(100ull * done / std::max(total, 1u));
        if (!every && percent == last)
            continue;
        last = percent;
        if (!progress->ProgressPercent(percent, static_cast<int>(done))) {
            progress->ProgressEnd();
            return false;
        }
    }
    if (progress)
        progress->ProgressEnd();
    return true;
}
