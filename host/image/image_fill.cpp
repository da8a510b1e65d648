// gxSetImage and opGetPixelRange: the video levels of the host's images.
#include "host/hxgx.h"
#include "host/hxopcommon.h"

#include "image/images.h"
#include "runtime/entry_guard.h"
#include "runtime/host_state.h"

#include <cstring>

namespace {

// One row of chroma bytes `step` apart alternating U and V per pixel pair.
void fillPairedChroma(uint8_t* chroma, size_t step, int32_t width, uint8_t u, uint8_t v)
{
    for (int32_t x = 0; x < width; ++x)
        chroma[static_cast<size_t>(x) * step] = x % 2 == 0 ? u : v;
}

} // namespace

extern "C" {

void gxSetImage(OpImage* image, uint32_t colour, uint32_t) HX_ENTRY
{
    hx::countCall("gxSetImage");
    if (!hx::isLiveImage(image) || !image->planes[0])
        return;
    const uint8_t key = colour & 0xFF, u = (colour >> 8) & 0xFF, v = (colour >> 16) & 0xFF, y = colour >> 24;
    const size_t width = static_cast<size_t>(image->width), area = width * static_cast<size_t>(image->height);
    switch (image->format) {
    case OP_FORMAT_YUVA: {
        const uint8_t pixel[4] = {key, u, v, y};
        for (size_t i = 0; i < area; ++i)
            std::memcpy(image->planes[0] + 4 * i, pixel, 4);
        break;
    }
    case OP_FORMAT_YC_PACKED:
        for (int32_t row = 0; row < image->height; ++row) {
            uint8_t* p = image->planes[0] + static_cast<size_t>(row) * width * 2;
            for (size_t x = 0; x < width; ++x)
                p[2 * x + 1] = y;
            fillPairedChroma(p, 2, image->width, u, v);
        }
        break;
    case OP_FORMAT_YC_PLANAR:
        std::memset(image->planes[0], y, area);
        for (int32_t row = 0; row < image->height; ++row)
            fillPairedChroma(image->planes[1] + static_cast<size_t>(row) * width, 1, image->width, u, v);
        break;
    case OP_FORMAT_YUV420: {
        const size_t chroma = static_cast<size_t>(hx::halfUp(image->width)) * static_cast<size_t>(hx::halfUp(image->height));
        std::memset(image->planes[0], y, area);
        std::memset(image->planes[1], u, chroma);
        std::memset(image->planes[2], v, chroma);
        break;
    }
    }
}
HX_ENTRY_FAILS_VOID

void opGetPixelRange(uint8_t range[4], uint32_t) HX_ENTRY
{
    hx::countCall("opGetPixelRange");
    if (!range)
        return;
    // Limited-range video: luma 16..235, chroma 16..240, in every standard the host runs.
    range[0] = 16;
    range[1] = 235;
    range[2] = 16;
    range[3] = 240;
}
HX_ENTRY_FAILS_VOID

} // extern "C"
