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
HX_AVX2 int32_t weaveLumaAvx2(const uint8_t* p, int32_t width, uint8_t* y)
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

HX_AVX2 int32_t weaveChromaAvx2(const uint8_t* a, const uint8_t* b, int32_t pairs, uint8_t* u, uint8_t* v)
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

#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized" // GCC 12's 512-bit intrinsics start from an undefined vector
#endif

// The luma of sixteen pixels, one in the low byte of each 32-bit lane.
HX_AVX512 inline __m512i lumaOf(const uint8_t* p)
{
    return _mm512_srli_epi32(_mm512_loadu_si512(p), 24);
}

// Sixty-four luma bytes at a time: each pixel's top byte, packed down in 128-bit lanes, which leaves
// its blocks of four transposed; one permute puts them back in order.
HX_AVX512 int32_t weaveLumaAvx512(const uint8_t* p, int32_t width, uint8_t* y)
{
    const __m512i order = _mm512_setr_epi32(0, 4, 8, 12, 1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15);
    int32_t x = 0;
    for (; x + 64 <= width; x += 64, p += 256) {
        const __m512i words = _mm512_packus_epi32(lumaOf(p), lumaOf(p + 64)), more = _mm512_packus_epi32(lumaOf(p + 128), lumaOf(p + 192));
        _mm512_storeu_si512(y + x, _mm512_permutexvar_epi32(order, _mm512_packus_epi16(words, more)));
    }
    return x;
}

// The rounded means of the 2 x 2 pixels of eight pairs, from sixteen pixels of each of two rows.
// Within each 128-bit lane the rows' sums of one pair take the low words of one vector and of the
// next pair the high words of another; shifting each lane half over the other adds a pair's two
// pixels. U and V end up at words 1, 3, 4 and 6 of each lane.
HX_AVX512 inline __m512i chromaMeans(const uint8_t* top, const uint8_t* bottom)
{
    const __m512i zero = _mm512_setzero_si512();
    const __m512i t = _mm512_loadu_si512(top), s = _mm512_loadu_si512(bottom);
    const __m512i even = _mm512_add_epi16(_mm512_unpacklo_epi8(t, zero), _mm512_unpacklo_epi8(s, zero));
    const __m512i odd = _mm512_add_epi16(_mm512_unpackhi_epi8(t, zero), _mm512_unpackhi_epi8(s, zero));
    const __m512i sums = _mm512_unpacklo_epi32(_mm512_add_epi16(even, _mm512_bsrli_epi128(even, 8)),
                                               _mm512_add_epi16(odd, _mm512_bsrli_epi128(odd, 8)));
    return _mm512_srli_epi16(_mm512_add_epi16(sums, _mm512_set1_epi16(2)), 2);
}

// Sixteen pairs of chroma samples at a time; one byte permute gathers the means.
HX_VBMI int32_t weaveChromaVbmi(const uint8_t* a, const uint8_t* b, int32_t pairs, uint8_t* u, uint8_t* v)
{
    alignas(64) uint8_t gather[64] = {};
    // After the pack, lane i holds in bytes 1, 3, 4, 6 the U and V of pairs 2i and 2i + 1, and in
    // bytes 9, 11, 12, 14 those of pairs 8 + 2i and 9 + 2i.
    for (int i = 0; i < 4; ++i)
        for (int half = 0; half < 2; ++half) {
            const int pair = 8 * half + 2 * i, at = 16 * i + 8 * half;
            gather[pair] = static_cast<uint8_t>(at + 1);
            gather[pair + 1] = static_cast<uint8_t>(at + 3);
            gather[16 + pair] = static_cast<uint8_t>(at + 4);
            gather[16 + pair + 1] = static_cast<uint8_t>(at + 6);
        }
    const __m512i order = _mm512_load_si512(gather);
    int32_t x = 0;
    for (; x + 16 <= pairs; x += 16, a += 128, b += 128) {
        const __m512i bytes = _mm512_permutexvar_epi8(order, _mm512_packus_epi16(chromaMeans(a, b), chromaMeans(a + 64, b + 64)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(u + x), _mm512_castsi512_si128(bytes));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(v + x), _mm512_extracti32x4_epi32(bytes, 1));
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
    const VectorWidth vectors = vectorWidth();
    const bool wide = vectors != VectorWidth::Basic, widest = vectors == VectorWidth::Avx512;
    const bool bytePermutes = haveBytePermutes();
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
            if (widest)
                done = weaveLumaAvx512(p, width, y);
            if (wide)
                done += weaveLumaAvx2(p + 4 * static_cast<size_t>(done), width - done, y + done);
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
            if (bytePermutes)
                done = weaveChromaVbmi(a, b, width / 2, u, v);
            if (wide)
                done += weaveChromaAvx2(a + 8 * static_cast<size_t>(done), b + 8 * static_cast<size_t>(done), width / 2 - done, u + done,
                                        v + done);
#endif
            weaveChroma(a, b, width / 2, u, v, done);
        }
    });
}

bool frameFields(const OpImage* first, const OpImage* second, const hxhost::VideoFileFormat& format, const OpImage** top,
                 const OpImage** bottom)
{
    *top = format.bottomFirst ? second : first;
    *bottom = format.bottomFirst ? first : second;
    return fieldsWeave(*top, *bottom) && (*top)->width == format.width && 2 * (*top)->height == format.height;
}

size_t frameBytes(const hxhost::VideoFileFormat& format)
{
    return static_cast<size_t>(format.width) * static_cast<size_t>(format.height) * 3 / 2;
}

void weaveFrame(const OpImage* top, const OpImage* bottom, const hxhost::VideoFileFormat& format, uint8_t* planes)
{
    const size_t luma = static_cast<size_t>(format.width) * static_cast<size_t>(format.height);
    const size_t chromaRow = static_cast<size_t>(format.width / 2);
    weaveFields420(top, bottom,
                   {planes, planes + luma, planes + luma + luma / 4, static_cast<size_t>(format.width), chromaRow, chromaRow});
}

} // namespace hx
