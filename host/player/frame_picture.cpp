#include "player/frame_picture.h"

#include "host/hxopcommon.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace hx {

namespace {

// Limited-range Y'CbCr to RGB in 16-bit fixed point, BT.601 or BT.709: one table a term, so a pixel
// costs a few loads and adds, and the chroma terms are shared by the two pixels of a chroma sample.
class RgbOfYuv {
public:
    explicit RgbOfYuv(bool highDefinition)
    {
        const double kr = highDefinition ? 0.2126 : 0.299, kb = highDefinition ? 0.0722 : 0.114, kg = 1.0 - kr - kb;
        const double c = 255.0 / 224.0 * 65536.0;
        for (int32_t v = 0; v < 256; ++v) {
            luma_[v] = static_cast<int32_t>(std::lround((v - 16) * 255.0 / 219.0 * 65536.0)) + 32768;
            red_[v] = static_cast<int32_t>(std::lround(2.0 * (1.0 - kr) * c * (v - 128)));
            blue_[v] = static_cast<int32_t>(std::lround(2.0 * (1.0 - kb) * c * (v - 128)));
            greenOfU_[v] = static_cast<int32_t>(std::lround(-2.0 * (1.0 - kb) * kb / kg * c * (v - 128)));
            greenOfV_[v] = static_cast<int32_t>(std::lround(-2.0 * (1.0 - kr) * kr / kg * c * (v - 128)));
        }
    }
    // The chroma terms of one sample: red, green, blue.
    struct Chroma {
        int32_t r, g, b;
    };
    Chroma chroma(uint8_t u, uint8_t v) const { return {red_[v], greenOfU_[u] + greenOfV_[v], blue_[u]}; }
    uint32_t pixel(uint8_t y, const Chroma& c) const
    {
        const int32_t l = luma_[y];
        return clamp(l + c.r) << 16 | clamp(l + c.g) << 8 | clamp(l + c.b);
    }

private:
    static uint32_t clamp(int32_t fixed) { return static_cast<uint32_t>(std::clamp(fixed >> 16, 0, 255)); }
    int32_t luma_[256], red_[256], blue_[256], greenOfU_[256], greenOfV_[256];
};

} // namespace

void framePicture(const hxhost::WovenFrame& frame, const hxhost::VideoFileFormat& format, int field, hxhost::Picture& out,
                  const RowSplit& split)
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
    const auto rows = [&](int32_t begin, int32_t end) {
        for (int32_t r = begin; r < end; ++r) {
            const int32_t row = first + step * r;
            // Each field's chroma is its own: chroma row c belongs to the field of c's parity.
            const int32_t chroma = 2 * (row / 4) + row % 2;
            const uint8_t* ys = y + static_cast<size_t>(row) * width;
            const uint8_t* us = u + static_cast<size_t>(chroma) * (width / 2);
            const uint8_t* vs = v + static_cast<size_t>(chroma) * (width / 2);
            uint32_t* target = out.pixels.data() + static_cast<size_t>(r) * width;
            for (int32_t x = 0; x + 1 < width; x += 2) {
                const RgbOfYuv::Chroma c = rgb.chroma(us[x / 2], vs[x / 2]);
                target[x] = rgb.pixel(ys[x], c);
                target[x + 1] = rgb.pixel(ys[x + 1], c);
            }
        }
    };
    if (split)
        split(out.height, rows);
    else
        rows(0, out.height);
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
            out.pixels[static_cast<size_t>(r) * out.width + x] = rgb.pixel(p[3], rgb.chroma(p[1], p[2]));
    }
}

} // namespace hx
