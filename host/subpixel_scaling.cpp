// opScaleImageSP: a window of the source, given in fractional pixels, scaled to the whole target.
// Shrinking averages the exact source area under each target pixel; enlarging interpolates
// linearly. The window is never snapped to whole pixels, so a slowly moving window moves smoothly.
#include "host/hxopcommon.h"

#include "host_state.h"
#include "images.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr int kWeightBits = 14;
constexpr int32_t kWeightOne = 1 << kWeightBits;

// Source pixels and fixed-point weights that make each target pixel along one axis.
struct Taps {
    std::vector<int32_t> first;   // first source index of each target pixel
    std::vector<int32_t> count;   // number of source pixels
    std::vector<int32_t> weights; // `maxCount` weights a target pixel, summing to kWeightOne
    int32_t maxCount = 0;
};

Taps makeTaps(double origin, double span, int32_t targetSize, int32_t sourceSize)
{
    Taps taps;
    const double scale = span / targetSize;
    taps.maxCount = scale > 1.0 ? static_cast<int32_t>(std::ceil(scale)) + 1 : 2;
    taps.first.resize(static_cast<size_t>(targetSize));
    taps.count.resize(static_cast<size_t>(targetSize));
    taps.weights.assign(static_cast<size_t>(targetSize) * taps.maxCount, 0);
    std::vector<double> cover(static_cast<size_t>(taps.maxCount));
    for (int32_t t = 0; t < targetSize; ++t) {
        int32_t first, count;
        std::fill(cover.begin(), cover.end(), 0.0);
        if (scale > 1.0) {
            const double begin = std::clamp(origin + t * scale, 0.0, static_cast<double>(sourceSize));
            const double end = std::clamp(begin + scale, 0.0, static_cast<double>(sourceSize));
            first = std::min(static_cast<int32_t>(begin), sourceSize - 1);
            count = std::clamp(static_cast<int32_t>(std::ceil(end)) - first, 1, taps.maxCount);
            for (int32_t k = 0; k < count; ++k)
                cover[static_cast<size_t>(k)] = std::max(0.0, std::min<double>(end, first + k + 1) - std::max<double>(begin, first + k));
        } else {
            const double centre = std::clamp(origin + (t + 0.5) * scale - 0.5, 0.0, static_cast<double>(sourceSize - 1));
            first = std::min(static_cast<int32_t>(centre), std::max(0, sourceSize - 2));
            count = sourceSize > 1 ? 2 : 1;
            const double frac = centre - first;
            cover[0] = 1.0 - frac;
            if (count > 1)
                cover[1] = frac;
        }
        double total = 0;
        for (int32_t k = 0; k < count; ++k)
            total += cover[static_cast<size_t>(k)];
        if (total <= 0) {
            cover[0] = 1.0;
            total = 1.0;
        }
        int32_t* w = &taps.weights[static_cast<size_t>(t) * taps.maxCount];
        int32_t sum = 0;
        for (int32_t k = 0; k < count; ++k)
            sum += w[k] = static_cast<int32_t>(std::lround(cover[static_cast<size_t>(k)] / total * kWeightOne));
        w[0] += kWeightOne - sum; // the weights sum exactly to one
        taps.first[static_cast<size_t>(t)] = first;
        taps.count[static_cast<size_t>(t)] = count;
    }
    return taps;
}

void scaleWindow(const OpImage& source, OpImage& target, double x, double y, double w, double h)
{
    const int32_t tw = target.width, th = target.height, sw = source.width;
    const Taps across = makeTaps(x, w, tw, source.width);
    const Taps down = makeTaps(y, h, th, source.height);
    // Only the source rows under the window are scaled across, once each.
    const int32_t rowBegin = down.first.front();
    const int32_t rowEnd = down.first.back() + down.count.back();
    std::vector<uint16_t> rows(static_cast<size_t>(rowEnd - rowBegin) * tw * 4);
    for (int32_t r = rowBegin; r < rowEnd; ++r) {
        const uint8_t* in = source.planes[0] + static_cast<size_t>(r) * sw * 4;
        uint16_t* out = rows.data() + static_cast<size_t>(r - rowBegin) * tw * 4;
        for (int32_t t = 0; t < tw; ++t) {
            const int32_t* wt = &across.weights[static_cast<size_t>(t) * across.maxCount];
            const uint8_t* p = in + static_cast<size_t>(across.first[static_cast<size_t>(t)]) * 4;
            int32_t a0 = 0, a1 = 0, a2 = 0, a3 = 0;
            for (int32_t k = 0, n = across.count[static_cast<size_t>(t)]; k < n; ++k, p += 4) {
                a0 += wt[k] * p[0];
                a1 += wt[k] * p[1];
                a2 += wt[k] * p[2];
                a3 += wt[k] * p[3];
            }
            // Keep 6 fractional bits for the second pass.
            out[4 * t + 0] = static_cast<uint16_t>((a0 + (1 << 7)) >> 8);
            out[4 * t + 1] = static_cast<uint16_t>((a1 + (1 << 7)) >> 8);
            out[4 * t + 2] = static_cast<uint16_t>((a2 + (1 << 7)) >> 8);
            out[4 * t + 3] = static_cast<uint16_t>((a3 + (1 << 7)) >> 8);
        }
    }
    std::vector<int32_t> sum(static_cast<size_t>(tw) * 4);
    for (int32_t t = 0; t < th; ++t) {
        std::fill(sum.begin(), sum.end(), 0);
        const int32_t* wt = &down.weights[static_cast<size_t>(t) * down.maxCount];
        for (int32_t k = 0, n = down.count[static_cast<size_t>(t)]; k < n; ++k) {
            const uint16_t* in = rows.data() + static_cast<size_t>(down.first[static_cast<size_t>(t)] + k - rowBegin) * tw * 4;
            const int32_t weight = wt[k];
            for (size_t i = 0; i < sum.size(); ++i)
                sum[i] += weight * in[i];
        }
        uint8_t* out = target.planes[0] + static_cast<size_t>(t) * tw * 4;
        constexpr int shift = kWeightBits + 6;
        for (size_t i = 0; i < sum.size(); ++i)
            out[i] = static_cast<uint8_t>(std::min((sum[i] + (1 << (shift - 1))) >> shift, 255));
    }
}

} // namespace

extern "C" int32_t opScaleImageSP(const OpImage* source, OpImage* target, double x, double y, double w, double h,
                                  uint32_t)
{
    if (hx::shouldFail("opScaleImageSP") || !hx::isLiveImage(source) || !hx::isLiveImage(target) ||
        !source->planes[0] || !target->planes[0] || source->format != OP_FORMAT_YUVA ||
        target->format != OP_FORMAT_YUVA || !(w > 0) || !(h > 0) || !std::isfinite(x) || !std::isfinite(y))
        return -1;
    // A window reaching past the picture is held to it; what lies outside is never read.
    w = std::min(w, static_cast<double>(source->width));
    h = std::min(h, static_cast<double>(source->height));
    x = std::clamp(x, 0.0, source->width - w);
    y = std::clamp(y, 0.0, source->height - h);
    scaleWindow(*source, *target, x, y, w, h);
    return 0;
}
