#include "image/resampler.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Rows are combined with 8-bit weights, so the vertical pass runs in 16-bit lanes: a sum of
// samples times weights that add up to 256 never leaves 16 bits and keeps every fraction bit.
// Samples across a row are combined with 14-bit weights in 32-bit lanes.
constexpr int kRowWeightBits = 8;
constexpr int kSampleWeightBits = 14;
constexpr int kOutShift = kRowWeightBits + kSampleWeightBits;

// For every target sample: the first source sample and the weights of it and the ones after it.
struct Taps {
    std::vector<int32_t> first, count, start;
    std::vector<int16_t> weights;
};

Taps makeTaps(int32_t sourceCount, int32_t targetCount, double ratio, double origin, int weightBits)
{
    Taps taps;
    taps.first.resize(static_cast<size_t>(targetCount));
    taps.count.resize(static_cast<size_t>(targetCount));
    taps.start.resize(static_cast<size_t>(targetCount));
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
        taps.first[static_cast<size_t>(t)] = first;
        taps.count[static_cast<size_t>(t)] = static_cast<int32_t>(cover.size());
        taps.start[static_cast<size_t>(t)] = static_cast<int32_t>(taps.weights.size());
        // Integer weights that sum to exactly one, so flat areas stay exactly flat.
        const int32_t one = 1 << weightBits;
        const size_t begin = taps.weights.size();
        int32_t sum = 0;
        for (double c : cover) {
            const auto weight = static_cast<int16_t>(std::lround(c / total * one));
            sum += weight;
            taps.weights.push_back(weight);
        }
        const auto biggest = std::max_element(taps.weights.begin() + static_cast<ptrdiff_t>(begin), taps.weights.end());
        *biggest = static_cast<int16_t>(*biggest + one - sum);
        if (cover.size() % 2)
            taps.weights.push_back(0); // weights go in pairs; the one past the last tap weighs nothing

    }
    return taps;
}

typedef uint8_t U8x16 __attribute__((vector_size(16)));
typedef uint16_t U16x16 __attribute__((vector_size(32)));

// The row loops are built twice: for processors with AVX2 (wider lanes, a 32-bit multiply) and for any other.
#define HX_WITH_AVX2 __attribute__((target_clones("avx2", "default")))

// mid = the weighted sum of source rows, 8 fraction bits.
HX_WITH_AVX2 void filterRows(const uint8_t* const* rows, const int16_t* weights, int32_t count, size_t bytes, uint16_t* mid)
{
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

// Four-byte pixels, each from at most two neighbouring pixels of mid: the common case of a window
// scaled to about its own size. Both neighbours come in with one load; the loop keeps its constants.
HX_WITH_AVX2 bool filterAcrossPairs(const uint16_t* mid, const hx::ChannelScale& channel, const Taps& taps, uint8_t* out)
{
#if defined(__SSE2__)
    if (channel.lanes != 4 || channel.from.step != 4 || channel.to.step != 4)
        return false;
    const int32_t* count = taps.count.data();
    if (std::any_of(count, count + channel.to.count, [](int32_t c) { return c > 2; }))
        return false;
    const int32_t* first = taps.first.data();
    const int32_t* start = taps.start.data();
    const int16_t* weights = taps.weights.data();
    const uint16_t* in = mid + channel.from.offset;
    uint8_t* o = out + channel.to.offset;
    const __m128i flip = _mm_set1_epi16(static_cast<int16_t>(0x8000));
    const __m128i bias = _mm_set1_epi32(static_cast<int32_t>(kHalfOut + (1u << 29)));
    for (int32_t t = 0; t < channel.to.count; ++t, o += 4) {
        const __m128i both = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in + 4 * static_cast<size_t>(first[t])));
        const __m128i paired = _mm_unpacklo_epi16(both, _mm_unpackhi_epi64(both, both));
        int32_t pair;
        std::memcpy(&pair, weights + start[t], sizeof pair);
        const __m128i acc = _mm_add_epi32(bias, _mm_madd_epi16(_mm_xor_si128(paired, flip), _mm_set1_epi32(pair)));
        const __m128i words = _mm_packs_epi32(_mm_srli_epi32(acc, kOutShift), _mm_setzero_si128());
        const int32_t bytes = _mm_cvtsi128_si32(_mm_packus_epi16(words, words));
        std::memcpy(o, &bytes, sizeof bytes);
    }
    return true;
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
        const int16_t* w = taps.weights.data() + taps.start[ti];
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
    std::vector<uint16_t> mid(bytes + 4); // a pixel past the row for the last pair of taps
    std::vector<const uint8_t*> rows;
    for (int32_t t = 0; t < plane.targetRows; ++t) {
        const size_t ti = static_cast<size_t>(t);
        rows.clear();
        for (int32_t k = 0; k < down.count[ti]; ++k)
            rows.push_back(plane.source + static_cast<size_t>(down.first[ti] + k) * stride);
        filterRows(rows.data(), down.weights.data() + down.start[ti], down.count[ti], bytes, mid.data());
        uint8_t* out = plane.target + ti * plane.targetRowBytes;
        for (size_t c = 0; c < plane.channels.size(); ++c) {
            const ChannelScale& channel = plane.channels[c];
            if (channel.from.count > 0) {
                if (!filterAcrossPairs(mid.data(), channel, across[c], out))
                    filterAcross(mid.data(), channel, across[c], out);
                continue;
            }
            for (int32_t s = 0; s < channel.to.count; ++s)
                out[channel.to.offset + static_cast<size_t>(s) * channel.to.step] = 128;
        }
    }
}

} // namespace hx
