// The host project's storyboard: scenes, the transition rule, placed operators, undo steps, jingles
// and the stored file.
#include "host/hxmain.h"
#include "host/hxscenes.h"
#include "hxhost/storyboard.h"
#include "support/test_home.h"
#include "support/wav_file.h"

#include <cstring>
#include <filesystem>
#include <vector>

namespace {

class StoryboardTest : public HostTest {
protected:
    void SetUp() override
    {
        HostTest::SetUp();
        // A transition operator file of our own: the pan operator's library under another name.
        std::string file = readFile(home() + "/longterm/stillsetpan.opw");
        file.replace(file.find("name=Pan and zoom"), 17, "name=Test wipe");
        file.replace(file.find("flags=0"), 7, "flags=4");
        std::filesystem::create_directories(home() + "/transition");
        writeFile(home() + "/transition/wipe", file);
    }

    // A scene bin clip `frames` long (a test clip) and its own record.
    static AVRecord clipOf(int32_t frames)
    {
        std::string error;
        const AVRecord record = hxhost::addTestClip(16, 16, frames, hxhost::TestPattern::FieldCounter, -1, &error);
        EXPECT_NE(record, 0u) << error;
        return record;
    }

    // Scenes of these lengths appended in order; their handles (freed by the fixture).
    std::vector<SBScene*> appendScenes(const std::vector<int32_t>& lengths)
    {
        std::vector<SBScene*> handles;
        for (int32_t length : lengths) {
            SBScene* last = scene();
            const bool empty = nslSBGetLastScene(last) == -1;
            SBScene* added = scene();
            EXPECT_EQ(nslSBAddScene(empty ? nullptr : last, clipOf(length), added), 0);
            handles.push_back(added);
        }
        return handles;
    }

    SBScene* scene()
    {
        handles_.push_back(nslSBAllocScene());
        return handles_.back();
    }

    void TearDown() override
    {
        for (SBScene* handle : handles_)
            nslSBFreeScene(handle);
        EXPECT_EQ(hxhost::liveCounts().scenes, 0);
        EXPECT_EQ(hxhost::liveCounts().operators, 0);
        HostTest::TearDown();
    }

    static std::vector<uint32_t> info(const SBScene* s)
    {
        std::vector<uint32_t> words(SB_INFO_WORDS, 0xEEEEEEEE);
        EXPECT_EQ(nslSBGetSceneInfo(s, words.data()), 0);
        return words;
    }

    // Starts the host again on the same installation, as the next process would; the handles go.
    void restart()
    {
        for (SBScene* handle : handles_)
            nslSBFreeScene(handle);
        handles_.clear();
        hxhost::reset();
        hxhost::setHome(home());
    }

    std::string storedFile() const { return hxhost::storyboardPath(home() + "/projects/project0"); }

private:
    std::vector<SBScene*> handles_;
};

TEST_F(StoryboardTest, ScenesFollowEachOtherAndTransitionsOverlapThem)
{
    const std::vector<SBScene*> s = appendScenes({80, 40, 100});
    EXPECT_EQ(nslSBGetLength(0), 220);
    // Half of the shorter of the two scenes joined; the last scene leads nowhere.
    EXPECT_EQ(nslSBSceneGetMaxTransitionLength(s[0]), 20);
    EXPECT_EQ(nslSBSceneGetMaxTransitionLength(s[1]), 20);
    EXPECT_EQ(nslSBSceneGetMaxTransitionLength(s[2]), 0);

    int32_t handle = 0;
    EXPECT_EQ(nslSBAddTransition22(s[0], "transition/wipe", 21, 1, &handle), -1);
    EXPECT_EQ(nslSBAddTransition22(s[2], "transition/wipe", 1, 1, &handle), -1);
    EXPECT_EQ(nslSBAddTransition22(s[0], "transition/none", 10, 1, &handle), -1);
    EXPECT_EQ(nslSBAddTransition22(s[0], "transition/wipe", 20, 1, &handle), 0);
    EXPECT_EQ(nslSBAddTransition22(s[1], "transition/wipe", 20, 0, nullptr), 0);

    EXPECT_EQ(nslSBGetLength(0), 180);
    EXPECT_EQ(nslSBSceneGetAbsolutePos(s[1]), 60);
    EXPECT_EQ(nslSBSceneGetAbsolutePos(s[2]), 80);
    const std::vector<uint32_t> words = info(s[0]);
    EXPECT_EQ(words[SB_INFO_TRANSITION], static_cast<uint32_t>(handle));
    EXPECT_EQ(words[4], 20u);
    EXPECT_EQ(words[SB_INFO_LONGTERM], 0u);
    EXPECT_EQ(hxhost::storyboard().scenes[0].transition->flag, 1);

    // A shorter scene put in between shortens the transition leading into it.
    SBScene* between = scene();
    ASSERT_EQ(nslSBAddScene(s[0], clipOf(10), between), 0);
    EXPECT_EQ(info(s[0])[4], 5u);
    SBScene* next = scene();
    ASSERT_EQ(nslSBGetNextScene(s[0], next), 0);
    EXPECT_EQ(info(next)[0], info(between)[0]);
    EXPECT_EQ(nslSBGetNextScene(s[2], next), -1);
}

TEST_F(StoryboardTest, PlacedOperatorsKeepTheirBlocksAndCountAsLive)
{
    const std::vector<SBScene*> s = appendScenes({50, 50});
    EXPECT_EQ(nslSBAddLongterm(s[0], "longterm/stillsetpan.opw", 51, 0, 1, 0), -1);
    ASSERT_EQ(nslSBAddLongterm(s[0], "longterm/stillsetpan.opw", 50, 0, 1, 0), 0);
    const uint32_t effect = info(s[0])[SB_INFO_LONGTERM];
    ASSERT_NE(effect, 0u);
    EXPECT_EQ(nslSBLongFXGetOperator(effect), nullptr); // not loaded yet
    ASSERT_EQ(nslSBLongFXLoad(effect), 0);
    HxOperator* op = nslSBLongFXGetOperator(effect);
    ASSERT_NE(op, nullptr);
    EXPECT_EQ(hxhost::liveCounts().operators, 1);
    const uint32_t mode = 3;
    ASSERT_EQ(opSetPrefs(op, &mode, sizeof mode), 0);
    opSetUniqueID(op, 0xABCD);
    EXPECT_EQ(nslSBLongFXUpdatePrefs(effect), 0);
    EXPECT_EQ(nslSBLongFXUnload(effect), 0);
    EXPECT_EQ(nslSBLongFXUnload(effect), -1);
    EXPECT_EQ(nslSBLongFXUpdatePrefs(effect), -1); // only a loaded operator has a block to store
    // A transition handle is no effect handle.
    EXPECT_EQ(nslSBTransitionLoad(effect), -1);

    restart();
    const hxhost::Storyboard board = hxhost::storyboard();
    ASSERT_EQ(board.scenes.size(), 2u);
    ASSERT_TRUE(board.scenes[0].effect);
    EXPECT_EQ(board.scenes[0].effect->prefs, (std::vector<uint8_t>{3, 0, 0, 0}));
    EXPECT_EQ(board.scenes[0].effect->uniqueId, 0xABCDu);
    // Loaded again, the operator takes the stored block; a clear unloads what is still loaded.
    ASSERT_EQ(nslSBLongFXLoad(effect), 0);
    uint32_t loaded = 0;
    ASSERT_EQ(opGetPrefs(nslSBLongFXGetOperator(effect), &loaded, sizeof loaded), 0);
    EXPECT_EQ(loaded, 3u);
    EXPECT_EQ(mainClearStoryboard(0), 0);
    EXPECT_EQ(hxhost::liveCounts().operators, 0);
    EXPECT_EQ(nslSBGetLength(0), 0);
    EXPECT_EQ(nslSBGetLastScene(scene()), -1);
}

TEST_F(StoryboardTest, AnUndoSequenceIsOneStepThatPutsTheScenesBack)
{
    const std::vector<SBScene*> s = appendScenes({50, 50, 50});
    const std::u16string label = u"Add transition";
    nslProjectUndoExtSeqStart(reinterpret_cast<const hxchar*>(label.c_str()));
    ASSERT_EQ(nslSBAddTransition22(s[0], "transition/wipe", 10, 0, nullptr), 0);
    ASSERT_EQ(nslSBAddLongterm(s[1], "longterm/stillsetpan.opw", 50, 0, 1, 0), 0);
    nslProjectUndoExtSeqEnd();
    nslProjectUndoExtSeqStart(reinterpret_cast<const hxchar*>(label.c_str()));
    EXPECT_EQ(nslSBAddTransition22(s[2], "transition/wipe", 10, 0, nullptr), -1); // refused: no step
    nslProjectUndoExtSeqEnd();
    nslProjectUndoExtSeqStart(reinterpret_cast<const hxchar*>(label.c_str()));
    ASSERT_EQ(nslSBAddTransition22(s[0], "transition/wipe", 20, 0, nullptr), 0); // replaces the first
    nslProjectUndoExtSeqEnd();
    nslProjectUndoExtSeqEnd(); // an end too many changes nothing
    EXPECT_EQ(hxhost::storyboard().undoSteps.size(), 2u);

    restart(); // the history is stored with the storyboard
    std::u16string undone;
    ASSERT_TRUE(hxhost::undoLastStep(&undone));
    EXPECT_TRUE(undone == label);
    hxhost::Storyboard board = hxhost::storyboard();
    ASSERT_TRUE(board.scenes[0].transition);
    EXPECT_EQ(board.scenes[0].transition->length, 10);
    ASSERT_TRUE(hxhost::undoLastStep());
    board = hxhost::storyboard();
    EXPECT_FALSE(board.scenes[0].transition);
    EXPECT_FALSE(board.scenes[1].effect);
    EXPECT_EQ(board.length, 150);
    std::string error;
    EXPECT_FALSE(hxhost::undoLastStep(nullptr, &error));
    EXPECT_EQ(error, "nothing to undo");
}

// A clear takes the scenes away as one undo step, so that a build that replaced them can be taken
// back; scenes added without a completed range are stored as an unfinished build.
TEST_F(StoryboardTest, AClearIsOneUndoStepAndScenesStayUnfinishedUntilARangeIsCompleted)
{
    const std::vector<SBScene*> s = appendScenes({50, 50});
    const std::u16string label = u"Add transition";
    nslProjectUndoExtSeqStart(reinterpret_cast<const hxchar*>(label.c_str()));
    ASSERT_EQ(nslSBAddTransition22(s[0], "transition/wipe", 10, 0, nullptr), 0);
    nslProjectUndoExtSeqEnd();
    EXPECT_EQ(hxhost::storyboard().unfinishedFrom, 0);
    ASSERT_EQ(nslSBCompleteRange(0, nslSBGetLength(0) - 1), 0);
    EXPECT_EQ(hxhost::storyboard().unfinishedFrom, -1);

    ASSERT_EQ(mainClearStoryboard(0), 0);
    ASSERT_EQ(hxhost::storyboard().undoSteps.size(), 2u);
    EXPECT_TRUE(hxhost::storyboard().undoSteps.back().label == u"Clear storyboard");
    appendScenes({30, 30, 30});
    restart();
    hxhost::Storyboard board = hxhost::storyboard();
    EXPECT_EQ(board.scenes.size(), 3u);
    EXPECT_EQ(board.unfinishedFrom, 0) << "the unfinished build is stored";

    // Undoing the clear puts the old scenes back as they were and drops what came after it.
    ASSERT_TRUE(hxhost::undoLastStep());
    board = hxhost::storyboard();
    ASSERT_EQ(board.scenes.size(), 2u);
    ASSERT_TRUE(board.scenes[0].transition);
    EXPECT_EQ(board.length, 90);
    EXPECT_EQ(board.completedEnd, 89);
    EXPECT_EQ(board.unfinishedFrom, -1);
    ASSERT_TRUE(hxhost::undoLastStep());
    EXPECT_FALSE(hxhost::storyboard().scenes[0].transition);
    EXPECT_EQ(mainClearStoryboard(0), 0);
    EXPECT_EQ(mainClearStoryboard(0), 0); // an empty storyboard: no step
    EXPECT_EQ(hxhost::storyboard().undoSteps.size(), 1u);
}

TEST_F(StoryboardTest, AStoryboardStoredBeforeBuildsWereMarkedStillReads)
{
    // One scene of 50 frames, completed, no undo steps, as the first version of the file stored it.
    const std::string older("HXSB\x01\x00\x00\x00\x02\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x31\x00\x00"
                            "\x00\x01\x00\x00\x00\x01\x00\x00\x00\x07\x00\x00\x00\x32\x00\x00\x00\x00\x00\x00"
                            "\x00\x00\x00\x2e\xeb\xb5\x73",
                            50);
    std::filesystem::create_directories(home() + "/projects/project0");
    writeFile(storedFile(), older);
    hxhost::Storyboard board;
    std::string error;
    ASSERT_TRUE(hxhost::readStoryboardFile(home() + "/projects/project0", board, &error)) << error;
    ASSERT_EQ(board.scenes.size(), 1u);
    EXPECT_EQ(board.scenes[0].clipItem, 7u);
    EXPECT_EQ(board.completedEnd, 49);
    EXPECT_EQ(board.unfinishedFrom, -1);
    EXPECT_TRUE(board.undoSteps.empty());
}

TEST_F(StoryboardTest, ADamagedFileIsSetAsideAndAFailedStoreChangesNothing)
{
    const std::vector<SBScene*> s = appendScenes({50, 50});
    ASSERT_EQ(nslSBAddTransition22(s[0], "transition/wipe", 10, 0, nullptr), 0);
    const std::string good = readFile(storedFile());

    // Storing fails: the service fails and the file and the storyboard stay as they were.
    hxhost::failService("storeStoryboard");
    EXPECT_EQ(nslSBAddLongterm(s[0], "longterm/stillsetpan.opw", 50, 0, 1, 0), -1);
    EXPECT_EQ(readFile(storedFile()), good);
    EXPECT_FALSE(hxhost::storyboard().scenes[0].effect);

    hxhost::Storyboard read;
    ASSERT_TRUE(hxhost::readStoryboardFile(home() + "/projects/project0", read));
    EXPECT_EQ(read.length, 90);

    // Every single-byte change and every truncation is caught, never trusted.
    for (size_t at = 0; at < good.size(); at += 7) {
        std::string bad = good;
        bad[at] = static_cast<char>(bad[at] ^ 0x5A);
        std::string error;
        writeFile(storedFile(), bad);
        EXPECT_FALSE(hxhost::readStoryboardFile(home() + "/projects/project0", read, &error)) << at;
        writeFile(storedFile(), good.substr(0, at));
        EXPECT_FALSE(hxhost::readStoryboardFile(home() + "/projects/project0", read, &error)) << at;
    }

    writeFile(storedFile(), good.substr(0, good.size() - 1));
    restart();
    EXPECT_EQ(nslSBGetLength(0), 0);
    EXPECT_EQ(readFile(storedFile() + ".damaged"), good.substr(0, good.size() - 1));
    // The log names the file that failed and why, not only a line number.
    const std::vector<hxhost::LogEntry> logged = entries(4, "host\\scenes");
    ASSERT_EQ(logged.size(), 1u);
    EXPECT_EQ(logged[0].text.rfind("storyboard.cpp: the storyboard " + storedFile() + " is damaged", 0), 0u)
        << logged[0].text;
    EXPECT_GT(logged[0].line, 0);
}

TEST_F(StoryboardTest, AJingleIsMeasuredAndOneThatIsNoAudioIsLeftOff)
{
    const std::vector<SBScene*> s = appendScenes({50, 50});
    ASSERT_EQ(nslSBAddTransition22(s[0], "transition/wipe", 10, 0, nullptr), 0);
    const uint32_t transition = info(s[0])[SB_INFO_TRANSITION];
    writeFile(home() + "/jingle.wav", wavBytes(24000));
    writeFile(home() + "/noise.mp3", "this is no audio at all");
    const std::u16string name = u"Bell";
    const auto* text = reinterpret_cast<const hxchar*>(name.c_str());

    EXPECT_EQ(nslSBTransitionAddJingle(transition, (home() + "/noise.mp3").c_str(), text, 0), -1);
    EXPECT_EQ(nslSBTransitionAddJingle(transition, (home() + "/missing.wav").c_str(), text, 0), -1);
    const std::vector<hxhost::LogEntry> refused = entries(4, "host\\scenes");
    ASSERT_EQ(refused.size(), 2u);
    EXPECT_EQ(refused[0].text, "storyboard_operators.cpp: the jingle " + home() + "/noise.mp3 is no sound the host reads");
    EXPECT_NE(refused[1].text.find("/missing.wav"), std::string::npos);
    EXPECT_TRUE(hxhost::storyboard().scenes[0].transition->jingleFile.empty());
    EXPECT_EQ(nslSBCalcTransitionAudio(transition), 0); // nothing to measure

    ASSERT_EQ(nslSBTransitionAddJingle(transition, (home() + "/jingle.wav").c_str(), text, 0), 0);
    hxhost::PlacedTransition placed = *hxhost::storyboard().scenes[0].transition;
    EXPECT_EQ(placed.jingleFile, "media/jingle.wav"); // the project's own copy, as of a photo
    EXPECT_TRUE(placed.jingleName == name);
    EXPECT_EQ(placed.jingleMicroseconds, 500000);
    // Added again, the same sound is not copied again; the original may then go.
    ASSERT_EQ(nslSBTransitionAddJingle(transition, (home() + "/jingle.wav").c_str(), text, 0), 0);
    EXPECT_EQ(hxhost::storyboard().scenes[0].transition->jingleFile, "media/jingle.wav");
    std::remove((home() + "/jingle.wav").c_str());
    EXPECT_EQ(nslSBCalcTransitionAudio(transition), 0);
    EXPECT_EQ(hxhost::storyboard().scenes[0].transition->jingleMicroseconds, 500000);
    const std::string copy = home() + "/projects/project0/media/jingle.wav";
    EXPECT_FALSE(fileExists(home() + "/projects/project0/media/jingle-2.wav"));

    // The copy is replaced by one that is no audio: measured again, it is left off.
    writeFile(copy, "RIFF");
    EXPECT_EQ(nslSBCalcTransitionAudio(transition), -1);
    placed = *hxhost::storyboard().scenes[0].transition;
    EXPECT_TRUE(placed.jingleFile.empty());
    EXPECT_EQ(placed.jingleMicroseconds, -1);
}

TEST_F(StoryboardTest, HandlesOfMissingScenesAreRefused)
{
    SBScene* orphan = scene();
    std::vector<uint32_t> words(SB_INFO_WORDS);
    EXPECT_EQ(nslSBGetSceneInfo(orphan, words.data()), -1);
    EXPECT_EQ(nslSBGetSceneLength(orphan), -1);
    EXPECT_EQ(nslSBSceneGetAbsolutePos(orphan), -1);
    EXPECT_EQ(nslSBAddScene(orphan, clipOf(10), scene()), -1);
    EXPECT_EQ(nslSBAddScene(nullptr, 0xDEAD, scene()), -1);
    EXPECT_EQ(nslSBAddLongterm(orphan, "longterm/stillsetpan.opw", 1, 0, 1, 0), -1);
    EXPECT_EQ(nslSBCompleteRange(0, 0), -1); // nothing to complete in an empty storyboard
    hxhost::failService("nslSBAllocScene");
    EXPECT_EQ(nslSBAllocScene(), nullptr);
}

} // namespace
