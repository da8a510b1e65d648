// What the resampler's plain loops and its AVX2 and AVX-512 ones share: the weights' fixed point,
// the taps, and the loop across a row of four-byte pixels that finishes what the wide loops leave.
#ifndef HX_RESAMPLER_LANES_H
#define HX_RESAMPLER_LANES_H

#include "image/vector_width.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace hx::resampling {

// Rows are combined with 8-bit weights, so the vertical pass runs in 16-bit lanes: a sum of
// samples times weights that add up to 256 never leaves 16 bits and keeps every fraction bit.
// Samples across a row are combined with 14-bit weights in 32-bit lanes.
constexpr int kRowWeightBits = 8;
constexpr int kSampleWeightBits = 14;
constexpr int kOutShift = kRowWeightBits + kSampleWeightBits;
constexpr uint32_t kHalfOut = 1u << (kOutShift - 1);
constexpr int32_t kFlippedBias = static_cast<int32_t>(kHalfOut + (1u << 29));

// For every target sample: the first source sample, how many follow it, and `width` weights from
// weights[t * width], the ones past the last tap weighing nothing. `width` is even, so that the taps
// go in pairs, and the same for every target sample, so that the row loops keep one shape.
struct Taps {
    std::vector<int32_t> first, count;
    std::vector<int16_t> weights;
    int32_t width = 2;
    std::vector<int32_t> spread; // the weights laid out for the wide loops across a row, when they run
};

// Bytes `from` to `bytes` of mid, one at a time.
void filterRowBytes(const uint8_t* const* rows, const int16_t* weights, int32_t count, size_t from, size_t bytes, uint16_t* mid);

#if defined(__x86_64__)
// Four-byte pixels from `Pairs` pairs of neighbouring pixels of mid each: one load brings a pair in,
// one multiply-add weighs it, and the loop has the same shape for every pixel of the row. The
// samples go in with their top bit flipped, as in filterPixel.
template <int Pairs> inline void filterPixelRow(const uint16_t* in, const int32_t* first, const int16_t* weights, int32_t targets, uint8_t* out)
{
    const __m128i flip = _mm_set1_epi16(static_cast<int16_t>(0x8000));
    const __m128i bias = _mm_set1_epi32(static_cast<int32_t>(kHalfOut + (1u << 29)));
    for (int32_t t = 0; t < targets; ++t, out += 4, weights += 2 * Pairs) {
        const uint16_t* pixel = in + 4 * static_cast<size_t>(first[t]);
        __m128i acc = bias;
        for (int p = 0; p < Pairs; ++p, pixel += 8) {
            const __m128i both = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pixel));
            const __m128i paired = _mm_unpacklo_epi16(both, _mm_unpackhi_epi64(both, both));
            int32_t pair;
            std::memcpy(&pair, weights + 2 * p, sizeof pair);
            acc = _mm_add_epi32(acc, _mm_madd_epi16(_mm_xor_si128(paired, flip), _mm_set1_epi32(pair)));
        }
        const __m128i words = _mm_packs_epi32(_mm_srli_epi32(acc, kOutShift), _mm_setzero_si128());
        const int32_t bytes = _mm_cvtsi128_si32(_mm_packus_epi16(words, words));
        std::memcpy(out, &bytes, sizeof bytes);
    }
}

// Groups of four taps the wide loops take a pixel's weights in: 0 for pixels of two taps.
constexpr int quadsOf(int pairs)
{
    return pairs == 1 ? 0 : (pairs + 1) / 2;
}

HX_AVX2 inline __m256i load256(const void* from)
{
    return _mm256_loadu_si256(static_cast<const __m256i*>(from));
}

HX_AVX2 inline __m128i load128(const void* from)
{
    return _mm_loadu_si128(static_cast<const __m128i*>(from));
}

// mid = the weighted sum of source rows, 8 fraction bits, in 256-bit and 512-bit lanes.
HX_AVX2 void filterRowsAvx2(const uint8_t* const* rows, const int16_t* weights, int32_t count, size_t bytes, uint16_t* mid);
HX_AVX512 void filterRowsAvx512(const uint8_t* const* rows, const int16_t* weights, int32_t count, size_t bytes, uint16_t* mid);
// Four-byte pixels of `Pairs` pairs of taps across a row of mid, four at a time, from the weights
// laid out in taps.spread; made for 1 to 4 pairs.
template <int Pairs> HX_AVX2 void filterPixelRowAvx2(const uint16_t* in, const Taps& taps, int32_t targets, uint8_t* out);
template <int Pairs> HX_AVX512 void filterPixelRowAvx512(const uint16_t* in, const Taps& taps, int32_t targets, uint8_t* out);
#endif

} // namespace hx::resampling

#endif
