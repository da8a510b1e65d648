// The sample layouts of the host's pixel formats (see hxopcommon.h), with video black and white in
// limited range: luma 16 and 235, chroma 128, the key byte of format 1 255.
#include "operators/transition_layout.h"

namespace hx {
namespace {

constexpr uint8_t kBlackLuma = 16;
constexpr uint8_t kWhiteLuma = 235;
constexpr uint8_t kNeutralChroma = 128;

SampleSet luma(int32_t offset, int32_t stride, int32_t count)
{
    SampleSet s;
    s.offset = offset;
    s.stride = stride;
    s.count = count;
    s.black[0] = kBlackLuma;
    s.white[0] = kWhiteLuma;
    return s;
}

// Chroma samples shared by a pair of pixels (or a 2x2 block), centred between them.
SampleSet chroma(int32_t offset, int32_t stride, int32_t count)
{
    SampleSet s;
    s.offset = offset;
    s.stride = stride;
    s.count = count;
    s.xScale = 2;
    s.black[0] = s.white[0] = kNeutralChroma;
    return s;
}

} // namespace

std::vector<PlaneLayout> transitionLayout(int32_t width, int32_t height, uint32_t format)
{
    const auto w = static_cast<size_t>(width);
    const int32_t pairs = (width + 1) / 2;
    switch (format) {
    case OP_FORMAT_YUVA: {
        SampleSet pixel;
        pixel.stride = pixel.components = 4;
        pixel.count = width;
        const uint8_t black[4] = {0xFF, kNeutralChroma, kNeutralChroma, kBlackLuma};
        const uint8_t white[4] = {0xFF, kNeutralChroma, kNeutralChroma, kWhiteLuma};
        for (int i = 0; i < 4; ++i) {
            pixel.black[i] = black[i];
            pixel.white[i] = white[i];
        }
        return {{0, w * 4, height, 1, {pixel}}};
    }
    case OP_FORMAT_YC_PACKED:
        return {{0, w * 2, height, 1, {luma(1, 2, width), chroma(0, 4, pairs), chroma(2, 4, width / 2)}}};
    case OP_FORMAT_YC_PLANAR:
        return {{0, w, height, 1, {luma(0, 1, width)}}, {1, w, height, 1, {chroma(0, 2, pairs), chroma(1, 2, width / 2)}}};
    case OP_FORMAT_YUV420: {
        const auto rows = (height + 1) / 2;
        return {{0, w, height, 1, {luma(0, 1, width)}},
                {1, static_cast<size_t>(pairs), rows, 2, {chroma(0, 1, pairs)}},
                {2, static_cast<size_t>(pairs), rows, 2, {chroma(0, 1, pairs)}}};
    }
    default:
        return {};
    }
}

std::vector<uint8_t> colourRow(const PlaneLayout& plane, bool white)
{
    std::vector<uint8_t> row(plane.rowBytes, 0);
    for (const SampleSet& set : plane.sets)
        for (int32_t s = 0; s < set.count; ++s)
            for (int32_t c = 0; c < set.components; ++c)
                row[static_cast<size_t>(set.offset + s * set.stride + c)] = white ? set.white[c] : set.black[c];
    return row;
}

} // namespace hx
