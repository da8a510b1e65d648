#include "time_units.h"

#include "log.h"

#include "host/hxmotion.h"

namespace {

constexpr uint32_t kFallbackRate = 25;

// Seconds of duration codes 0..9; any other code means 3 seconds.
constexpr int32_t kDurationSeconds[] = {1, 2, 3, 4, 5, 7, 10, 15, 20, 30};
// Seconds of transition length codes 0..9; any other code means 1 second.
constexpr double kTransitionSeconds[] = {0.2, 0.5, 1, 2, 3, 4, 5, 7, 10, 1};

// The host's frames per second; 0, after a logged failure, when it has no timing. A reported rate
// of 0 counts as no timing, so that no conversion divides by it.
uint32_t hostFrameRate()
{
    CmHandle* handle = cmOpen(0, 0);
    const uint32_t rate = handle ? cmGetFramesPerSecond(handle, 0) : 0;
    if (rate == 0)
        STILLSET_LOG(HXLOG_FAILURE);
    return rate;
}

} // namespace

int32_t durationFrames(int32_t code)
{
    const int32_t seconds = code >= 0 && code <= 9 ? kDurationSeconds[code] : 3;
    const uint32_t rate = hostFrameRate();
    return static_cast<int32_t>(static_cast<uint32_t>(seconds) * (rate ? rate : kFallbackRate));
}

int32_t transitionFrames(int32_t code)
{
    const double seconds = code >= 0 && code <= 9 ? kTransitionSeconds[code] : 1.0;
    const uint32_t rate = hostFrameRate();
    return static_cast<int32_t>(seconds * (rate ? rate : kFallbackRate));
}

int32_t durationCode(int32_t frames)
{
    const uint32_t rate = hostFrameRate();
    const int32_t seconds = rate ? static_cast<int32_t>(static_cast<uint32_t>(frames) / rate)
                                 : frames / static_cast<int32_t>(kFallbackRate); // signed without the host's rate
    for (int32_t code = 0; code < 10; ++code)
        if (kDurationSeconds[code] == seconds)
            return code;
    return 4;
}
