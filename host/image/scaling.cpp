// opScaleImage and txOpScale: every format is split into the planes and channels of its layout and
// resampled by the shared resampler; subsampled chroma is placed by the luma's ratio.
#include "host/hxopcommon.h"
#include "host/hxtx.h"

#include "image/images.h"
#include "image/resampler.h"
#include "image/scaling.h"
#include "runtime/entry_guard.h"
#include "runtime/host_state.h"

#include <cstring>

namespace {

hx::PlaneScale planeScale(const hx::Plane& from, const hx::Plane& to)
{
    hx::PlaneScale plane;
    plane.source = from.data;
    plane.sourceRowBytes = from.rowBytes;
    plane.sourceRows = from.rows;
    plane.target = to.data;
    plane.targetRowBytes = to.rowBytes;
    plane.targetRows = to.rows;
    return plane;
}

hx::ChannelScale channel(size_t offset, size_t step, int32_t fromCount, int32_t toCount, double ratio, int lanes = 1)
{
    return {{offset, step, fromCount}, {offset, step, toCount}, ratio, lanes};
}

void resampleImage(const OpImage* source, OpImage* target)
{
    const int32_t sw = source->width, tw = target->width;
    const double across = static_cast<double>(sw) / tw, down = static_cast<double>(source->height) / target->height;
    hx::Plane from[3], to[3];
    const int planes = hx::imagePlanes(source, from);
    hx::imagePlanes(target, to);
    for (int p = 0; p < planes; ++p) {
        hx::PlaneScale plane = planeScale(from[p], to[p]);
        plane.rowRatio = down;
        switch (source->format) {
        case OP_FORMAT_YUVA:
            plane.channels = {channel(0, 4, sw, tw, across, 4)};
            break;
        case OP_FORMAT_YC_PACKED: // U Y V Y
            plane.channels = {channel(1, 2, sw, tw, across), channel(0, 4, hx::halfUp(sw), hx::halfUp(tw), across),
                              channel(2, 4, sw / 2, tw / 2, across)};
            break;
        case OP_FORMAT_YC_PLANAR: // a luma plane, then U V pairs
            plane.channels = p == 0 ? std::vector<hx::ChannelScale>{channel(0, 1, sw, tw, across)}
                                    : std::vector<hx::ChannelScale>{channel(0, 2, hx::halfUp(sw), hx::halfUp(tw), across),
                                                                    channel(1, 2, sw / 2, tw / 2, across)};
            break;
        case OP_FORMAT_YUV420:
            plane.channels = {channel(0, 1, p == 0 ? sw : hx::halfUp(sw), p == 0 ? tw : hx::halfUp(tw), across)};
            break;
        }
        hx::resamplePlane(plane);
    }
}

int32_t scale(const char* service, const OpImage* source, OpImage* target)
{
    if (hx::shouldFail(service) || !hx::isLiveImage(source) || !hx::isLiveImage(target) || !source->planes[0] ||
        !target->planes[0] || source->format != target->format || hx::imageBytes(1, 1, source->format) == 0)
        return -1;
    hx::scaleInto(source, target);
    return 0;
}

} // namespace

namespace hx {

void scaleFourBytePixels(const uint8_t* source, int32_t sourceWidth, int32_t sourceHeight, uint8_t* target,
                         int32_t targetWidth, int32_t targetHeight)
{
    const size_t sourceRow = static_cast<size_t>(sourceWidth) * 4, targetRow = static_cast<size_t>(targetWidth) * 4;
    PlaneScale plane = planeScale({const_cast<uint8_t*>(source), sourceRow, sourceHeight}, {target, targetRow, targetHeight});
    plane.rowRatio = static_cast<double>(sourceHeight) / targetHeight;
    plane.channels = {channel(0, 4, sourceWidth, targetWidth, static_cast<double>(sourceWidth) / targetWidth, 4)};
    resamplePlane(plane);
}

void scaleInto(const OpImage* source, OpImage* target)
{
    if (source->width == target->width && source->height == target->height)
        std::memcpy(target->planes[0], source->planes[0], imageBytes(source->width, source->height, source->format));
    else
        resampleImage(source, target);
}

} // namespace hx

extern "C" {

int32_t opScaleImage(const OpImage* source, OpImage* target, uint32_t) HX_ENTRY
{
    return scale("opScaleImage", source, target);
}
HX_ENTRY_FAILS(-1)

int32_t txOpScale(const OpImage* source, OpImage* target, uint32_t) HX_ENTRY
{
    return scale("txOpScale", source, target);
}
HX_ENTRY_FAILS(-1)

} // extern "C"
