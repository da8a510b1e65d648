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
    // 16-bit fixed-point rows giving Y, U and V from three inputs, and the inputs' offsets.
    struct Matrix {
        int32_t m[3][3];
        int32_t inputOffset[3];
    };
    static void apply(const Matrix& matrix, const uint8_t* in, uint8_t* yuva, size_t pixels);

    Matrix rgb_{}, ycc_{};
    uint8_t grayLuma_[256]{};
};

} // namespace hx

#endif
