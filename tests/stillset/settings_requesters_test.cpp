// The thumbnail-size, default-duration and apply-duration requesters and the reset, and how every
// requester of the tool is built.
#include "session_fixture.h"

#include "gui/apply_duration_requester.h"
#include "gui/default_duration_requester.h"
#include "gui/main_window.h"
#include "gui/photo_editor.h"
#include "gui/storyboard_requester.h"
#include "gui/thumb_size_requester.h"
#include "gui/tonal_requester.h"
#include "stillset/operator_list_node.h"
#include "stillset/time_units.h"

#include <cstdlib>
#include <memory>
#include <optional>

namespace {

class SettingsRequestersTest : public PluginTest {
protected:
    // Six photos p0 .. p5 in the stored list, each with a clip.
    void SetUp() override
    {
        PluginTest::SetUp();
        addPhotos(6);
        ASSERT_EQ(runScript("answer yes\n"), 0);
        giveClips();
    }

    static Settings storedSettings()
    {
        Settings settings{};
        storedPhotos(&settings);
        return settings;
    }

    // The open window titled `title` with the gadgets the program made, without the host's OK and Cancel.
    static hxhost::WindowView window(const std::u16string& title)
    {
        for (hxhost::WindowView view : hxhost::windows())
            if (view.title == title) {
                std::erase_if(view.gadgets, [&](const hxhost::GadgetView& g) {
                    return g.id == view.okGadget || g.id == view.cancelGadget;
                });
                return view;
            }
        ADD_FAILURE() << "no such window";
        return {};
    }

    // What the main window shows: the Duration popup's entry and the Transitions and Effects boxes.
    struct MainShown {
        int32_t duration, transitions, effects;
        bool operator==(const MainShown&) const = default;
    };
    // Plays `script` and gives what the main window showed when the script had run out.
    static MainShown playWatchingMain(const std::string& script)
    {
        struct Watcher : hxhost::ScriptedUser {
            MainShown last{-1, -1, -1};
            std::optional<hxhost::UserAction> nextAction() override
            {
                if (mainWindow()) {
                    const auto popup = hxhost::gadget(mainGadgets.durationPopup);
                    const auto transitions = hxhost::gadget(mainGadgets.transitionsCheckBox);
                    const auto effects = hxhost::gadget(mainGadgets.effectsCheckBox);
                    if (popup && transitions && effects)
                        last = {popup->selected, transitions->state, effects->state};
                }
                return ScriptedUser::nextAction();
            }
        };
        auto watcher = std::make_shared<Watcher>();
        std::string error;
        EXPECT_TRUE(hxhost::parseSessionScript(script, "test", *watcher, &error)) << error;
        hxhost::setUser(watcher);
        EXPECT_EQ(runTool(), 0);
        EXPECT_EQ(watcher->failures(), std::vector<std::string>{});
        return watcher->last;
    }
};

TEST_F(SettingsRequestersTest, SameThumbnailSizeRebuildsNothing)
{
    const uint32_t before = hxhost::callCount("ureqCreateRequest");
    ASSERT_EQ(runScript("press \"Thumbnail size\"\npress ok in \"Thumbnail size\"\n"), 0);
    EXPECT_EQ(hxhost::callCount("ureqCreateRequest") - before, 2u) << "the main window and the requester only";
    EXPECT_EQ(storedSettings().thumbSize, 3);
    expectNothingLive();
}

TEST_F(SettingsRequestersTest, NewThumbnailSizeKeepsTheSelectionAndBuildsEachThumbnailOnce)
{
    const size_t metersBefore = hxhost::metersSeen().size();
    ASSERT_EQ(runScript("select grid 4\npress \"Thumbnail size\"\ncheck \"Large\" on\npress ok in \"Thumbnail size\"\n"), 0);
    const auto meters = hxhost::metersSeen();
    ASSERT_GE(meters.size(), metersBefore + 1);
    EXPECT_EQ(meters.back().steps, 6u);
    EXPECT_EQ(meters.back().updates, (std::vector<int32_t>{1, 2, 3, 4, 5, 6}));
    const Settings settings = storedSettings();
    EXPECT_EQ(settings.thumbSize, 4);
    EXPECT_EQ(settings.gridPosition, 4);
    EXPECT_TRUE(storedPhotos()[4].hasClip) << "a size is no change of a photo";
    expectNothingLive();
}

TEST_F(SettingsRequestersTest, NewThumbnailSizeShowsTheSelectedPhotosDuration)
{
    changeStored([](PhotoEntry& photo, int index) { photo.duration = durationFrames(index); });
    const MainShown shown = playWatchingMain("select grid 2\npress \"Thumbnail size\"\ncheck \"Large\" on\n"
                                             "press ok in \"Thumbnail size\"\n");
    EXPECT_EQ(shown.duration, 2) << "the photo's, not the default 4";
    expectNothingLive();
}

TEST_F(SettingsRequestersTest, NewThumbnailSizeShowsTheGridAgainOverOpenRequesters)
{
    ASSERT_EQ(runScript("select grid 2\npress \"Edit photo\"\npress \"Thumbnail size\"\ncheck \"Very small\" on\n"
                        "press ok in \"Thumbnail size\"\n"
                        "press \"Mirror\" in \"Edit photo\"\npress ok in \"Edit photo\"\n"),
              0);
    const auto photos = storedPhotos();
    EXPECT_EQ(photos[2].fields.mirrored, 1) << "the editor outlived the new main window";
    EXPECT_EQ(storedSettings().thumbSize, 1);
    expectNothingLive();
}

TEST_F(SettingsRequestersTest, MainWindowThatCannotBeBuiltAgainEndsTheSessionKeepingItsWork)
{
    // Creations: the main window, the requester, then the main window again.
    hxhost::failService("ureqCreateRequest", 3);
    ASSERT_EQ(runScript("select grid 1\npress \"Mirror\"\npress \"Thumbnail size\"\ncheck \"Very large\" on\n"
                        "press ok in \"Thumbnail size\"\n"),
              0);
    EXPECT_EQ(storedSettings().thumbSize, 5);
    EXPECT_EQ(storedSettings().gridPosition, 1);
    EXPECT_EQ(storedPhotos()[1].fields.mirrored, 1);
    expectNothingLive();
}

TEST_F(SettingsRequestersTest, NewDefaultAppliedToThePhotosWithTheOldOneChangesExactlyThose)
{
    changeStored([](PhotoEntry& photo, int index) {
        if (index == 1)
            photo.duration = durationFrames(6);
        if (index == 2)
            photo.duration = durationFrames(2);
    });
    ASSERT_EQ(runScript("press \"Default duration...\"\nchoose \"Duration\" in \"Default duration\" 6\n"
                        "press ok in \"Default duration\"\n"
                        "check \"To all photos\" off\ncheck \"Only to photos of 5 seconds\" on\n"
                        "press ok in \"Apply the new default duration\"\n"),
              0);
    const auto photos = storedPhotos();
    for (int i : {0, 3, 4, 5}) {
        EXPECT_EQ(photos[i].fields.duration, durationFrames(6)) << i;
        EXPECT_FALSE(photos[i].hasClip) << i;
    }
    EXPECT_EQ(photos[1].fields.duration, durationFrames(6));
    EXPECT_TRUE(photos[1].hasClip);
    EXPECT_EQ(photos[2].fields.duration, durationFrames(2));
    EXPECT_TRUE(photos[2].hasClip);
    EXPECT_EQ(storedSettings().defaultDurationCode, 6);
    expectNothingLive();
}

TEST_F(SettingsRequestersTest, NewDefaultAppliedToAllKeepsTheClipOfAPhotoThatHadIt)
{
    changeStored([](PhotoEntry& photo, int index) {
        if (index == 3)
            photo.duration = durationFrames(8);
    });
    ASSERT_EQ(runScript("select grid 0\npress \"Default duration...\"\nchoose \"Duration\" in \"Default duration\" 8\n"
                        "press ok in \"Default duration\"\npress ok in \"Apply the new default duration\"\n"),
              0);
    const auto photos = storedPhotos();
    for (const StoredPhoto& photo : photos)
        EXPECT_EQ(photo.fields.duration, durationFrames(8));
    EXPECT_TRUE(photos[3].hasClip);
    EXPECT_FALSE(photos[0].hasClip);
    expectNothingLive();
}

TEST_F(SettingsRequestersTest, CancelledApplyChangesNoPhotoButKeepsTheNewDefault)
{
    ASSERT_EQ(runScript("press \"Default duration...\"\nchoose \"Duration\" in \"Default duration\" 0\n"
                        "press ok in \"Default duration\"\npress cancel in \"Apply the new default duration\"\n"),
              0);
    for (const StoredPhoto& photo : storedPhotos()) {
        EXPECT_EQ(photo.fields.duration, durationFrames(4));
        EXPECT_TRUE(photo.hasClip);
    }
    EXPECT_EQ(storedSettings().defaultDurationCode, 0);
    expectNothingLive();
}

TEST_F(SettingsRequestersTest, ConfirmedResetLeavesAnEmptyGridNoOperatorsAndTheDefaults)
{
    changeStored([](PhotoEntry& photo, int) { photo.duration = durationFrames(7); });
    ASSERT_EQ(startToolSession(), 0);
    session.settings.thumbSize = 5;
    session.settings.defaultDurationCode = 7;
    session.settings.transitionsEnabled = 1;
    session.settings.effectsEnabled = 1;
    auto* transition = static_cast<OperatorEntry*>(std::calloc(1, sizeof(OperatorEntry)));
    transition->name = static_cast<char*>(std::calloc(32, 1));
    std::snprintf(transition->name, 32, "transition/crossfade");
    ListAppend(&session.transitionList, transition);
    endToolSession();

    const MainShown shown = playWatchingMain("select grid 1\npress \"Default duration...\"\n"
                                             "press \"Reset all settings\"\nanswer yes\n"
                                             "press ok in \"Default duration\"\n");
    EXPECT_EQ(shown, (MainShown{4, 0, 0})) << "the default duration and both boxes off over the empty lists";
    Settings settings{};
    EXPECT_TRUE(storedPhotos(&settings).empty());
    EXPECT_EQ(settings.thumbSize, 3);
    EXPECT_EQ(settings.defaultDurationCode, 4);
    EXPECT_EQ(settings.transitionsEnabled, 0);
    ASSERT_EQ(startToolSession(), 0);
    EXPECT_EQ(ListCount(&session.transitionList), 0);
    EXPECT_EQ(ListCount(&session.effectList), 0);
    endToolSession();
    expectNothingLive();
}

TEST_F(SettingsRequestersTest, ResetWhoseQuestionIsRefusedOrFailsResetsNothing)
{
    ASSERT_EQ(runScript("press \"Default duration...\"\npress \"Reset all settings\"\nanswer no\n"
                        "press ok in \"Default duration\"\n"),
              0);
    hxhost::failService("ureqTextRequest");
    ASSERT_EQ(runScript("press \"Default duration...\"\npress \"Reset all settings\"\nanswer yes\n"
                        "press cancel in \"Default duration\"\n"),
              0);
    EXPECT_EQ(storedPhotos().size(), 6u);
    expectNothingLive();
}

TEST_F(SettingsRequestersTest, ResetWhileTheEditorStandsLeavesItNothingToEdit)
{
    ASSERT_EQ(runScript("select grid 0\npress \"Edit photo\"\npress \"Default duration...\"\npress \"Reset all settings\"\n"
                        "answer yes\npress \"Next photo\" in \"Edit photo\"\npress \"Mirror\" in \"Edit photo\"\n"
                        "press ok in \"Edit photo\"\npress ok in \"Default duration\"\n"),
              0);
    EXPECT_TRUE(storedPhotos().empty());
    expectNothingLive();
}

TEST_F(SettingsRequestersTest, EmptyProjectOpensNoApplyRequester)
{
    ASSERT_EQ(runScript("press \"Default duration...\"\npress \"Reset all settings\"\nanswer yes\n"
                        "press ok in \"Default duration\"\n"),
              0);
    const uint32_t before = hxhost::callCount("ureqCreateRequest");
    ASSERT_EQ(runScript("answer no\npress \"Default duration...\"\nchoose \"Duration\" in \"Default duration\" 9\n"
                        "press ok in \"Default duration\"\n"),
              0);
    EXPECT_EQ(hxhost::callCount("ureqCreateRequest") - before, 2u);
    EXPECT_EQ(storedSettings().defaultDurationCode, 9);
    expectNothingLive();
}

TEST_F(SettingsRequestersTest, OneScriptEditsAPhotoAndTheSettingsAndTheNextSessionFindsExactlyThat)
{
    const std::vector<StoredPhoto> before = storedPhotos();
    ASSERT_EQ(runScript("select grid 1\npress \"Edit photo\"\n"
                        "press \"Turn right\" in \"Edit photo\"\n"
                        "press \"Crop\" in \"Edit photo\"\ncrop 4 6 20 30\n"
                        "press \"Brightness and colour\" in \"Edit photo\"\ndrag \"Contrast\" to 120\npress ok in \"Brightness and colour\"\n"
                        "press \"Next photo\" in \"Edit photo\"\npress \"Mirror\" in \"Edit photo\"\n"
                        "press ok in \"Edit photo\"\n"
                        "press \"Thumbnail size\"\ncheck \"Small\" on\npress ok in \"Thumbnail size\"\n"
                        "press \"Default duration...\"\nchoose \"Duration\" in \"Default duration\" 2\n"
                        "press ok in \"Default duration\"\npress cancel in \"Apply the new default duration\"\n"),
              0);
    Settings settings{};
    const std::vector<StoredPhoto> after = storedPhotos(&settings);
    EXPECT_EQ(settings.thumbSize, 2);
    EXPECT_EQ(settings.defaultDurationCode, 2);
    EXPECT_EQ(settings.gridPosition, 1);
    ASSERT_EQ(after.size(), before.size());
    const PhotoEntry& edited = after[1].fields;
    EXPECT_EQ(edited.rotation, 90);
    EXPECT_EQ(edited.contrast, 120);
    // Turned, the 64x48 picture is 48 wide: the rectangle (4, 6, 20, 30) is (6, 24, 30, 20) unturned.
    EXPECT_EQ(std::vector<int>({edited.cropX, edited.cropY, edited.cropWidth, edited.cropHeight}),
              (std::vector<int>{6, 24, 30, 20}));
    EXPECT_EQ(after[2].fields.mirrored, 1);
    for (size_t i = 0; i < after.size(); ++i) {
        EXPECT_EQ(after[i].name, before[i].name);
        EXPECT_EQ(after[i].fields.duration, before[i].fields.duration) << "the new default was not applied";
        EXPECT_EQ(after[i].hasClip, i != 1 && i != 2) << i;
        if (i != 1) {
            EXPECT_EQ(after[i].fields.rotation, 0);
            EXPECT_EQ(after[i].fields.contrast, 100);
        }
    }
    expectNothingLive();
}

// Builders called straight on a session with its main window.
class RequesterBuildTest : public SettingsRequestersTest {
protected:
    void SetUp() override
    {
        SettingsRequestersTest::SetUp();
        ASSERT_EQ(startToolSession(), 0);
        ASSERT_EQ(buildMainWindow(), 0);
    }
    void TearDown() override
    {
        endToolSession();
        expectNothingLive();
        SettingsRequestersTest::TearDown();
    }
};

TEST_F(RequesterBuildTest, TonalSlidersRunOverTheirRangesWithTheirKeys)
{
    ASSERT_EQ(openTonalRequester(100, 70, 130, 0), 0);
    const hxhost::WindowView tonal = window(u"Brightness and colour");
    std::vector<hxhost::GadgetView> sliders;
    for (const hxhost::GadgetView& g : tonal.gadgets)
        if (g.kind == hxhost::GadgetKind::Slider)
            sliders.push_back(g);
    ASSERT_EQ(sliders.size(), 4u);
    EXPECT_EQ(sliders[0].minimum, 0);
    EXPECT_EQ(sliders[0].maximum, 200);
    EXPECT_EQ(sliders[1].value, 70);
    EXPECT_EQ(sliders[2].key, 115u);
    EXPECT_EQ(sliders[3].minimum, -100);
    EXPECT_EQ(sliders[3].maximum, 100);
    EXPECT_EQ(sliders[3].value, 0) << "gamma 0 sits in the middle";
    EXPECT_EQ(sliders[0].x, sliders[3].x);
    EXPECT_EQ(sliders[1].y - sliders[0].y, ugGetFontHeightMonitor(1) + ugGetAddHeight() + 4 + ugConvertWidth(4));
}

TEST_F(RequesterBuildTest, ThumbSizeBoxesCheckOnlyTheSizeSet)
{
    for (int32_t size : {2, 9}) {
        session.settings.thumbSize = size;
        ASSERT_EQ(openThumbSizeRequester(), 0);
        const hxhost::WindowView view = window(u"Thumbnail size");
        std::vector<int32_t> states;
        for (const hxhost::GadgetView& g : view.gadgets)
            if (g.kind == hxhost::GadgetKind::CheckBox)
                states.push_back(g.state);
        EXPECT_EQ(states, size == 2 ? (std::vector<int32_t>{0, 1, 0, 0, 0}) : std::vector<int32_t>(5, 0));
        EXPECT_EQ(view.gadgets[1].text, u"Small");
        EXPECT_EQ(view.gadgets[1].key, 50u);
    }
    EXPECT_EQ(hxhost::windows().size(), 2u) << "the second build replaced the first window";
}

TEST_F(RequesterBuildTest, StoryboardBoxesReplaceOnlyForOneAndASecondOpenReplacesTheFirst)
{
    for (int32_t replace : {1, 0, 2, -1}) {
        session.settings.replaceStoryboard = replace;
        ASSERT_EQ(openStoryboardRequester(), 0);
        const hxhost::WindowView view = window(u"The storyboard is not empty");
        ASSERT_EQ(view.gadgets.size(), 2u);
        EXPECT_EQ(view.gadgets[0].text, u"Delete the existing scenes first");
        EXPECT_EQ(view.gadgets[0].state, replace == 1 ? 1 : 0) << replace;
        EXPECT_EQ(view.gadgets[1].state, replace == 1 ? 0 : 1) << replace;
        EXPECT_EQ(view.gadgets[0].key, 100u);
        EXPECT_EQ(view.gadgets[1].key, 105u);
    }
    EXPECT_EQ(hxhost::windows().size(), 2u) << "each build replaced the window before it";
    EXPECT_EQ(hxhost::callCount("ugDisableRefresh"), hxhost::callCount("ugEnableRefresh"));
}

TEST_F(RequesterBuildTest, ApplyLabelNamesTheOldDefaultInSeconds)
{
    session.settings.previousDefaultDuration = 125;
    hxchar label[512];
    formatOldDefaultLabel(label);
    EXPECT_EQ(std::u16string(label), u"Only to photos of 5 seconds");
    hxhost::failService("cmOpen");
    formatOldDefaultLabel(label);
    EXPECT_EQ(std::u16string(label), u"Only to photos of 5 seconds");
    EXPECT_EQ(entries(4, "src\\gui").back().line, 2313);
    ASSERT_EQ(openApplyDurationRequester(), 0);
    const hxhost::WindowView view = window(u"Apply the new default duration");
    ASSERT_EQ(view.gadgets.size(), 2u);
    EXPECT_EQ(view.gadgets[0].state, 1);
    EXPECT_EQ(view.gadgets[1].state, 0);
    EXPECT_EQ(view.gadgets[1].text, u"Only to photos of 5 seconds");
}

TEST_F(RequesterBuildTest, EditorButtonsCarryTheirKeys)
{
    ASSERT_EQ(openPhotoEditor(), 0);
    const hxhost::WindowView view = window(u"Edit photo");
    EXPECT_EQ(view.secondText, u"Done");
    ASSERT_GE(view.gadgets.size(), 9u);
    EXPECT_EQ(view.gadgets[7].key, 0x8000E007u);
    EXPECT_EQ(view.gadgets[8].key, 0x4000E008u);
    EXPECT_EQ(view.cancelGadget, 0u) << "the editor closes with its OK only";
}

TEST_F(RequesterBuildTest, EveryRequesterThatCannotOpenLogsItsNumberAndLeavesRefreshOn)
{
    struct Case {
        int32_t (*open)();
        RequestSlot slot;
        int line;
    };
    const Case cases[] = {{openPhotoEditor, editorRequest, 1679},
                          {openThumbSizeRequester, thumbSizeRequest, 1871},
                          {openDefaultDurationRequester, defaultDurationRequest, 2157},
                          {openApplyDurationRequester, applyDurationRequest, 2368},
                          {openStoryboardRequester, storyboardRequest, 2024}};
    for (const Case& c : cases) {
        hxhost::clearLog();
        hxhost::failService("ureqCreateRequest");
        EXPECT_EQ(c.open(), -1);
        EXPECT_EQ(session.requestOpen[c.slot], 0);
        ASSERT_FALSE(entries(4, "src\\gui").empty());
        EXPECT_EQ(entries(4, "src\\gui").back().line, c.line);
    }
    hxhost::failService("ureqCreateRequest");
    EXPECT_EQ(openTonalRequester(100, 100, 100, 0), -1);
    EXPECT_EQ(entries(4, "src\\gui").back().line, 1517);
    EXPECT_EQ(hxhost::callCount("ugDisableRefresh"), hxhost::callCount("ugEnableRefresh"));
}

TEST_F(RequesterBuildTest, CheckBoxRequestersWithoutTheirExtensionCloseAgain)
{
    for (auto open : {openThumbSizeRequester, openApplyDurationRequester, openStoryboardRequester}) {
        hxhost::failService("ugAllocGadExt");
        EXPECT_EQ(open(), -1);
        EXPECT_EQ(session.requestOpen[thumbSizeRequest], 0);
        EXPECT_EQ(session.requestOpen[applyDurationRequest], 0);
        EXPECT_EQ(session.requestOpen[storyboardRequest], 0);
        EXPECT_EQ(hxhost::windows().size(), 1u) << "only the main window stands";
    }
    EXPECT_EQ(hxhost::callCount("ugDisableRefresh"), hxhost::callCount("ugEnableRefresh"));
}

} // namespace
