#include "playback/picture_fade.h"

#include <algorithm>
#include <cmath>

namespace hx {

void fadeToBlack(hxhost::WovenFrame& frame, int32_t width, int32_t height, double level)
{
    if (level >= 1.0)
        return;
    constexpr int kBlack = 16, kNoColour = 128;
    const auto scale = static_cast<int>(std::lround(std::clamp(level, 0.0, 1.0) * 256));
    const size_t luma = static_cast<size_t>(width) * static_cast<size_t>(height);
    const size_t planes = std::min(frame.planes.size(), luma * 3 / 2);
    for (size_t i = 0; i < planes; ++i) {
        const int zero = i < luma ? kBlack : kNoColour;
        frame.planes[i] = static_cast<uint8_t>(zero + (((frame.planes[i] - zero) * scale) >> 8));
    }
}

} // namespace hx
