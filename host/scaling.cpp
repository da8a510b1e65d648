// opScaleImage and txOpScale: separable resampling of four-byte pixels. Shrinking averages the
// source area under each target pixel; enlarging interpolates linearly between source pixels.
#include "host/hxopcommon.h"
#include "host/hxtx.h"

#include "host_state.h"
#include "images.h"
#include "scaling.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Weights of the source pixels that make one target pixel along one axis.
struct Tap {
    int32_t first = 0;
    std::vector<float> weights;
};

std::vector<Tap> makeTaps(int32_t sourceSize, int32_t targetSize)
{
    std::vector<Tap> taps(static_cast<size_t>(targetSize));
    const double scale = static_cast<double>(sourceSize) / targetSize;
    for (int32_t t = 0; t < targetSize; ++t) {
        Tap& tap = taps[static_cast<size_t>(t)];
        if (scale > 1.0) {
            const double begin = t * scale, end = begin + scale;
            tap.first = static_cast<int32_t>(std::floor(begin));
            const int32_t last = std::min(sourceSize - 1, static_cast<int32_t>(std::ceil(end)) - 1);
            for (int32_t s = tap.first; s <= last; ++s) {
                const double cover = std::min<double>(end, s + 1) - std::max<double>(begin, s);
                tap.weights.push_back(static_cast<float>(cover / scale));
            }
        } else {
            const double centre = std::clamp((t + 0.5) * scale - 0.5, 0.0, static_cast<double>(sourceSize - 1));
            tap.first = std::min(static_cast<int32_t>(centre), std::max(0, sourceSize - 2));
            const float frac = static_cast<float>(centre - tap.first);
            tap.weights = sourceSize > 1 ? std::vector<float>{1.0f - frac, frac} : std::vector<float>{1.0f};
        }
    }
    return taps;
}

} // namespace

namespace hx {

void scaleFourBytePixels(const uint8_t* source, int32_t sw, int32_t sh, uint8_t* target, int32_t tw, int32_t th)
{
    const std::vector<Tap> across = makeTaps(sw, tw), down = makeTaps(sh, th);
    std::vector<float> rows(static_cast<size_t>(sh) * tw * 4); // horizontally scaled source rows
    for (int32_t y = 0; y < sh; ++y) {
        const uint8_t* in = source + static_cast<size_t>(y) * sw * 4;
        float* out = rows.data() + static_cast<size_t>(y) * tw * 4;
        for (int32_t x = 0; x < tw; ++x) {
            const Tap& tap = across[static_cast<size_t>(x)];
            float sum[4] = {0, 0, 0, 0};
            for (size_t k = 0; k < tap.weights.size(); ++k)
                for (int c = 0; c < 4; ++c)
                    sum[c] += tap.weights[k] * in[(static_cast<size_t>(tap.first) + k) * 4 + c];
            std::copy(sum, sum + 4, out + static_cast<size_t>(x) * 4);
        }
    }
    for (int32_t y = 0; y < th; ++y) {
        const Tap& tap = down[static_cast<size_t>(y)];
        uint8_t* out = target + static_cast<size_t>(y) * tw * 4;
        for (int32_t i = 0; i < tw * 4; ++i) {
            float sum = 0;
            for (size_t k = 0; k < tap.weights.size(); ++k)
                sum += tap.weights[k] * rows[(static_cast<size_t>(tap.first) + k) * tw * 4 + static_cast<size_t>(i)];
            out[i] = static_cast<uint8_t>(std::clamp(std::lround(sum), 0L, 255L));
        }
    }
}

} // namespace hx

namespace {

int32_t scale(const char* service, const OpImage* source, OpImage* target)
{
    if (hx::shouldFail(service) || !hx::isLiveImage(source) || !hx::isLiveImage(target) || !source->planes[0] ||
        !target->planes[0] || source->format != OP_FORMAT_YUVA || target->format != OP_FORMAT_YUVA)
        return -1;
    hx::scaleFourBytePixels(source->planes[0], source->width, source->height, target->planes[0], target->width,
                            target->height);
    return 0;
}

} // namespace

extern "C" {

int32_t opScaleImage(const OpImage* source, OpImage* target, uint32_t)
{
    return scale("opScaleImage", source, target);
}

int32_t txOpScale(const OpImage* source, OpImage* target, uint32_t)
{
    return scale("txOpScale", source, target);
}

} // extern "C"
