#include "support/test_home.h"

#include "stillset_op_pan/pan_instance.h"

#include "host/hxmain.h"
#include "host/hxmotion.h"
#include "hxhost/effect_runner.h"

#include <cmath>
#include <cstring>

namespace {

// A still whose every pixel differs from its neighbours, so a window moved or a row swapped shows.
OpImage* gradientOf(int width, int height)
{
    OpImage* image = opAllocImage(width, height, OP_FORMAT_YUVA, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint8_t* p = image->planes[0] + 4 * (static_cast<size_t>(y) * width + x);
            p[0] = 255;
            p[1] = static_cast<uint8_t>(x * 7 + y);
            p[2] = static_cast<uint8_t>(y * 5);
            p[3] = static_cast<uint8_t>(16 + (x + 3 * y) % 220);
        }
    return image;
}

OpImage* stillOf(int width, int height, uint32_t colour = 0x80808080)
{
    OpImage* image = opAllocImage(width, height, OP_FORMAT_YUVA, 0);
    if (!image)
        return image; // an injected fault reaches the source's own pictures too
    auto* words = reinterpret_cast<uint32_t*>(image->planes[0]);
    std::fill(words, words + static_cast<size_t>(width) * height, colour);
    return image;
}

class PanTest : public HostTest {
protected:
    void SetUp() override
    {
        HostTest::SetUp();
        pan = mainLoadOperator("longterm/stillsetpan.opw", 1);
        ASSERT_NE(pan, nullptr);
    }
    void TearDown() override
    {
        mainUnloadOperator(pan);
        EXPECT_EQ(hxhost::liveCounts(), hxhost::LiveCounts{});
        HostTest::TearDown();
    }
    void setMode(uint32_t mode) { ASSERT_EQ(opSetPrefs(pan, &mode, sizeof mode), 0); }

    // Plays the effect over a source and keeps the fields' sizes and pixels.
    bool play(uint32_t length, uint8_t flags, const hxhost::FieldSource& source)
    {
        fields.clear();
        pixels.clear();
        return hxhost::runEffect(pan, length, flags, source, [this](OpImage* field, uint32_t) {
            fields.push_back({field->width, field->height});
            pixels.emplace_back(field->planes[0], field->planes[0] + 4 * static_cast<size_t>(field->width) * field->height);
            opFreeImage(field);
            return true;
        });
    }
    HxOperator* pan = nullptr;
    std::vector<std::pair<int, int>> fields;
    std::vector<std::vector<uint8_t>> pixels;
};

TEST(PanWindow, ZoomGoesFromTheFullViewToEightyFourPercentCentred)
{
    OpImage picture{};
    picture.width = 1000;
    picture.height = 800;
    OpImage frame{};
    frame.width = 720;
    frame.height = 576;
    frame.aspect = 1000;
    const PanWindow start = panWindow(picture, frame, 0, 100, 0);
    EXPECT_DOUBLE_EQ(start.w, 1000);
    EXPECT_DOUBLE_EQ(start.h, 800);
    EXPECT_DOUBLE_EQ(start.x, 0);
    const PanWindow end = panWindow(picture, frame, 0, 100, 100);
    EXPECT_NEAR(end.w, 840, 1e-9);
    EXPECT_NEAR(end.h, 672, 1e-9);
    EXPECT_NEAR(end.x, 80, 1e-9);
    EXPECT_NEAR(end.y, 64, 1e-9);
    const PanWindow none = panWindow(picture, frame, 0, 0, 0);
    EXPECT_DOUBLE_EQ(none.w, 1000) << "a length of 0 shows the start view";
}

TEST(PanWindow, PansStartAtTheirCornersAndStepInWholePixelsAboveOne)
{
    OpImage frame{};
    frame.width = 720;
    frame.height = 576;
    frame.aspect = 1000;
    OpImage picture{};
    // A picture whose full view is 1000 x 800: 94 % is 940 x 752.
    picture.width = 1190; // spare width 250 -> 2.5 a unit, cut to 2
    picture.height = 800;
    PanWindow first = panWindow(picture, frame, 1, 100, 0);
    EXPECT_DOUBLE_EQ(first.x, 0);
    EXPECT_DOUBLE_EQ(first.y, 0);
    PanWindow last = panWindow(picture, frame, 1, 100, 100);
    EXPECT_DOUBLE_EQ(last.x, 200) << "not 250: the step is cut to whole pixels";
    EXPECT_NEAR(last.y, 48, 1e-9) << "800 - 752 = 48 spare, 0.48 a unit, kept";
    PanWindow fromBottomRight = panWindow(picture, frame, 3, 100, 0);
    EXPECT_DOUBLE_EQ(fromBottomRight.x, 200);
    EXPECT_NEAR(fromBottomRight.y, 48, 1e-9);
    PanWindow other = panWindow(picture, frame, 7, 100, 0);
    PanWindow mode4 = panWindow(picture, frame, 4, 100, 0);
    EXPECT_DOUBLE_EQ(other.x, mode4.x);
    EXPECT_DOUBLE_EQ(other.y, mode4.y);
    EXPECT_DOUBLE_EQ(other.y, panWindow(picture, frame, 4, 100, 0).y);
    picture.width = 1000;
    picture.height = 802; // 50 spare rows over 100: half a pixel a unit
    EXPECT_NEAR(panWindow(picture, frame, 1, 100, 1).y, 0.5, 1e-9);
}

// A picture header of a size and pixel aspect, without pixels.
OpImage sized(int16_t width, int16_t height, uint16_t aspect = 1000)
{
    OpImage image{};
    image.width = width;
    image.height = height;
    image.aspect = aspect;
    return image;
}

// The two pans not tried above, at their start, middle and end: top-right to bottom-left and
// bottom-left to top-right, over the same 1190 x 800 picture (steps of 2 and 0.48 pixels).
TEST(PanWindow, ModesTwoAndFourCrossTheOtherDiagonal)
{
    const OpImage frame = sized(720, 576), picture = sized(1190, 800);
    struct Expected {
        uint32_t mode, position;
        double x, y;
    };
    for (const Expected& e : {Expected{2, 0, 200, 0}, Expected{2, 50, 100, 24}, Expected{2, 100, 0, 48},
                              Expected{4, 0, 0, 48}, Expected{4, 50, 100, 24}, Expected{4, 100, 200, 0}}) {
        const PanWindow window = panWindow(picture, frame, e.mode, 100, e.position);
        EXPECT_NEAR(window.x, e.x, 1e-9) << "mode " << e.mode << " at " << e.position;
        EXPECT_NEAR(window.y, e.y, 1e-9) << "mode " << e.mode << " at " << e.position;
        EXPECT_NEAR(window.w, 940, 1e-9);
        EXPECT_NEAR(window.h, 752, 1e-9);
    }
}

// PAL's pixels are 1067 thousandths as wide as tall, so its frame shows a 4:3 picture: the full view
// of a 4:3 still is the whole still, and no window of the zoom is ever larger than it.
TEST(PanWindow, FullViewFollowsThePalPixelAspectAndTheZoomStaysInsideTheStill)
{
    const OpImage frame = sized(720, 576, 1067), picture = sized(1600, 1200);
    const PanWindow full = panWindow(picture, frame, 0, 100, 0);
    EXPECT_NEAR(full.w / full.h, 720.0 / 576 * 1067 / 1000, 0.002);
    EXPECT_NEAR(full.w, 1600, 1);
    EXPECT_NEAR(full.h, 1200, 1);
    for (uint32_t position = 0; position <= 100; position += 10) {
        const PanWindow window = panWindow(picture, frame, 0, 100, position);
        EXPECT_LE(window.w, full.w) << position;
        EXPECT_GE(window.x, 0) << position;
        EXPECT_GE(window.y, 0) << position;
        EXPECT_LE(window.x + window.w, picture.width + 1e-9) << position;
        EXPECT_LE(window.y + window.h, picture.height + 1e-9) << position;
    }
}

// A tall frame (a phone's 9:16) shows a tall window of a landscape still, inside it, for every
// mode; a square one a square window.
TEST(PanWindow, TallAndSquareFramesShowWindowsOfTheirShapeInsideTheStill)
{
    const OpImage picture = sized(3000, 2000);
    for (const OpImage& frame : {sized(1080, 1920, 1000), sized(1080, 1080, 1000)}) {
        const double shape = static_cast<double>(frame.width) / frame.height;
        for (uint32_t mode = 0; mode <= 4; ++mode)
            for (uint32_t position = 0; position <= 100; position += 50) {
                const PanWindow window = panWindow(picture, frame, mode, 100, position);
                SCOPED_TRACE(testing::Message() << frame.height << " lines, mode " << mode << " at " << position);
                EXPECT_NEAR(window.w / window.h, shape, 0.002);
                EXPECT_GT(window.h, 0.8 * picture.height);
                EXPECT_GE(window.x, 0);
                EXPECT_GE(window.y, 0);
                EXPECT_LE(window.x + window.w, picture.width + 1e-9);
                EXPECT_LE(window.y + window.h, picture.height + 1e-9);
            }
    }
}

TEST_F(PanTest, LargeStillIsShrunkOnceForAPanButNotForTheZoom)
{
    PanInstance instance{1, stillOf(4000, 3000)};
    shrinkForPan(instance, 720, 288);
    EXPECT_EQ(instance.keptPicture->height, 610) << "763 wide would leave it less than 576 high";
    EXPECT_EQ(instance.keptPicture->width, 813);
    opFreeImage(instance.keptPicture);

    for (uint32_t mode : {0u, 1u}) {
        setMode(mode);
        int fetches = 0;
        ASSERT_TRUE(play(10, 0, [&](uint32_t flags, uint32_t) {
            ++fetches;
            EXPECT_EQ(flags, OP_FIELD_FULL_PICTURE);
            return stillOf(4000, 3000);
        }));
        EXPECT_EQ(fetches, 1) << "one picture an instance";
        ASSERT_EQ(fields.size(), 11u);
        for (auto [w, h] : fields) {
            EXPECT_EQ(w, 720);
            EXPECT_EQ(h, 288);
        }
    }
}

TEST_F(PanTest, StillOfTheFieldSizeIsWovenWithTheNextField)
{
    setMode(2);
    std::vector<std::pair<uint32_t, uint32_t>> asked;
    ASSERT_TRUE(play(3, 0, [&](uint32_t flags, uint32_t index) {
        asked.push_back({flags, index});
        return stillOf(720, 288);
    }));
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[0], (std::pair<uint32_t, uint32_t>{OP_FIELD_FULL_PICTURE, 0}));
    EXPECT_EQ(asked[1], (std::pair<uint32_t, uint32_t>{0, 1}));
    EXPECT_EQ(fields.size(), 4u);
}

// A progressive frame is one instant: the operator renders it once, and its two fields are the
// two parities' rows of the frame a direct render of the window at the frame's position gives.
TEST_F(PanTest, ProgressiveFrameIsRenderedOnceAndSplitIntoItsFields)
{
    ASSERT_TRUE(hxhost::setVideoFormat("720p"));
    for (uint32_t mode : {0u, 3u}) {
        setMode(mode);
        OpImage* still = gradientOf(1500, 700); // lower than the frame: a pan keeps it as it is
        const uint32_t length = 7, frames = 4;
        const uint32_t scalesBefore = hxhost::callCount("opScaleImageSP");
        ASSERT_TRUE(play(length, 0, [](uint32_t, uint32_t) { return gradientOf(1500, 700); }));
        EXPECT_EQ(hxhost::callCount("opScaleImageSP") - scalesBefore, frames) << "one render a frame, mode " << mode;
        ASSERT_EQ(pixels.size(), 2 * frames);
        OpImage* frame = opAllocImage(1280, 720, OP_FORMAT_YUVA, 4);
        frame->aspect = 1000;
        const size_t rowBytes = 4 * 1280;
        const uint32_t firstParity = cmGetFirstFieldStatus() ? 1 : 0; // the first field in time: the bottom one when it comes first
        for (uint32_t k = 0; k < frames; ++k) {
            const PanWindow window = panWindow(*still, *frame, mode, length, 2 * k);
            ASSERT_EQ(opScaleImageSP(still, frame, window.x, window.y, window.w, window.h, 0x60700), 0);
            for (uint32_t j = 0; j < 2; ++j) {
                const std::vector<uint8_t>& field = pixels[2 * k + j];
                const uint32_t parity = j ^ firstParity;
                ASSERT_EQ(field.size(), 360 * rowBytes);
                for (size_t row = 0; row < 360; ++row)
                    ASSERT_EQ(std::memcmp(field.data() + row * rowBytes, frame->planes[0] + (2 * row + parity) * rowBytes, rowBytes), 0)
                        << "mode " << mode << ", frame " << k << ", parity " << parity << ", row " << row;
            }
        }
        opFreeImage(frame);
        opFreeImage(still);
    }
}

// A frame whose render fails hands on no field of it, and leaves none behind.
TEST_F(PanTest, ProgressiveFailureKeepsNoSecondField)
{
    ASSERT_TRUE(hxhost::setVideoFormat("720p"));
    setMode(1);
    for (uint32_t nth = 1; nth <= 3; ++nth) {
        hxhost::clearFaults();
        hxhost::failService("opMakeField", nth);
        EXPECT_FALSE(play(7, 0, [](uint32_t, uint32_t) { return gradientOf(1500, 700); }));
        EXPECT_EQ(pixels.size(), 2 * (nth - 1)) << "whole frames only, before the failed one";
        EXPECT_EQ(hxhost::liveCounts().images, 0) << nth;
    }
}

TEST_F(PanTest, ZeroLengthRendersTheStartViewOnce)
{
    for (uint32_t mode : {0u, 3u}) {
        setMode(mode);
        ASSERT_TRUE(play(0, 0, [](uint32_t, uint32_t) { return stillOf(1000, 800); })) << mode;
        EXPECT_EQ(fields.size(), 1u);
    }
}

TEST_F(PanTest, EveryFailureFreesWhatItMade)
{
    setMode(1);
    for (const char* service : {"opAllocImage", "opGetField", "opMakeFrame", "opMakeField"}) {
        for (uint32_t nth = 1; nth <= 4; ++nth) {
            hxhost::clearFaults();
            hxhost::failService(service, nth);
            play(3, 0, [](uint32_t, uint32_t) { return stillOf(720, 288); });
            EXPECT_EQ(hxhost::liveCounts().images, 0) << service << " " << nth;
        }
    }
    // After the probe and the source's still, the third image is the shrunk copy: without it the
    // pan goes on over the still as it is.
    hxhost::clearFaults();
    hxhost::failService("opAllocImage", 3);
    EXPECT_TRUE(play(3, 0, [](uint32_t, uint32_t) { return stillOf(2000, 1500); }));
    EXPECT_EQ(hxhost::liveCounts().images, 0);
    hxhost::clearFaults();
    EXPECT_FALSE(play(3, 0, [](uint32_t, uint32_t) { return nullptr; }));
    EXPECT_GE(entries(4, "src\\stillset_op_pan").size(), 1u);
}

TEST_F(PanTest, EachLoadKeepsItsOwnPreferenceBlock)
{
    HxOperator* second = mainLoadOperator("longterm/stillsetpan.opw", 1);
    uint32_t mode = 3;
    ASSERT_EQ(opSetPrefs(second, &mode, sizeof mode), 0);
    uint32_t read = 99;
    ASSERT_EQ(opGetPrefs(pan, &read, sizeof read), 0);
    EXPECT_EQ(read, 0u);
    mainUnloadOperator(second);
    EXPECT_EQ(opGetPrefsSize(pan), sizeof(uint32_t));
    EXPECT_EQ(std::u16string(mainGetOperatorName("longterm/stillsetpan.opw", 0)), u"Pan and zoom");
}

} // namespace
