// The resampler's loops in 512-bit lanes, for processors with AVX-512; the same results to the bit.
#include "image/resampler_lanes.h"

#include <algorithm>

#if defined(__x86_64__)

// GCC 12 builds its 512-bit intrinsics on an undefined vector and then warns that it may be used
// uninitialised; nothing here reads one.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

namespace hx::resampling {

HX_AVX512 void filterRowsAvx512(const uint8_t* const* rows, const int16_t* weights, int32_t count, size_t bytes, uint16_t* mid)
{
    // 64 bytes at a time; the masks hold the last block to the row.
    for (size_t i = 0; i < bytes; i += 64) {
        const size_t left = std::min<size_t>(bytes - i, 64);
        const __mmask32 lowMask = left >= 32 ? ~__mmask32{0} : (__mmask32{1} << left) - 1;
        const __mmask32 highMask = left > 32 ? static_cast<__mmask32>((uint64_t{1} << (left - 32)) - 1) : 0;
        __m512i low = _mm512_setzero_si512(), high = _mm512_setzero_si512();
        for (int32_t k = 0; k < count; ++k) {
            const __m512i weight = _mm512_set1_epi16(weights[k]);
            const __m512i a = _mm512_cvtepu8_epi16(_mm256_maskz_loadu_epi8(lowMask, rows[k] + i));
            const __m512i b = _mm512_cvtepu8_epi16(_mm256_maskz_loadu_epi8(highMask, rows[k] + i + 32));
            low = _mm512_add_epi16(low, _mm512_mullo_epi16(a, weight));
            high = _mm512_add_epi16(high, _mm512_mullo_epi16(b, weight));
        }
        _mm512_mask_storeu_epi16(mid + i, lowMask, low);
        _mm512_mask_storeu_epi16(mid + i + 32, highMask, high);
    }
}

HX_AVX512 inline __m512i pairTaps(__m512i pixels)
{
    // The byte order of the 256-bit pairTaps, in each 128 bits.
    const __m512i order = _mm512_set4_epi32(0x0F0E0706, 0x0D0C0504, 0x0B0A0302, 0x09080100);
    return _mm512_xor_si512(_mm512_shuffle_epi8(pixels, order), _mm512_set1_epi16(static_cast<int16_t>(0x8000)));
}

// Weighed taps of target pixels in 512-bit lanes: four pixels of two taps, one in each 128 bits;
// two pixels of four taps, one in each 256 bits; or one pixel of eight taps.
HX_AVX512 inline __m512i weighTaps(__m512i pixels, const int32_t* weights)
{
    return _mm512_madd_epi16(pairTaps(pixels), _mm512_loadu_si512(weights));
}

// Neighbouring 128-bit parts of x and y summed, with the bias: (x0 + x1, x2 + x3, y0 + y1, y2 + y3).
HX_AVX512 inline __m512i foldParts(__m512i x, __m512i y, __m512i bias)
{
    return _mm512_add_epi32(_mm512_add_epi32(bias, _mm512_shuffle_i64x2(x, y, _MM_SHUFFLE(2, 0, 2, 0))),
                            _mm512_shuffle_i64x2(x, y, _MM_SHUFFLE(3, 1, 3, 1)));
}

// Halves of x and y summed: (x0 + x2, x1 + x3, y0 + y2, y1 + y3) in 128-bit parts.
HX_AVX512 inline __m512i halves(__m512i x, __m512i y)
{
    return _mm512_add_epi32(_mm512_shuffle_i64x2(x, y, _MM_SHUFFLE(1, 0, 1, 0)), _mm512_shuffle_i64x2(x, y, _MM_SHUFFLE(3, 2, 3, 2)));
}

// Four target pixels, one in each 128 bits, with the bias that undoes the flipped samples and rounds.
template <int Quads> HX_AVX512 inline __m512i pixelQuadAvx512(const uint16_t* in, const int32_t* first, const int32_t* weights)
{
    const uint16_t* p0 = in + 4 * static_cast<size_t>(first[0]);
    const uint16_t* p1 = in + 4 * static_cast<size_t>(first[1]);
    const uint16_t* p2 = in + 4 * static_cast<size_t>(first[2]);
    const uint16_t* p3 = in + 4 * static_cast<size_t>(first[3]);
    const __m512i bias = _mm512_set1_epi32(kFlippedBias);
    if constexpr (Quads == 0) {
        const __m512i pixels = _mm512_inserti32x4(
            _mm512_inserti32x4(_mm512_inserti32x4(_mm512_zextsi128_si512(load128(p0)), load128(p1), 1), load128(p2), 2), load128(p3), 3);
        return _mm512_add_epi32(bias, weighTaps(pixels, weights));
    } else if constexpr (Quads == 1) {
        const __m512i ab = weighTaps(_mm512_inserti64x4(_mm512_zextsi256_si512(load256(p0)), load256(p1), 1), weights);
        const __m512i cd = weighTaps(_mm512_inserti64x4(_mm512_zextsi256_si512(load256(p2)), load256(p3), 1), weights + 16);
        return foldParts(ab, cd, bias);
    } else {
        const __m512i ab = halves(weighTaps(_mm512_loadu_si512(p0), weights), weighTaps(_mm512_loadu_si512(p1), weights + 16));
        const __m512i cd = halves(weighTaps(_mm512_loadu_si512(p2), weights + 32), weighTaps(_mm512_loadu_si512(p3), weights + 48));
        return foldParts(ab, cd, bias);
    }
}

template <int Pairs>
HX_AVX512 void filterPixelRowAvx512(const uint16_t* in, const Taps& taps, int32_t targets, uint8_t* out)
{
    constexpr int Quads = quadsOf(Pairs);
    const int32_t* first = taps.first.data();
    const size_t perPixel = Quads == 0 ? 4 : 8 * static_cast<size_t>(Quads);
    int32_t t = 0;
    for (; t + 4 <= targets; t += 4, out += 16) {
        const __m512i sums = pixelQuadAvx512<Quads>(in, first + t, taps.spread.data() + static_cast<size_t>(t) * perPixel);
        // Every sum is within 0..255 once shifted, so keeping its low byte is exact.
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm512_cvtepi32_epi8(_mm512_srli_epi32(sums, kOutShift)));
    }
    filterPixelRow<Pairs>(in, first + t, taps.weights.data() + static_cast<size_t>(t) * 2 * Pairs, targets - t, out);
}

template void filterPixelRowAvx512<1>(const uint16_t*, const Taps&, int32_t, uint8_t*);
template void filterPixelRowAvx512<2>(const uint16_t*, const Taps&, int32_t, uint8_t*);
template void filterPixelRowAvx512<3>(const uint16_t*, const Taps&, int32_t, uint8_t*);
template void filterPixelRowAvx512<4>(const uint16_t*, const Taps&, int32_t, uint8_t*);

} // namespace hx::resampling

#endif
