// The resampler's loops in 256-bit lanes, for processors with AVX2; the same results to the bit.
#include "image/resampler_lanes.h"

#if defined(__x86_64__)

namespace hx::resampling {

HX_AVX2 void filterRowsAvx2(const uint8_t* const* rows, const int16_t* weights, int32_t count, size_t bytes, uint16_t* mid)
{
    size_t i = 0;
    for (; i + 32 <= bytes; i += 32) {
        __m256i low = _mm256_setzero_si256(), high = _mm256_setzero_si256();
        for (int32_t k = 0; k < count; ++k) {
            const __m256i weight = _mm256_set1_epi16(weights[k]);
            const __m256i a = _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[k] + i)));
            const __m256i b = _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[k] + i + 16)));
            low = _mm256_add_epi16(low, _mm256_mullo_epi16(a, weight));
            high = _mm256_add_epi16(high, _mm256_mullo_epi16(b, weight));
        }
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(mid + i), low);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(mid + i + 16), high);
    }
    filterRowBytes(rows, weights, count, i, bytes, mid);
}
// Within every 128 bits, two neighbouring pixels of mid become (tap 0, tap 1) of each of the four
// bytes side by side, their top bits flipped as in filterPixel.
HX_AVX2 inline __m256i pairTaps(__m256i pixels)
{
    const __m256i order = _mm256_setr_epi8(0, 1, 8, 9, 2, 3, 10, 11, 4, 5, 12, 13, 6, 7, 14, 15,
                                           0, 1, 8, 9, 2, 3, 10, 11, 4, 5, 12, 13, 6, 7, 14, 15);
    return _mm256_xor_si256(_mm256_shuffle_epi8(pixels, order), _mm256_set1_epi16(static_cast<int16_t>(0x8000)));
}

// Two target pixels of 256-bit lanes: the first in the low 128 bits, the second in the high ones.
template <int Quads> HX_AVX2 inline __m256i pixelPairAvx2(const uint16_t* in, const int32_t* first, const int32_t* weights)
{
    const uint16_t* a = in + 4 * static_cast<size_t>(first[0]);
    const uint16_t* b = in + 4 * static_cast<size_t>(first[1]);
    const __m256i bias = _mm256_set1_epi32(kFlippedBias);
    if constexpr (Quads == 0) {
        const __m256i both = _mm256_inserti128_si256(_mm256_castsi128_si256(load128(a)), load128(b), 1);
        return _mm256_add_epi32(bias, _mm256_madd_epi16(pairTaps(both), load256(weights)));
    } else {
        // Each pixel's sums end up split between its two halves.
        __m256i sumA = _mm256_setzero_si256(), sumB = _mm256_setzero_si256();
        for (int q = 0; q < Quads; ++q) {
            sumA = _mm256_add_epi32(sumA, _mm256_madd_epi16(pairTaps(load256(a + 16 * q)), load256(weights + 8 * q)));
            sumB = _mm256_add_epi32(sumB, _mm256_madd_epi16(pairTaps(load256(b + 16 * q)),
                                                            load256(weights + 8 * (Quads + q))));
        }
        return _mm256_add_epi32(_mm256_add_epi32(bias, _mm256_permute2x128_si256(sumA, sumB, 0x20)),
                                _mm256_permute2x128_si256(sumA, sumB, 0x31));
    }
}

// Four target pixels at a time; the last few through filterPixelRow.
template <int Pairs>
HX_AVX2 void filterPixelRowAvx2(const uint16_t* in, const Taps& taps, int32_t targets, uint8_t* out)
{
    constexpr int Quads = quadsOf(Pairs);
    const __m256i gather = _mm256_setr_epi32(0, 4, 1, 5, 0, 0, 0, 0);
    const int32_t* first = taps.first.data();
    const size_t perPixel = Quads == 0 ? 4 : 8 * static_cast<size_t>(Quads);
    int32_t t = 0;
    for (; t + 4 <= targets; t += 4, out += 16) {
        const __m256i ab = pixelPairAvx2<Quads>(in, first + t, taps.spread.data() + static_cast<size_t>(t) * perPixel);
        const __m256i cd = pixelPairAvx2<Quads>(in, first + t + 2, taps.spread.data() + static_cast<size_t>(t + 2) * perPixel);
        // packs gives (a, c | b, d) in words, packus (a, c, a, c | b, d, b, d) in bytes.
        const __m256i words = _mm256_packs_epi32(_mm256_srli_epi32(ab, kOutShift), _mm256_srli_epi32(cd, kOutShift));
        const __m256i bytes = _mm256_permutevar8x32_epi32(_mm256_packus_epi16(words, words), gather);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm256_castsi256_si128(bytes));
    }
    filterPixelRow<Pairs>(in, first + t, taps.weights.data() + static_cast<size_t>(t) * 2 * Pairs, targets - t, out);
}

template void filterPixelRowAvx2<1>(const uint16_t*, const Taps&, int32_t, uint8_t*);
template void filterPixelRowAvx2<2>(const uint16_t*, const Taps&, int32_t, uint8_t*);
template void filterPixelRowAvx2<3>(const uint16_t*, const Taps&, int32_t, uint8_t*);
template void filterPixelRowAvx2<4>(const uint16_t*, const Taps&, int32_t, uint8_t*);

} // namespace hx::resampling

#endif
