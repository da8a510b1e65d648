// The player's own arithmetic: which picture a sound sample falls in, where scenes lie on the strip
// and which frame a point of it means, and which rows and colours a shown field takes from the frame.
#include "player/frame_picture.h"
#include "player/play_clock.h"
#include "player/timeline.h"

#include <gtest/gtest.h>

namespace {

hxhost::VideoFileFormat formatOf(int32_t rate, bool fractional, bool progressive)
{
    hxhost::VideoFileFormat format;
    format.framesPerSecond = rate;
    format.fractionalRate = fractional;
    format.progressive = progressive;
    return format;
}

TEST(PlayClock, EverySampleFallsInThePictureThatStartedLast)
{
    for (const auto& format : {formatOf(25, false, false), formatOf(30, true, false), formatOf(30, false, true),
                               formatOf(60, true, true), formatOf(24, false, true)}) {
        const hx::PlayClock clock(format);
        for (int64_t picture = 0; picture < 5000; picture += 7) {
            const int64_t first = clock.sampleOfPicture(picture), next = clock.sampleOfPicture(picture + 1);
            ASSERT_LT(first, next) << format.framesPerSecond << " picture " << picture;
            EXPECT_EQ(clock.pictureAt(first), picture);
            EXPECT_EQ(clock.pictureAt(next - 1), picture);
        }
    }
    EXPECT_EQ(hx::PlayClock(formatOf(25, false, false)).pictureAt(-5), 0);
}

TEST(PlayClock, AnInterlacedFieldIsItsOwnInstant)
{
    const hx::PlayClock pal(formatOf(25, false, false));
    EXPECT_EQ(pal.picturesPerFrame(), 2);
    EXPECT_EQ(pal.sampleOfPicture(1), 960) << "the second field from the frame's middle";
    EXPECT_EQ(pal.sampleOfPicture(50), 48000) << "50 pictures a second";
    EXPECT_EQ(hx::PlayClock(formatOf(30, false, true)).sampleOfPicture(30), 48000);
}

// Three scenes of 100 frames, the first two joined by 20-frame transitions, on a strip 300 wide.
struct StripCase : ::testing::Test {
    StripCase()
    {
        layout.strip = {10, 700, 300, 50};
        for (int i = 0; i < 3; ++i) {
            hxhost::StoryboardScene scene;
            scene.length = 100;
            scene.position = 80 * i;
            if (i < 2) {
                scene.transition.emplace();
                scene.transition->length = 20;
            }
            board.scenes.push_back(scene);
        }
        board.length = 260;
    }
    hxhost::PlayerLayout layout;
    hxhost::Storyboard board;
};

TEST_F(StripCase, PointsSeekWithinTheShowAndScenesAreToScale)
{
    const hx::Timeline timeline(layout, board);
    EXPECT_EQ(timeline.frameAt(-40), 0);
    EXPECT_EQ(timeline.frameAt(10), 0);
    EXPECT_EQ(timeline.frameAt(310), 259) << "the right edge is the last frame, not one past it";
    EXPECT_EQ(timeline.frameAt(5000), 259);
    for (int64_t f = 0; f < board.length; f += 13)
        EXPECT_LE(std::abs(timeline.frameAt(timeline.xOfFrame(f)) - f), 1) << f;
    const auto& scenes = timeline.scenes();
    ASSERT_EQ(scenes.size(), 3u);
    EXPECT_EQ(scenes[0].x0, 10);
    EXPECT_EQ(scenes[2].x1, 310);
    // A transition is marked where the next scene starts and until its own scene ends; the last has none.
    EXPECT_EQ(scenes[0].overlapX0, timeline.xOfFrame(80));
    EXPECT_EQ(scenes[0].overlapX1, timeline.xOfFrame(100));
    EXPECT_EQ(scenes[2].overlapX1, scenes[2].overlapX0);
}

TEST_F(StripCase, InsideATransitionTheSceneItLeavesIsPlaying)
{
    const hx::Timeline timeline(layout, board);
    EXPECT_EQ(timeline.sceneAt(0), 0);
    EXPECT_EQ(timeline.sceneAt(85), 0);
    EXPECT_EQ(timeline.sceneAt(100), 1);
    EXPECT_EQ(timeline.sceneAt(259), 2);
    EXPECT_EQ(timeline.sceneAt(260), -1);
}

// An 8x8 frame whose rows say their parity: even rows Y 16 (black), odd rows Y 235 (white); the chroma
// rows of the bottom field turn red what is white in them.
hxhost::WovenFrame parityFrame()
{
    hxhost::WovenFrame frame;
    frame.planes.assign(64 + 32, 128);
    for (int y = 0; y < 8; ++y)
        std::fill_n(frame.planes.begin() + 8 * y, 8, y % 2 ? 235 : 16);
    for (int c = 1; c < 4; c += 2) {
        std::fill_n(frame.planes.begin() + 64 + 4 * c, 4, 90);      // U: less blue
        std::fill_n(frame.planes.begin() + 64 + 16 + 4 * c, 4, 240); // V: more red
    }
    return frame;
}

TEST(FramePicture, AnInterlacedFrameShowsEachFieldAloneWithItsOwnChroma)
{
    hxhost::VideoFileFormat format = formatOf(25, false, false);
    format.width = 8;
    format.height = 8;
    format.bottomFirst = true;
    hxhost::Picture first, second;
    hx::framePicture(parityFrame(), format, 0, first);
    hx::framePicture(parityFrame(), format, 1, second);
    ASSERT_EQ(first.height, 4);
    ASSERT_EQ(second.height, 4);
    // Bottom field first: the odd rows, with the bottom field's reddened chroma.
    for (int y = 0; y < 4; ++y) {
        EXPECT_GT((first.at(3, y) >> 16) & 0xFF, 250u) << y;
        EXPECT_LT(first.at(3, y) & 0xFF, 200u) << y;
        EXPECT_EQ(second.at(3, y), 0u) << "the top field is black";
    }
    format.bottomFirst = false;
    hx::framePicture(parityFrame(), format, 0, first);
    EXPECT_EQ(first.at(0, 0), 0u) << "top field first: the even rows";
}

TEST(FramePicture, AProgressiveFrameIsShownWholeInItsStandardsColours)
{
    hxhost::VideoFileFormat format = formatOf(30, false, true);
    format.width = 8;
    format.height = 8;
    format.highDefinition = true;
    hxhost::WovenFrame frame;
    frame.planes.assign(96, 0);
    // BT.709 limited-range red: Y 63, Cb 102, Cr 240.
    std::fill_n(frame.planes.begin(), 64, 63);
    std::fill_n(frame.planes.begin() + 64, 16, 102);
    std::fill_n(frame.planes.begin() + 80, 16, 240);
    hxhost::Picture picture;
    hx::framePicture(frame, format, 0, picture);
    ASSERT_EQ(picture.height, 8);
    for (uint32_t pixel : picture.pixels) {
        EXPECT_GE((pixel >> 16) & 0xFF, 253u);
        EXPECT_LE((pixel >> 8) & 0xFF, 2u);
        EXPECT_LE(pixel & 0xFF, 2u);
    }
    // A frame too short for the format is left alone rather than read past its end.
    frame.planes.resize(50);
    hxhost::Picture untouched;
    hx::framePicture(frame, format, 0, untouched);
    EXPECT_TRUE(untouched.pixels.empty());
}

} // namespace
