// The video standards the host can run at.
#ifndef HX_VIDEO_STANDARD_H
#define HX_VIDEO_STANDARD_H

#include "hxhost/hxhost.h"

#include <cstdint>

namespace hx {

struct VideoStandard {
    int32_t frameWidth;
    int32_t frameHeight;
    uint32_t framesPerSecond;
    uint16_t pixelAspect; // thousandths
    bool highDefinition;  // BT.709 rather than BT.601
};

const VideoStandard& currentStandard();

} // namespace hx

#endif
