// Halved copies behind opScaleImageSP: which one a window is read from, that it is made once per
// picture and made again when the picture changes, and that results match the full picture's.
#include "host/image_helpers.h"
#include "support/test_home.h"

#include "hxhost/setup.h"
#include "hxhost/testing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace {

using ReducedCopiesTest = HostTest;

// A smooth picture: gradients in every channel, so averaging in steps and at once agree to rounding.
OpImage* smoothPicture(int w, int h)
{
    return yuvImage(w, h, [w, h](int x, int y) {
        return Yuv{16 + 200 * x / w, 40 + 150 * y / h, 60 + (100 * x / w + 80 * y / h) / 2};
    });
}

// The window scaled into a new width x height picture; null when the scale fails.
OpImage* scaled(const OpImage* picture, double x, double y, double w, double h, int width, int height)
{
    OpImage* target = opAllocImage(width, height, OP_FORMAT_YUVA, 0);
    if (opScaleImageSP(picture, target, x, y, w, h, 0x60700) != 0) {
        opFreeImage(target);
        return nullptr;
    }
    return target;
}

int largestDifference(const OpImage* a, const OpImage* b)
{
    int largest = 0;
    const std::vector<Yuv> pa = pixelsOf(a), pb = pixelsOf(b);
    for (size_t i = 0; i < pa.size(); ++i)
        largest = std::max({largest, std::abs(pa[i].y - pb[i].y), std::abs(pa[i].u - pb[i].u), std::abs(pa[i].v - pb[i].v)});
    return largest;
}

TEST_F(ReducedCopiesTest, TheSmallestCopyHoldingTheWindowsDetailIsMadeOnce)
{
    OpImage* photo = smoothPicture(4000, 3000);
    auto halvings = [] { return hxhost::callCount("reducePicture"); };
    // The whole still into a PAL frame: 4000 / 4 = 1000 >= 720 and 3000 / 4 = 750 >= 576, not / 8.
    // The quarter is made in one pass, without storing the half.
    OpImage* frame = scaled(photo, 0, 0, 4000, 3000, 720, 576);
    EXPECT_EQ(halvings(), 1u);
    opFreeImage(frame);
    // Every further field of the zoom reads the copies made for the first.
    for (double share : {0.95, 0.9, 0.84}) {
        const double w = 4000 * share, h = 3000 * share;
        opFreeImage(scaled(photo, (4000 - w) / 2, (3000 - h) / 2, w, h, 720, 576));
    }
    EXPECT_EQ(halvings(), 1u);
    // A window near the target's own size is read from the picture itself; 1080 lines take a half,
    // made now, and made once.
    opFreeImage(scaled(photo, 100, 100, 1000, 800, 720, 576));
    EXPECT_EQ(halvings(), 1u);
    for (int i = 0; i < 2; ++i) {
        OpImage* hd = scaled(photo, 0, 0, 4000, 2250, 1920, 1080);
        EXPECT_EQ(halvings(), 2u);
        opFreeImage(hd);
    }
    // Changed pixels are seen, and the copies are made again.
    for (int i = 0; i < 4000 * 3000 * 4; i += 4)
        photo->planes[0][i + 3] = static_cast<uint8_t>(255 - photo->planes[0][i + 3]);
    frame = scaled(photo, 0, 0, 4000, 3000, 720, 576);
    EXPECT_EQ(halvings(), 3u);
    EXPECT_GT(yuvAt(frame, 0, 0).y, yuvAt(frame, 719, 0).y); // the ramp now falls to the right
    opFreeImage(frame);
    opFreeImage(photo);
    // A new picture, perhaps in the freed one's memory, has no copies yet.
    photo = smoothPicture(4000, 3000);
    opFreeImage(scaled(photo, 0, 0, 4000, 3000, 720, 576));
    EXPECT_EQ(halvings(), 4u);
    opFreeImage(photo);
    EXPECT_EQ(hxhost::liveCounts().images, 0);
}

TEST_F(ReducedCopiesTest, WindowsReadFromCopiesMatchThePictureWithinRounding)
{
    OpImage* photo = smoothPicture(2001, 1501); // odd sides: the halvings leave the last column and row out
    struct Window {
        double x, y, w, h;
        int width, height;
    };
    for (const Window& window : {Window{0, 0, 2001, 1501, 360, 288}, Window{13.37, 7.5, 1680.25, 1260.5, 200, 150},
                                 Window{1000.5, 700.25, 1000.5, 800.75, 120, 96}, Window{0, 0, 2001, 1501, 1000, 750}}) {
        hxhost::setReducedCopies(false);
        OpImage* whole = scaled(photo, window.x, window.y, window.w, window.h, window.width, window.height);
        hxhost::setReducedCopies(true);
        OpImage* reduced = scaled(photo, window.x, window.y, window.w, window.h, window.width, window.height);
        ASSERT_TRUE(whole && reduced);
        EXPECT_LE(largestDifference(whole, reduced), 2) << window.x << " " << window.w << " -> " << window.width;
        opFreeImage(whole);
        opFreeImage(reduced);
    }
    EXPECT_GT(hxhost::callCount("reducePicture"), 0u);
    opFreeImage(photo);
}

TEST_F(ReducedCopiesTest, AHalvingIsTheRoundedMeanOfTheFourPixelsUnderEachOfItsPixels)
{
    // Odd sides, so that the last column and row are left out and the half is odd across.
    OpImage* photo = noiseImage(23, 9);
    // A window twice the target's size is read, pixel for pixel, from the first halving.
    OpImage* half = scaled(photo, 0, 0, 22, 8, 11, 4);
    ASSERT_TRUE(half);
    EXPECT_EQ(hxhost::callCount("reducePicture"), 1u);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 11; ++x) {
            const Yuv p = yuvAt(half, x, y);
            const int got[3] = {p.y, p.u, p.v};
            for (int c = 0; c < 3; ++c) {
                const int sum = noiseSample(2 * x, 2 * y, c) + noiseSample(2 * x + 1, 2 * y, c) + noiseSample(2 * x, 2 * y + 1, c) +
                                noiseSample(2 * x + 1, 2 * y + 1, c);
                ASSERT_EQ(got[c], (sum + 2) >> 2) << x << ", " << y << " channel " << c;
            }
        }
    opFreeImage(half);
    opFreeImage(photo);
}

TEST_F(ReducedCopiesTest, CopiesMadeTwoHalvingsAtATimeAreTheHalvingsOfTheHalvings)
{
    // Odd sides at every level: 95 x 37, 47 x 18, 23 x 9, 11 x 4; a quarter row has a pixel left over
    // after the pairs the wide loop makes.
    OpImage* photo = noiseImage(95, 37);
    // levels[k][c][y][x]: channel c of level k made one rounded halving after another.
    std::vector<std::vector<std::vector<std::vector<int>>>> levels(4, std::vector<std::vector<std::vector<int>>>(3));
    int w = 95, h = 37;
    for (int c = 0; c < 3; ++c) {
        levels[0][c].assign(h, std::vector<int>(w));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                levels[0][c][y][x] = noiseSample(x, y, c);
    }
    for (int k = 1; k < 4; ++k, w /= 2, h /= 2)
        for (int c = 0; c < 3; ++c) {
            const auto& from = levels[k - 1][c];
            levels[k][c].assign(h / 2, std::vector<int>(w / 2));
            for (int y = 0; y < h / 2; ++y)
                for (int x = 0; x < w / 2; ++x)
                    levels[k][c][y][x] = (from[2 * y][2 * x] + from[2 * y][2 * x + 1] + from[2 * y + 1][2 * x] +
                                          from[2 * y + 1][2 * x + 1] + 2) >> 2;
        }
    // The quarter first (one pass from the picture), then the eighth (one from the quarter), then the
    // half (one from the picture): each read pixel for pixel by a window of its size.
    struct Ask {
        int level, width, height;
        unsigned passes;
    };
    for (const Ask& ask : {Ask{2, 23, 9, 1}, Ask{3, 11, 4, 2}, Ask{1, 47, 18, 3}}) {
        const int scale = 1 << ask.level;
        OpImage* copy = scaled(photo, 0, 0, ask.width * scale, ask.height * scale, ask.width, ask.height);
        ASSERT_TRUE(copy);
        EXPECT_EQ(hxhost::callCount("reducePicture"), ask.passes);
        for (int y = 0; y < ask.height; ++y)
            for (int x = 0; x < ask.width; ++x) {
                const Yuv p = yuvAt(copy, x, y);
                const int got[3] = {p.y, p.u, p.v};
                for (int c = 0; c < 3; ++c)
                    ASSERT_EQ(got[c], levels[ask.level][c][y][x]) << "level " << ask.level << " at " << x << ", " << y;
            }
        opFreeImage(copy);
    }
    opFreeImage(photo);
}

} // namespace
