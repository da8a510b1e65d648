// The drawing helpers by value: the GUI image converters, and failures that each log at their own line.
#include "session_fixture.h"

#include "gui/drawing.h"
#include "gui/pixel_conversion.h"

#include "host/hxres.h"

namespace {

class DrawingTest : public PluginTest {
protected:
    // A 32-bit GUI image of two pixels: a red and a blue one as the toolkit holds them.
    static UgImage* twoPixels(uint32_t format)
    {
        UgImage* image = ugAllocImage(UG_IMAGE_KIND_32, 2, 1);
        auto* words = reinterpret_cast<uint32_t*>(image->pixels);
        words[0] = ugRGB2YUV(0xFFFF0000);
        words[1] = ugRGB2YUV(0xFF0000FF);
        image->format = format;
        return image;
    }
    static int lastFailureLine()
    {
        const auto failures = entries(4, "src\\gui");
        return failures.empty() ? -1 : failures.back().line;
    }
};

TEST_F(DrawingTest, ConvertersGiveRotatedArgbAndPacked565)
{
    UgImage* source = twoPixels(UG_FORMAT_YUV32 | UG_FORMAT_ARGB | 0x2E3);
    const auto* words = reinterpret_cast<const uint32_t*>(source->pixels);

    UgImage* argb = guiImageToArgb(source);
    ASSERT_NE(argb, nullptr);
    EXPECT_EQ(argb->format, 0x4020u); // 0x12C3 cleared, 0x4000 set
    for (int i = 0; i < 2; ++i) {
        const uint32_t a = ugYUV2RGB(words[i]);
        EXPECT_EQ(reinterpret_cast<const uint32_t*>(argb->pixels)[i], (a & 0xFF) << 24 | a >> 8) << i;
    }

    UgImage* packed = guiImageToRgb565(source);
    ASSERT_NE(packed, nullptr);
    EXPECT_EQ(packed->format, 0x0220u); // 0x50C3 cleared, 0x200 set
    for (int i = 0; i < 2; ++i) {
        const uint32_t a = ugYUV2RGB(words[i]);
        const uint32_t rgb = ((a >> 16) & 0xF800) | ((a >> 13) & 0x07E0) | ((a >> 11) & 0x001F);
        EXPECT_EQ(packed->pixels[3 * i], a & 0xFF) << i;
        EXPECT_EQ(packed->pixels[3 * i + 1], rgb & 0xFF) << i;
        EXPECT_EQ(packed->pixels[3 * i + 2], rgb >> 8) << i;
    }
    // Red stays red and blue blue: the 5-6-5 word of the red pixel has only its top five bits.
    EXPECT_EQ((packed->pixels[2] << 8 | packed->pixels[1]) & 0x07FF, 0);
    EXPECT_EQ((packed->pixels[5] << 8 | packed->pixels[4]) & 0xFFE0, 0);
    for (UgImage* image : {argb, packed}) {
        std::free(image->pixels);
        std::free(image);
    }
    ugFreeImage(source);
    expectNothingLive();
}

TEST_F(DrawingTest, EachMissingPictureLogsAtItsOwnLine)
{
    uint32_t word = 0;
    rgbToYuvPixels(nullptr, 4, 1, 1, &word);
    const int noSource = lastFailureLine();
    rgbToYuvPixels(&word, 4, 1, 1, nullptr);
    const int noTarget = lastFailureLine();
    EXPECT_GT(noSource, 0);
    EXPECT_NE(noSource, noTarget);

    // The two pixel-less headers the scaled drawing borrows: the first, then the second, refused.
    uint32_t pixels[4] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF};
    ResImage image{};
    image.width = image.height = 2;
    image.pixels = pixels;
    std::vector<int> lines;
    for (uint32_t nth : {1u, 2u}) {
        hxhost::failService("opAllocImage", nth);
        drawResImageScaled(nullptr, &image, 0, 0, 4, 4);
        hxhost::clearFaults();
        lines.push_back(lastFailureLine());
    }
    EXPECT_GT(lines[0], 0);
    EXPECT_NE(lines[0], lines[1]);
    EXPECT_NE(lines[0], noSource);
    expectNothingLive();
}

} // namespace
