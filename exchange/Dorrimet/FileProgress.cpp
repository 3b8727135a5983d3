#include "exchange/Dorrimet/FileProgress.h"

#include "exchange/Dorrimet/IPointRegister.h"
#include "pallomir/ui/JIProgMsgBase.h"

#include <algorithm>
#include <climits>

namespace {

constexpr int kProgressKindReadFile = 10;
constexpr int kProgressKindRegister = 12;

} // namespace

void BeginFileRead(JIProgMsgBase *progress) {
    if (!progress)
        return;
    progress->ProgressInit(JGD_PROGRESS_TYPE{1});
    progress->SetProgressKind(JGD_PROGRESS_KIND{kProgressKindReadFile});
    progress->ProgressStart(100);
}

bool EndFileRead(JIProgMsgBase *progress, IPointRegister *reg) {
    if (progress) {
        progress->ProgressEnd();
        progress->ProgressTerm();
        progress->SetProgressKind(JGD_PROGRESS_KIND{kProgressKindRegister});
        progress->ProgressInit(JGD_PROGRESS_TYPE{0});
    }
    const bool registered = reg->EndRegister();
    if (progress)
        progress->ProgressTerm();
    return registered;
}

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
