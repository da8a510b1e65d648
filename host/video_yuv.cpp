#include "video_yuv.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kFractionBits = 16;
constexpr int32_t kOutputOffset[3] = {16, 128, 128};

} // namespace

namespace hx {

VideoYuv::VideoYuv(bool highDefinition)
{
    const double kr = highDefinition ? 0.2126 : 0.299, kb = highDefinition ? 0.0722 : 0.114, kg = 1 - kr - kb;
    const double luma = 219.0 / 255, chroma = 224.0 / 255;
    const double fromRgb[3][3] = {
        {luma * kr, luma * kg, luma * kb},
        {-chroma * kr / (2 * (1 - kb)), -chroma * kg / (2 * (1 - kb)), chroma / 2},
        {chroma / 2, -chroma * kg / (2 * (1 - kr)), -chroma * kb / (2 * (1 - kr))},
    };
    // JPEG's Y Cb Cr back to R G B (full-range BT.601), then on as from R G B.
    const double toRgb[3][3] = {{1, 0, 1.402}, {1, -0.344136, -0.714136}, {1, 1.772, 0}};
    for (int row = 0; row < 3; ++row)
        for (int column = 0; column < 3; ++column) {
            double viaRgb = 0;
            for (int k = 0; k < 3; ++k)
                viaRgb += fromRgb[row][k] * toRgb[k][column];
            rgb_.m[row][column] = static_cast<int32_t>(std::lround(fromRgb[row][column] * (1 << kFractionBits)));
            ycc_.m[row][column] = static_cast<int32_t>(std::lround(viaRgb * (1 << kFractionBits)));
        }
    ycc_.inputOffset[1] = ycc_.inputOffset[2] = -128;
    for (int g = 0; g < 256; ++g)
        grayLuma_[g] = static_cast<uint8_t>(std::lround(16 + g * luma));
}

void VideoYuv::apply(const Matrix& matrix, const uint8_t* in, uint8_t* yuva, size_t pixels)
{
    constexpr int32_t half = 1 << (kFractionBits - 1);
    const int32_t o0 = matrix.inputOffset[0], o1 = matrix.inputOffset[1], o2 = matrix.inputOffset[2];
    for (size_t i = 0; i < pixels; ++i, in += 3, yuva += 4) {
        const int32_t a = in[0] + o0, b = in[1] + o1, c = in[2] + o2;
        int32_t out[3];
        for (int row = 0; row < 3; ++row) {
            const int32_t sum = matrix.m[row][0] * a + matrix.m[row][1] * b + matrix.m[row][2] * c + half;
            out[row] = std::clamp((sum >> kFractionBits) + kOutputOffset[row], 0, 255);
        }
        yuva[0] = 0xFF;
        yuva[1] = static_cast<uint8_t>(out[1]);
        yuva[2] = static_cast<uint8_t>(out[2]);
        yuva[3] = static_cast<uint8_t>(out[0]);
    }
}

void VideoYuv::fromRgb(const uint8_t* rgb, uint8_t* yuva, size_t pixels) const
{
    apply(rgb_, rgb, yuva, pixels);
}

void VideoYuv::fromJpegYcc(const uint8_t* ycc, uint8_t* yuva, size_t pixels) const
{
    apply(ycc_, ycc, yuva, pixels);
}

void VideoYuv::fromGray(const uint8_t* gray, uint8_t* yuva, size_t pixels) const
{
    for (size_t i = 0; i < pixels; ++i, yuva += 4) {
        yuva[0] = 0xFF;
        yuva[1] = 128;
        yuva[2] = 128;
        yuva[3] = grayLuma_[gray[i]];
    }
}

} // namespace hx
