// opScaleImageSP: a window of the source, given in fractional pixels, scaled to the whole target by
// the shared resampler: shrinking averages the exact source area under each target pixel, enlarging
// interpolates linearly. The window is never snapped to whole pixels, so a slow pan moves smoothly,
// and only the source columns and rows under the window are read. A window scaled far down is read
// from a halved copy of the source that still holds all the detail the target shows.
#include "host/hxopcommon.h"

#include "image/images.h"
#include "image/reduced_copies.h"
#include "image/resampler.h"
#include "runtime/entry_guard.h"
#include "runtime/host_state.h"
#include "hxhost/setup.h"

#include <algorithm>
#include <cmath>

namespace {

void scaleWindow(const hx::PictureLevel& source, OpImage& target, double x, double y, double w, double h)
{
    // One column either side of the window, so that interpolation at its edges sees the picture's pixels.
    const int32_t firstColumn = std::max(0, static_cast<int32_t>(x) - 1);
    const int32_t endColumn = std::min<int32_t>(source.width, static_cast<int32_t>(std::ceil(x + w)) + 1);
    hx::PlaneScale plane;
    plane.source = source.pixels + static_cast<size_t>(firstColumn) * 4;
    plane.sourceRowBytes = static_cast<size_t>(endColumn - firstColumn) * 4;
    plane.sourceStride = static_cast<size_t>(source.width) * 4;
    plane.sourceRows = source.height;
    plane.target = target.planes[0];
    plane.targetRowBytes = static_cast<size_t>(target.width) * 4;
    plane.targetRows = target.height;
    plane.rowRatio = h / target.height;
    plane.rowOrigin = y;
    plane.channels = {{{0, 4, endColumn - firstColumn}, {0, 4, target.width}, w / target.width, 4, x - firstColumn}};
    hx::resamplePlane(plane);
}

} // namespace

extern "C" int32_t opScaleImageSP(const OpImage* source, OpImage* target, double x, double y, double w, double h,
                                  uint32_t) HX_ENTRY
{
    if (hx::shouldFail("opScaleImageSP") || !hx::isLiveImage(source) || !hx::isLiveImage(target) ||
        !source->planes[0] || !target->planes[0] || source->format != OP_FORMAT_YUVA ||
        target->format != OP_FORMAT_YUVA || !(w > 0) || !(h > 0) || !std::isfinite(x) || !std::isfinite(y))
        return -1;
    const int level = hx::state().reducedCopies ? hx::levelForWindow(w, h, target->width, target->height) : 0;
    const hx::PictureLevel picture = hx::reducedCopy(source, level);
    const double scale = std::ldexp(1.0, -picture.level);
    x *= scale, y *= scale, w *= scale, h *= scale;
    // A window reaching past the picture is held to it; what lies outside is never read.
    w = std::min(w, static_cast<double>(picture.width));
    h = std::min(h, static_cast<double>(picture.height));
    x = std::clamp(x, 0.0, picture.width - w);
    y = std::clamp(y, 0.0, picture.height - h);
    scaleWindow(picture, *target, x, y, w, h);
    return 0;
}
HX_ENTRY_FAILS(-1)

namespace hxhost {

void setReducedCopies(bool enabled)
{
    hx::state().reducedCopies = enabled;
}

} // namespace hxhost
