// The resampler's weights and its plain loops; the wide ones, chosen once a scaling by
// hx::vectorWidth(), are in resampler_avx2.cpp and resampler_avx512.cpp with the same results to the bit.
#include "image/resampler.h"

#include "image/resampler_lanes.h"
#include "runtime/pixel_threads.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace hx::resampling {

// Bytes `from` to `bytes` of mid, one at a time.
void filterRowBytes(const uint8_t* const* rows, const int16_t* weights, int32_t count, size_t from, size_t bytes, uint16_t* mid)
{
    for (size_t i = from; i < bytes; ++i) {
        uint16_t sum = 0;
        for (int32_t k = 0; k < count; ++k)
            sum = static_cast<uint16_t>(sum + rows[k][i] * weights[k]);
        mid[i] = sum;
    }
}

} // namespace hx::resampling

namespace {

using namespace hx::resampling;

// Fewer target rows than this a thread are not worth waking a helper for.
constexpr int32_t kLeastRowsPerThread = 16;

// std::lround for a share in [0, 2^31), without its call: the fraction x - trunc(x) is exact.
int32_t roundedShare(double x)
{
    const auto whole = static_cast<int32_t>(x);
    return x - whole >= 0.5 ? whole + 1 : whole;
}

Taps makeTaps(int32_t sourceCount, int32_t targetCount, double ratio, double origin, int weightBits)
{
    Taps taps;
    const auto targets = static_cast<size_t>(targetCount);
    taps.first.resize(targets);
    taps.count.resize(targets);
    // No more source samples than this lie under one target sample.
    const size_t most = ratio > 1.0 ? static_cast<size_t>(std::ceil(ratio)) + 2 : 2;
    // Each target's weights `most` apart first; laid out `width` apart once the widest is known.
    std::vector<int16_t> spaced(targets * most);
    std::vector<double> cover(most);
    const int32_t one = 1 << weightBits;
    int32_t widest = 0;
    for (size_t t = 0; t < targets; ++t) {
        size_t covered = 0;
        int32_t first = 0;
        if (ratio > 1.0) {
            // Area: the share of each source sample under [t, t + 1) of the target.
            const double begin = std::clamp(origin + static_cast<double>(t) * ratio, 0.0, sourceCount - 1.0);
            const double end = std::clamp(origin + static_cast<double>(t + 1) * ratio, begin + 1e-9, static_cast<double>(sourceCount));
            first = static_cast<int32_t>(begin);
            for (int32_t s = first; s < end && covered < most; ++s)
                cover[covered++] = std::min<double>(end, s + 1) - std::max<double>(begin, s);
        } else {
            const double centre = std::clamp(origin + (static_cast<double>(t) + 0.5) * ratio - 0.5, 0.0, sourceCount - 1.0);
            first = static_cast<int32_t>(centre);
            const double fraction = centre - first;
            cover[covered++] = 1.0 - fraction;
            if (first + 1 < sourceCount && fraction > 0)
                cover[covered++] = fraction;
        }
        double total = 0;
        for (size_t k = 0; k < covered; ++k)
            total += cover[k];
        taps.first[t] = first;
        taps.count[t] = static_cast<int32_t>(covered);
        // Integer weights that sum to exactly one, so flat areas stay exactly flat.
        int16_t* weights = spaced.data() + t * most;
        int32_t sum = 0;
        size_t biggest = 0;
        for (size_t k = 0; k < covered; ++k) {
            weights[k] = static_cast<int16_t>(roundedShare(cover[k] / total * one));
            sum += weights[k];
            if (weights[k] > weights[biggest])
                biggest = k;
        }
        weights[biggest] = static_cast<int16_t>(weights[biggest] + one - sum);
        widest = std::max(widest, static_cast<int32_t>(covered));
    }
    taps.width = std::max(2, (widest + 1) / 2 * 2);
    taps.weights.assign(targets * static_cast<size_t>(taps.width), 0);
    for (size_t t = 0; t < targets; ++t)
        std::copy_n(spaced.data() + t * most, taps.count[t], taps.weights.data() + t * static_cast<size_t>(taps.width));
    return taps;
}

typedef uint8_t U8x8 __attribute__((vector_size(8)));
typedef uint16_t U16x8 __attribute__((vector_size(16)));

// The general loop across a row is built twice: for processors with AVX2 (wider lanes, a 32-bit
// multiply) and for any other.
#define HX_WITH_AVX2 __attribute__((target_clones("avx2", "default")))

// mid = the weighted sum of source rows, 8 fraction bits.
void filterRows(hx::VectorWidth vectors, const uint8_t* const* rows, const int16_t* weights, int32_t count, size_t bytes,
                uint16_t* mid)
{
#if defined(__x86_64__)
    switch (vectors) {
    case hx::VectorWidth::Avx512: return filterRowsAvx512(rows, weights, count, bytes, mid);
    case hx::VectorWidth::Avx2: return filterRowsAvx2(rows, weights, count, bytes, mid);
    case hx::VectorWidth::Basic: break;
    }
#endif
    // In 128-bit vectors: wider ones of the compiler's own would go through the stack here.
    size_t i = 0;
    for (; i + 16 <= bytes; i += 16) {
        U16x8 low = {}, high = {};
        for (int32_t k = 0; k < count; ++k) {
            const uint16_t weight = static_cast<uint16_t>(weights[k]);
            U8x8 a, b;
            std::memcpy(&a, rows[k] + i, sizeof a);
            std::memcpy(&b, rows[k] + i + 8, sizeof b);
            low += __builtin_convertvector(a, U16x8) * weight;
            high += __builtin_convertvector(b, U16x8) * weight;
        }
        std::memcpy(mid + i, &low, sizeof low);
        std::memcpy(mid + i + 8, &high, sizeof high);
    }
    filterRowBytes(rows, weights, count, i, bytes, mid);
}

typedef uint32_t U32x4 __attribute__((vector_size(16)));
typedef uint16_t U16x4 __attribute__((vector_size(8)));
typedef uint8_t U8x4 __attribute__((vector_size(4)));


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
// Each target pixel's weights as the wide loops take them: every pair of taps as four copies of the
// pair, one for each byte of the pixel, so that a pair of taps of all four bytes is weighed by one
// multiply-add. Pixels of two taps take 128 bits each; wider pixels take 256 bits for every four
// taps, their count rounded up to a multiple of four with taps that weigh nothing.
int32_t spreadQuads(const Taps& taps)
{
    return taps.width == 2 ? 0 : (taps.width + 3) / 4;
}

std::vector<int32_t> spreadWeights(const Taps& taps)
{
    const size_t pairs = taps.width == 2 ? 1 : 2 * static_cast<size_t>(spreadQuads(taps));
    std::vector<int32_t> spread(taps.count.size() * pairs * 4, 0);
    for (size_t t = 0; t < taps.count.size(); ++t)
        for (size_t p = 0; p < static_cast<size_t>(taps.width) / 2; ++p) {
            int32_t pair;
            std::memcpy(&pair, taps.weights.data() + t * static_cast<size_t>(taps.width) + 2 * p, sizeof pair);
            std::fill_n(spread.begin() + static_cast<ptrdiff_t>((t * pairs + p) * 4), 4, pair);
        }
    return spread;
}


// The wide loops read taps.spread, which resamplePlane lays out for them.
template <int Pairs> void filterPixels(hx::VectorWidth vectors, const uint16_t* in, const Taps& taps, int32_t targets, uint8_t* out)
{
    switch (vectors) {
    case hx::VectorWidth::Avx512: return filterPixelRowAvx512<Pairs>(in, taps, targets, out);
    case hx::VectorWidth::Avx2: return filterPixelRowAvx2<Pairs>(in, taps, targets, out);
    case hx::VectorWidth::Basic: return filterPixelRow<Pairs>(in, taps.first.data(), taps.weights.data(), targets, out);
    }
}
#endif

// Interleaved four-byte pixels with up to eight taps each, the case of every window the host scales.
bool filterPixelsAcross(hx::VectorWidth vectors, const uint16_t* mid, const hx::ChannelScale& channel, const Taps& taps, uint8_t* out)
{
#if defined(__x86_64__)
    if (channel.lanes != 4 || channel.from.step != 4 || channel.to.step != 4)
        return false;
    const uint16_t* in = mid + channel.from.offset;
    uint8_t* o = out + channel.to.offset;
    switch (taps.width) {
    case 2: filterPixels<1>(vectors, in, taps, channel.to.count, o); return true;
    case 4: filterPixels<2>(vectors, in, taps, channel.to.count, o); return true;
    case 6: filterPixels<3>(vectors, in, taps, channel.to.count, o); return true;
    case 8: filterPixels<4>(vectors, in, taps, channel.to.count, o); return true;
    default: return false;
    }
#else
    (void)vectors, (void)mid, (void)channel, (void)taps, (void)out;
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
    const VectorWidth vectors = vectorWidth();
    // The taps down the columns and across each channel's rows, made side by side.
    Taps down;
    std::vector<Taps> across(plane.channels.size());
    forRowRanges(static_cast<int32_t>(across.size()) + 1, 1, [&](int32_t begin, int32_t end) {
        for (int32_t set = begin; set < end; ++set) {
            if (set == 0) {
                down = makeTaps(plane.sourceRows, plane.targetRows, plane.rowRatio, plane.rowOrigin, kRowWeightBits);
                continue;
            }
            const ChannelScale& channel = plane.channels[static_cast<size_t>(set - 1)];
            Taps& taps = across[static_cast<size_t>(set - 1)];
            taps = makeTaps(std::max(channel.from.count, 1), channel.to.count, channel.ratio, channel.origin, kSampleWeightBits);
#if defined(__x86_64__)
            if (channel.lanes == 4 && vectors != VectorWidth::Basic)
                taps.spread = spreadWeights(taps);
#endif
        }
    });
    const size_t bytes = plane.sourceRowBytes;
    const size_t stride = plane.sourceStride ? plane.sourceStride : bytes;
    // Room past the row for whole groups of four taps: the weights there are 0, but the bytes are read.
    int32_t widest = 0;
    for (const Taps& taps : across)
        widest = std::max(widest, (taps.width + 3) / 4 * 4);
    // Each thread's rows with a row of vertical sums of its own, kept from one range to the next.
    forRowRanges(plane.targetRows, kLeastRowsPerThread, [&](int32_t begin, int32_t end) {
        thread_local std::vector<uint16_t> mid;
        thread_local std::vector<const uint8_t*> rows;
        mid.resize(bytes + 4 * static_cast<size_t>(widest));
        for (int32_t t = begin; t < end; ++t) {
            const size_t ti = static_cast<size_t>(t);
            rows.clear();
            for (int32_t k = 0; k < down.count[ti]; ++k)
                rows.push_back(plane.source + static_cast<size_t>(down.first[ti] + k) * stride);
            filterRows(vectors, rows.data(), down.weights.data() + ti * static_cast<size_t>(down.width), down.count[ti], bytes,
                       mid.data());
            uint8_t* out = plane.target + ti * plane.targetRowBytes;
            for (size_t c = 0; c < plane.channels.size(); ++c) {
                const ChannelScale& channel = plane.channels[c];
                if (channel.from.count > 0) {
                    if (!filterPixelsAcross(vectors, mid.data(), channel, across[c], out))
                        filterAcross(mid.data(), channel, across[c], out);
                    continue;
                }
                for (int32_t s = 0; s < channel.to.count; ++s)
                    out[channel.to.offset + static_cast<size_t>(s) * channel.to.step] = 128;
            }
        }
    });
}

} // namespace hx
