// The main window's gadgets as the user works them, checked in the photo list the session stores.
#include "session_fixture.h"

#include "hxhost/storyboard.h"

#include "stillset/time_units.h"

namespace {

class EventLoopTest : public PluginTest {
protected:
    // Six photos p0 .. p5 in the stored list, imported by a first session.
    void SetUp() override
    {
        PluginTest::SetUp();
        addPhotos(6);
        ASSERT_EQ(runScript("answer yes\n"), 0);
        ASSERT_EQ(storedPhotos().size(), 6u);
    }

    static int32_t storedGridPosition()
    {
        Settings settings{};
        storedPhotos(&settings);
        return settings.gridPosition;
    }
};

using Names = std::vector<std::string>;

TEST_F(EventLoopTest, TurningFollowsTheMirror)
{
    changeStored([](PhotoEntry& photo, int index) {
        photo.rotation = index < 2 ? 270 : 90;
        photo.mirrored = index % 2;
    });
    // p0 270 plain, p1 270 mirrored, p2 90 plain, p3 90 mirrored.
    ASSERT_EQ(runScript("select grid 0\npress \"Turn right\"\n"
                        "select grid 1\npress \"Turn right\"\n"
                        "select grid 2\npress \"Turn left\"\n"
                        "select grid 3\npress \"Turn right\"\n"),
              0);
    const auto photos = storedPhotos();
    EXPECT_EQ(photos[0].fields.rotation, 0) << "270 + 90";
    EXPECT_EQ(photos[1].fields.rotation, 180) << "mirrored: 270 + 270 - 360";
    EXPECT_EQ(photos[2].fields.rotation, 0) << "90 + 270 - 360";
    EXPECT_EQ(photos[3].fields.rotation, 0) << "mirrored: 90 + 270 - 360";
    EXPECT_EQ(photos[4].fields.rotation, 90) << "untouched";
    expectNothingLive();
}

TEST_F(EventLoopTest, ChangesOfLookDropTheClipAndTheStampButNoChangeKeepsThem)
{
    giveClips();
    const std::vector<StoredPhoto> before = storedPhotos();
    for (const StoredPhoto& photo : before)
        writeFile(hxhost::stampPath(projectDir(), photo.fields.id), "stamp");
    ASSERT_EQ(runScript("select grid 0\npress \"Use in the slideshow\"\n"    // include an included photo: nothing
                        "select grid 1\npress \"Leave out of the slideshow\"\n"    // leave out
                        "select grid 2\npress \"Mirror\"\n"    // mirror
                        "select grid 3\npress \"Leave out of the slideshow\"\npress \"Leave out of the slideshow\"\n"), // left out once, then nothing
              0);
    const auto photos = storedPhotos();
    // A stamp that was dropped is written anew from the new thumbnail at the end.
    auto stampKept = [&](int index) { return readFile(hxhost::stampPath(projectDir(), before[index].fields.id)) == "stamp"; };
    EXPECT_TRUE(photos[0].hasClip);
    EXPECT_TRUE(stampKept(0));
    EXPECT_EQ(photos[0].fields.included, 1);
    EXPECT_FALSE(photos[1].hasClip);
    EXPECT_FALSE(stampKept(1));
    EXPECT_EQ(photos[1].fields.included, 0);
    EXPECT_FALSE(photos[2].hasClip);
    EXPECT_EQ(photos[2].fields.mirrored, 1);
    EXPECT_EQ(photos[3].fields.included, 0);
    EXPECT_TRUE(photos[4].hasClip);
    EXPECT_TRUE(stampKept(4));
    expectNothingLive();
}

TEST_F(EventLoopTest, DurationKeepsTheClipOnlyWhenItStaysTheSame)
{
    giveClips();
    const int32_t code = durationCode(storedPhotos()[0].fields.duration);
    ASSERT_EQ(runScript("select grid 0\nchoose \"Duration\" " + std::to_string(code) +
                        "\nselect grid 1\nchoose \"Duration\" 8\n"),
              0);
    const auto photos = storedPhotos();
    EXPECT_TRUE(photos[0].hasClip);
    EXPECT_EQ(durationCode(photos[0].fields.duration), code);
    EXPECT_FALSE(photos[1].hasClip);
    EXPECT_EQ(photos[1].fields.duration, durationFrames(8));
    EXPECT_TRUE(photos[2].hasClip);
    expectNothingLive();
}

TEST_F(EventLoopTest, SelectingAPhotoShowsItsDurationInThePopup)
{
    changeStored([](PhotoEntry& photo, int index) { photo.duration = durationFrames(index); });
    struct Watcher : hxhost::ScriptedUser {
        std::vector<int32_t> shown;
        std::optional<hxhost::UserAction> nextAction() override
        {
            for (const hxhost::WindowView& window : hxhost::windows())
                for (const hxhost::GadgetView& gadget : window.gadgets)
                    if (gadget.kind == hxhost::GadgetKind::Popup)
                        shown.push_back(gadget.selected);
            return ScriptedUser::nextAction();
        }
    };
    auto watcher = std::make_shared<Watcher>();
    std::string error;
    ASSERT_TRUE(hxhost::parseSessionScript("select grid 3\nstep grid +1\ndouble-click grid 1\n", "test", *watcher, &error));
    hxhost::setUser(watcher);
    ASSERT_EQ(runTool(), 0);
    // Before any event the popup shows the default duration, then each selected photo's.
    EXPECT_EQ(watcher->shown, (std::vector<int32_t>{4, 3, 4, 1}));
    expectNothingLive();
}

struct DragCase {
    const char* script;
    std::vector<std::string> order;
    int32_t selected;
};

class DragTest : public EventLoopTest, public ::testing::WithParamInterface<DragCase> {};

TEST_P(DragTest, DropInTheGridReordersListAndGridAlike)
{
    const DragCase& c = GetParam();
    ASSERT_EQ(runScript(c.script), 0);
    EXPECT_EQ(storedNames(), c.order);
    EXPECT_EQ(storedGridPosition(), c.selected);
    expectNothingLive();
}

INSTANTIATE_TEST_SUITE_P(
    Moves, DragTest,
    ::testing::Values(DragCase{"drag grid 5 to 2\n", {"p0", "p1", "p5", "p2", "p3", "p4"}, 2},
                      DragCase{"drag grid 1 to 4\n", {"p0", "p2", "p3", "p1", "p4", "p5"}, 3},
                      DragCase{"drag grid 4 to 0\n", {"p4", "p0", "p1", "p2", "p3", "p5"}, 0},
                      DragCase{"drag grid 3 to 3\n", {"p0", "p1", "p2", "p3", "p4", "p5"}, 3},
                      DragCase{"drag grid 3 to 4\n", {"p0", "p1", "p2", "p3", "p4", "p5"}, 3},
                      DragCase{"drag grid 1 to 6\n", {"p0", "p2", "p3", "p4", "p5", "p1"}, 5},
                      DragCase{"drag grid 5 to 6\n", {"p0", "p1", "p2", "p3", "p4", "p5"}, 5}));

TEST_F(EventLoopTest, TrashKeepsAPhotoForRestoreButADropDeletesItForGood)
{
    const std::vector<StoredPhoto> before = storedPhotos();
    writeFile(hxhost::stampPath(projectDir(), before[3].fields.id), "stamp");
    ASSERT_EQ(runScript("select grid 1\npress \"Move to the trash\"\n"   // p1 to the trash
                        "drag grid 2 onto \"Move to the trash\"\n"       // p3 dropped on the trash: gone
                        "press \"Restore the last photo from the trash\"\n"                  // p1 back after the selection (p4)
                        "press \"Restore the last photo from the trash\"\n"),                // the trash is empty: a beep
              0);
    EXPECT_EQ(storedNames(), (Names{"p0", "p2", "p4", "p1", "p5"}));
    EXPECT_EQ(storedGridPosition(), 3);
    EXPECT_EQ(hxhost::callCount("ugPointerBeep"), 1u);
    EXPECT_FALSE(fileExists(hxhost::stampPath(projectDir(), before[3].fields.id)));
    expectNothingLive();
}

TEST_F(EventLoopTest, RestoreBringsTheLastTrashedFirst)
{
    ASSERT_EQ(runScript("select grid 1\npress \"Move to the trash\"\n"   // p1
                        "select grid 1\npress \"Move to the trash\"\n"   // p2
                        "select grid 0\n"
                        "press \"Restore the last photo from the trash\"\npress \"Restore the last photo from the trash\"\n"),
              0);
    EXPECT_EQ(storedNames(), (Names{"p0", "p2", "p1", "p3", "p4", "p5"}));
    EXPECT_EQ(storedGridPosition(), 2);
    expectNothingLive();
}

TEST_F(EventLoopTest, TrashedPhotosLeftAtTheEndAreGoneAndTheLastOneEmptiesTheGrid)
{
    std::string script;
    for (int i = 0; i < 7; ++i)
        script += "press \"Move to the trash\"\n"; // the seventh finds no photo
    ASSERT_EQ(runScript(script), 0);
    EXPECT_TRUE(storedNames().empty());
    EXPECT_EQ(storedGridPosition(), -1);
    // An empty list asks again; restoring into the empty grid has nothing to bring back.
    ASSERT_EQ(runScript("answer no\npress \"Restore the last photo from the trash\"\n"), 0);
    EXPECT_EQ(hxhost::callCount("ugPointerBeep"), 1u);
    expectNothingLive();
}

TEST_F(EventLoopTest, CheckBoxesWithEmptyListsExplainAndStayOff)
{
    const size_t before = hxhost::textRequestsSeen().size();
    ASSERT_EQ(runScript("press checkbox:0\npress checkbox:1\n"), 0);
    const auto seen = hxhost::textRequestsSeen();
    const std::vector<hxhost::TextRequestSeen> notices(seen.begin() + static_cast<ptrdiff_t>(before), seen.end());
    ASSERT_EQ(notices.size(), 2u);
    EXPECT_EQ(notices[0].style, UREQ_NOTICE);
    EXPECT_NE(notices[0].text.find(u"transitions"), std::u16string::npos);
    EXPECT_NE(notices[1].text.find(u"effects"), std::u16string::npos);
    Settings settings{};
    storedPhotos(&settings);
    EXPECT_EQ(settings.transitionsEnabled, 0);
    EXPECT_EQ(settings.effectsEnabled, 0);
    expectNothingLive();
}

TEST_F(EventLoopTest, CreateBuildsTheStoryboardAndEnds)
{
    ASSERT_EQ(runScript("press \"Create slideshow\"\n"), 0);
    EXPECT_EQ(hxhost::callCount("ugPointerBeep"), 0u);
    EXPECT_EQ(hxhost::storyboard().scenes.size(), 6u);
    EXPECT_EQ(storedNames().size(), 6u);
    expectNothingLive();
}

TEST_F(EventLoopTest, ASecondCreateOverAFullStoryboardLeavesOneQuestionStanding)
{
    ASSERT_EQ(runScript("press \"Create slideshow\"\n"), 0);
    ASSERT_EQ(runScript("press \"Create slideshow\"\npress \"Create slideshow\"\n"
                        "press cancel in \"The storyboard is not empty\"\n"
                        "press \"Create slideshow\"\npress \"Create slideshow\"\n"
                        "check \"Delete the existing scenes first\" on\n"
                        "press ok in \"The storyboard is not empty\"\n"),
              0);
    EXPECT_EQ(hxhost::storyboard().scenes.size(), 6u) << "replaced, not appended";
    expectNothingLive();
}

// The builder only reports how it ended: telling the person is the window's part.
TEST_F(EventLoopTest, CreatingClipsOnlyTellsThePersonTheStoryboardWasLeftAlone)
{
    std::string error;
    ASSERT_TRUE(hxhost::parseSessionScript("press \"Create slideshow\"\n", "test", *hxhost::scriptedUser(), &error))
        << error;
    OperatorActionRecord record;
    std::memset(&record, 0, sizeof record);
    record.action = OP_ACTION_RUN;
    record.flags = OP_FLAG_RENDER_ONLY;
    ASSERT_EQ(OperatorAction(&record), 0);
    EXPECT_TRUE(hxhost::storyboard().scenes.empty());
    const auto seen = hxhost::textRequestsSeen();
    ASSERT_EQ(seen.size(), 2u) << "the import question, then the notice";
    EXPECT_EQ(hxhost::utf8Of(seen[1].text).rfind("The photos have been rendered", 0), 0u);
    expectNothingLive();
}

TEST_F(EventLoopTest, AboutShowsTheCounts)
{
    ASSERT_EQ(runScript("select grid 2\npress \"Leave out of the slideshow\"\npress \"About\"\n"), 0);
    const auto seen = hxhost::textRequestsSeen();
    ASSERT_EQ(seen.size(), 2u) << "the import question, then the about text";
    EXPECT_NE(seen[1].text.find(u"Photos in the list: 6"), std::u16string::npos);
    EXPECT_NE(seen[1].text.find(u"Left out: 1"), std::u16string::npos);
    expectNothingLive();
}

} // namespace
