#include "player/frame_picture.h"

#include "host/hxopcommon.h"

#include <algorithm>
#include <cstddef>

namespace hx {

namespace {

// Limited-range Y'CbCr to RGB in 16-bit fixed point, BT.601 or BT.709.
class RgbOfYuv {
public:
    explicit RgbOfYuv(bool highDefinition)
    {
        const double kr = highDefinition ? 0.2126 : 0.299, kb = highDefinition ? 0.0722 : 0.114, kg = 1.0 - kr - kb;
        const double c = 255.0 / 224.0 * 65536.0;
        y_ = static_cast<int32_t>(255.0 / 219.0 * 65536.0 + 0.5);
        rv_ = static_cast<int32_t>(2.0 * (1.0 - kr) * c + 0.5);
        bu_ = static_cast<int32_t>(2.0 * (1.0 - kb) * c + 0.5);
        gu_ = static_cast<int32_t>(2.0 * (1.0 - kb) * kb / kg * c + 0.5);
        gv_ = static_cast<int32_t>(2.0 * (1.0 - kr) * kr / kg * c + 0.5);
    }
    uint32_t operator()(int32_t y, int32_t u, int32_t v) const
    {
        const int32_t l = (y - 16) * y_ + 32768;
        u -= 128;
        v -= 128;
        return clamp(l + rv_ * v) << 16 | clamp(l - gu_ * u - gv_ * v) << 8 | clamp(l + bu_ * u);
    }

private:
    static uint32_t clamp(int32_t fixed) { return static_cast<uint32_t>(std::clamp(fixed >> 16, 0, 255)); }
    int32_t y_, rv_, bu_, gu_, gv_;
};

} // namespace

void framePicture(const hxhost::WovenFrame& frame, const hxhost::VideoFileFormat& format, int field, hxhost::Picture& out)
{
    const int32_t width = format.width, height = format.height;
    const size_t luma = static_cast<size_t>(width) * height;
    if (frame.planes.size() < luma + luma / 2)
        return;
    const uint8_t* y = frame.planes.data();
    const uint8_t* u = y + luma;
    const uint8_t* v = u + luma / 4;
    // Which frame rows make the picture: all of them, or every second one from the field's parity.
    const int32_t step = format.progressive ? 1 : 2;
    const int32_t first = format.progressive ? 0 : ((field == 0) == format.bottomFirst ? 1 : 0);
    const RgbOfYuv rgb(format.highDefinition);
    out.width = width;
    out.height = height / step;
    out.pixels.resize(static_cast<size_t>(out.width) * out.height);
    for (int32_t r = 0; r < out.height; ++r) {
        const int32_t row = first + step * r;
        // Each field's chroma is its own: chroma row c belongs to the field of c's parity.
        const int32_t chroma = 2 * (row / 4) + row % 2;
        const uint8_t* ys = y + static_cast<size_t>(row) * width;
        const uint8_t* us = u + static_cast<size_t>(chroma) * (width / 2);
        const uint8_t* vs = v + static_cast<size_t>(chroma) * (width / 2);
        uint32_t* target = out.pixels.data() + static_cast<size_t>(r) * width;
        for (int32_t x = 0; x < width; ++x)
            target[x] = rgb(ys[x], us[x / 2], vs[x / 2]);
    }
}

void yuvaPicture(const OpImage* image, bool highDefinition, hxhost::Picture& out)
{
    const RgbOfYuv rgb(highDefinition);
    out.width = image->width;
    out.height = image->height;
    out.pixels.resize(static_cast<size_t>(out.width) * out.height);
    for (int32_t r = 0; r < out.height; ++r) {
        const uint8_t* p = image->planes[0] + static_cast<size_t>(r) * image->width * 4;
        for (int32_t x = 0; x < out.width; ++x, p += 4)
            out.pixels[static_cast<size_t>(r) * out.width + x] = rgb(p[3], p[1], p[2]);
    }
}

} // namespace hx
