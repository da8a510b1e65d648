// hxmotion: video timing of the configured format.
#include "host/hxmotion.h"

#include "runtime/entry_guard.h"
#include "runtime/host_state.h"
#include "hxhost/video_format.h"

struct CmHandle {
    int unused;
};

extern "C" {

CmHandle* cmOpen(uint32_t, uint32_t) HX_ENTRY
{
    static CmHandle handle{0};
    if (hx::shouldFail("cmOpen") || !hx::state().timingAvailable)
        return nullptr;
    return &handle;
}
HX_ENTRY_FAILS(nullptr)

uint32_t cmGetFramesPerSecond(CmHandle* handle, uint32_t) HX_ENTRY
{
    hx::countCall("cmGetFramesPerSecond");
    if (!handle)
        return 0;
    if (hx::state().frameRateOverride >= 0)
        return static_cast<uint32_t>(hx::state().frameRateOverride);
    // A 1001 rate is told as its whole one: the time units stay whole frames.
    return static_cast<uint32_t>(hxhost::videoFormat().framesPerSecond);
}
HX_ENTRY_FAILS(0)

int32_t cmGetFirstFieldStatus(void) HX_ENTRY
{
    hx::countCall("cmGetFirstFieldStatus");
    return hx::state().firstFieldStatus;
}
HX_ENTRY_FAILS(0)

} // extern "C"
