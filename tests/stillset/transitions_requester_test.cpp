// The transitions requester: where added transitions land, the separator and jingle rows, removal,
// and what OK and Cancel leave in the settings and on the main window.
#include "chooser_fixture.h"

#include "stillset/jingle_choice.h"
#include "support/audio_files.h"

#include <filesystem>

namespace {

class TransitionsRequesterTest : public ChooserTest {
protected:
    void SetUp() override
    {
        ChooserTest::SetUp();
        onTransitionsButton(event(mainGadgets.transitionsButton));
        ASSERT_EQ(session.requestOpen[transitionsRequest], 1);
    }

    static std::vector<Row> shown() { return rows(transitionsGadgets().listView); }
    static void selectRow(int32_t row) { select(transitionsRequest, transitionsGadgets().listView, row); }
    static std::vector<std::string> listed() { return names(session.transitionList); }

    void chooseJingle(const std::string& file, const std::u16string& title)
    {
        Tone tone;
        tone.seconds = 0.2;
        ASSERT_EQ(writeTone(home() + "/" + file, tone), "");
        hxhost::scriptedUser()->addFile(hxhost::FileAnswer{home() + "/" + file, title, 0});
        onJingleButton(event(transitionsGadgets().jingleButton));
    }
};

const Row kSeparator{u"", 2};

TEST_F(TransitionsRequesterTest, TwoAddedWithTheSeparatorOfAnEmptyListSelectedLandFirstInPickerOrder)
{
    ASSERT_EQ(shown(), std::vector<Row>{kSeparator});
    selectRow(0);
    addTransitions({"wipe", "dissolve"});
    EXPECT_EQ(shown(), (std::vector<Row>{{u"Wipe", 0}, {u"Dissolve", 0}, kSeparator}));
    EXPECT_EQ(selected(transitionsGadgets().listView), 1);
    EXPECT_EQ(listed(), (std::vector<std::string>{"transition/wipe", "transition/dissolve"}));
    EXPECT_STREQ(session.lastOperatorPath, "dissolve");
}

TEST_F(TransitionsRequesterTest, RowsAndListKeepOneOrderWhereverTransitionsAreAdded)
{
    addTransitions({"dissolve", "push"}); // nothing selected: first
    selectRow(0);
    addTransitions({"wipe"}); // after the selected transition
    EXPECT_EQ(listed(), (std::vector<std::string>{"transition/dissolve", "transition/wipe", "transition/push"}));

    chooseJingle("song.wav", u"Song");
    selectRow(4);
    ASSERT_EQ(shown().at(4), (Row{u"Song", 1}));
    addTransitions({"dissolve"}); // the jingle row selected: after the last transition
    selectRow(4);
    ASSERT_EQ(shown().at(4), kSeparator);
    addTransitions({"push"}); // the separator selected: the same
    const std::vector<Row> expected{{u"Dissolve", 0}, {u"Wipe", 0}, {u"Push", 0}, {u"Dissolve", 0}, {u"Push", 0},
                                    kSeparator, {u"Song", 1}};
    EXPECT_EQ(shown(), expected);
    EXPECT_EQ(selected(transitionsGadgets().listView), 4);
    EXPECT_EQ(listed(), (std::vector<std::string>{"transition/dissolve", "transition/wipe", "transition/push",
                                                  "transition/dissolve", "transition/push"}))
        << "the stored order is the order the user sees";
}

TEST_F(TransitionsRequesterTest, AJingleRowAddedToAnEmptyListTakesNewTransitionsBeforeTheSeparator)
{
    chooseJingle("song.wav", u"Song");
    EXPECT_EQ(selected(transitionsGadgets().listView), 1);
    addTransitions({"push"});
    EXPECT_EQ(shown(), (std::vector<Row>{{u"Push", 0}, kSeparator, {u"Song", 1}}));
    EXPECT_EQ(selected(transitionsGadgets().listView), 0);
}

TEST_F(TransitionsRequesterTest, RemovingLeavesTheSeparatorAndDropsTheJingle)
{
    addTransitions({"dissolve", "wipe"});
    chooseJingle("one.wav", u"One");
    chooseJingle("two.wav", u"Two");
    EXPECT_EQ(shown(), (std::vector<Row>{{u"Dissolve", 0}, {u"Wipe", 0}, kSeparator, {u"Two", 1}}))
        << "a second jingle replaces the row";
    EXPECT_EQ(std::string(session.settings.jingleFile), home() + "/two.wav");

    selectRow(2);
    onRemoveTransition(event());
    EXPECT_EQ(shown().size(), 4u) << "the separator stays";
    EXPECT_EQ(listed().size(), 2u);

    selectRow(3);
    onRemoveTransition(event());
    EXPECT_EQ(shown(), (std::vector<Row>{{u"Dissolve", 0}, {u"Wipe", 0}, kSeparator}));
    EXPECT_EQ(session.settings.jingleFile, nullptr);
    EXPECT_EQ(session.settings.jingleName, nullptr);

    selectRow(0);
    onRemoveTransition(event());
    EXPECT_EQ(listed(), std::vector<std::string>{"transition/wipe"});
    EXPECT_EQ(shown(), (std::vector<Row>{{u"Wipe", 0}, kSeparator}));
}

TEST_F(TransitionsRequesterTest, ACancelledFileRequesterLeavesTheJingle)
{
    chooseJingle("song.wav", u"Song");
    hxhost::scriptedUser()->addFile(std::nullopt);
    onJingleButton(event());
    EXPECT_EQ(shown(), (std::vector<Row>{kSeparator, {u"Song", 1}}));
    EXPECT_EQ(hxhost::liveCounts().fileRequests, 0);
}

TEST_F(TransitionsRequesterTest, APathLongerThanTheJingleBufferIsRefusedNotCut)
{
    std::string folder = home();
    while (folder.size() < kJingleBufferChars)
        folder += "/" + std::string(200, 'd');
    std::filesystem::create_directories(folder);
    const std::string file = folder + "/song.wav";
    Tone tone;
    tone.seconds = 0.2;
    ASSERT_EQ(writeTone(file, tone), "");
    hxhost::scriptedUser()->addFile(hxhost::FileAnswer{file, u"Long", 0});
    onJingleButton(event());
    EXPECT_EQ(session.settings.jingleFile, nullptr);
    EXPECT_EQ(shown(), std::vector<Row>{kSeparator});
    EXPECT_EQ(entries(4, "src\\stillset").size(), 1u);
    EXPECT_EQ(hxhost::liveCounts().fileRequests, 0);
}

TEST_F(TransitionsRequesterTest, OkCommitsThePopupsAndCancelDropsThemButKeepsTheList)
{
    addTransitions({"dissolve"});
    onTransitionLengthPopup(event(transitionsGadgets().lengthPopup, 5));
    onTransitionOrderPopup(event(transitionsGadgets().orderPopup, 1));
    onTransitionRepeatPopup(event(transitionsGadgets().repeatPopup, 3));
    EXPECT_EQ(session.settings.transitionLengthCode, 2) << "staged only";
    onTransitionsCancel(event());
    EXPECT_EQ(session.requestOpen[transitionsRequest], 0);
    EXPECT_EQ(session.settings.transitionLengthCode, 2);
    EXPECT_EQ(session.settings.transitionOrder, 0);
    EXPECT_EQ(session.settings.transitionsEnabled, 0) << "Cancel never turns transitions on";
    EXPECT_EQ(listed().size(), 1u) << "the addition stays";

    onTransitionsButton(event());
    EXPECT_EQ(shown().size(), 2u);
    onTransitionOrderPopup(event(transitionsGadgets().orderPopup, 1));
    onTransitionRepeatPopup(event(transitionsGadgets().repeatPopup, 3));
    onTransitionsOk(event());
    EXPECT_EQ(session.settings.transitionOrder, 1);
    EXPECT_EQ(session.settings.transitionRepeatCode, 3);
    EXPECT_EQ(session.settings.transitionLengthCode, 2);
    EXPECT_EQ(session.settings.transitionsEnabled, 1);
    EXPECT_TRUE(checkBoxOn(mainGadgets.transitionsCheckBox));
}

TEST_F(TransitionsRequesterTest, CancelAfterRemovingEveryTransitionTurnsTransitionsOff)
{
    addTransitions({"dissolve"});
    onTransitionsOk(event());
    ASSERT_TRUE(checkBoxOn(mainGadgets.transitionsCheckBox));
    onTransitionsButton(event());
    selectRow(0);
    onRemoveTransition(event());
    onTransitionsCancel(event());
    EXPECT_EQ(session.settings.transitionsEnabled, 0);
    EXPECT_FALSE(checkBoxOn(mainGadgets.transitionsCheckBox));
}

TEST_F(TransitionsRequesterTest, PressingTheButtonAgainKeepsTheOneRequester)
{
    const int64_t windows = hxhost::liveCounts().windows;
    onTransitionsButton(event());
    EXPECT_EQ(hxhost::liveCounts().windows, windows);
    EXPECT_EQ(shown(), std::vector<Row>{kSeparator}) << "filled once";
}

TEST_F(TransitionsRequesterTest, ATransitionTheHostNoLongerOffersShowsItsFileName)
{
    addTransitions({"wipe"});
    onTransitionsOk(event());
    std::remove((home() + "/transition/wipe").c_str());
    onTransitionsButton(event());
    EXPECT_EQ(shown(), (std::vector<Row>{{u"wipe", 0}, kSeparator}));
}

TEST_F(TransitionsRequesterTest, ListAndJingleReachTheNextSession)
{
    addTransitions({"push", "wipe"});
    chooseJingle("song.wav", u"Söng");
    onTransitionOrderPopup(event(transitionsGadgets().orderPopup, 1));
    onTransitionsOk(event());
    endToolSession();

    ASSERT_EQ(startToolSession(), 0);
    EXPECT_EQ(listed(), (std::vector<std::string>{"transition/push", "transition/wipe"}));
    EXPECT_EQ(session.settings.transitionsEnabled, 1);
    EXPECT_EQ(session.settings.transitionOrder, 1);
    EXPECT_EQ(std::u16string(session.settings.jingleName), u"Söng");
    ASSERT_EQ(buildMainWindow(), 0);
    onTransitionsButton(event());
    EXPECT_EQ(shown(), (std::vector<Row>{{u"Push", 0}, {u"Wipe", 0}, kSeparator, {u"Söng", 1}}));
}

} // namespace
