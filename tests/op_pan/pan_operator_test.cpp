#include "support/test_home.h"

#include "stillset_op_pan/pan_instance.h"

#include "host/hxmain.h"
#include "hxhost/effect_runner.h"

#include <cmath>

namespace {

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

    // Plays the effect over a source and keeps the fields' sizes; counts the source's calls.
    bool play(uint32_t length, uint8_t flags, const hxhost::FieldSource& source)
    {
        fields.clear();
        return hxhost::runEffect(pan, length, flags, source, [this](OpImage* field, uint32_t) {
            fields.push_back({field->width, field->height});
            opFreeImage(field);
            return true;
        });
    }
    HxOperator* pan = nullptr;
    std::vector<std::pair<int, int>> fields;
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
