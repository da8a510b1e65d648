// opScaleImage and txOpScale in every format: flat colours stay exact, ramps average and
// interpolate, chroma stays with its own channel at odd sizes.
#include "host/hxgx.h"
#include "host/hxopcommon.h"
#include "host/hxtx.h"
#include "support/test_home.h"
#include "host/image_helpers.h"

namespace {

using ImageScalingTest = HostTest;

TEST_F(ImageScalingTest, FlatColoursStayExactAtOddSizesInEveryFormat)
{
    const int64_t live = hxhost::liveCounts().images;
    for (uint32_t format : kFormats)
        for (auto [w, h] : {std::pair{5, 3}, {29, 17}, {2, 1}, {13, 40}}) {
            SCOPED_TRACE(testing::Message() << "format " << format << " into " << w << "x" << h);
            OpImage* source = opAllocImage(13, 7, format, 0);
            OpImage* target = opAllocImage(w, h, format, 0);
            gxSetImage(source, 0x64C83CFFu, 0); // Y 100, V 200, U 60
            ASSERT_EQ(opScaleImage(source, target, 0), 0);
            for (const Yuv& p : pixelsOf(target))
                ASSERT_TRUE(p.y == 100 && p.u == 60 && p.v == 200) << p.y << " " << p.u << " " << p.v;
            opFreeImage(source);
            opFreeImage(target);
        }
    EXPECT_EQ(hxhost::liveCounts().images, live);
}

TEST_F(ImageScalingTest, ShrinkingAveragesAndEnlargingInterpolates)
{
    // Luma 0, 40, 80, 120 across, the same in every row.
    OpImage* ramp = yuvImage(4, 3, [](int x, int) { return Yuv{40 * x, 128, 128}; });
    OpImage* half = opAllocImage(2, 3, OP_FORMAT_YUVA, 0);
    OpImage* twice = opAllocImage(8, 3, OP_FORMAT_YUVA, 0);
    ASSERT_EQ(opScaleImage(ramp, half, 0), 0);
    ASSERT_EQ(opScaleImage(ramp, twice, 0), 0);
    EXPECT_EQ(yuvAt(half, 0, 1).y, 20);
    EXPECT_EQ(yuvAt(half, 1, 2).y, 100);
    const int expected[8] = {0, 10, 30, 50, 70, 90, 110, 120};
    for (int x = 0; x < 8; ++x)
        EXPECT_EQ(yuvAt(twice, x, 1).y, expected[x]) << x;

    // A third of a 9-row ramp averages each group of three rows.
    OpImage* tall = yuvImage(2, 9, [](int, int y) { return Yuv{16 + 10 * y, 128, 128}; });
    OpImage* third = opAllocImage(2, 3, OP_FORMAT_YUVA, 0);
    ASSERT_EQ(txOpScale(tall, third, 0), 0);
    for (int y = 0; y < 3; ++y)
        EXPECT_EQ(yuvAt(third, 1, y).y, 16 + 10 * (3 * y + 1)) << y;
    for (OpImage* image : {ramp, half, twice, tall, third})
        opFreeImage(image);
}

TEST_F(ImageScalingTest, ChromaStaysInItsChannelAtOddWidths)
{
    // Left half: U 50, V 210; right half: U 200, V 40; luma a step at the same place.
    auto split = [](int x, int) { return x < 4 ? Yuv{30, 50, 210} : Yuv{220, 200, 40}; };
    for (uint32_t format : kFormats) {
        SCOPED_TRACE(format);
        OpImage* source = opConvertImage(yuvImage(8, 2, split), format, 0);
        OpImage* target = opAllocImage(4, 3, format, 0);
        ASSERT_EQ(opScaleImage(source, target, 0), 0);
        const std::vector<Yuv> pixels = pixelsOf(target);
        for (int y = 0; y < 3; ++y) {
            const Yuv left = pixels[static_cast<size_t>(y * 4)], right = pixels[static_cast<size_t>(y * 4 + 3)];
            EXPECT_TRUE(left.y == 30 && left.u == 50 && left.v == 210) << left.y << " " << left.u << " " << left.v;
            EXPECT_TRUE(right.y == 220 && right.u == 200 && right.v == 40) << right.y << " " << right.u << " " << right.v;
        }
        // An odd target width keeps the colours where they were.
        OpImage* odd = opAllocImage(7, 2, format, 0);
        ASSERT_EQ(opScaleImage(source, odd, 0), 0);
        const std::vector<Yuv> oddPixels = pixelsOf(odd);
        EXPECT_EQ(oddPixels[0].u, 50);
        EXPECT_EQ(oddPixels[0].v, 210);
        EXPECT_EQ(oddPixels[6].y, 220);
        for (OpImage* image : {source, target, odd})
            opFreeImage(image);
    }
}

TEST_F(ImageScalingTest, RefusesMismatchedOrDeadImagesAndInjectedFaults)
{
    OpImage* source = opAllocImage(8, 8, OP_FORMAT_YUVA, 0);
    OpImage* packed = opAllocImage(4, 4, OP_FORMAT_YC_PACKED, 0);
    OpImage* header = opAllocImage(4, 4, OP_FORMAT_YUVA, OP_ALLOC_NO_PIXELS);
    OpImage* target = opAllocImage(4, 4, OP_FORMAT_YUVA, 0);
    EXPECT_EQ(opScaleImage(source, packed, 0), -1);
    EXPECT_EQ(opScaleImage(source, header, 0), -1);
    EXPECT_EQ(opScaleImage(nullptr, target, 0), -1);
    hxhost::failService("opScaleImage");
    EXPECT_EQ(opScaleImage(source, target, 0), -1);
    EXPECT_EQ(txOpScale(source, target, 0), 0);
    for (OpImage* image : {source, packed, header, target})
        opFreeImage(image);
}

} // namespace
