// Pictures into the limited-range YUV of a video standard (BT.601 for SD, BT.709 for HD), written
// as format-1 pixels: key 0xFF, U, V, Y.
#ifndef HX_VIDEO_YUV_H
#define HX_VIDEO_YUV_H

#include <cstddef>
#include <cstdint>

namespace hx {

class VideoYuv {
public:
    explicit VideoYuv(bool highDefinition);
    void fromRgb(const uint8_t* rgb, uint8_t* yuva, size_t pixels) const;
    // Full-range BT.601 Y Cb Cr, as JPEG files hold colour.
    void fromJpegYcc(const uint8_t* ycc, uint8_t* yuva, size_t pixels) const;
    void fromGray(const uint8_t* gray, uint8_t* yuva, size_t pixels) const;

private:
    // A 3 x 3 matrix as one table per input: entry v holds the input's share of Y, U and V for the
    // value v, each in its own 21-bit field of the word, so a pixel costs three loads and two adds.
    // A diagonal matrix (JPEG's colours into BT.601, off the diagonal only the rounding of JPEG's own
    // constants, under 0.02 of a code value) needs no sums: `direct` maps each input alone.
    struct Tables {
        uint64_t share[3][256];
        bool diagonal;
        uint8_t direct[3][256];
    };
    static Tables tablesOf(const double matrix[3][3], const int inputOffset[3]);
    static void apply(const Tables& tables, const uint8_t* in, uint8_t* yuva, size_t pixels);

    Tables rgb_{}, ycc_{};
    uint8_t grayLuma_[256]{};
};

} // namespace hx

#endif
