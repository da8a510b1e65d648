#include "tone.h"

#include <algorithm>
#include <atomic>
#include <cmath>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace {

std::atomic<bool> plainLoops{false};

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

// Format 1, a pixel at a time: the key byte stays, U and V go through the chroma table, Y through the luma one.
void mapYuva(uint8_t* pixels, size_t area, const ToneTables& t)
{
    for (size_t i = 0; i < area; ++i) {
        uint8_t* p = pixels + 4 * i;
        p[1] = t.chroma[p[1]];
        p[2] = t.chroma[p[2]];
        p[3] = t.luma[p[3]];
    }
}

#if defined(__x86_64__)
#define STILLSET_VBMI __attribute__((target("avx512f,avx512bw,avx512vbmi")))

// A 256-byte table looked up for 64 bytes at once: two 128-byte halves by byte permutes, chosen
// between by the top bit of each byte.
STILLSET_VBMI __m512i lookUp(__m512i bytes, const uint8_t* table)
{
    const __m512i low = _mm512_permutex2var_epi8(_mm512_loadu_si512(table), bytes, _mm512_loadu_si512(table + 64));
    const __m512i high = _mm512_permutex2var_epi8(_mm512_loadu_si512(table + 128), bytes, _mm512_loadu_si512(table + 192));
    return _mm512_mask_blend_epi8(_mm512_movepi8_mask(bytes), low, high);
}

// mapYuva sixteen pixels at a time, the same bytes.
STILLSET_VBMI void mapYuvaVbmi(uint8_t* pixels, size_t area, const ToneTables& t)
{
    const __mmask64 chroma = 0x6666666666666666ull, luma = 0x8888888888888888ull;
    size_t i = 0;
    for (; i + 16 <= area; i += 16) {
        uint8_t* p = pixels + 4 * i;
        const __m512i bytes = _mm512_loadu_si512(p);
        __m512i out = _mm512_mask_blend_epi8(chroma, bytes, lookUp(bytes, t.chroma));
        out = _mm512_mask_blend_epi8(luma, out, lookUp(bytes, t.luma));
        _mm512_storeu_si512(p, out);
    }
    mapYuva(pixels + 4 * i, area - i, t);
}

bool haveVbmi()
{
    static const bool have = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
                             __builtin_cpu_supports("avx512vbmi");
    return have;
}
#endif

} // namespace

void setPlainToneLoops(bool plain)
{
    plainLoops.store(plain, std::memory_order_relaxed);
}

void toneCorrect(OpImage* image, int32_t brightness, int32_t contrast, int32_t saturation, int32_t gamma)
{
    if (!image || !image->planes[0] || image->width <= 0 || image->height <= 0)
        return;
    const size_t area = static_cast<size_t>(image->width) * static_cast<size_t>(image->height);
    uint8_t* pixels = image->planes[0];
    switch (image->format) {
    case OP_FORMAT_YUVA: {
        const ToneTables t = buildTables(brightness, contrast, saturation, gamma);
#if defined(__x86_64__)
        if (haveVbmi() && !plainLoops.load(std::memory_order_relaxed)) {
            mapYuvaVbmi(pixels, area, t);
            break;
        }
#endif
        mapYuva(pixels, area, t);
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
