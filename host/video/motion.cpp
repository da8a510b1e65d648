// hxmotion: video timing of the configured standard.
#include "host/hxmotion.h"

#include "runtime/entry_guard.h"
#include "runtime/host_state.h"
#include "video/video_standard.h"

struct CmHandle {
    int unused;
};

namespace hx {

const VideoStandard& currentStandard()
{
    static const VideoStandard pal{720, 576, 25, 1067, false};
    static const VideoStandard hd1080{1920, 1080, 25, 1000, true};
    return state().standard == hxhost::Standard::Hd1080 ? hd1080 : pal;
}

} // namespace hx

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
    return hx::currentStandard().framesPerSecond;
}
HX_ENTRY_FAILS(0)

int32_t cmGetFirstFieldStatus(void) HX_ENTRY
{
    hx::countCall("cmGetFirstFieldStatus");
    return hx::state().firstFieldStatus;
}
HX_ENTRY_FAILS(0)

} // extern "C"
