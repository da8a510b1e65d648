// The storyboard builder against the host's storyboard: clips, scenes, effects, transitions,
// jingles, undo steps, and every way a build stops early.
#include "session_fixture.h"
#include "support/wav_file.h"

#include "stillset/operator_list_node.h"
#include "stillset/photo_fetch.h"
#include "stillset/photo_import.h"
#include "stillset/photo_list.h"
#include "stillset/storyboard_builder.h"
#include "stillset/time_units.h"

#include "host/hxmain.h"
#include "host/hxres.h"
#include "gui/gadget_helpers.h"
#include "platform/crt.h"
#include "hxhost/export.h"
#include "hxhost/heap_memory.h"
#include "hxhost/memory.h"
#include "hxhost/storyboard.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace {

class BuilderTest : public PluginTest {
protected:
    void SetUp() override
    {
        PluginTest::SetUp();
        std::filesystem::create_directories(home() + "/transition");
        transitionFile("wipe", 0);
        transitionFile("push", 4);
        transitionFile("iris", 0);
    }
    void TearDown() override
    {
        crt::setClock(nullptr);
        if (sessionOpen_)
            endToolSession();
        expectNothingLive();
        EXPECT_EQ(hxhost::liveCounts().scenes, 0);
        EXPECT_EQ(hxhost::liveCounts().operators, 0);
        PluginTest::TearDown();
    }

    // Transition operator files of our own: the pan operator's library under other names.
    void transitionFile(const std::string& name, int flags)
    {
        std::string file = readFile(home() + "/longterm/stillsetpan.opw");
        file.replace(file.find("name=Pan and zoom"), 17, "name=" + name);
        file.replace(file.find("flags=0"), 7, "flags=" + std::to_string(flags));
        writeFile(home() + "/transition/" + name, file);
    }

    // A session whose photo list holds `count` photos of `duration` frames; the lists are empty.
    void startSession(int count, int32_t duration)
    {
        addPhotos(count);
        ASSERT_EQ(startToolSession(), 0);
        sessionOpen_ = true;
        ASSERT_EQ(importAllScenes(), 0);
        for (auto* photo = firstPhoto(); photo; photo = static_cast<PhotoEntry*>(ListNext(photo)))
            photo->duration = duration;
    }
    void endSession()
    {
        endToolSession();
        sessionOpen_ = false;
    }
    static PhotoEntry* firstPhoto() { return static_cast<PhotoEntry*>(ListFirst(&session.photoList)); }
    static PhotoEntry* photo(int position) { return static_cast<PhotoEntry*>(ListNodeAt(&session.photoList, position + 1)); }

    static void addOperator(ListHead* list, const char* name, std::vector<uint8_t> prefs = {})
    {
        auto* entry = static_cast<OperatorEntry*>(std::calloc(1, sizeof(OperatorEntry)));
        entry->name = strdup(name);
        if (!prefs.empty()) {
            entry->prefsSize = static_cast<uint32_t>(prefs.size());
            entry->prefs = std::malloc(prefs.size());
            std::memcpy(entry->prefs, prefs.data(), prefs.size());
        }
        ListAppend(list, entry);
    }
    static void transitions(std::initializer_list<const char*> names, int32_t repeatCode, int32_t lengthCode)
    {
        for (const char* name : names)
            addOperator(&session.transitionList, name);
        session.settings.transitionsEnabled = 1;
        session.settings.transitionRepeatCode = repeatCode;
        session.settings.transitionLengthCode = lengthCode;
    }
    static void panEffect(uint8_t mode)
    {
        addOperator(&session.effectList, "longterm/stillsetpan.opw", {mode, 0, 0, 0});
        session.settings.effectsEnabled = 1;
    }

    // Pan effects told apart by their first preference byte: 1, 2, ... in list order.
    static void panEffects(int count, int32_t order, int32_t repeatCode)
    {
        for (int i = 1; i <= count; ++i)
            addOperator(&session.effectList, "longterm/stillsetpan.opw", {static_cast<uint8_t>(i), 0, 0, 0});
        session.settings.effectsEnabled = 1;
        session.settings.effectOrder = order;
        session.settings.effectRepeatCode = repeatCode;
    }
    // The first preference byte of each scene's effect, 0 for none.
    static std::vector<int> effectMarks()
    {
        std::vector<int> marks;
        for (const hxhost::StoryboardScene& scene : hxhost::storyboard().scenes)
            marks.push_back(scene.effect && !scene.effect->prefs.empty() ? scene.effect->prefs[0] : 0);
        return marks;
    }

    static BuildOutcome build(int32_t replace, uint8_t flags = 0)
    {
        OperatorActionRecord record;
        std::memset(&record, 0, sizeof record);
        record.action = OP_ACTION_RUN;
        record.flags = flags;
        return buildStoryboard(replace, &record);
    }

    static std::vector<std::string> transitionNames()
    {
        std::vector<std::string> names;
        for (const hxhost::StoryboardScene& scene : hxhost::storyboard().scenes)
            names.push_back(scene.transition ? scene.transition->operatorName : "-");
        return names;
    }
    static std::vector<int32_t> transitionLengths()
    {
        std::vector<int32_t> lengths;
        for (const hxhost::StoryboardScene& scene : hxhost::storyboard().scenes)
            lengths.push_back(scene.transition ? scene.transition->length : 0);
        return lengths;
    }
    static std::string binName(uint32_t item)
    {
        for (const hxhost::SceneBinItem& binItem : hxhost::sceneBinItems())
            if (binItem.id == item)
                return hxhost::utf8Of(binItem.name);
        return "?";
    }

private:
    bool sessionOpen_ = false;
};

TEST_F(BuilderTest, ATransitionServingOneSceneTakesHalfTheLongestAllowed)
{
    // Two 80-frame scenes allow 40 frames; ten seconds is clamped to that, then halved once.
    startSession(2, 80);
    transitions({"transition/wipe"}, 0, 8);
    ASSERT_EQ(build(0), BuildOutcome::Built);
    EXPECT_EQ(transitionLengths(), (std::vector<int32_t>{20, 0}));

    session.settings.transitionRepeatCode = 1;
    ASSERT_EQ(build(1), BuildOutcome::Built);
    EXPECT_EQ(transitionLengths(), (std::vector<int32_t>{40, 0}));

    // Shorter than the longest allowed: used as it is, whatever the repeat count.
    session.settings.transitionRepeatCode = 0;
    session.settings.transitionLengthCode = 2;
    ASSERT_EQ(build(1), BuildOutcome::Built);
    EXPECT_EQ(transitionLengths(), (std::vector<int32_t>{transitionFrames(2), 0}));
    EXPECT_EQ(hxhost::storyboard().length, 160 - transitionFrames(2));
}

TEST_F(BuilderTest, AnOddLongestLengthIsHalvedDownwardOnlyForASingleUse)
{
    startSession(2, 74); // 37 frames allowed
    transitions({"transition/wipe"}, 0, 8);
    ASSERT_EQ(build(0), BuildOutcome::Built);
    EXPECT_EQ(transitionLengths(), (std::vector<int32_t>{18, 0}));
    session.settings.transitionRepeatCode = 1;
    ASSERT_EQ(build(1), BuildOutcome::Built);
    EXPECT_EQ(transitionLengths(), (std::vector<int32_t>{37, 0}));
}

TEST_F(BuilderTest, EffectsAndTransitionsEachFollowTheirOwnRepeatCount)
{
    startSession(6, 50);
    transitions({"transition/wipe", "transition/push", "transition/iris"}, 0, 2);
    panEffects(3, 0, 1);
    ASSERT_EQ(build(0), BuildOutcome::Built);
    EXPECT_EQ(effectMarks(), (std::vector<int>{1, 1, 2, 2, 3, 3}));
    EXPECT_EQ(transitionNames(), (std::vector<std::string>{"transition/wipe", "transition/push", "transition/iris",
                                                           "transition/wipe", "transition/push", "-"}));
}

// At second 1234567890 the platform's generator shuffles five entries to 5 2 1 4 3 and three to
// 2 1 3 (worked out apart from the code, from the generator's rule and the hundred swaps).
TEST_F(BuilderTest, RandomOrderShufflesOnlyTheListItIsSetForAndStartsOverWithoutANewShuffle)
{
    crt::setClock([] { return int64_t{1234567890}; });
    startSession(7, 50);
    transitions({"transition/wipe", "transition/push", "transition/iris"}, 0, 2);
    panEffects(5, 1, 0);
    ASSERT_EQ(build(0), BuildOutcome::Built);
    EXPECT_EQ(effectMarks(), (std::vector<int>{5, 2, 1, 4, 3, 5, 2}));
    EXPECT_EQ(transitionNames(), (std::vector<std::string>{"transition/wipe", "transition/push", "transition/iris",
                                                           "transition/wipe", "transition/push", "transition/iris",
                                                           "-"}));

    session.settings.effectOrder = 0;
    session.settings.transitionOrder = 1;
    ASSERT_EQ(build(1), BuildOutcome::Built);
    EXPECT_EQ(effectMarks(), (std::vector<int>{1, 2, 3, 4, 5, 1, 2}));
    EXPECT_EQ(transitionNames(), (std::vector<std::string>{"transition/push", "transition/wipe", "transition/iris",
                                                           "transition/push", "transition/wipe", "transition/iris",
                                                           "-"}));
}

TEST_F(BuilderTest, TheRenderMeterCountsEveryEntryVisitedOutOfTheWholeList)
{
    startSession(5, 50);
    photo(1)->included = 0; // left out: counted, never rendered
    ASSERT_EQ(nslRenderStillsetElement(photo(3), 50), 0); // has its clip: counted, not rendered again
    ASSERT_EQ(build(0), BuildOutcome::Built);
    ASSERT_FALSE(hxhost::metersSeen().empty());
    const hxhost::MeterSeen meter = hxhost::metersSeen().back();
    const hxchar* text = resGetString(session.stringCatalogue, 160);
    EXPECT_TRUE(meter.title == std::u16string(text));
    EXPECT_EQ(meter.steps, 5u);
    EXPECT_EQ(meter.style, 4u);
    EXPECT_EQ(meter.titleWidth % 2, 0);
    EXPECT_GE(meter.titleWidth, ugTextLength(text));
    EXPECT_LE(meter.titleWidth, ugTextLength(text) + 2);
    EXPECT_EQ(meter.updates, (std::vector<int32_t>{1, 2, 3, 4, 5}));
    EXPECT_EQ(hxhost::storyboard().scenes.size(), 4u);
}

TEST_F(BuilderTest, ScenesAfterAFailedFirstAddStartTheStoryboardAndAreJoined)
{
    startSession(3, 50);
    transitions({"transition/wipe"}, 0, 2);
    hxhost::failService("nslSBAddScene");
    ASSERT_EQ(build(0), BuildOutcome::Built);
    const hxhost::Storyboard board = hxhost::storyboard();
    ASSERT_EQ(board.scenes.size(), 2u);
    EXPECT_EQ(binName(board.scenes[0].clipItem), "p1 SL");
    EXPECT_EQ(transitionNames(), (std::vector<std::string>{"transition/wipe", "-"}));
    EXPECT_EQ(board.completedStart, 0);
    EXPECT_EQ(board.completedEnd, board.length - 1);
}

TEST_F(BuilderTest, SixPhotosBecomeScenesWithEffectsTransitionsAndOneUndoStepEach)
{
    startSession(6, 50);
    transitions({"transition/wipe", "transition/push", "transition/iris"}, 1, 8);
    panEffect(2);
    ASSERT_EQ(build(0), BuildOutcome::Built);

    const hxhost::Storyboard board = hxhost::storyboard();
    ASSERT_EQ(board.scenes.size(), 6u);
    EXPECT_EQ(transitionNames(), (std::vector<std::string>{"transition/wipe", "transition/wipe", "transition/push",
                                                           "transition/push", "transition/iris", "-"}));
    EXPECT_EQ(transitionLengths(), (std::vector<int32_t>{25, 25, 25, 25, 25, 0})); // count 2: none halved
    EXPECT_EQ(board.scenes[2].transition->flag, 1); // the push's operator flags have bit 2
    EXPECT_EQ(board.scenes[0].transition->flag, 0);
    for (size_t i = 0; i < board.scenes.size(); ++i) {
        SCOPED_TRACE(i);
        const hxhost::StoryboardScene& scene = board.scenes[i];
        EXPECT_EQ(binName(scene.clipItem), "p" + std::to_string(i) + " SL");
        ASSERT_TRUE(scene.effect);
        EXPECT_EQ(scene.effect->length, 50);
        EXPECT_EQ(scene.effect->prefs, (std::vector<uint8_t>{2, 0, 0, 0}));
        EXPECT_NE(scene.effect->uniqueId, 0u);
        EXPECT_EQ(scene.position, static_cast<int32_t>(i) * 25);
    }
    EXPECT_EQ(board.completedStart, 0);
    EXPECT_EQ(board.completedEnd, board.length - 1);
    ASSERT_EQ(board.undoSteps.size(), 11u);
    EXPECT_TRUE(board.undoSteps.front().label == u"Add effect");
    EXPECT_TRUE(board.undoSteps.back().label == u"Add transition");
    EXPECT_EQ(hxhost::callCount("nslProjectUndoExtSeqStart"), hxhost::callCount("nslProjectUndoExtSeqEnd"));
    for (int i = 0; i < 6; ++i)
        EXPECT_NE(photo(i)->clip, 0u);
}

TEST_F(BuilderTest, AppendedScenesAreNotJoinedToTheOldOnes)
{
    startSession(2, 50);
    transitions({"transition/wipe"}, 0, 2);
    ASSERT_EQ(build(0), BuildOutcome::Built);
    for (int i = 0; i < 2; ++i)
        dropClip(photo(i)); // new clips: the same photos again
    ASSERT_EQ(build(0), BuildOutcome::Built);
    EXPECT_EQ(transitionNames(),
              (std::vector<std::string>{"transition/wipe", "-", "transition/wipe", "-"}));
    EXPECT_EQ(hxhost::storyboard().completedStart, hxhost::storyboard().scenes[2].position);
}

TEST_F(BuilderTest, RenderOnlyLeavesTheStoryboardEvenWhenAskedToReplaceIt)
{
    startSession(2, 50);
    ASSERT_EQ(build(0), BuildOutcome::Built);
    dropClip(photo(1));
    const std::string before = readFile(hxhost::storyboardPath(home() + "/projects/project0"));
    ASSERT_EQ(build(1, OP_FLAG_RENDER_ONLY), BuildOutcome::RenderedOnly);
    EXPECT_EQ(readFile(hxhost::storyboardPath(home() + "/projects/project0")), before);
    EXPECT_NE(photo(1)->clip, 0u);
    EXPECT_EQ(nameOf(photo(1)->clip), "p1 SL");
    EXPECT_EQ(hxhost::callCount("mainClearStoryboard"), 0u);
}

TEST_F(BuilderTest, AClipKeepsTwentySixCharactersOfItsNameBeforeTheSuffix)
{
    startSession(2, 50);
    const std::u16string longName = u"ABCDEFGHIJKLMNOPQRSTUVWXYZabcde"; // 31
    ASSERT_EQ(nslSetAVRecordName(photo(0)->source, reinterpret_cast<const hxchar*>(longName.c_str())), 0);
    ASSERT_EQ(build(0), BuildOutcome::Built);
    EXPECT_EQ(nameOf(photo(0)->clip), "ABCDEFGHIJKLMNOPQRSTUVWXYZ SL");
    EXPECT_EQ(nameOf(photo(1)->clip), "p1 SL");
}

TEST_F(BuilderTest, TheJingleGoesOnEveryTransitionAndNowhereWithoutThem)
{
    startSession(3, 50);
    writeFile(home() + "/bell.wav", wavBytes(6000));
    session.settings.jingleFile = strdup((home() + "/bell.wav").c_str());
    const std::u16string name = u"Bell";
    session.settings.jingleName = static_cast<hxchar*>(std::calloc(name.size() + 1, sizeof(hxchar)));
    std::memcpy(session.settings.jingleName, name.c_str(), name.size() * sizeof(hxchar));
    addOperator(&session.transitionList, "transition/wipe");
    ASSERT_EQ(build(0), BuildOutcome::Built); // transitions disabled
    EXPECT_EQ(transitionNames(), (std::vector<std::string>{"-", "-", "-"}));

    // A file without a name, or a name without a file, is no jingle.
    session.settings.transitionsEnabled = 1;
    char* file = session.settings.jingleFile;
    hxchar* jingleName = session.settings.jingleName;
    for (bool keepFile : {true, false}) {
        session.settings.jingleFile = keepFile ? file : nullptr;
        session.settings.jingleName = keepFile ? nullptr : jingleName;
        const uint32_t jingles = hxhost::callCount("nslSBTransitionAddJingle");
        ASSERT_EQ(build(1), BuildOutcome::Built);
        ASSERT_TRUE(hxhost::storyboard().scenes[0].transition);
        EXPECT_EQ(hxhost::callCount("nslSBTransitionAddJingle"), jingles) << keepFile;
    }
    session.settings.jingleFile = file;
    session.settings.jingleName = jingleName;

    ASSERT_EQ(build(1), BuildOutcome::Built);
    const hxhost::Storyboard board = hxhost::storyboard();
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(board.scenes[i].transition);
        EXPECT_EQ(board.scenes[i].transition->jingleFile, "media/bell.wav"); // one copy for both
        EXPECT_TRUE(board.scenes[i].transition->jingleName == name);
        EXPECT_EQ(board.scenes[i].transition->jingleMicroseconds, 125000);
    }
}

TEST_F(BuilderTest, ABuildThatCannotRenderAddsNoScene)
{
    startSession(4, 50);
    hxhost::failService("ureqOpenMeter");
    EXPECT_EQ(build(0), BuildOutcome::MeterFailed);
    EXPECT_EQ(hxhost::callCount("nslProjectUndoExtSeqEnd"), 1u);
    EXPECT_EQ(nslSBGetLength(0), 0);

    // The third render fails: the first two clips stay for the next build.
    hxhost::failService("nslRenderStillsetElement", 3);
    EXPECT_EQ(build(0), BuildOutcome::Stopped);
    EXPECT_NE(photo(0)->clip, 0u);
    EXPECT_NE(photo(1)->clip, 0u);
    EXPECT_EQ(photo(2)->clip, 0u);
    EXPECT_EQ(nslSBGetLength(0), 0);

    // The user stops the meter after the third photo.
    hxhost::scriptedUser()->stopMeterAt(3);
    EXPECT_EQ(build(0), BuildOutcome::Stopped);
    EXPECT_NE(photo(2)->clip, 0u);
    EXPECT_EQ(photo(3)->clip, 0u);
    EXPECT_EQ(nslSBGetLength(0), 0);
    for (const hxhost::MeterSeen& meter : hxhost::metersSeen())
        EXPECT_TRUE(meter.closed);

    // Only what is missing is rendered; an edited photo loses its clip and is rendered again.
    const uint32_t renders = hxhost::callCount("nslRenderStillsetElement");
    EXPECT_EQ(build(0), BuildOutcome::Built);
    EXPECT_EQ(hxhost::callCount("nslRenderStillsetElement") - renders, 1u);
    EXPECT_EQ(hxhost::storyboard().scenes.size(), 4u);
    toggleMirror(photo(1));
    dropClip(photo(1));
    EXPECT_EQ(build(1), BuildOutcome::Built);
    EXPECT_EQ(hxhost::callCount("nslRenderStillsetElement") - renders, 2u);
}

// "Delete the existing scenes first" takes effect only once the new clips are all there, and the
// clear is an undo step of its own: the old storyboard comes back whole.
TEST_F(BuilderTest, AReplacingBuildKeepsTheOldStoryboardUntilItsClipsAreMadeAndCanBeUndone)
{
    startSession(3, 50);
    transitions({"transition/wipe"}, 0, 2);
    ASSERT_EQ(build(0), BuildOutcome::Built);
    const hxhost::Storyboard before = hxhost::storyboard();
    ASSERT_EQ(before.undoSteps.size(), 2u);
    auto sceneIds = [](const hxhost::Storyboard& board) {
        std::vector<uint32_t> ids;
        for (const hxhost::StoryboardScene& scene : board.scenes)
            ids.push_back(scene.id);
        return ids;
    };
    for (int i = 0; i < 3; ++i)
        dropClip(photo(i));

    hxhost::scriptedUser()->stopMeterAt(2);
    EXPECT_EQ(build(1), BuildOutcome::Stopped);
    EXPECT_EQ(sceneIds(hxhost::storyboard()), sceneIds(before)) << "a stopped build clears nothing";
    hxhost::failService("nslRenderStillsetElement"); // the one render left fails
    EXPECT_EQ(build(1), BuildOutcome::Stopped);
    EXPECT_EQ(sceneIds(hxhost::storyboard()), sceneIds(before)) << "a failed build clears nothing";
    EXPECT_EQ(hxhost::storyboard().undoSteps.size(), 2u);

    ASSERT_EQ(build(1), BuildOutcome::Built);
    const std::vector<uint32_t> replaced = sceneIds(hxhost::storyboard());
    ASSERT_EQ(replaced.size(), 3u);
    EXPECT_NE(replaced, sceneIds(before));
    ASSERT_EQ(hxhost::storyboard().undoSteps.size(), 5u); // two steps of old, the clear, two of new
    std::u16string label;
    for (int step = 0; step < 3; ++step)
        ASSERT_TRUE(hxhost::undoLastStep(&label));
    EXPECT_TRUE(label == u"Clear storyboard");
    const hxhost::Storyboard back = hxhost::storyboard();
    EXPECT_EQ(sceneIds(back), sceneIds(before));
    EXPECT_EQ(transitionNames(), (std::vector<std::string>{"transition/wipe", "transition/wipe", "-"}));
    EXPECT_EQ(back.completedEnd, before.completedEnd);
}

TEST_F(BuilderTest, RefusedEffectsAndTransitionsAreSkippedAndTheirStepsClosed)
{
    startSession(3, 50);
    addOperator(&session.effectList, "longterm/missing.opw");
    session.settings.effectsEnabled = 1;
    transitions({"transition/missing"}, 0, 2);
    ASSERT_EQ(build(0), BuildOutcome::Built);
    EXPECT_EQ(hxhost::storyboard().scenes.size(), 3u);
    EXPECT_EQ(transitionNames(), (std::vector<std::string>{"-", "-", "-"}));
    EXPECT_FALSE(hxhost::storyboard().scenes[0].effect);
    EXPECT_EQ(hxhost::callCount("nslProjectUndoExtSeqStart"), 5u);
    EXPECT_EQ(hxhost::callCount("nslProjectUndoExtSeqEnd"), 5u);
    EXPECT_TRUE(hxhost::storyboard().undoSteps.empty());
}

TEST_F(BuilderTest, WithNoIncludedPhotoTheBuildStopsAfterTheAddPhase)
{
    startSession(2, 50);
    photo(0)->included = photo(1)->included = 0;
    transitions({"transition/wipe"}, 0, 2);
    panEffect(1);
    ASSERT_EQ(build(0), BuildOutcome::Built);
    EXPECT_EQ(nslSBGetLength(0), 0);
    EXPECT_EQ(hxhost::callCount("nslRenderStillsetElement"), 0u);
    EXPECT_EQ(hxhost::callCount("nslProjectUndoExtSeqStart"), 0u);
    EXPECT_EQ(hxhost::faultsFired(), 0u);
    EXPECT_TRUE(entries(4, "host\\scenes").empty());
}

TEST_F(BuilderTest, PhotoClipsPlayAsTheToolsFieldsAndHandEffectsTheFullPicture)
{
    startSession(1, 30);
    photo(0)->rotation = 90;
    photo(0)->brightness = 140;
    ASSERT_EQ(build(0), BuildOutcome::Built);
    const uint32_t item = hxhost::storyboard().scenes[0].clipItem;
    hxhost::PhotoClip clip;
    ASSERT_TRUE(hxhost::photoClipOf(item, clip));
    EXPECT_EQ(clip.duration, 30);
    EXPECT_EQ(clip.sourceItem, hxhost::itemOfRecord(photo(0)->source));

    for (int32_t selector : {0, 1}) {
        OpImage* expected = stillsetGetFinalField(photo(0), selector);
        OpImage* played = hxhost::photoClipField(item, selector);
        ASSERT_TRUE(expected && played);
        ASSERT_EQ(played->width, expected->width);
        ASSERT_EQ(played->height, expected->height);
        EXPECT_EQ(std::memcmp(played->planes[0], expected->planes[0], size_t(played->width) * played->height * 4), 0);
        opFreeImage(expected);
        opFreeImage(played);
    }
    OpImage* expected = stillsetDoPhoto(photo(0), nslGetStillset(photo(0)->source));
    OpImage* full = hxhost::photoClipPicture(item);
    ASSERT_TRUE(expected && full);
    EXPECT_EQ(full->width, 48); // turned: the 64x48 photo stands upright
    EXPECT_EQ(full->height, 64);
    EXPECT_EQ(std::memcmp(full->planes[0], expected->planes[0], size_t(full->width) * full->height * 4), 0);
    opFreeImage(expected);
    opFreeImage(full);
    endSession();

    // The clip outlives the session: a new host finds it in the project.
    hxhost::reset();
    hxhost::setHome(home());
    ASSERT_TRUE(hxhost::photoClipOf(item, clip));
    OpImage* field = hxhost::photoClipField(item, 0);
    EXPECT_NE(field, nullptr);
    opFreeImage(field);
    EXPECT_EQ(hxhost::photoClipField(item + 100, 0), nullptr);
    clearPhotoCache(); // the plug-in keeps the last photo it fetched until it is told otherwise
}

TEST_F(BuilderTest, AnExportDecodesEachScenesPhotoOnceWhateverItsThreads)
{
    startSession(4, 30);
    panEffect(1);
    ASSERT_EQ(build(0), BuildOutcome::Built);
    endSession();
    for (int32_t threads : {1, 2, 3}) {
        SCOPED_TRACE(threads);
        hxhost::forgetDecodedStills();
        const uint32_t before = hxhost::callCount("decodeStill");
        hxhost::ExportSettings settings;
        settings.output = "/dev/null";
        settings.threads = threads;
        std::string error;
        ASSERT_TRUE(hxhost::exportStoryboard(settings, &error)) << error;
        // Each scene takes its photo once, decoded on the host's thread or, with threads to spare, ahead.
        EXPECT_EQ(hxhost::callCount("decodeStill") - before, 4u);
    }
    clearPhotoCache();
}

// Picture blocks the host kept for the work before an export are not the export's: by its first
// frame they are gone, and what it keeps of its own is far less.
TEST_F(BuilderTest, AnExportStartsWithoutThePictureBlocksKeptBefore)
{
    startSession(2, 30);
    panEffect(1);
    ASSERT_EQ(build(0), BuildOutcome::Built);
    endSession();
    std::vector<OpImage*> pictures;
    for (int i = 0; i < 7; ++i)
        pictures.push_back(opAllocImage(1000, 1000, OP_FORMAT_YUVA, 0));
    for (OpImage* picture : pictures)
        opFreeImage(picture);
    const size_t before = hxhost::keptPictureBlockBytes();
    ASSERT_GE(before, size_t{24} << 20);
    size_t atFirstFrame = 0;
    hxhost::ExportSettings settings;
    settings.output = "/dev/null";
    settings.to = 1;
    settings.progress = [&](int64_t, int64_t) { atFirstFrame = hxhost::keptPictureBlockBytes(); };
    std::string error;
    ASSERT_TRUE(hxhost::exportStoryboard(settings, &error)) << error;
    EXPECT_LT(atFirstFrame, size_t{8} << 20) << atFirstFrame;
    clearPhotoCache();
}

// Frame-sized pictures come and go through an export; once each has gone its memory is the system's
// again, rather than free in the heap where the next photo's pictures add to it.
TEST_F(BuilderTest, AnExportLeavesNoFreedFramesInTheHeap)
{
    ASSERT_TRUE(hxhost::setVideoFormat("1080p"));
    startSession(3, 12);
    panEffect(1);
    ASSERT_EQ(build(0), BuildOutcome::Built);
    endSession();
    size_t mostHeldFree = 0;
    hxhost::ExportSettings settings;
    settings.output = "/dev/null";
    settings.threads = 2;
    settings.progress = [&](int64_t, int64_t) { mostHeldFree = std::max(mostHeldFree, hxhost::heapBytesHeldFree()); };
    std::string error;
    ASSERT_TRUE(hxhost::exportStoryboard(settings, &error)) << error;
    const size_t frameBytes = size_t{1920} * 1080 * 4;
    EXPECT_LT(mostHeldFree, frameBytes / 2) << mostHeldFree;
    clearPhotoCache();
}

// Every fallible host call of a whole build fails once in turn: the build ends, nothing leaks, the
// stored photo list keeps every photo and the stored storyboard is always one the host can read.
TEST_F(BuilderTest, AFaultAnywhereInABuildLosesNothing)
{
    startSession(3, 50);
    transitions({"transition/wipe", "transition/push"}, 0, 2);
    panEffect(3);
    endSession();
    const std::string stored = hxhost::storyboardPath(home() + "/projects/project0");
    for (uint32_t nth = 1; nth < 2000; ++nth) {
        SCOPED_TRACE(nth);
        ASSERT_EQ(startToolSession(), 0);
        session.settings.transitionsEnabled = session.settings.effectsEnabled = 1;
        hxhost::clearFaults();
        const uint32_t fired = hxhost::faultsFired();
        hxhost::failNthFallibleCall(nth);
        const BuildOutcome result = build(1);
        hxhost::clearFaults();
        const bool done = hxhost::faultsFired() == fired;
        EXPECT_EQ(hxhost::liveCounts().scenes, 0);
        EXPECT_EQ(hxhost::liveCounts().operators, 0);
        EXPECT_EQ(hxhost::liveCounts().meters, 0);
        hxhost::Storyboard board;
        EXPECT_TRUE(hxhost::readStoryboardFile(home() + "/projects/project0", board));
        EXPECT_FALSE(fileExists(stored + ".damaged"));
        for (auto* p = firstPhoto(); p; p = static_cast<PhotoEntry*>(ListNext(p)))
            dropClip(p);
        endToolSession();
        expectNothingLive();
        EXPECT_EQ(storedNames().size(), 3u) << "no photo of the stored list is lost";
        if (done) {
            EXPECT_EQ(result, BuildOutcome::Built);
            EXPECT_EQ(board.scenes.size(), 3u);
            return;
        }
    }
    FAIL() << "the build never ran without a fault";
}

} // namespace
