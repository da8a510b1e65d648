// opScaleImageSP against pixels worked out by hand: a window in fractional pixels, averaged when
// shrinking and interpolated when enlarging, held to the picture when it reaches past it.
#include "host/hxopcommon.h"
#include "support/test_home.h"

#include "hxhost/setup.h"
#include "host/image_helpers.h"

#include <cmath>

namespace {

using SubpixelScalingTest = HostTest;

// The luma of row 0 of a window of `source` scaled to `width` x `height`.
std::vector<int> lumaAcross(const OpImage* source, double x, double y, double w, double h, int width, int height = 2)
{
    OpImage* target = opAllocImage(width, height, OP_FORMAT_YUVA, 0);
    std::vector<int> luma;
    if (opScaleImageSP(source, target, x, y, w, h, 0x60700) == 0)
        for (int i = 0; i < width; ++i)
            luma.push_back(yuvAt(target, i, 0).y);
    opFreeImage(target);
    return luma;
}

TEST_F(SubpixelScalingTest, ConstantPictureStaysExactForAnyWindow)
{
    OpImage* flat = yuvImage(37, 23, [](int, int) { return Yuv{117, 60, 200}; });
    for (auto [x, y, w, h, tw, th] : {std::tuple{0.0, 0.0, 37.0, 23.0, 9, 5}, {3.3, 1.7, 20.25, 11.5, 64, 40},
                                      {0.5, 0.5, 3.0, 2.0, 30, 30}, {10.9, 7.1, 25.0, 15.0, 4, 3}}) {
        OpImage* target = opAllocImage(tw, th, OP_FORMAT_YUVA, 0);
        ASSERT_EQ(opScaleImageSP(flat, target, x, y, w, h, 0x60700), 0);
        for (const Yuv& p : pixelsOf(target))
            ASSERT_TRUE(p.y == 117 && p.u == 60 && p.v == 200) << x << " " << w << ": " << p.y << " " << p.u << " " << p.v;
        opFreeImage(target);
    }
    opFreeImage(flat);
}

TEST_F(SubpixelScalingTest, RampsAverageAndInterpolateFractionalWindows)
{
    // Luma 20 x column in every row.
    OpImage* across = yuvImage(12, 4, [](int x, int) { return Yuv{20 * x, 128, 128}; });
    EXPECT_EQ(lumaAcross(across, 4, 0, 4, 4, 4), (std::vector<int>{80, 100, 120, 140})) << "a whole-pixel window 1:1";
    // Each target pixel covers half of one column, a whole one and half the next: 2.5 .. 4.5 averages 60.
    EXPECT_EQ(lumaAcross(across, 2.5, 0, 8, 4, 4), (std::vector<int>{60, 100, 140, 180})) << "shrunk by two";
    // Centres fall at 1.25, 1.75, ... columns of the picture.
    EXPECT_EQ(lumaAcross(across, 1.5, 0, 4, 4, 8), (std::vector<int>{25, 35, 45, 55, 65, 75, 85, 95})) << "enlarged by two";
    // Past the picture the window is held to it: left edge, then right edge, then the whole width.
    EXPECT_EQ(lumaAcross(across, -3, 0, 4, 4, 4), lumaAcross(across, 0, 0, 4, 4, 4));
    EXPECT_EQ(lumaAcross(across, 10.5, 0, 4, 4, 4), (std::vector<int>{160, 180, 200, 220}));
    EXPECT_EQ(lumaAcross(across, 2, 0, 50, 4, 3), lumaAcross(across, 0, 0, 12, 4, 3));

    // Luma 20 x row: rows interpolate alike, at centres 0.25, 0.75, ... rows.
    OpImage* down = yuvImage(3, 6, [](int, int y) { return Yuv{20 * y, 128, 128}; });
    OpImage* tall = opAllocImage(3, 4, OP_FORMAT_YUVA, 0);
    ASSERT_EQ(opScaleImageSP(down, tall, 0, 0.5, 3, 2, 0), 0);
    for (int y = 0; y < 4; ++y)
        EXPECT_EQ(yuvAt(tall, 1, y).y, 5 + 10 * y) << y;
    for (OpImage* image : {across, down, tall})
        opFreeImage(image);
}

// Noise, so that a sample weighed at the wrong place or with its neighbour's weight shows.
TEST_F(SubpixelScalingTest, EveryTapCountAndOddWidthAgreesWithTheExactAverage)
{
    constexpr int kWidth = 200, kHeight = 3;
    OpImage* source = noiseImage(kWidth, kHeight);
    // The exact filter along row 1: the area under each target pixel when shrinking, linear when enlarging.
    auto exact = [&](double x, double ratio, int t, int c) {
        if (ratio <= 1) {
            const double centre = x + (t + 0.5) * ratio - 0.5;
            const int s = static_cast<int>(centre);
            return noiseSample(s, 1, c) * (1 - (centre - s)) + noiseSample(s + 1, 1, c) * (centre - s);
        }
        const double begin = x + t * ratio, end = begin + ratio;
        double sum = 0;
        for (int s = static_cast<int>(begin); s < end; ++s)
            sum += noiseSample(s, 1, c) * (std::min<double>(end, s + 1) - std::max<double>(begin, s));
        return sum / ratio;
    };
    // From two taps a pixel up to more than eight, each to an odd and an even number of target pixels.
    for (double ratio : {0.61, 1.37, 2.6, 4.3, 6.8, 9.5})
        for (int targets : {7, 12}) {
            const double x = 20.3;
            OpImage* target = opAllocImage(targets, 1, OP_FORMAT_YUVA, 0);
            ASSERT_EQ(opScaleImageSP(source, target, x, 1, ratio * targets, 1, 0), 0);
            for (int t = 0; t < targets; ++t) {
                const Yuv p = yuvAt(target, t, 0);
                const int got[3] = {p.y, p.u, p.v};
                for (int c = 0; c < 3; ++c)
                    ASSERT_NEAR(got[c], exact(x, ratio, t, c), 1.0) << "ratio " << ratio << ", pixel " << t << " of " << targets;
            }
            opFreeImage(target);
        }
    opFreeImage(source);
}

// The scaler's loops at each vector width against the plain ones, byte for byte: every tap count,
// rows whose bytes end part-way through a vector, and target rows whose pixels do not come in fours.
TEST_F(SubpixelScalingTest, EveryVectorWidthGivesThePlainLoopsPixels)
{
    OpImage* source = noiseImage(211, 97);
    auto scaled = [&](double across, double down, int width, int height) {
        OpImage* target = opAllocImage(width, height, OP_FORMAT_YUVA, 0);
        EXPECT_EQ(opScaleImageSP(source, target, 1.3, 2.6, across * width, down * height, 0x60700), 0);
        std::vector<uint8_t> bytes(target->planes[0], target->planes[0] + static_cast<size_t>(width) * height * 4);
        opFreeImage(target);
        return bytes;
    };
    for (double across : {0.61, 1.06, 1.37, 2.6, 4.3, 6.8})
        for (double down : {0.7, 1.06, 3.1})
            for (auto [width, height] : {std::pair{13, 9}, std::pair{24, 5}, std::pair{30, 29}}) {
                if (across * width > 209 || down * height > 94)
                    continue;
                hxhost::limitVectorWidth(hxhost::VectorWidth::Basic);
                const std::vector<uint8_t> plain = scaled(across, down, width, height);
                for (auto wide : {hxhost::VectorWidth::Avx2, hxhost::VectorWidth::Avx512}) {
                    hxhost::limitVectorWidth(wide);
                    ASSERT_TRUE(scaled(across, down, width, height) == plain)
                        << "width " << static_cast<int>(wide) << ", ratios " << across << " x " << down << " into " << width << " x " << height;
                }
            }
    opFreeImage(source);
}

TEST_F(SubpixelScalingTest, RefusesEmptyWindowsAndOtherFormats)
{
    OpImage* source = opAllocImage(8, 8, OP_FORMAT_YUVA, 0);
    OpImage* target = opAllocImage(4, 4, OP_FORMAT_YUVA, 0);
    OpImage* packed = opAllocImage(4, 4, OP_FORMAT_YC_PACKED, 0);
    EXPECT_EQ(opScaleImageSP(source, target, 0, 0, 0, 4, 0), -1);
    EXPECT_EQ(opScaleImageSP(source, target, 0, 0, 4, -1, 0), -1);
    EXPECT_EQ(opScaleImageSP(source, target, NAN, 0, 4, 4, 0), -1);
    EXPECT_EQ(opScaleImageSP(source, packed, 0, 0, 4, 4, 0), -1);
    for (OpImage* image : {source, target, packed})
        opFreeImage(image);
}

} // namespace
