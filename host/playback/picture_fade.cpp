#include "playback/picture_fade.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace hx {

namespace {

typedef uint8_t U8x16 __attribute__((vector_size(16)));
typedef uint16_t U16x16 __attribute__((vector_size(32)));

// Each sample taken towards `zero` by scale / 256, rounded down, sixteen at a time:
// zero + floor((s - zero) * scale / 256) is floor((s * scale + zero * (256 - scale)) / 256), whose
// sum stays within 16 bits.
void fadePlane(uint8_t* samples, size_t count, uint16_t zero, uint16_t scale)
{
    const auto rest = static_cast<uint16_t>(zero * (256 - scale));
    size_t i = 0;
    for (; i + 16 <= count; i += 16) {
        U8x16 bytes;
        std::memcpy(&bytes, samples + i, sizeof bytes);
        bytes = __builtin_convertvector((__builtin_convertvector(bytes, U16x16) * scale + rest) >> 8, U8x16);
        std::memcpy(samples + i, &bytes, sizeof bytes);
    }
    for (; i < count; ++i)
        samples[i] = static_cast<uint8_t>((samples[i] * scale + rest) >> 8);
}

} // namespace

void fadeToBlack(hxhost::WovenFrame& frame, int32_t width, int32_t height, double level)
{
    if (level >= 1.0)
        return;
    constexpr uint16_t kBlack = 16, kNoColour = 128;
    const auto scale = static_cast<uint16_t>(std::lround(std::clamp(level, 0.0, 1.0) * 256));
    const size_t luma = static_cast<size_t>(width) * static_cast<size_t>(height);
    const size_t planes = std::min(frame.planes.size(), luma * 3 / 2);
    fadePlane(frame.planes.data(), std::min(planes, luma), kBlack, scale);
    if (planes > luma)
        fadePlane(frame.planes.data() + luma, planes - luma, kNoColour, scale);
}

} // namespace hx
