// stillset-host play, before any window opens: what it refuses and why, with nothing touched.
#include "program_run.h"
#include "support/test_home.h"

namespace {

class PlayCommandTest : public HostTest {
protected:
    std::string play(const std::string& options) const
    {
        return "env -u DISPLAY -u WAYLAND_DISPLAY " + kHost + " play --hxhome " + home() + " --project 0 " + options;
    }
};

TEST_F(PlayCommandTest, AStartThatIsNoTimeIsRefused)
{
    for (const std::string start : {"-1", "twelve", "12s", "nan", "inf", ""}) {
        const ProgramRun refused = run(play("--start '" + start + "'"));
        EXPECT_EQ(refused.status, 2) << start << ": " << refused.output;
        EXPECT_NE(refused.output.find("--start takes a number from 0 to 86400"), std::string::npos) << refused.output;
    }
}

TEST_F(PlayCommandTest, AnEmptyStoryboardIsSaidBeforeAnyWindow)
{
    const ProgramRun empty = run(play("--paused"));
    EXPECT_EQ(empty.status, 1) << empty.output;
    EXPECT_NE(empty.output.find("play: the storyboard is empty"), std::string::npos) << empty.output;
    const ProgramRun help = run(kHost + " play --help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.output.find("--paused"), std::string::npos);
}

} // namespace
