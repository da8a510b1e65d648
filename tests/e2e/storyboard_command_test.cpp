// Building the storyboard from a session, and stillset-host storyboard listing and undoing it.
#include "program_run.h"
#include "support/picture_files.h"
#include "support/test_home.h"

#include "host/hxscenes.h"
#include "hxhost/storyboard.h"

#include <filesystem>

namespace {

class StoryboardCommandTest : public HostTest {
protected:
    void SetUp() override
    {
        HostTest::SetUp();
        std::filesystem::create_directories(home() + "/photos");
        for (int i = 0; i < 6; ++i)
            writeJpeg(home() + "/photos/p" + std::to_string(i) + ".jpg", 80, 60, {}, [i](int x, int, uint8_t* rgb) {
                rgb[0] = static_cast<uint8_t>(30 * i);
                rgb[1] = static_cast<uint8_t>(2 * x);
                rgb[2] = 90;
            });
    }
    ProgramRun session(const std::string& script, const std::string& options = "") const
    {
        writeFile(home() + "/script.txt", script);
        return run(kHost + " session --hxhome " + home() + " --project 0 --script " + home() + "/script.txt " + options);
    }
    ProgramRun storyboard(const std::string& options = "") const
    {
        return run(kHost + " storyboard --hxhome " + home() + " --project 0 " + options);
    }
    hxhost::Storyboard stored() const
    {
        hxhost::Storyboard board;
        EXPECT_TRUE(hxhost::readStoryboardFile(home() + "/projects/project0", board));
        return board;
    }
};

TEST_F(StoryboardCommandTest, CreateBuildsAStoryboardThatASecondSessionAppendsTo)
{
    ProgramRun first = session("answer yes\npress \"Create slideshow\"\n", "--import " + home() + "/photos");
    ASSERT_EQ(first.status, 0) << first.output;
    ProgramRun listed = storyboard();
    ASSERT_EQ(listed.status, 0) << listed.output;
    EXPECT_NE(listed.output.find("storyboard of project 0: 6 scenes, 750 frames"), std::string::npos) << listed.output;
    EXPECT_NE(listed.output.find("scene 6: clip \"p5 SL\""), std::string::npos) << listed.output;
    EXPECT_NE(listed.output.find("125 frames at 625"), std::string::npos) << listed.output;

    // The storyboard is not empty: the requester asks; keeping the scenes appends after them.
    ProgramRun second = session("press \"Create slideshow\"\n"
                                "check \"Delete the existing scenes first\" off\n"
                                "press ok in \"The storyboard is not empty\"\n");
    ASSERT_EQ(second.status, 0) << second.output;
    const hxhost::Storyboard board = stored();
    ASSERT_EQ(board.scenes.size(), 12u);
    EXPECT_EQ(board.scenes[6].clipItem, board.scenes[0].clipItem); // the clips were made once

    // Cancel only closes the requester: the session ends when the user closes the tool.
    ProgramRun third = session("press \"Create slideshow\"\npress cancel in \"The storyboard is not empty\"\n");
    ASSERT_EQ(third.status, 0) << third.output;
    EXPECT_EQ(stored().scenes.size(), 12u);

    ProgramRun json = storyboard("--json");
    ASSERT_EQ(json.status, 0) << json.output;
    EXPECT_EQ(json.output.rfind("{\"project\": 0, \"length\": 1500", 0), 0u) << json.output;
}

TEST_F(StoryboardCommandTest, RenderOnlyMakesTheClipsAndLeavesTheStoryboard)
{
    ProgramRun result = session("answer yes\npress \"Create slideshow\"\n", "--render-only --import " + home() + "/photos");
    ASSERT_EQ(result.status, 0) << result.output;
    EXPECT_TRUE(stored().scenes.empty());
    hxhost::setProjectNumber(0);
    size_t clips = 0;
    for (const hxhost::SceneBinItem& item : hxhost::sceneBinItems())
        clips += item.kind == hxhost::ItemKind::PhotoClip;
    EXPECT_EQ(clips, 6u);
}

TEST_F(StoryboardCommandTest, UndoRemovesTheLastStep)
{
    ASSERT_EQ(session("answer yes\npress \"Create slideshow\"\n", "--import " + home() + "/photos").status, 0);
    ProgramRun nothing = storyboard("--undo");
    EXPECT_EQ(nothing.status, 1);
    EXPECT_NE(nothing.output.find("nothing to undo"), std::string::npos) << nothing.output;

    // A transition placed in an undo step of its own, as the builder places one.
    hxhost::setProjectNumber(0);
    SBScene* added = nslSBAllocScene();
    SBScene* last = nslSBAllocScene();
    ASSERT_EQ(nslSBGetLastScene(last), 0);
    ASSERT_EQ(nslSBAddScene(last, hxhost::sceneBinItems()[0].record, added), 0);
    const std::u16string label = u"Add transition";
    nslProjectUndoExtSeqStart(reinterpret_cast<const hxchar*>(label.c_str()));
    ASSERT_EQ(nslSBAddTransition22(last, "transition/dissolve", 10, 1, nullptr), 0);
    nslProjectUndoExtSeqEnd();
    nslSBFreeScene(added);
    nslSBFreeScene(last);
    ProgramRun before = storyboard();
    EXPECT_NE(before.output.find("transition: "), std::string::npos) << before.output;

    ProgramRun undone = storyboard("--undo");
    ASSERT_EQ(undone.status, 0) << undone.output;
    EXPECT_EQ(undone.output.rfind("undone: \"Add transition\"", 0), 0u) << undone.output;
    EXPECT_EQ(undone.output.find("transition: "), std::string::npos) << undone.output;
}

// A build that never completed (killed after adding its scenes, before its last step) is stored as
// such: listing and export say so, and the next Create offers to take its scenes away and build
// them again.
TEST_F(StoryboardCommandTest, AnUnfinishedBuildIsNamedAndTheNextCreateFinishesIt)
{
    ASSERT_EQ(session("answer yes\npress \"Create slideshow\"\n", "--import " + home() + "/photos").status, 0);
    hxhost::setProjectNumber(0);
    SBScene* last = nslSBAllocScene();
    SBScene* added = nslSBAllocScene();
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(nslSBGetLastScene(last), 0);
        ASSERT_EQ(nslSBAddScene(last, hxhost::sceneBinItems()[static_cast<size_t>(i)].record, added), 0);
    }
    nslSBFreeScene(added);
    nslSBFreeScene(last);

    const ProgramRun listed = storyboard();
    ASSERT_EQ(listed.status, 0) << listed.output;
    EXPECT_NE(listed.output.find("the last build of this storyboard did not finish: scenes 7 to 8"), std::string::npos)
        << listed.output;
    EXPECT_NE(storyboard("--json").output.find("\"unfinishedFrom\": 6"), std::string::npos);
    const ProgramRun exported = run(kHost + " export --hxhome " + home() + " --project 0 -o /dev/null --to 2");
    ASSERT_EQ(exported.status, 0) << exported.output;
    EXPECT_NE(exported.output.find("did not finish: scenes 7 to 8"), std::string::npos) << exported.output;

    // Appending, the user lets the unfinished scenes go: the new build takes their place.
    const ProgramRun again = session("press \"Create slideshow\"\n"
                                     "check \"Delete the existing scenes first\" off\n"
                                     "press ok in \"The storyboard is not empty\"\n"
                                     "answer yes\n");
    ASSERT_EQ(again.status, 0) << again.output;
    const hxhost::Storyboard board = stored();
    ASSERT_EQ(board.scenes.size(), 12u);
    EXPECT_EQ(board.unfinishedFrom, -1);
    EXPECT_EQ(board.scenes[6].clipItem, board.scenes[0].clipItem);
    EXPECT_EQ(board.scenes[11].clipItem, board.scenes[5].clipItem);
    EXPECT_EQ(storyboard().output.find("did not finish"), std::string::npos);
}

TEST_F(StoryboardCommandTest, BadArgumentsAreNamed)
{
    EXPECT_EQ(run(kHost + " storyboard --help").status, 0);
    ProgramRun missing = run(kHost + " storyboard --hxhome " + home());
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.output.find("--hxhome and --project are required"), std::string::npos);
    EXPECT_EQ(run(kHost + " storyboard --hxhome " + home() + " --project 0 --redo").status, 2);
    ProgramRun nowhere = run(kHost + " storyboard --hxhome " + home() + "/none --project 0");
    EXPECT_EQ(nowhere.status, 1);
    EXPECT_NE(nowhere.output.find("no installation"), std::string::npos);

    // A damaged storyboard is named, set aside, and the project lists as empty.
    std::filesystem::create_directories(home() + "/projects/project0");
    writeFile(home() + "/projects/project0/storyboard.sbd", "HXSB broken");
    ProgramRun damaged = storyboard();
    EXPECT_EQ(damaged.status, 0);
    EXPECT_NE(damaged.output.find("set aside"), std::string::npos) << damaged.output;
    EXPECT_NE(damaged.output.find("0 scenes"), std::string::npos) << damaged.output;
    EXPECT_TRUE(fileExists(home() + "/projects/project0/storyboard.sbd.damaged"));
}

} // namespace
