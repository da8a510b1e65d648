#include "session_fixture.h"

#include "stillset/time_units.h"

namespace {

using TimeUnitsTest = PluginTest;

TEST_F(TimeUnitsTest, DurationsAtTheHostsRate)
{
    const int32_t seconds[] = {1, 2, 3, 4, 5, 7, 10, 15, 20, 30};
    for (int32_t code = 0; code < 10; ++code) {
        EXPECT_EQ(durationFrames(code), seconds[code] * 25);
        EXPECT_EQ(durationCode(seconds[code] * 25), code);
    }
    EXPECT_EQ(durationFrames(9), 750);
    EXPECT_EQ(durationFrames(10), 75) << "an unknown code means 3 seconds";
    EXPECT_EQ(durationFrames(-1), 75);
    EXPECT_EQ(durationCode(176), 5) << "7 seconds by integer division";
    EXPECT_EQ(durationCode(150), 4) << "6 seconds is no code";
    EXPECT_EQ(entries(4, "src\\stillset").size(), 0u);
}

TEST_F(TimeUnitsTest, TransitionLengthsTruncate)
{
    EXPECT_EQ(transitionFrames(0), 5);
    EXPECT_EQ(transitionFrames(1), 12);
    EXPECT_EQ(transitionFrames(2), 25);
    EXPECT_EQ(transitionFrames(9), 25);
    EXPECT_EQ(transitionFrames(42), 25);
    hxhost::setFrameRateOverride(24);
    EXPECT_EQ(transitionFrames(0), 4) << "4.8 truncated";
    EXPECT_EQ(durationFrames(4), 120);
}

TEST_F(TimeUnitsTest, WithoutTimingOrWithARateOfZeroTwentyFiveIsAssumed)
{
    for (bool zeroRate : {false, true}) {
        hxhost::clearLog();
        if (zeroRate) {
            hxhost::setTimingAvailable(true);
            hxhost::setFrameRateOverride(0);
        } else {
            hxhost::setTimingAvailable(false);
        }
        EXPECT_EQ(durationFrames(2), 75);
        EXPECT_EQ(transitionFrames(1), 12);
        EXPECT_EQ(durationCode(250), 6);
        EXPECT_EQ(durationCode(-250), 4) << "-10 seconds by signed division is no code";
        EXPECT_EQ(entries(4, "src\\stillset").size(), 4u);
    }
}

} // namespace
