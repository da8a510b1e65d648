// Pictures over the pixel limit made smaller while they are read: rows of samples arrive one after
// another and only a strip of the reduced picture is ever held, each of its pixels the average of
// the block of source pixels it stands for.
#ifndef HX_REDUCED_ROWS_H
#define HX_REDUCED_ROWS_H

#include "image/decode/colour_profile.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace hx {

// The smallest of 1, 2, 4 and 8 that brings a picture within `maxPixels`; 0 when none does.
int reductionFor(uint64_t width, uint64_t height, size_t maxPixels);
// A side of `side` pixels reduced by `factor`; a last partial block still makes a pixel.
inline uint64_t reducedSide(uint64_t side, int factor)
{
    return (side + static_cast<uint64_t>(factor) - 1) / static_cast<uint64_t>(factor);
}

// Takes the source rows in order, `channels` 8-bit samples a pixel, and writes each finished row of
// the reduced picture through `video` into `yuva` (four bytes a pixel, rows without gaps).
class RowReducer {
public:
    RowReducer(uint32_t width, uint32_t height, int factor, size_t channels, VideoRows& video, uint8_t* yuva);
    void put(const uint8_t* row);

private:
    void finishRow();

    uint32_t width_, height_;
    int factor_;
    size_t channels_;
    VideoRows& video_;
    uint8_t* yuva_;
    size_t outWidth_;
    uint32_t rowsIn_ = 0;      // source rows taken so far
    uint32_t rowsInBlock_ = 0; // of the reduced row being summed
    std::vector<uint32_t> sums_;
    std::vector<uint8_t> row_;
};

} // namespace hx

#endif
