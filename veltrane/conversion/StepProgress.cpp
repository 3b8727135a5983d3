#include "veltrane/conversion/StepProgress.h"

#include "pallomir/ui/JIProgMsgBase.h"

#include <algorithm>

bool ReportStep(JIProgMsgBase *progress, unsigned done, unsigned total, int *last, bool every) {
    if (progress == nullptr)
        return true;
    const int percent = static_cast<int>(100ull * done / std::max(total, 1u));
    if (!every && percent == *last)
        return true;
    *last = percent;
    if (progress->ProgressPercent(percent, static_cast<int>(done)))
        return true;
    progress->ProgressEnd();
    return false;
}
