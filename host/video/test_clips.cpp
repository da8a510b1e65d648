#include "video/test_clips.h"
#include "hxhost/scene_bin.h"

namespace {

struct Yuv {
    uint8_t y, u, v;
};

// 75 % colour bars, BT.601: white, yellow, cyan, green, magenta, red, blue.
constexpr Yuv kBars[] = {{180, 128, 128}, {162, 44, 142}, {131, 156, 44}, {112, 72, 58},
                         {84, 184, 198},  {65, 100, 212}, {35, 212, 114}};

Yuv pixel(hxhost::TestPattern pattern, int32_t x, int32_t y, int32_t width, int32_t frame)
{
    if (pattern == hxhost::TestPattern::FieldCounter)
        return {static_cast<uint8_t>(16 + (2 * frame + y % 2) % 220), 128, 128};
    return kBars[static_cast<size_t>(x) * 7 / static_cast<size_t>(width)];
}

} // namespace

namespace hx {

std::string testClipBytes(int32_t width, int32_t height, int32_t frames, hxhost::TestPattern pattern)
{
    const std::string header = "YUV4MPEG2 W" + std::to_string(width) + " H" + std::to_string(height) +
                               " F25:1 It A1:1 C444\n";
    const size_t area = static_cast<size_t>(width) * static_cast<size_t>(height);
    std::string bytes = header;
    bytes.reserve(header.size() + static_cast<size_t>(frames) * (6 + 3 * area));
    std::string planes(3 * area, '\0');
    for (int32_t f = 0; f < frames; ++f) {
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width; ++x) {
                const Yuv p = pixel(pattern, x, y, width, f);
                const size_t i = static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x);
                planes[i] = static_cast<char>(p.y);
                planes[area + i] = static_cast<char>(p.u);
                planes[2 * area + i] = static_cast<char>(p.v);
            }
        bytes += "FRAME\n";
        bytes += planes;
    }
    return bytes;
}

} // namespace hx
