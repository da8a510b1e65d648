#include "image/resampler.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace {

// Rows are combined with 8-bit weights, so the vertical pass runs in 16-bit lanes: a sum of
// samples times weights that add up to 256 never leaves 16 bits and keeps every fraction bit.
// Samples across a row are combined with 14-bit weights in 32-bit lanes.
constexpr int kRowWeightBits = 8;
constexpr int kSampleWeightBits = 14;
constexpr int kOutShift = kRowWeightBits + kSampleWeightBits;

// For every target sample: the first source sample, how many follow it, and `width` weights from
// weights[t * width], the ones past the last tap weighing nothing. `width` is even, so that the taps
// go in pairs, and the same for every target sample, so that the row loops keep one shape.
struct Taps {
    std::vector<int32_t> first, count;
    std::vector<int16_t> weights;
    int32_t width = 2;
};

Taps makeTaps(int32_t sourceCount, int32_t targetCount, double ratio, double origin, int weightBits)
{
    Taps taps;
    taps.first.resize(static_cast<size_t>(targetCount));
    taps.count.resize(static_cast<size_t>(targetCount));
    // Each target's weights one after another first; laid out `width` apart once the widest is known.
    std::vector<int16_t> packed;
    std::vector<double> cover;
    for (int32_t t = 0; t < targetCount; ++t) {
        cover.clear();
        int32_t first = 0;
        if (ratio > 1.0) {
            // Area: the share of each source sample under [t, t + 1) of the target.
            const double begin = std::clamp(origin + t * ratio, 0.0, sourceCount - 1.0);
            const double end = std::clamp(origin + (t + 1) * ratio, begin + 1e-9, static_cast<double>(sourceCount));
            first = static_cast<int32_t>(begin);
            for (int32_t s = first; s < end; ++s)
                cover.push_back(std::min<double>(end, s + 1) - std::max<double>(begin, s));
        } else {
            const double centre = std::clamp(origin + (t + 0.5) * ratio - 0.5, 0.0, sourceCount - 1.0);
            first = static_cast<int32_t>(centre);
            const double fraction = centre - first;
            cover.push_back(1.0 - fraction);
            if (first + 1 < sourceCount && fraction > 0)
                cover.push_back(fraction);
        }
        double total = 0;
        for (double c : cover)
            total += c;
        const size_t ti = static_cast<size_t>(t);
        taps.first[ti] = first;
        taps.count[ti] = static_cast<int32_t>(cover.size());
        // Integer weights that sum to exactly one, so flat areas stay exactly flat.
        const int32_t one = 1 << weightBits;
        const size_t begin = packed.size();
        int32_t sum = 0;
        for (double c : cover) {
            const auto weight = static_cast<int16_t>(std::lround(c / total * one));
            sum += weight;
            packed.push_back(weight);
        }
        const auto biggest = std::max_element(packed.begin() + static_cast<ptrdiff_t>(begin), packed.end());
        *biggest = static_cast<int16_t>(*biggest + one - sum);
        taps.width = std::max(taps.width, static_cast<int32_t>(cover.size() + 1) / 2 * 2);
    }
    taps.weights.assign(static_cast<size_t>(targetCount) * static_cast<size_t>(taps.width), 0);
    auto from = packed.begin();
    for (size_t t = 0; t < taps.count.size(); ++t) {
        std::copy_n(from, taps.count[t], taps.weights.begin() + static_cast<ptrdiff_t>(t * static_cast<size_t>(taps.width)));
        from += taps.count[t];
    }
    return taps;
}

typedef uint8_t U8x16 __attribute__((vector_size(16)));
typedef uint16_t U16x16 __attribute__((vector_size(32)));

// The row loops are built twice: for processors with AVX2 (wider lanes, a 32-bit multiply) and for any other.
#define HX_WITH_AVX2 __attribute__((target_clones("avx2", "default")))

#if defined(__x86_64__)
// Processors with AVX2 run the two row loops below in 256-bit lanes, two pixels of a row at a time
// across; the results are the same to the bit.
const bool kHaveAvx2 = __builtin_cpu_supports("avx2");

__attribute__((target("avx2"))) void filterRowsAvx2(const uint8_t* const* rows, const int16_t* weights, int32_t count,
                                                    size_t bytes, uint16_t* mid)
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
    for (; i < bytes; ++i) {
        uint16_t sum = 0;
        for (int32_t k = 0; k < count; ++k)
            sum = static_cast<uint16_t>(sum + rows[k][i] * weights[k]);
        mid[i] = sum;
    }
}
#endif

// mid = the weighted sum of source rows, 8 fraction bits.
void filterRows(const uint8_t* const* rows, const int16_t* weights, int32_t count, size_t bytes, uint16_t* mid)
{
#if defined(__x86_64__)
    if (kHaveAvx2)
        return filterRowsAvx2(rows, weights, count, bytes, mid);
#endif
    size_t i = 0;
    for (; i + 32 <= bytes; i += 32) {
        U16x16 low = {}, high = {};
        for (int32_t k = 0; k < count; ++k) {
            const uint16_t weight = static_cast<uint16_t>(weights[k]);
            U8x16 a, b;
            std::memcpy(&a, rows[k] + i, sizeof a);
            std::memcpy(&b, rows[k] + i + 16, sizeof b);
            low += __builtin_convertvector(a, U16x16) * weight;
            high += __builtin_convertvector(b, U16x16) * weight;
        }
        std::memcpy(mid + i, &low, sizeof low);
        std::memcpy(mid + i + 16, &high, sizeof high);
    }
    for (; i < bytes; ++i) {
        uint16_t sum = 0;
        for (int32_t k = 0; k < count; ++k)
            sum = static_cast<uint16_t>(sum + rows[k][i] * weights[k]);
        mid[i] = sum;
    }
}

typedef uint32_t U32x4 __attribute__((vector_size(16)));
typedef uint16_t U16x4 __attribute__((vector_size(8)));
typedef uint8_t U8x4 __attribute__((vector_size(4)));

constexpr uint32_t kHalfOut = 1u << (kOutShift - 1);

// One four-byte pixel: the weighted sum of `count` pixels of mid, `step` samples apart; the pixel
// after the last may be read, with weight 0.
inline void filterPixel(const uint16_t* in, size_t step, const int16_t* w, int32_t count, uint8_t* out)
{
#if defined(__SSE2__)
    // Pairs of taps through one multiply-add of signed 16-bit lanes. The samples go in with their top
    // bit flipped (sample - 32768), which takes 32768 x the weights' sum, 2^29, off every total.
    const __m128i flip = _mm_set1_epi16(static_cast<int16_t>(0x8000));
    __m128i acc = _mm_set1_epi32(static_cast<int32_t>(kHalfOut + (1u << 29)));
    for (int32_t k = 0; k < count; k += 2, in += 2 * step) {
        const __m128i a = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(in));
        const __m128i b = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(in + step));
        int32_t pair;
        std::memcpy(&pair, w + k, sizeof pair);
        acc = _mm_add_epi32(acc, _mm_madd_epi16(_mm_xor_si128(_mm_unpacklo_epi16(a, b), flip), _mm_set1_epi32(pair)));
    }
    const __m128i words = _mm_packs_epi32(_mm_srli_epi32(acc, kOutShift), _mm_setzero_si128());
    const int32_t bytes = _mm_cvtsi128_si32(_mm_packus_epi16(words, words));
#else
    U32x4 acc = {kHalfOut, kHalfOut, kHalfOut, kHalfOut};
    for (int32_t k = 0; k < count; ++k, in += step) {
        U16x4 samples;
        std::memcpy(&samples, in, sizeof samples);
        acc += __builtin_convertvector(samples, U32x4) * static_cast<uint32_t>(w[k]);
    }
    const U8x4 bytes = __builtin_convertvector(acc >> kOutShift, U8x4);
#endif
    std::memcpy(out, &bytes, sizeof bytes);
}

#if defined(__x86_64__)
// Four-byte pixels from `Pairs` pairs of neighbouring pixels of mid each: one load brings a pair in,
// one multiply-add weighs it, and the loop has the same shape for every pixel of the row. The
// samples go in with their top bit flipped, as in filterPixel.
template <int Pairs> void filterPixelRow(const uint16_t* in, const int32_t* first, const int16_t* weights, int32_t targets, uint8_t* out)
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

// The same, two target pixels at once: the first in the low 128-bit lane, the second in the high one.
template <int Pairs>
__attribute__((target("avx2"))) void filterPixelRowAvx2(const uint16_t* in, const int32_t* first, const int16_t* weights,
                                                        int32_t targets, uint8_t* out)
{
    const __m256i flip = _mm256_set1_epi16(static_cast<int16_t>(0x8000));
    const __m256i bias = _mm256_set1_epi32(static_cast<int32_t>(kHalfOut + (1u << 29)));
    const __m256i gather = _mm256_setr_epi32(0, 4, 0, 0, 0, 0, 0, 0);
    int32_t t = 0;
    for (; t + 2 <= targets; t += 2, out += 8, weights += 4 * Pairs) {
        const uint16_t* a = in + 4 * static_cast<size_t>(first[t]);
        const uint16_t* b = in + 4 * static_cast<size_t>(first[t + 1]);
        __m256i acc = bias;
        for (int p = 0; p < Pairs; ++p, a += 8, b += 8) {
            const __m256i both = _mm256_inserti128_si256(
                _mm256_castsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(a))),
                _mm_loadu_si128(reinterpret_cast<const __m128i*>(b)), 1);
            const __m256i paired = _mm256_unpacklo_epi16(both, _mm256_unpackhi_epi64(both, both));
            int32_t pairA, pairB;
            std::memcpy(&pairA, weights + 2 * p, sizeof pairA);
            std::memcpy(&pairB, weights + 2 * Pairs + 2 * p, sizeof pairB);
            const __m256i weight = _mm256_inserti128_si256(_mm256_set1_epi32(pairA), _mm_set1_epi32(pairB), 1);
            acc = _mm256_add_epi32(acc, _mm256_madd_epi16(_mm256_xor_si256(paired, flip), weight));
        }
        const __m256i words = _mm256_packs_epi32(_mm256_srli_epi32(acc, kOutShift), _mm256_setzero_si256());
        const __m256i bytes = _mm256_permutevar8x32_epi32(_mm256_packus_epi16(words, words), gather);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out), _mm256_castsi256_si128(bytes));
    }
    if (t < targets)
        filterPixelRow<Pairs>(in, first + t, weights, 1, out);
}

template <int Pairs> void filterPixels(const uint16_t* in, const Taps& taps, int32_t targets, uint8_t* out)
{
    if (kHaveAvx2)
        filterPixelRowAvx2<Pairs>(in, taps.first.data(), taps.weights.data(), targets, out);
    else
        filterPixelRow<Pairs>(in, taps.first.data(), taps.weights.data(), targets, out);
}
#endif

// Interleaved four-byte pixels with up to eight taps each, the case of every window the host scales.
bool filterPixelsAcross(const uint16_t* mid, const hx::ChannelScale& channel, const Taps& taps, uint8_t* out)
{
#if defined(__x86_64__)
    if (channel.lanes != 4 || channel.from.step != 4 || channel.to.step != 4)
        return false;
    const uint16_t* in = mid + channel.from.offset;
    uint8_t* o = out + channel.to.offset;
    switch (taps.width) {
    case 2: filterPixels<1>(in, taps, channel.to.count, o); return true;
    case 4: filterPixels<2>(in, taps, channel.to.count, o); return true;
    case 6: filterPixels<3>(in, taps, channel.to.count, o); return true;
    case 8: filterPixels<4>(in, taps, channel.to.count, o); return true;
    default: return false;
    }
#else
    (void)mid, (void)channel, (void)taps, (void)out;
    return false;
#endif
}

HX_WITH_AVX2 void filterAcross(const uint16_t* mid, const hx::ChannelScale& channel, const Taps& taps, uint8_t* out)
{
    const hx::SampleRun& from = channel.from;
    const hx::SampleRun& to = channel.to;
    for (int32_t t = 0; t < to.count; ++t) {
        const size_t ti = static_cast<size_t>(t);
        const int16_t* w = taps.weights.data() + ti * static_cast<size_t>(taps.width);
        const uint16_t* in = mid + from.offset + static_cast<size_t>(taps.first[ti]) * from.step;
        uint8_t* o = out + to.offset + ti * to.step;
        const int32_t count = taps.count[ti];
        if (channel.lanes == 4) {
            filterPixel(in, from.step, w, count, o);
        } else {
            uint32_t acc = kHalfOut;
            for (int32_t k = 0; k < count; ++k, in += from.step)
                acc += static_cast<uint32_t>(w[k]) * *in;
            *o = static_cast<uint8_t>(acc >> kOutShift);
        }
    }
}

} // namespace

namespace hx {

void resamplePlane(const PlaneScale& plane)
{
    const Taps down = makeTaps(plane.sourceRows, plane.targetRows, plane.rowRatio, plane.rowOrigin, kRowWeightBits);
    std::vector<Taps> across;
    for (const ChannelScale& channel : plane.channels)
        across.push_back(makeTaps(std::max(channel.from.count, 1), channel.to.count, channel.ratio, channel.origin,
                                  kSampleWeightBits));
    const size_t bytes = plane.sourceRowBytes;
    const size_t stride = plane.sourceStride ? plane.sourceStride : bytes;
    // Room past the row for whole pairs of taps: the weights there are 0, but the bytes are read.
    int32_t widest = 0;
    for (const Taps& taps : across)
        widest = std::max(widest, taps.width);
    std::vector<uint16_t> mid(bytes + 4 * static_cast<size_t>(widest));
    std::vector<const uint8_t*> rows;
    for (int32_t t = 0; t < plane.targetRows; ++t) {
        const size_t ti = static_cast<size_t>(t);
        rows.clear();
        for (int32_t k = 0; k < down.count[ti]; ++k)
            rows.push_back(plane.source + static_cast<size_t>(down.first[ti] + k) * stride);
        filterRows(rows.data(), down.weights.data() + ti * static_cast<size_t>(down.width), down.count[ti], bytes, mid.data());
        uint8_t* out = plane.target + ti * plane.targetRowBytes;
        for (size_t c = 0; c < plane.channels.size(); ++c) {
            const ChannelScale& channel = plane.channels[c];
            if (channel.from.count > 0) {
                if (!filterPixelsAcross(mid.data(), channel, across[c], out))
                    filterAcross(mid.data(), channel, across[c], out);
                continue;
            }
            for (int32_t s = 0; s < channel.to.count; ++s)
                out[channel.to.offset + static_cast<size_t>(s) * channel.to.step] = 128;
        }
    }
}

} // namespace hx
