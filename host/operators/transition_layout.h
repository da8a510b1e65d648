// Where the samples of an image lie, as the transition renderer needs them: each plane's rows of
// bytes, and within a row the sets of samples (luma, chroma) with their spacing on the picture.
#ifndef HX_TRANSITION_LAYOUT_H
#define HX_TRANSITION_LAYOUT_H

#include "host/hxopcommon.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace hx {

// Samples of one kind in a row: sample s has its `components` bytes at offset + s * stride, and its
// centre at (s + 0.5) * xScale luma pixels from the row's left edge.
struct SampleSet {
    int32_t offset = 0;
    int32_t stride = 1;
    int32_t components = 1;
    int32_t count = 0;
    float xScale = 1;
    uint8_t black[4] = {};
    uint8_t white[4] = {};
};

struct PlaneLayout {
    int index = 0;          // planes[index] of the image
    size_t rowBytes = 0;
    int32_t rows = 0;
    float yScale = 1;       // image rows per plane row
    std::vector<SampleSet> sets;
};

// The planes of a width x height image of `format` (0, 1, 2 or 7); empty for other formats.
std::vector<PlaneLayout> transitionLayout(int32_t width, int32_t height, uint32_t format);

// The bytes of one plane row in video black or white, for colours the renderer blends towards.
std::vector<uint8_t> colourRow(const PlaneLayout& plane, bool white);

} // namespace hx

#endif
