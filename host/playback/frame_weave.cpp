#include "playback/frame_weave.h"

#include "image/vector_width.h"
#include "runtime/pixel_threads.h"

#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace hx {

bool fieldsWeave(const OpImage* top, const OpImage* bottom)
{
    return top && bottom && top->format == OP_FORMAT_YUVA && bottom->format == OP_FORMAT_YUVA && top->planes[0] &&
           bottom->planes[0] && top->width == bottom->width && top->height == bottom->height && top->width % 2 == 0 &&
           top->height % 2 == 0 && top->width > 0 && top->height > 0;
}

namespace {

// Fewer field rows than this a thread are not worth waking a helper for.
constexpr int32_t kLeastRowsPerThread = 32;

// Frame row r: the luma bytes (the fourth of each pixel) of row r / 2 of its field.
void weaveLuma(const uint8_t* p, int32_t width, uint8_t* y, int32_t from)
{
    for (int32_t x = from; x < width; ++x)
        y[x] = p[4 * x + 3];
}

// Chroma row from two neighbouring rows a and b of one field: each sample the rounded mean of 2 x 2.
void weaveChroma(const uint8_t* a, const uint8_t* b, int32_t pairs, uint8_t* u, uint8_t* v, int32_t from)
{
    a += 8 * static_cast<size_t>(from);
    b += 8 * static_cast<size_t>(from);
    for (int32_t x = from; x < pairs; ++x, a += 8, b += 8) {
        u[x] = static_cast<uint8_t>((a[1] + a[5] + b[1] + b[5] + 2) >> 2);
        v[x] = static_cast<uint8_t>((a[2] + a[6] + b[2] + b[6] + 2) >> 2);
    }
}

#if defined(__x86_64__)
// The same sixteen luma bytes, and four pairs of chroma samples, at a time.
__attribute__((target("avx2"))) int32_t weaveLumaAvx2(const uint8_t* p, int32_t width, uint8_t* y)
{
    const __m128i fourth = _mm_setr_epi8(3, 7, 11, 15, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1);
    int32_t x = 0;
    for (; x + 16 <= width; x += 16, p += 64) {
        const __m128i a = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), fourth);
        const __m128i b = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16)), fourth);
        const __m128i c = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 32)), fourth);
        const __m128i d = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 48)), fourth);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(y + x), _mm_unpacklo_epi64(_mm_unpacklo_epi32(a, b), _mm_unpacklo_epi32(c, d)));
    }
    return x;
}

__attribute__((target("avx2"))) int32_t weaveChromaAvx2(const uint8_t* a, const uint8_t* b, int32_t pairs, uint8_t* u, uint8_t* v)
{
    const __m128i zero = _mm_setzero_si128(), two = _mm_set1_epi16(2);
    const __m128i split = _mm_setr_epi8(1, 5, 9, 13, 2, 6, 10, 14, -1, -1, -1, -1, -1, -1, -1, -1);
    // Sums of the 2 x 2 pixels under two chroma samples: [A U V Y] of the first, then of the second.
    auto pairSums = [&](const uint8_t* top, const uint8_t* bottom) {
        const __m128i t = _mm_loadu_si128(reinterpret_cast<const __m128i*>(top));
        const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bottom));
        const __m128i left = _mm_add_epi16(_mm_unpacklo_epi8(t, zero), _mm_unpacklo_epi8(s, zero));
        const __m128i right = _mm_add_epi16(_mm_unpackhi_epi8(t, zero), _mm_unpackhi_epi8(s, zero));
        return _mm_srli_epi16(_mm_add_epi16(_mm_add_epi16(_mm_unpacklo_epi64(left, right), _mm_unpackhi_epi64(left, right)), two), 2);
    };
    int32_t x = 0;
    for (; x + 4 <= pairs; x += 4, a += 32, b += 32) {
        const __m128i means = _mm_shuffle_epi8(_mm_packus_epi16(pairSums(a, b), pairSums(a + 16, b + 16)), split);
        const int32_t us = _mm_cvtsi128_si32(means), vs = _mm_cvtsi128_si32(_mm_srli_si128(means, 4));
        std::memcpy(u + x, &us, 4);
        std::memcpy(v + x, &vs, 4);
    }
    return x;
}
#endif

} // namespace

void weaveFields420(const OpImage* top, const OpImage* bottom, const Planes420& out)
{
    const int32_t width = top->width, fieldRows = top->height;
    const size_t rowBytes = static_cast<size_t>(width) * 4;
#if defined(__x86_64__)
    const bool wide = vectorWidth() != VectorWidth::Basic;
#else
    const bool wide = false;
#endif
    // Rows r of each field make frame rows 2r and 2r + 1, and chroma row r (which belongs to the top
    // field when r is even and to the bottom field when odd, and averages 2 x 2 pixels of two
    // neighbouring rows of its own field).
    forRowRanges(fieldRows, kLeastRowsPerThread, [&](int32_t begin, int32_t end) {
        for (int32_t r = 2 * begin; r < 2 * end; ++r) {
            const uint8_t* p = (r % 2 ? bottom : top)->planes[0] + static_cast<size_t>(r / 2) * rowBytes;
            uint8_t* y = out.y + static_cast<size_t>(r) * out.yStride;
            int32_t done = 0;
#if defined(__x86_64__)
            if (wide)
                done = weaveLumaAvx2(p, width, y);
#endif
            weaveLuma(p, width, y, done);
        }
        for (int32_t c = begin; c < end; ++c) {
            const OpImage* field = c % 2 ? bottom : top;
            const int32_t fieldRow = (c / 2) * 2;
            const uint8_t* a = field->planes[0] + static_cast<size_t>(fieldRow) * rowBytes;
            const uint8_t* b = a + rowBytes;
            uint8_t* u = out.u + static_cast<size_t>(c) * out.uStride;
            uint8_t* v = out.v + static_cast<size_t>(c) * out.vStride;
            int32_t done = 0;
#if defined(__x86_64__)
            if (wide)
                done = weaveChromaAvx2(a, b, width / 2, u, v);
#endif
            weaveChroma(a, b, width / 2, u, v, done);
        }
    });
}

} // namespace hx
