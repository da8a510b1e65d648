// Fitting sizes into boxes, and the pad filter graph.
#include "host/hximp.h"
#include "host/hxopcommon.h"
#include "support/test_home.h"
#include "host/image_helpers.h"

#include <string>

namespace {

using ImageGeometryTest = HostTest;

std::pair<int, int> fitted(int w, int h, int sourceAspect, int boxWidth, int boxHeight, int targetAspect, uint32_t mode)
{
    int16_t width = static_cast<int16_t>(w), height = static_cast<int16_t>(h);
    opCalcDims(&width, &height, sourceAspect, boxWidth, boxHeight, targetAspect, mode);
    return {width, height};
}

TEST_F(ImageGeometryTest, FitsIntoTheBoxAtTheTargetAspect)
{
    using P = std::pair<int, int>;
    // A portrait photo under PAL's wide pixels: 576 high shows 432 square pixels wide, 404.9 PAL pixels.
    EXPECT_EQ(fitted(3000, 4000, 1000, 720, 576, 1067, 4), P(405, 576));
    EXPECT_EQ(fitted(3000, 4000, 1000, 720, 576, 1067, 0), P(404, 576)); // mode 0 truncates
    EXPECT_EQ(fitted(4000, 3000, 1000, 720, 576, 1000, 4), P(720, 540));
    // The pan operator's shrink: 106 % of the width, height unbounded; then the height, width unbounded.
    EXPECT_EQ(fitted(4000, 3000, 1000, 763, 30000, 1000, 4), P(763, 572));
    EXPECT_EQ(fitted(4000, 3000, 1000, 30000, 610, 1000, 4), P(813, 610));
    // The largest window of a PAL frame's shape inside a 4000 x 3000 picture.
    const int r30000 = static_cast<int>(30000 / (720.0 / 576 * 1000 / 1067));
    EXPECT_EQ(fitted(30000, r30000, 1000, 4000, 3000, 1000, 0), P(3514, 3000));
    // A PAL grab into square pixels, and enlarging.
    EXPECT_EQ(fitted(720, 576, 1067, 720, 576, 1000, 4), P(720, 540));
    EXPECT_EQ(fitted(32, 32, 1000, 1000, 20, 1000, 4), P(20, 20));
    // Both sides unbounded: only the aspect changes, within what an image can hold.
    EXPECT_EQ(fitted(720, 576, 1067, 30000, 30000, 1000, 4), P(768, 576));
    EXPECT_EQ(fitted(30000, 100, 2000, 30000, 30000, 1000, 4), P(32767, 55));
    // Nonsense leaves the size alone.
    EXPECT_EQ(fitted(720, 576, 0, 720, 576, 1000, 4), P(720, 576));
    EXPECT_EQ(fitted(720, 576, 1000, -5, 576, 1000, 4), P(720, 576));
}

ImpFilterParams paramsFor(int width, int height)
{
    return {36, width, height, 1, 25, 1000, 1000, 0, 0};
}

OpImage* picture420(int width, int height)
{
    return opConvertImage(yuvImage(width, height, [](int, int) { return Yuv{200, 60, 180}; }), OP_FORMAT_YUV420, 0);
}

// The padded picture of a width x height picture placed by `description`.
OpImage* pad(int width, int height, const std::string& description)
{
    const ImpFilterParams params = paramsFor(width, height);
    ImpFilter* filter = imp_filter_create(&params, description.c_str());
    if (!filter)
        return nullptr;
    OpImage* picture = picture420(width, height);
    EXPECT_EQ(imp_filter_put_frame(filter, picture, 0), 0);
    EXPECT_TRUE(hxhost::liveCounts().images > 0);
    opFreeImage(picture); // the filter keeps no hold on what it was given
    OpImage* padded = imp_filter_get_frame(filter, 0);
    EXPECT_EQ(imp_filter_get_frame(filter, 0), nullptr); // one picture in, one out
    imp_filter_destroy(filter);
    return padded;
}

TEST_F(ImageGeometryTest, PadPlacesThePictureOnVideoBlack)
{
    const int64_t live = hxhost::liveCounts().images;
    struct Case {
        int width, height;
        std::string description;
        int left, top;
    };
    for (const Case& c : {Case{540, 576, "pad=width=720:height=576:x=90:y=0", 90, 0},
                          Case{720, 405, "pad=width=720:height=576:x=0:y=85", 0, 85},
                          Case{7, 5, "pad=x=3:y=2:height=9:width=11", 3, 2}}) {
        SCOPED_TRACE(c.description);
        OpImage* padded = pad(c.width, c.height, c.description);
        ASSERT_NE(padded, nullptr);
        EXPECT_EQ(padded->format, OP_FORMAT_YUV420);
        const std::vector<Yuv> pixels = pixelsOf(padded);
        const int w = padded->width;
        auto at = [&](int x, int y) { return pixels[static_cast<size_t>(y * w + x)]; };
        // Inside: the picture's luma; outside: video black.
        EXPECT_EQ(at(c.left, c.top).y, 200);
        EXPECT_EQ(at(c.left + c.width - 1, c.top + c.height - 1).y, 200);
        for (auto [x, y] : {std::pair{0, 0}, {w - 1, padded->height - 1}, {c.left + c.width, c.top}})
            if (x < w && (x < c.left || y < c.top || x >= c.left + c.width || y >= c.top + c.height)) {
                EXPECT_TRUE(at(x, y).y == 16 && at(x, y).u == 128 && at(x, y).v == 128) << x << "," << y;
            }
        opFreeImage(padded);
    }
    // What get_frame hands over is the caller's.
    OpImage* kept = pad(540, 576, "pad=width=720:height=576:x=90:y=0");
    EXPECT_EQ(hxhost::liveCounts().images, live + 1);
    opFreeImage(kept);
    EXPECT_EQ(hxhost::liveCounts().images, live);
}

TEST_F(ImageGeometryTest, PadRefusesWhatItCannotDo)
{
    const ImpFilterParams params = paramsFor(540, 576);
    for (const char* description :
         {"", "pad", "pad=", "crop=width=720:height=576", "pad=width=720:height=576:x=90:y=0:", "pad=width=720:height=576:z=1",
          "pad=width=720", "pad=width=720:height=576:x=90:x=0", "pad=width=72O:height=576", "pad=width=720:height=576:x=-1",
          "pad=width=720:height=576:x=181", "pad=width=40000:height=576", "pad=width=720:height=-576",
          "pad=width=720:height=576:x=99999999999"})
        EXPECT_EQ(imp_filter_create(&params, description), nullptr) << description;
    EXPECT_EQ(imp_filter_create(nullptr, "pad=width=720:height=576"), nullptr);
    ImpFilterParams badSize = params;
    badSize.size = 32;
    EXPECT_EQ(imp_filter_create(&badSize, "pad=width=720:height=576"), nullptr);

    // Pictures of another size or format are refused; a filter destroyed with a picture in it frees it.
    const int64_t live = hxhost::liveCounts().images;
    ImpFilter* filter = imp_filter_create(&params, "pad=width=720:height=576:x=90");
    ASSERT_NE(filter, nullptr);
    OpImage* wrongSize = picture420(540, 574);
    OpImage* wrongFormat = opAllocImage(540, 576, OP_FORMAT_YUVA, 0);
    OpImage* right = picture420(540, 576);
    EXPECT_EQ(imp_filter_put_frame(filter, wrongSize, 0), -1);
    EXPECT_EQ(imp_filter_put_frame(filter, wrongFormat, 0), -1);
    EXPECT_EQ(imp_filter_put_frame(filter, nullptr, 0), -1);
    EXPECT_EQ(imp_filter_put_frame(filter, right, 0), 0);
    imp_filter_destroy(filter);
    for (OpImage* image : {wrongSize, wrongFormat, right})
        opFreeImage(image);
    EXPECT_EQ(hxhost::liveCounts().images, live);
}

} // namespace
