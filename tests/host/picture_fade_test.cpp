// A frame fading to black: every sample moves towards limited-range black (luma 16, chroma 128) by
// the level, rounded alike wherever it lies in the frame.
#include "playback/picture_fade.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// The fade of one sample: its distance from `zero` scaled by the level in 256ths, rounded down.
uint8_t fadedSample(int sample, int zero, double level)
{
    const auto scale = static_cast<int>(std::lround(level * 256));
    return static_cast<uint8_t>(zero + static_cast<int>(std::floor((sample - zero) * scale / 256.0)));
}

// Every byte value in every position, luma and chroma, at sizes that end mid-way through the
// sixteen samples taken at a time.
TEST(PictureFade, EverySampleMovesTowardsBlackByTheLevel)
{
    for (const auto& [width, height] : {std::pair{64, 16}, std::pair{18, 6}, std::pair{2, 2}})
        for (double level : {0.0, 0.1, 0.5, 0.77, 0.999}) {
            SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height) + " at " + std::to_string(level));
            const size_t luma = static_cast<size_t>(width * height);
            hxhost::WovenFrame frame;
            frame.planes.resize(luma * 3 / 2);
            for (size_t i = 0; i < frame.planes.size(); ++i)
                frame.planes[i] = static_cast<uint8_t>(i * 7 + i / 256);
            const std::vector<uint8_t> before = frame.planes;
            hx::fadeToBlack(frame, width, height, level);
            for (size_t i = 0; i < frame.planes.size(); ++i)
                ASSERT_EQ(frame.planes[i], fadedSample(before[i], i < luma ? 16 : 128, level)) << "sample " << i;
        }
}

TEST(PictureFade, FullLevelLeavesTheFrameAndZeroMakesItBlack)
{
    hxhost::WovenFrame frame;
    frame.planes.assign(96, 200);
    hx::fadeToBlack(frame, 8, 8, 1.0);
    EXPECT_EQ(frame.planes, std::vector<uint8_t>(96, 200));
    hx::fadeToBlack(frame, 8, 8, 0.0);
    EXPECT_EQ(std::vector<uint8_t>(frame.planes.begin(), frame.planes.begin() + 64), std::vector<uint8_t>(64, 16));
    EXPECT_EQ(std::vector<uint8_t>(frame.planes.begin() + 64, frame.planes.end()), std::vector<uint8_t>(32, 128));
}

// A frame shorter than its size says is faded as far as it goes, never past its end.
TEST(PictureFade, AShortFrameIsFadedWithinItsBytes)
{
    hxhost::WovenFrame frame;
    frame.planes.assign(70, 255);
    hx::fadeToBlack(frame, 8, 8, 0.0);
    EXPECT_EQ(frame.planes.size(), 70u);
    EXPECT_EQ(frame.planes[63], 16);
    EXPECT_EQ(frame.planes[69], 128);
}

} // namespace
