// Pictures of the host saved for people to look at: RGB PNG files at the picture's display aspect.
#include "hxhost/for_people.h"

#include "host/hxopcommon.h"
#include "image/images.h"
#include "image/png_io.h"
#include "hxhost/video_format.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

struct YuvToRgb {
    double rv, gu, gv, bu;
};

// Limited-range luma and chroma of the standard's matrix.
YuvToRgb matrixOf(bool highDefinition)
{
    return highDefinition ? YuvToRgb{1.793, -0.213, -0.533, 2.112} : YuvToRgb{1.596, -0.392, -0.813, 2.017};
}

uint8_t toByte(double value)
{
    return static_cast<uint8_t>(std::clamp(std::lround(value), 0L, 255L));
}

} // namespace

namespace hxhost {

bool writeImagePng(const OpImage* image, const std::string& path, std::string* error)
{
    auto fail = [&](const std::string& why) {
        if (error)
            *error = why;
        return false;
    };
    if (!hx::isLiveImage(image) || image->format != OP_FORMAT_YUVA || !image->planes[0])
        return fail("not a four-byte YUV picture");
    // Non-square pixels are shown as wide as they look.
    const int displayWidth = std::max(1, static_cast<int>(std::lround(image->width * (image->aspect ? image->aspect : 1000) / 1000.0)));
    OpImage* shown = const_cast<OpImage*>(image);
    OpImage* resized = nullptr;
    if (displayWidth != image->width) {
        resized = hx::newImage(displayWidth, image->height, OP_FORMAT_YUVA);
        if (!resized || opScaleImage(image, resized, 0) != 0) {
            hx::freeImage(resized);
            return fail("cannot resize the picture to its display aspect");
        }
        shown = resized;
    }
    const YuvToRgb m = matrixOf(hxhost::videoFormat().highDefinition);
    const size_t count = static_cast<size_t>(shown->width) * shown->height;
    std::vector<uint32_t> rgb(count);
    for (size_t i = 0; i < count; ++i) {
        const uint8_t* p = shown->planes[0] + 4 * i;
        const double y = 1.164 * (p[3] - 16), u = p[1] - 128.0, v = p[2] - 128.0;
        rgb[i] = static_cast<uint32_t>(toByte(y + m.rv * v)) << 16 | static_cast<uint32_t>(toByte(y + m.gu * u + m.gv * v)) << 8 |
                 toByte(y + m.bu * u);
    }
    const int width = shown->width, height = shown->height;
    hx::freeImage(resized);
    return hx::writePngRgb(path, width, height, rgb, error);
}

} // namespace hxhost
