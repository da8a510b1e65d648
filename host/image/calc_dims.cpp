// opCalcDims: the size of a picture fitted into a box, in the pixels of the box's aspect. Exact
// integer arithmetic, so that the side that meets the box is exactly the box's.
#include "host/hxopcommon.h"

#include "runtime/entry_guard.h"
#include "runtime/host_state.h"

#include <algorithm>

namespace {

constexpr int64_t kUnbounded = 30000;
constexpr int64_t kMaxSide = 32767;

int64_t divide(int64_t numerator, int64_t denominator, bool roundToNearest)
{
    return roundToNearest ? (2 * numerator + denominator) / (2 * denominator) : numerator / denominator;
}

// (w * sourceAspect / targetAspect) x h fitted into the box; unbounded sides (0) never limit.
void fit(int64_t w, int64_t h, int64_t sourceAspect, int64_t boxWidth, int64_t boxHeight, int64_t targetAspect,
         bool roundToNearest, int64_t& fittedWidth, int64_t& fittedHeight)
{
    const bool widthBounded = boxWidth > 0, heightBounded = boxHeight > 0;
    // The box's width limits when boxWidth / (w * sA / tA) <= boxHeight / h.
    const bool widthLimits = widthBounded && (!heightBounded || boxWidth * targetAspect * h <= boxHeight * w * sourceAspect);
    if (widthLimits) {
        fittedWidth = boxWidth;
        fittedHeight = divide(boxWidth * h * targetAspect, w * sourceAspect, roundToNearest);
    } else if (heightBounded) {
        fittedHeight = boxHeight;
        fittedWidth = divide(boxHeight * w * sourceAspect, h * targetAspect, roundToNearest);
    } else {
        fittedWidth = divide(w * sourceAspect, targetAspect, roundToNearest);
        fittedHeight = h;
    }
}

} // namespace

extern "C" void opCalcDims(int16_t* width, int16_t* height, int32_t sourceAspect, int32_t boxWidth, int32_t boxHeight,
                           int32_t targetAspect, uint32_t mode) HX_ENTRY
{
    hx::countCall("opCalcDims");
    if (!width || !height || *width <= 0 || *height <= 0 || sourceAspect <= 0 || targetAspect <= 0 || boxWidth <= 0 ||
        boxHeight <= 0)
        return;
    const bool roundToNearest = (mode & 4) != 0;
    const int64_t boxW = boxWidth >= kUnbounded ? 0 : boxWidth, boxH = boxHeight >= kUnbounded ? 0 : boxHeight;
    int64_t w = 0, h = 0;
    fit(*width, *height, sourceAspect, boxW, boxH, targetAspect, roundToNearest, w, h);
    if (w > kMaxSide || h > kMaxSide) // only an unbounded side can grow past what an image can hold
        fit(*width, *height, sourceAspect, boxW ? boxW : kMaxSide, boxH ? boxH : kMaxSide, targetAspect, roundToNearest, w, h);
    *width = static_cast<int16_t>(std::clamp<int64_t>(w, 1, kMaxSide));
    *height = static_cast<int16_t>(std::clamp<int64_t>(h, 1, kMaxSide));
}
HX_ENTRY_FAILS_VOID
