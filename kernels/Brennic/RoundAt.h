#pragma once

#include "kernels/Nistrel/ExDouble.h"
#include "platform/core/WinTypes.h"

#include <algorithm>
#include <cmath>

namespace brennic {

// ExDouble::rround for every input: NaN and infinities pass through unchanged, and
// units are clamped to -400 .. 400, where the result no longer changes (every finite
// double keeps all its digits at -400 and rounds to 0 at 400).
inline double roundAt(double x, long long unit, UINT form) {
    if (!std::isfinite(x))
        return x;
    return ExDouble::rround(x, static_cast<int>(std::clamp(unit, -400LL, 400LL)), form);
}

// Step (bits 8-15) and threshold (bits 0-7) of a rule word.
inline UINT formStep(UINT form) { return (form >> 8) & 0xFFu; }
inline UINT formThreshold(UINT form) { return form & 0xFFu; }

// The engine rounds only with a step of 1 to 9.
inline bool formHasStep(UINT form) {
    const UINT step = formStep(form);
    return step >= 1 && step <= 9;
}

} // namespace brennic
