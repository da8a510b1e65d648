#include "tone.h"

#include <algorithm>
#include <cmath>

namespace {

struct ToneTables {
    uint8_t luma[256];
    uint8_t chroma[256];
};

ToneTables buildTables(int32_t brightness, int32_t contrast, int32_t saturation, int32_t gamma)
{
    uint8_t range[4] = {16, 235, 16, 240};
    opGetPixelRange(range, 0);
    const int32_t g = gamma == 100 ? 99 : gamma;
    const double e = std::pow((100.0 - g) / 100.0, 3.0);
    ToneTables tables;
    for (int64_t i = 0; i < 256; ++i) {
        const int64_t t = static_cast<int16_t>(i * brightness / 100);
        double v = static_cast<double>((t - 128) * contrast / 100 + 128);
        if (v > 10)
            v = std::trunc(std::pow(v / 255.0, e) * 255.0);
        // Clamped as doubles: the power curve can leave any integer range.
        tables.luma[i] = static_cast<uint8_t>(std::clamp(v, static_cast<double>(range[0]), static_cast<double>(range[1])));
        const int64_t c = (i - 128) * saturation / 100 + 128;
        tables.chroma[i] = static_cast<uint8_t>(std::clamp<int64_t>(c, range[2], range[3]));
    }
    return tables;
}

void mapBytes(uint8_t* bytes, size_t count, const uint8_t* table)
{
    for (size_t i = 0; i < count; ++i)
        bytes[i] = table[bytes[i]];
}

} // namespace

void toneCorrect(OpImage* image, int32_t brightness, int32_t contrast, int32_t saturation, int32_t gamma)
{
    if (!image || !image->planes[0] || image->width <= 0 || image->height <= 0)
        return;
    const size_t area = static_cast<size_t>(image->width) * static_cast<size_t>(image->height);
    uint8_t* pixels = image->planes[0];
    switch (image->format) {
    case OP_FORMAT_YUVA: {
        const ToneTables t = buildTables(brightness, contrast, saturation, gamma);
        for (size_t i = 0; i < area; ++i) {
            uint8_t* p = pixels + 4 * i;
            p[1] = t.chroma[p[1]];
            p[2] = t.chroma[p[2]];
            p[3] = t.luma[p[3]];
        }
        break;
    }
    case OP_FORMAT_YC_PACKED: {
        const ToneTables t = buildTables(brightness, contrast, saturation, gamma);
        for (size_t i = 0; i < area; ++i) {
            pixels[2 * i] = t.chroma[pixels[2 * i]];
            pixels[2 * i + 1] = t.luma[pixels[2 * i + 1]];
        }
        break;
    }
    case OP_FORMAT_YC_PLANAR: {
        const ToneTables t = buildTables(brightness, contrast, saturation, gamma);
        mapBytes(pixels, area, t.luma);
        mapBytes(pixels + area, area, t.chroma);
        break;
    }
    case OP_FORMAT_YUV420: {
        if (!image->planes[1] || !image->planes[2])
            return;
        const ToneTables t = buildTables(brightness, contrast, saturation, gamma);
        mapBytes(pixels, area, t.luma);
        mapBytes(image->planes[1], area / 4, t.chroma);
        mapBytes(image->planes[2], area / 4, t.chroma);
        break;
    }
    default:
        break;
    }
}
