// The image library's formats: conversions, fills, the pixel range, fields and frames.
#include "host/hxgx.h"
#include "host/hxopcommon.h"
#include "support/test_home.h"
#include "host/image_helpers.h"

#include <cstdlib>
#include <cstring>

namespace {

using ImageFormatsTest = HostTest;

// Chroma that every format holds: U constant on 2 x 2 blocks, V constant on row pairs (so that a
// lone last column of an odd width shares V with the pair before it).
Yuv blockPixel(int x, int y)
{
    return {16 + (x * 7 + y * 13) % 220, 30 + (x / 2 * 40 + y / 2 * 25) % 190, 20 + (y / 2 * 70) % 200};
}

void expectClose(const std::vector<Yuv>& actual, const std::vector<Yuv>& expected)
{
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < actual.size(); ++i) {
        ASSERT_LE(std::abs(actual[i].y - expected[i].y), 1) << "pixel " << i;
        ASSERT_LE(std::abs(actual[i].u - expected[i].u), 1) << "pixel " << i;
        ASSERT_LE(std::abs(actual[i].v - expected[i].v), 1) << "pixel " << i;
    }
}

TEST_F(ImageFormatsTest, ConversionsRoundTripBetweenEveryPairAtOddAndEvenSizes)
{
    const int64_t live = hxhost::liveCounts().images;
    // (Formats 0 and 2 hold no V in an image one pixel wide.)
    for (auto [w, h] : {std::pair{2, 1}, {7, 5}, {8, 6}, {3, 8}}) {
        OpImage* reference = yuvImage(w, h, blockPixel);
        const std::vector<Yuv> expected = pixelsOf(reference);
        for (uint32_t a : kFormats)
            for (uint32_t b : kFormats) {
                SCOPED_TRACE(testing::Message() << w << "x" << h << " " << a << " -> " << b);
                OpImage* image = opConvertImage(opCloneImage(reference, 0), a, 0);
                image = opConvertImage(image, b, 0);
                ASSERT_EQ(image->format, b);
                expectClose(pixelsOf(image), expected);
                image = opConvertImage(image, a, 0);
                ASSERT_EQ(image->format, a);
                expectClose(pixelsOf(image), expected);
                opFreeImage(image);
            }
        opFreeImage(reference);
    }
    EXPECT_EQ(hxhost::liveCounts().images, live);
}

TEST_F(ImageFormatsTest, ConversionConsumesItsArgumentOnlyWhenItMakesANewImage)
{
    OpImage* image = yuvImage(4, 2, blockPixel);
    image->aspect = 1067;
    const int64_t live = hxhost::liveCounts().images;
    EXPECT_EQ(opConvertImage(image, OP_FORMAT_YUVA, 0), image); // nothing to do
    EXPECT_EQ(opConvertImage(image, 3, 0), image);              // no such format
    hxhost::failService("opConvertImage");
    EXPECT_EQ(opConvertImage(image, OP_FORMAT_YUV420, 0), image); // failed: the argument goes on
    OpImage* converted = opConvertImage(image, OP_FORMAT_YUV420, 0);
    ASSERT_NE(converted, image);
    EXPECT_EQ(converted->aspect, 1067);
    EXPECT_EQ(hxhost::liveCounts().images, live);
    EXPECT_EQ(opConvertImage(nullptr, OP_FORMAT_YUVA, 0), nullptr);
    opFreeImage(converted);
}

TEST_F(ImageFormatsTest, FillWritesTheColourWordInEveryFormat)
{
    const uint32_t colour = 0xB4C8503Cu; // Y 0xB4, V 0xC8, U 0x50, key 0x3C
    for (uint32_t format : kFormats) {
        OpImage* image = opAllocImage(5, 3, format, 0);
        gxSetImage(image, colour, 0);
        for (const Yuv& p : pixelsOf(image))
            ASSERT_TRUE(p.y == 0xB4 && p.u == 0x50 && p.v == 0xC8) << "format " << format;
        if (format == OP_FORMAT_YUVA) {
            EXPECT_EQ(image->planes[0][0], 0x3C);
        }
        opFreeImage(image);
    }
    OpImage* black = opAllocImage(2, 2, OP_FORMAT_YUVA, 0);
    gxSetImage(black, OP_VIDEO_BLACK, 0);
    const uint8_t expected[4] = {0xFF, 0x80, 0x80, 0x10};
    EXPECT_EQ(std::memcmp(black->planes[0] + 12, expected, 4), 0);
    opFreeImage(black);

    uint8_t range[4] = {};
    opGetPixelRange(range, 0);
    EXPECT_EQ((std::vector<int>{range[0], range[1], range[2], range[3]}), (std::vector<int>{16, 235, 16, 240}));
}

TEST_F(ImageFormatsTest, FieldsAreTheRowsOfOneParityAndWeaveBackIntoTheFrame)
{
    const int64_t live = hxhost::liveCounts().images;
    for (uint32_t format : {OP_FORMAT_YC_PLANAR, OP_FORMAT_YUVA, OP_FORMAT_YC_PACKED}) {
        SCOPED_TRACE(format);
        OpImage* frame = opConvertImage(yuvImage(4, 5, [](int x, int y) { return Yuv{20 + y * 30 + x, 128, 128}; }), format, 0);
        frame->aspect = 1067;
        OpImage* even = opMakeField(frame, 0, 0);
        OpImage* odd = opMakeField(frame, 0, 1);
        ASSERT_TRUE(even && odd);
        EXPECT_EQ(even->height, 3);
        EXPECT_EQ(odd->height, 2);
        EXPECT_EQ(odd->aspect, 1067);
        const std::vector<Yuv> oddPixels = pixelsOf(odd);
        EXPECT_EQ(oddPixels[4].y, 20 + 3 * 30); // its second row is the frame's row 3
        OpImage* woven = opMakeFrame(even, odd, 0, 0);
        ASSERT_NE(woven, nullptr);
        expectClose(pixelsOf(woven), pixelsOf(frame));
        EXPECT_EQ(opMakeFrame(odd, even, 0, 0), nullptr); // the first field holds the extra row
        for (OpImage* image : {frame, even, odd, woven})
            opFreeImage(image);
    }
    // 4:2:0 keeps luma exactly and flat chroma flat.
    OpImage* frame = opConvertImage(yuvImage(6, 6, [](int, int y) { return Yuv{20 + y * 30, 90, 200}; }), OP_FORMAT_YUV420, 0);
    OpImage* even = opMakeField(frame, 0, 0);
    OpImage* odd = opMakeField(frame, 0, 1);
    OpImage* woven = opMakeFrame(even, odd, 0, 0);
    expectClose(pixelsOf(woven), pixelsOf(frame));
    EXPECT_EQ(opMakeField(frame, 0, 2), nullptr);
    for (OpImage* image : {frame, even, odd, woven})
        opFreeImage(image);
    EXPECT_EQ(hxhost::liveCounts().images, live);
}

} // namespace
