// Separable resampling of 8-bit sample planes with precomputed integer weights: the source area
// under each target sample is averaged when shrinking, neighbours are interpolated linearly when
// enlarging. Rows are filtered vertically first, so the horizontal pass runs on target rows only.
#ifndef HX_RESAMPLER_H
#define HX_RESAMPLER_H

#include <cstddef>
#include <cstdint>
#include <vector>

namespace hx {

// `count` samples `step` bytes apart from byte `offset` of every row.
struct SampleRun {
    size_t offset = 0;
    size_t step = 1;
    int32_t count = 0;
};

// One channel of a plane. Four lanes: four interleaved bytes a sample, resampled alike.
struct ChannelScale {
    SampleRun from, to;
    double ratio = 1;  // source samples per target sample
    int lanes = 1;     // 1 or 4
    double origin = 0; // where the first target sample starts, in source samples (a fraction keeps sub-pixel windows)
};

struct PlaneScale {
    const uint8_t* source = nullptr;
    size_t sourceRowBytes = 0; // bytes of each source row that are read
    size_t sourceStride = 0;   // from one source row to the next; 0: sourceRowBytes
    int32_t sourceRows = 0;
    uint8_t* target = nullptr;
    size_t targetRowBytes = 0;
    int32_t targetRows = 0;
    double rowRatio = 1;  // source rows per target row
    double rowOrigin = 0; // where the first target row starts, in source rows
    std::vector<ChannelScale> channels;
};

// Fills the target rows; a channel without source samples becomes mid-range (128). Taps that
// would reach past the source are held to its edge.
void resamplePlane(const PlaneScale& plane);

} // namespace hx

#endif
