#include "exchange/Dorrimet/FileProgress.h"

#include "pallomir/ui/JIProgMsgBase.h"

#include <algorithm>
#include <climits>

int FilePercent(std::uint64_t position, std::uint64_t size) {
    if (size == 0)
        return 100;
    return static_cast<int>(std::min<std::uint64_t>(position, size) * 100 / size);
}

int ProgressCount(std::uint64_t value) {
    return value > static_cast<std::uint64_t>(INT_MAX) ? INT_MAX : static_cast<int>(value);
}

bool FileReadProgress(JIProgMsgBase *progress, std::uint64_t position, std::uint64_t size,
                      int &lastPercent) {
    const int percent = FilePercent(position, size);
    if (percent <= lastPercent)
        return false;
    lastPercent = percent;
    return !progress->ProgressPercent(percent, percent);
}

bool FileProgressStep(JIProgMsgBase *progress, std::uint64_t position, std::uint64_t size,
                      int &lastPercent, int &stepCount) {
    const int percent = FilePercent(position, size);
    bool cancelled = false;
    if (percent > lastPercent) {
        stepCount = 0;
        cancelled = !progress->ProgressPercent(percent, ProgressCount(position));
    } else if (++stepCount > progress->GetCancelCheckStep()) {
        cancelled = progress->CheckCancel();
    }
    lastPercent = percent;
    return cancelled;
}
